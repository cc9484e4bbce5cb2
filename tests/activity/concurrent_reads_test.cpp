// Reads of two designs on two threads at once give what each gives alone:
// every annotated value bit for bit, and the same messages, the line of an
// error included. Each read keeps its parse state (handler, line counter,
// settings read) to itself.
#include <thread>

#include "putil_test_support.h"

namespace {

const std::vector<std::string> COUNTER_PATHS = {"top|c0", "top|c1", "top|c2"};
const std::vector<std::string> BUS_PATHS = {"dut|bus[0]", "dut|bus[1]", "dut|bus[2]", "dut|bus[3]"};

// A three-bit counter in 1 ns steps, its bits as scalars.
std::string counter_vcd(int steps)
{
    std::string text = "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! c0 $end\n$var wire 1 \" c1 $end\n"
                       "$var wire 1 # c2 $end\n$upscope $end\n$enddefinitions $end\n";
    for (int step = 0; step < steps; ++step) {
        text += "#" + std::to_string(step) + "\n";
        for (int bit = 0; bit < 3; ++bit)
            if (step == 0 || (step & ((1 << bit) - 1)) == 0)
                text += std::string(1, '0' + ((step >> bit) & 1)) + std::string(1, "!\"#"[bit]) + "\n";
    }
    return text;
}

// A four-bit bus in uneven 7 ps steps, with x now and then, that ends in an
// extended-VCD command: the error names its line, the last of the file.
std::string bus_vcd(int steps)
{
    std::string text = "$timescale 1ps $end\n$scope module dut $end\n$var reg 4 ! bus [3:0] $end\n$upscope $end\n"
                       "$enddefinitions $end\n";
    for (int step = 0; step < steps; ++step) {
        text += "#" + std::to_string(step * 7 + step % 3) + "\nb";
        for (int bit = 3; bit >= 0; --bit)
            text += step % 11 == 5 && bit == 2 ? 'x' : static_cast<char>('0' + ((step * 5 >> bit) & 1));
        text += " !\n";
    }
    return text + "pD 6 0 <0\n";
}

struct OUTCOME {
    bool result = false;
    std::string bits;
};

bool operator==(const OUTCOME& a, const OUTCOME& b) { return a.result == b.result && a.bits == b.bits; }
void PrintTo(const OUTCOME& outcome, std::ostream* out) { *out << outcome.result << "\n" << outcome.bits; }

std::vector<std::string> sorted_message_texts()
{
    std::vector<std::string> texts;
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        texts.push_back(std::to_string(message.id) + ": " + message.text);
    std::sort(texts.begin(), texts.end());
    return texts;
}

// With the stats collector's apply thread off and on.
class CONCURRENT_READS_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<bool> {
protected:
    // Reads file into a new design of paths.
    static OUTCOME measure(const std::vector<std::string>& paths, const std::string& file)
    {
        auto design = putil_make_signal_design(paths);
        OUTCOME outcome;
        outcome.result = read(*design, {file});
        outcome.bits = putil_annotation_bits(*design);
        return outcome;
    }
};

TEST_P(CONCURRENT_READS_TEST, two_designs_read_at_once_match_their_reads_alone)
{
    host_set_setting("putil_vcd_apply_thread", GetParam() ? "on" : "off");
    const std::string counter = write_file("counter.vcd", counter_vcd(20000));
    const std::string bus = write_file("bus.vcd", bus_vcd(15000));
    const OUTCOME counter_alone = measure(COUNTER_PATHS, counter);
    const OUTCOME bus_alone = measure(BUS_PATHS, bus);
    const std::vector<std::string> messages_alone = sorted_message_texts();
    ASSERT_TRUE(std::count(messages_alone.begin(), messages_alone.end(),
                           "222009: VCD file \"" + bus + "\" has an invalid EVCD command on line 30006"));

    for (int round = 0; round < 6; ++round) {
        host_clear_posted_messages();
        OUTCOME counter_together, bus_together;
        std::thread other([&] { bus_together = measure(BUS_PATHS, bus); });
        counter_together = measure(COUNTER_PATHS, counter);
        other.join();
        EXPECT_EQ(counter_together, counter_alone) << "round " << round;
        EXPECT_EQ(bus_together, bus_alone) << "round " << round;
        EXPECT_EQ(sorted_message_texts(), messages_alone) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(APPLY, CONCURRENT_READS_TEST, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "apply_thread" : "in_line");
                         });

}  // namespace
