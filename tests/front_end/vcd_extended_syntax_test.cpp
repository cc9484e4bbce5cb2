// The extended VCD syntax in scanner and grammar: handler calls per construct and the errors that remain. Declarations
// of any kind, attributes and unnamed scopes are read through the files of tests/data/extended.
#include "vcd_recording_handler.h"

namespace {

using VCD_EXTENDED_SYNTAX = VCD_PARSE_TEST;
using VCD_EXTENDED_SYNTAX_CASES = VCD_PARSE_CASES;

TEST_P(VCD_EXTENDED_SYNTAX_CASES, call_the_handler_and_report) { expect_parse(GetParam(), true); }

const VCD_PARSE_CASE ACCEPTED_CASES[] = {
    // The code after a real value is a word even when it looks like a change ("1!").
    {"values_anywhere_on_a_line", "$enddefinitions $end\n#5 0! U\" bLH-1 % sidle & s ' r1e-3 <0 rNaN 1! R-.5E+3 ( "
     "r0x1.8p3 ) rinf *\n#7.5\n", true, {"timestamp(#5)@2", "scalar(!,0!)@2", "scalar(\",U\")@2",
     "vector(%,bLH-1)@2", "real(<0,r1e-3)@2", "real(1!,rNaN)@2", "real((,R-.5E+3)@2", "real(),r0x1.8p3)@2",
     "real(*,rinf)@2", "timestamp(#7.5)@3"}, {}},
    // Strength fields stay words whatever they begin with.
    {"port_of_several_bits", "$var port [13:0] <2 Z $end\n$enddefinitions $end\n#0\n"
     "pLLLLLLLLHLHHHL\t66666666060006\t00000000606660\t<2 pD 6 0 <2\n", true,
     {"var(port,14,<2,Z,[13:0])@1", "timestamp(#0)@3", "port(<2,pLLLLLLLLHLHHHL)@4", "port(<2,pD)@4"}, {}},
    {"dump_blocks_empty_cut_and_open", "$enddefinitions $end\n$dumpall $end\n#0\n$dumpvars\n1!\n#5\n$dumpon 0!\n",
     true, {"timestamp(#0)@3", "scalar(!,1!)@5", "timestamp(#5)@6", "scalar(!,0!)@7"}, {}},
    {"vcdclose_time_is_no_body", "$var port 1 <0 a $end\n$vcdclose #9 $end\n#10\n", true,
     {"var(port,1,<0,a,)@1", "vcd_close(#9)@2", "timestamp(#10)@3"}, {}},
    // Widths and bit numbers beyond an int saturate at its limits; ascending ranges keep their negative width.
    {"port_widths_beyond_an_int", "$var port [2147483647:-2147483648] <0 a $end\n$var port [-2147483648:2147483647] "
     "<1 b $end\n$var port [99999999999999999999:0] <2 c $end\n$var port [0:7] <3 d $end\n", true,
     {"var(port,2147483647,<0,a,[2147483647:-2147483648])@1", "var(port,-2147483648,<1,b,[-2147483648:2147483647])@2",
      "var(port,2147483647,<2,c,[99999999999999999999:0])@3", "var(port,-6,<3,d,[0:7])@4"}, {}},
};
INSTANTIATE_TEST_SUITE_P(ACCEPTED, VCD_EXTENDED_SYNTAX_CASES, testing::ValuesIn(ACCEPTED_CASES), row_name);

// What is not VCD stays an error, at the line of the offending token.
const VCD_PARSE_CASE ERROR_CASES[] = {
    {"unknown_word", "$enddefinitions $end\n#1 ?x\n", false, {"timestamp(#1)@2"}, {vcd_message(222007, 2)}},
    {"real_running_on", "$enddefinitions $end\n#0\nr1.5e3x !\n", false, {"timestamp(#0)@2"}, {vcd_message(222007, 3)}},
    {"end_after_a_cut_dump_block", "$enddefinitions $end\n$dumpvars\n1!\n#5\n$end\n", false,
     {"scalar(!,1!)@3", "timestamp(#5)@4"}, {vcd_message(222007, 5)}},
    {"declaration_in_the_body", "$var wire 1 ! a $end\n#0\n$var wire 1 \" b $end\n", false,
     {"var(wire,1,!,a,)@1", "timestamp(#0)@2"}, {vcd_message(222007, 3)}},
    {"enddefinitions_in_the_body", "1!\n$enddefinitions $end\n", false, {"scalar(!,1!)@1"}, {vcd_message(222007, 2)}},
    // The held-back timestamp is freed with the scanner.
    {"body_inside_a_command", "$scope module a $end\n$upscope\n#0\n", false, {}, {vcd_message(222007, 3)}},
    {"port_of_size_four", "$var port 4 <0 a $end\n", false, {}, {vcd_message(222007, 1)}},
    {"range_as_size_of_a_wire", "$var wire [3:0] ! a $end\n", false, {}, {vcd_message(222007, 1)}},
    {"port_value_without_strengths", "$enddefinitions $end\npD <0", false, {}, {vcd_message(222007, 2)}},
    {"timescale_zero", "$timescale\n0 ns $end\n", false, {}, {vcd_message(222007, 2)}},
    {"control_character", "$enddefinitions $end\n#1\n\x02\n", false, {"timestamp(#1)@2"}, {vcd_message(222007, 3)}},
    {"interface_in_evcd_file", "$var port 1 <0 a $end\n$scope interface i $end\n", false,
     {"var(port,1,<0,a,)@1"}, {vcd_message(222010, 2)}},
    {"string_in_evcd_file", "$var port 1 <0 a $end\n#0\nsidle <0\n", false, {"var(port,1,<0,a,)@1",
     "timestamp(#0)@2"}, {vcd_message(222010, 3)}},
    {"empty_port_dump_in_vcd_file", "$var wire 1 ! a $end\n$dumpports $end\n", false, {"var(wire,1,!,a,)@1"},
     {vcd_message(222009, 2)}},
};
INSTANTIATE_TEST_SUITE_P(ERROR, VCD_EXTENDED_SYNTAX_CASES, testing::ValuesIn(ERROR_CASES), row_name);

TEST_F(VCD_EXTENDED_SYNTAX, dump_blocks_end_before_a_timestamp_and_at_the_end_of_the_file)
{
    const VCD_PARSE_RESULT result = parse(ACCEPTED_CASES[2].input, true);
    EXPECT_EQ(result.dump_states, (std::vector<VCD_DUMP_STATE>{VCD_DUMP_STATE_NONE, VCD_DUMP_STATE_INITIAL,
                                                               VCD_DUMP_STATE_NONE, VCD_DUMP_STATE_ON}));
    EXPECT_EQ(result.final_dump_state, VCD_DUMP_STATE_NONE);
    EXPECT_EQ(parse("$enddefinitions $end\n$dumpportsoff\n", true).file_kind, VCD_FILE_KIND_EVCD);
}

} // namespace
