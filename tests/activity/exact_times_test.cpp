// Times at the top of the range: the activity of a waveform does not depend on
// where in time it lies, up to the largest 64-bit count of file units.
#include <cstdint>
#include <random>

#include "putil_test_support.h"

namespace {

const std::vector<std::string> PATHS = {"top|a", "top|v[0]", "top|v[1]", "top|v[2]"};

// A waveform of a scalar and a 3-bit vector over `edges` timestamps with gaps
// of 1 to 40 units, shifted by offset; the values are the seed's. Every
// signal takes a value at the first timestamp, so no known time depends on
// the offset.
std::string shifted_waveform(unsigned seed, int edges, std::int64_t offset)
{
    std::mt19937 random(seed);
    const char levels[] = "01xz";
    std::string text = "$timescale 1fs $end\n$scope module top $end\n$var wire 1 ! a $end\n"
                       "$var wire 3 \" v [2:0] $end\n$upscope $end\n$enddefinitions $end\n";
    std::int64_t time = 0;
    for (int edge = 0; edge < edges; ++edge) {
        text += "#" + std::to_string(offset + time) + "\n";
        if (edge == 0 || random() % 3 != 0)
            text += std::string(1, levels[random() % (edge == 0 ? 2 : 4)]) + "!\n";
        if (edge == 0 || random() % 2 != 0) {
            text += "b";
            for (int bit = 0; bit < 3; ++bit)
                text += levels[random() % (edge == 0 ? 2 : 4)];
            text += " \"\n";
        }
        time += 1 + static_cast<std::int64_t>(random() % 40);
    }
    return text + "#" + std::to_string(offset + time) + "\n";
}

// The annotated values of every term, without the entries' percentages
// (the unknown time before the first timestamp grows with the offset).
std::string term_bits(HOST_DESIGN& design)
{
    const std::string bits = putil_annotation_bits(design);
    return bits.substr(0, bits.find("toggling="));
}

class EXACT_TIMES_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<bool> {};

TEST_P(EXACT_TIMES_TEST, a_waveform_shifted_far_in_time_has_the_same_activity)
{
    host_set_setting("putil_vcd_apply_thread", GetParam() ? "on" : "off");
    // 2^53 + 1 is the first count a double rounds; 2^62 the issue's case;
    // the last offset leaves the waveform just below the largest count.
    const std::int64_t offsets[] = {(std::int64_t{1} << 53) + 1, std::int64_t{1} << 62, INT64_MAX - 100000};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        auto near = putil_make_signal_design(PATHS);
        ASSERT_EQ(read_file(*near, write_file("near.vcd", shifted_waveform(seed, 400, 0))), std::vector<unsigned>{});
        const std::string expected = term_bits(*near);
        ASSERT_NE(expected.find(" sp="), std::string::npos);
        for (const std::int64_t offset : offsets) {
            SCOPED_TRACE("offset " + std::to_string(offset));
            auto far = putil_make_signal_design(PATHS);
            ASSERT_EQ(read_file(*far, write_file("far.vcd", shifted_waveform(seed, 400, offset))),
                      std::vector<unsigned>{});
            EXPECT_EQ(term_bits(*far), expected);
        }
    }
}

// A fractional timestamp (extended syntax) turns the rest of the file to
// floating-point times; the whole times before it carry over unchanged.
TEST_P(EXACT_TIMES_TEST, a_fractional_timestamp_carries_the_whole_times_before_it)
{
    host_set_setting("putil_vcd_apply_thread", GetParam() ? "on" : "off");
    const std::string head = "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                             "$enddefinitions $end\n#0\n0!\n#10\n1!\n";
    auto design = putil_make_signal_design({"top|a"});
    ASSERT_EQ(read_file(*design, write_file("f.vcd", head + "#12.5\n0!\n#20\n"), true), std::vector<unsigned>{});
    // 1 for 2.5 of 20 ns; two transitions in 20 ns.
    putil_expect_signals(*design, {{"top|a", 2.5 / 20, 2 / 20e-9}});
}

INSTANTIATE_TEST_SUITE_P(APPLY_THREAD, EXACT_TIMES_TEST, ::testing::Bool());

}  // namespace
