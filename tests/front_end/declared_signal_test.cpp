// What a "$var" declaration names, under the name-matching rules and under
// the rules of a handler that writes names back as the file has them.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "host/host_test_fixture.h"
#include "vcd/putil_vcd_declared_signal.h"

namespace {

const PUTIL_VCD_DECLARATION_RULES AS_WRITTEN{false, false, false};

struct DECLARED {
    PUTIL_VCD_DECLARED_SIGNAL::KIND kind;
    const char* name = "";
    int msb = 0, lsb = 0;
    bool ascending_ignored = false;
    // A vector's bit names and their positions from the rightmost digit, lowest index first.
    std::vector<std::pair<std::string, std::uint32_t>> bits = {};
};
struct DECLARATION_CASE {
    const char* name;
    const char* reference;
    const char* index;
    int size;
    bool extended_syntax;
    DECLARED matched;      // under the default rules
    DECLARED as_written;   // under AS_WRITTEN
};
void PrintTo(const DECLARATION_CASE& row, std::ostream* out) { *out << row.name; }
class DECLARED_SIGNAL_TEST : public ::testing::TestWithParam<DECLARATION_CASE> {};

void expect_declared(const PUTIL_VCD_DECLARED_SIGNAL& signal, const DECLARED& expected)
{
    EXPECT_EQ(signal.kind, expected.kind);
    EXPECT_EQ(signal.ascending_ignored, expected.ascending_ignored);
    if (expected.kind == PUTIL_VCD_DECLARED_SIGNAL::NONE)
        return;
    EXPECT_EQ(signal.name, expected.name);
    if (expected.kind == PUTIL_VCD_DECLARED_SIGNAL::VECTOR) {
        EXPECT_EQ(signal.msb, expected.msb);
        EXPECT_EQ(signal.lsb, expected.lsb);
        if (expected.bits.empty())
            return;
        std::vector<std::pair<std::string, std::uint32_t>> bits;
        putil_vcd_for_each_bit(signal, [&](const std::string& name, std::uint32_t position) {
            bits.emplace_back(name, position);
        });
        EXPECT_EQ(bits, expected.bits);
        EXPECT_EQ(signal.width(), expected.bits.size());
    }
}

TEST_P(DECLARED_SIGNAL_TEST, reads_the_declaration_by_each_rule_set)
{
    const DECLARATION_CASE& row = GetParam();
    expect_declared(putil_vcd_declared_signal(row.reference, row.index, row.size, row.extended_syntax),
                    row.matched);
    expect_declared(putil_vcd_declared_signal(row.reference, row.index, row.size, row.extended_syntax, AS_WRITTEN),
                    row.as_written);
}

constexpr auto NONE = PUTIL_VCD_DECLARED_SIGNAL::NONE;
constexpr auto SCALAR = PUTIL_VCD_DECLARED_SIGNAL::SCALAR;
constexpr auto VECTOR = PUTIL_VCD_DECLARED_SIGNAL::VECTOR;

const DECLARATION_CASE DECLARATION_CASES[] = {
    {"range_in_the_index", "bus", "[3:0]", 4, false, {VECTOR, "bus", 3, 0, false, {{"bus[0]", 0}, {"bus[1]", 1},
     {"bus[2]", 2}, {"bus[3]", 3}}}, {VECTOR, "bus", 3, 0}},
    {"descending_from_above_zero", "v", "[5:4]", 2, false, {VECTOR, "v", 5, 4, false, {{"v[4]", 0}, {"v[5]", 1}}},
     {VECTOR, "v", 5, 4}},
    {"bit_select_is_a_scalar", "d", "[3]", 1, false, {SCALAR, "d[3]"}, {SCALAR, "d[3]"}},
    {"escaped_name", "\\a+b", "", 1, false, {SCALAR, "a+b"}, {SCALAR, "\\a+b"}},
    {"escaped_vector", "\\q", "[1:0]", 2, false, {VECTOR, "q", 1, 0}, {VECTOR, "\\q", 1, 0}},
    {"range_ending_the_reference", "bus[3:0]", "", 4, false, {VECTOR, "bus", 3, 0}, {SCALAR, "bus[3:0]"}},
    {"wide_without_a_range", "i", "", 32, true, {VECTOR, "i", 31, 0}, {VECTOR, "i", 31, 0}},
    {"wide_without_a_range_strict", "i", "", 32, false, {SCALAR, "i"}, {SCALAR, "i"}},
    {"wide_memory_word", "rf", "[3]", 8, true, {VECTOR, "rf[3]", 7, 0}, {SCALAR, "rf[3]"}},
    // The leftmost digit is the left index: d[1] of [1:4] is the fourth digit from the right.
    {"ascending_range", "d", "[1:4]", 4, true, {VECTOR, "d", 1, 4, false, {{"d[1]", 3}, {"d[2]", 2}, {"d[3]", 1},
     {"d[4]", 0}}}, {VECTOR, "d", 1, 4}},
    {"ascending_range_in_the_reference", "d[0:1]", "", 2, true, {VECTOR, "d", 0, 1, false, {{"d[0]", 1},
     {"d[1]", 0}}}, {VECTOR, "d[0:1]", 1, 0}},
    {"ascending_range_strict", "d", "[0:7]", 8, false, {NONE, "", 0, 0, true}, {NONE, "", 0, 0, true}},
    {"ascending_with_a_negative_bit", "d", "[-1:2]", 4, true, {NONE}, {NONE}},
    {"ascending_wider_than_any_signal", "d", "[0:1048576]", 2, true, {NONE}, {NONE}},
    {"negative_bit", "d", "[3:-1]", 5, false, {NONE}, {NONE}},
    {"bit_beyond_an_int", "d", "[2147483648:0]", 2, false, {NONE}, {NONE}},
    {"wider_than_any_signal", "d", "[1048576:0]", 2, false, {NONE}, {NONE}},
};
INSTANTIATE_TEST_SUITE_P(DECLARATIONS, DECLARED_SIGNAL_TEST, ::testing::ValuesIn(DECLARATION_CASES), row_name);

}  // namespace
