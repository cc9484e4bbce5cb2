// The synthesized examples (Yosys netlists of examples/*.v and their Icarus simulations): every pin and register
// matches the simulation, chosen signals have the activity their testbench gives them, the bus pad's output record
// counts the toggles under its output enable, and the constraints give the clock domains.
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>

#include "host_design_loader.h"
#include "host_hierarchy.h"
#include "putil_test_support.h"

namespace {

const std::string EXAMPLES = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples/";

struct SYNTHESIZED_EXAMPLE {
    const char* name;
    unsigned pins, registers;   // as the name-matching summary counts them; none may be unmatched
    std::vector<EXPECTED_SIGNAL> signals;
    std::optional<double> bus_pad_enabled_rate;   // bus[0]'s output record
    std::vector<std::vector<std::string>> domains;   // signal, domain, clock rate
};
void PrintTo(const SYNTHESIZED_EXAMPLE& row, std::ostream* out) { *out << row.name; }

const SYNTHESIZED_EXAMPLE EXAMPLE_CASES[] = {
    // sync_counter_tb.v, 2000 ns: clk_a and clk_b have periods of 10 and 12.5 ns; after 40 ns of reset, en is high for
    // 30 ns of every 40 (49 rounds, 98 transitions). Pins: the four inputs' core sides.
    {"sync_counter", 4, 7,
     {{"clk_a", 0.5, 2e8}, {"clk_b", 0.5, 1.6e8}, {"en", 49 * 30 / 2000.0, 98 / 2000e-9}},
     std::nullopt,
     {{"tc_q", "0", "200000000"}, {"sync[1]", "1", "160000000"}}},
    // bidir_port_tb.v, 1930 ns: clk has a period of 10 ns; from 10 ns on, 24 frames of 80 ns where drive is high for
    // 40 ns and oe follows 5 ns later; oe and bus[0] are unknown up to the reset edge at 5 ns. bus[0] per frame: z 5 ns,
    // the design's 0 1 0 1 for 10 ns each, z 5 ns, the testbench's frame count bit 0 for 30 ns (high in 12 frames):
    // 2 + 4 half transitions, of which the design's three toggles and its step from z count under oe (the step to z
    // ends its interval where the testbench drives). Pins: the inputs' core sides and the bus's pad sides.
    {"bidir_port", 7, 9,
     {{"clk", 0.5, 2e8},
      {"drive", 24 * 40 / 1930.0, 48 / 1930e-9},
      {"oe", 24 * 40 / 1925.0, 48 / 1925e-9},
      {"bus[0]", (24 * (5 + 20) + 12 * 30) / 1925.0, 24 * 5 / 1925e-9}},
     24 * 3.5 / 1925e-9,
     {{"bus[0]", "0", "200000000"}, {"din[0]", "0", "200000000"}}},
};

class SYNTHESIZED_EXAMPLE_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<SYNTHESIZED_EXAMPLE> {};

TEST_P(SYNTHESIZED_EXAMPLE_TEST, every_pin_and_register_matches_and_chosen_signals_follow_the_testbench)
{
    const SYNTHESIZED_EXAMPLE& example = GetParam();
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = host_load_design_file(EXAMPLES + example.name + ".json", error);
    ASSERT_NE(design, nullptr) << error;
    // The name-matching files go to the working directory, which the test
    // gives back before its folder is removed.
    const std::filesystem::path directory = std::filesystem::current_path();
    std::filesystem::current_path(m_folder);
    const std::shared_ptr<void> back(nullptr, [&](void*) { std::filesystem::current_path(directory); });
    host_set_setting("putil_output_vcd_name_matching_info", "on");
    EXPECT_EQ(read_file(*design, EXAMPLES + example.name + ".vcd"), std::vector<unsigned>{});
    const std::string summary = putil_read_text("putil_vcd_unmatched_names_summary.txt");
    EXPECT_EQ(summary.substr(0, summary.find("MAC_")),
              "PIN_OTERMS\t" + std::to_string(example.pins) + "\nPIN_OTERMS_UNMATCHED\t0\nREGISTERED_OTERMS\t" +
                  std::to_string(example.registers) + "\nREGISTERED_OTERMS_UNMATCHED\t0\n");

    putil_expect_signals(*design, example.signals);
    if (example.bus_pad_enabled_rate) {
        const CDB_ATOM_OTERM* bus = putil_find_oterm(*design, "bus[0]");
        unsigned id = 0;
        ASSERT_TRUE(bus != nullptr && design->store()->get_unique_id_for_output_signal(bus, &id));
        PUTIL_OUTPUT_SIGNAL_DATA* driven = design->store()->get_bidir_padio_output_signal_data(id, false);
        ASSERT_NE(driven, nullptr);
        EXPECT_FLOAT_EQ(driven->get_toggle_rate(), static_cast<float>(*example.bus_pad_enabled_rate));
    }
}

TEST_P(SYNTHESIZED_EXAMPLE_TEST, constraints_give_the_clock_domains)
{
    const std::string name = EXAMPLES + GetParam().name;
    const RUN_RESULT result = run_putil("clocks --format csv --design " + name + ".json --sdc " + name + ".sdc");
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = putil_csv_rows(result.out);
    for (const std::vector<std::string>& expected : GetParam().domains) {
        ASSERT_EQ(rows.count(expected[0]), 1u) << expected[0];
        EXPECT_EQ(std::vector<std::string>(rows.at(expected[0]).begin(), rows.at(expected[0]).begin() + 2),
                  std::vector<std::string>(expected.begin() + 1, expected.end()));
    }
}

// The program's JSON shows the bus pad's output side next to its toggle rate.
TEST_P(SYNTHESIZED_EXAMPLE_TEST, json_shows_the_output_side_of_bidirectional_pads)
{
    const std::string name = EXAMPLES + GetParam().name;
    const RUN_RESULT result = run_putil("activity --format json --design " + name + ".json " + name + ".vcd");
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json report = nlohmann::json::parse(result.out);
    std::optional<double> shown;
    for (const nlohmann::json& signal : report["signals"]) {
        if (signal["name"] == "bus[0]" && signal.contains("output_toggle_rate"))
            shown = signal["output_toggle_rate"].get<double>();
    }
    EXPECT_EQ(shown.has_value(), GetParam().bus_pad_enabled_rate.has_value());
    if (shown) {
        EXPECT_FLOAT_EQ(static_cast<float>(*shown), static_cast<float>(*GetParam().bus_pad_enabled_rate));
    }
}

// Yosys lists a net's bits from its least significant, the rightmost digit of a value; for an "upto" net ([1:4])
// that is the highest index. The loader names the bits so that a simulation's ascending declaration of the same net
// matches every bit with the value its digit gives: the leftmost digit is d[1].
const char* const UPTO_NETLIST = R"({
  "creator": "Yosys test",
  "modules": {
    "top": {
      "attributes": {"top": "00000000000000000000000000000001"},
      "ports": {"clk": {"direction": "input", "bits": [2]},
                "d": {"direction": "input", "bits": [3, 4, 5, 6], "upto": 1, "offset": 1}},
      "cells": {
        "ff0": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                "connections": {"C": [2], "D": [3], "Q": [7]}},
        "ff1": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                "connections": {"C": [2], "D": [4], "Q": [8]}}
      },
      "netnames": {"clk": {"hide_name": 0, "bits": [2]},
                   "d": {"hide_name": 0, "bits": [3, 4, 5, 6], "upto": 1, "offset": 1},
                   "q": {"hide_name": 0, "bits": [7, 8], "upto": 1}}
    }
  }
})";

TEST_F(PUTIL_TEST, yosys_upto_nets_match_ascending_declarations_bit_by_bit)
{
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = host_load_design_text(UPTO_NETLIST, "upto.json", error);
    ASSERT_NE(design, nullptr) << error;
    // d = 1000, 0100 from 10 ns, 0001 from 30 ns; q = 10, then 01 from 10 ns.
    const std::string vcd = write_file("upto.vcd", "$timescale 1ns $end\n$scope module top $end\n"
                                                   "$var wire 4 ! d [1:4] $end\n$var reg 2 \" q [0:1] $end\n"
                                                   "$upscope $end\n$enddefinitions $end\n#0\nb1000 !\nb10 \"\n"
                                                   "#10\nb100 !\nb1 \"\n#30\nb1 !\n#40\n");
    EXPECT_EQ(read_file(*design, vcd, true), std::vector<unsigned>{});
    putil_expect_signals(*design, {{"d[1]", 0.25, 1 / 40e-9}, {"d[2]", 0.5, 2 / 40e-9}, {"d[3]", 0.0, 0.0},
                                   {"d[4]", 0.25, 1 / 40e-9}, {"q[0]", 0.25, 1 / 40e-9}, {"q[1]", 0.75, 1 / 40e-9}});
}

// packet_engine.v, synthesized with -flatten -nofsm and simulated by Icarus (memory words named in $dumpvars) and by
// Verilator (generate blocks as module scopes, arrays dumped by default): every pin and all registers but the five
// that Yosys made for the memory's read port match. The values were tallied from each VCD by an independent script;
// they differ between the simulators where Icarus starts registers at X and Verilator at 0.
struct PACKET_ENGINE_CASE {
    const char* name;
    const char* vcd;
    std::vector<EXPECTED_SIGNAL> signals;
};
void PrintTo(const PACKET_ENGINE_CASE& row, std::ostream* out) { *out << row.name; }
class PACKET_ENGINE_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<PACKET_ENGINE_CASE> {};

TEST_P(PACKET_ENGINE_TEST, all_but_internal_registers_match_from_each_simulator)
{
    const RUN_RESULT result =
        run_putil("activity --format csv --set putil_output_vcd_name_matching_info=on --design " + EXAMPLES +
                  "packet_engine.json --sdc " + EXAMPLES + "packet_engine.sdc " + EXAMPLES + GetParam().vcd);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("5 of 603 registers got no activity: 5 internal Yosys name"), std::string::npos)
        << result.err;
    for (const std::string& line : putil_lines_of(putil_read_text(m_folder + "/putil_vcd_unmatched_reasons.txt")))
        EXPECT_EQ(line.substr(0, 2) + line.substr(line.rfind(',')), "$\\,internal_name") << line;
    const auto rows = putil_csv_rows(result.out);
    for (const EXPECTED_SIGNAL& signal : GetParam().signals) {
        ASSERT_EQ(rows.count(signal.path), 1u) << signal.path;
        EXPECT_FLOAT_EQ(std::stof(rows.at(signal.path)[0]), static_cast<float>(*signal.static_probability))
            << signal.path;
        EXPECT_FLOAT_EQ(std::stof(rows.at(signal.path)[1]), static_cast<float>(*signal.toggle_rate)) << signal.path;
    }
}

const PACKET_ENGINE_CASE PACKET_ENGINE_CASES[] = {
    {"icarus", "packet_engine.vcd",
     {{"core|state[1]", 0.28035043804755944, 28035043.804755945},
      {"core.fifo.mem[9][3]", 0.6332899869960988, 1300390.1170351107},
      {"core|lane[2].u_lane|lfsr[4]", 0.509386733416771, 37797246.55819775},
      {"core|fifo|count[5]", 0.15519399249061328, 14518147.684605757}}},
    {"verilator", "packet_engine_verilator.vcd",
     {{"core|state[1]", 0.28, 2.8e7},
      {"core.fifo.mem[9][3]", 0.60875, 1.25e6},
      {"core|lane[2].u_lane|lfsr[4]", 0.50875, 3.775e7},
      {"core|fifo|count[5]", 0.155, 1.45e7}}},
};

INSTANTIATE_TEST_SUITE_P(SIMULATORS, PACKET_ENGINE_TEST, ::testing::ValuesIn(PACKET_ENGINE_CASES), row_name);

// A flattened netlist of four registers: one net with two public names (the term shows "u1|q", the alphabetically
// first), a net of a generate block "lane[0]", and a dotted name "blk[0].s" beside a real instance "blk[0]".
const char* const ALIAS_NETLIST = R"({
  "creator": "Yosys test",
  "modules": {
    "top": {
      "attributes": {"top": "00000000000000000000000000000001"},
      "ports": {"clk": {"direction": "input", "bits": [2]}, "d": {"direction": "input", "bits": [3]}},
      "cells": {
        "ff_q": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                 "connections": {"C": [2], "D": [3], "Q": [5]}},
        "ff_r": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                 "connections": {"C": [2], "D": [3], "Q": [6]}},
        "ff_s": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                 "connections": {"C": [2], "D": [3], "Q": [7]}},
        "ff_t": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                 "connections": {"C": [2], "D": [3], "Q": [8]}}
      },
      "netnames": {"clk": {"hide_name": 0, "bits": [2]}, "d": {"hide_name": 0, "bits": [3]},
                   "u1.q": {"hide_name": 0, "bits": [5], "attributes": {"hdlname": "u1 q"}},
                   "y": {"hide_name": 0, "bits": [5]},
                   "lane[0].r": {"hide_name": 0, "bits": [6]},
                   "blk[0].s": {"hide_name": 0, "bits": [7]},
                   "blk[0].t": {"hide_name": 0, "bits": [8], "attributes": {"hdlname": "blk[0] t"}}}
    }
  }
})";

struct ALIAS_CASE {
    const char* name;
    const char* declarations;   // inside "top"; codes ! and " toggle (sp 0.25, 2 transitions in 40 ns), # stays 1
    std::vector<EXPECTED_SIGNAL> signals;
};
void PrintTo(const ALIAS_CASE& row, std::ostream* out) { *out << row.name; }

const double TOGGLING_RATE = 2 / 40e-9;
const ALIAS_CASE ALIAS_CASES[] = {
    // A dump of the top level only still finds the register by its other name.
    {"top_level_alias", "$var reg 1 ! y $end\n", {{"u1|q", 0.25, TOGGLING_RATE}}},
    {"shown_name", "$scope module u1 $end\n$var reg 1 ! q $end\n$upscope $end\n", {{"u1|q", 0.25, TOGGLING_RATE}}},
    // Both names dumped: one term, the later declaration's values win.
    {"both_names", "$var reg 1 ! y $end\n$scope module u1 $end\n$var reg 1 # q $end\n$upscope $end\n",
     {{"u1|q", 1.0, 0.0}}},
    // Icarus writes a generate block as a begin scope, Verilator as a module scope.
    {"icarus_block", "$scope begin lane[0] $end\n$var reg 1 ! r $end\n$upscope $end\n",
     {{"lane[0].r", 0.25, TOGGLING_RATE}}},
    {"verilator_block", "$scope module lane[0] $end\n$var reg 1 ! r $end\n$upscope $end\n",
     {{"lane[0].r", 0.25, TOGGLING_RATE}}},
    // A dotted name whose first part is a real instance is a net of that instance that lost its levels (Yosys names
    // a flattened memory's words so): it is found inside the instance, whose own names stay theirs.
    {"dotted_name_inside_an_instance",
     "$scope module blk[0] $end\n$var reg 1 ! t $end\n$var reg 1 # s $end\n$upscope $end\n",
     {{"blk[0]|t", 0.25, TOGGLING_RATE}, {"blk[0].s", 1.0, 0.0}}},
};

class YOSYS_ALIAS_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<ALIAS_CASE> {};

TEST_P(YOSYS_ALIAS_TEST, every_public_name_and_block_spelling_annotates_the_one_term)
{
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = host_load_design_text(ALIAS_NETLIST, "alias.json", error);
    ASSERT_NE(design, nullptr) << error;
    const std::string vcd = write_file("alias.vcd", std::string("$timescale 1ns $end\n$scope module top $end\n") +
                                                        GetParam().declarations +
                                                        "$upscope $end\n$enddefinitions $end\n#0\n0!\n0\"\n1#\n"
                                                        "#10\n1!\n1\"\n#20\n0!\n0\"\n#40\n");
    EXPECT_EQ(read_file(*design, vcd), std::vector<unsigned>{});
    putil_expect_signals(*design, GetParam().signals);
}

INSTANTIATE_TEST_SUITE_P(NAMES, YOSYS_ALIAS_TEST, ::testing::ValuesIn(ALIAS_CASES),
                         [](const ::testing::TestParamInfo<ALIAS_CASE>& info) { return info.param.name; });

// One register or pin per reason it may get no activity.
const char* const REASONS_NETLIST = R"({
  "creator": "Yosys test",
  "modules": {
    "top": {
      "attributes": {"top": "00000000000000000000000000000001"},
      "ports": {"clk": {"direction": "input", "bits": [2]}, "in": {"direction": "input", "bits": [20]}},
      "cells": {
        "$auto$ff": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                     "connections": {"C": [2], "D": [20], "Q": [9]}},
        "cnt_reg": {"type": "$dff", "port_directions": {"CLK": "input", "D": "input", "Q": "output"},
                    "connections": {"CLK": [2], "D": [20, 20], "Q": [3, 4]}},
        "d_reg": {"type": "$dff", "port_directions": {"CLK": "input", "D": "input", "Q": "output"},
                  "connections": {"CLK": [2], "D": [20, 20], "Q": [10, 11]}},
        "miss_ff": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                    "connections": {"C": [2], "D": [20], "Q": [13]}},
        "other_ff": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                     "connections": {"C": [2], "D": [20], "Q": [15]}},
        "state_reg": {"type": "$dff", "port_directions": {"CLK": "input", "D": "input", "Q": "output"},
                      "connections": {"CLK": [2], "D": [20, 20, 20, 20], "Q": [5, 6, 7, 8]}},
        "sub_ff": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                   "connections": {"C": [2], "D": [20], "Q": [14]}},
        "x_ff": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                 "connections": {"C": [2], "D": [20], "Q": [12]}}
      },
      "netnames": {"clk": {"hide_name": 0, "bits": [2]}, "in": {"hide_name": 0, "bits": [20]},
                   "$auto$dff.cc:1$9": {"hide_name": 1, "bits": [9]},
                   "cnt": {"hide_name": 0, "bits": [3, 4]},
                   "d": {"hide_name": 0, "bits": [10, 11], "upto": 1},
                   "miss": {"hide_name": 0, "bits": [13]},
                   "other.r": {"hide_name": 0, "bits": [15], "attributes": {"hdlname": "other r"}},
                   "state": {"hide_name": 0, "bits": [5, 6, 7, 8], "attributes": {"onehot": "00000000000000000000000000000001"}},
                   "sub.q": {"hide_name": 0, "bits": [14], "attributes": {"hdlname": "sub q"}},
                   "x": {"hide_name": 0, "bits": [12]}}
    }
  }
})";

const char* const REASONS_VCD = "$timescale 1ns $end\n$scope module top $end\n"
                                "$var reg 3 ! cnt [2:0] $end\n$var reg 2 \" state [1:0] $end\n"
                                "$var reg 2 # d [0:1] $end\n$var reg 1 $ x $end\n$var wire 1 % clk $end\n"
                                "$scope module sub $end\n$var reg 1 & q $end\n$upscope $end\n"
                                "$scope module other $end\n$var reg 1 ' r $end\n$upscope $end\n"
                                "$upscope $end\n$enddefinitions $end\n"
                                "#0\nb0 !\nb0 \"\nb0 #\nx$\n0%\n0&\n0'\n#10\n1%\n1&\n1'\n#20\n";

struct REASONS_CASE {
    const char* name;
    const char* options;
    const char* reasons_file;
    const char* warning;
    const char* json_counts;
};
void PrintTo(const REASONS_CASE& row, std::ostream* out) { *out << row.name; }

const REASONS_CASE REASONS_CASES[] = {
    {"strict", "--strict",
     "in,PIN,not_in_vcd\n$auto$dff.cc:1$9,REGISTER,internal_name\ncnt[0],REGISTER,width_differs\n"
     "cnt[1],REGISTER,width_differs\nd[1],REGISTER,ascending_ignored\nd[0],REGISTER,ascending_ignored\n"
     "miss,REGISTER,not_in_vcd\nstate[0],REGISTER,recoded\nstate[1],REGISTER,recoded\nstate[2],REGISTER,recoded\n"
     "state[3],REGISTER,recoded\nx,REGISTER,no_known_value\n",
     "putil: warning: 11 of 13 registers and 1 of 2 pins got no activity: 2 width differs, 4 recoded by synthesis, "
     "1 no known value, 1 internal Yosys name, 2 ascending range ignored by strict reading, 2 not in the VCD (see "
     "putil_vcd_unmatched_reasons.txt)\n",
     R"({"pins":1,"reasons":{"ascending_ignored":2,"internal_name":1,"no_known_value":1,"not_in_vcd":2,)"
     R"("recoded":4,"width_differs":2},"registers":11})"},
    // Under --scope sub, the top level's signals apply to sub's names: "other|r" is outside it.
    {"scope", "--scope sub",
     "clk,PIN,outside_scope\nin,PIN,outside_scope\n$auto$dff.cc:1$9,REGISTER,outside_scope\n"
     "cnt[0],REGISTER,outside_scope\ncnt[1],REGISTER,outside_scope\nd[1],REGISTER,outside_scope\n"
     "d[0],REGISTER,outside_scope\nmiss,REGISTER,outside_scope\nother|r,REGISTER,outside_scope\n"
     "state[0],REGISTER,recoded\nstate[1],REGISTER,recoded\nstate[2],REGISTER,recoded\nstate[3],REGISTER,recoded\n"
     "x,REGISTER,outside_scope\n",
     "putil: warning: 12 of 13 registers and 2 of 2 pins got no activity: 4 recoded by synthesis, 10 outside --scope "
     "(see putil_vcd_unmatched_reasons.txt)\n",
     R"({"pins":2,"reasons":{"outside_scope":10,"recoded":4},"registers":12})"},
};

class UNMATCHED_REASONS_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<REASONS_CASE> {};

// The warning, the reasons file and the JSON counts agree on each register and pin without activity; the
// name-matching files beside them keep their content.
TEST_P(UNMATCHED_REASONS_TEST, each_register_and_pin_without_activity_says_why)
{
    write_file("design.json", REASONS_NETLIST);
    write_file("w.vcd", REASONS_VCD);
    const RUN_RESULT result = run_putil(std::string("activity --format json ") + GetParam().options +
                                        " --set putil_output_vcd_name_matching_info=on --design design.json w.vcd");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(putil_read_text(m_folder + "/putil_vcd_unmatched_reasons.txt"), GetParam().reasons_file);
    EXPECT_NE(result.err.find(GetParam().warning), std::string::npos) << result.err;
    EXPECT_EQ(nlohmann::json::parse(result.out)["unmatched"].dump(), GetParam().json_counts);

    // --unmatched lists the same terms, in the same order, on standard error.
    const RUN_RESULT listed = run_putil(std::string("activity --unmatched ") + GetParam().options +
                                        " --design design.json w.vcd");
    ASSERT_EQ(listed.status, 0) << listed.err;
    std::vector<std::string> expected;
    for (const std::string& line : putil_lines_of(GetParam().reasons_file)) {
        const std::size_t kind = line.find(",PIN,") != std::string::npos ? line.find(",PIN,") : line.find(",REGISTER,");
        expected.push_back("putil: unmatched: " + line.substr(0, kind) +
                           (line.compare(kind, 5, ",PIN,") == 0 ? " (pin): " : " (register): "));
    }
    std::vector<std::string> shown;
    for (const std::string& line : putil_lines_of(listed.err)) {
        if (line.rfind("putil: unmatched: ", 0) == 0)
            shown.push_back(line.substr(0, line.rfind(": ") + 2));
    }
    EXPECT_EQ(shown, expected) << listed.err;
    EXPECT_NE(listed.err.find("got no activity"), std::string::npos);
    EXPECT_NE(listed.err.find("(listed above)\n"), std::string::npos) << listed.err;
}

INSTANTIATE_TEST_SUITE_P(RUNS, UNMATCHED_REASONS_TEST, ::testing::ValuesIn(REASONS_CASES),
                         [](const ::testing::TestParamInfo<REASONS_CASE>& info) { return info.param.name; });

// Without the setting no file is written, and the warning says how to get it or the list; a run where everything matched
// warns of nothing.
TEST_F(PUTIL_TEST, the_unmatched_warning_names_the_setting_and_is_silent_when_all_match)
{
    write_file("design.json", REASONS_NETLIST);
    write_file("w.vcd", REASONS_VCD);
    RUN_RESULT result = run_putil("activity --design design.json w.vcd");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("(--unmatched lists them; see putil_vcd_unmatched_reasons.txt with --set "
                              "putil_output_vcd_name_matching_info=on)\n"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(m_folder + "/putil_vcd_unmatched_reasons.txt"));
    const std::string example = EXAMPLES + "sync_counter";
    result = run_putil("activity --format json --design " + example + ".json " + example + ".vcd");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err.find("got no activity"), std::string::npos) << result.err;
    EXPECT_FALSE(nlohmann::json::parse(result.out).contains("unmatched"));
}

// Declarations of the two-bit "cnt" and the one-hot "state" above.
struct WIDTH_CASE {
    const char* name;
    const char* declaration;   // code !, 0 then 1 from 10 ns of 40
    const char* bit;
    HOST_NAME_MATCH match;
};
void PrintTo(const WIDTH_CASE& row, std::ostream* out) { *out << row.name; }

const WIDTH_CASE WIDTH_CASES[] = {
    {"same_width", "$var reg 2 ! cnt [1:0] $end\n", "cnt[0]", HOST_NAME_MATCH::ACCEPTED},
    {"wider_declaration", "$var reg 3 ! cnt [2:0] $end\n", "cnt[0]", HOST_NAME_MATCH::WIDTH_DIFFERS},
    // A bit dumped by itself says nothing of its vector's width.
    {"one_bit", "$var reg 1 ! cnt[0] $end\n", "cnt[0]", HOST_NAME_MATCH::ACCEPTED},
    {"recoded", "$var reg 2 ! state [1:0] $end\n", "state[0]", HOST_NAME_MATCH::RECODED},
    {"recoded_at_its_width", "$var reg 4 ! state [3:0] $end\n", "state[0]", HOST_NAME_MATCH::RECODED},
    {"recoded_bit", "$var reg 1 ! state[0] $end\n", "state[0]", HOST_NAME_MATCH::RECODED},
};

class YOSYS_WIDTH_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<WIDTH_CASE> {};

TEST_P(YOSYS_WIDTH_TEST, a_net_of_another_width_or_encoding_is_not_matched)
{
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = host_load_design_text(REASONS_NETLIST, "reasons.json", error);
    ASSERT_NE(design, nullptr) << error;
    const std::string vcd = write_file("recoded.vcd", std::string("$timescale 1ns $end\n$scope module top $end\n") +
                                                          GetParam().declaration +
                                                          "$upscope $end\n$enddefinitions $end\n#0\nb0 !\n0!\n"
                                                          "#10\nb1 !\n1!\n#40\n");
    EXPECT_EQ(read_file(*design, vcd), std::vector<unsigned>{});
    const bool accepted = GetParam().match == HOST_NAME_MATCH::ACCEPTED;
    putil_expect_signals(*design, {{GetParam().bit, accepted ? std::optional<double>(0.75) : std::nullopt,
                                    accepted ? std::optional<double>(1 / 40e-9) : std::nullopt}});
    EXPECT_EQ(design->find_instance(GetParam().bit)->match(), GetParam().match);
}

INSTANTIATE_TEST_SUITE_P(DECLARATIONS, YOSYS_WIDTH_TEST, ::testing::ValuesIn(WIDTH_CASES),
                         [](const ::testing::TestParamInfo<WIDTH_CASE>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(EXAMPLES, SYNTHESIZED_EXAMPLE_TEST, ::testing::ValuesIn(EXAMPLE_CASES),
                         [](const ::testing::TestParamInfo<SYNTHESIZED_EXAMPLE>& info) { return info.param.name; });

}  // namespace
