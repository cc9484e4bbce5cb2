// JSON device loader of the reference host: the documented device, the
// example devices and designs, and one clear error line for each kind of
// mistake.
#include <set>

#include "host_test_fixture.h"

namespace {

const std::string EXAMPLES = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples";

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

TEST_F(DOCUMENTED_DEVICE_TEST, BuildsTheBasicInfoAndThePlacementView)
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
    EXPECT_EQ(m_place->get_num_element(kind(812)), 0);
    EXPECT_EQ(m_place->get_global_id(kind(1785), 1), 104u);
    EXPECT_EQ(m_place->get_global_id(kind(1785), 2), NONE);

    const DYGR_PLACE_BLOCK_HIERARCHY_INFO* tree = m_place->get_hierarchy_info();
    EXPECT_EQ(tree->get_parent(100), NONE);
    EXPECT_EQ(tree->get_first_child(100), 101u);
    EXPECT_EQ(tree->get_next_sibling(101), 102u);
    EXPECT_EQ(tree->get_next_sibling(102), NONE);
    EXPECT_EQ(tree->get_first_child(102), 103u);
    EXPECT_EQ(tree->get_next_sibling(103), 104u);
    EXPECT_EQ(tree->get_parent(104), 102u);
    EXPECT_EQ(tree->get_first_child(300), NONE);
    EXPECT_EQ(tree->get_parent(999), NONE);

    DEV_DIE_INFO* die = m_device->get_die_info();
    DEV_LOCATION location;
    ASSERT_TRUE(die->get_location(300, location));
    EXPECT_EQ(location[DEV_LOCATION_X], 7);
    EXPECT_EQ(location[DEV_LOCATION_Y], 0);
    EXPECT_FALSE(die->get_location(999, location));
    EXPECT_EQ(m_place->get_place_block(103)->get_y(), 2);
    EXPECT_EQ(m_place->get_place_block(999), nullptr);
    EXPECT_EQ(die->get_element_desc(104)->get_element_enum(), 1785);
    EXPECT_EQ(die->get_phys_impl(100, 0), 130);
    EXPECT_FALSE(m_view->is_global_id_enabled(104));
    EXPECT_TRUE(m_view->is_global_id_enabled(103));
    EXPECT_FALSE(m_view->is_global_id_enabled(999));
}

TEST_F(DOCUMENTED_DEVICE_TEST, BuildsBlockDataSuppliesAndNames)
{
    int attribute = -1;
    EXPECT_TRUE(m_place->get_int_attribute(103, 14, &attribute));
    EXPECT_EQ(attribute, 0);
    EXPECT_FALSE(m_place->get_int_attribute(103, 4, &attribute));
    DEV_PAD_INFO* pads = m_device->get_pad_info();
    EXPECT_EQ(pads->get_pad_by_global_id(102)->get_int_data(2), 5);
    EXPECT_EQ(pads->get_pad_by_global_id(300)->get_int_data(5), 9);
    EXPECT_EQ(pads->get_pad_by_global_id(300)->get_int_data(3), 0);
    EXPECT_EQ(pads->get_pad_by_global_id(101), nullptr);

    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_power_supplies_of_element(102),
              (std::vector<DEV_POWER_SUPPLY_ENUM>{supply(24), supply(23)}));
    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_power_region_of_element(100, DEV_POWER_SUPPLY_VCCEHT), 1);
    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_power_region_of_element(100, supply(10)), 0);
    const DEV_PART_INFO* part = m_device->get_part_info();
    EXPECT_EQ(part->get_power_supply_desc(DEV_POWER_SUPPLY_VCCEHT)->get_2d_int_data(DEV_POWER_SUPPLY_DESC_2D_INT_REGIONS),
              (DEV_2D_INT_DATA{{1, 2}}));
    EXPECT_EQ(part->get_power_supply_desc(supply(10))->get_2d_int_data(DEV_POWER_SUPPLY_DESC_2D_INT_REGIONS),
              (DEV_2D_INT_DATA{{0}}));
    EXPECT_EQ(part->get_power_supply_desc(supply(20)), nullptr);
    int millivolts = 0;
    EXPECT_TRUE(CUT_VOLTAGE_UTIL::get_int_voltage_from_dev_enum(static_cast<DEV_VOLTAGE_ENUM>(5), &millivolts));
    EXPECT_EQ(millivolts, 1030);
    EXPECT_FALSE(CUT_VOLTAGE_UTIL::get_int_voltage_from_dev_enum(static_cast<DEV_VOLTAGE_ENUM>(2), &millivolts));

    // The file's own names hold while its design is current.
    EXPECT_EQ(dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(130)), "HSSI_STRIP_MINI");
    host_set_current_design(nullptr);
    EXPECT_EQ(dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(130)), "130");
}

TEST_F(HOST_DEVICE_LOADER_TEST, NamesValuesForDebugOutput)
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
    // The strip variants that the HALDORV line of families finds by name.
    std::vector<int> strips;
    for (int impl = 2; impl <= DEV_PHYS_IMPL_ANY; ++impl) {
        if (dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(impl)).find("HSSI_STRIP") != std::string::npos)
            strips.push_back(impl);
    }
    EXPECT_EQ(strips, (std::vector<int>{120, 121, 122, 123}));
}

struct EXAMPLE_DEVICE_CASE {
    const char* name;
    const char* file;
    DEV_FAMILY_ENUM family;
    int kind;
    int blocks_of_kind;
};

class EXAMPLE_DEVICE_TEST : public HOST_TEST, public ::testing::WithParamInterface<EXAMPLE_DEVICE_CASE> {};

TEST_P(EXAMPLE_DEVICE_TEST, Loads)
{
    HOST_DEVICE device;
    std::string error;
    ASSERT_TRUE(host_load_device_file(EXAMPLES + "/" + GetParam().file, device, error)) << error;
    EXPECT_EQ(device.get_basic_info()->get_family_enum(), GetParam().family);
    EXPECT_EQ(device.route_view()->get_place_info()->get_num_element(kind(GetParam().kind)),
              GetParam().blocks_of_kind);
}

const EXAMPLE_DEVICE_CASE EXAMPLE_DEVICES[] = {
    {"HaldorvStrips", "haldorv_device.json", HOST_FAMILY_HALDORV, DEV_ELEMENT_HSSI_STRIP, 2},
};
INSTANTIATE_TEST_SUITE_P(Examples, EXAMPLE_DEVICE_TEST, ::testing::ValuesIn(EXAMPLE_DEVICES), row_name);

struct EXAMPLE_DESIGN_CASE {
    const char* name;
    int family;
    bool rtc_assignment_ok;   // of channel 0's TX buffer
};

class EXAMPLE_DESIGN_TEST : public HOST_TEST, public ::testing::WithParamInterface<EXAMPLE_DESIGN_CASE> {};

// The same link on each family's device: two bonding PLLs, a clock line
// relaying to two channels, the transmit path of every channel linked.
TEST_P(EXAMPLE_DESIGN_TEST, PlacesTheLinkOnItsDevice)
{
    std::string error;
    std::unique_ptr<HOST_DESIGN> design =
        host_load_design_file(EXAMPLES + "/" + GetParam().name + "_design.json", error);
    ASSERT_NE(design, nullptr) << error;
    EXPECT_EQ(design->device()->get_basic_info()->get_family_enum(), GetParam().family);
    const HOST_NETLIST& netlist = *design->host_netlist();
    const HOST_ATOM* pll = netlist.find_atom("tx_pll");
    EXPECT_EQ(pll->get_location_element(), 812);
    EXPECT_TRUE(pll->is_bonding_pll_atom() && !pll->is_bonding_multi_output_atom());
    EXPECT_TRUE(netlist.find_atom("x6_line")->is_bonding_multi_output_atom());
    EXPECT_TRUE(netlist.find_atom("pma_control0")->is_bonding_index_exempt_atom());
    const HOST_ATOM* serializer = netlist.find_atom("tx_ser1");
    EXPECT_EQ(CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::get_tx_ser_via_tx_pcs(netlist.find_atom("tx_pcs1")), serializer);
    EXPECT_EQ(CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::check_rtc_assignment(netlist.find_atom("tx_buf0")),
              GetParam().rtc_assignment_ok);
    // The serializer of the second strip's second channel is not bonded out.
    EXPECT_FALSE(design->device()->route_view()->is_global_id_enabled(241));
}

const EXAMPLE_DESIGN_CASE EXAMPLE_DESIGNS[] = {
    {"haldorv", HOST_FAMILY_HALDORV, false},
    {"pellumv", HOST_FAMILY_PELLUMV, true},
    {"brindev", HOST_FAMILY_BRINDEV, false},
};
INSTANTIATE_TEST_SUITE_P(Examples, EXAMPLE_DESIGN_TEST, ::testing::ValuesIn(EXAMPLE_DESIGNS), row_name);

struct KVB_LINE_EXAMPLE_CASE {
    const char* name;   // <name>_design.json on <name>_device.json
    DEV_FAMILY_ENUM family;
    int placed_atoms;
};

class KVB_LINE_EXAMPLE_TEST : public HOST_TEST, public ::testing::WithParamInterface<KVB_LINE_EXAMPLE_CASE> {};

// The KVB line's models skip blocks whose key the table lacks, and make a
// channel per transmit PMA keyed by the PMA's implementation. The design
// uses the left strip only (gid 100), with its bonding PLLs on transceiver
// PLL blocks.
TEST_P(KVB_LINE_EXAMPLE_TEST, ListsEveryBlockAndPlacesTheLinkOnOneStrip)
{
    std::string error;
    std::unique_ptr<HOST_DESIGN> design =
        host_load_design_file(EXAMPLES + "/" + GetParam().name + "_design.json", error);
    ASSERT_NE(design, nullptr) << error;
    const HOST_DEVICE& device = *design->device();
    EXPECT_EQ(device.get_basic_info()->get_family_enum(), GetParam().family);
    std::set<std::pair<int, int>> keys;
    const DEV_BASIC_INFO* basic = device.get_basic_info();
    for (const std::vector<int>& row : basic->get_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS))
        keys.emplace(row[0], row[1]);
    const DYGR_PLACE_INFO* place = device.route_view()->get_place_info();
    int blocks = 0;
    for (int block_kind : {50, 194, 397, 587, 589, 691, 692, 693, 694, 695, 696, 698, 699, 1786}) {
        for (int i = 0; i < place->get_num_element(kind(block_kind)); ++i, ++blocks) {
            const unsigned gid = place->get_global_id(kind(block_kind), i);
            const int impl = device.get_die_info()->get_phys_impl(gid, 0);
            EXPECT_TRUE(keys.count({block_kind, impl}) && (block_kind != 694 || keys.count({779, impl}))) << gid;
        }
    }
    EXPECT_EQ(blocks, 77);
    EXPECT_EQ(place->get_num_element(kind(694)), 13);

    int placed = 0;
    for (auto it = design->netlist()->begin_node_list(); it != design->netlist()->end_node_list(); ++it) {
        unsigned gid = (*it)->get_location_index();
        const int block_kind = (*it)->get_location_element();
        // The WOMBLET model takes no atom on either clock divider.
        EXPECT_FALSE(GetParam().family == HOST_FAMILY_WOMBLET && (block_kind == 696 || block_kind == 1786));
        if (gid == NONE)
            continue;
        ++placed;
        while (place->get_hierarchy_info()->get_parent(gid) != NONE)
            gid = place->get_hierarchy_info()->get_parent(gid);
        EXPECT_EQ(gid, 100u);
    }
    EXPECT_EQ(placed, GetParam().placed_atoms);
    for (const char* name : {"pll0", "pll1"}) {
        const HOST_ATOM* pll = design->host_netlist()->find_atom(name);
        EXPECT_EQ(pll->get_location_element(), 194);
        EXPECT_TRUE(pll->is_bonding_pll_atom() && cdb_is_connected(pll->get_output_term_by_type(22, 0)));
    }
}

const KVB_LINE_EXAMPLE_CASE KVB_LINE_EXAMPLES[] = {
    {"kvb", HOST_FAMILY_KVB, 25},
    {"fennick", HOST_FAMILY_FENNICK, 25},
    {"womblet", HOST_FAMILY_WOMBLET, 23},
};
INSTANTIATE_TEST_SUITE_P(Examples, KVB_LINE_EXAMPLE_TEST, ::testing::ValuesIn(KVB_LINE_EXAMPLES), row_name);

TEST_F(HOST_DEVICE_LOADER_TEST, AnUnplacedAtomHasNoLocation)
{
    std::string error;
    auto design = host_load_design_text(R"({"atoms":[{"name":"a","kind":"other","bonding":["secondary","pll"]},
        {"name":"b","kind":"other","location":7}]})", "d.json", error);
    ASSERT_NE(design, nullptr) << error;
    const HOST_ATOM* a = design->host_netlist()->find_atom("a");
    EXPECT_EQ(a->get_location_index(), NONE);
    EXPECT_EQ(a->get_location_element(), -1);
    EXPECT_TRUE(a->is_bonding_secondary_atom() && a->is_bonding_pll_atom());
    // Without a device file a location may name a block the device lacks.
    EXPECT_EQ(design->host_netlist()->find_atom("b")->get_location_element(), -1);
}

struct DEVICE_ERROR_CASE {
    const char* name;
    std::string text;
    std::string error;   // after "d.json: "
};

class DEVICE_ERROR_TEST : public HOST_TEST, public ::testing::WithParamInterface<DEVICE_ERROR_CASE> {};

TEST_P(DEVICE_ERROR_TEST, ReportsWhereAndWhat)
{
    HOST_DEVICE device;
    std::string error;
    EXPECT_FALSE(host_load_device_text(GetParam().text, "d.json", device, error));
    EXPECT_EQ(error, "d.json: " + GetParam().error);
}

// A device text of family 8 with these blocks.
std::string blocks(const std::string& list) { return R"({"family": 8, "blocks": [)" + list + "]}"; }

const std::string STRIP = R"({"gid": 1, "kind": "HSSI_STRIP", "impl": 121, "x": 0, "y": 0})";

const DEVICE_ERROR_CASE DEVICE_ERRORS[] = {
    {"MissingFamily", "{}", "family: missing"},
    {"UnknownFamily", R"({"family": "ZORK"})", "family: unknown family name \"ZORK\""},
    {"MisspeltTopKey", R"({"family": 8, "die_widht": 3})", "die_widht: unknown key"},
    {"DuplicateGid", blocks(STRIP + "," + STRIP), "blocks[1].gid: gid 1 is also declared at blocks[0]"},
    {"ParentNotDeclaredBefore", blocks(R"({"gid": 2, "kind": 50, "impl": 1, "x": 0, "y": 0, "parent": 1},)" + STRIP),
     "blocks[0].parent: no block 1 is declared before this one"},
    {"UnknownKindName", blocks(R"({"gid": 1, "kind": "STRIPE", "impl": 1, "x": 0, "y": 0})"),
     "blocks[0].kind: unknown element kind name \"STRIPE\""},
    {"NegativeX", blocks(R"({"gid": 1, "kind": 50, "impl": 1, "x": -1, "y": 0})"),
     "blocks[0].x: integer -1 is out of range 0..2147483647"},
    {"MissingImpl", blocks(R"({"gid": 1, "kind": 50, "x": 0, "y": 0})"), "blocks[0].impl: missing"},
    {"IllegalGid", blocks(R"({"gid": 4294967295, "kind": 50, "impl": 1, "x": 0, "y": 0})"),
     "blocks[0].gid: integer 4294967295 is out of range 0..4294967294"},
    {"RegionOfAnotherSupply",
     blocks(R"({"gid": 1, "kind": 50, "impl": 1, "x": 0, "y": 0, "supplies": [20], "regions": {"VCCEHT": 1}})"),
     "blocks[0].regions.VCCEHT: supply VCCEHT is not one of the block's supplies"},
    {"ShortElementRow", R"({"family": 8, "hssi_elements": [["CDR_PLL"]]})",
     "hssi_elements[0]: a row needs an element kind and a physical implementation"},
    {"NameTaken", R"({"family": 8, "names": {"element": {"1800": "CDR_PLL"}}})",
     "names.element.1800: \"CDR_PLL\" already names element kind 1743"},
    {"UnknownSupplyKey", R"({"family": 8, "supply_regions": {"VCCX": [1]}})",
     "supply_regions.VCCX: unknown supply name \"VCCX\""},
};
INSTANTIATE_TEST_SUITE_P(Mistakes, DEVICE_ERROR_TEST, ::testing::ValuesIn(DEVICE_ERRORS), row_name);

}  // namespace
