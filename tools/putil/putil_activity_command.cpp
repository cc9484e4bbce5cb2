// `putil activity`: signal activity from VCD files or a vector waveform
// table, printed per signal.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>

#include "putil_activity_job.h"
#include "putil_activity_report.h"
#include "clocks/putil_clock_domain_calculator.h"
#include "putil_command.h"
#include "putil_fst_input.h"
#include "putil_partial.h"
#include "putil_stream_replay.h"
#include "putil_host.h"
#include "putil_time_text.h"
#include "reader/putil_vcd_reader.h"

namespace {

class PUTIL_ACTIVITY_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("vcd", m_vcd_files, "VCD or extended VCD files, read in this order");
        app.add_option("--vwf", m_vwf_file,
                       "Read this vector waveform table (TBL text) instead of VCD files; needs --design "
                       "(setting putil_read_vwf_file)");
        app.add_option("--design", m_design_file,
                       "Design to annotate (JSON); without it the design is derived from the first VCD");
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
        app.add_option("--format", m_format_name,
                       "Output format: table, csv, json, saif (SAIF 2.0: times at 0, 1, X and Z and transition "
                       "counts per net; one VCD file), or partial (what each file measured, for putil merge)")
            ->check(CLI::IsMember({"table", "csv", "json", "saif", "partial"}));
        app.add_option("-o,--output", m_output_file,
                       "Write the output to FILE (replaced only when the run succeeded) instead of standard output");
        app.add_option("--output-dir", m_output_directory,
                       "Folder for the side files (name-matching lists; default: the working directory)");
        app.add_flag("--partial", m_partial,
                     "When a file fails to read, still write what was measured, marked \"partial\": true "
                     "(JSON only)");
        m_glitch_option = app.get_option("--filter-glitches");
    }

    int run() override
    {
        apply_settings();
        const bool vwf = check_vwf_input();
        const std::optional<BIG_TIME> start = putil_parse_time_option("--start", m_start_text);
        const std::optional<BIG_TIME> end = putil_parse_time_option("--end", m_end_text);
        if (start && end && start->get_storage_number() > end->get_storage_number())
            throw PUTIL_USAGE_ERROR{"--start " + m_start_text + " is later than --end " + m_end_text};
        PUTIL_ACTIVITY_FORMAT format = PUTIL_ACTIVITY_FORMAT::TABLE;
        putil_activity_format_from_name(m_format_name, format);
        if (format == PUTIL_ACTIVITY_FORMAT::SAIF && (vwf || m_vcd_files.size() != 1))
            throw PUTIL_USAGE_ERROR{"--format saif takes exactly one VCD file: its nets' times add up to one "
                                    "simulation's duration"};
        const bool partial_format = m_format_name == "partial";
        if (partial_format && vwf)
            throw PUTIL_USAGE_ERROR{"--format partial takes VCD files, not a waveform table"};
        if (m_partial && format != PUTIL_ACTIVITY_FORMAT::JSON)
            throw PUTIL_USAGE_ERROR{"--partial needs --format json, where results are marked partial"};
        // A missing VCD file is the reader's to report; a table is read whole.
        putil_name_standard_input(m_vcd_files);
        if (m_glitch_option->count() != 0)
            check_glitch_width_not_detached();
        putil_check_input_files(m_vcd_files, !vwf);
        putil_check_input_files(named_files({m_design_file, m_constraints_file}));
        std::vector<std::string> inputs = m_vcd_files;
        inputs.insert(inputs.end(), {m_design_file, m_constraints_file});
        putil_check_outputs({m_output_file}, inputs);
        putil_set_output_directory(m_output_directory);
        PUTIL_FST_INPUTS fst_inputs;
        if (!vwf)
            fst_inputs.convert(m_vcd_files);

        std::string error;
        PUTIL_STREAM_REPLAY replay;
        std::unique_ptr<HOST_DESIGN> design =
            putil_load_waveform_design(m_design_file, m_vcd_files.front(), error, replay);
        if (!design) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        host_set_current_design(design.get());
        HOST_INSTANCE* scope = design->find_instance(m_scope);
        if (scope == nullptr)
            throw PUTIL_USAGE_ERROR{"--scope: the design has no instance \"" + m_scope + "\""};
        configure_inputs(*design, scope, start, end);
        design->store()->set_keeping_level_times(format == PUTIL_ACTIVITY_FORMAT::SAIF);
        if (partial_format)
            putil_keep_partial_sums(*design);
        if (!m_constraints_file.empty() && !apply_clock_constraints(*design))
            return PUTIL_EXIT_INPUT_FAILED;

        bool stopped = false;
        int status = read_waveforms(*design, vwf, stopped);
        status = putil_finish_fst_inputs(fst_inputs, status);
        if (status == PUTIL_EXIT_OK) {
            for (const std::string& warning : putil_empty_input_warnings(*design))
                std::cerr << "putil: warning: " << warning << "\n";
            if (!putil_report_unmatched(*design))
                status = PUTIL_EXIT_INPUT_FAILED;
        }
        if (putil_output_failed() && status == PUTIL_EXIT_OK)
            status = PUTIL_EXIT_INPUT_FAILED;
        // A failed read leaves the output as it was, unless partial results
        // were asked for.
        if (status != PUTIL_EXIT_OK && !(m_partial && status == PUTIL_EXIT_INPUT_FAILED))
            return status;
        if (m_merge == "concatenate")
            putil_concatenate_read(*design);
        if (partial_format)
            return write_partial(*design, start, end, stopped) ? status : PUTIL_EXIT_INPUT_FAILED;
        if (!write_report(*design, format, status != PUTIL_EXIT_OK) && status == PUTIL_EXIT_OK)
            status = PUTIL_EXIT_INPUT_FAILED;
        return status;
    }

private:
    void apply_settings()
    {
        putil_apply_activity_settings(m_strict);
        putil_apply_setting_assignments(m_settings);
    }

    // With --vwf (or the setting) the one input is a waveform table: the
    // first input only is read, against a design file, and the options of
    // VCD windows and entries have nothing to act on.
    bool check_vwf_input()
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

    // "--filter-glitches 20ns" reads 20ns as a VCD file: when that is no
    // file but a time, say how the width is written.
    void check_glitch_width_not_detached() const
    {
        if (!(m_glitch_width_text.empty() || m_glitch_width_text == "true") || m_vcd_files.empty())
            return;
        const std::string& first = host_shown_file_name(m_vcd_files.front());
        std::int64_t picoseconds = 0;
        std::string error;
        if (putil_parse_time_text(first, picoseconds, error) && !std::filesystem::exists(first))
            throw PUTIL_USAGE_ERROR{"--filter-glitches takes its width after '=': --filter-glitches=" + first};
    }

    void configure_inputs(HOST_DESIGN& design, HOST_INSTANCE* scope, const std::optional<BIG_TIME>& start,
                          const std::optional<BIG_TIME>& end) const
    {
        putil_add_waveform_inputs(design, m_vcd_files, scope, start, end);
        HOST_INPUT_FILE_MANAGER* inputs = design.input_files();
        PUTIL_MERGE_CHOICE merge = PUTIL_MERGE_CHOICE::REPLACE;
        putil_merge_choice_from_name(m_merge, merge);
        putil_prepare_merge(design, merge);
        if (m_glitch_option->count() == 0)
            return;
        inputs->set_use_timing_estimator(true);
        // The flag alone reads as "true": the design's own delays are used.
        if (m_glitch_width_text.empty() || m_glitch_width_text == "true")
            return;
        // A plain number is picoseconds; the delay is an int of them.
        std::int64_t picoseconds = 0;
        std::string error;
        const int most = std::numeric_limits<int>::max();
        const bool plain_number = m_glitch_width_text.find_first_not_of("0123456789") == std::string::npos;
        if (!(plain_number ? putil_parse_picosecond_count(m_glitch_width_text, picoseconds, error, most)
                           : putil_parse_time_text(m_glitch_width_text, picoseconds, error, most)))
            throw PUTIL_USAGE_ERROR{"--filter-glitches: " + error};
        design.set_fixed_glitch_width(static_cast<int>(picoseconds));
    }

    // Status 1 when a file was missing or did not parse (the reader still
    // writes what it collected), or the reader failed.
    static int read_waveforms(HOST_DESIGN& design, bool vwf, bool& stopped)
    {
        const PUTIL_ACTIVITY_READ read = putil_read_waveform_inputs(design, vwf);
        stopped = read.stopped;
        putil_warn_of_read_findings(design);
        if (!read.error.empty())
            std::cerr << "putil: error: " << read.error << "\n";
        return read.status;
    }

    // The constraints' clocks, and the clocks that PLLs and clock control
    // blocks derive from them, give their rate and duty cycle to the store.
    bool apply_clock_constraints(HOST_DESIGN& design) const
    {
        std::string error;
        std::vector<std::string> warnings;
        if (!putil_apply_clock_constraints(design, m_constraints_file, error, warnings)) {
            std::cerr << "putil: error: " << error << "\n";
            return false;
        }
        for (const std::string& warning : warnings)
            std::cerr << "putil: warning: " << warning << "\n";
        return true;
    }

    bool write_report(const HOST_DESIGN& design, PUTIL_ACTIVITY_FORMAT format, bool partial) const
    {
        const bool with_constraints = !m_constraints_file.empty();
        return putil_write_output(m_output_file, [&](std::ostream& out) {
            putil_write_activity_report(design, format, with_constraints, out, partial);
        });
    }

    // What each file measured, with what the merge must know of the run.
    bool write_partial(const HOST_DESIGN& design, const std::optional<BIG_TIME>& start,
                       const std::optional<BIG_TIME>& end, bool stopped) const
    {
        PUTIL_PARTIAL_OPTIONS options;
        options.design_file = m_design_file;
        options.constraints_file = m_constraints_file;
        options.scope = m_scope;
        options.start = start;
        options.end = end;
        if (m_glitch_option->count() != 0)
            options.glitch_width = m_glitch_width_text.empty() ? "true" : m_glitch_width_text;
        options.strict = m_strict;
        options.settings = m_settings;
        const nlohmann::json partial = putil_partial_json(design, options, stopped);
        return putil_write_output(m_output_file, [&](std::ostream& out) { out << partial.dump() << "\n"; });
    }

    static std::vector<std::string> named_files(std::initializer_list<std::string> files)
    {
        std::vector<std::string> named;
        for (const std::string& file : files)
            if (!file.empty())
                named.push_back(file);
        return named;
    }

    std::vector<std::string> m_vcd_files;
    std::string m_vwf_file;
    std::string m_design_file;
    std::string m_start_text;
    std::string m_end_text;
    std::string m_glitch_width_text;
    CLI::Option* m_glitch_option = nullptr;
    std::string m_constraints_file;
    std::string m_scope;
    std::string m_merge = "replace";
    std::vector<std::string> m_settings;
    bool m_strict = false;
    std::string m_format_name = "table";
    std::string m_output_file;
    std::string m_output_directory;
    bool m_partial = false;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_activity_command() { return std::make_unique<PUTIL_ACTIVITY_COMMAND>(); }
