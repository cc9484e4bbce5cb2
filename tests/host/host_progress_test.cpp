// The progress bar's text (label, bar, percentage, time left) and how it
// follows the messages that start and end a read.
#include <optional>

#include "host_test_fixture.h"

namespace {

struct PROGRESS_TEXT_CASE {
    const char* name;
    std::string label;
    int percent;
    std::optional<double> seconds_left;
    std::string text;
};
void PrintTo(const PROGRESS_TEXT_CASE& row, std::ostream* out) { *out << row.name; }

class HOST_PROGRESS_TEXT : public ::testing::TestWithParam<PROGRESS_TEXT_CASE> {};

TEST_P(HOST_PROGRESS_TEXT, draws_label_bar_percentage_and_time_left)
{
    const PROGRESS_TEXT_CASE& row = GetParam();
    EXPECT_EQ(host_progress_text(row.label, row.percent, row.seconds_left), row.text);
}

const std::string LONG_NAME = "/very/long/folder/of/simulations/run_0042/top_level_waveform.vcd";

const PROGRESS_TEXT_CASE TEXT_CASES[] = {
    {"no_label_at_start", "", 0, std::nullopt, "[                    ] 0%"},
    {"seconds_left", "w.vcd", 45, 12.4, "w.vcd [#########           ] 45%  12s left"},
    {"minutes_left", "w.vcd", 45, 65.0, "w.vcd [#########           ] 45%  1m05s left"},
    {"hours_left", "w.vcd", 1, 7384.0, "w.vcd [                    ] 1%  2h03m left"},
    {"complete", "w.vcd", 100, std::nullopt, "w.vcd [####################] 100%"},
    {"beyond_complete", "w.vcd", 130, std::nullopt, "w.vcd [####################] 100%"},
    {"long_label_keeps_its_end", LONG_NAME, 50, std::nullopt,
     "..." + LONG_NAME.substr(LONG_NAME.size() - 37) + " [##########          ] 50%"},
};

INSTANTIATE_TEST_SUITE_P(TEXTS, HOST_PROGRESS_TEXT, ::testing::ValuesIn(TEXT_CASES),
                         [](const ::testing::TestParamInfo<PROGRESS_TEXT_CASE>& info) { return info.param.name; });

// The time left is the pace so far carried to 100 %; none before it can be told or once done.
TEST(HOST_PROGRESS_TIME, time_left_at_the_pace_so_far)
{
    EXPECT_EQ(host_progress_seconds_left(50, 10.0), std::optional<double>(10.0));
    EXPECT_EQ(host_progress_seconds_left(20, 4.0), std::optional<double>(16.0));
    EXPECT_EQ(host_progress_seconds_left(0, 10.0), std::nullopt);
    EXPECT_EQ(host_progress_seconds_left(30, 0.5), std::nullopt);
    EXPECT_EQ(host_progress_seconds_left(100, 10.0), std::nullopt);
}

using HOST_PROGRESS_TEST = HOST_TEST;

// The bar is named after the file whose read the start messages announce, under the name the user gave it.
TEST_F(HOST_PROGRESS_TEST, the_start_of_a_read_names_the_bar)
{
    host_set_shown_file_name("/dev/stdin", "standard input");
    const struct { unsigned id; const char* file; std::string label; } reads[] = {
        {222002, "a.vcd", "a.vcd"}, {222003, "a.vcd", "a.vcd"}, {222000, "/dev/stdin", "standard input"},
        {222005, "b.vcd", "standard input"}};
    for (const auto& read : reads) {
        MSG_I message;
        message.fill_args("read %1!s!/IX", read.file);
        message.set_id(read.id);
        message.post();
        EXPECT_EQ(host_progress_label(), read.label) << read.id;
    }
    host_reset_process_state();
    EXPECT_EQ(host_progress_label(), "");
}

}  // namespace
