// Reference host clocks: the clocks of a design's timing constraints (from
// the design file, a constraints file or the builders) and the clocks that
// PLLs and clock control blocks derive from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class HOST_OTERM;
class HOST_TIMING_NETLIST;
class HOST_TIMING_NODE;

struct HOST_CLOCK {
    std::string name;
    int period_ps;                       // TDC_INT_NOT_SET: the clock has no period
    double duty_cycle;                   // share of the period at 1
    std::vector<HOST_OTERM*> targets;    // the terms the clock is defined on, in order
};

// A period and an optional waveform {rise, fall} in nanoseconds as a period
// in whole picoseconds and a duty cycle (0.5 without a waveform). False,
// with what set to the reason, for a period that is not positive or does not
// fit, or a waveform whose edges are not 0 <= rise < fall < rise + period
// with rise below the period.
bool host_clock_times_from_ns(double period_ns, const std::vector<double>* waveform_ns, int& period_ps,
                              double& duty_cycle, std::string& what);

// A PLL's clock outputs (port types 22 and 350) and a clock control block's
// (22) are derived clocks.
bool host_is_derived_clock_output(const HOST_OTERM* oterm);

struct HOST_CLOCK_TIMES {
    int period_ps;       // TDC_INT_NOT_SET when unknown
    double duty_cycle;
};

// The clock utility lists the user clocks in the order added, then one
// derived clock per timed derived clock output that no user clock targets,
// in node-list order. Ids are s_first_clock_id plus the place in that list.
class HOST_CLOCKS {
public:
    static constexpr unsigned s_first_clock_id = 100;

    // name must be new.
    void add(HOST_CLOCK clock);
    const std::vector<HOST_CLOCK>& user_clocks() const { return m_clocks; }
    const HOST_CLOCK* find(const std::string& name) const;
    bool is_target(const HOST_OTERM* oterm) const;
    // The derived clocks' nodes in timing, made again after invalidate.
    const std::vector<HOST_TIMING_NODE*>& derived_nodes(const HOST_TIMING_NETLIST& timing) const;
    // The design calls it when its timing netlist changes.
    void invalidate() { m_derived_valid = false; }
    // What a derived clock output runs at, as the timing component derives
    // it: a PLL's output period from its input clock's and its factors
    // (duty cycle 0.5), a clock control block's the clock that its constant
    // select lines choose. Unknown when no user clock with a period starts
    // the chain, a select line is not constant, or the chain loops.
    HOST_CLOCK_TIMES derived_times(const HOST_OTERM* output) const;

private:
    HOST_CLOCK_TIMES times_of(const HOST_OTERM* term, std::vector<const HOST_OTERM*>& visited) const;

    std::vector<HOST_CLOCK> m_clocks;
    std::vector<bool> m_is_target;   // by term number
    mutable std::vector<HOST_TIMING_NODE*> m_derived;
    mutable bool m_derived_valid = false;
};
