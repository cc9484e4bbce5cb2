// The inputs of the activity job and their read.
#include "putil_activity_inputs.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>

#include "putil_activity_job.h"
#include "putil_command.h"
#include "putil_host.h"
#include "putil_time_text.h"

void PUTIL_ACTIVITY_INPUTS::configure(CLI::App& app, const std::string& vcd_option)
{
    const char* files_text = "VCD or extended VCD files, read in this order";
    if (vcd_option == "vcd")
        app.add_option("vcd", m_vcd_files, files_text);
    else
        app.add_option(vcd_option, m_vcd_files, files_text)->expected(1, -1);
    app.add_option("--vwf", m_vwf_file,
                   "Read this vector waveform table (TBL text) instead of VCD files; needs --design "
                   "(setting putil_read_vwf_file)");
    app.add_option("--start", m_start_text, "Start of the analysis window, e.g. 10ns");
    app.add_option("--end", m_end_text, "End of the analysis window, e.g. 1.5us");
    // A flag whose value must be attached ("--filter-glitches=200ps"), so
    // that "--filter-glitches wave.vcd" keeps wave.vcd as a VCD file.
    app.add_flag("--filter-glitches", m_glitch_width_text,
                 "Ignore pulses narrower than a signal's smallest fanout delay; with =WIDTH (e.g. "
                 "--filter-glitches=200ps) every connection has that delay")
        ->option_text("[=WIDTH]");
    app.add_option("--sdc", m_constraints_file,
                   "Clock constraints (create_clock and create_generated_clock lines; other commands are "
                   "skipped with a warning) applied before the waveforms are read: constrained clocks get their "
                   "rate and duty cycle");
    app.add_option("--scope", m_scope, "Design instance the waveforms apply to, e.g. top|cpu (default: root)");
    app.add_option("--merge", m_merge,
                   "When a later file annotates a signal again: replace, add or keep; or concatenate: the "
                   "files' times and transitions added, as if played one after the other")
        ->check(CLI::IsMember({"replace", "add", "keep", "concatenate"}));
    putil_add_one_value_option(app, "--set", m_settings, "Setting NAME=VALUE (repeatable)");
    app.add_flag("--strict", m_strict,
                 "Accept strict VCD only; by default the extended syntax that real simulators write is accepted "
                 "(setting putil_vcd_extended_syntax)");
    app.add_option("--output-dir", m_output_directory,
                   "Folder for the side files (name-matching lists; default: the working directory)");
    app.add_flag("--unmatched", m_unmatched,
                 "List on standard error each register and pin that got no activity, with the reason");
    m_glitch_option = app.get_option("--filter-glitches");
}

bool PUTIL_ACTIVITY_INPUTS::prepare(const std::string& design_file)
{
    m_design_file = design_file;
    putil_apply_activity_settings(m_strict);
    putil_apply_setting_assignments(m_settings);
    m_vwf = check_vwf_input();
    m_start = putil_parse_time_option("--start", m_start_text);
    m_end = putil_parse_time_option("--end", m_end_text);
    if (m_start && m_end && m_start->get_storage_number() > m_end->get_storage_number())
        throw PUTIL_USAGE_ERROR{"--start " + m_start_text + " is later than --end " + m_end_text};
    return m_vwf;
}

void PUTIL_ACTIVITY_INPUTS::check_input_files()
{
    // A missing VCD file is the reader's to report; a table is read whole.
    putil_name_standard_input(m_vcd_files);
    if (m_glitch_option->count() != 0)
        check_glitch_width_not_detached();
    putil_check_input_files(m_vcd_files, !m_vwf);
    std::vector<std::string> named;
    for (const std::string& file : {m_design_file, m_constraints_file})
        if (!file.empty())
            named.push_back(file);
    putil_check_input_files(named);
}

std::vector<std::string> PUTIL_ACTIVITY_INPUTS::input_files() const
{
    std::vector<std::string> inputs = m_vcd_files;
    inputs.insert(inputs.end(), {m_design_file, m_constraints_file});
    return inputs;
}

int PUTIL_ACTIVITY_INPUTS::read(std::unique_ptr<HOST_DESIGN>& design, bool keep_level_times, bool keep_partial_sums)
{
    putil_set_output_directory(m_output_directory);
    if (!m_vwf)
        m_fst_inputs.convert(m_vcd_files);
    std::string error;
    design = putil_load_waveform_design(m_design_file, m_vcd_files.front(), error, m_replay);
    if (!design) {
        std::cerr << "putil: error: " << error << "\n";
        return PUTIL_EXIT_INPUT_FAILED;
    }
    host_set_current_design(design.get());
    HOST_INSTANCE* scope = putil_find_scope(*design, m_scope);
    configure_inputs(*design, scope);
    design->store()->set_keeping_level_times(keep_level_times);
    if (keep_partial_sums)
        putil_keep_partial_sums(*design);
    if (!m_constraints_file.empty() && !apply_clock_constraints(*design))
        return PUTIL_EXIT_INPUT_FAILED;

    // Status 1 when a file was missing or did not parse (the reader still
    // writes what it collected), or the reader failed.
    const PUTIL_ACTIVITY_READ read = putil_read_waveform_inputs(*design, m_vwf);
    m_stopped = read.stopped;
    putil_warn_of_read_findings(*design);
    if (!read.error.empty())
        std::cerr << "putil: error: " << read.error << "\n";
    int status = putil_finish_fst_inputs(m_fst_inputs, read.status);
    if (status == PUTIL_EXIT_OK) {
        for (const std::string& warning : putil_empty_input_warnings(*design))
            std::cerr << "putil: warning: " << warning << "\n";
        if (!putil_report_unmatched(*design, m_unmatched))
            status = PUTIL_EXIT_INPUT_FAILED;
    }
    if (putil_output_failed() && status == PUTIL_EXIT_OK)
        status = PUTIL_EXIT_INPUT_FAILED;
    if (m_merge == "concatenate")
        putil_concatenate_read(*design);
    return status;
}

PUTIL_PARTIAL_OPTIONS PUTIL_ACTIVITY_INPUTS::partial_options() const
{
    PUTIL_PARTIAL_OPTIONS options;
    options.design_file = m_design_file;
    options.constraints_file = m_constraints_file;
    options.scope = m_scope;
    options.start = m_start;
    options.end = m_end;
    if (m_glitch_option->count() != 0)
        options.glitch_width = m_glitch_width_text.empty() ? "true" : m_glitch_width_text;
    options.strict = m_strict;
    options.settings = m_settings;
    return options;
}

// With --vwf (or the setting) the one input is a waveform table: the first
// input only is read, against a design file, and the options of VCD windows
// and entries have nothing to act on.
bool PUTIL_ACTIVITY_INPUTS::check_vwf_input()
{
    if (!m_vwf_file.empty()) {
        if (!m_vcd_files.empty())
            throw PUTIL_USAGE_ERROR{"--vwf takes the place of VCD files; give one or the other"};
        host_set_setting("putil_read_vwf_file", "on");
        m_vcd_files.push_back(m_vwf_file);
    }
    if (m_vcd_files.empty())
        throw PUTIL_USAGE_ERROR{"no input: give VCD files or --vwf TABLE"};
    if (!cfg_is_on("putil_read_vwf_file", false))
        return false;
    if (m_design_file.empty())
        throw PUTIL_USAGE_ERROR{"a waveform table needs --design"};
    const std::pair<const char*, bool> vcd_only[] = {{"--start", !m_start_text.empty()},
                                                     {"--end", !m_end_text.empty()},
                                                     {"--scope", !m_scope.empty()},
                                                     {"--merge", m_merge != "replace"}};
    for (const auto& [option, given] : vcd_only) {
        if (given)
            throw PUTIL_USAGE_ERROR{std::string(option) + " does not apply to a waveform table"};
    }
    return true;
}

// "--filter-glitches 20ns" reads 20ns as a VCD file: when that is no file
// but a time, say how the width is written.
void PUTIL_ACTIVITY_INPUTS::check_glitch_width_not_detached() const
{
    if (!(m_glitch_width_text.empty() || m_glitch_width_text == "true") || m_vcd_files.empty())
        return;
    const std::string& first = host_shown_file_name(m_vcd_files.front());
    std::int64_t picoseconds = 0;
    std::string error;
    if (putil_parse_time_text(first, picoseconds, error) && !std::filesystem::exists(first))
        throw PUTIL_USAGE_ERROR{"--filter-glitches takes its width after '=': --filter-glitches=" + first};
}

void PUTIL_ACTIVITY_INPUTS::configure_inputs(HOST_DESIGN& design, HOST_INSTANCE* scope) const
{
    putil_add_waveform_inputs(design, m_vcd_files, scope, m_start, m_end);
    putil_set_merge_mode(design, m_merge);
    // The flag alone reads as "true": the design's own delays are used.
    if (m_glitch_option->count() != 0)
        putil_set_glitch_filter(design, m_glitch_width_text == "true" ? "" : m_glitch_width_text);
}

// The constraints' clocks, and the clocks that PLLs and clock control blocks
// derive from them, give their rate and duty cycle to the store.
bool PUTIL_ACTIVITY_INPUTS::apply_clock_constraints(HOST_DESIGN& design) const
{
    std::string error;
    std::vector<std::string> warnings;
    const bool applied = putil_apply_clock_constraints(design, m_constraints_file, error, warnings);
    for (const std::string& warning : warnings)
        std::cerr << "putil: warning: " << warning << "\n";
    if (!applied)
        std::cerr << "putil: error: " << error << "\n";
    return applied;
}
