// End-to-end tests of `putil activity`: formats, derived designs, exit statuses, hard stop, the example.
#include <sys/wait.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "putil_test_support.h"

namespace {

struct RUN_RESULT {
    int status;
    std::string out;
    std::string err;
};

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// a: 0 for 10 ns then 1 for 30 ns; b: 1 throughout; c: unknown for 20 ns, then 1.
const char* const SMALL_VCD =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 1 \" b $end\n"
    "$var wire 1 # c $end\n$upscope $end\n$enddefinitions $end\n#0\n0!\n1\"\n#10\n1!\n#20\n1#\n#40\n";
const char* const SMALL_CSV = "name,static_probability,toggle_rate\ntop|a,0.75,25000000\ntop|b,1,0\ntop|c,1,0\n";

class PUTIL_CLI_TEST : public PUTIL_TEST {
protected:
    // Runs the program with args (already quoted where needed) in the
    // scratch folder.
    RUN_RESULT run_putil(const std::string& args) const
    {
        const std::string out = m_folder + "/stdout.txt";
        const std::string err = m_folder + "/stderr.txt";
        const std::string command =
            "cd " + m_folder + " && " + PUTIL_BINARY + " " + args + " >" + out + " 2>" + err;
        const int raw = std::system(command.c_str());
        return RUN_RESULT{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_text(out), read_text(err)};
    }

    static std::string message_line(const char* severity, const std::string& text, unsigned id)
    {
        return std::string("putil: ") + severity + ": " + text + " [" + std::to_string(id) + "]\n";
    }
};

TEST_F(PUTIL_CLI_TEST, csv_has_one_row_per_signal_in_netlist_order)
{
    write_file("small.vcd", SMALL_VCD);
    const RUN_RESULT result = run_putil("activity --format csv small.vcd");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, SMALL_CSV);
    const std::string window = " (0 ns to End of File) for signal static probabilities and transition densities";
    EXPECT_EQ(result.err, message_line("info", "Starting scan of VCD file small.vcd" + window, 222002) +
                              message_line("info", "Finished scan of VCD file small.vcd" + window, 222003));
}

TEST_F(PUTIL_CLI_TEST, output_option_writes_the_file_instead)
{
    write_file("small.vcd", SMALL_VCD);
    const RUN_RESULT result = run_putil("activity --format csv -o act.csv small.vcd");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(read_text(m_folder + "/act.csv"), SMALL_CSV);
}

TEST_F(PUTIL_CLI_TEST, json_has_signals_inputs_and_messages)
{
    write_file("small.vcd", SMALL_VCD);
    const RUN_RESULT result = run_putil("activity --format json small.vcd");
    EXPECT_EQ(result.status, 0);
    const nlohmann::json report = nlohmann::json::parse(result.out);
    ASSERT_EQ(report["signals"].size(), 3u);
    EXPECT_EQ(report["signals"][0]["name"], "top|a");
    EXPECT_EQ(report["signals"][0]["static_probability"].get<double>(), 0.75);
    EXPECT_EQ(report["signals"][0]["toggle_rate"].get<double>(), 25000000.0);
    EXPECT_EQ(report["signals"][2]["name"], "top|c");
    EXPECT_EQ(report["signals"][2]["toggle_rate"].get<double>(), 0.0);
    ASSERT_EQ(report["inputs"].size(), 1u);
    EXPECT_EQ(report["inputs"][0]["file"], "small.vcd");
    EXPECT_EQ(report["inputs"][0]["matched_signals"], 3);
    // One of three signals toggles; 20 ns unknown of 120 ns.
    EXPECT_FLOAT_EQ(report["inputs"][0]["toggle_percentage"].get<float>(), 100.0f / 3);
    EXPECT_FLOAT_EQ(report["inputs"][0]["unknown_percentage"].get<float>(), 100.0f / 6);
    ASSERT_EQ(report["messages"].size(), 2u);
    EXPECT_EQ(report["messages"][1]["id"], 222003);
    EXPECT_EQ(report["messages"][1]["severity"], "info");
    EXPECT_EQ(report["messages"][1]["text"], "Finished scan of VCD file small.vcd (0 ns to End of File) for signal "
                                             "static probabilities and transition densities");
}

// The design derived from the declarations: named blocks prefix their
// signals, a module inside one is the instance "blk.u", an index follows its
// reference, [0:7] and negative bits are left out, a name declared twice is
// one term, and the integer without a range is left out with --strict.
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
    const RUN_RESULT result = run_putil("activity --strict --format csv naming.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "name,static_probability,toggle_rate\ntop|a,1,0\ntop|blk.s,0,0\ntop|blk.u|x,1,0\n"
                          "top|d[3],0,0\ntop|v[0],1,0\ntop|v[1],0,0\ntop|t|y,,\n");
}

// Without --strict a wide declaration without a range is the vector [size-1:0].
TEST_F(PUTIL_CLI_TEST, derived_design_reads_integer_bits_without_strict)
{
    write_file("naming.vcd", NAMING_VCD);
    const RUN_RESULT result = run_putil("activity --format csv naming.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    std::istringstream lines(result.out);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);)
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 1u + 7u + 32u);
    EXPECT_EQ(rows[7], "top|n[0],1,0");
    EXPECT_EQ(rows[8], "top|n[1],0,0");
    EXPECT_EQ(rows[9], "top|n[2],1,0");
    EXPECT_EQ(rows[38], "top|n[31],0,0");
    EXPECT_EQ(rows[39], "top|t|y,,");
}

struct EXIT_CASE {
    const char* name;
    std::vector<std::pair<const char*, std::string>> files;   // written to the scratch folder
    const char* args;
    int status;
    std::string csv;                         // expected standard output
    std::vector<std::string> error_lines;    // lines expected on standard error
};

void PrintTo(const EXIT_CASE& row, std::ostream* out) { *out << row.name; }

class PUTIL_CLI_EXIT_TEST : public PUTIL_CLI_TEST, public ::testing::WithParamInterface<EXIT_CASE> {
};

TEST_P(PUTIL_CLI_EXIT_TEST, status_output_and_messages)
{
    for (const auto& file : GetParam().files)
        write_file(file.first, file.second);
    const RUN_RESULT result = run_putil(std::string("activity --format csv ") + GetParam().args);
    EXPECT_EQ(result.status, GetParam().status) << result.err;
    EXPECT_EQ(result.out, GetParam().csv);
    for (const std::string& line : GetParam().error_lines)
        EXPECT_NE(result.err.find(line), std::string::npos) << "missing: " << line << "\nin:\n" << result.err;
}

const char* const HEADER = "name,static_probability,toggle_rate\n";
const char* const A_VCD = "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                          "$enddefinitions $end\n#0\n0!\n#10\n1!\n#40\n";
const char* const A_CSV = "name,static_probability,toggle_rate\ntop|a,0.75,25000000\n";
const char* const PULSE_VCD = "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                              "$enddefinitions $end\n#0\n0!\n#10\n1!\n#15\n0!\n#40\n";
const std::string USAGE_HINT = "Run 'putil activity --help' for usage.";
const std::string PARSE_USAGE_HINT = "Run 'putil --help' or 'putil <command> --help' for usage.";

const EXIT_CASE EXIT_CASES[] = {
    {"missing_file", {}, "nosuch.vcd", 1, HEADER, {"putil: error: VCD file nosuch.vcd was not found [222005]"}},
    {"empty_file_is_accepted", {{"empty.vcd", ""}}, "empty.vcd", 0, HEADER, {}},
    // The body breaks off in the middle of line 9; a was 0 for the 10 ns read.
    {"truncated_mid_line",
     {{"cut.vcd", "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                  "$enddefinitions $end\n#0\n0!\n#10\n1"}},
     "cut.vcd", 1, "name,static_probability,toggle_rate\ntop|a,0,0\n",
     {"putil: error: Parse error in VCD file cut.vcd near line 9 [222007]",
      "putil: error: Can't parse VCD file \"cut.vcd\" [222011]"}},
    {"truncated_in_declaration", {{"cut.vcd", "$scope module top $end\n$var wire 1 ! a"}}, "cut.vcd", 1,
     "name,static_probability,toggle_rate\ntop|a,,\n",
     {"putil: error: Parse error in VCD file cut.vcd near line 2 [222007]",
      "putil: error: Can't parse VCD file \"cut.vcd\" [222011]"}},
    {"garbage_text", {{"junk.vcd", "hello world\nthis is no waveform\n"}}, "--strict junk.vcd", 1, HEADER,
     {"putil: error: Parse error in VCD file junk.vcd near line 1 [222007]",
      "putil: error: Can't parse VCD file \"junk.vcd\" [222011]"}},
    {"garbage_text_extended_syntax", {{"junk.vcd", "hello world\nthis is no waveform\n"}}, "junk.vcd", 1, HEADER,
     {"putil: error: Can't parse VCD file \"junk.vcd\" [222011]"}},
    {"binary_garbage", {{"junk.vcd", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)}}, "junk.vcd", 1, HEADER,
     {"putil: error: Parse error in VCD file junk.vcd near line 1 [222007]"}},
    // The first file's results stay when the second does not parse or is missing.
    {"later_file_garbage", {{"a.vcd", A_VCD}, {"junk.vcd", "$var wire 1 ! a $end\n#0 1!\n"}},
     "--strict a.vcd junk.vcd", 1, A_CSV, {"putil: error: Parse error in VCD file junk.vcd near line 2 [222007]"}},
    {"later_file_missing", {{"a.vcd", A_VCD}}, "a.vcd nosuch.vcd", 1, A_CSV,
     {"putil: error: VCD file nosuch.vcd was not found [222005]"}},
    // Time going backwards in the body.
    {"timestamps_out_of_order",
     {{"back.vcd", "$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n"
                   "#20\n1!\n#10\n0!\n"}},
     "back.vcd", 1, "name,static_probability,toggle_rate\ntop|a,,\n",
     {"putil: error: VCD file timestamps are not in sequential order on line 8 [222012]"}},
    // Several digits for a scalar identifier break the reader's invariant:
    // an internal error (status 3), and what the store holds is still printed.
    {"vector_value_on_one_bit_signal",
     {{"wide.vcd", "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                   "$enddefinitions $end\n#0\n0!\n#10\nb110 !\n#20\n"}},
     "wide.vcd", 3, "name,static_probability,toggle_rate\ntop|a,,\n",
     {"putil: internal error: total_bits == 1 (PUTIL, putil_vcd_parser_event_handler_stats_collector.cpp:"}},
    // Bit numbers up to the largest int end the declaration's loop.
    {"range_up_to_int_max",
     {{"max.vcd", "$scope module top $end\n$var wire 4 ! m [2147483647:2147483644] $end\n$upscope $end\n"
                  "$enddefinitions $end\n#0\nb1010 !\n#10\n"}},
     "max.vcd", 0,
     "name,static_probability,toggle_rate\ntop|m[2147483644],0,0\ntop|m[2147483645],1,0\ntop|m[2147483646],0,0\n"
     "top|m[2147483647],1,0\n",
     {}},
    // Escaped identifiers with a comma or a quote stay one CSV field.
    {"names_with_comma_and_quote",
     {{"esc.vcd", "$scope module top $end\n$var wire 1 ! \\a,b $end\n$var wire 1 # \\q\"x $end\n$upscope $end\n"
                  "$enddefinitions $end\n#0\n1!\n0#\n#10\n"}},
     "esc.vcd", 0, "name,static_probability,toggle_rate\n\"top|a,b\",1,0\n\"top|q\"\"x\",0,0\n", {}},
    {"start_later_than_end", {{"a.vcd", A_VCD}}, "--start 20ns --end 10ns a.vcd", 2, "",
     {"putil: error: --start 20ns is later than --end 10ns", USAGE_HINT}},
    {"unknown_setting", {{"a.vcd", A_VCD}}, "--set no_such_setting=1 a.vcd", 2, "", {USAGE_HINT}},
    {"setting_without_value", {{"a.vcd", A_VCD}}, "--set putil_vcd_stop_after_percent a.vcd", 2, "",
     {"putil: error: --set putil_vcd_stop_after_percent: expected NAME=VALUE", USAGE_HINT}},
    {"unknown_option", {{"a.vcd", A_VCD}}, "--bogus a.vcd", 2, "", {PARSE_USAGE_HINT}},
    {"time_without_unit", {{"a.vcd", A_VCD}}, "--start 10 a.vcd", 2, "", {USAGE_HINT}},
    {"directory_instead_of_file", {{"a.vcd", A_VCD}}, "a.vcd .", 2, "",
     {"putil: error: . is a directory, not a VCD file", USAGE_HINT}},
    {"missing_scope", {{"a.vcd", A_VCD}}, "--scope 'top|nosuch' a.vcd", 2, "",
     {"putil: error: --scope: the design has no instance \"top|nosuch\"", USAGE_HINT}},
    // Window 20..40 ns: a is 1 throughout, no transition inside.
    {"window", {{"a.vcd", A_VCD}}, "--start 20ns --end 40ns a.vcd", 0,
     "name,static_probability,toggle_rate\ntop|a,1,0\n", {}},
    // A 5 ns pulse: kept without a width (the derived design has no delays)
    // and with 4 ns, removed with 10 ns; the bare flag takes no VCD as width.
    {"filter_glitches_without_width", {{"p.vcd", PULSE_VCD}}, "--filter-glitches p.vcd", 0,
     "name,static_probability,toggle_rate\ntop|a,0.125,50000000\n", {}},
    {"filter_glitches_narrower_than_pulse", {{"p.vcd", PULSE_VCD}}, "--filter-glitches=4ns p.vcd", 0,
     "name,static_probability,toggle_rate\ntop|a,0.125,50000000\n", {}},
    {"filter_glitches_wider_than_pulse", {{"p.vcd", PULSE_VCD}}, "--filter-glitches=10ns p.vcd", 0,
     "name,static_probability,toggle_rate\ntop|a,0,0\n", {}},
    // Two files annotating the same signal: --merge add sums.
    {"merge_add", {{"a.vcd", A_VCD}}, "--merge add a.vcd a.vcd", 0,
     "name,static_probability,toggle_rate\ntop|a,1.5,50000000\n", {}},
};

INSTANTIATE_TEST_SUITE_P(CASES, PUTIL_CLI_EXIT_TEST, ::testing::ValuesIn(EXIT_CASES),
                         [](const ::testing::TestParamInfo<EXIT_CASE>& info) { return info.param.name; });

// Bytes that are not UTF-8 in a signal name (here a parse error on line 2,
// but the derived design has the name) still give valid JSON.
TEST_F(PUTIL_CLI_TEST, json_survives_names_that_are_not_utf8)
{
    write_file("latin1.vcd", "$scope module top $end\n$var wire 1 ! caf\xe9 $end\n$upscope $end\n");
    const RUN_RESULT result = run_putil("activity --format json latin1.vcd");
    EXPECT_EQ(result.status, 1);
    const nlohmann::json report = nlohmann::json::parse(result.out);
    ASSERT_EQ(report["signals"].size(), 1u);
    EXPECT_EQ(report["signals"][0]["name"], "top|caf\xef\xbf\xbd");
    EXPECT_EQ(report["messages"][1]["id"], 222007);
}

// A usage error is one line of reason and the hint, nothing else.
TEST_F(PUTIL_CLI_TEST, usage_error_is_two_lines_on_standard_error)
{
    write_file("a.vcd", A_VCD);
    const RUN_RESULT result = run_putil("activity --scope nosuch a.vcd");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "putil: error: --scope: the design has no instance \"nosuch\"\n" + USAGE_HINT + "\n");
}

// The hard stop ends the process half way through the file with status 0:
// the scan never finishes and nothing is printed.
TEST_F(PUTIL_CLI_TEST, stop_after_percent_ends_the_process_part_way)
{
    std::string vcd = "$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n";
    for (int i = 0; i < 200; ++i)
        vcd += "#" + std::to_string(10 * i) + "\n" + std::to_string(i % 2) + "!\n";
    write_file("long.vcd", vcd);
    const RUN_RESULT result =
        run_putil("--debug activity --set putil_vcd_stop_after_percent=50 --format csv long.vcd");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("[222002]"), std::string::npos);
    EXPECT_EQ(result.err.find("[222003]"), std::string::npos);
    // 404 lines: the timestamp on line 205 is the first at 50 percent.
    EXPECT_NE(result.err.find("putil: debug:  Through 49 percent of the VCD file (201 lines out of 404)\n"
                              "putil: debug:  Through 50 percent of the VCD file (205 lines out of 404)\n"
                              "putil: debug:  Hard stop after 50 percent of the VCD file\n"),
              std::string::npos)
        << result.err;
}

// The example design against values worked out by hand from its testbench.
TEST_F(PUTIL_CLI_TEST, counter_example_matches_expected_values)
{
    const std::string examples = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples";
    const std::string expected_file = std::string(PUTIL_TEST_DATA_DIR) + "/counter_expected.csv";
    for (const std::string& path : {examples + "/counter_design.json", examples + "/counter.vcd", expected_file})
        if (!std::filesystem::exists(path))
            GTEST_SKIP() << path << " is not there";
    const RUN_RESULT result = run_putil("activity --format csv --design " + examples + "/counter_design.json " +
                                        examples + "/counter.vcd");
    ASSERT_EQ(result.status, 0) << result.err;

    const auto parse_rows = [](const std::string& csv) {
        std::map<std::string, std::pair<double, double>> rows;
        std::istringstream lines(csv);
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] == '#' || line.rfind("name,", 0) == 0)
                continue;
            const std::size_t first = line.find(','), second = line.find(',', first + 1);
            rows[line.substr(0, first)] = {std::stod(line.substr(first + 1, second - first - 1)),
                                           std::stod(line.substr(second + 1))};
        }
        return rows;
    };
    const auto expected = parse_rows(read_text(expected_file));
    const auto actual = parse_rows(result.out);
    ASSERT_FALSE(expected.empty());
    for (const auto& [name, values] : expected) {
        SCOPED_TRACE(name);
        ASSERT_EQ(actual.count(name), 1u);
        // Single precision in the store: compare to 1e-6 relative.
        EXPECT_NEAR(actual.at(name).first, values.first, 1e-6 * std::fabs(values.first));
        EXPECT_NEAR(actual.at(name).second, values.second, 1e-6 * std::fabs(values.second));
    }
}

}  // namespace
