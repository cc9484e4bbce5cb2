// `putil clocks`: the clock domain of every output signal of a design, with
// relative toggle rates made absolute and the signals whose clock cannot be
// named reported.
#include <CLI/CLI.hpp>
#include <cmath>
#include <iostream>
#include <map>

#include "clocks/putil_clock_domain_calculator.h"
#include "putil_clocks_report.h"
#include "putil_command.h"
#include "putil_host.h"

namespace {

struct RULE {
    const char* name;
    PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type;
};
const RULE RULES[] = {{"strict", STRICT}, {"fastest", MAXIMUM_FREQUENCY}, {"slowest", MINIMUM_FREQUENCY}};

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
        app.add_option("-o,--output", m_output_file,
                       "Write the output to FILE (replaced only when the run succeeded) instead of standard output");
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
        std::unique_ptr<HOST_DESIGN> design = host_load_design_file(m_design_file, error);
        if (design && !m_constraints_file.empty() &&
            !host_load_clock_constraints(*design, m_constraints_file, error, &warnings))
            design.reset();
        if (!design) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        for (const std::string& warning : warnings)
            std::cerr << "putil: warning: " << warning << "\n";
        host_set_current_design(design.get());

        std::unique_ptr<PUTIL_CLOCK_DOMAIN_CALCULATOR> calculator(
            putil_create_putil_clock_domain_calculator(design->store(), design->facade(), false, false));
        if (!calculator) {
            std::cerr << "putil: error: out of memory\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        PUTIL_CLOCKS_REPORT report;
        report.rule = m_rule;
        calculator->apply_clock_settings();
        calculator->calculate_clock_domains(rule_type());
        calculator->calculate_clock_nets();
        request_relative_rates(*design, *calculator, relative);
        calculator->report_indeterminate_toggle_rates();
        collect_rows(*design, *calculator, relative, report);
        calculator.reset();
        collect_tables(report);

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
    PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE rule_type() const
    {
        for (const RULE& rule : RULES) {
            if (m_rule == rule.name)
                return rule.type;
        }
        return STRICT;
    }

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

    // Asks the clock rate of every signal given relative to its clock, so
    // that the calculator reports those it cannot name a clock for.
    static void request_relative_rates(const HOST_DESIGN& design, PUTIL_CLOCK_DOMAIN_CALCULATOR& calculator,
                                       const std::map<std::string, float>& relative)
    {
        std::map<std::string, bool> found;
        CDB_ATOM_NETLIST* netlist = design.netlist();
        for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
            for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
                const std::string name = (*term)->get_string_hpath();
                if (relative.count(name) == 0)
                    continue;
                calculator.get_clock_toggle_rate(*term, true);
                found[name] = true;
            }
        }
        for (const auto& entry : relative) {
            if (found.count(entry.first) == 0)
                throw PUTIL_USAGE_ERROR{"--relative " + entry.first + ": the design has no output signal of that name"};
        }
    }

    static void collect_rows(const HOST_DESIGN& design, PUTIL_CLOCK_DOMAIN_CALCULATOR& calculator,
                             const std::map<std::string, float>& relative, PUTIL_CLOCKS_REPORT& report)
    {
        std::vector<int> domains;
        std::vector<bool> clock_nets;
        calculator.get_clock_domain_ids(domains);
        calculator.get_clock_net_flags(clock_nets);
        CDB_ATOM_NETLIST* netlist = design.netlist();
        HOST_SA_DATA* store = design.store();
        for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
            for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
                unsigned id = 0;
                if (!store->get_unique_id_for_output_signal(*term, &id))
                    continue;
                PUTIL_CLOCKS_ROW row{(*term)->get_string_hpath(), domains[id], calculator.get_clock_toggle_rate(id),
                                     false, false, false, clock_nets[id], std::nullopt};
                calculator.get_clock_domain_flags(id, &row.from_fanout_traversal, &row.multiple_clock_domains,
                                                  &row.multiple_register_clock_domains);
                const auto given = relative.find(row.name);
                if (given != relative.end())
                    row.relative_percent = given->second;
                report.signals.push_back(std::move(row));
            }
        }
    }

    static void collect_tables(PUTIL_CLOCKS_REPORT& report)
    {
        for (const HOST_REPORT_TABLE& table : host_report_tables())
            report.tables.push_back(PUTIL_CLOCKS_TABLE{table.title, table.rows});
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
