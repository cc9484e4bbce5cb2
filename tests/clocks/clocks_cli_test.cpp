// The clocks command and the constraints option of the activity command, run as a user runs them, on the bundled
// examples.
#include <nlohmann/json.hpp>
#include <tuple>

#include "putil_test_support.h"

namespace {

const std::string EXAMPLES = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples";
const std::string TWO_CLOCKS = "--design " + EXAMPLES + "/two_clocks_design.json --sdc " + EXAMPLES + "/two_clocks.sdc";

using CLOCKS_CLI_TEST = PUTIL_TEST;

// The PLL doubles clk_a; the synchronizer runs on clk_b; a relative rate becomes absolute on a known clock.
TEST_F(CLOCKS_CLI_TEST, names_each_signals_clock_and_makes_relative_rates_absolute)
{
    const RUN_RESULT result = run_putil("clocks " + TWO_CLOCKS + " --relative 'top|sync|q2=12.5' --format csv");
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = putil_csv_rows(result.out);
    using ROW = std::vector<std::string>;
    // domain, clock rate, from fanout, multiple, multiple register, clock net, relative %, toggle rate
    EXPECT_EQ(rows.at("clk_a"), (ROW{"0", "200000000", "true", "false", "false", "true", "", ""}));
    EXPECT_EQ(rows.at("pll|clk0"), (ROW{"2", "400000000", "true", "false", "false", "true", "", ""}));
    EXPECT_EQ(rows.at("top|launch|q"), (ROW{"2", "400000000", "true", "false", "false", "false", "", ""}));
    EXPECT_EQ(rows.at("din"), (ROW{"2", "400000000", "false", "false", "false", "false", "", ""}));
    EXPECT_EQ(rows.at("top|sync|q2"), (ROW{"1", "250000000", "true", "false", "false", "false", "12.5", "31250000"}));
    EXPECT_TRUE(result.err.empty()) << result.err;
}

// A gate that no clock reaches: its relative rate stays unknown (an empty field, as every missing value in CSV),
// with the warning and its row in the table.
TEST_F(CLOCKS_CLI_TEST, reports_a_signal_whose_clock_cannot_be_named)
{
    write_file("gate.json", R"({"atoms": [
        {"name": "a", "kind": "input_pin", "outputs": [{"hpath": "a", "port": "combout"},
                                                       {"hpath": "a~pad", "port": "pad_output"}]},
        {"name": "g", "kind": "lcell_comb", "outputs": [{"hpath": "top|g"}], "inputs": [{"source": "a"}]},
        {"name": "o", "kind": "output_pin", "outputs": [{"hpath": "o~pad", "port": "pad_output"}],
         "inputs": [{"source": "top|g"}]}]})");
    const RUN_RESULT csv = run_putil("clocks --design gate.json --relative 'top|g=50' --format csv");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(putil_csv_rows(csv.out).at("top|g"), (std::vector<std::string>{"", "", "false", "false", "false", "false", "50", ""}));
    EXPECT_NE(csv.err.find("[222013]"), std::string::npos) << csv.err;

    const RUN_RESULT json = run_putil("clocks --design gate.json --relative 'top|g=50' --rule fastest --format json");
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json document = nlohmann::json::parse(json.out);
    EXPECT_EQ(document["rule"], "fastest");
    ASSERT_EQ(document["tables"].size(), 1u);
    EXPECT_EQ(document["tables"][0]["title"], "Indeterminate Toggle Rates");
    EXPECT_EQ(document["tables"][0]["rows"],
              nlohmann::json::parse(R"([["Node", "Reason"], ["top|g", "No valid clock domain found"]])"));
    EXPECT_EQ(document["messages"][0]["id"], 222013);
}

// Where the PLL domain and clk_b meet, --rule fastest and slowest name the
// clock taken; the JSON carries each signal's sub-message, as standard error
// shows them.
TEST_F(CLOCKS_CLI_TEST, json_carries_the_sub_messages_of_each_signal)
{
    nlohmann::json design = nlohmann::json::parse(putil_read_text(EXAMPLES + "/two_clocks_design.json"));
    design["atoms"].push_back(nlohmann::json::parse(R"({"name": "g", "kind": "lcell_comb",
        "outputs": [{"hpath": "top|g"}], "inputs": [{"source": "top|launch|q"}, {"source": "top|sync|q2"}]})"));
    design["atoms"].push_back(nlohmann::json::parse(R"({"name": "o", "kind": "output_pin",
        "outputs": [{"hpath": "o~pad", "port": "pad_output"}], "inputs": [{"port": 0, "source": "top|g"}]})"));
    write_file("meet.json", design.dump());
    const std::string args = "clocks --design meet.json --sdc " + EXAMPLES + "/two_clocks.sdc --format json "
                             "--relative 'top|g=10' --rule ";
    for (const auto& [rule, id, sub_id] : {std::tuple{"fastest", 222014, 222015}, std::tuple{"slowest", 222016, 222017}}) {
        const RUN_RESULT result = run_putil(args + rule);
        ASSERT_EQ(result.status, 0) << result.err;
        const nlohmann::json messages = nlohmann::json::parse(result.out)["messages"];
        ASSERT_EQ(messages.size(), 1u) << messages;
        EXPECT_EQ(messages[0]["id"], id);
        ASSERT_EQ(messages[0]["sub_messages"].size(), 1u) << messages;
        const nlohmann::json& sub = messages[0]["sub_messages"][0];
        EXPECT_EQ(sub["id"], sub_id);
        EXPECT_NE(sub["text"].get<std::string>().find("top|g"), std::string::npos) << sub;
        EXPECT_NE(result.err.find(sub["text"].get<std::string>()), std::string::npos) << result.err;
    }
}

struct CLOCKS_USAGE_CASE {
    const char* name;
    std::string args;
    int status;
    const char* error;   // a part of standard error
};
void PrintTo(const CLOCKS_USAGE_CASE& row, std::ostream* out) { *out << row.name; }

class CLOCKS_USAGE_TEST : public CLOCKS_CLI_TEST, public ::testing::WithParamInterface<CLOCKS_USAGE_CASE> {};

TEST_P(CLOCKS_USAGE_TEST, stops_with_a_clear_error)
{
    write_file("bad.sdc", "create_clock -name c -period 10 [get_ports clk_a]\ncreate_clock -period ten\n");
    const RUN_RESULT result = run_putil(GetParam().args);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_NE(result.err.find(GetParam().error), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
}

const std::string DESIGN = "--design " + EXAMPLES + "/two_clocks_design.json";

const CLOCKS_USAGE_CASE USAGE_CASES[] = {
    {"unknown_signal", "clocks " + DESIGN + " --relative nope=5", 2, "--relative nope: the design has no output"},
    {"percent_not_a_number", "clocks " + DESIGN + " --relative 'din=5x'", 2, "expected NAME=PERCENT"},
    {"percent_infinite", "clocks " + DESIGN + " --relative 'din=inf'", 2, "expected NAME=PERCENT"},
    {"percent_beyond_single_precision", "clocks " + DESIGN + " --relative 'din=1e39'", 2, "expected NAME=PERCENT"},
    {"percent_hexadecimal", "clocks " + DESIGN + " --relative 'din=0x10'", 2, "expected NAME=PERCENT"},
    {"bad_constraints_line", "clocks " + DESIGN + " --sdc bad.sdc", 1, "bad.sdc:2:"},
    {"missing_design", "clocks --design none.json", 1, "none.json"},
    {"activity_bad_constraints", "activity " + DESIGN + " --sdc bad.sdc " + EXAMPLES + "/counter.vcd", 1,
     "bad.sdc:2:"},
};

INSTANTIATE_TEST_SUITE_P(CLOCKS_CLI, CLOCKS_USAGE_TEST, ::testing::ValuesIn(USAGE_CASES), row_name);

// Constraints applied before the waveforms: the constrained clock and its pad side keep the constraint's rate
// and duty cycle, marked as such, and every other signal keeps its waveform values.
TEST_F(CLOCKS_CLI_TEST, activity_takes_clock_constraints_before_the_waveforms)
{
    write_file("clk.sdc", "create_clock -name clk -period 5 -waveform {0 1} [get_ports clk]\n");
    const RUN_RESULT result = run_putil("activity --design " + EXAMPLES + "/counter_design.json --sdc clk.sdc " +
                                        "--format csv " + EXAMPLES + "/counter.vcd");
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = putil_csv_rows(result.out);
    using ROW = std::vector<std::string>;
    EXPECT_EQ(rows.at("dut|clk"), (ROW{"0.200000003", "400000000", "constraints", "constraints"}));
    EXPECT_EQ(rows.at("clk"), (ROW{"0.200000003", "400000000", "constraints", "constraints"}));
    EXPECT_EQ(rows.at("dut|en"), (ROW{"0.74000001", "49333332", "waveform", "waveform"}));
}

// A constraints file as real flows write it: the generated clock of a divide-by-two register gets its rate and duty
// cycle like the board clock, and the timing commands are skipped with one warning per command name.
TEST_F(CLOCKS_CLI_TEST, activity_reads_generated_clocks_and_skips_other_commands)
{
    write_file("board.sdc", "# board clock and the counter's divided copy\n"
                            "create_clock -name clk -period 5 -waveform {0 1} [get_ports clk]\n"
                            "create_generated_clock -name clk_div -source [get_ports clk] -divide_by 2 \\\n"
                            "    [get_pins {dut|cnt\\[0\\]}]\n"
                            "set_input_delay -clock clk -max 1.2 [get_ports en]\n"
                            "set_input_delay -clock clk -min 0.4 [get_ports en]; "
                            "set_false_path -from [get_ports rst]\n");
    const RUN_RESULT result = run_putil("activity --design " + EXAMPLES + "/counter_design.json --sdc board.sdc " +
                                        "--format csv " + EXAMPLES + "/counter.vcd");
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = putil_csv_rows(result.out);
    using ROW = std::vector<std::string>;
    EXPECT_EQ(rows.at("clk"), (ROW{"0.200000003", "400000000", "constraints", "constraints"}));
    EXPECT_EQ(rows.at("dut|cnt[0]"), (ROW{"0.5", "200000000", "constraints", "constraints"}));
    EXPECT_NE(result.err.find("putil: warning: board.sdc: skipped 2 set_input_delay commands (only create_clock and "
                              "create_generated_clock are read)\nputil: warning: board.sdc: skipped 1 set_false_path "
                              "command"),
              std::string::npos)
        << result.err;
}

}  // namespace
