// Timing netlist of the reference host: node ids and null entries, fanout order, edges to and from untimed atoms,
// terms with a data fanin list, and the timing API around a build. Registers' clock groups and data fanin lists are
// what the clock domain tests walk.
#include "host_test_fixture.h"

namespace {

// The ids of an edge list, source and destination.
using EDGE_IDS = std::vector<std::pair<unsigned, unsigned>>;

EDGE_IDS ids_of(TDB_EDGE* first, bool fanin)
{
    EDGE_IDS ids;
    for (TDB_EDGE_ITER it(first, fanin); !it.at_end(); it.next())
        ids.emplace_back(it.get_edge()->get_source_node_id(), it.get_edge()->get_destination_node_id());
    return ids;
}

const TDC_NETLIST_OPTIONS OPTIONS{1000, false, 7, 8, 9};

// Builds the current design's timing netlist the way a caller of the timing API does.
void build_in_scope(HOST_DESIGN& design)
{
    TAPI_ROOT root(design.facade(), true);
    root.start(1, false, 0, true, nullptr, false);
    tdc_get_accessories()->build_timing_netlist(design.facade(), design.netlist(), OPTIONS, false, true);
}

// clk and d drive a register whose data input comes first; the register feeds a two-output gate on two inputs
// and an untimed atom, which drives a sink.
class TIMING_NETLIST_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        HOST_DESIGN& d = m_design;
        m_clk = d.add_output(d.add_atom("clk", HOST_ATOM_KIND::CLOCK_PIN), "clk", CDB_PORT_TYPE_PIN_CLKOUT, false);
        m_d = d.add_output(d.add_atom("d", HOST_ATOM_KIND::INPUT_PIN), "d", CDB_PORT_TYPE_PIN_COMBOUT, false);
        HOST_ATOM* ff = d.add_atom("ff", HOST_ATOM_KIND::LCELL_FF);
        m_q = d.add_output(ff, "top|q", 0, true);
        d.add_input(ff, 1, m_d);
        d.set_clock_input(d.add_input(ff, 0, m_clk), true);
        HOST_ATOM* gate = d.add_atom("gate", HOST_ATOM_KIND::LCELL_COMB);
        m_g0 = d.add_output(gate, "top|g0", 0, false);
        m_g1 = d.add_output(gate, "top|g1", 0, false);
        d.add_input(gate, 0, m_q);
        d.set_clock_input(d.add_input(gate, 0, m_d), true);   // not a register: an ordinary input
        d.add_input(gate, 0, m_q);
        HOST_ATOM* ghost = d.add_atom("ghost", HOST_ATOM_KIND::LCELL);
        d.set_atom_flag(ghost, HOST_ATOM_UNTIMED, true);
        HOST_OTERM* x = d.add_output(ghost, "top|x", 0, false);
        d.add_input(ghost, 0, m_q);
        HOST_ATOM* sink = d.add_atom("sink", HOST_ATOM_KIND::LCELL);
        m_s = d.add_output(sink, "top|s", 0, false);
        d.add_input(sink, 0, x);
        d.add_input(sink, 0, nullptr);
        host_set_current_design(&d);
    }

    HOST_TIMING_NETLIST& timing() { return *m_design.timing_netlist(); }
    unsigned id(const HOST_OTERM* oterm) { return timing().node_of(oterm)->get_id(); }
    HOST_TIMING_NODE* node(const HOST_OTERM* oterm) { return timing().node_of(oterm); }

    HOST_DESIGN m_design;
    HOST_OTERM *m_clk, *m_d, *m_q, *m_g0, *m_g1, *m_s;
};

TEST_F(TIMING_NETLIST_TEST, nodes_are_terms_in_netlist_order_with_ids_that_are_not_positions)
{
    build_in_scope(m_design);
    TDB_NETLIST* netlist = tdc_get_accessories()->get_timing_netlist();
    ASSERT_EQ(netlist, m_design.timing_netlist());
    const HOST_OTERM* expected[] = {m_clk, m_d, m_q, m_g0, m_g1, nullptr, m_s};
    ASSERT_EQ(netlist->get_node_list_size(), 7u);
    for (std::size_t position = 0; position < 7; ++position) {
        TDB_NODE* at = netlist->get_node(position);
        if (expected[position] == nullptr) {
            EXPECT_EQ(at, nullptr) << "the untimed atom";
            continue;
        }
        ASSERT_NE(at, nullptr);
        EXPECT_EQ(at->get_id(), 1000 + 3 * position);
        EXPECT_EQ(at->get_any_oterm(2), expected[position]);
        EXPECT_EQ(at->get_any_oterm(1), nullptr);
        EXPECT_EQ(netlist->get_oterm_of_node_id(at->get_id()), expected[position]);
    }
    EXPECT_EQ(node(m_q)->get_flags(), TDB_NODE_FLAG_REGISTER);
    EXPECT_EQ(node(m_g0)->get_flags(), 0u);
    EXPECT_EQ(timing().edge_count(), 10u);
}

TEST_F(TIMING_NETLIST_TEST, fanout_follows_atoms_then_inputs_then_outputs_and_shows_untimed_neighbours)
{
    build_in_scope(m_design);
    EXPECT_EQ(ids_of(node(m_d)->get_first_fanout_edge(), false),
              (EDGE_IDS{{id(m_d), id(m_q)}, {id(m_d), id(m_g0)}, {id(m_d), id(m_g1)}}));
    // Input-major over the gate's two inputs from q, then the untimed atom's input: no destination.
    EXPECT_EQ(ids_of(node(m_q)->get_first_fanout_edge(), false),
              (EDGE_IDS{{id(m_q), id(m_g0)}, {id(m_q), id(m_g1)}, {id(m_q), id(m_g0)}, {id(m_q), id(m_g1)},
                        {id(m_q), TDB_NO_NODE_ID}}));
    // The sink's source is untimed; its unconnected input gives no edge.
    EXPECT_EQ(ids_of(node(m_s)->get_first_fanin_edge(), true), (EDGE_IDS{{TDB_NO_NODE_ID, id(m_s)}}));
    EXPECT_EQ(node(m_s)->get_first_fanout_edge(), nullptr);
}

TEST_F(TIMING_NETLIST_TEST, data_fanin_term_has_a_data_fanin_list_but_no_clock_group)
{
    m_design.set_data_fanin(m_g0, true);
    build_in_scope(m_design);
    HOST_TIMING_NODE* g0 = node(m_g0);
    EXPECT_EQ(g0->get_flags(), TDB_NODE_FLAG_DATA_FANIN);
    EXPECT_EQ(ids_of(g0->get_first_fanin_edge(), true),
              (EDGE_IDS{{id(m_d), id(m_g0)}, {id(m_q), id(m_g0)}, {id(m_q), id(m_g0)}}));
    EXPECT_EQ(ids_of(g0->get_first_data_fanin_edge(), true), (EDGE_IDS{{id(m_q), id(m_g0)}, {id(m_q), id(m_g0)}}));
    EXPECT_FALSE(g0->get_clock_fanin_group().found(g0->get_first_fanin_edge()));
}

TEST_F(TIMING_NETLIST_TEST, build_outside_a_scope_or_for_another_design_is_an_internal_error)
{
    // The host's own check, as a user sees it: tag and file.
    auto expect_internal_error = [](const std::function<void()>& call) {
        try {
            call();
            ADD_FAILURE() << "no internal error";
        } catch (const HOST_INTERNAL_ERROR& error) {
            EXPECT_EQ(error.tag, "HOST");
            EXPECT_EQ(error.file, "host_timing_api.cpp");
        }
    };
    expect_internal_error([&] {
        tdc_get_accessories()->build_timing_netlist(m_design.facade(), m_design.netlist(), OPTIONS, true, true);
    });
    HOST_DESIGN other;
    expect_internal_error([&] { build_in_scope(other); });
    EXPECT_FALSE(host_timing_scope_open()) << "the scope ends with the TAPI_ROOT";
    EXPECT_EQ(m_design.timing_netlist(), nullptr);
}

}  // namespace
