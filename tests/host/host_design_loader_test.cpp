// JSON design loader of the reference host: a complete design, and one
// clear error line for each kind of mistake.
#include <filesystem>

#include "host_test_fixture.h"

namespace {

const std::string EXAMPLES = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples";

// The example of docs/design-format.md.
const char* const EXAMPLE_DESIGN = R"({
  "name": "blinky",
  "atoms": [
    {"name": "clk_pin", "kind": "clock_pin", "eda_pin_name": "clk", "outputs": [{"hpath": "clk", "port": "clkout"}]},
    {"name": "pll", "kind": "pll", "outputs": [{"hpath": "pll|_clk0", "port": 0}],
     "inputs": [{"port": 0, "source": "clk", "delay_ps": 40}], "parameters": {"12": 3, "40": true}},
    {"name": "count[0]", "kind": "lcell_ff",
     "outputs": [{"hpath": "top|count|q[0]", "registered": true, "eda_name": "top/count/q[0]"}],
     "inputs": [{"port": 0, "source": "pll|_clk0", "delay_ps": 120}, {"port": 1, "source": "top|count|q[0]"}]},
    {"name": "led", "kind": "bidir_pad", "outputs": [{"hpath": "led", "port": "combout"},
     {"hpath": "led~padout", "port": "pad_output"}],
     "inputs": [{"port": 0, "source": "top|count|q[0]", "delay_ps": 300},
     {"port": "output_enable", "source": "top|count|q[0]", "output_enable": true}, {"port": 5}]},
    {"name": "spare", "kind": "lcell_comb", "power": false}
  ],
  "eda": {"netlist_type": 3, "settings": {"996": 2, "979": true}}
})";

using HOST_DESIGN_LOADER_TEST = HOST_TEST;

TEST_F(HOST_DESIGN_LOADER_TEST, loads_the_documented_example)
{
    std::string error = "stale";
    std::unique_ptr<HOST_DESIGN> design = host_load_design_text(EXAMPLE_DESIGN, "example.json", error);
    ASSERT_NE(design, nullptr) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(design->name(), "blinky");
    EXPECT_EQ(design->host_netlist()->atom_count(), 5u);
    HOST_ATOM* pll = design->host_netlist()->find_atom("pll");
    HOST_ATOM* ff = design->host_netlist()->find_atom("count[0]");
    HOST_ATOM* led = design->host_netlist()->find_atom("led");
    ASSERT_TRUE(pll && ff && led);
    EXPECT_TRUE(pll->is_pll_atom());
    EXPECT_TRUE(led->has_padio_output_data());
    auto* q = static_cast<HOST_OTERM*>(ff->get_output_term_by_type(0, 0));
    EXPECT_TRUE(q->is_registered());
    EXPECT_EQ(q->get_string_hpath(), "top|count|q[0]");
    EXPECT_EQ(q->eda_name().value_or(""), "top/count/q[0]");
    // Fanout in file order: the register's own feedback, then the pad's data and output-enable inputs.
    auto* feedback = static_cast<HOST_ITERM*>(q->begin_iterm_fanout());
    ASSERT_NE(feedback, nullptr);
    EXPECT_EQ(feedback->atom(), ff);
    auto* data = static_cast<HOST_ITERM*>(feedback->get_next_fanout());
    EXPECT_EQ(data->delay_ps(), 300);
    CDB_ATOM_ITERM* enable = led->get_input_term_by_type(CDB_PORT_TYPE_OUTPUT_ENABLE, 0);
    EXPECT_EQ(data->get_next_fanout(), enable);
    EXPECT_TRUE(enable->get_output_enable_flag());
    EXPECT_EQ(enable->get_source(), q);
    EXPECT_EQ(led->get_input_term_by_type(5, 0)->get_source(), nullptr);
    EXPECT_TRUE(cdb_is_connected(q));
    EXPECT_FALSE(cdb_is_connected(led->get_output_term_by_type(CDB_PORT_TYPE_PAD_OUTPUT, 0)));

    int value = -1;
    bool flag = false;
    cga_current_interface()->get_int_parameter(pll, 12, value);
    EXPECT_EQ(value, -1);   // no current design: every parameter is absent
    host_set_current_design(design.get());
    cga_current_interface()->get_int_parameter(pll, 12, value);
    cga_current_interface()->get_bool_parameter(pll, 40, flag);
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(flag);
    EXPECT_FALSE(putil_is_valid_power_atom(design->host_netlist()->find_atom("spare")));
    TSET_TOOL* tool = TSET_UTIL(design->facade()->get_action_point_instance()).get_tool(HOST_TOOL_CATEGORY_SIMULATION);
    EXPECT_EQ(tool->get_eda_netlist_type(), 3);
    EXPECT_EQ(tool->get_enum_value(996), 2);
    EXPECT_TRUE(tool->get_bool_value(979));
    WSC_HIERARCHY_BUILDER builder(design->facade(), "blinky", design->netlist(), nullptr, 3, true, false, false,
                                  false, false, false);
    builder.build();
    EXPECT_EQ(builder.get_pin_name(design->host_netlist()->find_atom("clk_pin")), "clk");
}

TEST_F(HOST_DESIGN_LOADER_TEST, atom_order_does_not_matter_for_sources)
{
    std::string error;
    auto design = host_load_design_text(R"({"atoms":[{"name":"b","kind":"lcell","inputs":[{"source":"top|a"}]},
        {"name":"a","kind":"lcell","outputs":[{"hpath":"top|a"}]}]})", "order.json", error);
    ASSERT_NE(design, nullptr) << error;
    EXPECT_EQ(design->host_netlist()->find_atom("b")->get_input_term_by_type(0, 0)->get_source()->get_string_hpath(),
              "top|a");
}

// Readable files are what every command test loads.
TEST_F(HOST_DESIGN_LOADER_TEST, names_unreadable_files)
{
    const std::string path = (std::filesystem::temp_directory_path() / "putil_host_loader_test_none.json").string();
    std::string error;
    EXPECT_EQ(host_load_design_file(path, error), nullptr);
    EXPECT_EQ(error, path + ": cannot open the design file");
}

// Every key of the clock domain model on five atoms.
const char* const CLOCK_KEYS_DESIGN = R"({"family": 3, "atoms": [
  {"name": "pin", "kind": "io_pad", "pin_with_companion_outputs": true, "companion": "twin", "report": false,
   "outputs": [{"hpath": "pin", "port": "combout"}, {"hpath": "pin~pad", "port": "pad_output"},
               {"hpath": "pin|a", "port": "output_a"}, {"hpath": "pin|b", "port": "output_b"}]},
  {"name": "twin", "kind": "input_pin",
   "outputs": [{"hpath": "twin", "port": "combout"}, {"hpath": "twin~pad", "port": "pad_output"}]},
  {"name": "cc", "kind": "clock_control", "implements": ["dataout", 3074], "parameters": {"90": 8},
   "outputs": [{"hpath": "cc|out", "port": "clock_output"}],
   "inputs": [{"port": "clkctrl_inclk", "source": "pin"}, {"port": "clkselect", "logical": "vcc"},
              {"port": "clkctrl_inclk", "source": "twin"}, {"port": "clkselect", "logical": "gnd"}]},
  {"name": "cdr", "kind": "other", "atom_type": 736, "output_b_load": true, "timing": false,
   "outputs": [{"hpath": "cdr|clk", "port": "cdr_clkout"}]},
  {"name": "wire", "kind": "lcell", "wire_lut": true, "outputs": [{"hpath": "wire", "data_fanin": true}],
   "inputs": [{"source": "cc|out", "clock": true}, {"source": "pin"}]}]})";

TEST_F(HOST_DESIGN_LOADER_TEST, reads_the_clock_domain_keys)
{
    std::string error;
    auto design = host_load_design_text(CLOCK_KEYS_DESIGN, "keys.json", error);
    ASSERT_NE(design, nullptr) << error;
    HOST_NETLIST& netlist = *design->host_netlist();
    HOST_ATOM* pin = netlist.find_atom("pin");
    HOST_ATOM* twin = netlist.find_atom("twin");
    HOST_ATOM* cc = netlist.find_atom("cc");
    HOST_ATOM* cdr = netlist.find_atom("cdr");
    HOST_ATOM* wire = netlist.find_atom("wire");
    EXPECT_EQ(design->store()->get_chip_db_entry()->get_user_family_enum(), 3);
    EXPECT_TRUE(pin->is_pin_with_companion_outputs() && !twin->is_pin_with_companion_outputs());
    EXPECT_FALSE(pin->get_primary_oterm()->get_instance_name()->check_flag(HOST_NAME_FLAG_REPORTED));
    EXPECT_FALSE(pin->get_output_term_by_type(DB_OPORT_PIN_OUTPUT_B, 0)->get_instance_name()->check_flag(256));
    EXPECT_TRUE(twin->get_primary_oterm()->get_instance_name()->check_flag(256));
    EXPECT_EQ(pin->get_primary_oterm(), pin->get_output_term_by_type(CDB_PORT_TYPE_PIN_COMBOUT, 0));
    EXPECT_TRUE(pin->implements(DB_OPORT_PIN_OUTPUT_A) && !pin->implements(DB_OPORT_CLKOUT));
    // Ports of terms and declared ports; input port indexes count within each port type.
    EXPECT_EQ(cc->get_id(), 2);
    EXPECT_TRUE(cc->is_clock_control_atom());
    EXPECT_TRUE(cc->implements(DB_IPORT_CLKSELECT) && cc->implements(DB_OPORT_DATAOUT));
    EXPECT_TRUE(cc->implements(DB_IPORT_HFCLK) && !cc->implements(DB_IPORT_PLL_INCLK));
    CDB_ATOM_ITERM* select1 = cc->get_input_term_by_type(DB_IPORT_CLKSELECT, 1);
    EXPECT_EQ(select1->get_port_index(), 1);
    EXPECT_TRUE(select1->is_logical_gnd() && !select1->is_logical_vcc());
    EXPECT_TRUE(cc->get_input_term_by_type(DB_IPORT_CLKSELECT, 0)->is_logical_vcc());
    EXPECT_EQ(cc->get_input_term_by_type(DB_IPORT_CLKCTRL_INCLK, 1)->get_source(), twin->get_primary_oterm());
    EXPECT_EQ(cc->get_input_term_by_type(DB_IPORT_CLKCTRL_INCLK, 1)->get_port_index(), 1);
    EXPECT_EQ(pin->get_output_term_by_type(DB_OPORT_PIN_OUTPUT_B, 0)->get_port_index(), 0);
    int width = 0;
    EXPECT_TRUE(netlist.get_int_parameter(cc, 90, &width));
    EXPECT_EQ(width, 8);
    EXPECT_FALSE(netlist.get_int_parameter(cc, 91, &width));
    EXPECT_EQ(cdr->get_atom_type(), CDB_ATOM_TYPE_CDR_PLL_B);
    EXPECT_TRUE(cdr->is_pin_output_b_load() && cdr->has_flag(HOST_ATOM_UNTIMED));
    EXPECT_TRUE(CUT_LCELL_UTIL::atom_is_wire_lut(wire) && !CUT_LCELL_UTIL::atom_is_wire_lut(cc));
    CDB_ATOM_ITERM* passed = CUT_LCELL_UTIL::get_wire_lut_iterm(wire);
    EXPECT_EQ(passed, *wire->begin_iterm());
    EXPECT_TRUE(static_cast<HOST_ITERM*>(passed)->is_clock());
    EXPECT_TRUE(static_cast<HOST_OTERM*>(wire->get_primary_oterm())->has_data_fanin());
    // Companions exist in every family but 0; the utility is the caller's to delete.
    EXPECT_FALSE(CUT_ATOM_IO::is_available(0));
    EXPECT_EQ(CUT_ATOM_IO::create_util(MEM_MANAGER::get_default_segment(), 0, false), nullptr);
    const std::size_t live = host_memory_live_blocks("HOST");
    CUT_ATOM_IO* io = CUT_ATOM_IO::create_util(MEM_MANAGER::get_default_segment(), 3, false);
    ASSERT_NE(io, nullptr);
    EXPECT_EQ(io->get_companion_atom(pin), twin);
    EXPECT_TRUE(io->has_companion_atom(pin) && !io->has_companion_atom(twin));
    delete io;
    EXPECT_EQ(host_memory_live_blocks("HOST"), live);
}

struct LOADER_ERROR_CASE {
    const char* name;
    std::string text;
    std::string error;   // after "d.json: "
};

class LOADER_ERROR_TEST : public HOST_TEST, public ::testing::WithParamInterface<LOADER_ERROR_CASE> {};

TEST_P(LOADER_ERROR_TEST, reports_where_and_what)
{
    std::string error;
    EXPECT_EQ(host_load_design_text(GetParam().text, "d.json", error), nullptr);
    EXPECT_EQ(error, "d.json: " + GetParam().error);
    EXPECT_TRUE(host_posted_messages().empty());
}

// The design text of one atom, given the JSON members after its name.
std::string atom(const std::string& members) { return R"({"atoms":[{"name":"a",)" + members + "}]}"; }

const std::string A = R"({"name":"a","kind":"lcell","outputs":[{"hpath":"top|a"}]})";

const LOADER_ERROR_CASE LOADER_ERRORS[] = {
    {"syntax_error", "{\"atoms\": [}",
     "parse error at line 1, column 12: syntax error while parsing value - unexpected '}'; "
     "expected '[', '{', or a literal"},
    {"not_an_object", "[]", "(top level): expected an object, got array"},
    {"missing_atoms", "{}", "atoms: missing"},
    {"missing_name", R"({"atoms":[{"kind":"lcell"}]})", "atoms[0].name: missing"},
    {"unknown_kind", atom(R"("kind":"flipflop")"), "atoms[0].kind: unknown atom kind \"flipflop\""},
    {"misspelt_atom_key", atom(R"("kind":"lcell","outptus":[])"), "atoms[0].outptus: unknown key"},
    {"duplicate_atom", R"({"atoms":[)" + A + "," + A + "]}", "atoms[1].name: atom \"a\" is also defined at atoms[0]"},
    {"empty_level", atom(R"("kind":"lcell","outputs":[{"hpath":"top||q"}])"),
     "atoms[0].outputs[0].hpath: \"top||q\" has an empty level"},
    {"unknown_port_name", atom(R"("kind":"lcell","outputs":[{"hpath":"q","port":"datain"}])"),
     "atoms[0].outputs[0].port: unknown port name \"datain\" (known: " + host_port_names() + ")"},
    {"registered_not_bool", atom(R"("kind":"lcell","outputs":[{"hpath":"q","registered":"yes"}])"),
     "atoms[0].outputs[0].registered: expected true or false, got \"yes\""},
    {"fractional_delay", atom(R"("kind":"lcell","inputs":[{"delay_ps":1.5}])"),
     "atoms[0].inputs[0].delay_ps: expected an integer, got 1.5"},
    {"unknown_source", R"({"atoms":[)" + A + R"(,{"name":"b","kind":"lcell","inputs":[{"source":"top|x"}]}]})",
     "atoms[1].inputs[0].source: no output term \"top|x\""},
    {"ambiguous_source", atom(R"("kind":"lcell","outputs":[{"hpath":"n"},{"hpath":"n"}],"inputs":[{"source":"n"}])"),
     "atoms[0].inputs[0].source: \"n\" names 2 output terms"},
    {"parameter_key_not_number", atom(R"("kind":"lcell","parameters":{"width":3})"),
     "atoms[0].parameters.width: key must be a non-negative decimal number"},
    {"wire_lut_on_a_pin", atom(R"("kind":"input_pin","wire_lut":true)"),
     "atoms[0].wire_lut: needs a logic cell kind (lcell, lcell_comb, lcell_ff)"},
    {"companion_of_a_logic_cell", atom(R"("kind":"lcell","companion":"a")"), "atoms[0].companion: needs a pin kind"},
    {"unknown_companion", atom(R"("kind":"input_pin","companion":"b")"), "atoms[0].companion: no atom \"b\""},
    {"own_companion", atom(R"("kind":"input_pin","companion":"a")"),
     "atoms[0].companion: a pin cannot be its own companion"},
    {"pin_without_pad_side", atom(R"("kind":"input_pin","outputs":[{"hpath":"p","port":"combout"}])"),
     "atoms[0].outputs: a pin with a core-side output (combout or out) needs a pad_output too"},
    {"logical_one", atom(R"("kind":"lcell","inputs":[{"logical":"1"}])"),
     "atoms[0].inputs[0].logical: expected \"vcc\" or \"gnd\", got \"1\""},
    {"logical_with_source",
     R"({"atoms":[)" + A + R"(,{"name":"b","kind":"lcell","inputs":[{"source":"top|a","logical":"gnd"}]}]})",
     "atoms[1].inputs[0].logical: an input tied to a constant has no source"},
    {"clock_twice", R"({"atoms":[],"clocks":[{"name":"c"},{"name":"c","period_ns":2}]})",
     "clocks[1].name: clock \"c\" is defined twice"},
    {"waveform_without_period", R"({"atoms":[],"clocks":[{"name":"c","waveform_ns":[0,1]}]})",
     "clocks[0].waveform_ns: needs period_ns"},
    {"route_data_without_view", R"({"atoms":[],"device":{"route_timing_data_loaded":true}})",
     "device.route_timing_data_loaded: needs route_view"},
    {"unknown_bonding_role", atom(R"("kind":"other","bonding":["pll","relay"])"),
     "atoms[0].bonding[1]: unknown bonding role \"relay\" (known: multi_output, secondary, pll, exempt)"},
    {"missing_device_file", R"({"atoms":[],"device":{"file":"no_such_device.json"}})",
     "device.file: no_such_device.json: cannot open the device file"},
    {"location_off_the_device",
     R"({"atoms":[{"name":"a","kind":"other","location":999}],"device":{"file":")" + EXAMPLES +
         R"(/haldorv_device.json"}})",
     "atoms[0].location: the device has no block 999"},
    {"tx_ser_unknown", atom(R"("kind":"other","tx_ser":"x")"), "atoms[0].tx_ser: no atom \"x\""},
    {"tx_ser_of_another_kind", atom(R"("kind":"other","tx_ser":"a")"),
     "atoms[0].tx_ser: atom \"a\" is not of kind hssi_pma_tx_ser"},
    {"tx_buf_on_another_kind", atom(R"("kind":"other","tx_buf":"a")"), "atoms[0].tx_buf: needs the kind hssi_pma_tx_ser"},
    {"voltage_name", R"({"atoms":[],"voltage_settings":{"voltages":{"4":"VOLTAGE_7_MV"}}})",
     "voltage_settings.voltages.4: unknown voltage name \"VOLTAGE_7_MV\""},
    {"parameter_bit_out_of_range", atom(R"("kind":"other","parameters":{"2":[1,2]})"),
     "atoms[0].parameters.2[1]: integer 2 is out of range 0..1"},
    {"parameter_object", atom(R"("kind":"other","parameters":{"2":{}})"),
     "atoms[0].parameters.2: expected an integer, a string or an array of bits, got {}"},
};
INSTANTIATE_TEST_SUITE_P(MISTAKES, LOADER_ERROR_TEST, ::testing::ValuesIn(LOADER_ERRORS), row_name);

}  // namespace
