// Clock domain assignment: where clocks meet under each calculation type,
// what the fanin walk hands back from registers, LVDS division, the
// transceiver and pin companion copies, clock nets, and a chain too deep for
// a recursive walk.
#include "clock_test_support.h"

namespace {

// Expected dump columns per term: frequency (half the toggle rate), rate
// from the fanout walk, two domains met forward, two register domains met
// backward, clock net, domain.
struct DOMAIN_CASE {
    const char* name;
    PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type;
    void (*build)(CLOCK_DESIGN&);
    std::map<std::string, std::string> expected;
};

// Past the meeting point the later clock's walk goes on with its own rate.
void conflict_spreads(CLOCK_DESIGN& d)
{
    putil_two_clocks_meet(d);
    d.gate("h", {d.term("g")});
}

void same_clock_reconverges(CLOCK_DESIGN& d)
{
    HOST_OTERM* clk = d.clock_pin("clk", 10000);
    d.gate("g", {d.reg("a", clk), d.reg("b", clk)});
}

// A clock without a period spreads its domain, and a clock with a rate
// takes over where it arrives later, without a conflict.
void unknown_clock_replaced(CLOCK_DESIGN& d)
{
    HOST_OTERM* unknown = d.clock_pin("clkU", TDC_INT_NOT_SET);
    HOST_OTERM* known = d.clock_pin("clkK", 10000);
    d.gate("g", {unknown, known});
    d.gate("h", {unknown});
}

// The clock reaches register r only through its data pin.
void data_pins_only(CLOCK_DESIGN& d)
{
    d.reg("r", nullptr, {d.gate("g", {d.clock_pin("clk", 10000)})});
}

void fanin_one_clock(CLOCK_DESIGN& d)
{
    HOST_OTERM* clk = d.clock_pin("clk", 10000);
    d.reg("r", clk, {d.gate("g", {d.pin("in")})});
}

void fanin_two_clocks(CLOCK_DESIGN& d)
{
    HOST_OTERM* a = d.clock_pin("clkA", 10000);
    HOST_OTERM* b = d.clock_pin("clkB", 20000);
    HOST_OTERM* g = d.gate("g", {d.pin("in")});
    d.reg("ra", a, {g});
    d.reg("rb", b, {g});
}

void fanout_conflict_blocks_fanin(CLOCK_DESIGN& d)
{
    putil_two_clocks_meet(d);
    d.reg("r", d.term("clkA"), {d.term("g")});
}

// A 400 MHz clock into an LVDS receiver of width 8 and, after it in the
// clock's fanout, into gate h: the walk returns from the divided side with
// the clock's own rate.
void lvds_divides(CLOCK_DESIGN& d)
{
    HOST_OTERM* clk = d.clock_pin("clk", 2500);
    HOST_OTERM* lvds = d.gate("lvds", {clk}, HOST_ATOM_KIND::LVDS, DB_OPORT_OUT);
    d.design.set_atom_parameter(lvds->atom(), 90, 8);
    d.gate("g", {lvds});
    d.gate("h", {clk});
}

// Transceiver blocks out of the timing netlist take their domains from
// their high-speed clock or from the CDR PLL they feed.
void transceivers(CLOCK_DESIGN& d)
{
    HOST_OTERM* clk = d.clock_pin("clk", 10000);
    HOST_OTERM* ser = d.gate("ser", {}, HOST_ATOM_KIND::HSSI_PMA_TX_SER, DB_OPORT_DATAOUT);
    d.design.add_input(ser->atom(), DB_IPORT_HFCLK, clk);
    HOST_OTERM* buf_out = d.gate("buf", {}, HOST_ATOM_KIND::HSSI_PMA_RX_BUF, DB_OPORT_DATAOUT);
    d.design.set_atom_flag(ser->atom(), HOST_ATOM_UNTIMED, true);
    d.design.set_atom_flag(buf_out->atom(), HOST_ATOM_UNTIMED, true);
    HOST_OTERM* cdr = d.gate("cdr", {clk, buf_out}, HOST_ATOM_KIND::OTHER, DB_OPORT_CDR_CLKOUT);
    d.design.set_atom_type(cdr->atom(), CDB_ATOM_TYPE_CDR_PLL_B);
}

// In a family with companion atoms a pin's companion runs at the pin's rate.
void pin_companion(CLOCK_DESIGN& d)
{
    d.design.set_family(1);
    HOST_OTERM* clk = d.clock_pin("clk", 10000);
    HOST_OTERM* twin = d.pin("twin", HOST_ATOM_KIND::CLOCK_PIN, DB_OPORT_PADIO);
    d.design.set_companion(clk->atom(), twin->atom());
}

const DOMAIN_CASE s_domain_cases[] = {
    {"strict_conflict", STRICT, conflict_spreads,
     {{"a", "1e+08\t1\t0\t0\t0\t0"}, {"b", "5e+07\t1\t0\t0\t0\t1"}, {"g", "-0.5\t0\t1\t0\t0\t0"},
      {"h", "-0.5\t0\t1\t0\t0\t0"}}},
    {"maximum_frequency_conflict", MAXIMUM_FREQUENCY, conflict_spreads,
     {{"g", "1e+08\t1\t1\t0\t0\t0"}, {"h", "1e+08\t1\t1\t0\t0\t0"}}},
    {"minimum_frequency_conflict", MINIMUM_FREQUENCY, conflict_spreads,
     {{"g", "5e+07\t1\t1\t0\t0\t1"}, {"h", "5e+07\t1\t1\t0\t0\t1"}}},
    {"same_clock_reconverges", STRICT, same_clock_reconverges, {{"g", "1e+08\t1\t0\t0\t0\t0"}}},
    {"unknown_clock_replaced", STRICT, unknown_clock_replaced,
     {{"clkU", "-0.5\t0\t0\t0\t1\t0"}, {"g", "1e+08\t1\t0\t0\t0\t1"}, {"h", "-0.5\t0\t0\t0\t0\t0"}}},
    {"data_pins_pass_no_clock", STRICT, data_pins_only, {{"g", "1e+08\t1\t0\t0\t0\t0"}, {"r", "-0.5\t0\t0\t0\t0\t-1"}}},
    {"fanin_one_clock", STRICT, fanin_one_clock, {{"in", "1e+08\t0\t0\t0\t0\t0"}, {"g", "1e+08\t0\t0\t0\t0\t0"}}},
    {"fanin_two_clocks_strict", STRICT, fanin_two_clocks, {{"g", "-0.5\t0\t0\t1\t0\t0"}}},
    {"fanin_two_clocks_maximum", MAXIMUM_FREQUENCY, fanin_two_clocks, {{"g", "-0.5\t0\t0\t1\t0\t0"}}},
    {"fanout_conflict_blocks_fanin", STRICT, fanout_conflict_blocks_fanin, {{"g", "-0.5\t0\t1\t0\t0\t0"}}},
    {"lvds_divides", STRICT, lvds_divides,
     {{"lvds", "5e+07\t1\t0\t0\t0\t0"}, {"g", "5e+07\t1\t0\t0\t0\t0"}, {"h", "4e+08\t1\t0\t0\t0\t0"}}},
    {"transceivers", STRICT, transceivers,
     {{"cdr", "1e+08\t1\t0\t0\t0\t0"}, {"ser", "1e+08\t1\t0\t0\t1\t0"}, {"buf", "1e+08\t1\t0\t0\t1\t0"}}},
    {"pin_companion", STRICT, pin_companion, {{"twin", "1e+08\t0\t0\t0\t0\t-1"}}},
};

class CLOCK_DOMAINS : public CLOCK_TEST, public ::testing::WithParamInterface<DOMAIN_CASE> {};

TEST_P(CLOCK_DOMAINS, assigns_rates_and_domains)
{
    GetParam().build(m_design);
    const std::map<std::string, std::string> rows = calculate(GetParam().type);
    for (const auto& [term, expected] : GetParam().expected)
        EXPECT_EQ(rows.at(term), expected) << term;
}

INSTANTIATE_TEST_SUITE_P(CASES, CLOCK_DOMAINS, ::testing::ValuesIn(s_domain_cases), row_name);

using CLOCK_DOMAIN_QUERIES = CLOCK_TEST;

TEST_F(CLOCK_DOMAIN_QUERIES, answer_unknown_before_a_calculation_and_per_domain_after)
{
    putil_two_clocks_meet(m_design);
    m_design.clock_pin("clkU", TDC_INT_NOT_SET);
    m_calculator.reset(make_calculator());
    std::vector<int> ids;
    m_calculator->get_clock_domain_ids(ids);
    EXPECT_EQ(ids, std::vector<int>(m_design.design.store()->get_output_signal_id_array_size(), -1));
    EXPECT_EQ(m_calculator->get_clock_toggle_rate(m_design.term("g"), false), -1.0f);

    m_calculator->apply_clock_settings();
    m_calculator->calculate_clock_domains(MAXIMUM_FREQUENCY);
    std::vector<float> rates = {7.0f};
    m_calculator->get_clock_domain_toggle_rates(rates);
    EXPECT_EQ(rates, (std::vector<float>{2e8f, 1e8f, -1.0f}));
    unsigned g = 0;
    m_design.design.store()->get_unique_id_for_output_signal(m_design.term("g"), &g);
    EXPECT_EQ(m_calculator->get_clock_toggle_rate(g), 2e8f);
}

// The clock constraint's terms and the clocks that cross pins, clock
// control blocks, wire LUTs (one pass in netlist order) and transceivers.
TEST_F(CLOCK_DOMAIN_QUERIES, mark_clock_nets)
{
    HOST_DESIGN& design = m_design.design;
    HOST_ATOM* pin = design.add_atom("pin", HOST_ATOM_KIND::IO_PAD);
    HOST_OTERM* pad = m_design.output(pin, "pin", DB_OPORT_PADIO);
    HOST_OTERM* combout = m_design.output(pin, "pin~comb", DB_OPORT_COMBOUT);
    design.set_atom_flag(pin, HOST_ATOM_PIN_WITH_COMPANION_OUTPUTS, true);
    design.add_clock("clk", 10000, 0.5, {pad});
    // late comes first in the netlist but is fed by wire.
    HOST_OTERM* late = m_design.gate("late", {}, HOST_ATOM_KIND::LCELL);
    HOST_OTERM* wire = m_design.gate("wire", {combout}, HOST_ATOM_KIND::LCELL);
    design.add_input(late->atom(), 0, wire);
    design.set_atom_flag(wire->atom(), HOST_ATOM_WIRE_LUT, true);
    design.set_atom_flag(late->atom(), HOST_ATOM_WIRE_LUT, true);
    m_design.gate("ctrl", {m_design.pin("data")}, HOST_ATOM_KIND::CLOCK_CONTROL, DB_OPORT_CLKOUT);
    m_design.gate("ser", {}, HOST_ATOM_KIND::HSSI_PMA_TX_SER, DB_OPORT_DATAOUT);
    m_design.gate("pcs", {}, HOST_ATOM_KIND::HSSI_TX_PCS_PMA_INTERFACE, DB_OPORT_PCS_PMA_CLK_3);
    m_design.gate("buf", {}, HOST_ATOM_KIND::HSSI_PMA_RX_BUF, DB_OPORT_DATAOUT);

    m_calculator.reset(make_calculator());
    m_calculator->calculate_clock_nets();
    std::vector<bool> flags;
    m_calculator->get_clock_net_flags(flags);
    std::vector<std::string> marked;
    for (unsigned id = 0; id < flags.size(); ++id)
        if (flags[id])
            marked.push_back(design.store()->oterm_of(id)->get_string_hpath());
    EXPECT_EQ(marked, (std::vector<std::string>{"pin", "pin~comb", "wire", "ctrl", "ser", "pcs", "buf"}));
}

TEST_F(CLOCK_DOMAIN_QUERIES, a_receive_buffer_without_its_cdr_pll_is_an_internal_error)
{
    m_design.gate("g", {m_design.gate("buf", {}, HOST_ATOM_KIND::HSSI_PMA_RX_BUF, DB_OPORT_DATAOUT)});
    m_calculator.reset(make_calculator());
    putil_expect_internal_error("putil_clock_domain_calculator_main.cpp",
                                [&] { m_calculator->calculate_clock_domains(STRICT); });
}

// A register launches a chain of a million gates into a register of the
// same clock: both walks go the whole depth.
TEST_F(CLOCK_DOMAIN_QUERIES, walk_a_chain_of_a_million_gates)
{
    const int length = 1000000;
    HOST_DESIGN& design = m_design.design;
    HOST_OTERM* clk = m_design.clock_pin("clk", 10000);
    HOST_OTERM* last = m_design.reg("first", clk);
    HOST_INSTANCE* top = design.root()->make_child("chain");
    for (int i = 0; i < length; ++i) {
        HOST_ATOM* atom = design.add_atom("g", HOST_ATOM_KIND::LCELL_COMB);
        HOST_OTERM* out = design.add_output(atom, top->make_child(std::to_string(i)), 0, false);
        design.add_input(atom, 0, last);
        last = out;
    }
    HOST_OTERM* input = m_design.pin("in");
    m_design.reg("last", clk, {last, m_design.gate("side", {input})});

    m_calculator.reset(make_calculator());
    m_calculator->apply_clock_settings();
    m_calculator->calculate_clock_domains(STRICT);
    EXPECT_EQ(m_calculator->get_clock_toggle_rate(last, false), 2e8f);
    EXPECT_EQ(m_calculator->get_clock_toggle_rate(input, false), 2e8f);
}

// With the n-th allocation of the library refused, for every n until a run
// no longer allocates that often, the run ends in its result, a null
// calculator or the out-of-memory internal error, and frees everything.
TEST_F(CLOCK_DOMAIN_QUERIES, every_refused_allocation_ends_in_the_result_or_out_of_memory)
{
    putil_two_clocks_meet(m_design);
    m_design.reg("r", m_design.term("clkA"), {m_design.gate("f", {m_design.pin("in")})});
    const std::map<std::string, std::string> expected = calculate(STRICT);
    m_calculator.reset();

    std::size_t refusals = 0;
    for (std::size_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        std::filesystem::remove("power_clock_domain_info.dump");
        const std::size_t live_blocks = host_memory_live_blocks("PUTIL");
        host_memory_fail_allocation(n, "PUTIL");
        bool completed = false;
        try {
            m_calculator.reset(make_calculator());
            if (m_calculator) {
                m_calculator->apply_clock_settings();
                m_calculator->calculate_clock_domains(STRICT);
                m_calculator->get_clock_toggle_rate(m_design.term("g"), true);
                m_calculator->report_indeterminate_toggle_rates();
                completed = true;
            }
        } catch (const HOST_INTERNAL_ERROR& error) {
            EXPECT_EQ(error.expression, "Out of memory");
        }
        m_calculator.reset();
        const bool refused = !host_memory_failure_pending();
        host_memory_fail_allocation(0);
        ASSERT_EQ(host_memory_live_blocks("PUTIL"), live_blocks) << "leaked after refusing allocation " << n;
        if (completed) {
            EXPECT_EQ(dump_rows(), expected);
        }
        if (!refused) {
            EXPECT_TRUE(completed);
            break;
        }
        ++refusals;
    }
    EXPECT_GT(refusals, 10u);
}

}  // namespace
