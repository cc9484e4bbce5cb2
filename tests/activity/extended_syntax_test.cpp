// Activity of extended-syntax files (tests/data/extended/, worked out by hand) and of strict files in both modes.
#include <cstring>
#include <optional>

#include "putil_test_support.h"
#include "putil_vcd_reader.h"

namespace {

const std::string EXTENDED_DATA = std::string(PUTIL_TEST_DATA_DIR) + "/extended/";
const std::string EXAMPLES = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples/";

struct EXPECTED_SIGNAL {
    const char* path;
    std::optional<double> static_probability;   // nullopt: matched but never known, not annotated
    std::optional<double> toggle_rate;
};

struct EXTENDED_FILE_CASE {
    const char* file;
    std::vector<EXPECTED_SIGNAL> expected;
    int strict_error_line;   // where strict reading stops with 222007; 0 when strict grammar accepts the file
};

void PrintTo(const EXTENDED_FILE_CASE& row, std::ostream* stream) { *stream << row.file; }

class EXTENDED_SYNTAX_TEST : public PUTIL_TEST {
protected:
    // Reads the file into a design of the given signals with the extended
    // syntax on or off; answers the ids of the error messages posted.
    std::vector<unsigned> read(HOST_DESIGN& design, const std::string& file, bool extended,
                               const BIG_TIME* start = nullptr, const BIG_TIME* end = nullptr)
    {
        host_clear_posted_messages();
        host_set_setting("putil_vcd_extended_syntax", extended ? "on" : "off");
        host_set_current_design(&design);
        design.input_files()->add_entry(file, design.root(), start, end);
        PUTIL_VCD_READER* reader = putil_create_putil_vcd_reader(design.facade());
        reader->read_vcd_files(design.store());
        delete reader;
        std::vector<unsigned> errors;
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            if (message.severity == MSG_SEVERITY_ERROR)
                errors.push_back(message.id);
        return errors;
    }

    static std::vector<std::string> paths_of(const std::vector<EXPECTED_SIGNAL>& signals)
    {
        std::vector<std::string> paths;
        for (const EXPECTED_SIGNAL& signal : signals)
            paths.push_back(signal.path);
        return paths;
    }
};

class EXTENDED_FILES : public EXTENDED_SYNTAX_TEST, public testing::WithParamInterface<EXTENDED_FILE_CASE> {};

TEST_P(EXTENDED_FILES, measure_activity_with_the_extended_syntax)
{
    const EXTENDED_FILE_CASE& row = GetParam();
    auto design = putil_make_signal_design(paths_of(row.expected));
    EXPECT_EQ(read(*design, EXTENDED_DATA + row.file, true), std::vector<unsigned>{});
    for (const EXPECTED_SIGNAL& signal : row.expected) {
        SCOPED_TRACE(signal.path);
        PUTIL_OUTPUT_SIGNAL_DATA* data = putil_signal_data(*design, signal.path);
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED), signal.static_probability.has_value());
        ASSERT_EQ(data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED), signal.toggle_rate.has_value());
        if (signal.static_probability) {
            EXPECT_FLOAT_EQ(data->get_static_probability(), static_cast<float>(*signal.static_probability));
            EXPECT_FLOAT_EQ(data->get_toggle_rate(), static_cast<float>(*signal.toggle_rate));
        }
    }
}

// Strict reading stops at the first extended construct; a file of strict
// syntax is read, but its wide declarations without a range are scalars that
// the design does not have.
TEST_P(EXTENDED_FILES, strict_reading)
{
    const EXTENDED_FILE_CASE& row = GetParam();
    auto design = putil_make_signal_design(paths_of(row.expected));
    const std::string file = EXTENDED_DATA + row.file;
    const std::vector<unsigned> errors = read(*design, file, false);
    if (row.strict_error_line == 0) {
        EXPECT_EQ(errors, std::vector<unsigned>{});
        for (const EXPECTED_SIGNAL& signal : row.expected)
            EXPECT_FALSE(putil_signal_data(*design, signal.path)->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED));
        return;
    }
    EXPECT_EQ(errors, (std::vector<unsigned>{222007, 222011}));
    EXPECT_EQ(host_posted_messages()[1].text,
              "Parse error in VCD file " + file + " near line " + std::to_string(row.strict_error_line));
}

const EXTENDED_FILE_CASE EXTENDED_FILE_CASES[] = {
    // req 0 then 1 from 10 of 40 ns; ack 1 until 20; valid 1 from 30; en always 1.
    {"scope_kinds.vcd",
     {{"top|bus|req", 0.75, 1 / 40e-9}, {"top|g.ack", 0.5, 1 / 40e-9}, {"top|r.valid", 0.25, 1 / 40e-9},
      {"top|en", 1.0, 0.0}},
     4},
    // i = 101 then 100 from 10 ns (bit 31 extends with 0); y = 11110000 then 0;
    // st = 01 throughout; the string and the 64 real bits never get a level.
    {"var_kinds.vcd",
     {{"top|l", 0.75, 1 / 40e-9}, {"top|b", 1.0, 0.0}, {"top|i[0]", 0.25, 1 / 40e-9}, {"top|i[1]", 0.0, 0.0},
      {"top|i[2]", 1.0, 0.0}, {"top|i[31]", 0.0, 0.0}, {"top|y[7]", 0.25, 1 / 40e-9}, {"top|y[0]", 0.0, 0.0},
      {"top|st[0]", 1.0, 0.0}, {"top|st[1]", 0.0, 0.0}, {"top|s", {}, {}}, {"top|t[0]", {}, {}},
      {"top|t[63]", {}, {}}},
     4},
    // 0 for 20 ns, 1 for 20 ns; the attributes change nothing.
    {"attributes.vcd", {{"top|a", 0.5, 1 / 40e-9}}, 3},
    // a 0-1-0 with edges at 10 and 20; b falls at 12.5; c rises at 20.
    {"changes_anywhere.vcd",
     {{"top|a", 0.25, 2 / 40e-9}, {"top|b", 12.5 / 40, 1 / 40e-9}, {"top|c", 0.5, 1 / 40e-9}},
     9},
    // a: unknown, 1 (H), unknown (w) keeping 1, 0 (L): 20 ns known, 10 at 1, the
    // fall across the unknown counts. b: 0 (L), 1 (h), 0 (l), unknown (-): 30 ns
    // known, 10 at 1, two transitions. v: UUUU, LH-W, then bH (1, extended with 0).
    {"nine_level.vcd",
     {{"top|a", 0.5, 1 / 20e-9}, {"top|b", 1.0 / 3, 2 / 30e-9}, {"top|v[3]", 0.0, 0.0},
      {"top|v[2]", 1.0 / 3, 1 / 30e-9}, {"top|v[1]", 0.0, 0.0}, {"top|v[0]", 1.0, 0.0}},
     10},
    // Only a counts: 0 for 20 ns, 1 for 20 ns.
    {"strings_and_reals.vcd", {{"top|a", 0.5, 1 / 40e-9}, {"top|state", {}, {}}, {"top|r", {}, {}}}, 5},
    // a: 0, 1 at 10, unknown 20..30 keeping 1, 0 at 30: 30 ns known, 10 at 1, two
    // transitions. b: 1, unknown 20..30, 1. The last block is open at the end.
    {"dump_blocks.vcd", {{"top|a", 1.0 / 3, 2 / 30e-9}, {"top|b", 1.0, 0.0}}, 8},
    // Units of 250 ps: 1 for 40 units, 0 for 60; one transition in 25 ns.
    {"no_enddefinitions.vcd", {{"top|a", 0.4, 1 / 25e-9}}, 2},
    // Bit p of a port value is its p-th character from the right: bus = LLHH,
    // HLDU from 10 ns, ZZZ1 from 30 ns. Z counts half high and half a transition.
    {"port_range.evcd",
     {{"top|bus[0]", 1.0, 0.0}, {"top|bus[1]", 15.0 / 40, 1.5 / 40e-9}, {"top|bus[2]", 5.0 / 40, 0.5 / 40e-9},
      {"top|bus[3]", 25.0 / 40, 1.5 / 40e-9}, {"top|en", 0.75, 1 / 40e-9}},
     4},
    // i = 11 then 0; n = 1010 then 0110; the memory word rf[3] = 01 then 10.
    {"wide_without_range.vcd",
     {{"top|i[0]", 0.25, 1 / 40e-9}, {"top|i[1]", 0.25, 1 / 40e-9}, {"top|i[2]", 0.0, 0.0}, {"top|i[31]", 0.0, 0.0},
      {"top|n[3]", 0.25, 1 / 40e-9}, {"top|n[2]", 0.75, 1 / 40e-9}, {"top|n[1]", 1.0, 0.0}, {"top|n[0]", 0.0, 0.0},
      {"top|rf[3][0]", 0.25, 1 / 40e-9}, {"top|rf[3][1]", 0.75, 1 / 40e-9}},
     0},
};

INSTANTIATE_TEST_SUITE_P(EXTENDED, EXTENDED_FILES, testing::ValuesIn(EXTENDED_FILE_CASES),
                         [](const testing::TestParamInfo<EXTENDED_FILE_CASE>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

// With the setting off a wide declaration without a range is the scalar of
// its name, and a one-digit value is its level.
TEST_F(EXTENDED_SYNTAX_TEST, wide_declaration_without_range_is_scalar_in_strict_reading)
{
    auto design = putil_make_signal_design({"top|rf[3]", "top|rf[3][0]"});
    const std::string file = write_file("one_digit.vcd",
                                        "$timescale 1ns $end\n$scope module top $end\n$var reg 8 # rf [3] $end\n"
                                        "$upscope $end\n$enddefinitions $end\n#0\nb0 #\n#10\nb1 #\n#40\n");
    EXPECT_EQ(read(*design, file, false), std::vector<unsigned>{});
    PUTIL_OUTPUT_SIGNAL_DATA* data = putil_signal_data(*design, "top|rf[3]");
    EXPECT_FLOAT_EQ(data->get_static_probability(), 0.75f);
    EXPECT_FLOAT_EQ(data->get_toggle_rate(), static_cast<float>(1 / 40e-9));
    EXPECT_FALSE(putil_signal_data(*design, "top|rf[3][0]")->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED));
}

// Every annotated value of the design as the bits of its float, with the
// entries' percentages and the messages posted.
std::string snapshot(HOST_DESIGN& design)
{
    std::string text;
    const auto bits = [](float value) {
        std::uint32_t word;
        std::memcpy(&word, &value, sizeof word);
        return std::to_string(word);
    };
    CDB_ATOM_NETLIST* netlist = design.netlist();
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            PUTIL_OUTPUT_SIGNAL_DATA* data = design.store()->get_output_signal_data(*term);
            text += (*term)->get_string_hpath() + " ";
            if (data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED))
                text += "sp=" + bits(data->get_static_probability()) + " ";
            if (data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED))
                text += "tr=" + bits(data->get_toggle_rate());
            text += "\n";
        }
    }
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries())
        text += "toggling=" + bits(entry->toggle_percentage()) + " unknown=" + bits(entry->unknown_percentage()) + "\n";
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        text += std::to_string(message.id) + " " + message.text + "\n";
    return text;
}

struct STRICT_FILE_CASE {
    const char* name;
    std::string text;   // empty: the bundled counter example
    std::vector<std::string> paths;
    std::optional<std::int64_t> start_ps;
    std::optional<std::int64_t> end_ps;
};

void PrintTo(const STRICT_FILE_CASE& row, std::ostream* stream) { *stream << row.name; }

class STRICT_FILES_ALIKE : public EXTENDED_SYNTAX_TEST, public testing::WithParamInterface<STRICT_FILE_CASE> {};

TEST_P(STRICT_FILES_ALIKE, in_both_modes)
{
    const STRICT_FILE_CASE& row = GetParam();
    std::string snapshots[2];
    for (int extended = 0; extended < 2; ++extended) {
        std::unique_ptr<HOST_DESIGN> design;
        std::string file;
        if (row.text.empty()) {
            std::string error;
            design = host_load_design_file(EXAMPLES + "counter_design.json", error);
            ASSERT_NE(design, nullptr) << error;
            file = EXAMPLES + "counter.vcd";
        } else {
            design = putil_make_signal_design(row.paths);
            file = write_file("strict.vcd", row.text);
        }
        const BIG_TIME start(row.start_ps.value_or(0));
        const BIG_TIME end(row.end_ps.value_or(0));
        read(*design, file, extended == 1, row.start_ps ? &start : nullptr, row.end_ps ? &end : nullptr);
        snapshots[extended] = snapshot(*design);
        host_set_current_design(nullptr);
    }
    EXPECT_NE(snapshots[0].find("sp="), std::string::npos) << "nothing was measured";
    EXPECT_EQ(snapshots[1], snapshots[0]);
}

const STRICT_FILE_CASE STRICT_FILE_CASES[] = {
    {"counter_example", "", {}, {}, {}},
    {"counter_example_window", "", {}, 15000, 400000},
    {"values_dumps_and_named_blocks",
     "$date today $end\n$timescale 10 ps $end\n$scope module top $end\n$scope begin blk $end\n"
     "$var wire 1 ! a $end\n$upscope $end\n$var reg 4 \" v [3:0] $end\n$var wire 1 # b [2] $end\n"
     "$var wire 1 ! c $end\n$var real 1 $ r $end\n$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n0!\nbx \"\n"
     "1#\nr0.5 $\n$end\n#7\n1!\nb1z \"\n$comment mid $end\n#19\n$dumpoff\nx!\nbx \"\nx#\n$end\n#30\n$dumpon\n0!\n"
     "b1010 \"\nz#\n$end\n#41\n$dumpall\n0!\nb1010 \"\nz#\n$end\n#60\n",
     {"top|blk.a", "top|v[0]", "top|v[1]", "top|v[2]", "top|v[3]", "top|b[2]", "top|c"}, 50, 500},
    {"extended_vcd_ports",
     "$timescale 1ns $end\n$scope module top $end\n$var port 1 <0 p $end\n$var port 1 <1 q $end\n$upscope $end\n"
     "$enddefinitions\n$end\n#0\n$dumpports\npD 6 0 <0\npU 0 6 <1\n$end\n#10\npu 0 6 <0\npZ 0 0 <1\n#25\n"
     "$dumpportsoff\npX 6 6 <0\npX 6 6 <1\n$end\n#30\n$dumpportson\npL 6 0 <0\npH 0 6 <1\n$end\n#40\n",
     {"top|p", "top|q"}, {}, {}},
    // The port value stops the parse (222009); what was read up to it counts.
    {"crlf_and_stop_at_error", "$timescale 1 us $end\r\n$scope module top $end\r\n$var wire 1 ! a $end\r\n"
     "$upscope $end\r\n$enddefinitions $end\r\n#0\r\n1!\r\n#5\r\n0!\r\n#8\r\npD 6 0 <0\r\n",
     {"top|a"}, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(STRICT, STRICT_FILES_ALIKE, testing::ValuesIn(STRICT_FILE_CASES),
                         [](const testing::TestParamInfo<STRICT_FILE_CASE>& info) { return info.param.name; });

}  // namespace
