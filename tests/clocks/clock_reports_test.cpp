// Reports of the clock domain calculator: the warnings about requested terms
// without a unique clock, the "Indeterminate Toggle Rates" table, and the
// text of the clock domain dump.
#include "clock_test_support.h"

namespace {

struct REPORT_CASE {
    const char* name;
    PUTIL_CLOCK_DOMAIN_CALCULATION_TYPE type;
    // Builds the design; answers the terms whose clock rate is requested.
    std::vector<HOST_OTERM*> (*build)(CLOCK_DESIGN&);
    std::vector<unsigned> suppressed;
    // Each posted message: its id, then " [<id> <node>]" per sub-message.
    std::vector<std::string> posted;
    // Rows after the header, "<node> | <reason>"; none: no table added.
    std::vector<std::string> rows;
};

// Three gates where clkA and clkB meet.
std::vector<HOST_OTERM*> three_conflicts(CLOCK_DESIGN& d)
{
    putil_two_clocks_meet(d);
    HOST_OTERM* a = d.term("a");
    HOST_OTERM* b = d.term("b");
    return {d.term("g"), d.gate("g2", {a, b}), d.gate("g3", {b, a})};
}

// Two gates in forward conflict, one feeding registers of both clocks, two
// that no clock reaches.
std::vector<HOST_OTERM*> every_reason(CLOCK_DESIGN& d)
{
    std::vector<HOST_OTERM*> requested = three_conflicts(d);
    requested.pop_back();
    HOST_OTERM* f = d.gate("f", {d.pin("in")});
    d.reg("ra", d.term("clkA"), {f});
    d.reg("rb", d.term("clkB"), {f});
    HOST_OTERM* other = d.pin("other");
    for (HOST_OTERM* term : {f, d.gate("n1", {other}), d.gate("n2", {other})})
        requested.push_back(term);
    return requested;
}

// A bidirectional pad whose two outputs drive one signal.
std::vector<HOST_OTERM*> bidirectional_pad(CLOCK_DESIGN& d)
{
    HOST_ATOM* pin = d.design.add_atom("io", HOST_ATOM_KIND::BIDIR_PAD);
    return {d.output(pin, "io", DB_OPORT_PADIO), d.output(pin, "io", DB_OPORT_COMBOUT)};
}

// Terms never reported: outside power analysis, or of a pin that reports
// do not show.
std::vector<HOST_OTERM*> not_reported(CLOCK_DESIGN& d)
{
    HOST_OTERM* outside = d.gate("outside", {});
    d.design.set_power_valid(outside->atom(), false);
    HOST_OTERM* hidden = d.pin("hidden");
    d.design.set_reported(hidden->atom(), false);
    return {outside, hidden};
}

const REPORT_CASE s_report_cases[] = {
    {"each_warning_once_with_its_rows", STRICT, every_reason, {}, {"222018", "222019", "222013"},
     {"g | Multiple clock domains found", "g2 | Multiple clock domains found", "f | Multiple clock domains found",
      "n1 | No valid clock domain found", "n2 | No valid clock domain found"}},
    {"suppressed_warning_keeps_its_rows", STRICT, every_reason, {222013, 222018}, {"222019"},
     {"g | Multiple clock domains found", "g2 | Multiple clock domains found", "f | Multiple clock domains found",
      "n1 | No valid clock domain found", "n2 | No valid clock domain found"}},
    {"fastest_clock_sub_messages", MAXIMUM_FREQUENCY, three_conflicts, {},
     {"222014 [222015 g] [222015 g2] [222015 g3]"}, {}},
    {"slowest_clock_sub_messages", MINIMUM_FREQUENCY, three_conflicts, {},
     {"222016 [222017 g] [222017 g2] [222017 g3]"}, {}},
    {"bidirectional_pad_reported_once", STRICT, bidirectional_pad, {}, {"222013"},
     {"io | No valid clock domain found"}},
    {"not_reported", STRICT, not_reported, {}, {}, {}},
};

// The node is the text between the message's first and last double quote.
std::string posted_text(const HOST_POSTED_MESSAGE& message)
{
    std::string text = std::to_string(message.id);
    for (const HOST_POSTED_MESSAGE& sub : message.sub_messages) {
        const std::size_t open = sub.text.find('"');
        const std::size_t close = sub.text.rfind('"');
        text += " [" + std::to_string(sub.id) + " " + sub.text.substr(open + 1, close - open - 1) + "]";
    }
    return text;
}

class CLOCK_REPORTS : public CLOCK_TEST, public ::testing::WithParamInterface<REPORT_CASE> {};

TEST_P(CLOCK_REPORTS, warn_once_and_list_terms_without_a_rate)
{
    for (const unsigned id : GetParam().suppressed)
        host_suppress_message(id);
    const std::vector<HOST_OTERM*> requested = GetParam().build(m_design);
    // Terms that drive nothing take no part in power analysis.
    m_design.gate("load", requested);
    calculate(GetParam().type);
    for (HOST_OTERM* term : requested)
        m_calculator->get_clock_toggle_rate(term, true);
    host_clear_posted_messages();
    m_calculator->report_indeterminate_toggle_rates();

    std::vector<std::string> posted;
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        posted.push_back(posted_text(message));
    EXPECT_EQ(posted, GetParam().posted);

    const std::vector<HOST_REPORT_TABLE> tables = host_report_tables();
    if (GetParam().rows.empty()) {
        EXPECT_TRUE(tables.empty());
        return;
    }
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].title, "Indeterminate Toggle Rates");
    std::vector<std::string> rows;
    for (const std::vector<std::string>& cells : tables[0].rows)
        rows.push_back(cells.at(0) + " | " + cells.at(1));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), std::string(RDB_NODE_COL) + " | " + RDB_REASON_COL);
    rows.erase(rows.begin());
    EXPECT_EQ(rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(CASES, CLOCK_REPORTS, ::testing::ValuesIn(s_report_cases), row_name);

using CLOCK_DUMP = CLOCK_TEST;

TEST_F(CLOCK_DUMP, lists_every_term_in_netlist_order)
{
    putil_two_clocks_meet(m_design);
    m_design.gate("n", {m_design.pin("in")});
    calculate(MAXIMUM_FREQUENCY);
    EXPECT_EQ(putil_read_text("power_clock_domain_info.dump"),
              "Clock domain calculation type: MAXIMUM_FREQUENCY\n\n"
              "oterm\tclk_domain_frequency(Hz)\tclk_domain_from_fanout_traversal\thas_multiple_clk_domains\t"
              "has_multiple_reg_clk_domains\tis_clk_net\tclk_domain_id\n"
              "clkA\t1e+08\t1\t0\t0\t1\t0\n"
              "a\t1e+08\t1\t0\t0\t0\t0\n"
              "clkB\t5e+07\t1\t0\t0\t1\t1\n"
              "b\t5e+07\t1\t0\t0\t0\t1\n"
              "g\t1e+08\t1\t1\t0\t0\t0\n"
              "in\t-0.5\t0\t0\t0\t0\t-1\n"
              "n\t-0.5\t0\t0\t0\t0\t-1\n");
}

TEST_F(CLOCK_DUMP, is_written_only_when_asked)
{
    putil_two_clocks_meet(m_design);
    m_calculator.reset(make_calculator());
    m_calculator->calculate_clock_domains(STRICT);
    EXPECT_FALSE(std::filesystem::exists("power_clock_domain_info.dump"));
}

}  // namespace
