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

// A design for constraints: two clock pins (one with an EDA pin name), a PLL and two registers.
const char* const PORTS_DESIGN = R"({"atoms": [
    {"name": "clk_a", "kind": "clock_pin", "eda_pin_name": "CLK_A", "outputs": [{"hpath": "clk_a"}]},
    {"name": "clk_b", "kind": "clock_pin", "outputs": [{"hpath": "clk_b"}]},
    {"name": "pll", "kind": "pll", "outputs": [{"hpath": "pll|clk0", "port": 22}, {"hpath": "pll|clk1", "port": 22}]},
    {"name": "gen", "kind": "lcell_ff", "outputs": [{"hpath": "top|gen|q", "registered": true}]},
    {"name": "bus", "kind": "lcell_ff", "outputs": [{"hpath": "top|bus[0]", "registered": true}]}],
  "clocks": [{"name": "board", "period_ns": 20, "targets": ["clk_b"]}]})";

struct CONSTRAINT_CASE {
    const char* name;
    const char* text;
    std::vector<HOST_CLOCK> clocks;   // added after "board"; targets given by hpath in target_paths
    std::vector<std::vector<std::string>> target_paths;
    std::vector<std::string> warnings = {};   // the skipped commands
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
    std::vector<std::string> warnings{"stale"};
    ASSERT_TRUE(host_load_clock_constraints_text(*m_design, GetParam().text, "c.sdc", error, &warnings)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(warnings, GetParam().warnings);
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
    // Generated clocks: the master is the clock on the source, or the one named; it may come later in the file,
    // be the design's own clock or be generated itself.
    {"generated_divide_and_duty_cycle", "create_generated_clock -name half -source [get_ports clk_b] -divide_by 2 "
     "-duty_cycle 25 [get_pins pll|clk0]", {{"half", 40000, 0.25, {}}}, {{"pll|clk0"}}},
    {"generated_multiply_inverted_master_later", "create_generated_clock -source clk_a -multiply_by 4 -invert "
     "-duty_cycle 40 [get_nets pll|clk1]\ncreate_clock -name a -period 10 [get_ports clk_a]",
     {{"pll|clk1", 2500, 0.6, {}}, {"a", 10000, 0.5, {}}}, {{"pll|clk1"}, {"clk_a"}}},
    {"chain_of_generated_clocks", "create_generated_clock -name g2 -source [get_pins pll|clk0] -divide_by 3 "
     "[get_pins top|gen|q]; create_generated_clock -name g1 -add -source [get_ports clk_b] -master_clock board "
     "-multiply_by 2 -phase 90 [get_pins pll|clk0]",
     {{"g2", 30000, 0.5, {}}, {"g1", 10000, 0.5, {}}}, {{"top|gen|q"}, {"pll|clk0"}}},
    // Other commands are skipped unread, whatever their words hold, and counted per name; CRLF line ends too.
    {"skipped_commands_counted_per_name",
     "set period 10 ;# a variable\n"
     "set_input_delay -clock [get_clocks {a}] \\\r\n    -max 2 [get_ports {data\\[0\\] data\\[1\\]}]\n"
     "set_false_path -from [get_clocks a] -to [list [get_ports x]\n   [get_ports \"y z\"]]\n"
     "if {$period > 5} {\n  create_clock -name never -period $period\n}\n"
     "create_clock -name a -period 10 [get_ports clk_a]; set_input_delay 1 [all_inputs]\n"
     "set_load 0.1 q[expr 1 + 1] ; # trailing comment \\\n continued\n",
     {{"a", 10000, 0.5, {}}}, {{"clk_a"}},
     {"c.sdc: skipped 1 set command (only create_clock and create_generated_clock are read)",
      "c.sdc: skipped 2 set_input_delay commands (only create_clock and create_generated_clock are read)",
      "c.sdc: skipped 1 set_false_path command (only create_clock and create_generated_clock are read)",
      "c.sdc: skipped 1 if command (only create_clock and create_generated_clock are read)",
      "c.sdc: skipped 1 set_load command (only create_clock and create_generated_clock are read)"}},
    {"escaped_brackets_in_target_names", "create_clock -period 2 [get_pins top|bus\\[0\\]]\n"
     "create_clock -name e -period 2 [get_pins {top|bus\\[0\\]}]",
     {{"top|bus[0]", 2000, 0.5, {}}, {"e", 2000, 0.5, {}}}, {{"top|bus[0]"}, {"top|bus[0]"}}},
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

const std::string DEEP_BRACKETS = "set_x " + std::string(100000, '[');

const CONSTRAINT_ERROR_CASE CONSTRAINT_ERRORS[] = {
    {"missing_period", "create_clock -name c [get_ports clk_a]", "1: create_clock needs -period"},
    {"no_port_matches", "create_clock -period 1 [get_ports clk_c]", "1: no port matches \"clk_c\""},
    // Control bytes of a garbage file are shown escaped, never sent to the terminal.
    {"control_bytes_escaped", "create_clock -period 1 [get_ports \x1b" "clk\x7f]",
     "1: no port matches \"\\x1B" "clk\\x7F\""},
    {"period_not_a_number", "create_clock -period ten [get_ports clk_a]",
     "1: -period needs a decimal number, got \"ten\""},
    {"period_hexadecimal", "create_clock -period 0x10 [get_ports clk_a]",
     "1: -period needs a decimal number, got \"0x10\""},
    {"waveform_too_long_on_continued_line", "\ncreate_clock -name w \\\n -period 1 -waveform {0 3} [get_ports clk_a]",
     "2: waveform {0 3} does not fit the period 1 ns (0 <= rise < fall < rise + period)"},
    {"unknown_option", "create_clock -period 4 -source x [get_ports clk_a]",
     "1: unknown option \"-source\" of create_clock"},
    {"option_twice", "create_clock -period 4 -period 5 [get_ports clk_a]", "1: -period is given twice"},
    {"bare_target", "create_clock -period 4 clk_a",
     "1: expected an option or [get_ports ...], [get_pins ...] or [get_nets ...], got \"clk_a\""},
    {"unknown_target_command", "create_clock -period 4 [get_cells clk_a]",
     "1: unknown command \"get_cells\" (known: get_ports, get_pins, get_nets)"},
    {"missing_bracket", "create_clock -period 4\\\n [get_ports clk_a", "2: missing ]"},
    {"same_name_twice", "create_clock -name x -period 1\n# again\ncreate_clock -name x -period 2",
     "3: clock \"x\" is defined twice"},
    {"variable_in_create_clock", "set p 4\ncreate_clock -period $p [get_ports clk_a]",
     "2: variables are not read: \"$p\" (write the value itself)"},
    // Generated clocks: the master must be found, the factors and duty cycle make sense.
    {"generated_without_master", "create_clock -name a -period 1 [get_ports clk_a]\n\n"
     "create_generated_clock -name g -source [get_pins top|gen|q] -divide_by 2 [get_pins pll|clk0]",
     "3: no clock is defined on the -source \"top|gen|q\" (a master clock is needed)"},
    {"generated_master_not_defined", "create_generated_clock -source clk_b -master_clock nope [get_pins pll|clk0]",
     "1: master clock \"nope\" is not defined"},
    {"generated_two_clocks_on_the_source", "create_clock -name b2 -period 5 -add [get_ports clk_b]\n"
     "create_generated_clock -source clk_b [get_pins pll|clk0]",
     "2: clocks \"board\" and \"b2\" are on the -source \"clk_b\"; name one with -master_clock"},
    {"generated_clocks_in_a_loop", "create_generated_clock -name g1 -source pll|clk0 [get_pins pll|clk1]\n"
     "create_generated_clock -name g2 -source pll|clk1 [get_pins pll|clk0]",
     "2: generated clock \"g2\" is among its own masters"},
    {"generated_without_source", "create_generated_clock -divide_by 2 [get_pins pll|clk0]",
     "1: create_generated_clock needs -source"},
    {"generated_divide_by_a_fraction", "create_generated_clock -source clk_b -divide_by 1.5 [get_pins pll|clk0]",
     "1: -divide_by needs a whole number of 1 or more, got \"1.5\""},
    {"generated_duty_cycle_of_100", "create_generated_clock -source clk_b -duty_cycle 100 [get_pins pll|clk0]",
     "1: -duty_cycle needs a percentage between 0 and 100, got \"100\""},
    {"generated_period_below_a_picosecond", "create_generated_clock -name g -source clk_b -multiply_by 50000 "
     "[get_pins pll|clk0]", "1: generated clock \"g\" would have a period of 0 ps, not between 1 and 2147483647 ps"},
    // Malformed text is an error even in a skipped command.
    {"missing_brace_in_a_skipped_command", "\nset_false_path -from {a\n\ncreate_clock -period 1 [get_ports clk_a]",
     "2: missing }"},
    {"missing_quote", "set_input_delay 1 \"x", "1: missing \""},
    {"missing_bracket_in_a_word", "set_load 1 x[get_ports a\n", "1: missing ]"},
    {"extra_characters_after_a_brace", "set_false_path -to {a}b", "1: extra characters after }"},
    {"brackets_nested_too_deep", DEEP_BRACKETS.c_str(), "1: brackets nested deeper than 100"},
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
