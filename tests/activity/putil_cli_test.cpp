// End-to-end tests of `putil activity`: formats, derived designs, exit statuses, hard stop, the example.
#include <cmath>
#include <map>

#include <nlohmann/json.hpp>

#include "putil_test_support.h"

namespace {

// a: 0 for 10 ns then 1 for 30 ns; b: 1 throughout; c: unknown for 20 ns, then 1.
const char* const SMALL_VCD =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 1 \" b $end\n"
    "$var wire 1 # c $end\n$upscope $end\n$enddefinitions $end\n#0\n0!\n1\"\n#10\n1!\n#20\n1#\n#40\n";
const std::string HEADER = "name,static_probability,toggle_rate\n";
const std::string SMALL_CSV = HEADER + "top|a,0.75,25000000\ntop|b,1,0\ntop|c,1,0\n";

using PUTIL_CLI_TEST = PUTIL_TEST;

TEST_F(PUTIL_CLI_TEST, csv_has_one_row_per_signal_in_netlist_order)
{
    write_file("small.vcd", SMALL_VCD);
    RUN_RESULT result = run_putil("activity --format csv small.vcd");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, SMALL_CSV);
    // -o writes the file instead.
    result = run_putil("activity --format csv -o act.csv small.vcd");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(putil_read_text(m_folder + "/act.csv"), SMALL_CSV);
}

// One of three signals toggles; 20 ns unknown of 120 ns.
TEST_F(PUTIL_CLI_TEST, json_has_signals_inputs_and_messages)
{
    write_file("small.vcd", SMALL_VCD);
    const RUN_RESULT result = run_putil("activity --format json small.vcd");
    EXPECT_EQ(result.status, 0);
    const nlohmann::json report = nlohmann::json::parse(result.out);
    // Written row by row, the text is still the whole document's two-space dump; so is an empty signal list.
    EXPECT_EQ(result.out, report.dump(2) + "\n");
    write_file("none.vcd", "$enddefinitions $end\n");
    const std::string none = run_putil("activity --format json none.vcd").out;
    EXPECT_EQ(none, nlohmann::json::parse(none).dump(2) + "\n");
    EXPECT_NE(none.find("\"signals\": []"), std::string::npos);
    EXPECT_EQ(report["signals"], nlohmann::json::parse(R"([{"name": "top|a", "static_probability": 0.75,
        "toggle_rate": 25000000.0}, {"name": "top|b", "static_probability": 1.0, "toggle_rate": 0.0},
        {"name": "top|c", "static_probability": 1.0, "toggle_rate": 0.0}])"));
    EXPECT_EQ(report["inputs"], nlohmann::json::array({{{"file", "small.vcd"}, {"matched_signals", 3},
                                                        {"toggle_percentage", 100.0f / 3},
                                                        {"unknown_percentage", 100.0f / 6}}}));
    ASSERT_EQ(report["messages"].size(), 2u);
    EXPECT_EQ(report["messages"][1], (nlohmann::json{{"id", 222003}, {"severity", "info"}, {"text",
        "Finished scan of VCD file small.vcd (0 ns to End of File) for signal static probabilities and transition "
        "densities"}}));
    // A control byte ends the name: a parse error on line 2, after the declaration of what came before; with
    // --partial the results so far are written, marked partial.
    write_file("control.vcd", "$scope module top $end\n$var wire 1 ! caf\x01 $end\n$upscope $end\n");
    EXPECT_EQ(run_putil("activity --format json control.vcd").out, "");
    const RUN_RESULT control = run_putil("activity --format json --partial control.vcd");
    EXPECT_EQ(control.status, 1);
    const nlohmann::json control_report = nlohmann::json::parse(control.out);
    ASSERT_EQ(control_report["signals"].size(), 1u);
    EXPECT_EQ(control_report["signals"][0]["name"], "top|caf");
    EXPECT_EQ(control_report["messages"][1]["id"], 222007);
    EXPECT_EQ(control_report["partial"], true);
}

// The design derived from the declarations: named blocks prefix their signals, a module inside one is the instance
// "blk.u", an index follows its reference, negative bits are left out, a name declared twice is one term, and the
// ascending range [0:7] and the integer without a range are left out with --strict.
const char* const NAMING_VCD =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$scope begin blk $end\n"
    "$var wire 1 \" s $end\n$scope module u $end\n$var wire 1 # x $end\n$upscope $end\n$upscope $end\n"
    "$var wire 1 $ d [3] $end\n$var wire 8 % rev [0:7] $end\n$var wire 4 & neg [1:-2] $end\n"
    "$var wire 2 ' v [1:0] $end\n$var integer 32 ( n $end\n$var wire 1 ! a $end\n$scope task t $end\n"
    "$var reg 1 ) y $end\n$upscope $end\n$upscope $end\n$enddefinitions $end\n"
    "#0\n1!\n0\"\n1#\n0$\nb00000000 %\nb1 '\nb101 (\n#10\n0\"\n#20\n";

TEST_F(PUTIL_CLI_TEST, derived_design_names_signals_like_the_reader)
{
    write_file("naming.vcd", NAMING_VCD);
    RUN_RESULT result = run_putil("activity --strict --format csv naming.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, HEADER + "top|a,1,0\ntop|blk.s,0,0\ntop|blk.u|x,1,0\ntop|d[3],0,0\ntop|v[0],1,0\n"
                                   "top|v[1],0,0\ntop|t|y,,\n");
    EXPECT_NE(result.err.find("1 declaration with an ascending range ([0:7]) was ignored"), std::string::npos)
        << result.err;
    write_file("e.csv", "top|a,0,1e-12\n");
    result = run_putil("transient --strict --energies e.csv --voltage 1 -o t.csv naming.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("1 declaration with an ascending range ([0:7]) was ignored"), std::string::npos)
        << result.err;
    // Without --strict an ascending range gives its bits, and a wide declaration without a range is the vector
    // [size-1:0].
    result = run_putil("activity --format csv naming.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> rows = putil_lines_of(result.out);
    ASSERT_EQ(rows.size(), 1u + 7u + 8u + 32u);
    EXPECT_EQ(rows[5], "top|rev[0],0,0");
    EXPECT_EQ(rows[12], "top|rev[7],0,0");
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 15, rows.begin() + 18),
              (std::vector<std::string>{"top|n[0],1,0", "top|n[1],0,0", "top|n[2],1,0"}));
    EXPECT_EQ(rows[46], "top|n[31],0,0");
    EXPECT_EQ(rows[47], "top|t|y,,");
}

// A scope left and entered again, or a signal and a scope of one name, name the same hierarchy: each signal is one
// row, in the order of its first declaration.
TEST_F(PUTIL_CLI_TEST, derived_design_finds_repeated_names_across_scopes)
{
    write_file("again.vcd",
               "$scope module top $end\n$scope module u $end\n$var wire 1 ! a $end\n$upscope $end\n"
               "$scope module w $end\n$var wire 1 \" a $end\n$upscope $end\n$scope module u $end\n"
               "$var wire 2 # v [1:0] $end\n$var wire 1 ! a $end\n$upscope $end\n$var wire 1 $ u $end\n"
               "$upscope $end\n$scope module top $end\n$scope module u $end\n$var wire 1 % v [0] $end\n"
               "$upscope $end\n$upscope $end\n$enddefinitions $end\n#0\n1!\n0\"\nb10 #\n1$\n#10\n");
    const RUN_RESULT result = run_putil("activity --format csv again.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, HEADER + "top|u|a,1,0\ntop|w|a,0,0\ntop|u|v[0],0,0\ntop|u|v[1],1,0\ntop|u,1,0\n");
}

struct EXIT_CASE {
    const char* name;
    std::vector<std::pair<const char*, std::string>> files;   // written to the scratch folder besides a.vcd, p.vcd
    const char* args;
    int status;
    std::string csv;                         // expected standard output
    std::vector<std::string> error_lines;    // lines expected on standard error; for a usage error, all of them
};
void PrintTo(const EXIT_CASE& row, std::ostream* out) { *out << row.name; }
class PUTIL_CLI_EXIT_TEST : public PUTIL_CLI_TEST, public ::testing::WithParamInterface<EXIT_CASE> {};

const std::string A_VCD = PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#40\n";
const std::string PULSE_VCD = PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#15\n0!\n#40\n";
const std::string USAGE_HINT = "Run 'putil activity --help' for usage.";

TEST_P(PUTIL_CLI_EXIT_TEST, status_output_and_messages)
{
    write_file("a.vcd", A_VCD);
    write_file("p.vcd", PULSE_VCD);
    for (const auto& file : GetParam().files)
        write_file(file.first, file.second);
    const RUN_RESULT result = run_putil(std::string("activity --format csv ") + GetParam().args);
    EXPECT_EQ(result.status, GetParam().status) << result.err;
    EXPECT_EQ(result.out, GetParam().csv);
    std::string all_lines;
    for (const std::string& line : GetParam().error_lines) {
        EXPECT_NE(result.err.find(line), std::string::npos) << "missing: " << line << "\nin:\n" << result.err;
        all_lines += line + "\n";
    }
    if (GetParam().status == 2) {   // a usage error is one line of reason and the hint, nothing else
        EXPECT_EQ(result.err, all_lines);
    }
}

const EXIT_CASE EXIT_CASES[] = {
    // An empty value says nothing: refused, not read as the option's absence.
    {"empty_start", {}, "--start '' a.vcd", 2, "", {"putil: error: --start: an empty value", USAGE_HINT}},
    // A width after a space would be read as a VCD file.
    {"glitch_width_detached", {}, "--filter-glitches 20ns a.vcd", 2, "",
     {"putil: error: --filter-glitches takes its width after '=': --filter-glitches=20ns", USAGE_HINT}},
    // A failed read prints no results.
    {"truncated_in_declaration", {{"cut.vcd", "$scope module top $end\n$var wire 1 ! a"}}, "cut.vcd", 1,
     "", {"putil: error: Parse error in VCD file cut.vcd near line 2 [222007]",
     "putil: error: Can't parse VCD file \"cut.vcd\" [222011]"}},
    // Nor when only the second file does not parse.
    {"later_file_garbage", {{"junk.vcd", "$var wire 1 ! a $end\n#0 1!\n"}}, "--strict a.vcd junk.vcd", 1,
     "", {"putil: error: Parse error in VCD file junk.vcd near line 2 [222007]"}},
    // Time going backwards in the body.
    {"timestamps_out_of_order",
     {{"back.vcd", "$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n"
     "#20\n1!\n#10\n0!\n"}}, "back.vcd", 1, "",
     {"putil: error: VCD file timestamps are not in sequential order on line 8 [222012]"}},
    // Several digits for a one-bit signal are a malformed value, not a broken invariant.
    {"vector_value_on_one_bit_signal", {{"wide.vcd", PUTIL_VCD_TOP_A + "#0\n0!\n#10\nb110 !\n#20\n"}}, "wide.vcd", 1,
     "", {"putil: error: Parse error in VCD file wide.vcd near line 9 [222007]"}},
    // Bit numbers up to the largest int end the declaration's loop.
    {"range_up_to_int_max",
     {{"max.vcd", "$scope module top $end\n$var wire 4 ! m [2147483647:2147483644] $end\n$upscope $end\n"
     "$enddefinitions $end\n#0\nb1010 !\n#10\n"}}, "max.vcd", 0,
     HEADER + "top|m[2147483644],0,0\ntop|m[2147483645],1,0\ntop|m[2147483646],0,0\ntop|m[2147483647],1,0\n", {}},
    // A declaration wider than any design signal is neither derived nor measured.
    {"absurd_width_skipped",
     {{"wide.vcd", "$scope module top $end\n$var wire 2000000000 ! w $end\n$var wire 1 # a $end\n$upscope $end\n"
     "$enddefinitions $end\n#0\nb1 !\n1#\n#10\n"}}, "wide.vcd", 0, HEADER + "top|a,1,0\n", {}},
    // Ports whose width or bit numbers do not fit an int are neither derived nor measured.
    {"port_ranges_beyond_an_int",
     {{"ports.evcd", "$scope module top $end\n$var port [2147483647:-2147483648] <0 w $end\n"
     "$var port [99999999999:0] <1 x $end\n$var port 1 <2 a $end\n$upscope $end\n$enddefinitions $end\n"
     "#0\n$dumpports\npU 6 0 <2\n$end\n#10\n"}}, "ports.evcd", 0, HEADER + "top|a,1,0\n", {}},
    // Escaped identifiers with a comma or a quote stay one CSV field.
    {"names_with_comma_and_quote",
     {{"esc.vcd", "$scope module top $end\n$var wire 1 ! \\a,b $end\n$var wire 1 # \\q\"x $end\n$upscope $end\n"
     "$enddefinitions $end\n#0\n1!\n0#\n#10\n"}}, "esc.vcd", 0, HEADER + "\"top|a,b\",1,0\n\"top|q\"\"x\",0,0\n", {}},
    {"start_later_than_end", {}, "--start 20ns --end 10ns a.vcd", 2, "",
     {"putil: error: --start 20ns is later than --end 10ns", USAGE_HINT}},
    {"setting_without_value", {}, "--set putil_vcd_stop_after_percent a.vcd", 2, "",
     {"putil: error: --set putil_vcd_stop_after_percent: expected NAME=VALUE", USAGE_HINT}},
    {"time_without_unit", {}, "--start 10 a.vcd", 2, "",
     {"putil: error: --start: \"10\" has no time unit (fs, ps, ns, us, ms or s)", USAGE_HINT}},
    {"directory_instead_of_file", {}, "a.vcd .", 1, "", {"putil: error: .: Is a directory"}},
    {"missing_scope", {}, "--scope 'top|nosuch' a.vcd", 2, "",
     {"putil: error: --scope: the design has no instance \"top|nosuch\"", USAGE_HINT}},
    // Window 20..40 ns: a is 1 throughout, no transition inside.
    {"window", {}, "--start 20ns --end 40ns a.vcd", 0, HEADER + "top|a,1,0\n", {}},
    // A 5 ns pulse: kept without a width (the derived design has no delays), removed with 10 ns.
    {"filter_glitches_without_width", {}, "--filter-glitches p.vcd", 0, HEADER + "top|a,0.125,50000000\n", {}},
    {"filter_glitches_wider_than_pulse", {}, "--filter-glitches=10ns p.vcd", 0, HEADER + "top|a,0,0\n", {}},
    // Two files annotating the same signal: --merge add sums.
    {"merge_add", {}, "--merge add a.vcd a.vcd", 0, HEADER + "top|a,1.5,50000000\n", {}},
};

INSTANTIATE_TEST_SUITE_P(CASES, PUTIL_CLI_EXIT_TEST, ::testing::ValuesIn(EXIT_CASES), row_name);

// Numbers of the time options: too large is out of range, a usage error; whole numbers are exact beyond double
// precision, fractions with a unit read as before.
std::string out_of_range(const char* option, const char* text, const char* most)
{
    return std::string("putil: error: ") + option + ": \"" + text + "\" is out of range (at most " + most + " ps)";
}
const char* const INT_MOST = "2147483647";
const char* const INT64_MOST = "9223372036854775807";
const EXIT_CASE NUMBER_CASES[] = {
    {"glitch_width_beyond_64_bits", {}, "--filter-glitches=99999999999999999999999 a.vcd", 2, "",
     {out_of_range("--filter-glitches", "99999999999999999999999", INT_MOST), USAGE_HINT}},
    {"glitch_width_beyond_an_int", {}, "--filter-glitches=2147483648 a.vcd", 2, "",
     {out_of_range("--filter-glitches", "2147483648", INT_MOST), USAGE_HINT}},
    // The largest width is a delay like any other: the 5 ns pulse is removed.
    {"glitch_width_of_an_int", {}, "--filter-glitches=2147483647 p.vcd", 0, HEADER + "top|a,0,0\n", {}},
    {"start_beyond_64_bits", {}, "--start 19522126866494772522ps a.vcd", 2, "",
     {out_of_range("--start", "19522126866494772522ps", INT64_MOST), USAGE_HINT}},
    {"exponent_beyond_double", {}, "--end 1e400ns a.vcd", 2, "", {out_of_range("--end", "1e400ns", INT64_MOST), USAGE_HINT}},
    {"femtoseconds_not_whole", {}, "--start 1500fs a.vcd", 2, "",
     {"putil: error: --start: \"1500fs\" is not a whole number of picoseconds", USAGE_HINT}},
    // Below a picosecond is not whole whether written in fs or as an exponent; hexadecimal is no decimal number.
    {"below_a_picosecond_as_an_exponent", {}, "--start 1e-30s a.vcd", 2, "",
     {"putil: error: --start: \"1e-30s\" is not a whole number of picoseconds", USAGE_HINT}},
    {"hexadecimal_time", {}, "--start 0x10ns a.vcd", 2, "",
     {"putil: error: --start: \"0x10ns\" is not a time (a decimal number and a unit: fs, ps, ns, us, ms or s; e.g. "
      "10ns)", USAGE_HINT}},
    // Window 2.5..12.5 ns: 7.5 ns at 0, the rise at 10 ns, 2.5 ns at 1.
    {"fractions_with_units", {}, "--start 2.5ns --end 0.0125us a.vcd", 0, HEADER + "top|a,0.25,100000000\n",
     {"(2500 ps to 12500 ps)"}},
    // The window starts at the end of the file's last interval: a is 1, no transition.
    {"whole_numbers_exact", {}, "--start 40000000fs --end 9007199254740993ps a.vcd", 0, HEADER + "top|a,1,0\n",
     {"(40 ns to 9007199254740993 ps)"}},
};

INSTANTIATE_TEST_SUITE_P(NUMBERS, PUTIL_CLI_EXIT_TEST, ::testing::ValuesIn(NUMBER_CASES), row_name);

// The words around the commands: "help", a word that is no command, global options after the command.
TEST_F(PUTIL_CLI_TEST, help_unknown_commands_and_global_options)
{
    const struct { const char* args; int status; const char* out; const char* err; } cases[] = {
        {"help activity", 0, "Usage: putil activity [OPTIONS]", ""},
        {"help", 0, "Usage: putil [OPTIONS] SUBCOMMAND", ""},
        {"nosuch", 2, "", "putil: error: unknown command \"nosuch\"; the commands are activity, clocks, hssi, merge, signals, supplies, "
                         "tbl, transient\n"},
        {"help nosuch", 2, "", "unknown command \"nosuch\""},
        {"tbl --version", 0, "putil " PUTIL_VERSION "\n", ""},
    };
    for (const auto& row : cases) {
        const RUN_RESULT result = run_putil(row.args);
        EXPECT_EQ(result.status, row.status) << row.args;
        EXPECT_NE(result.out.find(row.out), std::string::npos) << row.args << ": " << result.out;
        EXPECT_NE(result.err.find(row.err), std::string::npos) << row.args << ": " << result.err;
    }
    // --quiet leaves out the information lines, before or after the command; JSON still records them.
    write_file("a.vcd", PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#40\n");
    for (const char* args : {"--quiet activity a.vcd", "activity -q a.vcd"}) {
        const RUN_RESULT quiet = run_putil(args);
        EXPECT_EQ(quiet.status, 0);
        EXPECT_EQ(quiet.err, "") << args;
    }
    EXPECT_NE(run_putil("activity -q --format json a.vcd").out.find("222002"), std::string::npos);
}

TEST_F(PUTIL_CLI_TEST, version_is_the_project_version)
{
    const RUN_RESULT result = run_putil("--version");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "putil " PUTIL_VERSION "\n");
}

// The hard stop ends the read half way through the file, cleanly: the results of the part read (a toggles 99 times
// from 10 ns to 990 ns and the read stops at the timestamp 1000 ns, line 206), the finish message, a warning,
// status 0. Values outside 1..100 are refused.
// The file after "--set NAME=VALUE" is an input, not a second assignment.
TEST_F(PUTIL_CLI_TEST, stop_after_percent_ends_the_read_part_way)
{
    std::string vcd = "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                      "$enddefinitions $end\n";
    for (int i = 0; i < 200; ++i)
        vcd += "#" + std::to_string(10 * i) + "\n" + std::to_string(i % 2) + "!\n";
    write_file("long.vcd", vcd);
    const RUN_RESULT result =
        run_putil("--debug activity --format csv --set putil_vcd_stop_after_percent=50 long.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "name,static_probability,toggle_rate\ntop|a,0.5,99000000\n");
    EXPECT_NE(result.err.find("[222003]"), std::string::npos);
    EXPECT_NE(result.err.find("putil: warning: the read stopped early"), std::string::npos);
    // 405 lines: the timestamp on line 206 is the first at 50 percent.
    EXPECT_NE(result.err.find("putil: debug:  Through 50 percent of the VCD file (206 lines out of 405)\n"
                              "putil: debug:  Hard stop after 50 percent of the VCD file\n"),
              std::string::npos)
        << result.err;
    for (const char* bad : {"0", "101", "-5"}) {
        const RUN_RESULT refused = run_putil(std::string("activity --set putil_vcd_stop_after_percent=") + bad +
                                             " long.vcd");
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_NE(refused.err.find("takes 1 to 100"), std::string::npos) << refused.err;
    }
}

// The example design against values worked out by hand from its testbench.
TEST_F(PUTIL_CLI_TEST, counter_example_matches_expected_values)
{
    const std::string examples = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples";
    const RUN_RESULT result = run_putil("activity --format csv --design " + examples + "/counter_design.json " +
                                        examples + "/counter.vcd");
    ASSERT_EQ(result.status, 0) << result.err;

    auto expected = putil_csv_rows(putil_read_text(PUTIL_TEST_DATA_DIR "/counter_expected.csv"));
    const auto actual = putil_csv_rows(result.out);
    expected.erase("name");
    ASSERT_FALSE(expected.empty());
    for (const auto& [name, values] : expected) {
        SCOPED_TRACE(name);
        ASSERT_EQ(actual.count(name), 1u);
        // Single precision in the store: compare to 1e-6 relative.
        for (int i : {0, 1})
            EXPECT_NEAR(std::stod(actual.at(name)[i]), std::stod(values[i]), 1e-6 * std::fabs(std::stod(values[i])));
    }
}

}  // namespace

namespace {

// --count gives the value changes of each identifier code, however the body writes them (scalar, vector, real, in
// and out of dump blocks), the same through the fast body path and the scanner's rules; JSON holds the same records.
TEST_F(PUTIL_CLI_TEST, signals_count_the_changes_of_each_code)
{
    write_file("c.vcd", "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$var reg 2 \" v [1:0] $end\n"
                        "$var wire 1 # idle $end\n$var real 1 $ r $end\n$upscope $end\n$enddefinitions $end\n"
                        "#0\n$dumpvars\n0!\nb00 \"\nx#\nr0 $\n$end\n#5\n1!\nb1 \"\nr2.5 $\n#10\n0!\nb10 \"\n#15\n");
    const char* const expected =
        "name,kind,width,code,changes\ntop|a,wire,1,!,3\ntop|v[0],reg,2,\"\"\"\",3\ntop|v[1],reg,2,\"\"\"\",3\n"
        "top|idle,wire,1,#,1\ntop|r,real,1,$,2\n";
    for (const char* options : {"", "--set putil_vcd_fast_body=off "}) {
        const RUN_RESULT result = run_putil(std::string("signals --count --format csv ") + options + "c.vcd");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, expected) << options;
    }
    const RUN_RESULT json = run_putil("signals --count --format json c.vcd c.vcd");
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json files = nlohmann::json::parse(json.out)["files"];
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1]["file"], "c.vcd");
    EXPECT_EQ(files[1]["signals"][0], nlohmann::json::parse(R"({"name": "top|a", "kind": "wire", "width": 1,
                                                                 "code": "!", "changes": 3})"));
    // A body that breaks is an error when it is read, and nothing without --count.
    write_file("bad.vcd", "$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n"
                          "#0\n0!\n#5\nnot a change\n");
    EXPECT_EQ(run_putil("signals --count bad.vcd").status, 1);
    EXPECT_EQ(run_putil("signals bad.vcd").status, 0);
}

// `putil signals` names the declared signals as the activity job matches them; a file that does not parse fails.
TEST_F(PUTIL_CLI_TEST, signals_lists_the_names_a_design_is_matched_by)
{
    write_file("w.vcd", "$scope module top $end\n$scope begin blk $end\n$var wire 1 ! s $end\n$upscope $end\n"
                        "$scope module u $end\n$var wire 2 \" v [1:0] $end\n$upscope $end\n$upscope $end\n"
                        "$enddefinitions $end\n#0\n");
    RUN_RESULT result = run_putil("signals w.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "name        kind  width  code\ntop|blk.s   wire  1      !\ntop|u|v[0]  wire  2      \"\n"
                          "top|u|v[1]  wire  2      \"\n");
    // Every listed name is a row of the derived design.
    const RUN_RESULT activity = run_putil("activity --format csv w.vcd");
    result = run_putil("signals --format csv w.vcd");
    for (const auto& [name, cells] : putil_csv_rows(result.out)) {
        if (name != "name") {
            EXPECT_NE(activity.out.find("\n" + name + ","), std::string::npos) << name;
        }
    }
    write_file("cut.vcd", "$scope module top $end\n$var wire 1 ! a\n");
    result = run_putil("signals cut.vcd");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("[222007]"), std::string::npos) << result.err;
}

}  // namespace
