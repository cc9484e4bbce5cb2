// The inputs of the activity job as the program takes them: waveform files
// (or a waveform table), the design, the window, scope, merge, glitch
// filter, clock constraints and settings, and their read into the design's
// store. `putil activity` reports what was read; `putil hssi` hands it to the
// transceiver model.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/big_time.h"
#include "putil_fst_input.h"
#include "putil_partial.h"
#include "putil_stream_replay.h"

class HOST_DESIGN;
class HOST_INSTANCE;

namespace CLI {
class App;
class Option;
}

class PUTIL_ACTIVITY_INPUTS {
public:
    // Adds the options; the waveform files are the positional arguments
    // when vcd_option is "vcd", else an option of that name ("--vcd").
    // The design option is the caller's.
    void configure(CLI::App& app, const std::string& vcd_option);

    // Whether waveform files or a table were given.
    bool given() const { return !m_vcd_files.empty() || !m_vwf_file.empty(); }

    // Applies the settings and checks the options (usage errors are
    // thrown); answers whether the one input is a waveform table.
    // design_file is the design option's value.
    bool prepare(const std::string& design_file);
    // Checks the input files (input errors are thrown), after the caller's
    // own option checks.
    void check_input_files();
    // The files the job reads, for the output checks.
    std::vector<std::string> input_files() const;
    std::size_t vcd_file_count() const { return m_vcd_files.size(); }

    // Loads the design (derived from the first waveform without a design
    // file), applies the constraints and reads the waveforms into its store.
    // The status of the program; the design holds what was read even after
    // a failed read (null only when the design did not load).
    // keep_partial_sums: the store keeps what a partial result needs.
    int read(std::unique_ptr<HOST_DESIGN>& design, bool keep_level_times, bool keep_partial_sums = false);
    // The read ended early on purpose (no file after the last read was read).
    bool stopped() const { return m_stopped; }
    // What a partial result of the read records of its options.
    PUTIL_PARTIAL_OPTIONS partial_options() const;
    bool has_constraints() const { return !m_constraints_file.empty(); }

private:
    bool check_vwf_input();
    void check_glitch_width_not_detached() const;
    void configure_inputs(HOST_DESIGN& design, HOST_INSTANCE* scope) const;
    bool apply_clock_constraints(HOST_DESIGN& design) const;

    std::vector<std::string> m_vcd_files;
    std::string m_vwf_file;
    std::string m_design_file;
    bool m_vwf = false;
    std::string m_start_text;
    std::string m_end_text;
    std::optional<BIG_TIME> m_start;
    std::optional<BIG_TIME> m_end;
    std::string m_glitch_width_text;
    CLI::Option* m_glitch_option = nullptr;
    std::string m_constraints_file;
    std::string m_scope;
    std::string m_merge = "replace";
    std::vector<std::string> m_settings;
    bool m_strict = false;
    std::string m_output_directory;
    bool m_unmatched = false;
    bool m_stopped = false;
    PUTIL_FST_INPUTS m_fst_inputs;
    PUTIL_STREAM_REPLAY m_replay;
};
