// Reference host timing netlist: one timing node per output term of the
// design's timed atoms, joined by an edge from each connected input's source
// to every output of the input's atom; built in one linear pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/tdb.h"

class CDB_ATOM_NODE;
class HOST_NETLIST;
class HOST_OTERM;
class HOST_TIMING_NETLIST;

class HOST_TIMING_EDGE final : public TDB_EDGE {
public:
    HOST_TIMING_EDGE(unsigned source, unsigned destination) : m_source(source), m_destination(destination) {}
    unsigned get_source_node_id() const override { return m_source; }
    unsigned get_destination_node_id() const override { return m_destination; }
    TDB_EDGE* get_next_edge(bool fanin) const override { return fanin ? m_next_fanin : m_next_fanout; }

private:
    friend class HOST_TIMING_NETLIST;
    HOST_TIMING_EDGE* m_next_fanout = nullptr;
    HOST_TIMING_EDGE* m_next_fanin = nullptr;
    unsigned m_source;
    unsigned m_destination;
};

// A node is its own clock fanin group. A node whose fanin is split (a
// register, or a term marked data_fanin) lists the edges of its clock
// inputs first; its data fanin list is the rest of its fanin list, so that
// one next-fanin link serves both lists.
class HOST_TIMING_NODE final : public TDB_NODE, public TDB_FANIN_EDGE_GROUP {
public:
    HOST_TIMING_NODE(HOST_OTERM* oterm, unsigned id, unsigned flags) : m_oterm(oterm), m_id(id), m_flags(flags) {}
    ~HOST_TIMING_NODE() override = default;

    unsigned get_id() const override { return m_id; }
    unsigned get_flags() const override { return m_flags; }
    TDB_EDGE* get_first_fanout_edge() const override { return m_first_fanout; }
    TDB_EDGE* get_first_fanin_edge() const override { return m_first_fanin; }
    // Null for a node whose fanin is not split.
    TDB_EDGE* get_first_data_fanin_edge() const override;
    const TDB_FANIN_EDGE_GROUP& get_clock_fanin_group() const override { return *this; }
    // The term for kind 2 (any kind of term); null for other kinds.
    CDB_ATOM_OTERM* get_any_oterm(int kind) const override;
    // Whether edge reaches this register's clock pin; false for a node that
    // is not a register.
    bool found(const TDB_EDGE* edge) const override;

    HOST_OTERM* oterm() const { return m_oterm; }
    bool has_split_fanin() const { return (m_flags & (TDB_NODE_FLAG_REGISTER | TDB_NODE_FLAG_DATA_FANIN)) != 0; }
    unsigned clock_edge_count() const { return m_clock_edges; }

private:
    friend class HOST_TIMING_NETLIST;
    HOST_OTERM* m_oterm;
    HOST_TIMING_EDGE* m_first_fanout = nullptr;
    HOST_TIMING_EDGE* m_first_fanin = nullptr;
    unsigned m_id;
    unsigned m_flags;
    unsigned m_clock_edges = 0;
};

// Node ids are not positions: the node at position p of the node list has
// id s_first_node_id + s_node_id_step * p, so that a caller has to map ids.
class HOST_TIMING_NETLIST final : public TDB_NETLIST {
public:
    static constexpr unsigned s_first_node_id = 1000;
    static constexpr unsigned s_node_id_step = 3;

    // Built from the netlist's current atoms and terms, which must not
    // change while this netlist lives.
    explicit HOST_TIMING_NETLIST(const HOST_NETLIST& netlist);
    ~HOST_TIMING_NETLIST() override = default;
    HOST_TIMING_NETLIST(const HOST_TIMING_NETLIST&) = delete;
    HOST_TIMING_NETLIST& operator=(const HOST_TIMING_NETLIST&) = delete;

    std::size_t get_node_list_size() const override { return m_list.size(); }
    TDB_NODE* get_node(std::size_t position) const override;
    CDB_ATOM_OTERM* get_oterm_of_node_id(unsigned node_id) const override;

    static unsigned id_of_position(std::size_t position)
    {
        return s_first_node_id + s_node_id_step * static_cast<unsigned>(position);
    }
    // The node of the term, or null (an untimed atom, a term made later).
    HOST_TIMING_NODE* node_of(const HOST_OTERM* oterm) const;
    HOST_TIMING_NODE* node_of_id(unsigned node_id) const;
    std::size_t node_count() const { return m_nodes.size(); }
    std::size_t edge_count() const { return m_edges.size(); }

private:
    struct SIZES;
    // The fanin chains of one output node while its atom's inputs are read.
    struct FANIN_CHAINS {
        HOST_TIMING_EDGE* clock_head;
        HOST_TIMING_EDGE* clock_tail;
        HOST_TIMING_EDGE* data_head;
        HOST_TIMING_EDGE* data_tail;
    };

    static SIZES count(const HOST_NETLIST& netlist);
    void make_nodes(const HOST_NETLIST& netlist);
    void make_edges(const HOST_NETLIST& netlist);
    void connect_inputs_of(const CDB_ATOM_NODE* atom, std::vector<FANIN_CHAINS>& chains);
    HOST_TIMING_EDGE* add_edge(HOST_TIMING_NODE* source, HOST_TIMING_NODE* destination);
    static void append_fanin(FANIN_CHAINS& chains, HOST_TIMING_EDGE* edge, bool clock);

    std::vector<HOST_TIMING_NODE> m_nodes;          // in list order, never moved once made
    std::vector<HOST_TIMING_NODE*> m_list;          // the node list, null for untimed atoms
    std::vector<HOST_TIMING_NODE*> m_node_of_oterm; // by the term's number in the netlist
    std::vector<HOST_TIMING_EDGE> m_edges;
    std::vector<HOST_TIMING_EDGE*> m_fanout_tail;   // by node, while edges are made
};
