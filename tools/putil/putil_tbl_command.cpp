// `putil tbl`: a VCD waveform converted into a TBL vector file of the
// design's matched pins and signals.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

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
        app.add_option("tbl", m_tbl_file, "TBL file to write (replaced only when the whole VCD was read)")->required();
        app.add_option("--design", m_design_file,
                       "Design whose signals are listed (JSON); without it the design is derived from the VCD");
        app.add_option("--start", m_start_text, "Start of the converted window, e.g. 10ns");
        app.add_option("--end", m_end_text, "End of the converted window, e.g. 1.5us");
        app.add_flag("--inputs-only", m_inputs_only,
                     "List input pins only (setting print_only_inputs_to_tbl_file)");
        app.add_flag("--exact-times", m_exact_times,
                     "Write every time with all its digits in the VCD's own unit, so that the TBL reads back with "
                     "--vwf however long the run (setting putil_tbl_exact_times)");
        putil_add_one_value_option(app, "--set", m_settings, "Setting NAME=VALUE (repeatable)");
        app.add_flag("--strict", m_strict, "Accept strict VCD only");
    }

    int run() override
    {
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
        if (m_tbl_file == "-")
            throw PUTIL_USAGE_ERROR{"the TBL file is written by name; standard output is not offered for it"};
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
        const std::filesystem::path tbl_path(m_tbl_file);
        const std::string written_tbl =
            fst_inputs.active() ? (tbl_path.parent_path() / (".putil-fst-" + tbl_path.filename().string())).string()
                                : m_tbl_file;
        host_set_shown_file_name(written_tbl, m_tbl_file);
        const bool converted = reader->convert_vcd_to_tbl_file(m_vcd_file, written_tbl, start ? &*start : nullptr,
                                                               end ? &*end : nullptr);
        host_progress_finish();
        putil_warn_if_stopped(reader->get_status());
        const bool fst_read = putil_finish_fst_inputs(fst_inputs, PUTIL_EXIT_OK) == PUTIL_EXIT_OK;
        if (written_tbl != m_tbl_file) {
            if (converted && fst_read && std::rename(written_tbl.c_str(), m_tbl_file.c_str()) != 0) {
                std::cerr << "putil: error: cannot write " << m_tbl_file << ": " << std::strerror(errno) << "\n";
                std::remove(written_tbl.c_str());
                return PUTIL_EXIT_INPUT_FAILED;
            }
            std::remove(written_tbl.c_str());
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
    std::string m_vcd_file;
    std::string m_tbl_file;
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
