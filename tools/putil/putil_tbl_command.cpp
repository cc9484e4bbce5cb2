// `putil tbl`: a VCD waveform converted into a TBL vector file of the
// design's matched pins and signals.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

#include "putil_command.h"
#include "putil_fst_input.h"
#include "putil_stream_replay.h"
#include "putil_host.h"
#include "reader/putil_vcd_reader.h"

namespace {

class PUTIL_TBL_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("vcd", m_vcd_file, "VCD or extended VCD file")->required();
        putil_add_output_option(app, m_tbl_file, "the TBL file", "the whole VCD was read");
        // The TBL file as a second argument, the older form.
        app.add_option("tbl", m_positional_tbl_file)->group("");
        app.add_option("--design", m_design_file,
                       "Design whose signals are listed (JSON); without it the design is derived from the VCD");
        app.add_option("--start", m_start_text, "Start of the converted window, e.g. 10ns");
        app.add_option("--end", m_end_text, "End of the converted window, e.g. 1.5us");
        app.add_flag("--inputs-only", m_inputs_only,
                     "List input pins only (setting print_only_inputs_to_tbl_file)");
        app.add_flag("--exact-times", m_exact_times,
                     "Write every time with all its digits in the VCD's own unit, so that the TBL reads back with "
                     "--vwf however long the run (setting putil_tbl_exact_times)");
        app.add_option("--scope", m_scope, "Not offered: the conversion matches names from the design's root");
        app.add_flag("--filter-glitches", m_glitch_width_text,
                     "Not offered: the TBL file keeps every value change of the VCD")
            ->option_text("[=WIDTH]");
        putil_add_one_value_option(app, "--set", m_settings, "Setting NAME=VALUE (repeatable)");
        app.add_flag("--strict", m_strict, "Accept strict VCD only");
        m_scope_option = app.get_option("--scope");
        m_glitch_option = app.get_option("--filter-glitches");
    }

    int run() override
    {
        refuse_activity_only_options();
        putil_take_deprecated_output("the TBL file as a second argument", m_positional_tbl_file, m_tbl_file);
        if (m_tbl_file.empty())
            m_tbl_file = "-";
        if (!m_strict)
            host_set_setting("putil_vcd_extended_syntax", "on");
        if (m_inputs_only)
            host_set_setting("print_only_inputs_to_tbl_file", "on");
        if (m_exact_times)
            host_set_setting("putil_tbl_exact_times", "on");
        putil_apply_setting_assignments(m_settings);
        const std::optional<BIG_TIME> start = putil_parse_time_option("--start", m_start_text);
        const std::optional<BIG_TIME> end = putil_parse_time_option("--end", m_end_text);
        // A missing VCD file is the reader's to report.
        std::vector<std::string> vcd_files{m_vcd_file};
        putil_name_standard_input(vcd_files);
        m_vcd_file = vcd_files.front();
        putil_check_input_files({m_vcd_file}, true);
        std::vector<std::string> inputs{m_vcd_file};
        if (!m_design_file.empty())
            inputs.push_back(m_design_file);
        putil_check_input_files({inputs.begin() + 1, inputs.end()});
        putil_check_outputs({m_tbl_file}, inputs);
        PUTIL_FST_INPUTS fst_inputs;
        fst_inputs.convert(vcd_files);
        m_vcd_file = vcd_files.front();
        std::string error;
        PUTIL_STREAM_REPLAY replay;
        std::unique_ptr<HOST_DESIGN> design = putil_load_waveform_design(m_design_file, m_vcd_file, error, replay);
        if (!design) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        host_set_current_design(design.get());
        std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design->facade()));
        if (!reader) {
            std::cerr << "putil: error: out of memory\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        // From an FST file the TBL is written under a name of its own and
        // takes its place only once fst2vcd has ended well too.
        const std::string written_tbl = fst_inputs.active() ? fst_stage_path() : m_tbl_file;
        host_set_shown_file_name(written_tbl, m_tbl_file == "-" ? "standard output" : m_tbl_file);
        const bool converted = reader->convert_vcd_to_tbl_file(m_vcd_file, written_tbl, start ? &*start : nullptr,
                                                               end ? &*end : nullptr);
        host_progress_finish();
        putil_warn_if_stopped(reader->get_status());
        const bool fst_read = putil_finish_fst_inputs(fst_inputs, PUTIL_EXIT_OK) == PUTIL_EXIT_OK;
        if (written_tbl != m_tbl_file) {
            const bool placed = !(converted && fst_read) || place_fst_stage(written_tbl);
            std::remove(written_tbl.c_str());
            if (!placed)
                return PUTIL_EXIT_INPUT_FAILED;
        }
        if (!fst_read)
            return PUTIL_EXIT_INPUT_FAILED;
        if (converted)
            return PUTIL_EXIT_OK;
        // A start later than the end is the command line's fault.
        return reader->get_status() == PUTIL_VCD_READER_STATUS_START_AFTER_END ? PUTIL_EXIT_USAGE
                                                                                : PUTIL_EXIT_INPUT_FAILED;
    }

private:
    // The conversion keeps every value change from the design's root: the
    // activity job's scope and glitch filter have nothing to act on.
    void refuse_activity_only_options() const
    {
        if (m_scope_option->count() != 0)
            throw PUTIL_USAGE_ERROR{"--scope does not apply to tbl: the conversion matches the VCD's names from the "
                                    "design's root (give a --design whose names start where the VCD's do)"};
        if (m_glitch_option->count() != 0)
            throw PUTIL_USAGE_ERROR{"--filter-glitches does not apply to tbl: the TBL file keeps every value change "
                                    "of the VCD"};
    }

    // Where the TBL from an FST file is written first: beside the output,
    // or in the temporary folder for standard output.
    std::string fst_stage_path() const
    {
        if (m_tbl_file == "-")
            return (std::filesystem::temp_directory_path() /
                    (".putil-fst-" + std::to_string(::getpid()) + ".tbl")).string();
        const std::filesystem::path tbl_path(m_tbl_file);
        return (tbl_path.parent_path() / (".putil-fst-" + tbl_path.filename().string())).string();
    }

    // Puts the TBL written from an FST file in place of the output.
    bool place_fst_stage(const std::string& staged) const
    {
        if (m_tbl_file == "-")
            return putil_write_output("-", [&](std::ostream& out) { out << std::ifstream(staged).rdbuf(); });
        if (std::rename(staged.c_str(), m_tbl_file.c_str()) == 0)
            return true;
        std::cerr << "putil: error: cannot write " << m_tbl_file << ": " << std::strerror(errno) << "\n";
        return false;
    }

    std::string m_vcd_file;
    std::string m_tbl_file;
    std::string m_positional_tbl_file;
    std::string m_scope;
    CLI::Option* m_scope_option = nullptr;
    std::string m_glitch_width_text;
    CLI::Option* m_glitch_option = nullptr;
    std::string m_design_file;
    std::string m_start_text;
    std::string m_end_text;
    bool m_inputs_only = false;
    bool m_exact_times = false;
    bool m_strict = false;
    std::vector<std::string> m_settings;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_tbl_command() { return std::make_unique<PUTIL_TBL_COMMAND>(); }
