// Reference host clocks and the clock utility on the current design's
// timing netlist.
#include "host_clocks.h"

#include <climits>
#include <algorithm>
#include <cmath>

#include "host/cut.h"
#include "host/tdb.h"
#include "host_atom.h"
#include "host_design.h"
#include "host_internal_error.h"
#include "host_timing_netlist.h"

namespace {

std::string text_of(double value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

}  // namespace

bool host_clock_times_from_ns(double period_ns, const std::vector<double>* waveform_ns, int& period_ps,
                              double& duty_cycle, std::string& what)
{
    const double rounded_ps = std::round(period_ns * 1000.0);
    if (!std::isfinite(period_ns) || rounded_ps < 1.0 || rounded_ps > INT_MAX) {
        what = "period " + text_of(period_ns) + " ns is not between 0.001 and " + std::to_string(INT_MAX / 1000) +
               " ns";
        return false;
    }
    period_ps = static_cast<int>(rounded_ps);
    duty_cycle = 0.5;
    if (waveform_ns == nullptr)
        return true;
    if (waveform_ns->size() != 2) {
        what = "waveform needs 2 edges (rise fall), got " + std::to_string(waveform_ns->size());
        return false;
    }
    const double rise = (*waveform_ns)[0];
    const double fall = (*waveform_ns)[1];
    if (!(rise >= 0.0 && rise < period_ns && fall > rise && fall - rise < period_ns)) {
        what = "waveform {" + text_of(rise) + " " + text_of(fall) + "} does not fit the period " +
               text_of(period_ns) + " ns (0 <= rise < fall < rise + period)";
        return false;
    }
    duty_cycle = (fall - rise) / period_ns;
    return true;
}

bool host_is_derived_clock_output(const HOST_OTERM* oterm)
{
    const HOST_ATOM* atom = oterm->atom();
    if (atom->is_pll_atom())
        return oterm->is_used_as(DB_OPORT_CLKOUT) || oterm->is_used_as(DB_OPORT_PLL_CLKOUT_2);
    return atom->is_clock_control_atom() && oterm->is_used_as(DB_OPORT_CLKOUT);
}

void HOST_CLOCKS::add(HOST_CLOCK clock)
{
    HOST_ASSERT(find(clock.name) == nullptr);
    for (const HOST_OTERM* target : clock.targets) {
        if (target->number() >= m_is_target.size())
            m_is_target.resize(target->number() + 1, false);
        m_is_target[target->number()] = true;
    }
    m_clocks.push_back(std::move(clock));
    m_derived_valid = false;
}

const HOST_CLOCK* HOST_CLOCKS::find(const std::string& name) const
{
    for (const HOST_CLOCK& clock : m_clocks) {
        if (clock.name == name)
            return &clock;
    }
    return nullptr;
}

bool HOST_CLOCKS::is_target(const HOST_OTERM* oterm) const
{
    return oterm->number() < m_is_target.size() && m_is_target[oterm->number()];
}

const std::vector<HOST_TIMING_NODE*>& HOST_CLOCKS::derived_nodes(const HOST_TIMING_NETLIST& timing) const
{
    if (m_derived_valid)
        return m_derived;
    m_derived.clear();
    for (std::size_t position = 0; position < timing.get_node_list_size(); ++position) {
        HOST_TIMING_NODE* node = static_cast<HOST_TIMING_NODE*>(timing.get_node(position));
        if (node != nullptr && host_is_derived_clock_output(node->oterm()) && !is_target(node->oterm()))
            m_derived.push_back(node);
    }
    m_derived_valid = true;
    return m_derived;
}

HOST_CLOCK_TIMES HOST_CLOCKS::derived_times(const HOST_OTERM* output) const
{
    std::vector<const HOST_OTERM*> visited;
    return times_of(output, visited);
}

// Follows the clock back from term to a user clock with a period, through
// PLLs and clock control blocks whose select lines are tied to constants.
HOST_CLOCK_TIMES HOST_CLOCKS::times_of(const HOST_OTERM* term, std::vector<const HOST_OTERM*>& visited) const
{
    const HOST_CLOCK_TIMES unknown{TDC_INT_NOT_SET, 0.5};
    if (term == nullptr || std::find(visited.begin(), visited.end(), term) != visited.end())
        return unknown;
    visited.push_back(term);
    for (const HOST_CLOCK& clock : m_clocks) {
        if (clock.period_ps != TDC_INT_NOT_SET &&
            std::find(clock.targets.begin(), clock.targets.end(), term) != clock.targets.end())
            return HOST_CLOCK_TIMES{clock.period_ps, clock.duty_cycle};
    }
    if (!host_is_derived_clock_output(term))
        return unknown;
    const HOST_ATOM* atom = term->atom();
    if (atom->is_pll_atom()) {
        const CDB_ATOM_ITERM* input = atom->get_input_term_by_type(DB_IPORT_PLL_INCLK, 0);
        const HOST_CLOCK_TIMES in =
            times_of(input == nullptr ? nullptr : static_cast<const HOST_OTERM*>(input->get_source()), visited);
        if (in.period_ps == TDC_INT_NOT_SET)
            return unknown;
        return HOST_CLOCK_TIMES{
            CUT_PLL_UTIL::get_real_output_clock_period(atom, term->get_any_usage_as(), term->get_port_index(),
                                                       in.period_ps),
            0.5};
    }
    // A clock control block passes the input its select lines choose.
    long long select = 0;
    for (auto it = atom->begin_iterm(); it != atom->end_iterm(); ++it) {
        if (!(*it)->is_used_as(DB_IPORT_CLKSELECT))
            continue;
        if ((*it)->is_logical_vcc() && (*it)->get_port_index() < 31)
            select += 1LL << (*it)->get_port_index();
        else if (!(*it)->is_logical_gnd())
            return unknown;
    }
    const CDB_ATOM_ITERM* input = atom->get_input_term_by_type(DB_IPORT_CLKCTRL_INCLK, static_cast<int>(select));
    return times_of(input == nullptr ? nullptr : static_cast<const HOST_OTERM*>(input->get_source()), visited);
}

namespace {

class HOST_CLOCK_UTIL final : public TDC_CLOCK_UTIL {
public:
    bool is_clock_node(const TDB_NODE* node) const override
    {
        const HOST_TIMING_NODE* own = dynamic_cast<const HOST_TIMING_NODE*>(node);
        HOST_DESIGN* design = host_current_design();
        if (own == nullptr || design == nullptr)
            return false;
        return design->clocks().is_target(own->oterm()) || host_is_derived_clock_output(own->oterm());
    }

    void get_clock_ids(std::vector<unsigned>& ids) const override
    {
        ids.clear();
        const std::size_t count = clock_count();
        for (std::size_t place = 0; place < count; ++place)
            ids.push_back(HOST_CLOCKS::s_first_clock_id + static_cast<unsigned>(place));
    }

    void get_clock_nodes(unsigned clock_id, std::vector<TDB_NODE*>& nodes) const override
    {
        nodes.clear();
        const std::size_t place = place_of(clock_id);
        const HOST_TIMING_NETLIST* timing = current_design().timing_netlist();
        if (timing == nullptr)
            return;
        const std::vector<HOST_CLOCK>& user = current_design().clocks().user_clocks();
        if (place >= user.size()) {
            nodes.push_back(current_design().clocks().derived_nodes(*timing)[place - user.size()]);
            return;
        }
        for (HOST_OTERM* target : user[place].targets) {
            if (HOST_TIMING_NODE* node = timing->node_of(target))
                nodes.push_back(node);
        }
    }

    int get_clock_period(unsigned clock_id) const override { return times_of(clock_id).period_ps; }

    double get_clock_duty_cycle(unsigned clock_id) const override { return times_of(clock_id).duty_cycle; }

private:
    static HOST_DESIGN& current_design()
    {
        HOST_DESIGN* design = host_current_design();
        HOST_ASSERT(design != nullptr);
        return *design;
    }

    // User clocks, then (with a timing netlist) derived clocks.
    static std::size_t clock_count()
    {
        HOST_DESIGN* design = host_current_design();
        if (design == nullptr)
            return 0;
        const HOST_TIMING_NETLIST* timing = design->timing_netlist();
        return design->clocks().user_clocks().size() +
               (timing == nullptr ? 0 : design->clocks().derived_nodes(*timing).size());
    }

    // An id the utility did not give is a misuse.
    static std::size_t place_of(unsigned clock_id)
    {
        HOST_ASSERT(clock_id >= HOST_CLOCKS::s_first_clock_id &&
                    clock_id - HOST_CLOCKS::s_first_clock_id < clock_count());
        return clock_id - HOST_CLOCKS::s_first_clock_id;
    }

    // A derived clock runs at what its source clock becomes.
    static HOST_CLOCK_TIMES times_of(unsigned clock_id)
    {
        const std::size_t place = place_of(clock_id);
        const HOST_CLOCKS& clocks = current_design().clocks();
        const std::vector<HOST_CLOCK>& user = clocks.user_clocks();
        if (place < user.size())
            return HOST_CLOCK_TIMES{user[place].period_ps, user[place].duty_cycle};
        const HOST_TIMING_NETLIST* timing = current_design().timing_netlist();
        return clocks.derived_times(clocks.derived_nodes(*timing)[place - user.size()]->oterm());
    }
};

}  // namespace

TDC_CLOCK_UTIL* tdc_get_clock_util()
{
    static HOST_CLOCK_UTIL s_clock_util;
    return &s_clock_util;
}
