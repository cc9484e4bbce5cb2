// Activity measured through the scanner's fast body path and the stats collector's text slots, which hold changes
// back and apply them in batches (on a second thread with "putil_vcd_apply_thread"), against the same files read
// with "putil_vcd_fast_body" off: every annotated value bit for bit, every entry percentage and every posted
// message, in strict and extended syntax.
#include <random>

#include "putil_test_support.h"

namespace {

// a and b share code !, v is a vector, w a wide declaration without a range (a vector only with the extended
// syntax), s a scalar given one-digit vector values.
const std::string HEADER =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 1 ! b $end\n"
    "$var reg 4 # v [3:0] $end\n$var wire 8 $ w $end\n$var wire 1 % s $end\n$upscope $end\n$enddefinitions $end\n";
// The same signals under other codes: ! is the vector, # a scalar.
const std::string HEADER_SWAPPED =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 # a $end\n$var reg 4 ! v [3:0] $end\n$upscope $end\n"
    "$enddefinitions $end\n";
const std::vector<std::string> PATHS = {"top|a", "top|b", "top|v[0]", "top|v[1]", "top|v[2]", "top|v[3]",
                                        "top|w[0]", "top|w[5]", "top|s"};

// A body of `steps` timestamps from #0, each 0 to 3 ns after the one before, with up to max_changes changes after
// each: levels 0 1 x z X Z, vectors of 1 to 6 digits (shorter or longer than declared), one-digit vectors for s,
// changes of an undeclared code, and now and then a CRLF or a blank line.
std::string random_body(unsigned seed, int steps, int max_changes)
{
    std::mt19937 random(seed);
    const auto pick = [&random](const char* choices) { return choices[random() % std::strlen(choices)]; };
    std::string body;
    long long time = 0;
    for (int step = 0; step < steps; ++step) {
        body += "#" + std::to_string(time) + (random() % 20 == 0 ? "\r\n" : "\n");
        time += random() % 4;
        for (int change = random() % (max_changes + 1); change > 0; --change) {
            switch (random() % 6) {
            case 0: case 1: body += std::string(1, pick("0011xzXZ")) + "!"; break;
            case 2: body += std::string(1, pick("01")) + "%"; break;
            case 3: body += "b" + std::string(1, pick("01xz")) + " %"; break;
            case 4: {
                std::string digits;
                for (int digit = 1 + random() % 6; digit > 0; --digit)
                    digits += pick("0011xz");
                body += "b" + digits + (random() % 2 ? " #" : " $");
                break;
            }
            default: body += std::string(1, pick("01")) + "&"; break;
            }
            body += random() % 30 == 0 ? "\n\n" : "\n";
        }
    }
    return body;
}

struct FAST_RESULT_CASE {
    const char* name;
    std::vector<std::string> files;   // read in this order
    std::optional<std::int64_t> start_ps, end_ps;
    int fanout_delay_ps;   // < 0: no glitch filtering
    std::vector<unsigned> ids;   // of the messages posted
};
void PrintTo(const FAST_RESULT_CASE& row, std::ostream* out) { *out << row.name; }

class FAST_BODY_RESULTS_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<FAST_RESULT_CASE> {
protected:
    // The annotation bits and the posted messages of one read of the row's files.
    std::string measure(const std::vector<std::string>& files, bool extended, bool fast, bool apply_thread = false)
    {
        const FAST_RESULT_CASE& row = GetParam();
        host_clear_posted_messages();
        host_set_setting("putil_vcd_extended_syntax", extended ? "on" : "off");
        host_set_setting("putil_vcd_fast_body", fast ? "on" : "off");
        host_set_setting("putil_vcd_apply_thread", apply_thread ? "on" : "off");
        auto design = putil_make_signal_design(PATHS, row.fanout_delay_ps);
        design->input_files()->set_use_timing_estimator(row.fanout_delay_ps >= 0);
        host_set_current_design(design.get());
        const BIG_TIME start(row.start_ps.value_or(0)), end(row.end_ps.value_or(0));
        for (const std::string& file : files)
            design->input_files()->add_entry(file, design->root(), row.start_ps ? &start : nullptr,
                                             row.end_ps ? &end : nullptr);
        read(*design);
        std::string measured = putil_annotation_bits(*design);
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            measured += std::to_string(message.id) + ": " + message.text + "\n";
        host_set_current_design(nullptr);
        return measured;
    }
};

TEST_P(FAST_BODY_RESULTS_TEST, match_the_rules_bit_for_bit)
{
    std::vector<std::string> files;
    for (const std::string& text : GetParam().files)
        files.push_back(write_file("wave" + std::to_string(files.size()) + ".vcd", text));
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended ? "extended" : "strict");
        const std::string plain = measure(files, extended, false);
        EXPECT_EQ(posted_ids(), GetParam().ids);
        EXPECT_EQ(measure(files, extended, true), plain);
        EXPECT_EQ(measure(files, extended, true, true), plain);
    }
}

const std::vector<unsigned> READ = {222002, 222003};

const std::string BIG_FILE = HEADER + random_body(1, 30000, 12);   // about 500 KB: lines on both sides of block ends

const FAST_RESULT_CASE FAST_RESULT_CASES[] = {
    {"random_changes", {BIG_FILE}, {}, {}, -1, READ},
    {"window", {BIG_FILE}, 20000000, 30000000, -1, READ},
    {"window_start_only", {HEADER + random_body(2, 3000, 5)}, 777000, {}, -1, READ},
    {"glitch_filter", {HEADER + random_body(3, 3000, 8)}, {}, {}, 2500, READ},
    // More changes at one time than are held back at once.
    {"forty_thousand_changes_at_one_time", {HEADER + random_body(4, 2, 40000)}, {}, {}, -1, READ},
    // Time going back: the error is reported at the change that finds its record changed later.
    {"time_goes_back", {HEADER + "#0\n1!\nb11 #\n#20\n0!\nb0 #\n#10\n1\"\nb1 #\n1!\n#30\n0!\n"}, {}, {}, -1,
     {222002, 222012, 222011, 222012, 222003}},
    // After going back, time passes the latest time again without finding a record changed later.
    {"time_goes_back_and_forward", {HEADER + "#0\n1!\n#20\n0!\n#10\nb1 #\n#40\n1!\nb0 #\n#50\n"}, {}, {}, -1,
     READ},
    // The code # of the first file's vector is a scalar in the second: its vector values reach nothing there.
    {"codes_of_an_earlier_file", {HEADER + random_body(5, 500, 6), HEADER_SWAPPED + "#0\nb1 #\n1#\nb10 !\n#5\n"
                                  "b0 #\n0#\n#10\n"}, {}, {}, -1, {222002, 222003, 222002, 222003}},
};

INSTANTIATE_TEST_SUITE_P(FAST_BODY, FAST_BODY_RESULTS_TEST, ::testing::ValuesIn(FAST_RESULT_CASES), row_name);

}  // namespace
