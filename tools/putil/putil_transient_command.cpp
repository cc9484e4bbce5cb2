// `putil transient`: the supply current of the whole die over time, from
// the toggles of VCD waveforms and the switching energy of each signal.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "putil_activity_job.h"
#include "putil_command.h"
#include "putil_fst_input.h"
#include "putil_stream_replay.h"
#include "putil_host.h"
#include "putil_svg_plot.h"
#include "putil_transient_job.h"

namespace {

class PUTIL_TRANSIENT_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("vcd", m_vcd_files, "VCD or extended VCD files, read in this order")->required();
        app.add_option("--energies", m_energies_file,
                       "Switching energy per signal: CSV lines name,energy_type,energy (types 0 and 10 count)")
            ->required();
        app.add_option("--voltage", m_voltage_text, "Supply voltage in volts that turns power into current")->required();
        app.add_option("--design", m_design_file,
                       "Design (JSON); without it the design is derived from the first VCD");
        app.add_option("--scope", m_scope, "Design instance the waveforms apply to, e.g. top|cpu (default: root)");
        app.add_flag("--dump", m_dump,
                     "Also write transient_current_waveform.dump in the working directory (or --output-dir)");
        app.add_option("--output-dir", m_output_directory, "Folder for the dump (default: the working directory)");
        app.add_option("--plot", m_plot_file, "Write an SVG plot of current against time to FILE");
        putil_add_output_option(app, m_csv_file, "the waveform points (CSV)");
        // The points' file under its older name.
        app.add_option("--csv", m_deprecated_csv_file)->group("");
        putil_add_one_value_option(app, "--set", m_settings, "Setting NAME=VALUE (repeatable)");
        app.add_flag("--strict", m_strict, "Accept strict VCD only");
    }

    int run() override
    {
        putil_take_deprecated_output("--csv", m_deprecated_csv_file, m_csv_file);
        // As for activity: the toggles are applied on a second thread while
        // the next value changes are read.
        putil_apply_activity_settings(m_strict);
        putil_apply_setting_assignments(m_settings);
        if (!host_read_decimal(m_voltage_text, m_voltage) || !(m_voltage > 0.0))
            throw PUTIL_USAGE_ERROR{"--voltage " + m_voltage_text + ": expected a positive decimal number of volts"};
        // A missing VCD file is the reader's to report.
        putil_name_standard_input(m_vcd_files);
        putil_check_input_files(m_vcd_files, true);
        std::vector<std::string> inputs = m_vcd_files;
        inputs.push_back(m_energies_file);
        if (!m_design_file.empty())
            inputs.push_back(m_design_file);
        putil_check_input_files({inputs.begin() + static_cast<long>(m_vcd_files.size()), inputs.end()});
        putil_check_outputs({m_csv_file, m_plot_file}, inputs);
        putil_set_output_directory(m_output_directory);
        PUTIL_FST_INPUTS fst_inputs;
        fst_inputs.convert(m_vcd_files);
        std::string error;
        PUTIL_STREAM_REPLAY replay;
        std::unique_ptr<HOST_DESIGN> design =
            putil_load_waveform_design(m_design_file, m_vcd_files.front(), error, replay);
        PUTIL_TOGGLE_ENERGY_MAP energies;
        if (design && !host_load_toggle_energies(*design, m_energies_file, energies, error))
            design.reset();
        if (!design) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        host_set_current_design(design.get());
        const PUTIL_TRANSIENT_WAVEFORM waveform = putil_generate_transient_current(
            *design, m_vcd_files, putil_find_scope(*design, m_scope), energies, m_voltage, m_dump);
        if (!waveform.error.empty())
            std::cerr << "putil: error: " << waveform.error << "\n";
        putil_warn_if_stopped(waveform.reader_status);
        putil_warn_of_read_findings(*design);
        const bool generated = putil_finish_fst_inputs(fst_inputs, PUTIL_EXIT_OK) == PUTIL_EXIT_OK && waveform.generated;
        // A failed read writes no waveform: the outputs keep their content.
        if (!generated || putil_output_failed())
            return PUTIL_EXIT_INPUT_FAILED;
        if (!putil_currents_finite(waveform)) {
            std::cerr << "putil: error: --voltage " << m_voltage_text
                      << " with these energies gives currents beyond the range of a double\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        const std::vector<double>& times = waveform.times;
        const std::vector<double>& currents = waveform.currents;

        bool written = putil_write_output(m_csv_file, [&](std::ostream& out) { write_points(out, times, currents); });
        if (!m_plot_file.empty())
            written = putil_write_output(m_plot_file, [&](std::ostream& out) {
                putil_write_svg_line_plot(out, "Transient supply current", PUTIL_PLOT_AXIS{"time", "s"},
                                          PUTIL_PLOT_AXIS{"current", "A"}, times, currents);
            }) && written;
        return written ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED;
    }

private:
    static void write_points(std::ostream& out, const std::vector<double>& times, const std::vector<double>& currents)
    {
        out << "time_s,current_a\n";
        char line[64];
        for (std::size_t i = 0; i < times.size(); ++i) {
            std::snprintf(line, sizeof line, "%.17g,%.17g\n", times[i], currents[i]);
            out << line;
        }
    }

    std::vector<std::string> m_vcd_files;
    std::string m_energies_file;
    std::string m_voltage_text;
    double m_voltage = 0.0;
    std::string m_design_file;
    std::string m_scope;
    bool m_dump = false;
    std::string m_plot_file;
    std::string m_csv_file;
    std::string m_deprecated_csv_file;
    std::string m_output_directory;
    std::vector<std::string> m_settings;
    bool m_strict = false;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_transient_command() { return std::make_unique<PUTIL_TRANSIENT_COMMAND>(); }
