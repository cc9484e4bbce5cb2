// The clock domain calculator: finds the clock that paces every output
// signal of the netlist, so that toggle rates given relative to a clock can
// be made absolute, and reports the signals whose clock cannot be named.
#pragma once

#include <vector>

#include "core/putil_export.h"

class CMP_FACADE;
class CDB_ATOM_OTERM;
class PUTIL_SA_DATA;

// What happens where clocks of two domains meet on one node.
enum PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE {
    STRICT = 0,              // the node's rate becomes unknown
    MAXIMUM_FREQUENCY = 1,   // the faster clock wins
    MINIMUM_FREQUENCY = 2    // the slower clock wins
};

// Toggle rates are in transitions per second, -1.0 when unknown; a domain id
// of -1 means no domain. The operations are meant to be called in this
// order: apply_clock_settings, calculate_clock_domains, the queries (with
// get_clock_toggle_rate(oterm, true) for every term whose relative toggle
// rate the host converts), report_indeterminate_toggle_rates.
class PUTIL_EXPORT PUTIL_CLOCK_DOMAIN_CALCULATOR : public PUTIL_HEAP_OBJECT {
public:
    PUTIL_CLOCK_DOMAIN_CALCULATOR() = default;
    PUTIL_CLOCK_DOMAIN_CALCULATOR(const PUTIL_CLOCK_DOMAIN_CALCULATOR&) = default;
    PUTIL_CLOCK_DOMAIN_CALCULATOR& operator=(const PUTIL_CLOCK_DOMAIN_CALCULATOR&) = default;
    virtual ~PUTIL_CLOCK_DOMAIN_CALCULATOR() = default;

    // Writes the toggle rates and duty cycles of constrained clocks, and the
    // rates that PLLs and clock control blocks derive from them, into the
    // signal-activity store where no value is there yet.
    virtual void apply_clock_settings() = 0;
    // Gives every output signal a clock domain and that domain's toggle rate.
    virtual void calculate_clock_domains(PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type) = 0;
    // Marks the output signals that carry clocks.
    virtual void calculate_clock_nets() = 0;
    // The toggle rate of the term's clock domain; requested marks the term
    // for report_indeterminate_toggle_rates.
    virtual float get_clock_toggle_rate(CDB_ATOM_OTERM* oterm, bool requested) = 0;
    virtual float get_clock_toggle_rate(unsigned output_data_id) = 0;
    virtual bool is_clock_net(CDB_ATOM_OTERM* oterm) = 0;
    // Warns about the requested terms whose clock rate is unknown or
    // ambiguous, with the "Indeterminate Toggle Rates" report table.
    virtual void report_indeterminate_toggle_rates() = 0;
    // By output signal id, inserted at the front.
    virtual void get_clock_domain_ids(std::vector<int>& ids) = 0;
    virtual void get_clock_net_flags(std::vector<bool>& flags) = 0;
    // By domain id: the toggle rate of each domain, -1.0 for a domain no
    // term carries.
    virtual void get_clock_domain_toggle_rates(std::vector<float>& rates) = 0;
    // What calculate_clock_domains found for one output signal (id below the
    // store's id array size) besides its rate and domain: whether the rate
    // came from the walk forward from the clocks, and whether several clock
    // domains, or several register clock domains, met there.
    virtual void get_clock_domain_flags(unsigned output_data_id, bool* from_fanout_traversal,
                                        bool* multiple_clock_domains, bool* multiple_register_clock_domains) = 0;
};

// A new calculator owned by the caller (delete it); null when the host
// refuses the memory. Unless use_existing_timing_netlist, the calculator
// builds the timing netlist now and releases it when deleted.
PUTIL_EXPORT PUTIL_CLOCK_DOMAIN_CALCULATOR* putil_create_putil_clock_domain_calculator(
    PUTIL_SA_DATA* sa_data, CMP_FACADE* facade, bool use_existing_timing_netlist, bool use_second_timing_options);
