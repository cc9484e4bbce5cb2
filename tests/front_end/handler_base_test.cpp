// Tests of the parser event handler base: scopes, name matching, timescale, file-kind errors, internal errors.
#include <cstdio>
#include <functional>

#include "putil_test_support.h"
#include "vcd_recording_handler.h"

namespace {

// Records, for every declaration, the current instance and the output term the declared name matches.
class MATCHING_HANDLER : public VCD_RECORDING_HANDLER {
public:
    using VCD_RECORDING_HANDLER::VCD_RECORDING_HANDLER;

    void handle_variable_declaration(char* kind, int, char* code, char* reference, char* index) override
    {
        const std::string name = std::string(reference) + index;
        const CDB_ATOM_OTERM* oterm = find_oterm_for_signal(name, 0);
        const std::string instance = get_current_instance(0)->get_full_name();
        matches.push_back(name + " in " + (instance.empty() ? "(root)" : instance) + " -> " +
                          (oterm ? oterm->get_string_hpath() : "-"));
        for (char* text : {kind, code, reference, index})
            putil_free_text(text);
    }

    std::vector<std::string> matches;
};

class HANDLER_BASE_TEST : public PUTIL_TEST {
protected:
    // Parses vcd with a matching handler on design's root; answers what the declarations matched.
    std::vector<std::string> match_declarations(HOST_DESIGN& design, const std::string& vcd)
    {
        std::istringstream stream(vcd);
        putil_vcd_lexer_yyFlexLexer scanner(&stream, nullptr);
        MATCHING_HANDLER handler(&scanner, design.facade());
        EXPECT_TRUE(putil_vcd_parse(&scanner, &handler)) << m_messages.str();
        return handler.matches;
    }
};

// One atom per signal, named and driving the signal of its path.
struct SCOPE_CASE {
    const char* name; std::vector<std::pair<std::string, HOST_ATOM_KIND>> design; const char* vcd;
    std::vector<std::string> matches;
};
void PrintTo(const SCOPE_CASE& row, std::ostream* out) { *out << row.name; }
class HANDLER_SCOPE_TEST : public HANDLER_BASE_TEST, public ::testing::WithParamInterface<SCOPE_CASE> {};

TEST_P(HANDLER_SCOPE_TEST, matches_declarations_in_their_scope)
{
    HOST_DESIGN design;
    for (const auto& [path, kind] : GetParam().design)
        design.add_output(design.add_atom(path, kind), path, 0, false);
    EXPECT_EQ(match_declarations(design, GetParam().vcd), GetParam().matches);
}

const auto COMB = HOST_ATOM_KIND::LCELL_COMB;
const SCOPE_CASE SCOPE_CASES[] = {
    // A name is looked up only in the current instance, never in its parents.
    {"module_scopes_enter_and_leave_instances", {{"top|a", COMB}, {"top|sub|b", COMB}, {"a", COMB}},
     "$scope module top $end\n$var wire 1 ! a $end\n$scope module sub $end\n$var wire 1 \" b $end\n"
     "$var wire 1 # a $end\n$upscope $end\n$var wire 1 $ b $end\n$var wire 1 % a $end\n$upscope $end\n"
     "$var wire 1 & a $end\n",
     {"a in top -> top|a", "b in top|sub -> top|sub|b", "a in top|sub -> -", "b in top -> -", "a in top -> top|a",
     "a in (root) -> a"}},
    // A testbench level unknown to the design keeps the root, so the design's top instance is still found below it.
    {"testbench_scope_is_transparent", {{"dut|q", COMB}, {"dut|r", COMB}},
     "$scope module tb $end\n$var wire 1 ! q $end\n$scope module dut $end\n$var wire 1 \" q $end\n$upscope $end\n"
     "$var wire 1 # r $end\n$upscope $end\n$scope module dut $end\n$var wire 1 $ r $end\n$upscope $end\n",
     {"q in (root) -> -", "q in dut -> dut|q", "r in (root) -> -", "r in dut -> dut|r"}},
    // A scope that names a signal (an instance without children) is no level.
    {"scope_naming_a_leaf_stays_in_place", {{"top|leaf", COMB}, {"top|x", COMB}},
     "$scope module top $end\n$scope module leaf $end\n$var wire 1 ! x $end\n$upscope $end\n$upscope $end\n",
     {"x in top -> top|x"}},
    {"task_function_and_fork_scopes_are_instances", {{"top|t|a", COMB}, {"top|f|b", COMB}, {"top|k|c", COMB}},
     "$scope module top $end\n$scope task t $end\n$var wire 1 ! a $end\n$upscope $end\n"
     "$scope function f $end\n$var wire 1 \" b $end\n$upscope $end\n$scope fork k $end\n$var wire 1 # c $end\n"
     "$upscope $end\n$upscope $end\n", {"a in top|t -> top|t|a", "b in top|f -> top|f|b", "c in top|k -> top|k|c"}},
    // "blk__x" prefixes "blk__x." and, escaped, "\blk:x:"; leaving the block drops both.
    {"named_block_prefixes", {{"top|blk__x.a", COMB}, {"top|\\blk:x:b", COMB}, {"top|c", COMB}},
     "$scope module top $end\n$scope begin blk__x $end\n$var wire 1 ! a $end\n$var wire 1 \" b $end\n"
     "$var wire 1 # c $end\n$upscope $end\n$var wire 1 $ a $end\n$var wire 1 % c $end\n$upscope $end\n",
     {"a in top -> top|blk__x.a", "b in top -> top|\\blk:x:b", "c in top -> -", "a in top -> -", "c in top -> top|c"}},
    {"nested_named_blocks_join_prefixes", {{"top|outer.inner.c", COMB}, {"top|\\outer:\\inner:d", COMB}},
     "$scope module top $end\n$scope begin outer $end\n$scope begin inner $end\n$var wire 1 ! c $end\n"
     "$var wire 1 \" d $end\n$upscope $end\n$upscope $end\n$upscope $end\n",
     {"c in top -> top|outer.inner.c", "d in top -> top|\\outer:\\inner:d"}},
    // A module inside a named block is the instance "blk.u" (or "\g:1:u2"); inside it no block prefix applies.
    {"module_inside_named_block", {{"top|blk.u|x", COMB}, {"top|\\g:1:u2|y", COMB}},
     "$scope module top $end\n$scope begin blk $end\n$scope module u $end\n$var wire 1 ! x $end\n$upscope $end\n"
     "$upscope $end\n$scope begin g__1 $end\n$scope module u2 $end\n$var wire 1 \" y $end\n$upscope $end\n"
     "$upscope $end\n$upscope $end\n", {"x in top|blk.u -> top|blk.u|x", "y in top|\\g:1:u2 -> top|\\g:1:u2|y"}},
    // "clk[1]" of a PLL is known as "_clk1", only for a PLL atom; a name that exists as written needs no rename.
    {"pll_clock_rename", {{"top|pll|_clk1", HOST_ATOM_KIND::PLL}, {"top|gen|_clk0", COMB}, {"top|gen|clk[2]", COMB}},
     "$scope module top $end\n$scope module pll $end\n$var wire 1 ! clk [1] $end\n$upscope $end\n"
     "$scope module gen $end\n$var wire 1 \" clk [0] $end\n$var wire 1 # clk [2] $end\n$upscope $end\n$upscope $end\n",
     {"clk[1] in top|pll -> top|pll|_clk1", "clk[0] in top|gen -> -", "clk[2] in top|gen -> top|gen|clk[2]"}},
};
INSTANTIATE_TEST_SUITE_P(SCOPES, HANDLER_SCOPE_TEST, ::testing::ValuesIn(SCOPE_CASES), row_name);

TEST_F(HANDLER_BASE_TEST, timescale_sets_the_factor_and_end_of_file_restores_nanoseconds)
{
    // Number and unit may be glued or on separate lines; the factor is nanoseconds per file unit.
    const std::pair<const char*, float> cases[] = {{"10 ps", 0.01f}, {"100\ns", 1e11f}, {"100 fs", 1e-4f},
                                                   {"10 us", 1e4f},  {"100 ms", 1e8f},   {"1ns", 1.0f}};
    HOST_DESIGN design;
    for (const auto& [text, factor] : cases) {
        SCOPED_TRACE(text);
        std::istringstream stream(std::string("$timescale ") + text + " $end\n");
        putil_vcd_lexer_yyFlexLexer scanner(&stream, nullptr);
        MATCHING_HANDLER handler(&scanner, design.facade());
        ASSERT_TRUE(putil_vcd_parse(&scanner, &handler));
        EXPECT_FLOAT_EQ(handler.get_time_unit_factor(), factor);
        handler.handle_end_of_file();
        EXPECT_EQ(handler.get_time_unit_factor(), 1.0f);
    }
}

// The design's signals carry simulation-netlist names that differ from their paths: only the EDA name map matches.
std::unique_ptr<HOST_DESIGN> make_eda_design(int netlist_type)
{
    auto design = std::make_unique<HOST_DESIGN>();
    for (const auto& [path, eda_name] : std::vector<std::pair<std::string, std::string>>{
             {"top|u1|q~reg", "top/u1/q_reg"},
             {"top|u1|cnt_q", "top/u1/cnt.q"},    // escaped "\top/u1/cnt.q "
             {"top|u1|mq3", "top/u1/m.q[3]"},     // escaped "\top/u1/m.q [3]"
             {"top|u1|mixed", "top/u1/Mixed_Case"}})
        design->set_eda_name(design->add_output(design->add_atom(path, HOST_ATOM_KIND::LCELL_FF), path, 0, true),
                             eda_name);
    HOST_ATOM* pin = design->add_atom("clk_in", HOST_ATOM_KIND::INPUT_PIN);
    design->add_output(pin, "clk_in", 116, false);
    design->set_eda_pin_name(pin, "clk_pad");
    if (netlist_type >= 0)
        design->set_eda_tool(netlist_type);
    return design;
}

const char* const EDA_VCD =
    "$scope module tb $end\n$var wire 1 ! clk_pad $end\n$scope module top $end\n$scope module u1 $end\n"
    "$var reg 1 \" q_reg $end\n$var reg 1 # cnt.q $end\n$var reg 1 $ m.q [3] $end\n"
    "$var reg 1 % Mixed_Case $end\n$var reg 1 & mixed_case $end\n$upscope $end\n$upscope $end\n$upscope $end\n";

struct EDA_CASE {
    const char* name;
    int netlist_type;                  // negative: no simulation tool
    std::vector<std::string> hpaths;   // matched per declaration of EDA_VCD, "-" for none
};
void PrintTo(const EDA_CASE& row, std::ostream* out) { *out << row.name; }
class HANDLER_EDA_NAME_TEST : public HANDLER_BASE_TEST, public ::testing::WithParamInterface<EDA_CASE> {};

const EDA_CASE EDA_CASES[] = {
    {"netlist_type_3_exact_case", 3, {"clk_in", "top|u1|q~reg", "top|u1|cnt_q", "top|u1|mq3", "top|u1|mixed", "-"}},
    {"netlist_type_2_lower_case", 2,
     {"clk_in", "top|u1|q~reg", "top|u1|cnt_q", "top|u1|mq3", "top|u1|mixed", "top|u1|mixed"}},
    // Without a simulation tool only hierarchy names match, and none of these is one.
    {"without_eda_tool", -1, {"-", "-", "-", "-", "-", "-"}},
};

std::vector<std::string> expected_eda_matches(const EDA_CASE& row)
{
    const char* const declared[] = {"clk_pad in (root)", "q_reg in top|u1",      "cnt.q in top|u1",
                                    "m.q[3] in top|u1", "Mixed_Case in top|u1", "mixed_case in top|u1"};
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < row.hpaths.size(); ++i)
        expected.push_back(std::string(declared[i]) + " -> " + row.hpaths[i]);
    return expected;
}

TEST_P(HANDLER_EDA_NAME_TEST, matches_simulation_netlist_names)
{
    EXPECT_EQ(match_declarations(*make_eda_design(GetParam().netlist_type), EDA_VCD),
              expected_eda_matches(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(EDA, HANDLER_EDA_NAME_TEST, ::testing::ValuesIn(EDA_CASES), row_name);

// The case rule belongs to the design: designs of every rule, all alive in
// one process and read in turn (each twice, in both orders), match as each
// does alone.
TEST_F(HANDLER_BASE_TEST, each_design_keeps_its_own_case_rule)
{
    std::vector<std::unique_ptr<HOST_DESIGN>> designs;
    for (const EDA_CASE& row : EDA_CASES)
        designs.push_back(make_eda_design(row.netlist_type));
    const std::size_t count = designs.size();
    for (std::size_t turn = 0; turn < 2 * count; ++turn) {
        const std::size_t i = turn < count ? turn : 2 * count - 1 - turn;
        EXPECT_EQ(match_declarations(*designs[i], EDA_VCD), expected_eda_matches(EDA_CASES[i])) << EDA_CASES[i].name;
    }
}

// The handler's error stops the parse; the reader reports the file and still writes what was measured up to it:
// 0 for 10 ns, 1 for 20 ns before the port change on line 11.
TEST_F(HANDLER_BASE_TEST, file_kind_error_posts_its_line_and_keeps_earlier_values)
{
    auto design = putil_make_signal_design({"top|a"});
    const std::string file = write_file("bad.vcd", PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#30\npD 6 0 <0\n#40\n0!\n");
    EXPECT_TRUE(read(*design, {file}));
    ASSERT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222009, 222011, 222003}));
    EXPECT_EQ(host_posted_messages()[1].text, "VCD file \"" + file + "\" has an invalid EVCD command on line 11");
    putil_expect_signals(*design, {{"top|a", 20.0 / 30, 1 / 30e-9}});
}

// One file at two instances: the primary entry at cpu0 and a related one at cpu1; a scope only cpu0 has counts there.
TEST_F(HANDLER_BASE_TEST, related_entry_applies_the_file_to_a_second_instance)
{
    auto design = putil_make_signal_design({"cpu0|core|q", "cpu1|core|q", "cpu0|only|r", "core|q"});
    const std::string file = write_file(
        "shared.vcd", "$timescale 1ns $end\n$scope module core $end\n$var wire 1 ! q $end\n$upscope $end\n"
                      "$scope module only $end\n$var wire 1 \" r $end\n$upscope $end\n$enddefinitions $end\n"
                      "#0\n0!\n1\"\n#10\n1!\n#40\n");
    HOST_INPUT_FILE_MANAGER* inputs = design->input_files();
    HOST_INPUT_FILE_DATA* primary = inputs->add_entry(file, design->find_instance("cpu0"), nullptr, nullptr);
    HOST_INPUT_FILE_DATA* related = inputs->add_related_entry(primary, design->find_instance("cpu1"));
    EXPECT_TRUE(read(*design));
    EXPECT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003}));
    // The root's "core" is not an instance the entries apply to.
    putil_expect_signals(*design, {{"cpu0|core|q", 0.75, 1 / 40e-9}, {"cpu1|core|q", 0.75, 1 / 40e-9},
                                   {"cpu0|only|r", 1.0, 0.0}, {"core|q", {}, {}}});
    EXPECT_EQ(primary->annotated_count(), 2u);
    EXPECT_EQ(related->annotated_count(), 1u);
    // cpu0: q toggles, r does not; cpu1: its only signal toggles.
    EXPECT_FLOAT_EQ(primary->toggle_percentage(), 50.0f);
    EXPECT_FLOAT_EQ(related->toggle_percentage(), 100.0f);
}

// Null arguments of the parse and broken invariants that input cannot reach are internal errors of the file that
// checks them; the reports that name their cause in a message of their own are matched by that message.
struct INTERNAL_ERROR_CASE {
    std::function<void(MATCHING_HANDLER&)> act;
    const char* file = "putil_vcd_parser_event_handler.cpp";
    const char* message = nullptr;
};

TEST_F(HANDLER_BASE_TEST, broken_invariants_are_internal_errors)
{
    HOST_DESIGN design;
    std::istringstream empty("");
    putil_vcd_lexer_yyFlexLexer scanner(&empty, nullptr);
    const char* const PARSER = "putil_vcd_parser.y";
    const char* const HANDLER = "putil_vcd_parser_event_handler.cpp";
    char* unit = nullptr;
    const INTERNAL_ERROR_CASE cases[] = {
        {[](MATCHING_HANDLER& h) { putil_vcd_parse(nullptr, &h); }, PARSER},
        {[&](MATCHING_HANDLER&) { putil_vcd_parse(&scanner, nullptr); }, PARSER},
        {[&](MATCHING_HANDLER&) { MATCHING_HANDLER(nullptr, design.facade()); }},
        {[](MATCHING_HANDLER& h) { h.reset_for_file(nullptr, "x.vcd", 0, nullptr); }},
        {[](MATCHING_HANDLER& h) { h.get_size_of_vector_index("[7-0]"); }, HANDLER,
         "Invalid input: get_size_of_vector_index()"},
        {[](MATCHING_HANDLER& h) { h.set_dump_state_off(false); }},
        {[](MATCHING_HANDLER& h) { h.set_dump_state_initial(true), h.set_dump_state_current(true); }},
        // The unit is not freed when the check fails.
        {[&](MATCHING_HANDLER& h) { h.set_timescale(1, unit = putil_copy_text("xs", 2, "handler_base_test", 1)); },
         HANDLER, "Invalid timescale parsed in VCD file"},
    };
    for (const auto& row : cases) {
        MATCHING_HANDLER handler(&scanner, design.facade());
        if (row.message != nullptr)
            putil_expect_internal_error(row.file, row.message, [&] { row.act(handler); });
        else
            putil_expect_internal_error(row.file, [&] { row.act(handler); });
    }
    putil_free_text(unit);
}

}  // namespace
