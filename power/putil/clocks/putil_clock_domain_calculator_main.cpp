// Clock domain calculator: construction over the timing netlist, the queries,
// and the assignment of clock domains and clock nets to the output signals.
#include "clocks/putil_clock_domain_calculator_main.h"

#include <algorithm>
#include <memory>

#include "host/cdb_atom.h"
#include "host/cfg.h"
#include "host/cut.h"
#include "host/dev.h"
#include "host/hdb.h"
#include "host/putil_lib.h"
#include "host/putil_sa_data.h"
#include "core/putil_msgs.h"

namespace {

const float s_unknown_rate = -1.0f;
const unsigned s_no_domain = 0xFFFFFFFFu;
const std::size_t s_initial_buckets = 61;

// The timing API's build options and scope values; their meaning belongs to
// the timing component.
const int s_invoke_mode = 1;
const int s_timing_model = 0;
const int s_second_options_first_field = 1000;
const int s_timing_database_kind = 5;
const int s_any_oterm = 2;
const int s_lvds_width_parameter = 90;

// The width factor of a node not yet asked for; no 1 / width is -2.
const float s_factor_unknown = -2.0f;

// The clock outputs of the transceiver PCS-PMA interface blocks, in the
// order they are marked.
const DB_OUTPUT_PORT_TYPE s_pcs_pma_clock_outputs[] = {DB_OPORT_PCS_PMA_CLK_1, DB_OPORT_PCS_PMA_CLK_2,
                                                       DB_OPORT_PCS_PMA_CLK_3, DB_OPORT_PCS_PMA_CLK_4,
                                                       DB_OPORT_PCS_PMA_CLK_5};

// Frees a work array: the arrays exist only while a calculation runs.
template <class T>
void release(PUTIL_VECTOR<T>& array)
{
    PUTIL_VECTOR<T>().swap(array);
}

// The placement-and-routing view of the current device's die, or null.
DYGR_DIE_INFO* current_dygr_die_info()
{
    DEV_DEVICE* device = DMGR_UTILITY::get_current_device();
    PUTIL_ASSERT(device != NULL);
    DEV_DIE_INFO* die_info = device->get_die_info();
    return die_info != nullptr ? die_info->get_dygr_die_info() : nullptr;
}

// A pin's combinational output: kind 9 where the pin implements it, else
// kind 3.
DB_OUTPUT_PORT_TYPE combout_kind(const CDB_ATOM_NODE* atom)
{
    return atom->implements(DB_OPORT_COMBOUT) ? DB_OPORT_COMBOUT : DB_OPORT_OUT;
}

bool is_cdr_pll(const CDB_ATOM_NODE* atom)
{
    return atom->get_atom_type() == CDB_ATOM_TYPE_CDR_PLL_B || atom->get_atom_type() == CDB_ATOM_TYPE_CDR_PLL_A;
}

}  // namespace

PUTIL_CLOCK_DOMAIN_CALCULATOR* putil_create_putil_clock_domain_calculator(PUTIL_SA_DATA* sa_data, CMP_FACADE* facade,
                                                                          bool use_existing_timing_netlist,
                                                                          bool use_second_timing_options)
{
    return PUTIL_NEW PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN(sa_data, facade, use_existing_timing_netlist,
                                                        use_second_timing_options);
}

PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN(PUTIL_SA_DATA* sa_data, CMP_FACADE* facade,
                                                                       bool use_existing_timing_netlist,
                                                                       bool use_second_timing_options)
    : m_facade(facade),
      m_use_existing_timing_netlist(use_existing_timing_netlist),
      m_route_info_was_loaded(false),
      m_route_timing_info_was_loaded(false),
      m_tdc_accessories(nullptr),
      m_tdc_clock_util(nullptr),
      m_sa_data(sa_data),
      m_current_clk_toggle_rate(s_unknown_rate),
      m_current_clk_domain_id(s_no_domain),
      m_current_visit_stamp(0),
      m_current_reg_clk_toggle_rate(s_unknown_rate),
      m_output_signal_count(0),
      m_calculation_type(STRICT),
      m_node_index(s_initial_buckets)
{
    PUTIL_ASSERT(m_sa_data != 0);
    PUTIL_ASSERT(m_facade != 0);
    m_tdc_accessories = tdc_get_accessories();
    PUTIL_ASSERT(m_tdc_accessories != 0);
    m_tdc_clock_util = tdc_get_clock_util();
    PUTIL_ASSERT(m_tdc_clock_util != 0);

    if (!m_use_existing_timing_netlist)
        build_timing_netlist(use_second_timing_options);

    m_output_signal_count = m_sa_data->get_output_signal_id_array_size();
    m_clk_domain_toggle_rate.assign(m_output_signal_count, s_unknown_rate);
    m_clk_domain_from_fanout_traversal.assign(m_output_signal_count, false);
    m_clk_domain_id.assign(m_output_signal_count, -1);
    m_has_multiple_clk_domains.assign(m_output_signal_count, false);
    m_has_multiple_reg_clk_domains.assign(m_output_signal_count, false);
    m_toggle_rate_requested.assign(m_output_signal_count, false);
    m_is_clk_net.assign(m_output_signal_count, false);
}

PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::~PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN()
{
    if (!m_use_existing_timing_netlist)
        release_timing_netlist();
}

// Notes which routing data is loaded before the build, then builds the
// timing netlist inside a timing API scope.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::build_timing_netlist(bool use_second_timing_options)
{
    if (DYGR_DIE_INFO* dygr_die_info = current_dygr_die_info()) {
        DYGR_ROUTE_INFO* dygr_route_info = dygr_die_info->get_route_info();
        PUTIL_ASSERT(dygr_route_info != NULL);
        m_route_info_was_loaded = dygr_route_info->is_data_loaded();
        DYGR_ROUTE_TIMING_INFO* dygr_route_timing_info = dygr_die_info->get_route_timing_info();
        PUTIL_ASSERT(dygr_route_timing_info != NULL);
        m_route_timing_info_was_loaded = dygr_route_timing_info->is_data_loaded();
    }

    TAPI_ROOT tapi_root(m_facade, false);
    tapi_root.start(s_invoke_mode, false, s_timing_model, false, nullptr, false);

    TDC_NETLIST_OPTIONS options = {TDC_INT_NOT_SET, true, TDC_INT_NOT_SET, TDC_INT_NOT_SET, TDC_INT_NOT_SET};
    if (use_second_timing_options) {
        options.first = s_second_options_first_field;
        options.second = false;
    }
    m_tdc_accessories->build_timing_netlist(m_facade, m_sa_data->get_atom_netlist(), options,
                                            !use_second_timing_options, true);
}

// Releases the timing netlist and its database, and unloads the routing
// timing data when the build loaded it; routing data stays loaded.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::release_timing_netlist()
{
    m_tdc_accessories->release_timing_netlist();
    TAPI_DB_MANAGER* db_manager = tapi_get_db_manager(nullptr);
    PUTIL_ASSERT(db_manager != 0);
    db_manager->release_database(s_timing_database_kind);

    if (m_route_info_was_loaded && m_route_timing_info_was_loaded)
        return;
    DYGR_DIE_INFO* dygr_die_info = current_dygr_die_info();
    if (dygr_die_info == nullptr)
        return;
    DYGR_ROUTE_TIMING_INFO* dygr_route_timing_info = dygr_die_info->get_route_timing_info();
    PUTIL_ASSERT(dygr_route_timing_info != NULL);
    if (!m_route_timing_info_was_loaded && dygr_route_timing_info->is_data_loaded())
        dygr_route_timing_info->destroy_data();
}

unsigned PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::signal_id(const CDB_ATOM_OTERM* oterm) const
{
    unsigned id = 0;
    const bool found_oterm = m_sa_data->get_unique_id_for_output_signal(oterm, &id);
    PUTIL_ASSERT(found_oterm);
    return id;
}

float PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::get_clock_toggle_rate(CDB_ATOM_OTERM* oterm, bool requested)
{
    PUTIL_ASSERT(oterm != 0);
    const CDB_ATOM_NODE* atom = oterm->get_my_node();
    PUTIL_ASSERT(atom != 0);
    const unsigned id = signal_id(oterm);
    if (requested && putil_is_valid_power_term(oterm, false))
        m_toggle_rate_requested[id] = true;
    return m_clk_domain_toggle_rate[id];
}

float PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::get_clock_toggle_rate(unsigned output_data_id)
{
    return m_clk_domain_toggle_rate[output_data_id];
}

bool PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::is_clock_net(CDB_ATOM_OTERM* oterm)
{
    PUTIL_ASSERT(oterm != 0);
    return m_is_clk_net[signal_id(oterm)];
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::get_clock_domain_ids(std::vector<int>& ids)
{
    ids.reserve(m_output_signal_count);
    ids.insert(ids.begin(), m_clk_domain_id.begin(), m_clk_domain_id.end());
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::get_clock_net_flags(std::vector<bool>& flags)
{
    flags.reserve(m_output_signal_count);
    flags.insert(flags.begin(), m_is_clk_net.begin(), m_is_clk_net.end());
}

// The last term written for a domain decides its entry.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::get_clock_domain_toggle_rates(std::vector<float>& rates)
{
    const CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
    PUTIL_ASSERT(atom_netlist != NULL);
    for (auto atom = atom_netlist->begin_node_list(); atom != atom_netlist->end_node_list(); ++atom) {
        if (*atom == nullptr)
            continue;
        for (auto oterm = (*atom)->begin_oterm(); oterm != (*atom)->end_oterm(); ++oterm) {
            unsigned id = 0;
            if (*oterm == nullptr || !m_sa_data->get_unique_id_for_output_signal(*oterm, &id))
                continue;
            const int domain = m_clk_domain_id[id];
            if (domain < 0)
                continue;
            if (rates.size() < static_cast<std::size_t>(domain) + 1)
                rates.resize(static_cast<std::size_t>(domain) + 1, s_unknown_rate);
            rates[domain] = m_clk_domain_toggle_rate[id];
        }
    }
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::get_clock_domain_flags(unsigned output_data_id, bool* from_fanout_traversal,
                                                                bool* multiple_clock_domains,
                                                                bool* multiple_register_clock_domains)
{
    PUTIL_ASSERT(output_data_id < m_output_signal_count);
    *from_fanout_traversal = m_clk_domain_from_fanout_traversal[output_data_id];
    *multiple_clock_domains = m_has_multiple_clk_domains[output_data_id];
    *multiple_register_clock_domains = m_has_multiple_reg_clk_domains[output_data_id];
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::calculate_clock_domains(PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type)
{
    TDB_NETLIST* tdb_netlist = m_tdc_accessories->get_timing_netlist();
    if (tdb_netlist == nullptr)
        return;
    m_calculation_type = type;
    m_node_index.clear();

    allocate_node_arrays(tdb_netlist);
    assign_fanout_domains(tdb_netlist);
    assign_fanin_domains(tdb_netlist);
    reset_signal_results();
    transfer_node_results(tdb_netlist);
    fix_up_transceivers();
    copy_rates_to_pin_companions();
    if (cfg_is_on("putil_clock_domain_dump", false))
        write_clock_domain_dump();
    release_node_arrays();
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::allocate_node_arrays(TDB_NETLIST* tdb_netlist)
{
    const std::size_t node_count = tdb_netlist->get_node_list_size();
    m_node_clk_toggle_rate.assign(node_count, s_unknown_rate);
    m_node_clk_domain_id.assign(node_count, s_no_domain);
    m_node_has_multiple_clk_domains.assign(node_count, false);
    m_node_reg_clk_toggle_rate.assign(node_count, s_unknown_rate);
    m_node_has_multiple_reg_clk_domains.assign(node_count, false);
    m_visit_stamp.assign(node_count, 0);
    m_node_is_clock_node.assign(node_count, false);
    m_node_width_factor.assign(node_count, s_factor_unknown);

    m_node_index.reserve(node_count);
    for (std::size_t position = 0; position < node_count; ++position) {
        const TDB_NODE* node = tdb_netlist->get_node(position);
        if (node == nullptr)
            continue;
        m_node_index[node->get_id()] = static_cast<unsigned>(position);
        m_node_is_clock_node[position] = m_tdc_clock_util->is_clock_node(node);
    }
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::release_node_arrays()
{
    release(m_node_clk_toggle_rate);
    release(m_node_clk_domain_id);
    release(m_node_has_multiple_clk_domains);
    release(m_node_reg_clk_toggle_rate);
    release(m_node_has_multiple_reg_clk_domains);
    release(m_visit_stamp);
    release(m_node_is_clock_node);
    release(m_node_width_factor);
    // A cleared map keeps its buckets; a new one starts small again.
    m_node_index = PUTIL_HASH_MAP<unsigned, unsigned>(s_initial_buckets);
}

// Every clock source with an output term starts a domain, numbered in node
// list order; its rate is the one simulation or the user gave the term.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::assign_fanout_domains(TDB_NETLIST* tdb_netlist)
{
    WALK_STACK stack;
    m_current_visit_stamp = 0;
    unsigned domain = 0;
    for (std::size_t position = 0; position < m_node_is_clock_node.size(); ++position) {
        const TDB_NODE* node = tdb_netlist->get_node(position);
        if (node == nullptr || !m_node_is_clock_node[position])
            continue;
        const CDB_ATOM_OTERM* oterm = node->get_any_oterm(s_any_oterm);
        if (oterm == nullptr)
            continue;
        PUTIL_OUTPUT_SIGNAL_DATA* out_sig_data = m_sa_data->get_output_signal_data(oterm);
        PUTIL_ASSERT(out_sig_data != 0);
        float start_rate = s_unknown_rate;
        if (out_sig_data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED) ||
            out_sig_data->get_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE))
            start_rate = out_sig_data->get_toggle_rate();

        m_node_clk_toggle_rate[position] = start_rate;
        m_node_clk_domain_id[position] = domain;
        ++m_current_visit_stamp;
        m_current_clk_domain_id = domain;
        m_current_clk_toggle_rate = start_rate;
        walk(tdb_netlist, FANOUT, static_cast<unsigned>(position), stack);
        ++domain;
    }
}

// Each register hands the domain the fanout walk gave it back to the logic
// that feeds its data pins.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::assign_fanin_domains(TDB_NETLIST* tdb_netlist)
{
    WALK_STACK stack;
    std::fill(m_visit_stamp.begin(), m_visit_stamp.end(), 0);
    m_current_visit_stamp = 0;
    for (std::size_t position = 0; position < m_visit_stamp.size(); ++position) {
        const TDB_NODE* node = tdb_netlist->get_node(position);
        if (node == nullptr || (node->get_flags() & TDB_NODE_FLAG_REGISTER) == 0)
            continue;
        m_current_reg_clk_toggle_rate = m_node_clk_toggle_rate[position];
        m_current_clk_domain_id = m_node_clk_domain_id[position];
        ++m_current_visit_stamp;
        walk(tdb_netlist, FANIN, static_cast<unsigned>(position), stack);
    }
}

bool PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::node_position(unsigned node_id, unsigned* position) const
{
    const auto entry = m_node_index.find(node_id);
    if (entry == m_node_index.end())
        return false;
    *position = entry->second;
    return true;
}

// A node is expanded at most once per walk: a second entry with the same
// stamp returns at once, as a recursive walk would.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::enter(TDB_NETLIST* tdb_netlist, WALK_DIRECTION direction,
                                               unsigned position, WALK_STACK& stack)
{
    if (m_visit_stamp[position] == m_current_visit_stamp)
        return;
    m_visit_stamp[position] = m_current_visit_stamp;
    const TDB_NODE* node = tdb_netlist->get_node(position);
    TDB_EDGE* first;
    if (direction == FANOUT)
        first = node->get_first_fanout_edge();
    else if ((node->get_flags() & (TDB_NODE_FLAG_REGISTER | TDB_NODE_FLAG_DATA_FANIN)) != 0)
        first = node->get_first_data_fanin_edge();   // registers and nodes marked for it: their data fanin
    else
        first = node->get_first_fanin_edge();
    stack.push_back(WALK_FRAME{position, m_current_clk_toggle_rate, TDB_EDGE_ITER(first, direction == FANIN)});
}

// Follows the edges depth first, in the order a recursive walk takes them:
// each frame keeps the rate its node was entered with, since deeper nodes
// change the carried rate.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::walk(TDB_NETLIST* tdb_netlist, WALK_DIRECTION direction, unsigned start,
                                              WALK_STACK& stack)
{
    enter(tdb_netlist, direction, start, stack);
    while (!stack.empty()) {
        WALK_FRAME& frame = stack.back();
        if (frame.edges.at_end()) {
            stack.pop_back();
            continue;
        }
        const TDB_EDGE* edge = frame.edges.get_edge();
        frame.edges.next();
        const float entry_rate = frame.entry_rate;

        unsigned next = 0;
        const unsigned next_id =
            direction == FANOUT ? edge->get_destination_node_id() : edge->get_source_node_id();
        if (!node_position(next_id, &next))
            continue;
        const bool goes_on = direction == FANOUT ? goes_on_fanout(tdb_netlist, edge, next, entry_rate)
                                                 : goes_on_fanin(tdb_netlist, next);
        if (goes_on)
            enter(tdb_netlist, direction, next, stack);
    }
}

// The fanout walk carries the clock's rate, divided where it enters the
// parallel side of an LVDS block.
bool PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::goes_on_fanout(TDB_NETLIST* tdb_netlist, const TDB_EDGE* edge,
                                                        unsigned destination, float entry_rate)
{
    const float rate =
        entry_rate == s_unknown_rate ? s_unknown_rate : entry_rate * width_factor(tdb_netlist, destination);
    m_current_clk_toggle_rate = rate;
    // Another domain starts at a clock source.
    if (m_node_is_clock_node[destination])
        return false;
    // Data pins of a register do not pass a clock on.
    const TDB_NODE* node = tdb_netlist->get_node(destination);
    if ((node->get_flags() & TDB_NODE_FLAG_REGISTER) != 0 && !node->get_clock_fanin_group().found(edge))
        return false;
    return takes_fanout_rate(destination, rate);
}

// The fanin walk carries the register's rate and domain unchanged, up to
// the registers that launch the data.
bool PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::goes_on_fanin(TDB_NETLIST* tdb_netlist, unsigned source)
{
    if ((tdb_netlist->get_node(source)->get_flags() & TDB_NODE_FLAG_REGISTER) != 0)
        return false;
    return takes_fanin_rate(source);
}

// Records the rate and domain the walk carries into node k where it wins;
// true when the walk goes on from k. A known rate replaces an unknown one
// without a conflict; two known rates that differ are a conflict, settled
// by the calculation type.
bool PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::takes_fanout_rate(unsigned k, float rate)
{
    if (m_node_clk_toggle_rate[k] == s_unknown_rate && !m_node_has_multiple_clk_domains[k]) {
        // An unknown rate still spreads its domain to nodes no other
        // domain reached.
        if (m_node_clk_domain_id[k] != s_no_domain && rate == s_unknown_rate)
            return false;
        m_node_clk_toggle_rate[k] = rate;
        m_node_clk_domain_id[k] = m_current_clk_domain_id;
        return true;
    }
    if (rate == s_unknown_rate || rate == m_node_clk_toggle_rate[k])
        return false;
    const bool new_mark = !m_node_has_multiple_clk_domains[k];
    m_node_has_multiple_clk_domains[k] = true;
    bool replaced = false;
    switch (m_calculation_type) {
    case STRICT:
        m_node_clk_toggle_rate[k] = s_unknown_rate;
        break;
    case MAXIMUM_FREQUENCY:
        replaced = rate > m_node_clk_toggle_rate[k];
        break;
    case MINIMUM_FREQUENCY:
        replaced = rate < m_node_clk_toggle_rate[k];
        break;
    }
    if (replaced) {
        m_node_clk_toggle_rate[k] = rate;
        m_node_clk_domain_id[k] = m_current_clk_domain_id;
    }
    return replaced || new_mark;
}

// A clock entering the parallel side of an LVDS block is divided by the
// block's deserialization width. Asked once per node.
float PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::width_factor(TDB_NETLIST* tdb_netlist, unsigned position)
{
    float& factor = m_node_width_factor[position];
    if (factor != s_factor_unknown)
        return factor;
    factor = 1.0f;
    const CDB_ATOM_OTERM* oterm = tdb_netlist->get_oterm_of_node_id(tdb_netlist->get_node(position)->get_id());
    if (oterm == nullptr)
        return factor;
    const CDB_ATOM_NODE* atom = oterm->get_my_node();
    PUTIL_ASSERT(atom != 0);
    if (!atom->is_lvds_atom() || !oterm->is_used_as(DB_OPORT_OUT))
        return factor;
    int width = 0;
    const bool found_lvds_width =
        m_sa_data->get_atom_netlist()->get_int_parameter(atom, s_lvds_width_parameter, &width);
    PUTIL_ASSERT(found_lvds_width);
    factor = 1.0f / static_cast<float>(width);
    return factor;
}

// Records the register rate at node k where it is the first; registers of
// two rates meeting always leave the rate unknown, whatever the calculation
// type. True when the walk goes on from k.
bool PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::takes_fanin_rate(unsigned k)
{
    const float rate = m_current_reg_clk_toggle_rate;
    if (m_node_reg_clk_toggle_rate[k] == s_unknown_rate && !m_node_has_multiple_reg_clk_domains[k]) {
        if (m_node_clk_domain_id[k] != s_no_domain && rate == s_unknown_rate)
            return false;
        m_node_reg_clk_toggle_rate[k] = rate;
        if (m_node_clk_domain_id[k] == s_no_domain || m_node_clk_toggle_rate[k] == s_unknown_rate)
            m_node_clk_domain_id[k] = m_current_clk_domain_id;
        return true;
    }
    if (rate == s_unknown_rate || rate == m_node_reg_clk_toggle_rate[k] || m_node_has_multiple_reg_clk_domains[k])
        return false;
    m_node_has_multiple_reg_clk_domains[k] = true;
    m_node_reg_clk_toggle_rate[k] = s_unknown_rate;
    return true;
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::reset_signal_results()
{
    std::fill(m_clk_domain_toggle_rate.begin(), m_clk_domain_toggle_rate.end(), s_unknown_rate);
    std::fill(m_clk_domain_from_fanout_traversal.begin(), m_clk_domain_from_fanout_traversal.end(), false);
    std::fill(m_clk_domain_id.begin(), m_clk_domain_id.end(), -1);
    std::fill(m_has_multiple_clk_domains.begin(), m_has_multiple_clk_domains.end(), false);
    std::fill(m_has_multiple_reg_clk_domains.begin(), m_has_multiple_reg_clk_domains.end(), false);
    std::fill(m_toggle_rate_requested.begin(), m_toggle_rate_requested.end(), false);
}

// A node's fanout rate wins; the fanin rate counts only where no two clocks
// met going forward.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::transfer_node_results(TDB_NETLIST* tdb_netlist)
{
    for (std::size_t position = 0; position < m_visit_stamp.size(); ++position) {
        const TDB_NODE* node = tdb_netlist->get_node(position);
        if (node == nullptr)
            continue;
        const CDB_ATOM_OTERM* oterm = tdb_netlist->get_oterm_of_node_id(node->get_id());
        if (oterm == nullptr)
            continue;
        const unsigned id = signal_id(oterm);
        m_has_multiple_clk_domains[id] = m_node_has_multiple_clk_domains[position];
        m_has_multiple_reg_clk_domains[id] = m_node_has_multiple_reg_clk_domains[position];
        if (m_node_clk_toggle_rate[position] != s_unknown_rate) {
            m_clk_domain_toggle_rate[id] = m_node_clk_toggle_rate[position];
            m_clk_domain_from_fanout_traversal[id] = true;
        } else if (!m_node_has_multiple_clk_domains[position] &&
                   m_node_reg_clk_toggle_rate[position] != s_unknown_rate) {
            m_clk_domain_toggle_rate[id] = m_node_reg_clk_toggle_rate[position];
        }
        if (m_node_clk_domain_id[position] != s_no_domain)
            m_clk_domain_id[id] = static_cast<int>(m_node_clk_domain_id[position]);
    }
}

// The timing netlist does not lead through the transceiver's PMA blocks: a
// serializer's data output takes the domain of its high-speed clock, a
// receive buffer's the domain of the CDR PLL it feeds.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::fix_up_transceivers()
{
    const CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
    PUTIL_ASSERT(atom_netlist != NULL);
    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        const CDB_ATOM_NODE* atom = *node;
        PUTIL_ASSERT(atom != NULL);
        if (atom->is_hssi_pma_tx_ser_atom()) {
            putil_debug("Found HSSI_PMA_TX_SER: %d", atom->get_id());
            PUTIL_ASSERT(atom->implements(::DB_IPORT_HFCLK));
            const CDB_ATOM_OTERM* dataout = atom->get_output_term_by_type(DB_OPORT_DATAOUT, 0);
            const CDB_ATOM_ITERM* hfclk = atom->get_input_term_by_type(DB_IPORT_HFCLK, 0);
            if (dataout == nullptr || hfclk == nullptr || hfclk->get_source() == nullptr)
                continue;
            PUTIL_OUTPUT_SIGNAL_DATA* output_signal_data = m_sa_data->get_output_signal_data(dataout);
            PUTIL_ASSERT(output_signal_data != NULL);
            PUTIL_OUTPUT_SIGNAL_DATA* driver_signal_data = m_sa_data->get_output_signal_data(hfclk->get_source());
            PUTIL_ASSERT(driver_signal_data != NULL);
            copy_transceiver_domain(hfclk->get_source(), dataout);
        } else if (atom->is_hssi_pma_rx_buf_atom()) {
            putil_debug("Found HSSI_PMA_RX_BUF: %d", atom->get_id());
            PUTIL_ASSERT(atom->implements(::DB_OPORT_DATAOUT));
            const CDB_ATOM_OTERM* dataout = atom->get_output_term_by_type(DB_OPORT_DATAOUT, 0);
            if (dataout == nullptr)
                continue;
            const CDB_ATOM_OTERM* cdr_clock = nullptr;
            for (const CDB_ATOM_ITERM* iterm = dataout->begin_iterm_fanout();
                 iterm != dataout->end_iterm_fanout() && cdr_clock == nullptr; iterm = iterm->get_next_fanout()) {
                const CDB_ATOM_NODE* load = iterm->get_my_node();
                if (is_cdr_pll(load))
                    cdr_clock = load->get_output_term_by_type(DB_OPORT_CDR_CLKOUT, 0);
            }
            const bool cdr_pll_connected_to_pma_rx_buf_found = cdr_clock != nullptr;
            PUTIL_ASSERT(cdr_pll_connected_to_pma_rx_buf_found);
            copy_transceiver_domain(cdr_clock, dataout);
        }
    }
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::copy_transceiver_domain(const CDB_ATOM_OTERM* from, const CDB_ATOM_OTERM* to)
{
    unsigned from_id = 0;
    unsigned to_id = 0;
    const bool found_signal_data = m_sa_data->get_unique_id_for_output_signal(from, &from_id) &&
                                   m_sa_data->get_unique_id_for_output_signal(to, &to_id);
    PUTIL_ASSERT(found_signal_data);
    m_clk_domain_toggle_rate[to_id] = m_clk_domain_toggle_rate[from_id];
    m_clk_domain_from_fanout_traversal[to_id] = m_clk_domain_from_fanout_traversal[from_id];
    m_clk_domain_id[to_id] = m_clk_domain_id[from_id];
    m_has_multiple_clk_domains[to_id] = m_has_multiple_clk_domains[from_id];
    m_has_multiple_reg_clk_domains[to_id] = m_has_multiple_reg_clk_domains[from_id];
}

// In families where a pin's other side is a companion atom, the companion's
// terms run at the rate of the pin's terms of the same usage.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::copy_rates_to_pin_companions()
{
    const CDB_CHIP_DB_ENTRY* chip_db_entry = m_sa_data->get_chip_db_entry();
    PUTIL_ASSERT(chip_db_entry != 0);
    const int family = chip_db_entry->get_user_family_enum();
    if (!CUT_ATOM_IO::is_available(family))
        return;
    std::unique_ptr<CUT_ATOM_IO> cut_atom_io_util(
        CUT_ATOM_IO::create_util(MEM_MANAGER::get_default_segment(), family, false));
    PUTIL_ASSERT(cut_atom_io_util != 0);
    const CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
    PUTIL_ASSERT(atom_netlist != NULL);

    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        const CDB_ATOM_NODE* pin = *node;
        if (pin == nullptr || !pin->is_pin_atom() || !cut_atom_io_util->has_companion_atom(pin))
            continue;
        const CDB_ATOM_NODE* companion = cut_atom_io_util->get_companion_atom(pin);
        if (companion == nullptr)
            continue;
        for (auto oterm = pin->begin_oterm(); oterm != pin->end_oterm(); ++oterm) {
            if (*oterm == nullptr)
                continue;
            const CDB_ATOM_OTERM* companion_oterm = companion->get_output_term_by_type((*oterm)->get_any_usage_as(), 0);
            if (companion_oterm == nullptr)
                continue;
            unsigned pin_id = 0;
            unsigned companion_id = 0;
            const bool found_output_signal_data =
                m_sa_data->get_unique_id_for_output_signal(*oterm, &pin_id) &&
                m_sa_data->get_unique_id_for_output_signal(companion_oterm, &companion_id);
            PUTIL_ASSERT(found_output_signal_data);
            m_clk_domain_toggle_rate[companion_id] = m_clk_domain_toggle_rate[pin_id];
        }
    }
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::mark_clock_net(const CDB_ATOM_OTERM* oterm)
{
    m_is_clk_net[signal_id(oterm)] = true;
}

void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::calculate_clock_nets()
{
    std::fill(m_is_clk_net.begin(), m_is_clk_net.end(), false);
    const TDB_NETLIST* tdb_netlist = m_tdc_accessories->get_timing_netlist();
    if (tdb_netlist == nullptr)
        return;

    for (std::size_t position = 0; position < tdb_netlist->get_node_list_size(); ++position) {
        const TDB_NODE* node = tdb_netlist->get_node(position);
        if (node == nullptr || !m_tdc_clock_util->is_clock_node(node))
            continue;
        CDB_ATOM_OTERM* oterm = node->get_any_oterm(s_any_oterm);
        if (oterm == nullptr)
            continue;
        CDB_ATOM_NODE* atom = oterm->get_my_node();
        PUTIL_ASSERT(atom != 0);
        mark_clock_net(oterm);
        if (atom->is_pin_atom() && atom->is_pin_with_companion_outputs())
            mark_pin_companion_outputs(atom, oterm);
    }

    const CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
    PUTIL_ASSERT(atom_netlist != NULL);
    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        if (*node == nullptr || !(*node)->is_clock_control_atom())
            continue;
        if (const CDB_ATOM_OTERM* clkout = (*node)->get_output_term_by_type(DB_OPORT_CLKOUT, 0))
            mark_clock_net(clkout);
    }
    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        if (*node != nullptr)
            mark_derived_clock_nets(*node);
    }
}

// A clock on one side of a pin whose sides are separate outputs is a clock
// on the other side too.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::mark_pin_companion_outputs(CDB_ATOM_NODE* atom, CDB_ATOM_OTERM* oterm)
{
    if (oterm->is_used_as(DB_OPORT_PADIO)) {
        const CDB_ATOM_OTERM* combout = atom->get_output_term_by_type(combout_kind(atom), 0);
        if (combout != nullptr && cdb_is_connected(combout))
            mark_clock_net(combout);
    } else if (oterm->is_used_as(DB_OPORT_COMBOUT) || oterm->is_used_as(DB_OPORT_OUT)) {
        if (const CDB_ATOM_OTERM* padio = atom->get_output_term_by_type(DB_OPORT_PADIO, 0))
            mark_clock_net(padio);
    } else if (oterm->is_used_as(DB_OPORT_PIN_OUTPUT_A) && cdb_is_connected(oterm)) {
        for (const CDB_ATOM_ITERM* iterm = oterm->begin_iterm_fanout(); iterm != oterm->end_iterm_fanout();
             iterm = iterm->get_next_fanout()) {
            if (!iterm->get_my_node()->is_pin_output_b_load() || !atom->implements(DB_OPORT_PIN_OUTPUT_B))
                continue;
            const CDB_ATOM_OTERM* output_b = atom->get_output_term_by_type(DB_OPORT_PIN_OUTPUT_B, 0);
            if (output_b != nullptr && cdb_is_connected(output_b))
                mark_clock_net(output_b);
        }
    }
}

// Clock nets the timing constraints do not name: wire LUTs that pass a
// clock on (as far as node-list order lets one pass follow a chain), and
// the clock outputs of transceiver blocks.
void PUTIL_CLOCK_DOMAIN_CALCULATOR_MAIN::mark_derived_clock_nets(CDB_ATOM_NODE* atom)
{
    if (atom->is_lcell_atom() && CUT_LCELL_UTIL::atom_is_wire_lut(atom)) {
        const CDB_ATOM_ITERM* iterm = CUT_LCELL_UTIL::get_wire_lut_iterm(atom);
        if (iterm == nullptr)
            return;
        const CDB_ATOM_OTERM* wire_lut_input_oterm = iterm->get_source();
        PUTIL_ASSERT(wire_lut_input_oterm != 0);
        if (m_is_clk_net[signal_id(wire_lut_input_oterm)])
            mark_clock_net(atom->get_primary_oterm());
    } else if (atom->is_hssi_pma_tx_ser_atom()) {
        putil_debug("Found HSSI_PMA_TX_SER");
        if (const CDB_ATOM_OTERM* dataout = atom->get_output_term_by_type(DB_OPORT_DATAOUT, 0))
            mark_clock_net(dataout);
    } else if (atom->is_hssi_tx_pcs_pma_interface_atom() || atom->is_hssi_rx_pcs_pma_interface_atom()) {
        putil_debug("Found HSSI_TX_PCS_PMA_INTERFACE or HSSI_RX_PCS_PMA_INTERFACE");
        for (const DB_OUTPUT_PORT_TYPE kind : s_pcs_pma_clock_outputs) {
            if (!atom->implements(kind))
                continue;
            if (const CDB_ATOM_OTERM* clock = atom->get_output_term_by_type(kind, 0))
                mark_clock_net(clock);
        }
    } else if (atom->is_hssi_pma_rx_buf_atom()) {
        putil_debug("Found HSSI_PMA_RX_BUF");
        PUTIL_ASSERT(atom->implements(::DB_OPORT_DATAOUT));
        if (const CDB_ATOM_OTERM* dataout = atom->get_output_term_by_type(DB_OPORT_DATAOUT, 0))
            mark_clock_net(dataout);
    }
}
