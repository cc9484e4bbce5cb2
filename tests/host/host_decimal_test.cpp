// The decimal numbers of options and files: the forms users write are read,
// anything a C library would also take (hexadecimal, inf, nan, trailing
// text, values beyond a double) is refused.
#include <gtest/gtest.h>

#include "host_decimal.h"

namespace {

TEST(HOST_DECIMAL, reads_decimal_forms_and_refuses_the_rest)
{
    const struct { const char* text; bool read; double value; } cases[] = {
        {"12", true, 12.0},        {"-0.5", true, -0.5},     {"+3", true, 3.0},      {".25", true, 0.25},
        {"5.", true, 5.0},         {"1.5e-12", true, 1.5e-12}, {"2E+3", true, 2000.0}, {"1e-320", true, 1e-320},
        {"", false, 0},            {".", false, 0},          {"-", false, 0},        {"0x10", false, 0},
        {"inf", false, 0},         {"nan", false, 0},        {"1e400", false, 0},    {"1e", false, 0},
        {"1 ", false, 0},          {" 1", false, 0},         {"1,5", false, 0},      {"e5", false, 0},
    };
    for (const auto& row : cases) {
        double value = -1.0;
        EXPECT_EQ(host_read_decimal(row.text, value), row.read) << row.text;
        if (row.read) {
            EXPECT_EQ(value, row.value) << row.text;
        }
    }
    EXPECT_TRUE(host_is_decimal_form("1e400"));
}

}  // namespace
