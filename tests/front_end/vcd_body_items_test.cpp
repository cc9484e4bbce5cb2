// Tests of the line-feed count and the table of identifier codes of the fast body path; its recognisers are tested
// against the scanner's rules in vcd_fast_body_test.cpp.
#include <algorithm>
#include <random>

#include "host/host_test_fixture.h"
#include "vcd/putil_vcd_body_items.h"
#include "vcd/putil_vcd_code_table.h"

namespace {

// Every length and alignment, with the bytes a word-at-a-time count could confuse with '\n' (0x0a): 0x8a, 0x0b,
// 0x09, 0x00, 0xff.
TEST(VCD_LINE_FEEDS, count_as_a_byte_by_byte_count)
{
    std::mt19937 random(7);
    const char bytes[] = {'\n', '\n', '\x8a', '\x0b', '\x09', '\0', '\xff', 'a'};
    std::string text(300, ' ');
    for (char& c : text)
        c = bytes[random() % sizeof bytes];
    for (std::size_t start = 0; start < 9; ++start) {
        for (std::size_t length = 0; start + length <= text.size(); length += 7) {
            const std::uint64_t expected = std::count(text.begin() + start, text.begin() + start + length, '\n');
            ASSERT_EQ(putil_count_line_feeds(text.data() + start, length), expected) << start << " " << length;
        }
    }
    // Runs of line feeds long enough to fill byte-wide counters many times over.
    const std::string feeds(10000, '\n');
    for (std::size_t length : {4079, 4080, 4081, 8160, 10000})
        EXPECT_EQ(putil_count_line_feeds(feeds.data(), length), length);
}

// Codes in the writers' sequence, first or last character counting fastest, and codes outside it.
std::vector<std::string> sequence(int count, bool first_fastest)
{
    std::vector<std::string> codes;
    for (int index = 0; index < count; ++index) {
        std::string code;
        for (int rest = index;; rest = rest / 94 - 1) {
            code += static_cast<char>(33 + rest % 94);
            if (rest < 94)
                break;
        }
        if (!first_fastest)
            std::reverse(code.begin(), code.end());
        codes.push_back(code);
    }
    return codes;
}

struct CODE_TABLE_CASE { const char* name; std::vector<std::string> codes; };
void PrintTo(const CODE_TABLE_CASE& row, std::ostream* out) { *out << row.name; }
class VCD_CODE_TABLE_TEST : public testing::TestWithParam<CODE_TABLE_CASE> {};

TEST_P(VCD_CODE_TABLE_TEST, finds_every_code_and_nothing_else)
{
    const std::vector<std::string>& codes = GetParam().codes;
    PUTIL_VECTOR<PUTIL_VCD_CODE_VALUE> entries;
    for (std::size_t i = 0; i < codes.size(); ++i)
        entries.push_back(PUTIL_VCD_CODE_VALUE{codes[i], static_cast<std::uint32_t>(1000 + i)});
    PUTIL_VCD_CODE_TABLE table;
    table.build(entries);
    for (std::size_t i = 0; i < codes.size(); ++i)
        ASSERT_EQ(table.find(codes[i]), 1000 + i) << codes[i];
    for (const std::string& other : sequence(20000, true)) {
        const bool declared = std::find(codes.begin(), codes.end(), other) != codes.end();
        ASSERT_TRUE(declared || table.find(other) == PUTIL_VCD_CODE_TABLE::s_absent) << other;
    }
    for (const char* other : {"", "n19", "n1900", "abcdefg", " ", "\x7f", "~~~~~"})
        EXPECT_EQ(table.find(other), PUTIL_VCD_CODE_TABLE::s_absent) << other;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const CODE_TABLE_CASE CODE_TABLE_CASES[] = {
    {"first_character_fastest", sequence(9000, true)},
    {"last_character_fastest", sequence(9000, false)},
    {"every_other_code", [] {
         std::vector<std::string> codes = sequence(2000, true);
         for (std::size_t i = 0; i < codes.size(); i += 2)
             codes[i / 2] = codes[i];
         codes.resize(1000);
         return codes;
     }()},
    {"named_codes", {"n190", "n191", "n1", "abcdefgh", "<12", "!\"#$%"}},
    {"sequence_and_named_codes", joined(sequence(300, true), {"n190", "zzzzzz", "~~~~"})},
    {"one_code", {"~"}},
    {"none", {}},
};

INSTANTIATE_TEST_SUITE_P(CODES, VCD_CODE_TABLE_TEST, testing::ValuesIn(CODE_TABLE_CASES), row_name);

}  // namespace
