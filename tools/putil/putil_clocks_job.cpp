// The shared clocks job.
#include "putil_clocks_job.h"

#include "clocks/putil_clock_domain_calculator.h"
#include "putil_command.h"
#include "putil_host.h"

namespace {

struct RULE {
    const char* name;
    PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type;
};
const RULE RULES[] = {{"strict", STRICT}, {"fastest", MAXIMUM_FREQUENCY}, {"slowest", MINIMUM_FREQUENCY}};

PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE rule_type(const std::string& name)
{
    for (const RULE& rule : RULES) {
        if (name == rule.name)
            return rule.type;
    }
    throw PUTIL_USAGE_ERROR{"--rule " + name + ": expected strict, fastest or slowest"};
}

// Asks the clock rate of every signal given relative to its clock, so
// that the calculator reports those it cannot name a clock for.
void request_relative_rates(const HOST_DESIGN& design, PUTIL_CLOCK_DOMAIN_CALCULATOR& calculator,
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

void collect_rows(const HOST_DESIGN& design, PUTIL_CLOCK_DOMAIN_CALCULATOR& calculator,
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

void collect_tables(PUTIL_CLOCKS_REPORT& report)
{
    for (const HOST_REPORT_TABLE& table : host_report_tables())
        report.tables.push_back(PUTIL_CLOCKS_TABLE{table.title, table.rows});
}

}  // namespace

std::unique_ptr<HOST_DESIGN> putil_load_clocks_design(const std::string& design_file,
                                                      const std::string& constraints_file, std::string& error,
                                                      std::vector<std::string>& warnings)
{
    std::unique_ptr<HOST_DESIGN> design = host_load_design_file(design_file, error);
    if (design && !constraints_file.empty() &&
        !host_load_clock_constraints(*design, constraints_file, error, &warnings))
        design.reset();
    return design;
}

bool putil_run_clocks_job(const HOST_DESIGN& design, const std::string& rule,
                          const std::map<std::string, float>& relative, PUTIL_CLOCKS_REPORT& report)
{
    const PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type = rule_type(rule);
    std::unique_ptr<PUTIL_CLOCK_DOMAIN_CALCULATOR> calculator(
        putil_create_putil_clock_domain_calculator(design.store(), design.facade(), false, false));
    if (!calculator)
        return false;
    report.rule = rule;
    calculator->apply_clock_settings();
    calculator->calculate_clock_domains(type);
    calculator->calculate_clock_nets();
    request_relative_rates(design, *calculator, relative);
    calculator->report_indeterminate_toggle_rates();
    collect_rows(design, *calculator, relative, report);
    calculator.reset();
    collect_tables(report);
    return true;
}
