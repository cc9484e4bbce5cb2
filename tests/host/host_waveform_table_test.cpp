// Vector waveform tables of the reference host: the channels a table gives and one clear error for each kind of
// malformed text. The waveform database that reads them from disk is what the table reader's tests read through,
// and a table the TBL creator wrote is read back by the waveform commands' test.
#include "host_test_fixture.h"

namespace {

// Each channel in table order: "name time:value ...", values as their letters.
std::string channels_text(const HOST_WAVEFORM_TABLE& table)
{
    std::string text;
    for (std::size_t index = 0; index < table.channel_count(); ++index) {
        const HOST_VDB_CHANNEL& channel = table.channel(index);
        text += channel.get_name();
        for (auto transition = channel.get_begin_transition_iter(); transition != channel.get_end_transition_iter();
             ++transition)
            text += " " + std::to_string(transition->get_time()) + ":" + "01XLHUZW-"[transition->get_value()];
        text += "\n";
    }
    return text;
}

struct TABLE_CASE { const char* name; std::string text; std::string result; };   // channels, or the error
class WAVEFORM_TABLE_TEST : public HOST_TEST, public ::testing::WithParamInterface<TABLE_CASE> {};

TEST_P(WAVEFORM_TABLE_TEST, gives_channels_or_one_error)
{
    std::istringstream in(GetParam().text);
    HOST_WAVEFORM_TABLE table;
    std::string error;
    const bool read_ok = host_read_waveform_table(in, "t.tbl", table, error);
    EXPECT_EQ(read_ok ? channels_text(table) : error, GetParam().result);
}

const std::string HEADER = "INPUTS a;\nOUTPUTS b;\nUNIT ns;\nRADIX HEXADECIMAL;\nPATTERN\n";
const TABLE_CASE GOOD_TABLES[] = {
    {"units", "OUTPUTS a;\nUNIT us;\nPATTERN\n0> = 0\n1.5> = 1\n2e+00> = 0\n;", "a 0:0 1500000:1 2000000:0\n"},
    {"femtoseconds_round_to_picoseconds", "OUTPUTS a;\nUNIT fs;\nPATTERN\n0> = 0\n1600> = 1\n;", "a 0:0 2:1\n"},
    {"nanoseconds_without_unit", "OUTPUTS a;\nPATTERN\n0> = 0\n3> = 1\n;", "a 0:0 3000:1\n"},
    {"nine_levels_in_either_case", "OUTPUTS a;\nPATTERN\n0> = u\n1> = X\n2> = 0\n3> = 1\n4> = Z\n5> = w\n6> = l\n7> = H\n8> = -\n;",
     "a 0:U 1000:X 2000:0 3000:1 4000:Z 5000:W 6000:L 7000:H 8000:-\n"},
    // A pin listed as input and output is one channel; its output column wins.
    {"name_in_inputs_and_outputs", "INPUTS p;\nOUTPUTS p q;\nPATTERN\n0> 0 = 1 0\n10> 0 = 0 1\n;",
     "p 0:1 10000:0\nq 0:0 10000:1\n"},
    // Times written with a few digits may repeat: the later row holds, and a change undone is none. The last row
    // ends every channel that changed before it.
    {"repeated_time", "OUTPUTS a b;\nPATTERN\n0> = 0 0\n10> = 1 1\n10> = 0 1\n10> = 0 0\n20> = 1 0\n;",
     "a 0:0 20000:1\nb 0:0 20000:0\n"},
    {"no_rows", "INPUTS a b;\nOUTPUTS;\nPATTERN\n;\n", "a\nb\n"},
    {"comments_anywhere", "% a %INPUTS % b % a;\nPATTERN 0>%c%1 = ;% end %\n", "a 0:1\n"},
};
INSTANTIATE_TEST_SUITE_P(GOOD, WAVEFORM_TABLE_TEST, ::testing::ValuesIn(GOOD_TABLES), row_name);

const TABLE_CASE BAD_TABLES[] = {
    {"empty", "", "t.tbl:1: the table has no PATTERN section"},
    {"vcd_text", "$timescale 1ns $end\n", "t.tbl:1: unknown statement \"$TIMESCALE\""},
    {"comment_not_closed", "% legal\nPATTERN\n;\n", "t.tbl:4: a comment opened with '%' is not closed"},
    {"statement_twice", "INPUTS a;\nINPUTS b;\n", "t.tbl:2: INPUTS is given twice"},
    {"inputs_not_closed", "INPUTS a b", "t.tbl:1: INPUTS has no closing ';'"},
    {"unknown_unit", "UNIT min;", "t.tbl:1: unknown time unit \"MIN\" (fs, ps, ns, us, ms or s)"},
    {"unknown_radix", "RADIX ROMAN;", "t.tbl:1: unknown radix \"ROMAN\" (BINARY, OCTAL, DECIMAL or HEXADECIMAL)"},
    {"truncated", HEADER + "0> 0 = 1\n10> 1", "t.tbl:7: expected '=' after 1 input values"},
    {"patterns_not_closed", HEADER + "0> 0 = 1\n", "t.tbl:7: the patterns have no closing ';'"},
    {"time_goes_back", HEADER + "10> 0 = 1\n5> 1 = 1\n;", "t.tbl:7: time 5 is before the previous row's"},
    {"negative_time", HEADER + "-5> 0 = 1\n;", "t.tbl:6: \"-5\" is not a time"},
    {"time_too_large", HEADER + "1e16> 0 = 1\n;", "t.tbl:6: time 1e16 is too large"},
    {"no_arrow", HEADER + "0 0 = 1\n;", "t.tbl:6: expected '>' after the time \"0\""},
    {"bad_value", HEADER + "0> 2 = 1\n;", "t.tbl:6: \"2\" is not a value (0, 1, X, Z, U, W, L, H or -)"},
    {"values_run_together", HEADER + "0> 01 = 1\n;", "t.tbl:6: \"01\" is not a value (0, 1, X, Z, U, W, L, H or -)"},
    {"too_few_outputs", HEADER + "0> 0 =\n;", "t.tbl:7: a row has too few values"},
    {"text_after_patterns", HEADER + ";\nINPUTS c;\n", "t.tbl:7: text after the closing ';' of the patterns"},
};
INSTANTIATE_TEST_SUITE_P(BAD, WAVEFORM_TABLE_TEST, ::testing::ValuesIn(BAD_TABLES), row_name);

}  // namespace
