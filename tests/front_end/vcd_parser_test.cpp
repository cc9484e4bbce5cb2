// Tests of the VCD grammar: handler calls, messages and results of the parse
// entry for each construct and each way a file is rejected.
#include "vcd_recording_handler.h"

using namespace std::string_literals;

namespace {

using VCD_PARSER = VCD_PARSE_TEST;
using VCD_PARSER_CASES = VCD_PARSE_CASES;
const auto msg = vcd_message;

TEST_P(VCD_PARSER_CASES, call_the_handler_and_report) { expect_parse(GetParam(), false); }

const VCD_PARSE_CASE ACCEPTED_CASES[] = {
    {"empty_file", "", true, {}, {}},
    {"declarations_only", "$date d $end\n$version v $end\n$timescale 1ns $end\n$scope module top $end\n"
     "$var wire 1 ! clk $end\n$upscope $end\n", true, {"var(wire,1,!,clk,)@5"}, {}},
    {"variable_index_forms", "$var wire 8 # data [7:0] $end\n$var reg 4 % bus[3:0] $end\n$var wire 1 ' d [0] $end\n"
     "$var integer 32 <5 n [1][2] $end\n", true, {"var(wire,8,#,data,[7:0])@1", "var(reg,4,%,bus[3:0],)@2",
     "var(wire,1,',d,[0])@3", "var(integer,32,<5,n,[1][2])@4"}, {}},
    {"value_changes", "$var wire 1 ! a $end\n$enddefinitions $end\n#100\n1!\nb1010 %\nr0.5 <2\n", true,
     {"var(wire,1,!,a,)@1", "timestamp(#100)@3", "scalar(!,1!)@4", "vector(%,b1010)@5", "real(<2,r0.5)@6"}, {}},
    {"port_value_changes", "$var port 1 <2 p $end\n$enddefinitions $end\n#0\npD 6 0 <2\np1 0 6 <2\n", true,
     {"var(port,1,<2,p,)@1", "timestamp(#0)@3", "port(<2,pD)@4", "port(<2,p1)@5"}, {}},
    {"vcdclose", "$var port 1 <0 a $end\n$vcdclose\n#200 $end\n$enddefinitions $end\n", true,
     {"var(port,1,<0,a,)@1", "vcd_close(#200)@3"}, {}},
    {"comments_anywhere", "$enddefinitions $end\n#1\n$comment x\n $end\n1!\n$dumpon\n$comment y $end\n0!\n$end\n",
     true, {"timestamp(#1)@2", "scalar(!,1!)@5", "scalar(!,0!)@8"}, {}},
    {"module_scope_in_evcd_file", "$var port 1 <0 a $end\n$scope module m $end\n$upscope $end", true,
     {"var(port,1,<0,a,)@1"}, {}},
};
INSTANTIATE_TEST_SUITE_P(ACCEPTED, VCD_PARSER_CASES, testing::ValuesIn(ACCEPTED_CASES), row_name);

const VCD_PARSE_CASE SYNTAX_ERROR_CASES[] = {
    {"indented_timestamp", "$enddefinitions $end\n  #100\n", false, {}, {msg(222007, 2)}},
    {"two_changes_on_one_line", "$enddefinitions $end\n#100 1!\n", false, {"timestamp(#100)@2"}, {msg(222007, 2)}},
    {"empty_dump_block", "$enddefinitions $end\n$dumpoff $end\n", false, {}, {msg(222007, 2)}},
    {"timestamp_in_dump_block", "$enddefinitions $end\n$dumpvars\n1!\n#5\n$end\n", false, {"scalar(!,1!)@3"},
     {msg(222007, 4)}},
    {"dump_block_not_closed", "$enddefinitions $end\n$dumpall\n1!\n", false, {"scalar(!,1!)@3"}, {msg(222007, 4)}},
    {"timescale_1000", "$timescale 1000 ns $end", false, {}, {msg(222007, 1)}},
    {"port_declared_with_range", "$var port [3:0] <3 bus $end", false, {}, {msg(222007, 1)}},
    {"port_with_bit_index", "$var port 1 <3 b [0] $end", false, {"var(port,1,<3,b,)@1"}, {msg(222007, 1)}},
    {"nul_first", "\0"s, false, {}, {msg(222007, 1)}},
    {"high_byte_later", "$var wire 1 ! a $end\n\x80", false, {"var(wire,1,!,a,)@1"}, {msg(222007, 2)}},
    {"cr_only_line_ends", "$enddefinitions $end\r#1\r1!\r", false, {}, {msg(222007, 2)}},
    {"scope_without_kind", "$scope top $end", false, {}, {msg(222007, 1)}},
    {"end_of_file_in_declaration", "$scope module top", false, {}, {msg(222007, 1)}},
    {"change_among_declarations", "$var wire 1 ! a $end\n1!\n", false, {"var(wire,1,!,a,)@1"}, {msg(222007, 2)}},
    {"second_enddefinitions", "$enddefinitions $end\n$enddefinitions $end", false, {}, {msg(222007, 2)}},
    {"vector_without_code", "$enddefinitions $end\nb1010\n", false, {}, {msg(222007, 3)}},
    {"port_value_without_strengths", "$enddefinitions $end\npD 6 <2\n", false, {}, {msg(222007, 2)}},
    {"declaration_after_definitions", "$enddefinitions $end\n$var wire 1 ! a $end", false, {}, {msg(222007, 2)}},
    {"vcdclose_after_definitions", "$enddefinitions $end\n$vcdclose\n#5 $end", false, {}, {msg(222007, 2)}},
    {"vcdclose_time_on_its_line", "$vcdclose #5 $end", false, {}, {msg(222007, 1)}},
    {"lone_end", "$end", false, {}, {msg(222007, 1)}},
};
INSTANTIATE_TEST_SUITE_P(SYNTAX_ERROR, VCD_PARSER_CASES, testing::ValuesIn(SYNTAX_ERROR_CASES), row_name);

const VCD_PARSE_CASE HANDLER_ERROR_CASES[] = {
    {"port_after_vcd_variable", "$var wire 1 ! a $end\n$var port 1 <0 p $end", false,
     {"var(wire,1,!,a,)@1", "var(port,1,<0,p,)@2"}, {msg(222009, 2)}},
    {"task_scope_in_evcd_file", "$var port 1 <0 a $end\n$scope task t $end", false, {"var(port,1,<0,a,)@1"},
     {msg(222010, 2)}},
    {"port_after_named_block", "$scope begin b $end\n$var port 1 <0 a $end", false, {"var(port,1,<0,a,)@2"},
     {msg(222009, 2)}},
    {"port_dump_in_vcd_file", "$var wire 1 ! a $end\n$enddefinitions $end\n$dumpports\npD 6 0 <0\n$end\n", false,
     {"var(wire,1,!,a,)@1", "port(<0,pD)@4"}, {msg(222009, 5)}},
    {"port_change_in_vcd_file", "$var wire 1 ! a $end\n$enddefinitions $end\npD 6 0 <0\n", false,
     {"var(wire,1,!,a,)@1", "port(<0,pD)@3"}, {msg(222009, 3)}},
    {"scalar_in_evcd_file", "$var port 1 <0 a $end\n$enddefinitions $end\n1!\n", false,
     {"var(port,1,<0,a,)@1", "scalar(!,1!)@3"}, {msg(222010, 3)}},
    {"vcd_dump_in_evcd_file", "$var port 1 <0 a $end\n$enddefinitions $end\n$dumpvars\nb1 <0\n$end", false,
     {"var(port,1,<0,a,)@1", "vector(<0,b1)@4"}, {msg(222010, 5)}},
    {"vcdclose_in_vcd_file", "$var wire 1 ! a $end\n$vcdclose\n#9 $end", false,
     {"var(wire,1,!,a,)@1", "vcd_close(#9)@3"}, {msg(222009, 3)}},
    {"upscope_without_scope", "$upscope $end", false, {}, {msg(222008, 1)}},
    {"one_upscope_too_many", "$scope module a $end\n$upscope $end\n$upscope $end", false, {}, {msg(222008, 3)}},
};
INSTANTIATE_TEST_SUITE_P(HANDLER_ERROR, VCD_PARSER_CASES, testing::ValuesIn(HANDLER_ERROR_CASES), row_name);

// A refusing slot stops the parse at once, without a parse error.
TEST_F(VCD_PARSER, refusing_slot_stops_silently)
{
    const std::string vcd = "$enddefinitions $end\n#1\n1!\nb1 %\n$dumpvars\n0!\n$end\n#2\n";
    const std::string evcd = "$enddefinitions $end\n#1\npD 6 0 <0\npU 0 6 <1\n#2\n";
    const struct { const char* slot; const std::string& input; STRINGS calls; } cases[] = {
        {"timestamp", vcd, {"timestamp(#1)@2"}}, {"scalar", vcd, {"timestamp(#1)@2", "scalar(!,1!)@3"}},
        {"vector", vcd, {"timestamp(#1)@2", "scalar(!,1!)@3", "vector(%,b1)@4"}},
        {"port", evcd, {"timestamp(#1)@2", "port(<0,pD)@3"}}};
    for (const auto& refusal : cases) {
        const VCD_PARSE_RESULT result = parse(refusal.input, false, refusal.slot);
        EXPECT_FALSE(result.accepted) << refusal.slot;
        EXPECT_EQ(result.calls, refusal.calls) << refusal.slot;
        EXPECT_EQ(result.messages, STRINGS{}) << refusal.slot;
    }
}

TEST_F(VCD_PARSER, dump_blocks_hold_their_state_for_the_changes_inside)
{
    const struct { const char* block; VCD_DUMP_STATE state; int file_kind; } cases[] = {
        {"$dumpall\n1!\nb0 %\n$end", VCD_DUMP_STATE_CURRENT, VCD_FILE_KIND_VCD},
        {"$dumpon\nr1.5 %\nx!\n$end", VCD_DUMP_STATE_ON, VCD_FILE_KIND_VCD},
        {"$dumpoff\nx!\nbx %\n$end", VCD_DUMP_STATE_OFF, VCD_FILE_KIND_VCD},
        {"$dumpvars\n0!\nb1 %\n$end", VCD_DUMP_STATE_INITIAL, VCD_FILE_KIND_VCD},
        {"$dumpportsall\npD 6 0 <0\npU 0 6 <1\n$end", VCD_DUMP_STATE_CURRENT, VCD_FILE_KIND_EVCD},
        {"$dumpportson\npd 6 0 <0\npu 0 6 <1\n$end", VCD_DUMP_STATE_ON, VCD_FILE_KIND_EVCD},
        {"$dumpportsoff\npX 6 6 <0\npX 6 6 <1\n$end", VCD_DUMP_STATE_OFF, VCD_FILE_KIND_EVCD},
        {"$dumpports\npN 6 0 <0\npZ 0 0 <1\n$end", VCD_DUMP_STATE_INITIAL, VCD_FILE_KIND_EVCD}};
    for (const auto& dump : cases) {
        const VCD_PARSE_RESULT result = parse("$enddefinitions $end\n"s + dump.block + "\n#5\n");
        EXPECT_TRUE(result.accepted) << dump.block;
        EXPECT_EQ(result.dump_states, (std::vector<VCD_DUMP_STATE>{dump.state, dump.state, VCD_DUMP_STATE_NONE}))
            << dump.block;
        EXPECT_EQ(result.final_dump_state, VCD_DUMP_STATE_NONE) << dump.block;
        EXPECT_EQ(result.file_kind, dump.file_kind) << dump.block;
    }
}

} // namespace
