// Reference host timing netlist: sizes are counted first so that nodes and
// edges are made in place, each list is linked as it grows, and nothing
// recurses, so that a design of millions of terms builds in linear time.
#include "host_timing_netlist.h"

#include "host_atom.h"
#include "host_internal_error.h"
#include "host_netlist.h"

namespace {

const HOST_ATOM* host_atom(const CDB_ATOM_NODE* node)
{
    return static_cast<const HOST_ATOM*>(node);
}

bool is_timed(const CDB_ATOM_NODE* node)
{
    return !host_atom(node)->has_flag(HOST_ATOM_UNTIMED);
}

// Output nodes the atom has: one per output term of a timed atom.
std::size_t output_node_count(const CDB_ATOM_NODE* atom)
{
    return is_timed(atom) ? static_cast<std::size_t>(atom->end_oterm() - atom->begin_oterm()) : 0;
}

bool has_timed_source(const CDB_ATOM_ITERM* iterm)
{
    const CDB_ATOM_OTERM* source = iterm->get_source();
    return source != nullptr && is_timed(source->get_my_node());
}

}  // namespace

TDB_EDGE* HOST_TIMING_NODE::get_first_data_fanin_edge() const
{
    if (!has_split_fanin())
        return nullptr;
    HOST_TIMING_EDGE* edge = m_first_fanin;
    for (unsigned skipped = 0; skipped < m_clock_edges; ++skipped)
        edge = static_cast<HOST_TIMING_EDGE*>(edge->get_next_edge(true));
    return edge;
}

CDB_ATOM_OTERM* HOST_TIMING_NODE::get_any_oterm(int kind) const
{
    return kind == 2 ? m_oterm : nullptr;
}

bool HOST_TIMING_NODE::found(const TDB_EDGE* edge) const
{
    if ((m_flags & TDB_NODE_FLAG_REGISTER) == 0)
        return false;
    const TDB_EDGE* clock_edge = m_first_fanin;
    for (unsigned i = 0; i < m_clock_edges; ++i, clock_edge = clock_edge->get_next_edge(true)) {
        if (clock_edge == edge)
            return true;
    }
    return false;
}

struct HOST_TIMING_NETLIST::SIZES {
    std::size_t positions = 0;
    std::size_t nodes = 0;
    std::size_t edges = 0;
};

// The same rules as make_nodes and make_edges, counting only.
HOST_TIMING_NETLIST::SIZES HOST_TIMING_NETLIST::count(const HOST_NETLIST& netlist)
{
    SIZES sizes;
    for (auto atom = netlist.begin_node_list(); atom != netlist.end_node_list(); ++atom) {
        const std::size_t outputs = output_node_count(*atom);
        sizes.nodes += outputs;
        sizes.positions += is_timed(*atom) ? outputs : 1;
        for (auto iterm = (*atom)->begin_iterm(); iterm != (*atom)->end_iterm(); ++iterm) {
            if ((*iterm)->get_source() == nullptr)
                continue;
            if (outputs > 0)
                sizes.edges += outputs;
            else if (has_timed_source(*iterm))
                sizes.edges += 1;
        }
    }
    return sizes;
}

HOST_TIMING_NETLIST::HOST_TIMING_NETLIST(const HOST_NETLIST& netlist)
{
    const SIZES sizes = count(netlist);
    // Ids must stay below TDB_NO_NODE_ID.
    HOST_ASSERT(sizes.positions < (TDB_NO_NODE_ID - s_first_node_id) / s_node_id_step);
    m_nodes.reserve(sizes.nodes);
    m_list.reserve(sizes.positions);
    m_edges.reserve(sizes.edges);
    m_node_of_oterm.assign(netlist.oterm_count(), nullptr);
    make_nodes(netlist);
    make_edges(netlist);
    HOST_ASSERT(m_edges.size() == sizes.edges);
}

void HOST_TIMING_NETLIST::make_nodes(const HOST_NETLIST& netlist)
{
    for (auto atom = netlist.begin_node_list(); atom != netlist.end_node_list(); ++atom) {
        if (!is_timed(*atom)) {
            m_list.push_back(nullptr);
            continue;
        }
        for (auto term = (*atom)->begin_oterm(); term != (*atom)->end_oterm(); ++term) {
            HOST_OTERM* oterm = static_cast<HOST_OTERM*>(*term);
            const unsigned flags = (oterm->is_registered() ? TDB_NODE_FLAG_REGISTER : 0u) |
                                   (oterm->has_data_fanin() ? TDB_NODE_FLAG_DATA_FANIN : 0u);
            m_nodes.emplace_back(oterm, id_of_position(m_list.size()), flags);
            m_list.push_back(&m_nodes.back());
            m_node_of_oterm[oterm->number()] = &m_nodes.back();
        }
    }
}

void HOST_TIMING_NETLIST::make_edges(const HOST_NETLIST& netlist)
{
    m_fanout_tail.assign(m_nodes.size(), nullptr);
    std::vector<FANIN_CHAINS> chains;
    for (auto atom = netlist.begin_node_list(); atom != netlist.end_node_list(); ++atom)
        connect_inputs_of(*atom, chains);
    m_fanout_tail.clear();
    m_fanout_tail.shrink_to_fit();
}

// Inputs in order, and for each the atom's output nodes in order, so that
// every fanout list follows the netlist: atoms in order, inputs in order.
void HOST_TIMING_NETLIST::connect_inputs_of(const CDB_ATOM_NODE* atom, std::vector<FANIN_CHAINS>& chains)
{
    const std::size_t outputs = output_node_count(atom);
    HOST_TIMING_NODE* first_output = outputs == 0 ? nullptr : node_of(static_cast<HOST_OTERM*>(*atom->begin_oterm()));
    chains.assign(outputs, FANIN_CHAINS{nullptr, nullptr, nullptr, nullptr});
    for (auto term = atom->begin_iterm(); term != atom->end_iterm(); ++term) {
        const HOST_ITERM* iterm = static_cast<const HOST_ITERM*>(*term);
        if (iterm->source() == nullptr)
            continue;
        HOST_TIMING_NODE* source = node_of(iterm->source());
        if (outputs == 0) {
            if (source != nullptr)
                add_edge(source, nullptr);
            continue;
        }
        for (std::size_t k = 0; k < outputs; ++k) {
            HOST_TIMING_NODE* destination = first_output + k;
            const bool clock = iterm->is_clock() && destination->has_split_fanin();
            append_fanin(chains[k], add_edge(source, destination), clock);
            if (clock)
                ++destination->m_clock_edges;
        }
    }
    for (std::size_t k = 0; k < outputs; ++k) {
        FANIN_CHAINS& chain = chains[k];
        if (chain.clock_tail != nullptr)
            chain.clock_tail->m_next_fanin = chain.data_head;
        first_output[k].m_first_fanin = chain.clock_head != nullptr ? chain.clock_head : chain.data_head;
    }
}

HOST_TIMING_EDGE* HOST_TIMING_NETLIST::add_edge(HOST_TIMING_NODE* source, HOST_TIMING_NODE* destination)
{
    m_edges.emplace_back(source != nullptr ? source->m_id : TDB_NO_NODE_ID,
                         destination != nullptr ? destination->m_id : TDB_NO_NODE_ID);
    HOST_TIMING_EDGE* edge = &m_edges.back();
    if (source == nullptr)
        return edge;
    HOST_TIMING_EDGE*& tail = m_fanout_tail[static_cast<std::size_t>(source - m_nodes.data())];
    if (tail == nullptr)
        source->m_first_fanout = edge;
    else
        tail->m_next_fanout = edge;
    tail = edge;
    return edge;
}

void HOST_TIMING_NETLIST::append_fanin(FANIN_CHAINS& chains, HOST_TIMING_EDGE* edge, bool clock)
{
    HOST_TIMING_EDGE*& head = clock ? chains.clock_head : chains.data_head;
    HOST_TIMING_EDGE*& tail = clock ? chains.clock_tail : chains.data_tail;
    if (tail == nullptr)
        head = edge;
    else
        tail->m_next_fanin = edge;
    tail = edge;
}

TDB_NODE* HOST_TIMING_NETLIST::get_node(std::size_t position) const
{
    return position < m_list.size() ? m_list[position] : nullptr;
}

CDB_ATOM_OTERM* HOST_TIMING_NETLIST::get_oterm_of_node_id(unsigned node_id) const
{
    HOST_TIMING_NODE* node = node_of_id(node_id);
    return node == nullptr ? nullptr : node->oterm();
}

HOST_TIMING_NODE* HOST_TIMING_NETLIST::node_of(const HOST_OTERM* oterm) const
{
    if (oterm == nullptr || oterm->number() >= m_node_of_oterm.size())
        return nullptr;
    return m_node_of_oterm[oterm->number()];
}

HOST_TIMING_NODE* HOST_TIMING_NETLIST::node_of_id(unsigned node_id) const
{
    if (node_id < s_first_node_id || (node_id - s_first_node_id) % s_node_id_step != 0)
        return nullptr;
    const std::size_t position = (node_id - s_first_node_id) / s_node_id_step;
    return position < m_list.size() ? m_list[position] : nullptr;
}
