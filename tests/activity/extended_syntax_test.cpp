// Activity of extended-syntax files (tests/data/extended/, worked out by hand) and of strict files in both modes.
#include "putil_test_support.h"

namespace {

const std::string EXTENDED_DATA = std::string(PUTIL_TEST_DATA_DIR) + "/extended/";

struct EXTENDED_FILE_CASE {
    const char* name;   // of the file
    std::vector<EXPECTED_SIGNAL> expected;
    int strict_error_line;   // where strict reading stops with 222007; 0 when strict grammar accepts the file
};
void PrintTo(const EXTENDED_FILE_CASE& row, std::ostream* stream) { *stream << row.name; }
using EXTENDED_SYNTAX_TEST = PUTIL_TEST;
class EXTENDED_FILES : public EXTENDED_SYNTAX_TEST, public testing::WithParamInterface<EXTENDED_FILE_CASE> {};

// With the extended syntax each file measures as worked out by hand. Strict reading stops at the first extended
// construct; a strict file is read, but its wide declarations without a range are scalars the design does not have.
TEST_P(EXTENDED_FILES, measure_activity_and_read_strictly)
{
    const EXTENDED_FILE_CASE& row = GetParam();
    const std::string file = EXTENDED_DATA + row.name;
    auto design = putil_make_signal_design(putil_paths_of(row.expected));
    EXPECT_EQ(read_file(*design, file, true), std::vector<unsigned>{});
    putil_expect_signals(*design, row.expected);
    auto strict = putil_make_signal_design(putil_paths_of(row.expected));
    const std::vector<unsigned> errors = read_file(*strict, file, false);
    if (row.strict_error_line == 0) {
        EXPECT_EQ(errors, std::vector<unsigned>{});
        EXPECT_EQ(putil_annotation_bits(*strict).find(" tr="), std::string::npos);
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
     {"top|en", 1.0, 0.0}}, 4},
    // i = 101 then 100 from 10 ns (bit 31 extends with 0); y = 11110000 then 0;
    // st = 01 throughout; the string and the 64 real bits never get a level.
    {"var_kinds.vcd",
     {{"top|l", 0.75, 1 / 40e-9}, {"top|b", 1.0, 0.0}, {"top|i[0]", 0.25, 1 / 40e-9}, {"top|i[1]", 0.0, 0.0},
     {"top|i[2]", 1.0, 0.0}, {"top|i[31]", 0.0, 0.0}, {"top|y[7]", 0.25, 1 / 40e-9}, {"top|y[0]", 0.0, 0.0},
     {"top|st[0]", 1.0, 0.0}, {"top|st[1]", 0.0, 0.0}, {"top|s", {}, {}}, {"top|t[0]", {}, {}}, {"top|t[63]", {}, {}}},
     4},
    // 0 for 20 ns, 1 for 20 ns; the attributes change nothing.
    {"attributes.vcd", {{"top|a", 0.5, 1 / 40e-9}}, 3},
    // a 0-1-0 with edges at 10 and 20; b falls at 12.5; c rises at 20.
    {"changes_anywhere.vcd", {{"top|a", 0.25, 2 / 40e-9}, {"top|b", 12.5 / 40, 1 / 40e-9}, {"top|c", 0.5, 1 / 40e-9}},
     9},
    // a: unknown, 1 (H), unknown (w) keeping 1, 0 (L): 20 ns known, 10 at 1, the
    // fall across the unknown counts. b: 0 (L), 1 (h), 0 (l), unknown (-): 30 ns
    // known, 10 at 1, two transitions. v: UUUU, LH-W, then bH (1, extended with 0).
    {"nine_level.vcd", {{"top|a", 0.5, 1 / 20e-9}, {"top|b", 1.0 / 3, 2 / 30e-9}, {"top|v[3]", 0.0, 0.0},
     {"top|v[2]", 1.0 / 3, 1 / 30e-9}, {"top|v[1]", 0.0, 0.0}, {"top|v[0]", 1.0, 0.0}}, 10},
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
     {"top|bus[3]", 25.0 / 40, 1.5 / 40e-9}, {"top|en", 0.75, 1 / 40e-9}}, 4},
    // i = 11 then 0; n = 1010 then 0110; the memory word rf[3] = 01 then 10.
    {"wide_without_range.vcd",
     {{"top|i[0]", 0.25, 1 / 40e-9}, {"top|i[1]", 0.25, 1 / 40e-9}, {"top|i[2]", 0.0, 0.0}, {"top|i[31]", 0.0, 0.0},
     {"top|n[3]", 0.25, 1 / 40e-9}, {"top|n[2]", 0.75, 1 / 40e-9}, {"top|n[1]", 1.0, 0.0}, {"top|n[0]", 0.0, 0.0},
     {"top|rf[3][0]", 0.25, 1 / 40e-9}, {"top|rf[3][1]", 0.75, 1 / 40e-9}}, 0},
};

INSTANTIATE_TEST_SUITE_P(EXTENDED, EXTENDED_FILES, testing::ValuesIn(EXTENDED_FILE_CASES), row_name);

// With the setting off a wide declaration without a range is the scalar of its name, a one-digit value its level.
TEST_F(EXTENDED_SYNTAX_TEST, wide_declaration_without_range_is_scalar_in_strict_reading)
{
    auto design = putil_make_signal_design({"top|rf[3]", "top|rf[3][0]"});
    const std::string file = write_file("one_digit.vcd",
                                        "$timescale 1ns $end\n$scope module top $end\n$var reg 8 # rf [3] $end\n"
                                        "$upscope $end\n$enddefinitions $end\n#0\nb0 #\n#10\nb1 #\n#40\n");
    EXPECT_EQ(read_file(*design, file, false), std::vector<unsigned>{});
    putil_expect_signals(*design, {{"top|rf[3]", 0.75, 1 / 40e-9}, {"top|rf[3][0]", {}, {}}});
}

// Ascending ranges ("[1:4]", as cores declare them). With the extended syntax each bit is named by its declared index
// and the leftmost digit is the left index; strict reading measures none of them and counts each such declaration on
// the input entry. Rows are read through the scanner's rules, the fast body path, and the apply thread.
struct ASCENDING_CASE {
    const char* name;
    std::string declarations;   // inside "$scope module top"
    std::string body;
    std::vector<EXPECTED_SIGNAL> extended;
    std::size_t strict_ignored;   // 0: strict reading fails on the file (extended constructs)
    std::vector<EXPECTED_SIGNAL> strict_measured = {};   // the other signals are not measured in strict reading
};
void PrintTo(const ASCENDING_CASE& row, std::ostream* stream) { *stream << row.name; }
class ASCENDING_RANGES : public EXTENDED_SYNTAX_TEST, public testing::WithParamInterface<ASCENDING_CASE> {};

TEST_P(ASCENDING_RANGES, name_bits_by_declared_index_or_are_counted_in_strict_reading)
{
    const ASCENDING_CASE& row = GetParam();
    const std::string file = write_file("ascending.vcd", "$timescale 1ns $end\n$scope module top $end\n" +
                                                             row.declarations + "$upscope $end\n$enddefinitions $end\n" +
                                                             row.body);
    const char* const modes[][2] = {{"off", "off"}, {"on", "off"}, {"on", "on"}};
    for (const auto& mode : modes) {
        SCOPED_TRACE(std::string("fast body ") + mode[0] + ", apply thread " + mode[1]);
        host_set_setting("putil_vcd_fast_body", mode[0]);
        host_set_setting("putil_vcd_apply_thread", mode[1]);
        auto design = putil_make_signal_design(putil_paths_of(row.extended));
        EXPECT_EQ(read_file(*design, file, true), std::vector<unsigned>{});
        putil_expect_signals(*design, row.extended);
        EXPECT_EQ(design->input_files()->entries().front()->read_extent().value().ascending_ranges_ignored, 0u);
    }
    if (row.strict_ignored == 0)
        return;
    auto strict = putil_make_signal_design(putil_paths_of(row.extended));
    EXPECT_EQ(read_file(*strict, file, false), std::vector<unsigned>{});
    std::vector<EXPECTED_SIGNAL> expected = row.strict_measured;
    for (const EXPECTED_SIGNAL& signal : row.extended) {
        if (std::none_of(expected.begin(), expected.end(),
                         [&](const EXPECTED_SIGNAL& measured) { return std::string(measured.path) == signal.path; }))
            expected.push_back(EXPECTED_SIGNAL{signal.path, {}, {}});
    }
    putil_expect_signals(*strict, expected);
    const HOST_INPUT_FILE_DATA* entry = strict->input_files()->entries().front();
    ASSERT_TRUE(entry->read_extent());
    EXPECT_EQ(entry->read_extent()->ascending_ranges_ignored, row.strict_ignored);
    EXPECT_EQ(entry->read_extent()->first_ascending_range_ignored, "[1:4]");
}

// d = 1000 from 0, 0100 from 10 ns, 1 (extended with 0s on the left) from 30 to 40 ns: d[1] high 10 ns, d[2] 20 ns,
// d[3] never, d[4] the last 10 ns.
const std::string D_BODY = "#0\nb1000 !\n#10\nb100 !\n#30\nb1 !\n#40\n";
const std::vector<EXPECTED_SIGNAL> D_BITS = {{"top|d[1]", 0.25, 1 / 40e-9}, {"top|d[2]", 0.5, 2 / 40e-9},
                                             {"top|d[3]", 0.0, 0.0}, {"top|d[4]", 0.25, 1 / 40e-9}};

std::vector<EXPECTED_SIGNAL> with(std::vector<EXPECTED_SIGNAL> signals, const std::vector<EXPECTED_SIGNAL>& more)
{
    signals.insert(signals.end(), more.begin(), more.end());
    return signals;
}

const ASCENDING_CASE ASCENDING_CASES[] = {
    {"range_in_the_index", "$var wire 4 ! d [1:4] $end\n", D_BODY, D_BITS, 1},
    {"range_in_the_reference", "$var wire 4 ! d[1:4] $end\n", D_BODY, D_BITS, 1},
    // One code, both directions: the leftmost digit is d[1] and e[3].
    {"descending_alias", "$var wire 4 ! d [1:4] $end\n$var wire 4 ! e [3:0] $end\n", D_BODY,
     with(D_BITS, {{"top|e[3]", 0.25, 1 / 40e-9}, {"top|e[2]", 0.5, 2 / 40e-9}, {"top|e[0]", 0.25, 1 / 40e-9}}), 1,
     {{"top|e[3]", 0.25, 1 / 40e-9}, {"top|e[2]", 0.5, 2 / 40e-9}, {"top|e[0]", 0.25, 1 / 40e-9}}},
    // Only the matched bits get records; the others' digits are skipped. f = 10, then 01 from 10 ns.
    {"partly_matched", "$var wire 4 ! d [1:4] $end\n$var wire 2 # f [0:1] $end\n",
     "#0\nb1000 !\nb10 #\n#10\nb100 !\nb01 #\n#30\nb1 !\n#40\n",
     {{"top|d[2]", 0.5, 2 / 40e-9}, {"top|d[4]", 0.25, 1 / 40e-9}, {"top|f[0]", 0.25, 1 / 40e-9},
      {"top|f[1]", 0.75, 1 / 40e-9}}, 2},
    // A port of several bits (extended only): the leftmost state is p[0].
    {"port", "$var port [0:1] <0 p $end\n", "#0\n$dumpports\npHL 66 00 <0\n$end\n#10\npLH 66 00 <0\n#40\n",
     {{"top|p[0]", 0.25, 1 / 40e-9}, {"top|p[1]", 0.75, 1 / 40e-9}}, 0},
};

INSTANTIATE_TEST_SUITE_P(EXTENDED, ASCENDING_RANGES, testing::ValuesIn(ASCENDING_CASES), row_name);

struct STRICT_FILE_CASE {
    const char* name;
    std::string text;
    std::vector<std::string> paths;
    std::optional<std::int64_t> start_ps, end_ps;
    const char* evidence;   // in what strict reading gives, so that the comparison is not empty
};
void PrintTo(const STRICT_FILE_CASE& row, std::ostream* stream) { *stream << row.name; }
class STRICT_FILES_ALIKE : public EXTENDED_SYNTAX_TEST, public testing::WithParamInterface<STRICT_FILE_CASE> {};

TEST_P(STRICT_FILES_ALIKE, in_both_modes)
{
    const STRICT_FILE_CASE& row = GetParam();
    const std::string file = write_file("strict.vcd", row.text);
    const BIG_TIME start(row.start_ps.value_or(0)), end(row.end_ps.value_or(0));
    std::string snapshots[2];
    for (int extended = 0; extended < 2; ++extended) {
        auto design = putil_make_signal_design(row.paths);
        read_file(*design, file, extended == 1, row.start_ps ? &start : nullptr, row.end_ps ? &end : nullptr);
        snapshots[extended] = putil_annotation_bits(*design);
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            snapshots[extended] += std::to_string(message.id) + " " + message.text + "\n";
    }
    EXPECT_NE(snapshots[0].find(row.evidence), std::string::npos) << snapshots[0];
    EXPECT_EQ(snapshots[1], snapshots[0]);
}

const STRICT_FILE_CASE STRICT_FILE_CASES[] = {
    {"values_dumps_and_named_blocks",
     "$date today $end\n$timescale 10 ps $end\n$scope module top $end\n$scope begin blk $end\n"
     "$var wire 1 ! a $end\n$upscope $end\n$var reg 4 \" v [3:0] $end\n$var wire 1 # b [2] $end\n"
     "$var wire 1 ! c $end\n$var real 1 $ r $end\n$upscope $end\n$enddefinitions $end\n#0\n$dumpvars\n0!\nbx \"\n"
     "1#\nr0.5 $\n$end\n#7\n1!\nb1z \"\n$comment mid $end\n#19\n$dumpoff\nx!\nbx \"\nx#\n$end\n#30\n$dumpon\n0!\n"
     "b1010 \"\nz#\n$end\n#41\n$dumpall\n0!\nb1010 \"\nz#\n$end\n#60\n",
     {"top|blk.a", "top|v[0]", "top|v[1]", "top|v[2]", "top|v[3]", "top|b[2]", "top|c"}, 50, 500, "sp="},
    {"extended_vcd_ports",
     "$timescale 1ns $end\n$scope module top $end\n$var port 1 <0 p $end\n$var port 1 <1 q $end\n$upscope $end\n"
     "$vcdclose\n#500 $end\n$enddefinitions\n$end\n#0\n$dumpports\npD 6 0 <0\npU 0 6 <1\n$end\n#10\npu 0 6 <0\n"
     "pZ 0 0 <1\n#25\n$dumpportsoff\npX 6 6 <0\npX 6 6 <1\n$end\n#30\n$dumpportson\npL 6 0 <0\npH 0 6 <1\n$end\n#40\n",
     {"top|p", "top|q"}, {}, {}, "sp="},
    // The port value stops the parse (222009); what was read up to it counts.
    {"crlf_and_stop_at_error", "$timescale 1 us $end\r\n$scope module top $end\r\n$var wire 1 ! a $end\r\n"
     "$upscope $end\r\n$enddefinitions $end\r\n#0\r\n1!\r\n#5\r\n0!\r\n#8\r\npD 6 0 <0\r\n", {"top|a"}, {}, {},
     "222009"},
    {"one_upscope_too_many", "$var wire 1 ! a $end\n$scope module a $end\n$upscope $end\n$upscope $end\n", {"a"},
     {}, {}, "222008"},
    {"scope_without_name", "$scope module $end\n$end\n$var wire 1 ! a $end\n$upscope $end\n", {"a"}, {}, {}, "222003"},
};

INSTANTIATE_TEST_SUITE_P(STRICT, STRICT_FILES_ALIKE, testing::ValuesIn(STRICT_FILE_CASES), row_name);

}  // namespace
