// JSON device loader of the reference host: the documented device and one
// clear error line for each kind of mistake. The bundled devices and designs
// are loaded by the hssi command's tests.
#include "host_test_fixture.h"

namespace {

// The example of docs/device-format.md.
const char* const EXAMPLE_DEVICE = R"({
  "family": "HALDORV",
  "device": 3,
  "die_width": 12,
  "names": {"phys_impl": {"130": "HSSI_STRIP_MINI"}},
  "hssi_elements": [["CDR_PLL", "STANDARD"], ["HSSI_PMA_CHANNEL", "STANDARD"],
                    ["HSSI_PMA_TX_SER", "STANDARD"], ["IO", "STANDARD", 7]],
  "supply_regions": {"VCCEHT": ["LEFT_HALF", "RIGHT_HALF"], "VCC_PERIPHERY": ["WHOLE_DIE"]},
  "voltages": {"VOLTAGE_1030_MV": 1030, "VOLTAGE_1100_MV": 1100},
  "blocks": [
    {"gid": 100, "kind": "HSSI_STRIP", "impl": "HSSI_STRIP_MINI", "x": 0, "y": 0,
     "supplies": ["VCC_PERIPHERY", "VCCEHT"], "regions": {"VCCEHT": "LEFT_HALF"}},
    {"gid": 101, "kind": "CDR_PLL", "impl": "STANDARD", "x": 0, "y": 1, "parent": 100,
     "supplies": ["VCC_HSSI_PLL"]},
    {"gid": 102, "kind": "HSSI_PMA_CHANNEL", "impl": "STANDARD", "x": 0, "y": 2, "parent": 100,
     "supplies": ["VCCEHT", "VCC_HSSI_RX"], "pad": {"2": 5}},
    {"gid": 103, "kind": "HSSI_PMA_TX_SER", "impl": 1, "x": 0, "y": 2, "parent": 102,
     "attributes": {"14": 0}, "supplies": [24]},
    {"gid": 104, "kind": 1785, "impl": "STANDARD", "x": 0, "y": 3, "parent": 102, "enabled": false},
    {"gid": 300, "kind": "IO", "impl": "STANDARD", "x": 7, "y": 0, "pad": {"2": 1, "5": 9}}
  ]
})";

constexpr unsigned NONE = DEV_ILLEGAL_GLOBAL_ID;

DEV_ELEMENT_ENUM kind(int value) { return static_cast<DEV_ELEMENT_ENUM>(value); }
DEV_POWER_SUPPLY_ENUM supply(int value) { return static_cast<DEV_POWER_SUPPLY_ENUM>(value); }

using HOST_DEVICE_LOADER_TEST = HOST_TEST;

// A device text of family 8 with these power constants.
std::string constants(const std::string& list) { return R"({"family": 8, "power_constants": [)" + list + "]}"; }


// The documented device, loaded into the current design's device.
class DOCUMENTED_DEVICE_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        std::string error = "stale";
        ASSERT_TRUE(host_load_device_text(EXAMPLE_DEVICE, "example.json", *m_design.device(), error)) << error;
        EXPECT_EQ(error, "");
        host_set_current_design(&m_design);
        m_device = DMGR_UTILITY::get_current_device();
        m_view = m_device->get_die_info()->get_dygr_die_info();
        ASSERT_NE(m_view, nullptr);
        m_place = m_view->get_place_info();
    }

    HOST_DESIGN m_design;
    DEV_DEVICE* m_device = nullptr;
    DYGR_DIE_INFO* m_view = nullptr;
    DYGR_PLACE_INFO* m_place = nullptr;
};

TEST_F(DOCUMENTED_DEVICE_TEST, builds_the_basic_info_and_the_placement_view)
{
    EXPECT_EQ(m_device->get_basic_info()->get_family_enum(), HOST_FAMILY_HALDORV);
    EXPECT_EQ(m_device->get_basic_info()->get_device_enum(), 3);
    EXPECT_EQ(m_device->get_basic_info()->get_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS),
              (DEV_2D_INT_DATA{{1743, 1}, {822, 1}, {1785, 1}, {163, 1, 7}}));
    EXPECT_TRUE(m_place->is_data_loaded());
    EXPECT_FALSE(m_view->get_route_info()->is_data_loaded());
    EXPECT_EQ(m_place->get_nx(), 12);
    EXPECT_EQ(m_place->get_num_element(DEV_ELEMENT_HSSI_STRIP), 1);
    EXPECT_EQ(m_place->get_num_element(kind(1785)), 2);
    EXPECT_EQ(m_place->get_global_id(kind(1785), 1), 104u);

    const DYGR_PLACE_BLOCK_HIERARCHY_INFO* tree = m_place->get_hierarchy_info();
    EXPECT_EQ(tree->get_parent(100), NONE);
    EXPECT_EQ(tree->get_first_child(100), 101u);
    EXPECT_EQ(tree->get_next_sibling(101), 102u);
    EXPECT_EQ(tree->get_next_sibling(102), NONE);
    EXPECT_EQ(tree->get_first_child(102), 103u);
    EXPECT_EQ(tree->get_next_sibling(103), 104u);
    EXPECT_EQ(tree->get_parent(104), 102u);
    EXPECT_EQ(tree->get_first_child(300), NONE);

    DEV_DIE_INFO* die = m_device->get_die_info();
    DEV_LOCATION location;
    ASSERT_TRUE(die->get_location(300, location));
    EXPECT_EQ(location[DEV_LOCATION_X], 7);
    EXPECT_EQ(location[DEV_LOCATION_Y], 0);
    EXPECT_EQ(m_place->get_place_block(103)->get_y(), 2);
    EXPECT_EQ(die->get_element_desc(104)->get_element_enum(), 1785);
    EXPECT_EQ(die->get_phys_impl(100, 0), 130);
    EXPECT_FALSE(m_view->is_global_id_enabled(104));
    EXPECT_TRUE(m_view->is_global_id_enabled(103));
}

TEST_F(DOCUMENTED_DEVICE_TEST, builds_block_data_supplies_and_names)
{
    int attribute = -1;
    EXPECT_TRUE(m_place->get_int_attribute(103, 14, &attribute));
    EXPECT_EQ(attribute, 0);
    DEV_PAD_INFO* pads = m_device->get_pad_info();
    EXPECT_EQ(pads->get_pad_by_global_id(102)->get_int_data(2), 5);
    EXPECT_EQ(pads->get_pad_by_global_id(300)->get_int_data(5), 9);

    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_power_supplies_of_element(102),
              (std::vector<DEV_POWER_SUPPLY_ENUM>{supply(24), supply(23)}));
    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_power_region_of_element(100, DEV_POWER_SUPPLY_VCCEHT), 1);
    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_power_region_of_element(100, supply(10)), 0);
    const DEV_PART_INFO* part = m_device->get_part_info();
    EXPECT_EQ(part->get_power_supply_desc(DEV_POWER_SUPPLY_VCCEHT)->get_2d_int_data(DEV_POWER_SUPPLY_DESC_2D_INT_REGIONS),
              (DEV_2D_INT_DATA{{1, 2}}));
    EXPECT_EQ(part->get_power_supply_desc(supply(10))->get_2d_int_data(DEV_POWER_SUPPLY_DESC_2D_INT_REGIONS),
              (DEV_2D_INT_DATA{{0}}));
    int millivolts = 0;
    EXPECT_TRUE(CUT_VOLTAGE_UTIL::get_int_voltage_from_dev_enum(static_cast<DEV_VOLTAGE_ENUM>(5), &millivolts));
    EXPECT_EQ(millivolts, 1030);

    // The file's own names hold while its design is current.
    EXPECT_EQ(dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(130)), "HSSI_STRIP_MINI");
    host_set_current_design(nullptr);
    EXPECT_EQ(dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(130)), "130");
}

TEST_F(HOST_DEVICE_LOADER_TEST, names_values_for_debug_output)
{
    // A value without a name is written as its number.
    EXPECT_EQ(dstr_get_debug_string(kind(1862)), "1862");
    EXPECT_EQ(astr_get_debug_string(static_cast<DEV_POWER_HSSI_INT_DATA_ENUM>(21)), "21");
    std::string text;
    astr_get_enum_data_debug_string(DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE, 5, &text);
    EXPECT_EQ(text, "VOLTAGE_1030_MV");
    astr_get_enum_data_debug_string(static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(2), 14, &text);
    EXPECT_EQ(text, "14");
    astr_get_enum_data_debug_string(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, 1, 0, 24, &text);
    EXPECT_EQ(text, "VCCEHT");
    astr_get_enum_data_debug_string(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, 1, 1, 1030, &text);
    EXPECT_EQ(text, "1030");
}

// Each kind's constants on a supply, in file order; the multiplier is 1
// unless given.
TEST_F(HOST_DEVICE_LOADER_TEST, keeps_the_power_constants_of_each_kind_and_supply)
{
    HOST_DEVICE device;
    std::string error;
    ASSERT_TRUE(host_load_device_text(constants(R"({"kind": "CDR_PLL", "supply": "VCC_HSSI_PLL",
        "static_power": [{"name": "bias", "constant": 0.004}, {"name": "tank", "constant": 0.5, "multiplier": 2}],
        "dynamic_energy": [{"name": "vco", "constant": 2e-12}]})"),
                                      "d.json", device, error))
        << error;
    const HOST_POWER_CONSTANTS* pll = device.power_constants(static_cast<DEV_ELEMENT_ENUM>(1743),
                                                             static_cast<DEV_POWER_SUPPLY_ENUM>(20));
    ASSERT_NE(pll, nullptr);
    ASSERT_EQ(pll->static_power.size(), 2u);
    EXPECT_EQ(pll->static_power[1].name, "tank");
    EXPECT_EQ(pll->static_power[1].constant * pll->static_power[1].multiplier, 1.0);
    EXPECT_EQ(pll->static_power[0].multiplier, 1.0);
    ASSERT_EQ(pll->dynamic_energy.size(), 1u);
    EXPECT_EQ(pll->dynamic_energy[0].constant, 2e-12);
    EXPECT_EQ(device.power_constants(static_cast<DEV_ELEMENT_ENUM>(1743), static_cast<DEV_POWER_SUPPLY_ENUM>(22)),
              nullptr);
}

TEST_F(HOST_DEVICE_LOADER_TEST, an_unplaced_atom_has_no_location)
{
    std::string error;
    auto design = host_load_design_text(R"({"atoms":[{"name":"a","kind":"other","bonding":["secondary","pll"]},
        {"name":"b","kind":"other","location":7,"bonding":["multi_output","exempt"]}]})", "d.json", error);
    ASSERT_NE(design, nullptr) << error;
    const HOST_ATOM* a = design->host_netlist()->find_atom("a");
    const HOST_ATOM* b = design->host_netlist()->find_atom("b");
    EXPECT_EQ(a->get_location_index(), NONE);
    EXPECT_EQ(a->get_location_element(), -1);
    EXPECT_TRUE(a->is_bonding_secondary_atom() && a->is_bonding_pll_atom() && !a->is_bonding_multi_output_atom());
    EXPECT_TRUE(b->is_bonding_multi_output_atom() && b->is_bonding_index_exempt_atom() && !b->is_bonding_pll_atom());
    // Without a device file a location may name a block the device lacks.
    EXPECT_EQ(b->get_location_element(), -1);
}

struct DEVICE_ERROR_CASE {
    const char* name;
    std::string text;
    std::string error;   // after "d.json: "
};

class DEVICE_ERROR_TEST : public HOST_TEST, public ::testing::WithParamInterface<DEVICE_ERROR_CASE> {};

TEST_P(DEVICE_ERROR_TEST, reports_where_and_what)
{
    HOST_DEVICE device;
    std::string error;
    EXPECT_FALSE(host_load_device_text(GetParam().text, "d.json", device, error));
    EXPECT_EQ(error, "d.json: " + GetParam().error);
}

// A device text of family 8 with these blocks.
std::string blocks(const std::string& list) { return R"({"family": 8, "blocks": [)" + list + "]}"; }

const std::string STRIP = R"({"gid": 1, "kind": "HSSI_STRIP", "impl": 121, "x": 0, "y": 0})";
const std::string VCCEHT_LEFT = R"({"supply": 24, "region": 1, "millivolts": 900})";
const std::string PLL_BIAS = R"({"kind": "CDR_PLL", "supply": "VCC_HSSI_PLL", "static_power": [{"name": "bias", "constant": 0.004})";

const DEVICE_ERROR_CASE DEVICE_ERRORS[] = {
    {"missing_family", "{}", "family: missing"},
    {"misspelt_top_key", R"({"family": 8, "die_widht": 3})", "die_widht: unknown key"},
    {"duplicate_gid", blocks(STRIP + "," + STRIP), "blocks[1].gid: gid 1 is also declared at blocks[0]"},
    {"parent_not_declared_before", blocks(R"({"gid": 2, "kind": 50, "impl": 1, "x": 0, "y": 0, "parent": 1},)" + STRIP),
     "blocks[0].parent: no block 1 is declared before this one"},
    {"unknown_kind_name", blocks(R"({"gid": 1, "kind": "STRIPE", "impl": 1, "x": 0, "y": 0})"),
     "blocks[0].kind: unknown element kind name \"STRIPE\""},
    {"missing_impl", blocks(R"({"gid": 1, "kind": 50, "x": 0, "y": 0})"), "blocks[0].impl: missing"},
    {"illegal_gid", blocks(R"({"gid": 4294967295, "kind": 50, "impl": 1, "x": 0, "y": 0})"),
     "blocks[0].gid: integer 4294967295 is out of range 0..4294967294"},
    {"region_of_another_supply",
     blocks(R"({"gid": 1, "kind": 50, "impl": 1, "x": 0, "y": 0, "supplies": [20], "regions": {"VCCEHT": 1}})"),
     "blocks[0].regions.VCCEHT: supply VCCEHT is not one of the block's supplies"},
    {"short_element_row", R"({"family": 8, "hssi_elements": [["CDR_PLL"]]})",
     "hssi_elements[0]: a row needs an element kind and a physical implementation"},
    {"name_taken", R"({"family": 8, "names": {"element": {"1800": "CDR_PLL"}}})",
     "names.element.1800: \"CDR_PLL\" already names element kind 1743"},
    {"unknown_supply_key", R"({"family": 8, "supply_regions": {"VCCX": [1]}})",
     "supply_regions.VCCX: unknown supply name \"VCCX\""},
    {"region_voltage_twice", R"({"family": 9, "region_voltages": [)" + VCCEHT_LEFT + "," + VCCEHT_LEFT + "]}",
     "region_voltages[1]: the voltage of supply 24, region 1, pad 0 is also given at region_voltages[0]"},
    {"region_voltage_without_millivolts", R"({"family": 9, "region_voltages": [{"supply": 24, "region": 1}]})",
     "region_voltages[0].millivolts: missing"},
    {"power_constants_twice", constants(PLL_BIAS + "]}," + PLL_BIAS + "]}"),
     "power_constants[1]: the constants of element kind 1743 on supply 20 are also given at power_constants[0]"},
    {"power_constant_negative",
     constants(R"({"kind": 1743, "supply": 20, "dynamic_energy": [{"name": "vco", "constant": -1e-12}]})"),
     "power_constants[0].dynamic_energy[0].constant: expected a number of at least 0, got -1e-12"},
    {"power_constant_without_name", constants(R"({"kind": 1743, "supply": 20, "static_power": [{"constant": 1}]})"),
     "power_constants[0].static_power[0].name: missing"},
    {"power_constant_unknown_key",
     constants(R"({"kind": 1743, "supply": 20, "static_power": [{"name": "a", "constant": 1, "scale": 2}]})"),
     "power_constants[0].static_power[0].scale: unknown key"},
};
INSTANTIATE_TEST_SUITE_P(MISTAKES, DEVICE_ERROR_TEST, ::testing::ValuesIn(DEVICE_ERRORS), row_name);

}  // namespace
