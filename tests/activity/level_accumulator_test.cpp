// The activity rules shared by the stats collector and the VWF reader, on
// value sequences whose sums are worked out by hand in each row.
#include <vector>

#include <gtest/gtest.h>

#include "handlers/putil_level_accumulator.h"
#include "host/host_test_fixture.h"

namespace {

struct STEP { double time; char value; };
struct LEVEL_CASE {
    const char* name;
    std::vector<STEP> steps;   // from time 0; the interval after the last step is not measured
    double min_fanout_delay;   // 0: glitches are not filtered
    char output_enable;        // the output enable's value; 0: none
    double toggle_count, known_time, unknown_time, weighted_high_time, enabled_toggle_count;
};
void PrintTo(const LEVEL_CASE& row, std::ostream* out) { *out << row.name; }
class LEVEL_ACCUMULATOR_TEST : public ::testing::TestWithParam<LEVEL_CASE> {};

// Steps as the VWF reader takes them: every interval counts.
TEST_P(LEVEL_ACCUMULATOR_TEST, books_each_interval_when_it_ends)
{
    const LEVEL_CASE& row = GetParam();
    PUTIL_LEVEL_RECORD output_enable;
    output_enable.value = row.output_enable;
    PUTIL_LEVEL_RECORD record;
    if (row.output_enable != 0)
        record.output_enable_info = &output_enable;
    double previous_time = 0.0;
    for (const STEP& step : row.steps) {
        const double dt = step.time - previous_time;
        if (row.min_fanout_delay > 0)
            PUTIL_LEVEL_ACCUMULATOR::filter_glitch(record, dt, row.min_fanout_delay, previous_time);
        PUTIL_LEVEL_ACCUMULATOR::measure(record, dt);
        PUTIL_LEVEL_ACCUMULATOR::start_interval(record, step.value);
        previous_time = step.time;
    }
    EXPECT_EQ(record.toggle_count, row.toggle_count);
    EXPECT_EQ(record.known_time, row.known_time);
    EXPECT_EQ(record.unknown_time, row.unknown_time);
    EXPECT_EQ(record.weighted_high_time, row.weighted_high_time);
    EXPECT_EQ(record.enabled_toggle_count, row.enabled_toggle_count);
}

const LEVEL_CASE LEVEL_CASES[] = {
    // The first value comes from X and is no transition; 0 -> 1 -> 0 is two.
    {"zero_one_zero", {{0, '0'}, {10, '1'}, {40, '0'}, {50, '1'}}, 0, 0, 4, 50, 0, 60, 0},
    // An unknown interval keeps the value before it: 0 -> X -> 1 is one transition.
    {"unknown_is_bridged", {{0, '0'}, {10, 'X'}, {20, '1'}, {30, '0'}}, 0, 0, 2, 20, 10, 20, 0},
    {"unknown_until_the_first_value", {{15, '1'}, {20, '0'}}, 0, 0, 0, 5, 15, 10, 0},
    // Z counts half: its time once, each step to or from it one half-transition.
    {"z_counts_half", {{0, '0'}, {10, 'Z'}, {20, '1'}, {30, '1'}}, 0, 0, 2, 30, 0, 30, 0},
    {"other_values_are_neither", {{0, '1'}, {10, 'U'}, {20, '0'}, {30, '1'}}, 0, 0, 0, 30, 0, 20, 0},
    // A 2-unit pulse under a delay of 5 is booked under the value before it.
    {"narrow_pulse_is_dropped", {{10, '0'}, {20, '1'}, {22, '0'}, {40, '0'}}, 5, 0, 0, 30, 10, 0, 0},
    {"the_same_pulse_unfiltered", {{10, '0'}, {20, '1'}, {22, '0'}, {40, '0'}}, 0, 0, 4, 30, 10, 4, 0},
    {"a_pulse_as_wide_as_the_delay_stays", {{10, '0'}, {20, '1'}, {25, '0'}, {40, '0'}}, 5, 0, 4, 30, 10, 10, 0},
    // A pulse from time 0 is the first value, never a glitch.
    {"first_value_is_never_a_glitch", {{0, '1'}, {2, '0'}, {10, '1'}}, 5, 0, 2, 10, 0, 4, 0},
    {"enabled_output_counts_its_toggles", {{0, '0'}, {10, '1'}, {40, '0'}, {50, '1'}}, 0, '1', 4, 50, 0, 60, 4},
    {"disabled_output_counts_none", {{0, '0'}, {10, '1'}, {40, '0'}, {50, '1'}}, 0, '0', 4, 50, 0, 60, 0},
};
INSTANTIATE_TEST_SUITE_P(SEQUENCES, LEVEL_ACCUMULATOR_TEST, ::testing::ValuesIn(LEVEL_CASES), row_name);

}  // namespace
