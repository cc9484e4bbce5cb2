// Tests of the VCD scanner: tokens, values and line steps of its rules, its block reads, its fatal input error and its
// memory use. Declarations the grammar test reads whole are not repeated here.
#include "host/host_test_fixture.h"
#include "vcd/putil_vcd_lexer.h"
#include "vcd/putil_vcd_parser_event_handler.h"
#include "vcd/putil_vcd_parser_tokens.h"

using namespace std::string_literals;

namespace {

const char* const TOKEN_NAMES[] = {
    "TIME_NUMBER", "SIZE_ONE", "SIZE_NUMBER", "ERROR_TEXT", "TIMESTAMP", "VECTOR_VALUE", "REAL_VALUE", "SCALAR_CHANGE",
    "PORT_VALUE", "PORT_CODE", "WORD", "SCOPE_MODULE", "SCOPE_OTHER", "SCOPE_IDENTIFIER", "TIME_UNIT", "VAR_KIND_WORD",
    "PORT_KIND", "BIT_INDEX", "RANGE_INDEX", "DECL_PORT_CODE", "DECL_WORD", "ENDDEFINITIONS", "UPSCOPE", "VCDCLOSE",
    "SCOPE", "TIMESCALE", "VAR", "DUMPALL", "DUMPON", "DUMPOFF", "DUMPVARS", "DUMPPORTSALL", "DUMPPORTSON",
    "DUMPPORTSOFF", "DUMPPORTS", "END"};

// NAME, NAME=number or NAME:text with bytes outside 33..126 as \xNN; frees the text.
std::string render(int code, PUTIL_VCD_SEMANTIC_VALUE* value)
{
    std::string shown = TOKEN_NAMES[code - TIME_NUMBER];
    if (code == TIME_NUMBER || code == SIZE_ONE || code == SIZE_NUMBER)
        return shown + "=" + std::to_string(value->first.number);
    if (code >= ENDDEFINITIONS)
        return shown;
    shown += value->first.text[0] == '\0' ? ":\\x00" : ":";
    char escaped[8];
    for (const char* text = value->first.text; *text != '\0'; ++text) {
        const unsigned char byte = static_cast<unsigned char>(*text);
        std::snprintf(escaped, sizeof escaped, (byte >= 33 && byte <= 126) ? "%c" : "\\x%02x", byte);
        shown += escaped;
    }
    putil_free_text(value->first.text);
    return shown;
}

struct SCAN_RESULT { std::string tokens; std::uint64_t lines; };

// Scans the whole input; once the scanner is deleted, the library holds no more blocks than before.
SCAN_RESULT scan(std::istream& stream)
{
    const std::size_t live_before = host_memory_live_blocks("PUTIL");
    SCAN_RESULT result{"", 0};
    {
        putil_vcd_lexer_yyFlexLexer scanner(&stream, nullptr);
        PUTIL_VCD_SEMANTIC_VALUE value{};
        for (int code = scanner.yylex(&value); code != 0; code = scanner.yylex(&value))
            result.tokens += (result.tokens.empty() ? "" : " ") + render(code, &value);
        result.lines = scanner.get_line_number();
    }
    EXPECT_EQ(host_memory_live_blocks("PUTIL"), live_before);
    return result;
}

struct SCAN_CASE { const char* name; std::string input; const char* tokens; std::uint64_t lines; };
void PrintTo(const SCAN_CASE& scan_case, std::ostream* stream) { *stream << scan_case.name; }
class VCD_LEXER_TOKENS : public testing::TestWithParam<SCAN_CASE> {};

TEST_P(VCD_LEXER_TOKENS, text_values_and_line_steps)
{
    std::istringstream stream(GetParam().input);
    const SCAN_RESULT result = scan(stream);
    EXPECT_EQ(result.tokens, GetParam().tokens);
    EXPECT_EQ(result.lines, GetParam().lines);
}

const SCAN_CASE SCAN_CASES[] = {
    {"keywords", "$enddefinitions $upscope $vcdclose $dumpall $dumpon $dumpoff $dumpvars $dumpportsall $dumpportson "
     "$dumpportsoff $dumpports $end", "ENDDEFINITIONS UPSCOPE VCDCLOSE DUMPALL DUMPON DUMPOFF DUMPVARS DUMPPORTSALL "
     "DUMPPORTSON DUMPPORTSOFF DUMPPORTS END", 1},
    {"keyword_run_on_is_word", "$endx $dumpon1 $comment$x", "WORD:$endx WORD:$dumpon1 WORD:$comment$x", 1},
    {"comment_date_version_skipped", "$comment #1 $var\n\n x $end$date\r\nMay $end $version v1\n$end\n#5",
     "TIMESTAMP:#5", 5},
    {"comment_skips_any_byte", "$comment a$b \0\x80\xff $en $endx"s, "WORD:x", 1},
    {"timescale", "$timescale 1ns $end $timescale 10 ps 100 s fs ms us 1000 $end", "TIMESCALE TIME_NUMBER=1 "
     "TIME_UNIT:ns END TIMESCALE TIME_NUMBER=10 TIME_UNIT:ps TIME_NUMBER=100 TIME_UNIT:s TIME_UNIT:fs TIME_UNIT:ms "
     "TIME_UNIT:us TIME_NUMBER=100 ERROR_TEXT:0 END", 1},
    {"scope", "$scope module top $end $scope task t fork f $end $scope 7", "SCOPE SCOPE_MODULE:module "
     "SCOPE_IDENTIFIER:top END SCOPE SCOPE_OTHER:task SCOPE_IDENTIFIER:t SCOPE_OTHER:fork SCOPE_IDENTIFIER:f END "
     "SCOPE ERROR_TEXT:7", 1},
    {"var_glued_index", "$var trireg 04 % bus[3:0] $end", "VAR VAR_KIND_WORD:trireg SIZE_NUMBER=4 DECL_WORD:% "
     "DECL_WORD:bus[3:0] END", 1},
    {"var_port_codes", "$var tri0 1 <12 <3x [-5] $end", "VAR VAR_KIND_WORD:tri0 SIZE_ONE=1 DECL_PORT_CODE:<12 "
     "DECL_WORD:<3x BIT_INDEX:[-5] END", 1},
    {"var_dimensions", "$var wor 99999999999 a b [1][-2] $end $var wand 2 c <4 [1][2][3] $end", "VAR "
     "VAR_KIND_WORD:wor SIZE_NUMBER=2147483647 DECL_WORD:a DECL_WORD:b RANGE_INDEX:[1][-2] END VAR VAR_KIND_WORD:wand "
     "SIZE_NUMBER=2 DECL_WORD:c DECL_PORT_CODE:<4 RANGE_INDEX:[1][2][3] END", 1},
    {"var_kind_run_on", "$var wirex 1", "VAR VAR_KIND_WORD:wire ERROR_TEXT:x SIZE_ONE=1", 1},
    {"declaration_across_lines", "$var\nreal\r\n1 a\n\nb\n$end", "VAR VAR_KIND_WORD:real SIZE_ONE=1 DECL_WORD:a "
     "DECL_WORD:b END", 5},
    {"values_at_line_start", "#100\n1!\nb1010 %\nr0.5 <2\npD 6 0 <2\nZ#\nB0xZ\n<7", "TIMESTAMP:#100 "
     "SCALAR_CHANGE:1! VECTOR_VALUE:b1010 WORD:% REAL_VALUE:r0.5 PORT_CODE:<2 PORT_VALUE:pD WORD:6 WORD:0 "
     "PORT_CODE:<2 SCALAR_CHANGE:Z# VECTOR_VALUE:B0xZ WORD:<7", 8},
    {"real_forms", "R-12.\nr3\nr1.5e3\nr.5", "REAL_VALUE:R-12. REAL_VALUE:r3 WORD:r1.5e3 WORD:r.5", 4},
    {"port_states", "p0\np?\npu\npDD\npE", "PORT_VALUE:p0 PORT_VALUE:p? PORT_VALUE:pu WORD:pDD WORD:pE", 5},
    {"values_not_at_line_start", "  #100 1! b1 r1 pD", "WORD:#100 WORD:1! WORD:b1 WORD:r1 WORD:pD", 1},
    {"values_running_on", "b01!\n#12x", "WORD:b01! WORD:#12x", 2},
    {"control_nul_high_bytes", "\x01#1\x7f\0\x80\n\xff"s, "ERROR_TEXT:\\x01 WORD:#1 ERROR_TEXT:\\x7f "
     "ERROR_TEXT:\\x00 ERROR_TEXT:\\x80 ERROR_TEXT:\\xff", 2},
    {"bytes_inside_commands", "$scope module \0 $var \x80"s, "SCOPE SCOPE_MODULE:module ERROR_TEXT:\\x00 "
     "SCOPE_IDENTIFIER:$var ERROR_TEXT:\\x80", 1},
    {"crlf_ends", "#1\r\n#2\r\n\r\n#3", "TIMESTAMP:#1 TIMESTAMP:#2 TIMESTAMP:#3", 3},
    {"cr_only_ends", "#1\r1!\r#2", "TIMESTAMP:#1 WORD:1! WORD:#2", 3},
    {"lf_cr_ends", "\n\r#1\n\n\n#2", "WORD:#1 TIMESTAMP:#2", 3},
};

INSTANTIATE_TEST_SUITE_P(VCD, VCD_LEXER_TOKENS, testing::ValuesIn(SCAN_CASES), row_name);

// Records how much each read of the scanner asks for.
class COUNTING_BUFFER : public std::stringbuf {
public:
    explicit COUNTING_BUFFER(const std::string& text) : std::stringbuf(text, std::ios::in) {}
    std::vector<std::streamsize> requests;

protected:
    std::streamsize xsgetn(char* buffer, std::streamsize count) override
    {
        requests.push_back(count);
        return std::stringbuf::xsgetn(buffer, count);
    }
};

TEST(VCD_LEXER, reads_blocks_of_at_most_131072_bytes_and_keeps_tokens_whole)
{
    const std::string word(300000, 'w');   // longer than a block, still one token
    std::istringstream long_tokens("#1 " + word + "\n$comment " + word + " $end #2");
    EXPECT_EQ(scan(long_tokens).tokens, "TIMESTAMP:#1 WORD:" + word + " WORD:#2");
    std::string input, expected;
    for (int i = 0; i < 100000; ++i) {
        input += (i % 2 ? "1!\n" : "b10 %\n");
        expected += (i == 0 ? "" : " ") + std::string(i % 2 ? "SCALAR_CHANGE:1!" : "VECTOR_VALUE:b10 WORD:%");
    }
    COUNTING_BUFFER buffer(input);
    std::istream stream(&buffer);
    const SCAN_RESULT result = scan(stream);
    EXPECT_EQ(result.tokens, expected);
    EXPECT_EQ(result.lines, 100001u);
    // Four blocks of text, then one read that finds the end: a short read
    // is what a stream has so far, not its end.
    ASSERT_EQ(buffer.requests.size(), 5u);
    for (std::size_t i = 0; i < buffer.requests.size(); ++i) {
        EXPECT_LE(buffer.requests[i], 131072);
        if (i < 4) {
            EXPECT_GE(buffer.requests[i], 131000);
        }
    }
}

// A bad stream is flex's fatal condition, reported as an internal error so that the host survives it.
TEST(VCD_LEXER, failed_stream_ends_input_and_bad_stream_is_an_internal_error)
{
    std::istringstream failed("#1 #2");
    failed.setstate(std::ios::failbit);
    EXPECT_EQ(scan(failed).tokens, "");
    std::istringstream bad("#1");
    bad.setstate(std::ios::badbit);
    host_set_message_stream(nullptr);
    try {
        scan(bad);
        ADD_FAILURE() << "a bad stream was scanned";
    } catch (const HOST_INTERNAL_ERROR& error) {
        EXPECT_EQ(error.expression, "input in flex scanner failed");
    }
    host_set_message_stream(&std::cerr);
}

} // namespace
