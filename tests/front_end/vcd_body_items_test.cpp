// Tests of the body-item recognisers that read the scanner's buffer in place, the line-feed count and the table of
// identifier codes.
#include <algorithm>
#include <random>

#include "host/host_test_fixture.h"
#include "putil_vcd_body_items.h"
#include "putil_vcd_code_table.h"

namespace {

// The items a cursor reads from the whole text, as "T:#1 S:1!/! V:b10/#" (kind, text, code; +N for N line steps
// before an item), then "|" and where it stopped: the rest of the text, its line steps and whether that is at a
// line start.
std::string read_items(const std::string& text, bool extended, bool line_start = true)
{
    PUTIL_VCD_BODY_CURSOR cursor(text.data(), text.data() + text.size(), line_start, extended);
    std::string shown;
    PUTIL_VCD_BODY_ITEM item;
    while (cursor.next(item)) {
        static const char KINDS[] = "-TSV";
        shown += std::string(1, KINDS[static_cast<int>(item.kind)]) + ":" + std::string(item.text);
        if (!item.code.empty())
            shown += "/" + std::string(item.code);
        if (item.line_steps != 0)
            shown += "+" + std::to_string(item.line_steps);
        shown += " ";
    }
    return shown + "|" + std::string(cursor.position()) + "+" + std::to_string(cursor.line_steps()) +
           (cursor.line_start() ? "^" : "");
}

struct CURSOR_CASE { const char* name; std::string text; const char* strict; const char* extended; };
void PrintTo(const CURSOR_CASE& row, std::ostream* out) { *out << row.name; }
class VCD_BODY_CURSOR_TEST : public testing::TestWithParam<CURSOR_CASE> {};

TEST_P(VCD_BODY_CURSOR_TEST, reads_what_the_rules_match_and_stops_before_the_rest)
{
    EXPECT_EQ(read_items(GetParam().text, false), GetParam().strict);
    EXPECT_EQ(read_items(GetParam().text, true), GetParam().extended);
}

// A run of line ends at the end of the text stays unread: more input could extend it.
const CURSOR_CASE CURSOR_CASES[] = {
    {"common_lines", "#10\n1!\nb1010 #\nB0 ab\n#11\n", "T:#10 S:1!/!+1 V:b1010/#+1 V:B0/ab+1 T:#11+1 |\n+0",
     "T:#10 S:1!/!+1 V:b1010/#+1 V:B0/ab+1 T:#11+1 |\n+0"},
    {"long_code_and_digits", "0abcdefghijklmnopq\nb101010101010101010101x0z1 }}}}}}}}}\n#123456789012345678901\nx",
     "S:0abcdefghijklmnopq/abcdefghijklmnopq V:b101010101010101010101x0z1/}}}}}}}}}+1 T:#123456789012345678901+1 |x+1^",
     "S:0abcdefghijklmnopq/abcdefghijklmnopq V:b101010101010101010101x0z1/}}}}}}}}}+1 T:#123456789012345678901+1 "
     "|x+1^"},
    {"crlf_blank_runs_trailing_blanks", "1!\r\n\r\n\n#5 \t\nb1\t \"\r\n#", "S:1!/! T:#5+1 V:b1/\"+1 |#+1^",
     "S:1!/! T:#5+1 V:b1/\"+1 |#+1^"},
    // After "\r" (or "\n\r") the next item is not at a line start: strict reading makes it a word.
    {"carriage_returns", "1!\r0!\n\r1!\n#", "S:1!/! |0!\n\r1!\n#+1", "S:1!/! S:0!/!+1 S:1!/!+1 |#+1^"},
    {"blanks_before_items", "  1!\n", "|1!\n+0", "S:1!/! |\n+0"},
    {"several_items_on_a_line", "#5 1! b1 # 0\"\n", "T:#5 |1! b1 # 0\"\n+0", "T:#5 S:1!/! V:b1/# S:0\"/\" |\n+0"},
    // A printable character after the digits makes the whole run one word.
    {"words", "b10!0 !\n", "|b10!0 !\n+0^", "|b10!0 !\n+0^"},
    {"timestamp_running_on", "#12x\n", "|#12x\n+0^", "|#12x\n+0^"},
    {"level_alone", "1\n", "|1\n+0^", "|1\n+0^"},
    {"vector_code_on_next_line", "b1\n!\n", "|b1\n!\n+0^", "|b1\n!\n+0^"},
    {"vector_without_blank", "b\n", "|b\n+0^", "|b\n+0^"},
    {"hash_alone", "# 1\n", "|# 1\n+0^", "|# 1\n+0^"},
    {"nine_levels", "u!\nbLH-W #\n", "|u!\nbLH-W #\n+0^", "S:u!/! V:bLH-W/#+1 |\n+0"},
    {"fractions", "#1.5\n#2.\n", "|#1.5\n#2.\n+0^", "T:#1.5 T:#2.+1 |\n+0"},
    {"fraction_running_on", "#1.5.\n", "|#1.5.\n+0^", "|#1.5.\n+0^"},
    {"commands_reals_strings_ports", "$end\n", "|$end\n+0^", "|$end\n+0^"},
    {"real_value", "r1 !\n", "|r1 !\n+0^", "|r1 !\n+0^"},
    {"string_value", "sidle !\n", "|sidle !\n+0^", "|sidle !\n+0^"},
    {"port_value", "pD 6 0 <0\n", "|pD 6 0 <0\n+0^", "|pD 6 0 <0\n+0^"},
    // An item needs the character after it before the end of the data.
    {"item_cut_by_the_end", "1!\n1!", "S:1!/! |1!+1^", "S:1!/! |1!+1^"},
    {"control_character_ends_a_code", "1!\x01\n", "S:1!/! |\x01\n+0", "S:1!/! |\x01\n+0"},
    {"high_byte_ends_a_code", "1!\xe9\n", "S:1!/! |\xe9\n+0", "S:1!/! |\xe9\n+0"},
};

INSTANTIATE_TEST_SUITE_P(BODY, VCD_BODY_CURSOR_TEST, testing::ValuesIn(CURSOR_CASES), row_name);

TEST(VCD_BODY_CURSOR, strict_items_need_a_line_start)
{
    EXPECT_EQ(read_items("1!\n", false, false), "|1!\n+0");
    EXPECT_EQ(read_items("1!\n", true, false), "S:1!/! |\n+0");
}

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
