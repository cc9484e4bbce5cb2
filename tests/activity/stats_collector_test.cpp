// Signal activity measured from small waveforms whose static probability
// and toggle rate are worked out by hand in each row.
#include <cstdint>

#include "handlers/putil_vcd_parser_event_handler_stats_collector.h"
#include "putil_test_support.h"

namespace {

const char* const HEADER_1NS = PUTIL_VCD_TOP_A.c_str();
const char* const HEADER_1PS =
    "$timescale 1ps $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n";
const char* const HEADER_VECTOR =
    "$timescale 1ns $end\n$scope module top $end\n$var reg 4 # cnt [3:0] $end\n$upscope $end\n"
    "$enddefinitions $end\n";
const char* const HEADER_ALIAS =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 1 ! b $end\n$upscope $end\n"
    "$enddefinitions $end\n";
const char* const HEADER_VECTOR_ALIAS =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 2 ! v [1:0] $end\n$var wire 2 ! w [1:0] $end\n"
    "$upscope $end\n$enddefinitions $end\n";
// Bit numbers past an int, in the index and at the end of the reference; read modulo 2^32 they would be [1:0].
const char* const HEADER_BEYOND_INT =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 2 # bus [4294967297:4294967296] $end\n"
    "$var wire 2 $ r[4294967297:4294967296] $end\n$upscope $end\n$enddefinitions $end\n";
const char* const HEADER_PORT =
    "$timescale 1ns $end\n$scope module top $end\n$var port 1 <0 a $end\n$upscope $end\n$enddefinitions $end\n";

struct ACTIVITY_CASE {
    const char* name;
    const char* header;
    const char* body;
    std::optional<std::int64_t> start_ps, end_ps;
    int fanout_delay_ps;   // < 0: no glitch filtering
    std::vector<EXPECTED_SIGNAL> expected;
    std::vector<unsigned> errors;
};
void PrintTo(const ACTIVITY_CASE& row, std::ostream* out) { *out << row.name; }
class STATS_COLLECTOR_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<ACTIVITY_CASE> {};

TEST_P(STATS_COLLECTOR_TEST, measures_activity)
{
    const ACTIVITY_CASE& row = GetParam();
    auto design = putil_make_signal_design(putil_paths_of(row.expected), row.fanout_delay_ps);
    design->input_files()->set_use_timing_estimator(row.fanout_delay_ps >= 0);
    const BIG_TIME start(row.start_ps.value_or(0)), end(row.end_ps.value_or(0));
    EXPECT_EQ(read_file(*design, write_file("wave.vcd", std::string(row.header) + row.body), false,
                        row.start_ps ? &start : nullptr, row.end_ps ? &end : nullptr),
              row.errors);
    putil_expect_signals(*design, row.expected);
}

const ACTIVITY_CASE ACTIVITY_CASES[] = {
    // 0 for 10 ns, 1 for 20 ns: one transition in 30 ns.
    {"low_then_high", HEADER_1NS, "#0\n0!\n#10\n1!\n#30\n", {}, {}, -1, {{"top|a", 20.0 / 30, 1 / 30e-9}}, {}},
    // Unknown until 10 ns: only the 20 ns at 1 are known; X to 1 is no toggle.
    {"unknown_until_first_value", HEADER_1NS, "#0\n#10\n1!\n#30\n", {}, {}, -1, {{"top|a", 1.0, 0.0}}, {}},
    // 0 -> X -> 1: the unknown 10 ns are not counted, the swing counts once.
    {"unknown_interval_bridged", HEADER_1NS, "#0\n0!\n#10\nx!\n#20\n1!\n#40\n", {}, {}, -1,
     {{"top|a", 20.0 / 30, 1 / 30e-9}}, {}},
    // Z counts half towards the static probability and half a transition each way.
    {"z_counts_half", HEADER_1NS, "#0\n0!\n#10\nz!\n#20\n1!\n#40\n", {}, {}, -1, {{"top|a", 25.0 / 40, 1 / 40e-9}}, {}},
    // Window 10..30 ns: 10 ns at 0, 10 ns at 1, the rise at 20 ns inside.
    {"window_clips_both_ends", HEADER_1NS, "#0\n0!\n#20\n1!\n#40\n0!\n#50\n", 10000, 30000, -1,
     {{"top|a", 0.5, 1 / 20e-9}}, {}},
    // A window end after the last timestamp extends the last value to it.
    {"window_end_extends_last_value", HEADER_1NS, "#0\n0!\n#50\n1!\n#60\n", {}, 100000, -1,
     {{"top|a", 0.5, 1 / 100e-9}}, {}},
    // A 200 ps pulse on a signal whose fanout takes 500 ps disappears.
    {"glitch_removed", HEADER_1PS, "#0\n0!\n#1000\n1!\n#1200\n0!\n#3000\n", {}, {}, 500, {{"top|a", 0.0, 0.0}}, {}},
    // The same pulse through a 100 ps connection is real activity.
    {"pulse_wider_than_delay_kept", HEADER_1PS, "#0\n0!\n#1000\n1!\n#1200\n0!\n#3000\n", {}, {}, 100,
     {{"top|a", 200.0 / 3000, 2 / 3000e-12}}, {}},
    // Two changes at one time both count without filtering.
    {"same_time_double_change", HEADER_1NS, "#0\n0!\n#10\n1!\n0!\n#20\n", {}, {}, -1, {{"top|a", 0.0, 2 / 20e-9}}, {}},
    // Time going back fails the file, and the interval cannot be closed.
    {"decreasing_timestamp", HEADER_1NS, "#0\n0!\n#20\n1!\n#10\n0!\n", {}, {}, -1, {{"top|a", {}, {}}},
     {222012, 222011, 222012}},
    // b1 sets bit 0 and clears the bits to its left; bz sets every bit to Z.
    {"vector_left_extension", HEADER_VECTOR, "#0\nb1 #\n#10\nbz #\n#20\nb0 #\n#40\n", {}, {}, -1,
     {{"top|cnt[0]", 15.0 / 40, 1 / 40e-9}, {"top|cnt[1]", 5.0 / 40, 1 / 40e-9}, {"top|cnt[3]", 5.0 / 40, 1 / 40e-9}},
     {}},
    // One identifier code declared under two names drives both.
    {"alias_names_share_values", HEADER_ALIAS, "#0\n0!\n#10\n1!\n#30\n", {}, {}, -1,
     {{"top|a", 20.0 / 30, 1 / 30e-9}, {"top|b", 20.0 / 30, 1 / 30e-9}}, {}},
    // A vector code declared under two names drives every bit of both.
    {"alias_vectors_share_values", HEADER_VECTOR_ALIAS, "#0\nb01 !\n#10\nb10 !\n#30\n", {}, {}, -1,
     {{"top|v[0]", 10.0 / 30, 1 / 30e-9}, {"top|v[1]", 20.0 / 30, 1 / 30e-9}, {"top|w[0]", 10.0 / 30, 1 / 30e-9},
      {"top|w[1]", 20.0 / 30, 1 / 30e-9}}, {}},
    // Extended-VCD port states: D is 0, U is 1, Z is Z.
    {"port_values", HEADER_PORT, "#0\n$dumpports\npD 6 0 <0\n$end\n#10\npU 6 0 <0\n#20\npZ 0 0 <0\n#40\n", {}, {}, -1,
     {{"top|a", 0.5, 1.5 / 40e-9}}, {}},
    // Only a is measured: the vectors name no bit that an int can number.
    {"bit_numbers_beyond_an_int", HEADER_BEYOND_INT, "#0\n0!\nb11 #\nb11 $\n#10\n1!\n#20\n", {}, {}, -1,
     {{"top|a", 0.5, 1 / 20e-9}, {"top|bus[0]", {}, {}}, {"top|bus[1]", {}, {}}, {"top|r[0]", {}, {}},
     {"top|r[1]", {}, {}}}, {}},
};

INSTANTIATE_TEST_SUITE_P(ACTIVITY, STATS_COLLECTOR_TEST, ::testing::ValuesIn(ACTIVITY_CASES), row_name);

// Each record fills one cache line and starts on one, however the list
// grows; the blocks behind the aligned ones go back to the host.
TEST_F(PUTIL_TEST, records_lie_on_cache_lines)
{
    PUTIL_VECTOR<OTERM_INFO> records;
    for (int record = 0; record < 100; ++record) {
        records.emplace_back();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(records.data()) % 64, 0u) << record;
    }
}

// The collector keeps the vector widths of earlier files: a code that was a vector there and is a scalar now takes
// no vector values, in the fast body path as in the rules.
TEST_F(PUTIL_TEST, vector_code_of_an_earlier_file_takes_no_vector_values)
{
    for (const char* fast : {"on", "off"}) {
        SCOPED_TRACE(fast);
        host_set_setting("putil_vcd_fast_body", fast);
        auto design = putil_make_signal_design({"top|a", "top|v[0]"});
        const std::string top = "$timescale 1ns $end\n$scope module top $end\n";
        const std::string first = write_file(
            "first.vcd", top + "$var reg 4 # v [3:0] $end\n$upscope $end\n$enddefinitions $end\n#0\nb1 #\n#10\n");
        const std::string second = write_file(
            "second.vcd", top + "$var wire 1 # a $end\n$upscope $end\n$enddefinitions $end\n#0\n1#\n#5\nb0 #\n#10\n");
        EXPECT_TRUE(read(*design, {first, second}));
        // a is 1 throughout: "b0 #" reaches nothing.
        putil_expect_signals(*design, {{"top|a", 1.0, 0.0}});
    }
}

}  // namespace
