// The message catalogue: texts, ids and the factories that build host
// message objects from them.
#include "core/putil_msgs.h"

#include <cstdarg>
#include <string>

#include "core/putil_internal.h"
#include "host/putil_lib.h"

const PUTIL_MSG_ENTRY putil_msg_catalogue[] = {
    {222000, "IPUTIL_PUTIL_VCD_READER_STARTING_VCD_TO_TBL_CONVERSION",
     "Starting conversion of VCD file %1!s! to TBL file %2!s!", 2},
    {222001, "IPUTIL_PUTIL_VCD_READER_FINISHED_VCD_TO_TBL_CONVERSION",
     "Finished conversion of VCD file %1!s! to TBL file %2!s!", 2},
    {222002, "IPUTIL_PUTIL_VCD_READER_STARTING_VCD_STATS_COLLECTION",
     "Starting scan of VCD file %1!s! (%2!s! to %3!s!) for signal static probabilities and transition densities", 3},
    {222003, "IPUTIL_PUTIL_VCD_READER_FINISHED_VCD_STATS_COLLECTION",
     "Finished scan of VCD file %1!s! (%2!s! to %3!s!) for signal static probabilities and transition densities", 3},
    {222004, "EPUTIL_PUTIL_VCD_READER_INVALID_START_END_TIMESTAMP",
     "VCD Reader start time cannot be greater than end time", 0},
    {222005, "EPUTIL_PUTIL_VCD_READER_FILE_NOT_FOUND", "VCD file %1!s! was not found", 1},
    {222006, "WPUTIL_PUTIL_VCD_READER_FILE_NOT_FOUND_WARNING",
     "VCD file %1!s! was not found.  No VCD file will be used.", 1},
    {222007, "EPUTIL_PUTIL_VCD_READER_GENERAL_ERROR", "Parse error in VCD file %1!s! near line %2!s!", 2},
    {222008, "EPUTIL_PUTIL_VCD_READER_INVALID_UPSCOPE_COMMAND",
     "VCD file %1!s! has an invalid upscope command on line %2!s!", 2},
    {222009, "EPUTIL_PUTIL_VCD_READER_VCD_TO_EVCD_CONSISTENCY_ERROR",
     "VCD file \"%1!s!\" has an invalid EVCD command on line %2!s!", 2},
    {222010, "EPUTIL_PUTIL_VCD_READER_EVCD_TO_VCD_CONSISTENCY_ERROR",
     "EVCD file \"%1!s!\" has an invalid VCD command on line %2!s!", 2},
    {222011, "EPUTIL_PUTIL_VCD_READER_FAILED_FILE_PARSING", "Can't parse VCD file \"%1!s!\"", 1},
    {222012, "EPUTIL_PUTIL_VCD_READER_NON_POSITIVE_ELAPSED_TIME",
     "VCD file timestamps are not in sequential order on line %1!s!", 1},
    {222013, "WPUTIL_PUTIL_NO_CLK_DOMAINS_FOUND",
     "Relative toggle rates could not be calculated because no clock domain could be identified for some nodes", 0},
    {222014, "WPUTIL_PUTIL_MULTIPLE_CLK_DOMAINS_FOUND_MAX_FREQ",
     "Relative toggle rates were calculated using fastest clock for nodes in multiple clock domains", 0},
    {222015, "WPUTIL_PUTIL_MULTIPLE_OTERM_CLK_DOMAINS_FOUND_MAX_FREQ",
     "Using fastest of multiple clock domains found for node \"%1!s!\"", 1},
    {222016, "WPUTIL_PUTIL_MULTIPLE_CLK_DOMAINS_FOUND_MIN_FREQ",
     "Relative toggle rates were calculated using slowest clock for nodes in multiple clock domains", 0},
    {222017, "WPUTIL_PUTIL_MULTIPLE_OTERM_CLK_DOMAINS_FOUND_MIN_FREQ",
     "Using slowest of multiple clock domains found for node \"%1!s!\"", 1},
    {222018, "WPUTIL_PUTIL_MULTIPLE_CLK_DOMAINS_FOUND_NO_FREQ",
     "Relative toggle rates could not be calculated because no unique clock domain could be identified for some nodes",
     0},
    {222019, "WPUTIL_PUTIL_MULTIPLE_REG_CLK_DOMAINS_FOUND_NO_FREQ",
     "Relative toggle rates could not be calculated because no unique register clock domain could be identified for "
     "some nodes",
     0},
    {222020, "WPUTIL_PUTIL_VCD_READER_MALFORMED_VALUE",
     "VCD file %1!s! has a malformed value \"%2!s!\" on line %3!s!: its bits are read as unknown", 3},
    {222021, "EPUTIL_PUTIL_VCD_READER_DAMAGED_COMPRESSED_FILE",
     "Compressed VCD file %1!s! is truncated or damaged: its text ends near line %2!s!", 2},
};
const std::size_t putil_msg_catalogue_size = sizeof(putil_msg_catalogue) / sizeof(putil_msg_catalogue[0]);

namespace {

const unsigned FIRST_MSG_ID = 222000;

const PUTIL_MSG_ENTRY& catalogue_entry(unsigned id)
{
    PUTIL_ASSERT(id >= FIRST_MSG_ID && id - FIRST_MSG_ID < putil_msg_catalogue_size);
    return putil_msg_catalogue[id - FIRST_MSG_ID];
}

std::string escaped(const char* text) { return text != nullptr ? stl_escape_control_bytes(text) : std::string(); }

// Builds the message of one catalogue entry; arguments past the entry's
// count are not passed on. Arguments quote names and file text: their
// control bytes are escaped, so that no message moves a terminal.
MSG_OBJECT* make_message(unsigned id, const char* raw1 = nullptr, const char* raw2 = nullptr,
                         const char* raw3 = nullptr)
{
    const std::string escaped1 = escaped(raw1), escaped2 = escaped(raw2), escaped3 = escaped(raw3);
    const char* const arg1 = escaped1.c_str();
    const char* const arg2 = escaped2.c_str();
    const char* const arg3 = escaped3.c_str();
    const PUTIL_MSG_ENTRY& entry = catalogue_entry(id);
    const char severity = entry.identifier[0];
    MSG_OBJECT* message;
    if (severity == 'E') {
        message = new MSG_E(nullptr);
    } else {
        // Errors cannot be suppressed; warnings and information can.
        const bool suppressed = MSG_INDEX::get_default_index()->is_suppressed(id);
        if (severity == 'W')
            message = suppressed ? static_cast<MSG_OBJECT*>(new MSG_W_NULL()) : new MSG_W(nullptr);
        else
            message = suppressed ? static_cast<MSG_OBJECT*>(new MSG_I_NULL()) : new MSG_I(nullptr);
        if (suppressed)
            return message;
    }
    const std::string text = std::string(entry.text) + "/" + entry.identifier;
    switch (entry.argument_count) {
    case 0: message->fill_args(text.c_str()); break;
    case 1: message->fill_args(text.c_str(), arg1); break;
    case 2: message->fill_args(text.c_str(), arg1, arg2); break;
    default: message->fill_args(text.c_str(), arg1, arg2, arg3); break;
    }
    message->set_id(id);
    return message;
}

}  // namespace

MSG_OBJECT* iputil_putil_vcd_reader_starting_vcd_to_tbl_conversion(const char* vcd_file, const char* tbl_file)
{
    return make_message(222000, vcd_file, tbl_file);
}
MSG_OBJECT* iputil_putil_vcd_reader_finished_vcd_to_tbl_conversion(const char* vcd_file, const char* tbl_file)
{
    return make_message(222001, vcd_file, tbl_file);
}
MSG_OBJECT* iputil_putil_vcd_reader_starting_vcd_stats_collection(const char* file, const char* start, const char* end)
{
    return make_message(222002, file, start, end);
}
MSG_OBJECT* iputil_putil_vcd_reader_finished_vcd_stats_collection(const char* file, const char* start, const char* end)
{
    return make_message(222003, file, start, end);
}
MSG_OBJECT* eputil_putil_vcd_reader_invalid_start_end_timestamp() { return make_message(222004); }
MSG_OBJECT* eputil_putil_vcd_reader_file_not_found(const char* file) { return make_message(222005, file); }
MSG_OBJECT* wputil_putil_vcd_reader_file_not_found_warning(const char* file) { return make_message(222006, file); }
MSG_OBJECT* eputil_putil_vcd_reader_general_error(const char* file, const char* line)
{
    return make_message(222007, file, line);
}
MSG_OBJECT* eputil_putil_vcd_reader_invalid_upscope_command(const char* file, const char* line)
{
    return make_message(222008, file, line);
}
MSG_OBJECT* eputil_putil_vcd_reader_vcd_to_evcd_consistency_error(const char* file, const char* line)
{
    return make_message(222009, file, line);
}
MSG_OBJECT* eputil_putil_vcd_reader_evcd_to_vcd_consistency_error(const char* file, const char* line)
{
    return make_message(222010, file, line);
}
MSG_OBJECT* eputil_putil_vcd_reader_failed_file_parsing(const char* file) { return make_message(222011, file); }
MSG_OBJECT* eputil_putil_vcd_reader_non_positive_elapsed_time(const char* line) { return make_message(222012, line); }
MSG_OBJECT* wputil_putil_no_clk_domains_found() { return make_message(222013); }
MSG_OBJECT* wputil_putil_multiple_clk_domains_found_max_freq() { return make_message(222014); }
MSG_OBJECT* wputil_putil_multiple_oterm_clk_domains_found_max_freq(const char* node)
{
    return make_message(222015, node);
}
MSG_OBJECT* wputil_putil_multiple_clk_domains_found_min_freq() { return make_message(222016); }
MSG_OBJECT* wputil_putil_multiple_oterm_clk_domains_found_min_freq(const char* node)
{
    return make_message(222017, node);
}
MSG_OBJECT* wputil_putil_multiple_clk_domains_found_no_freq() { return make_message(222018); }
MSG_OBJECT* wputil_putil_multiple_reg_clk_domains_found_no_freq() { return make_message(222019); }
MSG_OBJECT* wputil_putil_vcd_reader_malformed_value(const char* file, const char* value, const char* line)
{
    return make_message(222020, file, value, line);
}
MSG_OBJECT* eputil_putil_vcd_reader_damaged_compressed_file(const char* file, const char* line)
{
    return make_message(222021, file, line);
}

void putil_post_message(MSG_OBJECT* message)
{
    message->set_report(nullptr);
    message->post();
    delete message;
}

bool putil_debug_is_on() { return msg_local_debug_is_on("PUTIL", 2); }

void putil_debug(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    msg_local_vdebug("PUTIL", 2, format, args);
    va_end(args);
}
