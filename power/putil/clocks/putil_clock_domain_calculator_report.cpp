// Clock domain calculator: the warnings and the "Indeterminate Toggle Rates"
// table for terms whose relative toggle rate has no unique clock, and the
// clock domain dump file.
#include <fstream>
#include <memory>
#include <string>

#include "host/cdb_atom.h"
#include "host/hdb.h"
#include "host/putil_sa_data.h"
#include "host/rdb.h"
#include "clocks/putil_clock_domain_calculator_main.h"
#include "core/putil_msgs.h"
#include "core/putil_replaced_file.h"

namespace {

const float s_unknown_rate = -1.0f;
// Instance-name flag of the pins that reports show.
const unsigned s_reported_pin_flag = 256;
const char* const s_multiple_domains_reason = "Multiple clock domains found";
const char* const s_no_domain_reason = "No valid clock domain found";

typedef std::unique_ptr<MSG_OBJECT> MESSAGE;

// Makes a warning the first time a term needs it: each is posted once,
// however many terms it covers.
void make_once(MESSAGE& message, MSG_OBJECT* (*factory)())
{
    if (!message)
        message.reset(factory());
}

void add_table_row(RDB_TABLE_OBJECT* table, const std::string& node, const std::string& reason)
{
    RDB_ROW* table_row = rdb_create_row({node, reason});
    PUTIL_ASSERT(table_row != 0);
    table->add_row(table_row);
}

void post(MESSAGE& message)
{
    if (message)
        putil_post_message(message.release());
}

const char* calculation_type_name(PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type)
{
    switch (type) {
    case STRICT: return "STRICT";
    case MAXIMUM_FREQUENCY: return "MAXIMUM_FREQUENCY";
    case MINIMUM_FREQUENCY: return "MINIMUM_FREQUENCY";
    }
    return "";
}

int flag_text(bool flag) { return flag ? 1 : 0; }

}  // namespace

// The warnings of one report, each made when its first term needs it.
struct PUTIL_INDETERMINATE_RATE_WARNINGS {
    MESSAGE fastest_clock;      // 222014, with one 222015 per term
    MESSAGE slowest_clock;      // 222016, with one 222017 per term
    MESSAGE no_unique_domain;   // 222018
    MESSAGE no_unique_register_domain;   // 222019
    MESSAGE no_domain;          // 222013
};

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::report_indeterminate_toggle_rates()
{
    CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
    PUTIL_ASSERT(atom_netlist != 0);
    drop_duplicate_pin_reports(atom_netlist);

    std::unique_ptr<RDB_TABLE_OBJECT> indeterminate_toggle_rates_warning_panel(
        rdb_create_table("Indeterminate Toggle Rates"));
    PUTIL_ASSERT(indeterminate_toggle_rates_warning_panel != 0);
    add_table_row(indeterminate_toggle_rates_warning_panel.get(), RDB_NODE_COL, RDB_REASON_COL);

    PUTIL_INDETERMINATE_RATE_WARNINGS warnings;
    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        if (*node != nullptr && reports_atom(*node))
            report_atom_terms(*node, warnings, indeterminate_toggle_rates_warning_panel.get());
    }

    // The table lists the terms left without a rate; terms that got the
    // fastest or slowest of their clocks are only warned about.
    if (warnings.no_unique_domain || warnings.no_unique_register_domain || warnings.no_domain) {
        RDB_REPORT* report_database = m_facade->get_report_database();
        RDB_FOLDER* current_folder = report_database != nullptr ? report_database->get_current_folder() : nullptr;
        PUTIL_ASSERT(current_folder != 0);
        current_folder->add_table(indeterminate_toggle_rates_warning_panel.release());
    }

    post(warnings.fastest_clock);
    post(warnings.slowest_clock);
    post(warnings.no_unique_domain);
    post(warnings.no_unique_register_domain);
    post(warnings.no_domain);
}

// A pin is reported only when its primary output's name carries the host's
// flag for reported pins.
bool PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::reports_atom(const CDB_ATOM_NODE* atom) const
{
    if (!atom->is_pin_atom())
        return true;
    const CDB_ATOM_OTERM* pref_oterm = atom->get_primary_oterm();
    PUTIL_ASSERT(pref_oterm != 0);
    const HDB_INSTANCE_NAME* oterm_iname = pref_oterm->get_instance_name();
    PUTIL_ASSERT(oterm_iname != 0);
    return oterm_iname->check_flag(s_reported_pin_flag);
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::report_atom_terms(const CDB_ATOM_NODE* atom,
                                                           PUTIL_INDETERMINATE_RATE_WARNINGS& warnings,
                                                           RDB_TABLE_OBJECT* table)
{
    for (auto oterm = atom->begin_oterm(); oterm != atom->end_oterm(); ++oterm) {
        if (*oterm == nullptr)
            continue;
        const unsigned id = signal_id(*oterm);
        if (!m_toggle_rate_requested[id])
            continue;
        const std::string name = (*oterm)->get_string_hpath();
        if (m_clk_domain_toggle_rate[id] == s_unknown_rate) {
            if (m_has_multiple_clk_domains[id]) {
                make_once(warnings.no_unique_domain, wputil_putil_multiple_clk_domains_found_no_freq);
                add_table_row(table, name, s_multiple_domains_reason);
            } else if (m_has_multiple_reg_clk_domains[id]) {
                make_once(warnings.no_unique_register_domain, wputil_putil_multiple_reg_clk_domains_found_no_freq);
                add_table_row(table, name, s_multiple_domains_reason);
            } else {
                make_once(warnings.no_domain, wputil_putil_no_clk_domains_found);
                add_table_row(table, name, s_no_domain_reason);
            }
        } else if (m_has_multiple_clk_domains[id]) {
            // Under STRICT a conflict always leaves the rate unknown.
            if (m_calculation_type == MAXIMUM_FREQUENCY) {
                make_once(warnings.fastest_clock, wputil_putil_multiple_clk_domains_found_max_freq);
                warnings.fastest_clock->add_sub_message(
                    wputil_putil_multiple_oterm_clk_domains_found_max_freq(name.c_str()));
            } else if (m_calculation_type == MINIMUM_FREQUENCY) {
                make_once(warnings.slowest_clock, wputil_putil_multiple_clk_domains_found_min_freq);
                warnings.slowest_clock->add_sub_message(
                    wputil_putil_multiple_oterm_clk_domains_found_min_freq(name.c_str()));
            }
        }
    }
}

// A pin whose combinational output and pad output drive one signal and are
// both requested for the same reason is reported once, under its pad
// output.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::drop_duplicate_pin_reports(CDB_ATOM_NETLIST* atom_netlist)
{
    PUTIL_ASSERT(atom_netlist != 0);
    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        const CDB_ATOM_NODE* atom = *node;
        if (atom == nullptr || !atom->is_pin_atom())
            continue;
        for (auto oterm = atom->begin_oterm(); oterm != atom->end_oterm(); ++oterm) {
            if (*oterm == nullptr || !(*oterm)->is_used_as(DB_OPORT_COMBOUT))
                continue;
            const CDB_ATOM_OTERM* pad_oterm = atom->get_output_term_by_type(DB_OPORT_PADIO, 0);
            PUTIL_ASSERT(pad_oterm != 0);
            if ((*oterm)->get_instance_name() != pad_oterm->get_instance_name())
                continue;
            const unsigned combout = signal_id(*oterm);
            const unsigned pad = signal_id(pad_oterm);
            if (m_toggle_rate_requested[combout] && m_toggle_rate_requested[pad] && same_pin_report(combout, pad))
                m_toggle_rate_requested[combout] = false;
        }
    }
}

// Whether the two sides of a pin would be reported for the same reason.
bool PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::same_pin_report(unsigned combout, unsigned pad) const
{
    const bool combout_known = m_clk_domain_toggle_rate[combout] != s_unknown_rate;
    const bool pad_known = m_clk_domain_toggle_rate[pad] != s_unknown_rate;
    if (combout_known && pad_known)
        return m_has_multiple_clk_domains[combout] && m_has_multiple_clk_domains[pad];
    if (combout_known || pad_known)
        return false;
    const bool combout_multiple = m_has_multiple_clk_domains[combout] || m_has_multiple_reg_clk_domains[combout];
    const bool pad_multiple = m_has_multiple_clk_domains[pad] || m_has_multiple_reg_clk_domains[pad];
    return combout_multiple == pad_multiple;
}

// One line per output term, in netlist order: its domain's clock frequency
// (half the toggle rate), where the rate came from, the conflict flags, the
// clock net flag and the domain.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::write_clock_domain_dump()
{
    calculate_clock_nets();
    putil_write_side_file("power_clock_domain_info.dump", [&](std::ostream& dump) {
        dump << "Clock domain calculation type: " << calculation_type_name(m_calculation_type) << "\n\n";
        dump << "oterm\t"
             << "clk_domain_frequency(Hz)\t"
             << "clk_domain_from_fanout_traversal\t"
             << "has_multiple_clk_domains\t"
             << "has_multiple_reg_clk_domains\t"
             << "is_clk_net\t"
             << "clk_domain_id\n";

        const CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
        PUTIL_ASSERT(atom_netlist != 0);
        for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
            if (*node == nullptr)
                continue;
            for (auto oterm = (*node)->begin_oterm(); oterm != (*node)->end_oterm(); ++oterm) {
                if (*oterm == nullptr)
                    continue;
                const unsigned id = signal_id(*oterm);
                dump << (*oterm)->get_string_hpath() << '\t' << m_clk_domain_toggle_rate[id] * 0.5f << '\t'
                     << flag_text(m_clk_domain_from_fanout_traversal[id]) << '\t'
                     << flag_text(m_has_multiple_clk_domains[id]) << '\t'
                     << flag_text(m_has_multiple_reg_clk_domains[id]) << '\t' << flag_text(m_is_clk_net[id]) << '\t'
                     << m_clk_domain_id[id] << '\n';
            }
        }
    });
}
