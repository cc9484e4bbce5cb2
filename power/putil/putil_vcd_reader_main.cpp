// VCD reader: runs scanner, parser and stats collector over every waveform
// input of the store.
#include "putil_vcd_reader_main.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "host/big_time.h"
#include "host/cdb_atom.h"
#include "host/cfg.h"
#include "host/hdb.h"
#include "host/putil_lib.h"
#include "host/putil_sa_data.h"
#include "putil_msgs.h"
#include "putil_vcd_body_items.h"
#include "putil_vcd_lexer.h"
#include "putil_vcd_parser.h"
#include "putil_vcd_parser_event_handler_stats_collector.h"

PUTIL_VCD_READER* putil_create_putil_vcd_reader(CMP_FACADE* facade) { return PUTIL_NEW PUTIL_VCD_READER_MAIN(facade); }

PUTIL_VCD_READER_MAIN::PUTIL_VCD_READER_MAIN(CMP_FACADE* facade)
    : m_facade(facade), m_cap_inst(nullptr), m_netlist(nullptr), m_status(PUTIL_VCD_READER_STATUS_OK)
{
    m_netlist = putil_atom_netlist_of_facade(m_facade, m_cap_inst);
}

bool PUTIL_VCD_READER_MAIN::reserved_file_conversion(std::string, std::string) { return true; }

int PUTIL_VCD_READER_MAIN::get_status() { return m_status; }

bool PUTIL_VCD_READER_MAIN::count_lines_in_file(const std::string& file_name, std::uint64_t* lines_in_file)
{
    PUTIL_ASSERT(lines_in_file != 0);
    *lines_in_file = 0;
    putil_debug("Counting lines in file %s", file_name.c_str());

    if (!FIO_FILE_SYSTEM::exists(file_name)) {
        if (putil_lib_get_continue_and_warn_on_failure())
            putil_post_message(wputil_putil_vcd_reader_file_not_found_warning(file_name.c_str()));
        else
            putil_post_message(eputil_putil_vcd_reader_file_not_found(file_name.c_str()));
        m_status = PUTIL_VCD_READER_STATUS_FILE_NOT_FOUND;
        return false;
    }

    // A file that exists but cannot be read gets no progress reporting.
    std::FILE* file = std::fopen(file_name.c_str(), "rb");
    if (file == nullptr)
        return true;

    const std::size_t block_size = 65536;
    char* buffer = static_cast<char*>(mem_malloc_wrapper(block_size, PUTIL_SEGMENT, PUTIL_SOURCE_NAME, __LINE__));
    if (buffer == nullptr) {
        std::fclose(file);
        PUTIL_INTERNAL_ERROR("Out of memory");
    }
    std::uint64_t count = 0;
    std::size_t read;
    while ((read = std::fread(buffer, 1, block_size, file)) > 0)
        count += putil_count_line_feeds(buffer, read);
    mem_free_wrapper(buffer, PUTIL_SEGMENT);
    std::fclose(file);
    *lines_in_file = count;
    return true;
}

bool PUTIL_VCD_READER_MAIN::read_vcd_files(PUTIL_SA_DATA* sa_data)
{
    PUTIL_ASSERT(sa_data != 0);
    PUTIL_INPUT_FILE_MANAGER* input_file_manager = sa_data->get_input_file_manager();
    PUTIL_ASSERT(input_file_manager != 0);

    const bool use_timing_estimator = input_file_manager->use_timing_estimator();
    std::vector<PUTIL_INPUT_FILE_DATA*> entries;
    input_file_manager->get_waveform_input_entries(0, entries);
    m_status = PUTIL_VCD_READER_STATUS_OK;
    if (entries.empty())
        return true;

    bool keep_going = true;
    PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR* collector = nullptr;
    for (PUTIL_INPUT_FILE_DATA* entry : entries) {
        const std::string& name = entry->get_file_name();
        const std::string start_text = entry->get_start_time() ? entry->get_start_time()->to_string(0) : "0 ns";
        const std::string end_text = entry->get_end_time() ? entry->get_end_time()->to_string(0) : "End of File";

        std::uint64_t lines_in_file = 0;
        if (!count_lines_in_file(name, &lines_in_file)) {
            keep_going = false;
            break;
        }

        std::ifstream stream(name, std::ios::in | std::ios::binary);
        putil_post_message(
            iputil_putil_vcd_reader_starting_vcd_stats_collection(name.c_str(), start_text.c_str(), end_text.c_str()));
        putil_vcd_lexer_yyFlexLexer* scanner = PUTIL_NEW putil_vcd_lexer_yyFlexLexer(&stream, nullptr);
        if (scanner == nullptr)
            PUTIL_INTERNAL_ERROR("Out of memory");

        if (collector == nullptr) {
            collector = PUTIL_NEW PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR(
                entry, name, lines_in_file, scanner, m_facade, sa_data, use_timing_estimator);
            if (collector == nullptr)
                PUTIL_INTERNAL_ERROR("Out of memory");
        } else {
            collector->reset_for_file(entry, name, lines_in_file, scanner);
        }

        if (!putil_vcd_parse(scanner, collector))
            putil_post_message(eputil_putil_vcd_reader_failed_file_parsing(name.c_str()));
        // What was collected up to a parse error is still written.
        keep_going = collector->write_results();
        collector->handle_end_of_file();
        delete scanner;
        putil_post_message(
            iputil_putil_vcd_reader_finished_vcd_stats_collection(name.c_str(), start_text.c_str(), end_text.c_str()));
        stream.close();
        if (!keep_going)
            break;
    }

    delete collector;
    return keep_going ? true : putil_lib_get_continue_and_warn_on_failure();
}
