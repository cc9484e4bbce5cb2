// Tests of the parser event handler base: scopes, name matching, timescale, file-kind errors, internal errors.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "putil_test_support.h"
#include "putil_vcd_lexer.h"
#include "putil_vcd_parser.h"
#include "putil_vcd_parser_event_handler.h"
#include "putil_vcd_reader.h"

namespace {

// Records, for every declaration, the current instance and the output term
// the declared name matches.
class MATCHING_HANDLER : public PUTIL_VCD_PARSER_EVENT_HANDLER {
public:
    MATCHING_HANDLER(putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade)
        : PUTIL_VCD_PARSER_EVENT_HANDLER("match.vcd", 0, scanner, facade, nullptr, nullptr)
    {
    }

    bool handle_timestamp(char* text) override { return free_all({text}); }
    void handle_vcd_close(char* text) override { free_all({text}); }
    bool handle_port_value_change(char* code, char* value) override { return free_all({code, value}); }
    bool handle_vector_value_change(char* code, char* value) override { return free_all({code, value}); }
    void handle_real_value_change(char* code, char* value) override { free_all({code, value}); }
    bool handle_scalar_value_change(char*, char* value_text) override { return free_all({value_text}); }
    void handle_variable_declaration(char* kind, int, char* code, char* reference, char* index) override
    {
        const std::string name = std::string(reference) + index;
        const CDB_ATOM_OTERM* oterm = find_oterm_for_signal(name, 0);
        const std::string instance = get_current_instance(0)->get_full_name();
        matches.push_back(name + " in " + (instance.empty() ? "(root)" : instance) + " -> " +
                          (oterm ? oterm->get_string_hpath() : "-"));
        free_all({kind, code, reference, index});
    }

    std::vector<std::string> matches;

private:
    static bool free_all(std::initializer_list<char*> texts)
    {
        for (char* text : texts)
            putil_free_text(text);
        return true;
    }
};

struct DESIGN_SIGNAL {
    std::string path;
    HOST_ATOM_KIND kind = HOST_ATOM_KIND::LCELL_COMB;
};

// One atom per signal, named and driving the signal of its path.
std::unique_ptr<HOST_DESIGN> make_design(const std::vector<DESIGN_SIGNAL>& signals)
{
    auto design = std::make_unique<HOST_DESIGN>();
    for (const DESIGN_SIGNAL& signal : signals)
        design->add_output(design->add_atom(signal.path, signal.kind), signal.path, 0, false);
    return design;
}

class HANDLER_BASE_TEST : public PUTIL_TEST {
protected:
    // Parses vcd with a matching handler on design's root; answers what the
    // declarations matched. The parse must be accepted.
    std::vector<std::string> match_declarations(HOST_DESIGN& design, const std::string& vcd)
    {
        std::istringstream stream(vcd);
        putil_vcd_lexer_yyFlexLexer scanner(&stream, nullptr);
        MATCHING_HANDLER handler(&scanner, design.facade());
        EXPECT_TRUE(putil_vcd_parse(&scanner, &handler)) << m_messages.str();
        return handler.matches;
    }

    // Runs the reader over the design's waveform entries.
    bool read(HOST_DESIGN& design)
    {
        PUTIL_VCD_READER* reader = putil_create_putil_vcd_reader(design.facade());
        const bool result = reader->read_vcd_files(design.store());
        delete reader;
        return result;
    }
};

struct SCOPE_CASE {
    const char* name;
    std::vector<DESIGN_SIGNAL> design;
    const char* vcd;
    std::vector<std::string> matches;
};

void PrintTo(const SCOPE_CASE& row, std::ostream* out) { *out << row.name; }

class HANDLER_SCOPE_TEST : public HANDLER_BASE_TEST, public ::testing::WithParamInterface<SCOPE_CASE> {
};

TEST_P(HANDLER_SCOPE_TEST, matches_declarations_in_their_scope)
{
    auto design = make_design(GetParam().design);
    EXPECT_EQ(match_declarations(*design, GetParam().vcd), GetParam().matches);
}

const SCOPE_CASE SCOPE_CASES[] = {
    // A name is looked up only in the current instance, never in its parents.
    {"module_scopes_enter_and_leave_instances",
     {{"top|a"}, {"top|sub|b"}, {"a"}},
     "$scope module top $end\n$var wire 1 ! a $end\n$scope module sub $end\n$var wire 1 \" b $end\n"
     "$var wire 1 # a $end\n$upscope $end\n$var wire 1 $ b $end\n$var wire 1 % a $end\n$upscope $end\n"
     "$var wire 1 & a $end\n",
     {"a in top -> top|a", "b in top|sub -> top|sub|b", "a in top|sub -> -", "b in top -> -", "a in top -> top|a",
      "a in (root) -> a"}},
    // A testbench level unknown to the design keeps the root, so the design's
    // top instance is still found below it; its own upscope returns to the root.
    {"testbench_scope_is_transparent",
     {{"dut|q"}, {"dut|r"}},
     "$scope module tb $end\n$var wire 1 ! q $end\n$scope module dut $end\n$var wire 1 \" q $end\n$upscope $end\n"
     "$var wire 1 # r $end\n$upscope $end\n$scope module dut $end\n$var wire 1 $ r $end\n$upscope $end\n",
     {"q in (root) -> -", "q in dut -> dut|q", "r in (root) -> -", "r in dut -> dut|r"}},
    // A scope that names a signal (an instance without children) is no level.
    {"scope_naming_a_leaf_stays_in_place",
     {{"top|leaf"}, {"top|x"}},
     "$scope module top $end\n$scope module leaf $end\n$var wire 1 ! x $end\n$upscope $end\n$upscope $end\n",
     {"x in top -> top|x"}},
    {"task_function_and_fork_scopes_are_instances",
     {{"top|t|a"}, {"top|f|b"}, {"top|k|c"}},
     "$scope module top $end\n$scope task t $end\n$var wire 1 ! a $end\n$upscope $end\n"
     "$scope function f $end\n$var wire 1 \" b $end\n$upscope $end\n$scope fork k $end\n$var wire 1 # c $end\n"
     "$upscope $end\n$upscope $end\n",
     {"a in top|t -> top|t|a", "b in top|f -> top|f|b", "c in top|k -> top|k|c"}},
    // "blk__x" prefixes "blk__x." and, escaped, "\blk:x:"; leaving the block drops both.
    {"named_block_prefixes",
     {{"top|blk__x.a"}, {"top|\\blk:x:b"}, {"top|c"}},
     "$scope module top $end\n$scope begin blk__x $end\n$var wire 1 ! a $end\n$var wire 1 \" b $end\n"
     "$var wire 1 # c $end\n$upscope $end\n$var wire 1 $ a $end\n$var wire 1 % c $end\n$upscope $end\n",
     {"a in top -> top|blk__x.a", "b in top -> top|\\blk:x:b", "c in top -> -", "a in top -> -",
      "c in top -> top|c"}},
    {"nested_named_blocks_join_prefixes",
     {{"top|outer.inner.c"}, {"top|\\outer:\\inner:d"}},
     "$scope module top $end\n$scope begin outer $end\n$scope begin inner $end\n$var wire 1 ! c $end\n"
     "$var wire 1 \" d $end\n$upscope $end\n$upscope $end\n$upscope $end\n",
     {"c in top -> top|outer.inner.c", "d in top -> top|\\outer:\\inner:d"}},
    // A module inside a named block is the instance "blk.u" (or "\g:1:u2") of
    // the enclosing one; inside it no block prefix applies.
    {"module_inside_named_block",
     {{"top|blk.u|x"}, {"top|\\g:1:u2|y"}},
     "$scope module top $end\n$scope begin blk $end\n$scope module u $end\n$var wire 1 ! x $end\n$upscope $end\n"
     "$upscope $end\n$scope begin g__1 $end\n$scope module u2 $end\n$var wire 1 \" y $end\n$upscope $end\n"
     "$upscope $end\n$upscope $end\n",
     {"x in top|blk.u -> top|blk.u|x", "y in top|\\g:1:u2 -> top|\\g:1:u2|y"}},
    // "clk[1]" of a PLL is known as "_clk1"; the rename is taken only for a
    // PLL atom, and a name that exists as written needs no rename.
    {"pll_clock_rename",
     {{"top|pll|_clk1", HOST_ATOM_KIND::PLL}, {"top|gen|_clk0"}, {"top|gen|clk[2]"}},
     "$scope module top $end\n$scope module pll $end\n$var wire 1 ! clk [1] $end\n$upscope $end\n"
     "$scope module gen $end\n$var wire 1 \" clk [0] $end\n$var wire 1 # clk [2] $end\n$upscope $end\n"
     "$upscope $end\n",
     {"clk[1] in top|pll -> top|pll|_clk1", "clk[0] in top|gen -> -", "clk[2] in top|gen -> top|gen|clk[2]"}},
};

INSTANTIATE_TEST_SUITE_P(SCOPES, HANDLER_SCOPE_TEST, ::testing::ValuesIn(SCOPE_CASES),
                         [](const ::testing::TestParamInfo<SCOPE_CASE>& info) { return info.param.name; });

struct TIMESCALE_CASE {
    const char* text;
    float factor;   // nanoseconds per file unit
    const char* unit;
    int number;
};

void PrintTo(const TIMESCALE_CASE& row, std::ostream* out) { *out << row.text; }

class HANDLER_TIMESCALE_TEST : public HANDLER_BASE_TEST, public ::testing::WithParamInterface<TIMESCALE_CASE> {
};

TEST_P(HANDLER_TIMESCALE_TEST, sets_factor_and_end_of_file_restores_nanoseconds)
{
    HOST_DESIGN design;
    std::istringstream stream(std::string("$timescale ") + GetParam().text + " $end\n");
    putil_vcd_lexer_yyFlexLexer scanner(&stream, nullptr);
    MATCHING_HANDLER handler(&scanner, design.facade());
    ASSERT_TRUE(putil_vcd_parse(&scanner, &handler));
    EXPECT_FLOAT_EQ(handler.get_time_unit_factor(), GetParam().factor);
    EXPECT_EQ(handler.get_time_unit(), GetParam().unit);
    EXPECT_EQ(handler.get_timescale_number(), GetParam().number);
    handler.handle_end_of_file();
    EXPECT_EQ(handler.get_time_unit_factor(), 1.0f);
    EXPECT_EQ(handler.get_time_unit(), "ns");
    EXPECT_EQ(handler.get_timescale_number(), 1);
}

const TIMESCALE_CASE TIMESCALE_CASES[] = {
    {"10 ps", 0.01f, "ps", 10}, {"100 s", 1e11f, "s", 100}, {"1 fs", 1e-6f, "fs", 1},
    {"100 fs", 1e-4f, "fs", 100}, {"10 us", 1e4f, "us", 10}, {"100 ms", 1e8f, "ms", 100}, {"1 ns", 1.0f, "ns", 1},
};

INSTANTIATE_TEST_SUITE_P(UNITS, HANDLER_TIMESCALE_TEST, ::testing::ValuesIn(TIMESCALE_CASES),
                         [](const ::testing::TestParamInfo<TIMESCALE_CASE>& info) {
                             std::string name = info.param.text;
                             name[name.find(' ')] = '_';
                             return name;
                         });

// EDA names: the design's signals carry simulation-netlist names that differ
// from their hierarchy paths, so only the EDA name map can match them.
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
    int netlist_type;   // negative: no simulation tool
    std::vector<std::string> hpaths;   // matched per declaration of EDA_VCD, "-" for none
};

void PrintTo(const EDA_CASE& row, std::ostream* out) { *out << row.name; }

class HANDLER_EDA_NAME_TEST : public HANDLER_BASE_TEST, public ::testing::WithParamInterface<EDA_CASE> {
};

// The case rule of EDA names is read once per process, so each row runs in
// a child process of its own.
TEST_P(HANDLER_EDA_NAME_TEST, matches_simulation_netlist_names)
{
    const char* const declared[] = {"clk_pad in (root)",     "q_reg in top|u1",      "cnt.q in top|u1",
                                    "m.q[3] in top|u1",      "Mixed_Case in top|u1", "mixed_case in top|u1"};
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < GetParam().hpaths.size(); ++i)
        expected.push_back(std::string(declared[i]) + " -> " + GetParam().hpaths[i]);
    EXPECT_EXIT(
        {
            auto design = make_eda_design(GetParam().netlist_type);
            const std::vector<std::string> matches = match_declarations(*design, EDA_VCD);
            for (const std::string& match : matches)
                std::fprintf(stderr, "%s\n", match.c_str());
            std::exit(matches == expected ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

const EDA_CASE EDA_CASES[] = {
    {"netlist_type_3_exact_case", 3, {"clk_in", "top|u1|q~reg", "top|u1|cnt_q", "top|u1|mq3", "top|u1|mixed", "-"}},
    {"netlist_type_2_lower_case", 2,
     {"clk_in", "top|u1|q~reg", "top|u1|cnt_q", "top|u1|mq3", "top|u1|mixed", "top|u1|mixed"}},
    // Without a simulation tool only hierarchy names match, and none of these is one.
    {"without_eda_tool", -1, {"-", "-", "-", "-", "-", "-"}},
};

INSTANTIATE_TEST_SUITE_P(EDA, HANDLER_EDA_NAME_TEST, ::testing::ValuesIn(EDA_CASES),
                         [](const ::testing::TestParamInfo<EDA_CASE>& info) { return info.param.name; });

struct FILE_ERROR_CASE {
    const char* name;
    const char* vcd;
    unsigned error_id;
    const char* error_text;
    // Static probability and toggle rate of top|a collected before the error; negative: not annotated.
    double static_probability;
    double toggle_rate;
};

void PrintTo(const FILE_ERROR_CASE& row, std::ostream* out) { *out << row.name; }

class HANDLER_FILE_ERROR_TEST : public HANDLER_BASE_TEST, public ::testing::WithParamInterface<FILE_ERROR_CASE> {
};

// The handler's error stops the parse; the reader reports the file and
// still writes what was measured up to the error.
TEST_P(HANDLER_FILE_ERROR_TEST, posts_message_with_line_and_keeps_earlier_values)
{
    const FILE_ERROR_CASE& row = GetParam();
    auto design = putil_make_signal_design({"top|a"});
    const std::string file = write_file("bad.vcd", row.vcd);
    design->input_files()->add_entry(file, nullptr, nullptr, nullptr);
    EXPECT_TRUE(read(*design));
    ASSERT_EQ(posted_ids(), (std::vector<unsigned>{222002, row.error_id, 222011, 222003}));
    const std::string text = host_posted_messages()[1].text;
    EXPECT_EQ(text, std::string(row.error_text).replace(std::string(row.error_text).find("FILE"), 4, file));
    PUTIL_OUTPUT_SIGNAL_DATA* data = putil_signal_data(*design, "top|a");
    ASSERT_EQ(data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED), row.static_probability >= 0);
    if (row.static_probability >= 0) {
        EXPECT_FLOAT_EQ(data->get_static_probability(), static_cast<float>(row.static_probability));
        EXPECT_FLOAT_EQ(data->get_toggle_rate(), static_cast<float>(row.toggle_rate));
    }
}

const FILE_ERROR_CASE FILE_ERROR_CASES[] = {
    {"upscope_without_open_scope",
     "$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$upscope $end\n$enddefinitions $end\n#0\n1!\n",
     222008, "VCD file FILE has an invalid upscope command on line 4", -1, 0},
    // 0 for 10 ns, 1 for 20 ns before the port change on line 10.
    {"port_change_in_vcd_file",
     "$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n#0\n0!\n#10\n1!\n#30\n"
     "pD 6 0 <0\n#40\n0!\n",
     222009, "VCD file \"FILE\" has an invalid EVCD command on line 10", 20.0 / 30, 1 / 30e-9},
    // Port a is D (0) for 10 ns and U (1) for 10 ns before the VCD change on line 10.
    {"scalar_change_in_evcd_file",
     "$scope module top $end\n$var port 1 <0 a $end\n$upscope $end\n$enddefinitions $end\n#0\npD 6 0 <0\n#10\n"
     "pU 6 0 <0\n#20\n1!\n#30\n",
     222010, "EVCD file \"FILE\" has an invalid VCD command on line 10", 0.5, 1 / 20e-9},
    {"task_scope_in_evcd_file",
     "$scope module top $end\n$var port 1 <0 a $end\n$scope task t $end\n$upscope $end\n$upscope $end\n", 222010,
     "EVCD file \"FILE\" has an invalid VCD command on line 3", -1, 0},
};

INSTANTIATE_TEST_SUITE_P(FILE_KIND, HANDLER_FILE_ERROR_TEST, ::testing::ValuesIn(FILE_ERROR_CASES),
                         [](const ::testing::TestParamInfo<FILE_ERROR_CASE>& info) { return info.param.name; });

// One file applied to two instances: the primary entry at cpu0 and a
// related entry at cpu1 both get the values; a scope only cpu0 has
// annotates only there.
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

    for (const char* path : {"cpu0|core|q", "cpu1|core|q"}) {
        SCOPED_TRACE(path);
        PUTIL_OUTPUT_SIGNAL_DATA* data = putil_signal_data(*design, path);
        ASSERT_TRUE(data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED));
        EXPECT_FLOAT_EQ(data->get_static_probability(), 0.75f);
        EXPECT_FLOAT_EQ(data->get_toggle_rate(), static_cast<float>(1 / 40e-9));
    }
    EXPECT_FLOAT_EQ(putil_signal_data(*design, "cpu0|only|r")->get_static_probability(), 1.0f);
    // The root's "core" is not an instance the entries apply to.
    EXPECT_FALSE(putil_signal_data(*design, "core|q")->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED));
    EXPECT_EQ(primary->annotated_count(), 2u);
    EXPECT_EQ(related->annotated_count(), 1u);
    // cpu0: q toggles, r does not; cpu1: its only signal toggles.
    EXPECT_FLOAT_EQ(primary->toggle_percentage(), 50.0f);
    EXPECT_FLOAT_EQ(related->toggle_percentage(), 100.0f);
}

struct INTERNAL_ERROR_CASE {
    const char* name;
    void (*act)(MATCHING_HANDLER& handler);
    const char* expression;
};

void PrintTo(const INTERNAL_ERROR_CASE& row, std::ostream* out) { *out << row.name; }

class HANDLER_INTERNAL_ERROR_TEST : public HANDLER_BASE_TEST,
                                    public ::testing::WithParamInterface<INTERNAL_ERROR_CASE> {
};

// Broken invariants that input cannot reach are internal errors naming
// the failed check, the tag and the source file.
TEST_P(HANDLER_INTERNAL_ERROR_TEST, reports_the_failed_check)
{
    HOST_DESIGN design;
    std::istringstream stream("");
    putil_vcd_lexer_yyFlexLexer scanner(&stream, nullptr);
    MATCHING_HANDLER handler(&scanner, design.facade());
    try {
        GetParam().act(handler);
        ADD_FAILURE() << "no internal error";
    } catch (const HOST_INTERNAL_ERROR& error) {
        EXPECT_EQ(error.expression, GetParam().expression);
        EXPECT_EQ(error.tag, "PUTIL");
        EXPECT_EQ(error.file, "putil_vcd_parser_event_handler.cpp");
    }
}

const INTERNAL_ERROR_CASE INTERNAL_ERROR_CASES[] = {
    {"reset_without_scanner", [](MATCHING_HANDLER& h) { h.reset_for_file(nullptr, "x.vcd", 0, nullptr); },
     "putil_vcd_yyFlexLexer != 0"},
    {"vector_index_without_colon", [](MATCHING_HANDLER& h) { h.get_size_of_vector_index("[7-0]"); },
     "open_bracket == '[' && colon == ':' && close_bracket == ']'"},
    {"leave_dump_block_never_entered", [](MATCHING_HANDLER& h) { h.set_dump_state_off(false); },
     "m_dump_state == VCD_DUMP_STATE_OFF"},
    {"nested_dump_blocks",
     [](MATCHING_HANDLER& h) {
         h.set_dump_state_initial(true);
         h.set_dump_state_current(true);
     },
     "m_dump_state == VCD_DUMP_STATE_NONE"},
    {"unknown_timescale_unit",
     [](MATCHING_HANDLER& h) {
         char* unit = putil_copy_text("xs", 2, "handler_base_test", __LINE__);
         try {
             h.set_timescale(1, unit);
         } catch (...) {
             putil_free_text(unit);   // not freed when the check fails
             throw;
         }
     },
     "Invalid timescale parsed in VCD file"},
};

INSTANTIATE_TEST_SUITE_P(CHECKS, HANDLER_INTERNAL_ERROR_TEST, ::testing::ValuesIn(INTERNAL_ERROR_CASES),
                         [](const ::testing::TestParamInfo<INTERNAL_ERROR_CASE>& info) { return info.param.name; });

TEST_F(HANDLER_BASE_TEST, constructor_without_scanner_is_an_internal_error)
{
    HOST_DESIGN design;
    try {
        MATCHING_HANDLER handler(nullptr, design.facade());
        ADD_FAILURE() << "no internal error";
    } catch (const HOST_INTERNAL_ERROR& error) {
        EXPECT_EQ(error.expression, "m_vcd_yyFlexLexer != 0");
    }
}

}  // namespace
