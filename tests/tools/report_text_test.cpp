// CSV fields of the reports: a name that would end its field or its row is
// quoted, as RFC 4180 reads it back.
#include <gtest/gtest.h>

#include "putil_report_text.h"

namespace {

TEST(CSV_FIELD, quotes_names_that_would_split_a_field_or_a_row)
{
    const struct { const char* name; const char* field; } cases[] = {
        {"top|cnt[0]", "top|cnt[0]"},
        {"top|a,b", "\"top|a,b\""},
        {"top|q\"x", "\"top|q\"\"x\""},
        {"top|two\nlines", "\"top|two\nlines\""},
        {"top|cr\r", "\"top|cr\r\""},
    };
    for (const auto& row : cases)
        EXPECT_EQ(putil_csv_field(row.name), row.field) << row.name;
}

}  // namespace
