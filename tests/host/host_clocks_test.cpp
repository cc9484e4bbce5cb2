// Clocks of the reference host: constraints files (options, targets, wildcards, errors with their line), derived
// clocks of PLLs and clock control blocks, and PLL output periods. The bundled two-clock example runs through the
// clocks command's tests.
#include <map>

#include "host_test_fixture.h"

namespace {

void build_timing_netlist(HOST_DESIGN& design)
{
    host_set_current_design(&design);
    TAPI_ROOT root(design.facade(), false);
    root.start(1, false, 0, false, nullptr, false);
    tdc_get_accessories()->build_timing_netlist(design.facade(), design.netlist(), TDC_NETLIST_OPTIONS{}, true, true);
}

std::vector<std::string> hpaths_of(const std::vector<TDB_NODE*>& nodes)
{
    std::vector<std::string> paths;
    for (TDB_NODE* node : nodes)
        paths.push_back(node->get_any_oterm(2)->get_string_hpath());
    return paths;
}

using HOST_CLOCKS_TEST = HOST_TEST;

// Derived clocks skip untimed PLLs and terms a user clock already names; a clock of an untimed term has no node.
TEST_F(HOST_CLOCKS_TEST, derived_clocks_follow_the_user_clocks_in_node_order)
{
    HOST_DESIGN d;
    HOST_ATOM* pll = d.add_atom("pll", HOST_ATOM_KIND::PLL);
    HOST_OTERM* clk0 = d.add_output(pll, "pll|clk0", DB_OPORT_CLKOUT, false);
    d.add_output(pll, "pll|clk1", DB_OPORT_PLL_CLKOUT_2, false);
    d.add_output(pll, "pll|locked", 0, false);
    HOST_ATOM* ghost = d.add_atom("ghost", HOST_ATOM_KIND::PLL);
    d.set_atom_flag(ghost, HOST_ATOM_UNTIMED, true);
    HOST_OTERM* ghost_clk = d.add_output(ghost, "ghost|clk0", DB_OPORT_CLKOUT, false);
    HOST_ATOM* control = d.add_atom("control", HOST_ATOM_KIND::CLOCK_CONTROL);
    d.add_output(control, "control|out", DB_OPORT_CLKOUT, false);
    d.add_clock("user", 4000, 0.5, {clk0});
    d.add_clock("lost", 4000, 0.5, {ghost_clk});
    build_timing_netlist(d);
    std::vector<unsigned> ids;
    tdc_get_clock_util()->get_clock_ids(ids);
    std::vector<std::vector<std::string>> nodes;
    for (unsigned id : ids) {
        std::vector<TDB_NODE*> list;
        tdc_get_clock_util()->get_clock_nodes(id, list);
        nodes.push_back(hpaths_of(list));
    }
    EXPECT_EQ(nodes, (std::vector<std::vector<std::string>>{{"pll|clk0"}, {}, {"pll|clk1"}, {"control|out"}}));
    EXPECT_FALSE(tdc_get_clock_util()->is_clock_node(d.timing_netlist()->get_node(2)));   // pll|locked
    tdc_get_accessories()->release_timing_netlist();
    tdc_get_clock_util()->get_clock_ids(ids);
    EXPECT_EQ(ids.size(), 2u) << "derived clocks need a timing netlist";
}

// Derived clocks run at what their source clock becomes: through a PLL, through a clock control block whose select
// lines are constants, and unknown without a source with a period, with a select line that is not constant, or
// around a loop.
TEST_F(HOST_CLOCKS_TEST, derived_clocks_take_their_source_clocks_times)
{
    std::string error;
    auto design = host_load_design_text(R"({"atoms": [
        {"name": "a", "kind": "clock_pin", "outputs": [{"hpath": "a"}]},
        {"name": "q", "kind": "lcell_ff", "outputs": [{"hpath": "q", "registered": true}]},
        {"name": "pll", "kind": "pll", "outputs": [{"hpath": "pll|clk0", "port": "clock_output"}],
         "inputs": [{"port": "pll_inclk", "source": "a"}], "parameters": {"100": 2, "200": 1}},
        {"name": "lone", "kind": "pll", "outputs": [{"hpath": "lone|clk0", "port": "clock_output"}],
         "parameters": {"100": 2, "200": 1}},
        {"name": "pick", "kind": "clock_control", "outputs": [{"hpath": "pick|out", "port": "clock_output"}],
         "inputs": [{"port": "clkctrl_inclk", "source": "a"}, {"port": "clkctrl_inclk", "source": "pll|clk0"},
                    {"port": "clkselect", "logical": "vcc"}, {"port": "clkselect", "logical": "gnd"}]},
        {"name": "live", "kind": "clock_control", "outputs": [{"hpath": "live|out", "port": "clock_output"}],
         "inputs": [{"port": "clkctrl_inclk", "source": "a"}, {"port": "clkselect", "source": "q"}]},
        {"name": "loop", "kind": "clock_control", "outputs": [{"hpath": "loop|out", "port": "clock_output"}],
         "inputs": [{"port": "clkctrl_inclk", "source": "loop|out"}]}],
      "clocks": [{"name": "a", "period_ns": 10, "waveform_ns": [0, 3], "targets": ["a"]}]})",
                                        "derived.json", error);
    ASSERT_NE(design, nullptr) << error;
    build_timing_netlist(*design);
    TDC_CLOCK_UTIL* clocks = tdc_get_clock_util();
    std::vector<unsigned> ids;
    clocks->get_clock_ids(ids);
    std::map<std::string, std::pair<int, double>> times;
    for (unsigned id : ids) {
        std::vector<TDB_NODE*> nodes;
        clocks->get_clock_nodes(id, nodes);
        times[hpaths_of(nodes).front()] = {clocks->get_clock_period(id), clocks->get_clock_duty_cycle(id)};
    }
    const std::map<std::string, std::pair<int, double>> expected = {
        {"a", {10000, 0.3}},  {"pll|clk0", {5000, 0.5}}, {"lone|clk0", {TDC_INT_NOT_SET, 0.5}},
        {"pick|out", {5000, 0.5}}, {"live|out", {TDC_INT_NOT_SET, 0.5}}, {"loop|out", {TDC_INT_NOT_SET, 0.5}}};
    EXPECT_EQ(times, expected);
}

// A design for constraints: two clock pins (one with an EDA pin name), a PLL and a register.
const char* const PORTS_DESIGN = R"({"atoms": [
    {"name": "clk_a", "kind": "clock_pin", "eda_pin_name": "CLK_A", "outputs": [{"hpath": "clk_a"}]},
    {"name": "clk_b", "kind": "clock_pin", "outputs": [{"hpath": "clk_b"}]},
    {"name": "pll", "kind": "pll", "outputs": [{"hpath": "pll|clk0", "port": 22}, {"hpath": "pll|clk1", "port": 22}]},
    {"name": "gen", "kind": "lcell_ff", "outputs": [{"hpath": "top|gen|q", "registered": true}]}],
  "clocks": [{"name": "board", "period_ns": 20, "targets": ["clk_b"]}]})";

struct CONSTRAINT_CASE {
    const char* name;
    const char* text;
    std::vector<HOST_CLOCK> clocks;   // added after "board"; targets given by hpath in target_paths
    std::vector<std::vector<std::string>> target_paths;
};

class PORTS_DESIGN_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        std::string error;
        m_design = host_load_design_text(PORTS_DESIGN, "ports.json", error);
        ASSERT_NE(m_design, nullptr) << error;
    }

    std::unique_ptr<HOST_DESIGN> m_design;
};

class CONSTRAINTS_TEST : public PORTS_DESIGN_TEST, public ::testing::WithParamInterface<CONSTRAINT_CASE> {};

TEST_P(CONSTRAINTS_TEST, adds_the_files_clocks)
{
    std::string error = "stale";
    ASSERT_TRUE(host_load_clock_constraints_text(*m_design, GetParam().text, "c.sdc", error)) << error;
    EXPECT_EQ(error, "");
    const std::vector<HOST_CLOCK>& clocks = m_design->clocks().user_clocks();
    ASSERT_EQ(clocks.size(), GetParam().clocks.size() + 1);
    for (std::size_t i = 0; i < GetParam().clocks.size(); ++i) {
        const HOST_CLOCK& clock = clocks[i + 1];
        EXPECT_EQ(clock.name, GetParam().clocks[i].name);
        EXPECT_EQ(clock.period_ps, GetParam().clocks[i].period_ps);
        EXPECT_DOUBLE_EQ(clock.duty_cycle, GetParam().clocks[i].duty_cycle);
        std::vector<std::string> paths;
        for (const HOST_OTERM* target : clock.targets)
            paths.push_back(target->get_string_hpath());
        EXPECT_EQ(paths, GetParam().target_paths[i]) << clock.name;
    }
}

const CONSTRAINT_CASE CONSTRAINT_CASES[] = {
    {"options_in_any_order", "create_clock [get_ports clk_b] -waveform {1 4} -period 8 -name b -add",
     {{"b", 8000, 0.375, {}}}, {{"clk_b"}}},
    {"eda_pin_name_names_the_clock", "create_clock -period 5 [get_ports CLK_A]", {{"CLK_A", 5000, 0.5, {}}}, {{"clk_a"}}},
    {"wildcard_ports_continued_and_commented", "create_clock -name all -period 4 \\\n   [get_ports clk_*] # both pins\n",
     {{"all", 4000, 0.5, {}}}, {{"clk_a", "clk_b"}}},
    {"several_lists_term_named_twice_counts_once", "create_clock -name m -period 3 [get_pins top|gen|q] "
     "[get_pins {top|*|q pll|clk0}]", {{"m", 3000, 0.5, {}}}, {{"top|gen|q", "pll|clk0"}}},
    {"virtual_clock_and_rounded_period", "# board\n\ncreate_clock -name virt -period 10\n"
     "create_clock -name two -period 10.0004 [get_ports {clk_b}]\n",
     {{"virt", 10000, 0.5, {}}, {"two", 10000, 0.5, {}}}, {{}, {"clk_b"}}},
};
INSTANTIATE_TEST_SUITE_P(FILES, CONSTRAINTS_TEST, ::testing::ValuesIn(CONSTRAINT_CASES), row_name);

struct CONSTRAINT_ERROR_CASE {
    const char* name;
    const char* text;
    const char* error;   // after "c.sdc:"
};

class CONSTRAINT_ERROR_TEST : public PORTS_DESIGN_TEST,
                              public ::testing::WithParamInterface<CONSTRAINT_ERROR_CASE> {};

TEST_P(CONSTRAINT_ERROR_TEST, names_the_line_and_adds_no_clock)
{
    std::string error;
    EXPECT_FALSE(host_load_clock_constraints_text(*m_design, GetParam().text, "c.sdc", error));
    EXPECT_EQ(error, std::string("c.sdc:") + GetParam().error);
    EXPECT_EQ(m_design->clocks().user_clocks().size(), 1u);
}

const CONSTRAINT_ERROR_CASE CONSTRAINT_ERRORS[] = {
    {"missing_period", "create_clock -name c [get_ports clk_a]", "1: create_clock needs -period"},
    {"unknown_command_after_a_good_line", "create_clock -name ok -period 1 [get_ports clk_a]\nset_input_delay 2 x",
     "2: unknown command \"set_input_delay\" (only create_clock is read)"},
    {"no_port_matches", "create_clock -period 1 [get_ports clk_c]", "1: no port matches \"clk_c\""},
    {"period_not_a_number", "create_clock -period ten [get_ports clk_a]", "1: -period needs a number, got \"ten\""},
    {"waveform_too_long_on_continued_line", "\ncreate_clock -name w \\\n -period 1 -waveform {0 3} [get_ports clk_a]",
     "2: waveform {0 3} does not fit the period 1 ns (0 <= rise < fall < rise + period)"},
    {"unknown_option", "create_clock -period 4 -source x [get_ports clk_a]",
     "1: unknown option \"-source\" of create_clock"},
    {"option_twice", "create_clock -period 4 -period 5 [get_ports clk_a]", "1: -period is given twice"},
    {"bare_target", "create_clock -period 4 clk_a",
     "1: expected an option or [get_ports ...] or [get_pins ...], got \"clk_a\""},
    {"unknown_target_command", "create_clock -period 4 [get_nets clk_a]",
     "1: unknown command \"get_nets\" (known: get_ports, get_pins)"},
    {"missing_bracket", "create_clock -period 4\\\n [get_ports clk_a", "2: missing ]"},
    {"same_name_twice", "create_clock -name x -period 1\n# again\ncreate_clock -name x -period 2",
     "3: clock \"x\" is defined twice"},
};
INSTANTIATE_TEST_SUITE_P(MISTAKES, CONSTRAINT_ERROR_TEST, ::testing::ValuesIn(CONSTRAINT_ERRORS), row_name);

struct PLL_CASE {
    const char* name;
    std::map<int, long long> parameters;
    int port_type;
    int port_index;
    int input_ps;
    int expected_ps;
};

class PLL_PERIOD_TEST : public HOST_TEST, public ::testing::WithParamInterface<PLL_CASE> {};

TEST_P(PLL_PERIOD_TEST, is_input_times_divide_over_multiply)
{
    HOST_DESIGN design;
    HOST_ATOM* pll = design.add_atom("pll", HOST_ATOM_KIND::PLL);
    for (const auto& [parameter, value] : GetParam().parameters)
        design.set_atom_parameter(pll, parameter, value);
    EXPECT_EQ(CUT_PLL_UTIL::get_real_output_clock_period(pll, GetParam().port_type, GetParam().port_index,
                                                         GetParam().input_ps),
              GetParam().expected_ps);
}

const PLL_CASE PLL_CASES[] = {
    {"rounds_down", {{100, 3}, {200, 1}}, DB_OPORT_CLKOUT, 0, 10000, 3333},
    {"own_factors_per_index", {{100, 1}, {200, 1}, {103, 1}, {203, 5}}, DB_OPORT_CLKOUT, 3, 2000, 10000},
    {"second_clock_output", {{101, 9}, {201, 9}, {151, 1}, {251, 4}}, DB_OPORT_PLL_CLKOUT_2, 1, 2500, 10000},
    {"missing_divide", {{100, 2}}, DB_OPORT_CLKOUT, 0, 10000, TDC_INT_NOT_SET},
    {"not_a_clock_output", {{100, 1}, {200, 1}}, CDB_PORT_TYPE_PIN_CLKOUT, 0, 10000, TDC_INT_NOT_SET},
    {"index_beyond_the_table", {{150, 1}, {250, 1}}, DB_OPORT_CLKOUT, 50, 10000, TDC_INT_NOT_SET},
};
INSTANTIATE_TEST_SUITE_P(FACTORS, PLL_PERIOD_TEST, ::testing::ValuesIn(PLL_CASES), row_name);

}  // namespace
