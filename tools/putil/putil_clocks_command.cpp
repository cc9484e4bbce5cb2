// `putil clocks`: the clock domain of every output signal of a design, with
// relative toggle rates made absolute and the signals whose clock cannot be
// named reported.
#include <CLI/CLI.hpp>
#include <cmath>
#include <iostream>
#include <map>

#include "putil_clocks_job.h"
#include "putil_command.h"
#include "putil_host.h"

namespace {

class PUTIL_CLOCKS_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("--design", m_design_file, "Design (JSON), with its clocks")->required();
        app.add_option("--sdc", m_constraints_file,
                       "Clock constraints: create_clock and create_generated_clock lines (other commands are skipped "
                       "with a warning)");
        app.add_option("--rule", m_rule,
                       "Where clocks of two domains meet: strict (rate unknown), fastest or slowest clock wins")
            ->check(CLI::IsMember({"strict", "fastest", "slowest"}));
        putil_add_one_value_option(app, "--relative", m_relative_texts,
                       "NAME=PERCENT: the signal NAME toggles at PERCENT of its clock's toggle rate (repeatable)");
        putil_add_one_value_option(app, "--set", m_settings, "Setting NAME=VALUE (repeatable)");
        app.add_option("--format", m_format_name, "Output format: table, csv or json")
            ->check(CLI::IsMember({"table", "csv", "json"}));
        putil_add_output_option(app, m_output_file);
        app.add_option("--output-dir", m_output_directory,
                       "Folder for the side files (the clock domain dump; default: the working directory)");
    }

    int run() override
    {
        putil_apply_setting_assignments(m_settings);
        const std::map<std::string, float> relative = parse_relative();
        std::vector<std::string> inputs{m_design_file};
        if (!m_constraints_file.empty())
            inputs.push_back(m_constraints_file);
        putil_check_input_files(inputs);
        putil_check_outputs({m_output_file}, inputs);
        putil_set_output_directory(m_output_directory);
        std::string error;
        std::vector<std::string> warnings;
        std::unique_ptr<HOST_DESIGN> design =
            putil_load_clocks_design(m_design_file, m_constraints_file, error, warnings);
        for (const std::string& warning : warnings)
            std::cerr << "putil: warning: " << warning << "\n";
        if (!design) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        host_set_current_design(design.get());
        PUTIL_CLOCKS_REPORT report;
        if (!putil_run_clocks_job(*design, m_rule, relative, report)) {
            std::cerr << "putil: error: out of memory\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }

        PUTIL_CLOCKS_FORMAT format = PUTIL_CLOCKS_FORMAT::TABLE;
        if (m_format_name == "csv")
            format = PUTIL_CLOCKS_FORMAT::CSV;
        else if (m_format_name == "json")
            format = PUTIL_CLOCKS_FORMAT::JSON;
        if (putil_output_failed())
            return PUTIL_EXIT_INPUT_FAILED;
        const bool written =
            putil_write_output(m_output_file, [&](std::ostream& out) { putil_write_clocks_report(report, format, out); });
        return written ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED;
    }

private:
    // NAME=PERCENT by signal name; the last assignment of a name counts.
    std::map<std::string, float> parse_relative() const
    {
        std::map<std::string, float> relative;
        for (const std::string& text : m_relative_texts) {
            const std::size_t equals = text.rfind('=');
            double value = 0.0;
            const bool read = equals != std::string::npos && equals > 0 &&
                              host_read_decimal(std::string_view(text).substr(equals + 1), value);
            // A finite single-precision percentage, as the store keeps it.
            const float percent = static_cast<float>(value);
            if (!read || !(percent >= 0.0f) || !std::isfinite(percent))
                throw PUTIL_USAGE_ERROR{"--relative " + text + ": expected NAME=PERCENT with a percentage of 0 or more"};
            relative[text.substr(0, equals)] = percent;
        }
        return relative;
    }

    std::string m_design_file;
    std::string m_constraints_file;
    std::string m_rule = "strict";
    std::vector<std::string> m_relative_texts;
    std::vector<std::string> m_settings;
    std::string m_format_name = "table";
    std::string m_output_file;
    std::string m_output_directory;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_clocks_command() { return std::make_unique<PUTIL_CLOCKS_COMMAND>(); }
