// Host timing database: the timing netlist that the timing component builds
// from the atom netlist (timing nodes joined by edges), the clocks of the
// timing constraints, and the timing API scope a build runs in.
#pragma once

#include <cstddef>
#include <vector>

class CMP_FACADE;
class CDB_ATOM_NETLIST;
class CDB_ATOM_OTERM;

// The host's "not set" integer (a clock without a period, options left to
// the timing component).
const int TDC_INT_NOT_SET = static_cast<int>(0x80000001u);

// A node id that names no node.
const unsigned TDB_NO_NODE_ID = 0xFFFFFFFFu;

// Flags of a timing node that the library tests.
enum TDB_NODE_FLAG : unsigned {
    TDB_NODE_FLAG_REGISTER = 0x8000,
    TDB_NODE_FLAG_DATA_FANIN = 0x10000   // not a register, but fanin walks take its data fanin list too
};

class TDB_EDGE {
public:
    // Ids of the nodes the edge joins; TDB_NO_NODE_ID (or an id the netlist
    // does not have) when there is none.
    virtual unsigned get_source_node_id() const = 0;
    virtual unsigned get_destination_node_id() const = 0;
    // The next edge of the list this one is walked in: the source's fanout
    // list (fanin false) or the destination's fanin list (fanin true); null
    // after the last.
    virtual TDB_EDGE* get_next_edge(bool fanin) const = 0;

protected:
    virtual ~TDB_EDGE() = default;
};

// Walks one edge list from its first edge: a fanout list (fanin false) or a
// fanin list (fanin true).
class TDB_EDGE_ITER {
public:
    TDB_EDGE_ITER(TDB_EDGE* first, bool fanin) : m_edge(first), m_fanin(fanin) {}
    bool at_end() const { return m_edge == nullptr; }
    TDB_EDGE* get_edge() const { return m_edge; }
    void next() { m_edge = m_edge->get_next_edge(m_fanin); }

private:
    TDB_EDGE* m_edge;
    bool m_fanin;
};

// The edges that reach a register's clock pin.
class TDB_FANIN_EDGE_GROUP {
public:
    virtual bool found(const TDB_EDGE* edge) const = 0;

protected:
    virtual ~TDB_FANIN_EDGE_GROUP() = default;
};

class TDB_NODE {
public:
    virtual unsigned get_id() const = 0;
    virtual unsigned get_flags() const = 0;
    // First edges of the node's lists, null when a list is empty. A register
    // (and a node with TDB_NODE_FLAG_DATA_FANIN) has a data fanin list beside
    // its ordinary one.
    virtual TDB_EDGE* get_first_fanout_edge() const = 0;
    virtual TDB_EDGE* get_first_fanin_edge() const = 0;
    virtual TDB_EDGE* get_first_data_fanin_edge() const = 0;
    // A register's clock fanin edges; an empty group for other nodes.
    virtual const TDB_FANIN_EDGE_GROUP& get_clock_fanin_group() const = 0;
    // The atom output term the node stands for (kind 2: any kind of term),
    // or null.
    virtual CDB_ATOM_OTERM* get_any_oterm(int kind) const = 0;

protected:
    virtual ~TDB_NODE() = default;
};

class TDB_NETLIST {
public:
    // The node list; an entry may be null.
    virtual std::size_t get_node_list_size() const = 0;
    virtual TDB_NODE* get_node(std::size_t position) const = 0;
    // The atom output term of the node with this id, or null.
    virtual CDB_ATOM_OTERM* get_oterm_of_node_id(unsigned node_id) const = 0;

protected:
    virtual ~TDB_NETLIST() = default;
};

// Options of a timing-netlist build, five fields in this order. Their
// meaning belongs to the timing component.
struct TDC_NETLIST_OPTIONS {
    int first;
    bool second;
    int third;
    int fourth;
    int fifth;
};

class TDC_ACCESSORIES {
public:
    // Builds the timing netlist of the atom netlist; it stays current until
    // released.
    virtual void build_timing_netlist(CMP_FACADE* facade, CDB_ATOM_NETLIST* atom_netlist,
                                      const TDC_NETLIST_OPTIONS& options, bool first_flag, bool second_flag) = 0;
    virtual void release_timing_netlist() = 0;
    // The current timing netlist, or null.
    virtual TDB_NETLIST* get_timing_netlist() const = 0;

protected:
    virtual ~TDC_ACCESSORIES() = default;
};

// The clocks of the timing constraints, on the current timing netlist.
class TDC_CLOCK_UTIL {
public:
    // Whether the node is a clock source of some clock.
    virtual bool is_clock_node(const TDB_NODE* node) const = 0;
    virtual void get_clock_ids(std::vector<unsigned>& ids) const = 0;
    // The clock's timing nodes, in order.
    virtual void get_clock_nodes(unsigned clock_id, std::vector<TDB_NODE*>& nodes) const = 0;
    // Picoseconds, TDC_INT_NOT_SET when the clock has none.
    virtual int get_clock_period(unsigned clock_id) const = 0;
    // Share of the period at 1.
    virtual double get_clock_duty_cycle(unsigned clock_id) const = 0;

protected:
    virtual ~TDC_CLOCK_UTIL() = default;
};

TDC_ACCESSORIES* tdc_get_accessories();
TDC_CLOCK_UTIL* tdc_get_clock_util();

// The timing API's scope: a timing netlist is built between start and the
// end of the scope. The host implements the members.
class TAPI_ROOT {
public:
    TAPI_ROOT(CMP_FACADE* facade, bool flag);
    ~TAPI_ROOT();
    TAPI_ROOT(const TAPI_ROOT&) = delete;
    TAPI_ROOT& operator=(const TAPI_ROOT&) = delete;

    void start(int invoke_mode, bool first_flag, int timing_model, bool second_flag, const void* edge_delay_table,
               bool third_flag);

private:
    CMP_FACADE* m_facade;
    bool m_started;
};

// The timing databases the timing API keeps.
class TAPI_DB_MANAGER {
public:
    virtual void release_database(int kind) = 0;

protected:
    virtual ~TAPI_DB_MANAGER() = default;
};

// The manager of the facade's compilation (null: the current one), or null.
TAPI_DB_MANAGER* tapi_get_db_manager(CMP_FACADE* facade);
