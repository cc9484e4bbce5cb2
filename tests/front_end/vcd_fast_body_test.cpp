// The scanner's fast body path against its rules: every snippet is parsed with "putil_vcd_fast_body" off and on, in
// strict and extended syntax, and must give the same handler calls (with their line numbers and dump states), the
// same messages and the same result, also when a handler slot refuses.
#include "vcd_recording_handler.h"

using namespace std::string_literals;

namespace {

// Counts the body items that the scanner hands over as texts; the default slots pass them on as copies.
class TEXT_COUNTING_HANDLER : public VCD_RECORDING_HANDLER {
public:
    using VCD_RECORDING_HANDLER::VCD_RECORDING_HANDLER;
    bool handle_timestamp_text(std::string_view text) override
    {
        ++texts;
        return VCD_RECORDING_HANDLER::handle_timestamp_text(text);
    }
    bool handle_scalar_value_change_text(std::string_view text) override
    {
        ++texts;
        return VCD_RECORDING_HANDLER::handle_scalar_value_change_text(text);
    }
    bool handle_vector_value_change_text(std::string_view code, std::string_view value) override
    {
        ++texts;
        return VCD_RECORDING_HANDLER::handle_vector_value_change_text(code, value);
    }
    int texts = 0;
};

struct FAST_PARSE { VCD_PARSE_RESULT result; int texts; };

class VCD_FAST_BODY : public VCD_PARSE_TEST {
protected:
    FAST_PARSE parse_with(const std::string& input, bool fast, bool extended, const std::string& refused_slot)
    {
        host_set_setting("putil_vcd_fast_body", fast ? "on" : "off");
        host_set_setting("putil_vcd_extended_syntax", extended ? "on" : "off");
        host_clear_posted_messages();
        std::istringstream stream(input);
        auto* scanner = PUTIL_NEW putil_vcd_lexer_yyFlexLexer(&stream, nullptr);
        auto* handler = PUTIL_NEW TEXT_COUNTING_HANDLER(scanner, m_design.facade(), refused_slot);
        FAST_PARSE parse{{putil_vcd_parse(scanner, handler), handler->calls, handler->dump_states, handler->file_kind(),
                          handler->dump_state(), {}},
                         handler->texts};
        delete handler;
        delete scanner;
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            parse.result.messages.push_back(std::to_string(message.id) + ": " + message.text);
        return parse;
    }

    // Parses both ways in both syntaxes, and with each slot refusing unless only_accepting; answers the items handed
    // over as texts.
    int expect_same_parse(const std::string& input, bool only_accepting = false)
    {
        int texts = 0;
        for (bool extended : {false, true}) {
            for (const char* refused : {"", "timestamp", "scalar", "vector"}) {
                if (only_accepting && refused[0] != '\0')
                    continue;
                SCOPED_TRACE(std::string(extended ? "extended" : "strict") + " refusing " + refused);
                const FAST_PARSE slow = parse_with(input, false, extended, refused);
                const FAST_PARSE fast = parse_with(input, true, extended, refused);
                EXPECT_EQ(slow.texts, 0);
                EXPECT_EQ(fast.result.accepted, slow.result.accepted);
                EXPECT_EQ(fast.result.calls, slow.result.calls);
                EXPECT_EQ(fast.result.dump_states, slow.result.dump_states);
                EXPECT_EQ(fast.result.file_kind, slow.result.file_kind);
                EXPECT_EQ(fast.result.final_dump_state, slow.result.final_dump_state);
                EXPECT_EQ(fast.result.messages, slow.result.messages);
                texts += fast.texts;
            }
        }
        return texts;
    }
};

const std::string DECLARATIONS = "$var wire 1 ! a $end\n$var wire 4 # v [3:0] $end\n$enddefinitions $end\n";

// texts: whether the fast path takes any item of the snippet.
struct FAST_CASE { const char* name; std::string input; bool texts; };
void PrintTo(const FAST_CASE& row, std::ostream* out) { *out << row.name; }
class VCD_FAST_BODY_CASES : public VCD_FAST_BODY, public testing::WithParamInterface<FAST_CASE> {};

TEST_P(VCD_FAST_BODY_CASES, gives_the_calls_and_messages_of_the_rules)
{
    EXPECT_EQ(expect_same_parse(GetParam().input) > 0, GetParam().texts);
}

const FAST_CASE FAST_CASES[] = {
    {"common_lines", DECLARATIONS + "#0\n1!\nb1010 #\n#10\n0!\nbx #\nZ!\nB1z #\n#20\n", true},
    {"crlf_blank_runs_trailing_blanks", DECLARATIONS + "#0\r\n\r\n1!\t\n\n\nb1 # \r\n#5 \n", true},
    {"carriage_returns", DECLARATIONS + "#0\r1!\n\r0!\n#5\n", true},
    {"blanks_before_items", DECLARATIONS + "#0\n  1!\n\tb1 #\n", true},
    {"several_items_on_a_line", DECLARATIONS + "#5 1! b10 # 0!\n#6\n", true},
    {"words", DECLARATIONS + "#0\nb10!0 !\n", true},
    {"timestamp_running_on", DECLARATIONS + "#0\n#12x\n", true},
    {"level_alone", DECLARATIONS + "#0\n1\n", true},
    {"vector_code_on_next_line", DECLARATIONS + "#0\nb1\n#\n1!\n", true},
    {"timestamps", DECLARATIONS + "#000123\n#12345678901234567890123\n#12.5\n#7.\n1!\n", true},
    {"nine_levels_reals_strings", DECLARATIONS + "#0\nu!\nh!\nbLH-W #\nr1.5 !\nsidle #\n1!\n", true},
    {"dump_blocks", DECLARATIONS + "#0\n$dumpvars\n1!\nb1 #\n$end\n#5\n$dumpoff\nx!\n$end\n#6\n$dumpon\n0!\n$end\n"
     "$dumpall\n1!\n$end\n1!\n", true},
    {"dump_block_open_at_a_timestamp", DECLARATIONS + "#0\n$dumpvars\n1!\n#5\n0!\n", true},
    {"comment_in_the_body", DECLARATIONS + "#1\n$comment c\n$end\n1!\n", true},
    {"no_enddefinitions", "$var wire 1 ! a $end\n#0\n1!\n#1\n0!\n", true},
    {"vcdclose_in_the_body", DECLARATIONS + "#0\n$vcdclose\n#5\n$end\n1!\n", true},
    {"port_change_in_a_vcd_file", DECLARATIONS + "#0\n1!\npD 6 0 <0\n0!\n", true},
    {"vcd_change_in_an_evcd_file", "$var port 1 <0 p $end\n$enddefinitions $end\n#0\npD 6 0 <0\n#1\n1!\n", true},
    {"end_of_file_inside_a_line", DECLARATIONS + "#0\n1!\n0!", true},
    {"control_and_high_bytes", DECLARATIONS + "#0\n1!\x01\n#1\n0!\xe9\n", true},
    {"nul_byte", DECLARATIONS + "#0\n1!\0\n"s, true},
    {"declarations_only", DECLARATIONS, false},
};

INSTANTIATE_TEST_SUITE_P(SNIPPETS, VCD_FAST_BODY_CASES, testing::ValuesIn(FAST_CASES), row_name);

// Long bodies whose lines fall on both sides of the 131072-byte blocks the scanner reads, at every offset within
// a line: a comment of 0 to 15 characters shifts them.
TEST_F(VCD_FAST_BODY, lines_across_block_ends)
{
    const std::string lines[] = {"1!\n", "b1010 #\n", "#123456\n", "0!\r\n", "b0 #\n\n", "Z!  \n"};
    std::string body;
    for (int i = 0; body.size() < 2 * 131072 + 4096; ++i)
        body += lines[i % 6] + (i % 97 == 0 ? "#" + std::to_string(1000000 + i) + "\n" : "");
    for (int shift = 0; shift < 16; ++shift) {
        SCOPED_TRACE(shift);
        EXPECT_GT(expect_same_parse(DECLARATIONS + "$comment " + std::string(shift, 'c') + " $end\n" + body, true), 0);
    }
}

}  // namespace
