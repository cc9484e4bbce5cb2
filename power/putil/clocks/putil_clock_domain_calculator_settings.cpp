// Clock domain calculator: the clocks of the timing constraints become toggle
// rates and static probabilities of their source terms, and PLL and clock
// control outputs take the rates derived from their input clocks.
#include <climits>
#include <cstdint>

#include "host/cdb_atom.h"
#include "host/cfg.h"
#include "host/cut.h"
#include "host/putil_sa_data.h"
#include "clocks/putil_clock_domain_calculator_main.h"

namespace {

const float s_unknown_rate = -1.0f;
const float s_unknown_probability = -1.0f;
const std::size_t s_initial_buckets = 61;
const int s_any_oterm = 2;
// A clock of period T picoseconds toggles twice per period.
const float s_transitions_per_period_ps = 2e12f;
const double s_transitions_per_period_ps_double = 2e12;

// Static probability and toggle rate that the constraints give one term.
struct CLOCK_SETTING {
    float static_probability;
    float toggle_rate;
};

// Calls visit(clock id, term) for the output term of every timing node of
// every clock, in the clock utility's order; nodes without a term are
// skipped.
template <class VISIT>
void for_each_clock_term(TDC_CLOCK_UTIL* clock_util, VISIT visit)
{
    std::vector<unsigned> clock_ids;
    clock_util->get_clock_ids(clock_ids);
    std::vector<TDB_NODE*> clock_nodes;
    for (const unsigned clock_id : clock_ids) {
        clock_nodes.clear();
        clock_util->get_clock_nodes(clock_id, clock_nodes);
        for (const TDB_NODE* node : clock_nodes) {
            CDB_ATOM_OTERM* oterm = node != nullptr ? node->get_any_oterm(s_any_oterm) : nullptr;
            if (oterm != nullptr)
                visit(clock_id, oterm);
        }
    }
}

bool has_toggle_rate(const PUTIL_OUTPUT_SIGNAL_DATA* data)
{
    return data->get_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE) || data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED);
}

bool has_static_probability(const PUTIL_OUTPUT_SIGNAL_DATA* data)
{
    return data->get_flag_value(PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE) ||
           data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED);
}

// Picoseconds of a clock of this toggle rate, truncated; periods past the
// integer range (clocks below about 1 kHz) stay at its bounds.
int period_of_rate(float toggle_rate)
{
    const double period = s_transitions_per_period_ps_double / toggle_rate;
    if (period >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (period <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(period);
}

// The clock the PLL's output is made from: its input clock's source, or
// null when the term is no PLL clock output or the input is unconnected.
const CDB_ATOM_OTERM* pll_input_source(const CDB_ATOM_NODE* atom, const CDB_ATOM_OTERM* oterm)
{
    if (!oterm->is_used_as(DB_OPORT_CLKOUT) && !oterm->is_used_as(DB_OPORT_PLL_CLKOUT_2))
        return nullptr;
    if (!atom->implements(DB_IPORT_PLL_INCLK))
        return nullptr;
    const CDB_ATOM_ITERM* inclk = atom->get_input_term_by_type(DB_IPORT_PLL_INCLK, 0);
    return inclk != nullptr ? inclk->get_source() : nullptr;
}

// The clock a clock control block passes through: the clock input that
// select lines tied to constants choose (each line tied to 1 adds 2 to the
// power of its port index). Null when a select line is driven by logic, so
// that the choice is not static, or when the chosen input is unconnected.
const CDB_ATOM_OTERM* clock_control_input_source(const CDB_ATOM_NODE* atom, const CDB_ATOM_OTERM* oterm)
{
    if (!oterm->is_used_as(DB_OPORT_CLKOUT))
        return nullptr;
    std::uint64_t select = 0;
    if (atom->implements(DB_IPORT_CLKSELECT)) {
        for (auto iterm = atom->begin_iterm(); iterm != atom->end_iterm(); ++iterm) {
            if (*iterm == nullptr || !(*iterm)->is_used_as(DB_IPORT_CLKSELECT))
                continue;
            if ((*iterm)->is_logical_vcc()) {
                const int index = (*iterm)->get_port_index();
                if (index < 0 || index >= 31)
                    return nullptr;
                select += std::uint64_t(1) << index;
            } else if (!(*iterm)->is_logical_gnd()) {
                return nullptr;
            }
            if (select >= (std::uint64_t(1) << 31))
                return nullptr;
        }
    }
    if (!atom->implements(DB_IPORT_CLKCTRL_INCLK))
        return nullptr;
    const CDB_ATOM_ITERM* inclk = atom->get_input_term_by_type(DB_IPORT_CLKCTRL_INCLK, static_cast<int>(select));
    return inclk != nullptr ? inclk->get_source() : nullptr;
}

// The rate of a PLL or clock control output whose input clock has
// input_rate: a clock control block passes it through, a PLL makes the
// period the host computes for it.
float derived_output_rate(const CDB_ATOM_OTERM* oterm, float input_rate)
{
    const CDB_ATOM_NODE* atom = oterm->get_my_node();
    if (!atom->is_pll_atom())
        return input_rate;
    if (input_rate == s_unknown_rate || input_rate == 0.0f)
        return input_rate;
    const int output_period = CUT_PLL_UTIL::get_real_output_clock_period(
        atom, oterm->get_any_usage_as(), oterm->get_port_index(), period_of_rate(input_rate));
    if (output_period == TDC_INT_NOT_SET)
        return s_unknown_rate;
    return s_transitions_per_period_ps / static_cast<float>(output_period);
}

}  // namespace

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::apply_clock_settings()
{
    if (cfg_is_on("putil_ignore_clock_settings", false))
        return;
    TDB_NETLIST* tdb_netlist = m_tdc_accessories->get_timing_netlist();
    if (tdb_netlist == nullptr)
        return;
    // Derived rates come from the values already in the store, not from
    // the ones written below.
    derive_clock_toggle_rates(tdb_netlist);

    // A term shared by several clocks keeps the fastest clock's rate and
    // that clock's duty cycle.
    PUTIL_HASH_MAP<CDB_ATOM_OTERM*, CLOCK_SETTING> clock_settings(s_initial_buckets);
    for_each_clock_term(m_tdc_clock_util, [&](unsigned clock_id, CDB_ATOM_OTERM* oterm) {
        const int period = m_tdc_clock_util->get_clock_period(clock_id);
        if (period == TDC_INT_NOT_SET || period == 0)
            return;
        const float transition_density = s_transitions_per_period_ps / static_cast<float>(period);
        PUTIL_ASSERT(transition_density >= 0.0);

        auto entry = clock_settings.find(oterm);
        if (entry != clock_settings.end()) {
            if (!(transition_density > entry->second.toggle_rate))
                return;
            entry->second.toggle_rate = transition_density;
        } else {
            entry = clock_settings.emplace(oterm, CLOCK_SETTING{s_unknown_probability, transition_density}).first;
        }
        const float duty_cycle = static_cast<float>(m_tdc_clock_util->get_clock_duty_cycle(clock_id));
        entry->second.static_probability =
            duty_cycle >= 0.0f && duty_cycle <= 1.0f ? duty_cycle : s_unknown_probability;
    });

    for (const auto& entry : clock_settings)
        apply_clock_setting(entry.first, entry.second.static_probability, entry.second.toggle_rate);
}

// Writes the values into the term's record, and into a bidirectional pad's
// second record, where simulation and the user gave none; each value is
// mirrored to the pin's other side.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::apply_clock_setting(CDB_ATOM_OTERM* oterm, float static_probability,
                                                             float toggle_rate)
{
    const CDB_ATOM_NODE* atom = oterm->get_my_node();
    PUTIL_ASSERT(atom != 0);
    const bool bidir_pad =
        atom->is_pin_atom() && atom->has_padio_output_data() && oterm->is_used_as(DB_OPORT_PADIO);
    for (int pass = 0; pass < (bidir_pad ? 2 : 1); ++pass) {
        PUTIL_OUTPUT_SIGNAL_DATA* output_data = nullptr;
        if (pass == 0) {
            output_data = m_sa_data->get_output_signal_data(oterm);
        } else {
            unsigned id = 0;
            if (m_sa_data->get_unique_id_for_output_signal(oterm, &id))
                output_data = m_sa_data->get_bidir_padio_output_signal_data(id, true);
        }
        PUTIL_ASSERT(output_data != 0);
        if (!has_toggle_rate(output_data)) {
            output_data->set_toggle_rate(toggle_rate);
            output_data->set_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE, true);
            mirror_pin_value(oterm, toggle_rate, false);
        }
        if (!has_static_probability(output_data) && static_probability != s_unknown_probability) {
            output_data->set_static_probability(static_probability);
            output_data->set_flag_value(PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE, true);
            mirror_pin_value(oterm, static_probability, true);
        }
    }
}

// A pin's pad output and combinational output carry one signal: a value
// given to one side goes to the other unless that side has its own.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::mirror_pin_value(CDB_ATOM_OTERM* oterm, float value,
                                                          bool is_static_probability)
{
    PUTIL_ASSERT(oterm != 0);
    const CDB_ATOM_NODE* atom = oterm->get_my_node();
    PUTIL_ASSERT(atom != 0);
    if (!atom->is_pin_atom())
        return;

    const DB_OUTPUT_PORT_TYPE combout_kind = atom->implements(DB_OPORT_COMBOUT) ? DB_OPORT_COMBOUT : DB_OPORT_OUT;
    PUTIL_OUTPUT_SIGNAL_DATA* other_side = nullptr;
    if (oterm->is_used_as(DB_OPORT_PADIO)) {
        const CDB_ATOM_OTERM* combout_oterm = atom->get_output_term_by_type(combout_kind, 0);
        if (combout_oterm == nullptr)
            return;
        PUTIL_OUTPUT_SIGNAL_DATA* combout_output_data = m_sa_data->get_output_signal_data(combout_oterm);
        PUTIL_ASSERT(combout_output_data != 0);
        other_side = combout_output_data;
    } else if (oterm->is_used_as(combout_kind)) {
        const CDB_ATOM_OTERM* padio_oterm = atom->get_output_term_by_type(DB_OPORT_PADIO, 0);
        PUTIL_ASSERT(padio_oterm != 0);
        PUTIL_OUTPUT_SIGNAL_DATA* padio_output_data = m_sa_data->get_output_signal_data(padio_oterm);
        PUTIL_ASSERT(padio_output_data != 0);
        other_side = padio_output_data;
    } else {
        return;
    }

    if (is_static_probability) {
        if (has_static_probability(other_side))
            return;
        other_side->set_static_probability(value);
        other_side->set_flag_value(PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE, true);
    } else {
        if (has_toggle_rate(other_side))
            return;
        other_side->set_toggle_rate(value);
        other_side->set_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE, true);
    }
}

// Each clock term of the constraints without a rate may get one from its
// PLL or clock control block. A rate that started from the user's value is
// the user's (flag 2); one that started from simulation counts as simulated
// (flag 0).
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::derive_clock_toggle_rates(TDB_NETLIST* tdb_netlist)
{
    PUTIL_ASSERT(tdb_netlist != 0);
    PUTIL_VECTOR<CDB_ATOM_OTERM*> work_list;
    for_each_clock_term(m_tdc_clock_util, [&](unsigned, CDB_ATOM_OTERM* oterm) {
        if (oterm->get_my_node() == nullptr)
            return;
        const PUTIL_OUTPUT_SIGNAL_DATA* output_data = m_sa_data->get_output_signal_data(oterm);
        PUTIL_ASSERT(output_data != 0);
        if (!has_toggle_rate(output_data))
            work_list.push_back(oterm);
    });

    m_visit_stamp.assign(m_output_signal_count, 0);
    m_current_visit_stamp = 0;
    for (CDB_ATOM_OTERM* oterm : work_list) {
        float clk_td = s_unknown_rate;
        bool td_from_user = false;
        ++m_current_visit_stamp;
        derive_clock_toggle_rate(oterm, &clk_td, &td_from_user);
        PUTIL_OUTPUT_SIGNAL_DATA* output_data = m_sa_data->get_output_signal_data(oterm);
        PUTIL_ASSERT(output_data != 0);
        if (clk_td == s_unknown_rate || has_toggle_rate(output_data))
            continue;
        output_data->set_flag_value(td_from_user ? PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE : PUTIL_TOGGLE_RATE_ANNOTATED,
                                    true);
        output_data->set_toggle_rate(clk_td);
    }
    PUTIL_VECTOR<unsigned>().swap(m_visit_stamp);
}

// Follows the clock back through PLLs and clock control blocks to the
// first term that has a rate (or to where the chain ends), then computes
// the outputs back down the chain. A chain of clock blocks may be long, so
// the terms are kept in a list rather than on the call stack.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::derive_clock_toggle_rate(CDB_ATOM_OTERM* oterm, float* clk_td,
                                                                  bool* td_from_user)
{
    PUTIL_ASSERT(oterm != 0);
    PUTIL_ASSERT(clk_td != 0);
    PUTIL_ASSERT(td_from_user != 0);
    PUTIL_VECTOR<const CDB_ATOM_OTERM*> derived_terms;
    float rate = s_unknown_rate;
    for (const CDB_ATOM_OTERM* term = oterm; term != nullptr;) {
        const CDB_ATOM_OTERM* source = derivation_source(term, &rate, td_from_user);
        if (source != nullptr)
            derived_terms.push_back(term);
        term = source;
    }
    for (auto term = derived_terms.rbegin(); term != derived_terms.rend(); ++term)
        rate = derived_output_rate(*term, rate);
    *clk_td = rate;
}

// One step of the derivation: *rate becomes the term's own rate (or
// unknown); the result is the term whose rate the term's block derives
// from, or null when the step ends the chain. A term seen before in this
// derivation ends it: feedback clocks form loops.
const CDB_ATOM_OTERM* PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::derivation_source(const CDB_ATOM_OTERM* oterm, float* rate,
                                                                           bool* td_from_user)
{
    PUTIL_ASSERT(oterm != 0);
    *rate = s_unknown_rate;
    unsigned output_data_id = 0;
    PUTIL_ASSERT(m_sa_data->get_unique_id_for_output_signal( oterm, &output_data_id ));
    const PUTIL_OUTPUT_SIGNAL_DATA* output_data = m_sa_data->get_output_signal_data(output_data_id, false);
    PUTIL_ASSERT(output_data != 0);
    if (has_toggle_rate(output_data)) {
        *rate = output_data->get_toggle_rate();
        *td_from_user = output_data->get_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE);
    }
    if (m_visit_stamp[output_data_id] == m_current_visit_stamp)
        return nullptr;
    m_visit_stamp[output_data_id] = m_current_visit_stamp;
    if (*rate != s_unknown_rate)
        return nullptr;

    const CDB_ATOM_NODE* atom = oterm->get_my_node();
    if (atom == nullptr)
        return nullptr;
    if (atom->is_pll_atom())
        return pll_input_source(atom, oterm);
    if (atom->is_clock_control_atom())
        return clock_control_input_source(atom, oterm);
    return nullptr;
}
