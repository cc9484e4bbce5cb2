// The extended VCD syntax in scanner and grammar: handler calls per construct, remaining errors, strict input alike.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "putil_host.h"
#include "putil_vcd_lexer.h"
#include "putil_vcd_parser.h"
#include "vcd_recording_handler.h"

using STRINGS = std::vector<std::string>;

namespace {

std::string parse_error(int line) { return "222007: Parse error in VCD file test.vcd near line " + std::to_string(line); }

struct PARSE_RESULT {
    bool accepted;
    STRINGS calls;
    std::vector<VCD_DUMP_STATE> dump_states;
    STRINGS messages;
    VCD_RECORDING_HANDLER::STATE final_state;
};

class VCD_EXTENDED_SYNTAX : public testing::Test {
protected:
    void SetUp() override { host_set_message_stream(nullptr); }
    void TearDown() override { host_clear_settings(); }

    // Parses with a fresh scanner and handler, the extended syntax on or
    // off; afterwards the library holds no more blocks than before.
    PARSE_RESULT parse(const std::string& input, bool extended)
    {
        host_set_setting("putil_vcd_extended_syntax", extended ? "on" : "off");
        host_clear_posted_messages();
        const std::size_t live_before = host_memory_live_blocks("PUTIL");
        const std::size_t bad_frees_before = host_memory_bad_frees();
        std::istringstream stream(input);
        auto* scanner = PUTIL_NEW putil_vcd_lexer_yyFlexLexer(&stream, nullptr);
        auto* handler = PUTIL_NEW VCD_RECORDING_HANDLER(scanner, m_design.facade());
        PARSE_RESULT result{putil_vcd_parse(scanner, handler), {}, {}, {}, handler->state()};
        for (const VCD_SLOT_CALL& call : handler->calls()) {
            result.calls.push_back(call.text);
            result.dump_states.push_back(call.dump_state);
        }
        delete handler;
        delete scanner;
        EXPECT_EQ(host_memory_live_blocks("PUTIL"), live_before);
        EXPECT_EQ(host_memory_bad_frees(), bad_frees_before);
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            result.messages.push_back(std::to_string(message.id) + ": " + message.text);
        return result;
    }

    HOST_DESIGN m_design;
};

struct PARSE_CASE {
    const char* name;
    std::string input;
    bool accepted;
    STRINGS calls;
    STRINGS messages;
};

void PrintTo(const PARSE_CASE& parse_case, std::ostream* stream) { *stream << parse_case.name; }

class VCD_EXTENDED_SYNTAX_CASES : public VCD_EXTENDED_SYNTAX, public testing::WithParamInterface<PARSE_CASE> {};

TEST_P(VCD_EXTENDED_SYNTAX_CASES, call_the_handler_and_report)
{
    PARSE_RESULT result = parse(GetParam().input, true);
    EXPECT_EQ(result.accepted, GetParam().accepted);
    EXPECT_EQ(result.calls, GetParam().calls);
    EXPECT_EQ(result.messages, GetParam().messages);
}

std::string case_name(const testing::TestParamInfo<PARSE_CASE>& info) { return info.param.name; }

const PARSE_CASE ACCEPTED_CASES[] = {
    // The code after a real value is a word even when it looks like a change ("1!").
    {"values_anywhere_on_a_line", "$enddefinitions $end\n#5 0! U\" bLH-1 % sidle & s ' r1e-3 <0 rNaN 1! R-.5E+3 ( "
     "r0x1.8p3 ) rinf *\n#7.5\n", true, {"timestamp(#5)@2", "scalar(!,0!)@2", "scalar(\",U\")@2",
     "vector(%,bLH-1)@2", "real(<0,r1e-3)@2", "real(1!,rNaN)@2", "real((,R-.5E+3)@2", "real(),r0x1.8p3)@2",
     "real(*,rinf)@2", "timestamp(#7.5)@3"}, {}},
    {"declarations_of_any_kind", "$attrbegin misc 02 STD_LOGIC 1030 $end\n$scope vhdl_architecture a $end\n"
     "$var logic 8 ! v[7:0] $end\n$var string 0 \" s $end\n$attrend $end\n$upscope $end\n$scope module $end\n"
     "$scope interface $end\n$upscope $end\n$upscope $end\n$timescale 250 ps $end\n", true,
     {"var(logic,8,!,v[7:0],)@3", "var(string,0,\",s,)@4"}, {}},
    // Strength fields stay words whatever they begin with.
    {"port_of_several_bits", "$var port [13:0] <2 Z $end\n$enddefinitions $end\n#0\n"
     "pLLLLLLLLHLHHHL\t66666666060006\t00000000606660\t<2 pD 6 0 <2\n", true,
     {"var(port,14,<2,Z,[13:0])@1", "timestamp(#0)@3", "port(<2,pLLLLLLLLHLHHHL)@4", "port(<2,pD)@4"}, {}},
    {"dump_blocks_empty_cut_and_open", "$enddefinitions $end\n$dumpall $end\n#0\n$dumpvars\n1!\n#5\n$dumpon 0!\n",
     true, {"timestamp(#0)@3", "scalar(!,1!)@5", "timestamp(#5)@6", "scalar(!,0!)@7"}, {}},
    {"missing_enddefinitions", "$var wire 1 ! a $end\n1! #0\n", true,
     {"var(wire,1,!,a,)@1", "scalar(!,1!)@2", "timestamp(#0)@2"}, {}},
    {"vcdclose_time_is_no_body", "$var port 1 <0 a $end\n$vcdclose #9 $end\n#10\n", true,
     {"var(port,1,<0,a,)@1", "vcd_close(#9)@2", "timestamp(#10)@3"}, {}},
};
INSTANTIATE_TEST_SUITE_P(ACCEPTED, VCD_EXTENDED_SYNTAX_CASES, testing::ValuesIn(ACCEPTED_CASES), case_name);

// What is not VCD stays an error, at the line of the offending token.
const PARSE_CASE ERROR_CASES[] = {
    {"unknown_word", "$enddefinitions $end\n#1 ?x\n", false, {"timestamp(#1)@2"}, {parse_error(2)}},
    {"real_running_on", "$enddefinitions $end\n#0\nr1.5e3x !\n", false, {"timestamp(#0)@2"}, {parse_error(3)}},
    {"end_after_a_cut_dump_block", "$enddefinitions $end\n$dumpvars\n1!\n#5\n$end\n", false,
     {"scalar(!,1!)@3", "timestamp(#5)@4"}, {parse_error(5)}},
    {"declaration_in_the_body", "$var wire 1 ! a $end\n#0\n$var wire 1 \" b $end\n", false,
     {"var(wire,1,!,a,)@1", "timestamp(#0)@2"}, {parse_error(3)}},
    {"enddefinitions_in_the_body", "1!\n$enddefinitions $end\n", false, {"scalar(!,1!)@1"}, {parse_error(2)}},
    // The held-back timestamp is freed with the scanner.
    {"body_inside_a_command", "$scope module a $end\n$upscope\n#0\n", false, {}, {parse_error(3)}},
    {"port_of_size_four", "$var port 4 <0 a $end\n", false, {}, {parse_error(1)}},
    {"range_as_size_of_a_wire", "$var wire [3:0] ! a $end\n", false, {}, {parse_error(1)}},
    {"port_value_without_strengths", "$enddefinitions $end\npD <0", false, {}, {parse_error(2)}},
    {"timescale_zero", "$timescale\n0 ns $end\n", false, {}, {parse_error(2)}},
    {"control_character", "$enddefinitions $end\n#1\n\x02\n", false, {"timestamp(#1)@2"}, {parse_error(3)}},
    {"interface_in_evcd_file", "$var port 1 <0 a $end\n$scope interface i $end\n", false,
     {"var(port,1,<0,a,)@1"}, {"222010: EVCD file \"test.vcd\" has an invalid VCD command on line 2"}},
    {"string_in_evcd_file", "$var port 1 <0 a $end\n#0\nsidle <0\n", false, {"var(port,1,<0,a,)@1",
     "timestamp(#0)@2"}, {"222010: EVCD file \"test.vcd\" has an invalid VCD command on line 3"}},
    {"empty_port_dump_in_vcd_file", "$var wire 1 ! a $end\n$dumpports $end\n", false, {"var(wire,1,!,a,)@1"},
     {"222009: VCD file \"test.vcd\" has an invalid EVCD command on line 2"}},
};
INSTANTIATE_TEST_SUITE_P(ERROR, VCD_EXTENDED_SYNTAX_CASES, testing::ValuesIn(ERROR_CASES), case_name);

TEST_F(VCD_EXTENDED_SYNTAX, dump_blocks_end_before_a_timestamp_and_at_the_end_of_the_file)
{
    PARSE_RESULT result = parse(ACCEPTED_CASES[3].input, true);
    EXPECT_EQ(result.dump_states, (std::vector<VCD_DUMP_STATE>{VCD_DUMP_STATE_NONE, VCD_DUMP_STATE_INITIAL,
                                                               VCD_DUMP_STATE_NONE, VCD_DUMP_STATE_ON}));
    EXPECT_EQ(result.final_state.dump_state, VCD_DUMP_STATE_NONE);
    EXPECT_EQ(parse("$enddefinitions $end\n$dumpportsoff\n", true).final_state.file_kind, VCD_FILE_KIND_EVCD);
    EXPECT_EQ(parse(ACCEPTED_CASES[1].input, true).final_state.timescale_number, 250);
}

// Strict input, accepted or not: the same calls, lines, dump states and
// messages in both modes.
TEST_F(VCD_EXTENDED_SYNTAX, strict_input_is_read_alike_in_both_modes)
{
    const char* const inputs[] = {
        "$date d $end\n$timescale 10 ps $end\n$scope module top $end\n$scope begin b $end\n"
        "$var wire 8 # data [7:0] $end\n$var integer 32 <5 n [1][2] $end\n$upscope $end\n$upscope $end\n"
        "$enddefinitions $end\n#0\n$dumpvars\n1!\nb1010 %\nr0.5 <2\n$end\n#100\n$comment x $end\nx!\n$dumpoff\nx!\n"
        "$end\n#200\n$dumpon\nz!\n$end\n$dumpall\n0!\n$end\n",
        "$var port 1 <2 p $end\n$vcdclose\n#500 $end\n$enddefinitions\n$end\n#0\n$dumpports\npD 6 0 <2\n$end\n#1\n"
        "p1 0 6 <2\n$dumpportsall\npZ 0 0 <2\n$end\n",
        "\n\n$enddefinitions $end\r\n\r\n#1\r\n1!\r\nB0xZ <7\r\n",
        "$var wire 1 ! a $end\n$scope module a $end\n$upscope $end\n$upscope $end\n",
        "$scope module $end\n$end\n$var wire 1 ! a $end\n$upscope $end\n"};
    for (const char* input : inputs) {
        PARSE_RESULT strict = parse(input, false);
        PARSE_RESULT extended = parse(input, true);
        EXPECT_FALSE(strict.calls.empty()) << input;
        EXPECT_EQ(extended.accepted, strict.accepted) << input;
        EXPECT_EQ(extended.calls, strict.calls) << input;
        EXPECT_EQ(extended.dump_states, strict.dump_states) << input;
        EXPECT_EQ(extended.messages, strict.messages) << input;
    }
}

} // namespace
