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
#include "reader/putil_vcd_reader.h"

namespace {

const unsigned MSG_FAILED_FILE_PARSING = 222011;

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
        app.add_option("-o,--output", m_csv_file,
                       "Write the waveform points (CSV) to FILE (replaced only when the run succeeded) instead of "
                       "standard output");
        // The points' file under its older name.
        app.add_option("--csv", m_deprecated_csv_file)->group("");
        putil_add_one_value_option(app, "--set", m_settings, "Setting NAME=VALUE (repeatable)");
        app.add_flag("--strict", m_strict, "Accept strict VCD only");
    }

    int run() override
    {
        putil_take_deprecated_output("--csv", m_deprecated_csv_file, m_csv_file);
        if (!m_strict)
            host_set_setting("putil_vcd_extended_syntax", "on");
        // As for activity: the toggles are applied on a second thread while
        // the next value changes are read.
        host_set_setting("putil_vcd_apply_thread", "on");
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
        HOST_INSTANCE* scope = design->find_instance(m_scope);
        if (scope == nullptr)
            throw PUTIL_USAGE_ERROR{"--scope: the design has no instance \"" + m_scope + "\""};
        // The current counts every toggle of the file: the job takes no window.
        putil_add_waveform_inputs(*design, m_vcd_files, scope, std::nullopt, std::nullopt);

        std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design->facade()));
        if (!reader) {
            std::cerr << "putil: error: out of memory\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        std::vector<double> times, currents;
        const double unused = 0.0;
        bool generated = reader->generate_transient_current(design->store(), energies, &m_voltage, &unused, &times,
                                                            &currents, m_dump);
        putil_warn_if_stopped(reader->get_status());
        putil_warn_of_read_findings(*design);
        reader.reset();
        host_progress_finish();
        generated = putil_finish_fst_inputs(fst_inputs, PUTIL_EXIT_OK) == PUTIL_EXIT_OK && generated;
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            generated = generated && message.id != MSG_FAILED_FILE_PARSING;
        // A failed read writes no waveform: the outputs keep their content.
        if (!generated || putil_output_failed())
            return PUTIL_EXIT_INPUT_FAILED;
        if (!std::all_of(currents.begin(), currents.end(), [](double current) { return std::isfinite(current); })) {
            std::cerr << "putil: error: --voltage " << m_voltage_text
                      << " with these energies gives currents beyond the range of a double\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }

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
