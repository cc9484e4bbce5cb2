// Yosys JSON netlists through the design loader: the mapping of a small
// netlist, detection by content, and the errors of netlists it cannot map.
#include "host_test_fixture.h"

namespace {

// A LUT feeds a flip-flop whose output is the port q; the LUT's second
// input is tied to 1. Net 5 has a hidden name only, net 4 a register name
// that wins over the port's.
const char* const SMALL_NETLIST = R"({
  "creator": "Yosys test",
  "modules": {
    "top": {
      "attributes": {"top": "00000000000000000000000000000001"},
      "ports": {"clk": {"direction": "input", "bits": [2]}, "a": {"direction": "input", "bits": [3]},
                "q": {"direction": "output", "bits": [4]}},
      "cells": {
        "ff": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
               "connections": {"C": [2], "D": [5], "Q": [4]}},
        "lut": {"type": "$lut", "port_directions": {"A": "input", "Y": "output"},
                "connections": {"A": [3, "1"], "Y": [5]}}
      },
      "netnames": {"clk": {"hide_name": 0, "bits": [2]}, "a": {"hide_name": 0, "bits": [3]},
                   "q": {"hide_name": 0, "bits": [4]}, "$lut_y": {"hide_name": 1, "bits": [5]},
                   "r": {"hide_name": 0, "bits": [4, 5], "offset": 6}}
    }
  }
})";

using HOST_YOSYS_NETLIST_TEST = HOST_TEST;

std::string hpath_of(const CDB_ATOM_OTERM* oterm)
{
    return oterm == nullptr ? "(none)" : static_cast<const HOST_OTERM*>(oterm)->get_string_hpath();
}

TEST_F(HOST_YOSYS_NETLIST_TEST, maps_cells_and_ports)
{
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = host_load_design_text(SMALL_NETLIST, "small.json", error);
    ASSERT_NE(design, nullptr) << error;
    EXPECT_EQ(design->name(), "top");
    HOST_NETLIST* netlist = design->host_netlist();
    // Ports in name order, then cells in name order.
    ASSERT_EQ(netlist->atom_count(), 5u);
    HOST_ATOM* clk = netlist->find_atom("clk");
    HOST_ATOM* q = netlist->find_atom("q");
    HOST_ATOM* ff = netlist->find_atom("ff");
    HOST_ATOM* lut = netlist->find_atom("lut");
    ASSERT_TRUE(clk && q && ff && lut);
    EXPECT_EQ(netlist->find_atom("a")->get_id(), 0);
    EXPECT_EQ(ff->get_id(), 3);
    EXPECT_TRUE(clk->is_input_pin_atom());
    EXPECT_TRUE(ff->is_lcell_ff_atom());
    EXPECT_TRUE(lut->is_lcell_comb_atom());
    EXPECT_EQ(hpath_of(clk->get_output_term_by_type(DB_OPORT_COMBOUT, 0)), "clk");
    EXPECT_EQ(hpath_of(clk->get_output_term_by_type(DB_OPORT_PADIO, 0)), "clk~pad");
    auto* ff_q = static_cast<HOST_OTERM*>(ff->get_output_term_by_type(0, 0));
    EXPECT_TRUE(ff_q->is_registered());
    EXPECT_EQ(ff_q->get_string_hpath(), "r[6]");
    auto* lut_y = static_cast<HOST_OTERM*>(lut->get_output_term_by_type(0, 0));
    EXPECT_FALSE(lut_y->is_registered());
    EXPECT_EQ(lut_y->get_string_hpath(), "r[7]");
    // The flip-flop's inputs in port order: C (the clock pin), then D.
    auto* clock = static_cast<HOST_ITERM*>(ff->get_input_term_by_type(0, 0));
    EXPECT_TRUE(clock->is_clock());
    EXPECT_EQ(clock->get_source(), clk->get_output_term_by_type(DB_OPORT_COMBOUT, 0));
    auto* data = static_cast<HOST_ITERM*>(ff->get_input_term_by_type(1, 0));
    EXPECT_FALSE(data->is_clock());
    EXPECT_EQ(data->get_source(), lut_y);
    auto* tied = static_cast<HOST_ITERM*>(lut->get_input_term_by_type(0, 1));
    EXPECT_EQ(tied->get_source(), nullptr);
    EXPECT_EQ(tied->tie(), HOST_INPUT_TIE::VCC);
    EXPECT_EQ(hpath_of(q->get_output_term_by_type(DB_OPORT_PADIO, 0)), "q");
    EXPECT_EQ(q->get_input_term_by_type(0, 0)->get_source(), ff_q);
}

// Two instances of one module: each instance's register becomes an atom
// below its instance, named after the module's own net, and the top's nets
// reach the module's ports.
TEST_F(HOST_YOSYS_NETLIST_TEST, keeps_the_hierarchy_of_instances)
{
    const char* const text = R"({"creator": "Yosys", "modules": {
      "stage": {"ports": {"c": {"direction": "input", "bits": [2]}, "d": {"direction": "input", "bits": [3]},
                          "o": {"direction": "output", "bits": [4]}},
                "cells": {"ff": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                                 "connections": {"C": [2], "D": [3], "Q": [4]}}},
                "netnames": {"o": {"hide_name": 0, "bits": [4]}, "r": {"hide_name": 0, "bits": [4]}}},
      "top": {"attributes": {"top": 1},
              "ports": {"clk": {"direction": "input", "bits": [2]}, "d": {"direction": "input", "bits": [3]}},
              "cells": {"s1": {"type": "stage", "connections": {"c": [2], "d": [3], "o": [5]}},
                        "s2": {"type": "stage", "connections": {"c": [2], "d": [5], "o": [6]}}},
              "netnames": {"mid": {"hide_name": 1, "bits": [5]}}}}})";
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = host_load_design_text(text, "hier.json", error);
    ASSERT_NE(design, nullptr) << error;
    HOST_ATOM* first = design->host_netlist()->find_atom("s1|ff");
    HOST_ATOM* second = design->host_netlist()->find_atom("s2|ff");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(hpath_of(first->get_output_term_by_type(0, 0)), "s1|r");
    EXPECT_EQ(second->get_input_term_by_type(1, 0)->get_source(), first->get_output_term_by_type(0, 0));
    EXPECT_EQ(second->get_input_term_by_type(0, 0)->get_source(),
              design->host_netlist()->find_atom("clk")->get_output_term_by_type(DB_OPORT_COMBOUT, 0));
}

// An inout bit that the register r drives straight (synth without tribuf):
// the pad's pad side takes the port's name, its core side drives the bit,
// which g reads, and r keeps its net's own name.
TEST_F(HOST_YOSYS_NETLIST_TEST, bidirectional_pad_takes_the_port_name_on_its_pad_side)
{
    const char* const text = R"({"creator": "Yosys", "modules": {"top": {
      "ports": {"io": {"direction": "inout", "bits": [2]}, "clk": {"direction": "input", "bits": [3]}},
      "cells": {"r": {"type": "$_DFF_P_", "port_directions": {"C": "input", "D": "input", "Q": "output"},
                      "connections": {"C": [3], "D": [4], "Q": [2]}},
                "g": {"type": "$_NOT_", "port_directions": {"A": "input", "Y": "output"},
                      "connections": {"A": [2], "Y": [4]}}},
      "netnames": {"io": {"hide_name": 0, "bits": [2]}, "q": {"hide_name": 0, "bits": [2]}}}}})";
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = host_load_design_text(text, "io.json", error);
    ASSERT_NE(design, nullptr) << error;
    HOST_NETLIST* netlist = design->host_netlist();
    HOST_ATOM* pad = netlist->find_atom("io");
    EXPECT_EQ(hpath_of(pad->get_output_term_by_type(DB_OPORT_PADIO, 0)), "io");
    EXPECT_EQ(hpath_of(pad->get_output_term_by_type(DB_OPORT_COMBOUT, 0)), "io~core");
    EXPECT_EQ(netlist->find_atom("g")->get_input_term_by_type(0, 0)->get_source(),
              pad->get_output_term_by_type(DB_OPORT_COMBOUT, 0));
    EXPECT_EQ(hpath_of(netlist->find_atom("r")->get_output_term_by_type(0, 0)), "q");
}

// A chain of 200 modules, each instantiating the next: deep, not a cycle.
TEST_F(HOST_YOSYS_NETLIST_TEST, DeepHierarchyIsNoCycle)
{
    const int depth = 200;
    std::string modules;
    for (int level = 1; level < depth; ++level)
        modules += "\"m" + std::to_string(level) + "\": {\"cells\": {\"u\": {\"type\": \"m" + std::to_string(level + 1) +
                   "\", \"connections\": {}}}},\n";
    modules += "\"m" + std::to_string(depth) + "\": {\"cells\": {\"ff\": {\"type\": \"$_DFF_P_\", "
               "\"connections\": {}}}},\n";
    const std::string text = R"({"creator": "Yosys", "modules": {)" + modules +
                             R"("top": {"attributes": {"top": 1}, "cells": {"u": {"type": "m1", "connections": {}}}}}})";
    std::string error;
    std::unique_ptr<HOST_DESIGN> design = host_load_design_text(text, "deep.json", error);
    ASSERT_NE(design, nullptr) << error;
    std::string path = "u";
    for (int level = 1; level < depth; ++level)
        path += "|u";
    EXPECT_NE(design->host_netlist()->find_atom(path + "|ff"), nullptr);
}

struct ERROR_CASE {
    const char* label;
    const char* text;
    const char* error;
};

// The first row is the design format: "modules" without "creator".
const ERROR_CASE ERROR_CASES[] = {
    {"not_yosys", R"({"modules": {}, "atoms": []})", "t.json: modules: unknown key"},
    {"no_module", R"({"creator": "Yosys", "modules": {}})", "t.json: modules: no module"},
    {"no_top", R"({"creator": "Yosys", "modules": {"a": {}, "b": {}}})",
     "t.json: modules: no module has the \"top\" attribute"},
    {"unknown_port", R"({"creator": "Yosys", "modules": {"sub": {}, "top": {"attributes": {"top": 1},
       "cells": {"u1": {"type": "sub", "connections": {"x": [2]}}}}}})",
     "t.json: modules.top.cells.u1.connections.x: module \"sub\" has no port \"x\""},
    {"self_instance", R"({"creator": "Yosys", "modules": {"loop": {"cells": {"u": {"type": "loop", "connections": {}}}},
       "top": {"attributes": {"top": 1}, "cells": {"u0": {"type": "loop", "connections": {}}}}}})",
     "t.json: modules.loop: module \"loop\" instantiates itself"},
};

class HOST_YOSYS_NETLIST_ERROR_TEST : public HOST_TEST, public ::testing::WithParamInterface<ERROR_CASE> {};

TEST_P(HOST_YOSYS_NETLIST_ERROR_TEST, fails_with_one_line)
{
    std::string error;
    EXPECT_EQ(host_load_design_text(GetParam().text, "t.json", error), nullptr);
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(CASES, HOST_YOSYS_NETLIST_ERROR_TEST, ::testing::ValuesIn(ERROR_CASES),
                         [](const ::testing::TestParamInfo<ERROR_CASE>& info) { return info.param.label; });

}  // namespace
