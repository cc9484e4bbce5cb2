// The waveform commands as a user runs them: VCD -> TBL -> activity from the table equals activity from the VCD,
// and the transient command's points, plot and errors.
#include <cmath>

#include "putil_test_support.h"

namespace {

using WAVEFORM_COMMANDS_TEST = PUTIL_TEST;

// Clean two-level signals of three periods; the last timestamp changes nothing, so the table's last row ends every
// signal where the VCD file ends.
const char* const TWO_LEVEL_VCD = "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n"
                                  "$var wire 1 \" b $end\n$var wire 2 # v [1:0] $end\n$upscope $end\n"
                                  "$enddefinitions $end\n#0\n0!\n1\"\nb10 #\n";

TEST_F(WAVEFORM_COMMANDS_TEST, activity_through_a_tbl_file_equals_activity_from_the_vcd)
{
    std::string vcd = TWO_LEVEL_VCD;
    for (int t = 5; t < 1000; t += 5) {
        vcd += "#" + std::to_string(t) + "\n" + (t % 10 == 5 ? "1!\n" : "0!\n");
        if (t % 35 == 0)
            vcd += (t % 70 == 0 ? "1\"\n" : "0\"\n");
        if (t % 15 == 0)
            vcd += "b" + std::string(t % 30 == 0 ? "01" : "11") + " #\n";
    }
    vcd += "#1000\n";
    write_file("w.vcd", vcd);
    const RUN_RESULT from_vcd = run_putil("activity --format csv w.vcd");
    ASSERT_EQ(from_vcd.status, 0) << from_vcd.err;
    const RUN_RESULT tbl = run_putil("tbl w.vcd -o w.tbl");
    ASSERT_EQ(tbl.status, 0) << tbl.err;
    write_file("w.json", R"({"atoms": [{"name": "s", "kind": "other", "outputs": [
        {"hpath": "top|a"}, {"hpath": "top|b"}, {"hpath": "top|v[0]"}, {"hpath": "top|v[1]"}]}]})");
    const RUN_RESULT from_table = run_putil("activity --format csv --design w.json --vwf w.tbl");
    ASSERT_EQ(from_table.status, 0) << from_table.err;

    const auto expected = putil_csv_rows(from_vcd.out), actual = putil_csv_rows(from_table.out);
    ASSERT_EQ(actual.size(), 5u) << from_table.out;   // the header and four signals
    for (const auto& [name, values] : actual) {
        if (name == "name")
            continue;
        SCOPED_TRACE(name);
        const double rate = std::stod(expected.at(name)[1]);
        EXPECT_NEAR(std::stod(values[0]), std::stod(expected.at(name)[0]), 1e-6);
        EXPECT_NEAR(std::stod(values[1]), rate, rate * 1e-6);
    }
}

TEST_F(WAVEFORM_COMMANDS_TEST, transient_writes_points_plot_and_dump)
{
    // a toggles at 0 (its first value, from X, is none), b, with no energy, at 1000 ns.
    write_file("t.vcd", "$timescale 1ns $end\n$var wire 1 ! a $end\n$var wire 1 \" b $end\n$enddefinitions $end\n"
                        "#0\n0!\n1\"\n1!\n#1000\n0\"\n");
    write_file("e.csv", "name,energy_type,energy\na,0,1e-12\n");
    const RUN_RESULT result = run_putil("transient t.vcd --energies e.csv --voltage 1 --dump --plot p.svg");
    ASSERT_EQ(result.status, 0) << result.err;
    // (time s, current A): the first bin's 2e-15 J over 1 ns at 1 V is 2 uA, back to zero after the 500 bins.
    const std::vector<std::pair<double, double>> expected = {
        {0, 0}, {0, 0}, {1e-10, 2e-6}, {5e-7, 2e-6}, {5.001e-7, 0}};
    const std::vector<std::string> lines = putil_lines_of(result.out);
    ASSERT_EQ(lines.size(), expected.size() + 1);
    EXPECT_EQ(lines[0], "time_s,current_a");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::size_t comma = lines[i + 1].find(',');
        EXPECT_NEAR(std::stod(lines[i + 1].substr(0, comma)), expected[i].first, 1e-20) << lines[i + 1];
        EXPECT_NEAR(std::stod(lines[i + 1].substr(comma + 1)), expected[i].second, 1e-15) << lines[i + 1];
    }
    const std::string svg = putil_read_text(m_folder + "/p.svg");
    EXPECT_NE(svg.find("time (ns)"), std::string::npos);
    EXPECT_NE(svg.find("current (\u00b5A)"), std::string::npos);
    const std::string dump = putil_read_text(m_folder + "/transient_current_waveform.dump");
    const std::size_t total = dump.find("Total chip energy is: ");
    ASSERT_NE(total, std::string::npos) << dump;
    EXPECT_NEAR(std::stod(dump.substr(total + 22)), 1e-12, 1e-24);
}

struct WAVEFORM_USAGE_CASE {
    const char* name;
    const char* args;
    int status;
    const char* error;
};
void PrintTo(const WAVEFORM_USAGE_CASE& row, std::ostream* out) { *out << row.name; }
class WAVEFORM_USAGE_TEST : public WAVEFORM_COMMANDS_TEST, public ::testing::WithParamInterface<WAVEFORM_USAGE_CASE> {};

TEST_P(WAVEFORM_USAGE_TEST, stops_with_a_clear_error)
{
    write_file("t.vcd", "$timescale 1ns $end\n$var wire 1 ! a $end\n$enddefinitions $end\n#0\n1!\n");
    write_file("e.csv", "a,0,x\n");
    const RUN_RESULT result = run_putil(GetParam().args);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_NE(result.err.find(GetParam().error), std::string::npos) << result.err;
}

const WAVEFORM_USAGE_CASE USAGE_CASES[] = {
    {"tbl_start_after_end", "tbl t.vcd -o o.tbl --start 20ns --end 10ns", 2, "[222004]"},
    {"tbl_missing_vcd", "tbl none.vcd -o o.tbl", 1, "[222005]"},
    {"transient_bad_energy", "transient t.vcd --energies e.csv --voltage 1", 1, "e.csv:1:"},
    {"transient_no_voltage", "transient t.vcd --energies e.csv --voltage 0", 2, "--voltage"},
    {"vwf_unreadable", "activity --design none.json --vwf t.vcd", 1, "none.json"},
    {"vwf_without_design", "activity --vwf t.vcd", 2, "a waveform table needs --design"},
    {"vwf_with_vcd_files", "activity --vwf t.vcd t.vcd", 2, "--vwf takes the place of VCD files"},
};
INSTANTIATE_TEST_SUITE_P(WAVEFORMS, WAVEFORM_USAGE_TEST, ::testing::ValuesIn(USAGE_CASES), row_name);

}  // namespace
