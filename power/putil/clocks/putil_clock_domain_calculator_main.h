// The clock domain calculator's implementation: construction over the timing
// netlist, the fanout and fanin walks that assign domains, clock nets, the
// clock settings and the reports.
#pragma once

#include <vector>

#include "host/tdb.h"
#include "clocks/putil_clock_domain_calculator.h"
#include "core/putil_internal.h"

class CDB_ATOM_NETLIST;
class CDB_ATOM_NODE;
class RDB_TABLE_OBJECT;
struct PUTIL_INDETERMINATE_RATE_WARNINGS;

class PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN : public PUTIL_CLOCK_DOMAIN_CALCULATOR {
public:
    // Unless use_existing_timing_netlist, builds the timing netlist of the
    // store's atom netlist (with the second set of build options when
    // use_second_timing_options) and notes which routing data was loaded
    // before, so that the destructor unloads only what the build loaded.
    PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN(PUTIL_SA_DATA* sa_data, CMP_FACADE* facade, bool use_existing_timing_netlist,
                                       bool use_second_timing_options);
    ~PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN() override;
    PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN(const PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN&) = delete;
    PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN& operator=(const PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN&) = delete;

    void apply_clock_settings() override;
    void calculate_clock_domains(PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type) override;
    void calculate_clock_nets() override;
    float get_clock_toggle_rate(CDB_ATOM_OTERM* oterm, bool requested) override;
    float get_clock_toggle_rate(unsigned output_data_id) override;
    bool is_clock_net(CDB_ATOM_OTERM* oterm) override;
    void report_indeterminate_toggle_rates() override;
    void get_clock_domain_ids(std::vector<int>& ids) override;
    void get_clock_net_flags(std::vector<bool>& flags) override;
    void get_clock_domain_toggle_rates(std::vector<float>& rates) override;
    void get_clock_domain_flags(unsigned output_data_id, bool* from_fanout_traversal, bool* multiple_clock_domains,
                                bool* multiple_register_clock_domains) override;

private:
    // The two walks: forward from each clock along the fanout, carrying its
    // domain and rate; backward from each register along the data fanin,
    // carrying the register's.
    enum WALK_DIRECTION { FANOUT, FANIN };
    // One node being expanded by a walk: where it stands in the node list,
    // the rate the fanout walk entered it with, and the rest of its edges.
    struct WALK_FRAME {
        unsigned position;
        float entry_rate;
        TDB_EDGE_ITER edges;
    };
    typedef PUTIL_VECTOR<WALK_FRAME> WALK_STACK;

    // Construction and destruction of the timing netlist.
    void build_timing_netlist(bool use_second_timing_options);
    void release_timing_netlist();

    // Steps of calculate_clock_domains.
    void allocate_node_arrays(TDB_NETLIST* tdb_netlist);
    void release_node_arrays();
    void assign_fanout_domains(TDB_NETLIST* tdb_netlist);
    void assign_fanin_domains(TDB_NETLIST* tdb_netlist);
    void reset_signal_results();
    void transfer_node_results(TDB_NETLIST* tdb_netlist);
    void fix_up_transceivers();
    void copy_transceiver_domain(const CDB_ATOM_OTERM* from, const CDB_ATOM_OTERM* to);
    void copy_rates_to_pin_companions();

    // The walks, each with an explicit stack: chains of a million nodes
    // would overflow the call stack.
    void walk(TDB_NETLIST* tdb_netlist, WALK_DIRECTION direction, unsigned start, WALK_STACK& stack);
    void enter(TDB_NETLIST* tdb_netlist, WALK_DIRECTION direction, unsigned position, WALK_STACK& stack);
    // Whether the walk steps on to the node at position over edge.
    bool goes_on_fanout(TDB_NETLIST* tdb_netlist, const TDB_EDGE* edge, unsigned position, float entry_rate);
    bool goes_on_fanin(TDB_NETLIST* tdb_netlist, unsigned position);
    bool takes_fanout_rate(unsigned position, float rate);
    bool takes_fanin_rate(unsigned position);
    // Position of the node with this id in the node list; false when the id
    // names no node.
    bool node_position(unsigned node_id, unsigned* position) const;
    float width_factor(TDB_NETLIST* tdb_netlist, unsigned position);

    // Clock nets.
    void mark_clock_net(const CDB_ATOM_OTERM* oterm);
    void mark_pin_companion_outputs(CDB_ATOM_NODE* atom, CDB_ATOM_OTERM* oterm);
    void mark_derived_clock_nets(CDB_ATOM_NODE* atom);

    // Settings and reports.
    void apply_clock_setting(CDB_ATOM_OTERM* oterm, float static_probability, float toggle_rate);
    // Gives the clock terms of the constraints that have no toggle rate yet
    // the rate their PLL or clock control block makes of an input clock
    // whose rate is known.
    void derive_clock_toggle_rates(TDB_NETLIST* tdb_netlist);
    // The rate of one clock term: its own when it has one, else the one its
    // PLL or clock control block derives; -1.0 when unknown. td_from_user
    // tells whether the rate the derivation started from was the user's.
    // Runs inside derive_clock_toggle_rates, which holds the stamps.
    void derive_clock_toggle_rate(CDB_ATOM_OTERM* oterm, float* clk_td, bool* td_from_user);
    const CDB_ATOM_OTERM* derivation_source(const CDB_ATOM_OTERM* oterm, float* rate, bool* td_from_user);
    // Copies a value given to one side of a pin (pad output or combinational
    // output) to the other side, unless that side has a value of its own.
    void mirror_pin_value(CDB_ATOM_OTERM* oterm, float value, bool is_static_probability);

    unsigned signal_id(const CDB_ATOM_OTERM* oterm) const;
    void drop_duplicate_pin_reports(CDB_ATOM_NETLIST* atom_netlist);
    bool same_pin_report(unsigned combout, unsigned pad) const;
    bool reports_atom(const CDB_ATOM_NODE* atom) const;
    void report_atom_terms(const CDB_ATOM_NODE* atom, PUTIL_INDETERMINATE_RATE_WARNINGS& warnings,
                           RDB_TABLE_OBJECT* table);
    void write_clock_domain_dump();

    CMP_FACADE* m_facade;
    bool m_use_existing_timing_netlist;
    bool m_route_info_was_loaded;
    bool m_route_timing_info_was_loaded;
    TDC_ACCESSORIES* m_tdc_accessories;
    TDC_CLOCK_UTIL* m_tdc_clock_util;
    PUTIL_SA_DATA* m_sa_data;

    // Per timing node, by position in the node list; only during
    // calculate_clock_domains.
    PUTIL_VECTOR<float> m_node_clk_toggle_rate;
    PUTIL_VECTOR<unsigned> m_node_clk_domain_id;
    PUTIL_VECTOR<bool> m_node_has_multiple_clk_domains;
    float m_current_clk_toggle_rate;
    unsigned m_current_clk_domain_id;
    PUTIL_VECTOR<float> m_node_reg_clk_toggle_rate;
    // Per node during calculate_clock_domains, per output signal during
    // derive_clock_toggle_rates.
    PUTIL_VECTOR<unsigned> m_visit_stamp;
    unsigned m_current_visit_stamp;
    PUTIL_VECTOR<bool> m_node_has_multiple_reg_clk_domains;
    float m_current_reg_clk_toggle_rate;
    // Answers the walks ask of every edge, kept per node: whether the node
    // is a clock source, and its width factor once computed.
    PUTIL_VECTOR<bool> m_node_is_clock_node;
    PUTIL_VECTOR<float> m_node_width_factor;

    // Per output signal, by the store's unique id.
    unsigned m_output_signal_count;
    PUTIL_VECTOR<float> m_clk_domain_toggle_rate;
    PUTIL_VECTOR<bool> m_clk_domain_from_fanout_traversal;
    PUTIL_VECTOR<int> m_clk_domain_id;
    PUTIL_VECTOR<bool> m_has_multiple_clk_domains;
    PUTIL_VECTOR<bool> m_has_multiple_reg_clk_domains;
    PUTIL_VECTOR<bool> m_toggle_rate_requested;
    PUTIL_VECTOR<bool> m_is_clk_net;

    PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE m_calculation_type;
    PUTIL_HASH_MAP<unsigned, unsigned> m_node_index;
};
