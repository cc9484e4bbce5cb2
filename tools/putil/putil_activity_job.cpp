// The shared steps of the activity job.
#include "putil_activity_job.h"

#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>

#include "putil_command.h"
#include "putil_partial.h"
#include "clocks/putil_clock_domain_calculator.h"
#include "putil_host.h"
#include "putil_time_text.h"
#include "reader/putil_vcd_reader.h"

namespace {

const unsigned MSG_FILE_NOT_FOUND = 222005;
const unsigned MSG_FILE_NOT_FOUND_WARNING = 222006;
const unsigned MSG_FAILED_FILE_PARSING = 222011;

bool fails_read(const HOST_POSTED_MESSAGE& message)
{
    return message.id == MSG_FILE_NOT_FOUND || message.id == MSG_FILE_NOT_FOUND_WARNING ||
           message.id == MSG_FAILED_FILE_PARSING;
}

}  // namespace

void putil_apply_activity_settings(bool strict)
{
    if (!strict)
        host_set_setting("putil_vcd_extended_syntax", "on");
    host_set_setting("putil_vcd_apply_thread", "on");
}

std::optional<std::string> putil_find_directory(const std::vector<std::string>& files)
{
    for (const std::string& file : files) {
        std::error_code ignored;
        if (std::filesystem::is_directory(file, ignored))
            return file;
    }
    return std::nullopt;
}

void putil_add_waveform_inputs(HOST_DESIGN& design, const std::vector<std::string>& files, HOST_INSTANCE* scope,
                               const std::optional<BIG_TIME>& start, const std::optional<BIG_TIME>& end)
{
    for (const std::string& file : files)
        design.input_files()->add_entry(file, scope, start ? &*start : nullptr, end ? &*end : nullptr);
}

HOST_INSTANCE* putil_find_scope(HOST_DESIGN& design, const std::string& scope)
{
    HOST_INSTANCE* instance = design.find_instance(scope);
    if (instance == nullptr)
        throw PUTIL_USAGE_ERROR{"--scope: the design has no instance \"" + scope + "\""};
    return instance;
}

void putil_set_merge_mode(HOST_DESIGN& design, const std::string& merge)
{
    PUTIL_MERGE_CHOICE choice = PUTIL_MERGE_CHOICE::REPLACE;
    if (!putil_merge_choice_from_name(merge, choice))
        throw PUTIL_USAGE_ERROR{"--merge " + merge + ": expected replace, add, keep or concatenate"};
    putil_prepare_merge(design, choice);
}

void putil_set_glitch_filter(HOST_DESIGN& design, const std::string& width)
{
    design.input_files()->set_use_timing_estimator(true);
    if (width.empty())
        return;
    // A plain number is picoseconds; the delay is an int of them.
    std::int64_t picoseconds = 0;
    std::string error;
    const int most = std::numeric_limits<int>::max();
    const bool plain_number = width.find_first_not_of("0123456789") == std::string::npos;
    if (!(plain_number ? putil_parse_picosecond_count(width, picoseconds, error, most)
                       : putil_parse_time_text(width, picoseconds, error, most)))
        throw PUTIL_USAGE_ERROR{"--filter-glitches: " + error};
    design.set_fixed_glitch_width(static_cast<int>(picoseconds));
}

bool putil_apply_clock_constraints(HOST_DESIGN& design, const std::string& file, std::string& error,
                                   std::vector<std::string>& warnings)
{
    if (!host_load_clock_constraints(design, file, error, &warnings))
        return false;
    std::unique_ptr<PUTIL_CLOCK_DOMAIN_CALCULATOR> calculator(
        putil_create_putil_clock_domain_calculator(design.store(), design.facade(), false, false));
    if (!calculator) {
        error = "out of memory";
        return false;
    }
    calculator->apply_clock_settings();
    return true;
}

PUTIL_ACTIVITY_READ putil_read_waveform_inputs(HOST_DESIGN& design, bool vwf)
{
    std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design.facade()));
    if (!reader)
        return {PUTIL_EXIT_INPUT_FAILED, "out of memory", ""};
    bool read_ok = false;
    try {
        read_ok = reader->read_vcd_files(design.store());
    } catch (const HOST_INTERNAL_ERROR& internal) {
        host_progress_finish();
        return {PUTIL_EXIT_INTERNAL_ERROR, "", internal.what()};
    }
    const bool stopped = reader->get_status() == PUTIL_VCD_READER_STATUS_STOPPED;
    putil_warn_if_stopped(reader->get_status());
    reader.reset();
    host_progress_finish();
    // The waveform database posts no message: the reason is the host's.
    if (vwf && !read_ok) {
        const std::string& reason = host_vdb_last_error();
        return {PUTIL_EXIT_INPUT_FAILED,
                "cannot read waveform table: " +
                    (reason.empty() ? design.input_files()->entries().front()->get_file_name() : reason),
                "", stopped};
    }
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages()) {
        if (fails_read(message))
            return {PUTIL_EXIT_INPUT_FAILED, "", "", stopped};
    }
    return {read_ok ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED, "", "", stopped};
}

std::vector<std::string> putil_empty_input_warnings(const HOST_DESIGN& design)
{
    std::vector<std::string> warnings;
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries()) {
        if (!entry->read_extent())
            continue;
        const PUTIL_READ_EXTENT& extent = *entry->read_extent();
        const std::string& file = host_shown_file_name(entry->get_file_name());
        if (extent.declared_signals == 0) {
            warnings.push_back(file + " declares no signals");
        } else if (extent.matched_signals == 0) {
            const std::string which = extent.declared_signals == 1
                                          ? "its one declared signal is not"
                                          : "none of its " + std::to_string(extent.declared_signals) +
                                                " declared signals is";
            warnings.push_back(file + ": " + which + " a signal of the design (see --scope and the design's names)");
        } else if (!extent.known_time) {
            const BIG_TIME* start = entry->get_start_time();
            const BIG_TIME* end = entry->get_end_time();
            char last[64];
            std::snprintf(last, sizeof last, " (the file's last timestamp is %.6g ns)", extent.last_time_ns);
            std::string where = "for any length of time";
            if (start != nullptr || end != nullptr)
                where = "inside the window " + (start ? start->to_string(0) : std::string("0 ns")) + " to " +
                        (end ? end->to_string(0) : std::string("its end"));
            warnings.push_back(file + ": no signal holds a known value " + where + last);
        }
    }
    return warnings;
}

const HOST_POSTED_MESSAGE* putil_first_input_failure()
{
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages()) {
        if (message.severity == MSG_SEVERITY_ERROR || fails_read(message))
            return &message;
    }
    return nullptr;
}
