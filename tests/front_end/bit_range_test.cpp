// Reading of "[msb:lsb]" bit ranges: exact form, int limits, numbers past 64 bits.
#include <climits>

#include <gtest/gtest.h>

#include "vcd/putil_bit_range.h"

namespace {

struct BIT_RANGE_CASE { const char* text; PUTIL_BIT_RANGE_READ read; int msb, lsb; };
void PrintTo(const BIT_RANGE_CASE& row, std::ostream* out) { *out << row.text; }
class BIT_RANGE_TEST : public ::testing::TestWithParam<BIT_RANGE_CASE> {};

// msb and lsb start at -7 and keep it unless the range reads.
TEST_P(BIT_RANGE_TEST, reads_exactly_one_range_of_int_bit_numbers)
{
    int msb = -7, lsb = -7;
    EXPECT_EQ(putil_read_bit_range(GetParam().text, &msb, &lsb), GetParam().read);
    EXPECT_EQ(msb, GetParam().msb);
    EXPECT_EQ(lsb, GetParam().lsb);
}

const BIT_RANGE_CASE BIT_RANGE_CASES[] = {
    {"[7:0]", PUTIL_BIT_RANGE_OK, 7, 0},
    {"[2147483647:-2147483648]", PUTIL_BIT_RANGE_OK, INT_MAX, INT_MIN},
    {"[2147483648:0]", PUTIL_BIT_RANGE_OUT_OF_RANGE, -7, -7},
    {"[0:-2147483649]", PUTIL_BIT_RANGE_OUT_OF_RANGE, -7, -7},
    {"[99999999999999999999:0]", PUTIL_BIT_RANGE_OUT_OF_RANGE, -7, -7},
    {"[7-0]", PUTIL_BIT_RANGE_MALFORMED, -7, -7},
    {"[+7:0]", PUTIL_BIT_RANGE_MALFORMED, -7, -7},
    {"[7:0]x", PUTIL_BIT_RANGE_MALFORMED, -7, -7},
    {"[3][4]", PUTIL_BIT_RANGE_MALFORMED, -7, -7},
};

INSTANTIATE_TEST_SUITE_P(TEXTS, BIT_RANGE_TEST, ::testing::ValuesIn(BIT_RANGE_CASES));

}  // namespace
