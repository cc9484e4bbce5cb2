// What the subcommands share: settings from the command line and the output
// file.
#include "putil_command.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/putil_replaced_file.h"
#include "host/putil_lib.h"
#include "reader/putil_vcd_reader.h"

#include "putil_derived_design.h"
#include "putil_host.h"
#include "putil_stream_replay.h"
#include "putil_time_text.h"

CLI::Option* putil_add_output_option(CLI::App& app, std::string& file, const std::string& what,
                                     const std::string& when)
{
    return app.add_option("-o,--output", file,
                          "Write " + what + " to FILE (replaced only when " + when + ") instead of standard output");
}

CLI::Option* putil_add_one_value_option(CLI::App& app, const std::string& name, std::vector<std::string>& values,
                                        const std::string& description)
{
    // Each occurrence takes one value, so that the files after "--set A=B"
    // stay files.
    return app.add_option(name, values, description)->allow_extra_args(false);
}

void putil_apply_setting_assignments(const std::vector<std::string>& assignments)
{
    for (const std::string& assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos)
            throw PUTIL_USAGE_ERROR{"--set " + assignment + ": expected NAME=VALUE"};
        std::string error;
        if (!host_set_setting(assignment.substr(0, equals), assignment.substr(equals + 1), &error))
            throw PUTIL_USAGE_ERROR{"--set " + assignment + ": " + error};
    }
}

void putil_check_input_files(const std::vector<std::string>& files, bool missing_is_reported)
{
    for (const std::string& file : files) {
        if (file == "-")
            continue;
        struct stat status;
        if (::stat(file.c_str(), &status) != 0) {
            if (errno == ENOENT && missing_is_reported)
                continue;
            throw PUTIL_INPUT_ERROR{file + ": " + std::strerror(errno)};
        }
        if (S_ISDIR(status.st_mode))
            throw PUTIL_INPUT_ERROR{file + ": " + std::strerror(EISDIR)};
        if (::access(file.c_str(), R_OK) != 0)
            throw PUTIL_INPUT_ERROR{file + ": " + std::strerror(errno)};
    }
}

void putil_check_outputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs)
{
    for (const std::string& output : outputs) {
        if (output.empty() || output == "-")
            continue;
        for (const std::string& input : inputs) {
            std::error_code ignored;
            if (!input.empty() && input != "-" && std::filesystem::equivalent(output, input, ignored))
                throw PUTIL_USAGE_ERROR{"the output " + output + " is the input " + input +
                                        ": writing it would destroy the input"};
        }
        std::string error;
        if (!PUTIL_REPLACED_FILE::check_destination(output, error))
            throw PUTIL_INPUT_ERROR{error};
    }
}

bool putil_write_output(const std::string& file, const std::function<void(std::ostream&)>& write)
{
    PUTIL_REPLACED_FILE out(file.empty() ? "-" : file);
    if (out.is_open()) {
        write(out.stream());
        if (out.commit())
            return true;
    }
    std::cerr << "putil: error: " << out.error() << "\n";
    return false;
}

void putil_take_deprecated_output(const std::string& old_form, const std::string& old_value, std::string& output)
{
    if (old_value.empty())
        return;
    if (!output.empty())
        throw PUTIL_USAGE_ERROR{"the output is given twice: -o " + output + " and " + old_form + " " + old_value};
    std::cerr << "putil: warning: " << old_form << " is deprecated: write -o " << old_value << "\n";
    output = old_value;
}

void putil_set_output_directory(const std::string& folder)
{
    if (folder.empty())
        return;
    std::string error;
    if (!PUTIL_REPLACED_FILE::check_destination(putil_side_file_path(folder, "x"), error))
        throw PUTIL_INPUT_ERROR{"--output-dir " + folder + ": " + error.substr(error.rfind(": ") + 2)};
    host_set_output_directory(folder);
}

bool putil_output_failed() { return !host_output_failures().empty(); }

void putil_warn_if_stopped(int reader_status)
{
    if (reader_status == PUTIL_VCD_READER_STATUS_STOPPED)
        std::cerr << "putil: warning: the read stopped early (putil_vcd_stop_after_percent, or an interrupt): "
                     "the results cover the part read\n";
}

namespace {

// Once for the whole run: how many declarations strict reading left
// unmeasured for their ascending ranges.
void warn_of_ignored_ascending_ranges(const HOST_DESIGN& design)
{
    std::size_t count = 0;
    std::string example;
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries()) {
        if (!entry->read_extent())
            continue;
        if (example.empty())
            example = entry->read_extent()->first_ascending_range_ignored;
        count += entry->read_extent()->ascending_ranges_ignored;
    }
    if (count == 0)
        return;
    std::cerr << "putil: warning: " << count
              << (count == 1 ? " declaration with an ascending range (" : " declarations with ascending ranges (")
              << example << ") " << (count == 1 ? "was" : "were")
              << " ignored: strict reading measures descending ranges only; read without --strict to measure "
              << (count == 1 ? "it" : "them") << "\n";
}

// One line per input file whose read met malformed values.
void warn_of_malformed_values(const HOST_DESIGN& design)
{
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries()) {
        if (!entry->read_extent() || entry->read_extent()->malformed_values == 0)
            continue;
        const std::uint64_t count = entry->read_extent()->malformed_values;
        std::cerr << "putil: warning: " << stl_escape_control_bytes(host_shown_file_name(entry->get_file_name()))
                  << ": " << count << (count == 1 ? " malformed value was" : " malformed values were")
                  << " read as x (warning 222020 lists the first ones)\n";
    }
}

}  // namespace

void putil_warn_of_read_findings(const HOST_DESIGN& design)
{
    warn_of_ignored_ascending_ranges(design);
    warn_of_malformed_values(design);
}

namespace {

const char* const UNMATCHED_REASONS_FILE = "putil_vcd_unmatched_reasons.txt";

// "3 of 40 pins", or nothing when every one got activity.
std::string unmatched_count_text(std::size_t unmatched, std::size_t all, const char* what)
{
    return unmatched == 0 ? std::string() : std::to_string(unmatched) + " of " + std::to_string(all) + " " + what;
}

// One line per term on standard error, in netlist order.
void list_unmatched(const HOST_UNMATCHED& unmatched)
{
    for (const HOST_UNMATCHED_TERM& term : unmatched.terms)
        std::cerr << "putil: unmatched: " << stl_escape_control_bytes(term.oterm->get_string_hpath())
                  << (term.pin ? " (pin): " : " (register): ") << host_unmatched_reason_text(term.reason) << "\n";
}

// Where the terms are named: above (listed), in the reasons file, or how
// to get either.
std::string unmatched_hint(bool listed, bool reasons_written)
{
    if (listed)
        return reasons_written ? std::string(" (listed above and in ") + UNMATCHED_REASONS_FILE + ")"
                               : std::string(" (listed above)");
    if (reasons_written)
        return std::string(" (see ") + UNMATCHED_REASONS_FILE + ")";
    return std::string(" (--unmatched lists them; see ") + UNMATCHED_REASONS_FILE +
           " with --set putil_output_vcd_name_matching_info=on)";
}

void warn_of_unmatched(const HOST_UNMATCHED& unmatched, bool listed, bool reasons_written)
{
    const std::string registers = unmatched_count_text(unmatched.unmatched_registers, unmatched.registers, "registers");
    const std::string pins = unmatched_count_text(unmatched.unmatched_pins, unmatched.pins, "pins");
    std::cerr << "putil: warning: " << registers << (registers.empty() || pins.empty() ? "" : " and ") << pins
              << " got no activity:";
    const char* separator = " ";
    for (int reason = 0; reason < static_cast<int>(HOST_UNMATCHED_REASON::COUNT); ++reason) {
        if (unmatched.reason_counts[reason] == 0)
            continue;
        std::cerr << separator << unmatched.reason_counts[reason] << " "
                  << host_unmatched_reason_text(static_cast<HOST_UNMATCHED_REASON>(reason));
        separator = ", ";
    }
    std::cerr << unmatched_hint(listed, reasons_written) << "\n";
}

// "name,REGISTER,reason" per term, in netlist order.
bool write_unmatched_reasons(const HOST_UNMATCHED& unmatched)
{
    PUTIL_REPLACED_FILE file(putil_side_file_path(putil_lib_get_output_directory(), UNMATCHED_REASONS_FILE));
    for (const HOST_UNMATCHED_TERM& term : unmatched.terms)
        file.stream() << term.oterm->get_string_hpath() << (term.pin ? ",PIN," : ",REGISTER,")
                      << host_unmatched_reason_key(term.reason) << "\n";
    if (file.commit())
        return true;
    std::cerr << "putil: error: " << file.error() << "\n";
    return false;
}

}  // namespace

bool putil_report_unmatched(const HOST_DESIGN& design, bool listed)
{
    const HOST_UNMATCHED unmatched = host_find_unmatched(design);
    const bool write = cfg_is_on("putil_output_vcd_name_matching_info", false);
    const bool written = !write || write_unmatched_reasons(unmatched);
    if (listed)
        list_unmatched(unmatched);
    if (!unmatched.terms.empty())
        warn_of_unmatched(unmatched, listed, write && written);
    return written;
}

std::optional<BIG_TIME> putil_parse_time_option(const char* option, const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    std::int64_t picoseconds = 0;
    std::string error;
    if (!putil_parse_time_text(text, picoseconds, error))
        throw PUTIL_USAGE_ERROR{std::string(option) + ": " + error};
    return BIG_TIME(picoseconds);
}

std::unique_ptr<HOST_DESIGN> putil_load_waveform_design(const std::string& design_file, const std::string& first_vcd,
                                                        std::string& error)
{
    if (!design_file.empty())
        return host_load_design_file(design_file, error);
    std::unique_ptr<HOST_DESIGN> design = putil_derive_design(first_vcd, error);
    return design ? std::move(design) : std::make_unique<HOST_DESIGN>();
}

void putil_name_standard_input(std::vector<std::string>& files)
{
    for (std::string& file : files) {
        if (file == "-") {
            file = "/dev/stdin";
            host_set_shown_file_name(file, "standard input");
        }
    }
}

std::unique_ptr<HOST_DESIGN> putil_load_waveform_design(const std::string& design_file, std::string& first_vcd,
                                                        std::string& error, PUTIL_STREAM_REPLAY& replay)
{
    if (!design_file.empty() || !PUTIL_STREAM_REPLAY::is_stream(first_vcd))
        return putil_load_waveform_design(design_file, first_vcd, error);
    if (!replay.start(first_vcd, error))
        return nullptr;
    std::unique_ptr<HOST_DESIGN> design = putil_derive_design(replay.declarations_path(), error);
    replay.finish_declarations();
    host_set_shown_file_name(replay.text_path(), host_shown_file_name(first_vcd));
    first_vcd = replay.text_path();
    return design ? std::move(design) : std::make_unique<HOST_DESIGN>();
}
