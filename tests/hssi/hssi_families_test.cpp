// The transceiver models of the strip families HALDORV, PELLUMV and BRINDEV:
// captures, bonding groups, strip power-down and supply voltages.
#include "hssi_test_support.h"

#include <functional>

#include "host/cga_hssi_parameters.h"

namespace {

TEST_P(CAPTURE_TEST, stores_the_atoms_settings)
{
    const CAPTURE_CASE& row = GetParam();
    use_family(row.family, {row.kind});
    add(1, row.kind, 1, 0, 0);
    HOST_ATOM* a = atom("a", 1, row.kind == 1785 ? HOST_ATOM_KIND::HSSI_PMA_TX_SER
                                : row.kind == 1784 ? HOST_ATOM_KIND::HSSI_PMA_TX_CGB
                                                   : HOST_ATOM_KIND::OTHER);
    if (row.set_up)
        row.set_up(*this, a);
    if (!row.internal_error.empty()) {
        // The KVB line captures in its own file, the strip families in theirs.
        const bool kvb_line = row.family == KVB || row.family == FENNICK || row.family == WOMBLET;
        putil_expect_internal_error(kvb_line ? "putil_kvb_hssi_info.cpp" : "putil_hssi_info_strip_captures.cpp",
                                    row.internal_error, [&] { build_and_fill(); });
        return;
    }
    build_and_fill();
    row.check(element(1));
}


// An 8G TX PCS of a 20-bit width, byte serializer mode 1, encoder on or off.
auto tx_pcs_20_bits(bool encoder)
{
    return [encoder](CAPTURE_TEST& t, HOST_ATOM* a) {
        t.set(a, CGA_ENUM_HD_PCS8G_DIGI_TX_PMA_DW, 3);
        t.set(a, CGA_ENUM_HD_PCS8G_DIGI_TX_BYTE_SERIALIZER, 1);
        t.set(a, CGA_ENUM_HD_PCS8G_DIGI_TX_EIGHTB_TENB_ENCODER, encoder ? 1 : 0);
        t.set(a, CGA_INT_HD_PCS8G_TX_BONDING_MODE, 9);
        t.input(a, 6564);
    };
}

// A serializer whose transmit buffer passes the reference clock check.
void tx_ser_with_checked_buffer(CAPTURE_TEST& t, HOST_ATOM* a)
{
    HOST_ATOM* buffer = t.design().add_atom("buffer", HOST_ATOM_KIND::OTHER);
    t.design().set_tx_buf_via_tx_ser(a, buffer);
    t.design().set_rtc_assignment_ok(buffer, true);
    t.set(a, CGA_INT_SER_DESER_FACTOR, 40);
}

const CAPTURE_CASE CAPTURES[] = {
    {"strip_takes_nothing", HALDORV, 699, nullptr,
     [](PUTIL_HSSI_ELEMENT* e) { EXPECT_FALSE(e->is_valid_bool_enum(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED)); }},
    {"part_is_only_used", HALDORV, 815, nullptr,
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_TRUE(used(e) && e->is_valid_atom_enum(DEV_POWER_HSSI_ATOM_PLACED));
         EXPECT_FALSE(e->is_valid_iterm_enum(static_cast<DEV_POWER_HSSI_ITERM_DATA_ENUM>(0)));
     }},
    {"eight_g_tx_pcs_with_encoder", HALDORV, 1775, tx_pcs_20_bits(true),
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_int_data(int_key(4)), 32);
         EXPECT_EQ(e->get_int_data(int_key(14)), 2);
         EXPECT_EQ(e->get_enum_data(enum_key(13)), 0);
         EXPECT_TRUE(e->get_bool_data(bool_key(13)) && e->get_bool_data(bool_key(22)) && used(e));
         EXPECT_TRUE(e->is_valid_iterm_enum(static_cast<DEV_POWER_HSSI_ITERM_DATA_ENUM>(0)));
     }},
    {"eight_g_tx_pcs_without_encoder", HALDORV, 1775, tx_pcs_20_bits(false),
     [](PUTIL_HSSI_ELEMENT* e) { EXPECT_EQ(e->get_int_data(int_key(4)), 40); }},
    {"cdr_pll_on_its_own_clock", HALDORV, 1743,
     [](CAPTURE_TEST& t, HOST_ATOM* a) {
         t.driving_output(a, 6871);
         t.input(a, 2895);
     },
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_enum_data(enum_key(2)), 9);
         EXPECT_EQ(e->get_int_data(int_key(3)), 1);
         EXPECT_EQ(e->get_double_data(static_cast<DEV_POWER_HSSI_DOUBLE_DATA_ENUM>(3)), 0.0);
     }},
    {"cdr_pll_on_its_reference_clock", HALDORV, 1743,
     [](CAPTURE_TEST& t, HOST_ATOM* a) {
         t.driving_output(a, 6871);
         t.input(a, 2895, true);
         t.set(a, CGA_INT_PLL_FACTOR_REFCLK, 5);
     },
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_enum_data(enum_key(2)), 14);
         EXPECT_EQ(e->get_int_data(int_key(3)), 5);
     }},
    {"pll_without_clock_output", HALDORV, 812, nullptr, nullptr, "::putil_is_valid_power_term(clk_port)"},
    {"mux_set_to_27_takes_the_pld_clock", HALDORV, 1780,
     [](CAPTURE_TEST& t, HOST_ATOM* a) {
         t.set(a, CGA_ENUM_CDR_REFCLK_SELECT, 27);
         t.input(a, 5979);
     },
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_iterm_data(static_cast<DEV_POWER_HSSI_ITERM_DATA_ENUM>(0))->get_port_index(), 0);
         EXPECT_TRUE(used(e));
     }},
    {"lc_mux_has_no_27", HALDORV, 1841, [](CAPTURE_TEST& t, HOST_ATOM* a) { t.set(a, CGA_ENUM_LC_REFCLK_SELECT, 27); },
     nullptr, "No serializer clock found for HSSI_PMA_LC_REFCLK_SELECT_MUX."},
    {"unknown_kind", HALDORV, 1234, nullptr, nullptr,
     "Missing case when attempting to copy CDB atom data to power HSSI elements."},
    {"haldorv_has_no_hip_top", HALDORV, 1746, nullptr, nullptr,
     "Missing case when attempting to copy CDB atom data to power HSSI elements."},
    {"pellumv_has_no_lc_mux", PELLUMV, 1841, nullptr, nullptr,
     "Missing case when attempting to copy CDB atom data to power HSSI elements."},
    {"pellumv_hip_top_in_mode_1", PELLUMV, 1746,
     [](CAPTURE_TEST& t, HOST_ATOM* a) { t.set(a, CGA_ENUM_HD_HBXPE2_HIP_TOP_PROT_MODE, 1); },
     [](PUTIL_HSSI_ELEMENT* e) { EXPECT_EQ(e->get_int_data(int_key(22)), 2); }},
    {"pellumv_ten_g_tx_pcs_unknown_clock", PELLUMV, 828,
     [](CAPTURE_TEST& t, HOST_ATOM* a) { t.set(a, CGA_INT_HD_PCS10G_TX_REFCLK_SEL, 3); }, nullptr,
     "No refclk clock found for HSSI 10G TX PCS."},
    {"pellumv_checked_serializer_is_used_without_settings", PELLUMV, 1785, tx_ser_with_checked_buffer,
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_TRUE(e->get_bool_data(bool_key(54)) && used(e));
         EXPECT_FALSE(e->is_valid_int_enum(int_key(9)));
     }},
    {"brindev_checked_serializer_is_unused", BRINDEV, 1785, tx_ser_with_checked_buffer,
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_TRUE(e->get_bool_data(bool_key(54)));
         EXPECT_FALSE(e->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED));
         EXPECT_FALSE(e->is_valid_atom_enum(DEV_POWER_HSSI_ATOM_PLACED));
     }},
    {"haldorv_serializer_ignores_the_check", HALDORV, 1785, tx_ser_with_checked_buffer,
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_int_data(int_key(9)), 40);
         EXPECT_FALSE(e->is_valid_bool_enum(bool_key(54)));
     }},
    {"clock_generation_on_the_xn_network_source_5", PELLUMV, 1784,
     [](CAPTURE_TEST& t, HOST_ATOM* a) {
         t.set(a, CGA_ENUM_X1_CLOCK_SOURCE_SEL, 10);
         t.set(a, CGA_ENUM_XN_CLOCK_SOURCE_SEL, 5);
     },
     [](PUTIL_HSSI_ELEMENT* e) { EXPECT_FALSE(e->get_bool_data(bool_key(53))); }},
    {"clock_generation_with_an_unknown_source", BRINDEV, 1784,
     [](CAPTURE_TEST& t, HOST_ATOM* a) { t.set(a, CGA_ENUM_X1_CLOCK_SOURCE_SEL, 51); }, nullptr,
     "Unknown ENUM type when determining CGB_X1_CLOCK_SOURCE_SEL"},
};
INSTANTIATE_TEST_SUITE_P(CAPTURES, CAPTURE_TEST, ::testing::ValuesIn(CAPTURES), row_name);

// A strip (10) of channels c = 0 .. 3: a PMA channel 100 + 10c holding an
// RX buffer, an RX deserializer and a serializer (+1, +2, +3), and a PCS
// channel 200 + 10c at the same place holding the TX PCSs 828, 1775, 829
// and the RX PCSs 825, 1774, 826 (+1 .. +6); transceiver PLLs 300 .. 303.
class BONDING_TEST : public FAMILY_TEST {
protected:
    void SetUp() override
    {
        FAMILY_TEST::SetUp();
        use_family(HALDORV, {699, 822, 823, 1781, 1782, 1785, 828, 1775, 829, 825, 1774, 826, 1743, 812});
        add(10, 699, 1, 0, 0);
        for (unsigned c = 0; c < 4; ++c) {
            add(100 + 10 * c, 822, 1, 1, static_cast<int>(c), 10);
            add(200 + 10 * c, 823, 1, 1, static_cast<int>(c), 10);
            for (unsigned i = 0; i < 3; ++i)
                add(101 + 10 * c + i, 1781 + (i == 2 ? 4 : static_cast<int>(i)), 1, 1, static_cast<int>(c), 100 + 10 * c);
            const int pcs_kinds[] = {828, 1775, 829, 825, 1774, 826};
            for (unsigned i = 0; i < 6; ++i)
                add(201 + 10 * c + i, pcs_kinds[i], 1, 1, static_cast<int>(c), 200 + 10 * c);
        }
        for (unsigned p = 0; p < 4; ++p)
            add(300 + p, p == 2 ? 812 : 1743, 1, 2, static_cast<int>(p), 10);
    }
    HOST_ATOM* serializer(unsigned gid) { return atom("ser" + std::to_string(gid), gid, HOST_ATOM_KIND::HSSI_PMA_TX_SER); }
};

TEST_F(BONDING_TEST, sources_number_their_groups_and_channels_complete_the_receive_paths)
{
    driving_output(atom("cdr_a", 300), 6871, serializer(103));
    driving_output(atom("cdr_b", 301), 6871, serializer(123));
    // The LC PLL reaches its serializer through a clock generation block.
    HOST_ATOM* cgb = m_design.add_atom("cgb", HOST_ATOM_KIND::HSSI_PMA_TX_CGB);
    driving_output(atom("lc", 302), 6872, cgb);
    driving_output(cgb, 7757, serializer(133));
    HOST_ATOM* reference_mode = atom("cdr_ref", 303);
    driving_output(reference_mode, 6871);
    input(reference_mode, 2895, true);
    // Channel 0: its TX and RX PCS; channel 1: an RX path without a
    // transmitter.
    for (unsigned gid : {101u, 102u, 202u, 205u, 111u, 112u, 215u}) {
        HOST_ATOM* a = atom("a" + std::to_string(gid), gid);
        if (gid % 10 == 5)
            input(a, 6505);   // an RX PCS's clock
    }

    build_and_fill();
    EXPECT_EQ(index_of(300), 1);
    EXPECT_EQ(index_of(301), 2);
    EXPECT_EQ(index_of(302), 3);
    EXPECT_EQ(index_of(303), -1);
    EXPECT_EQ(index_of(103), 1);
    EXPECT_EQ(index_of(123), 2);
    EXPECT_EQ(index_of(133), 3);
    for (unsigned gid : {101u, 102u, 202u, 205u})
        EXPECT_EQ(index_of(gid), 1) << gid;
    for (unsigned gid : {111u, 112u, 215u})
        EXPECT_EQ(index_of(gid), 0) << gid;
}

// Serializers relay their clock: a loop of two ends where a block already
// holds the index the walk carries.
TEST_F(BONDING_TEST, a_walk_ends_at_a_block_that_holds_its_index)
{
    HOST_ATOM* first = serializer(103);
    HOST_ATOM* second = serializer(123);
    driving_output(atom("cdr_a", 300), 6871, first);
    driving_output(first, 7769, second);
    driving_output(second, 7769, first);
    build_and_fill();
    EXPECT_EQ(index_of(103), 1);
    EXPECT_EQ(index_of(123), 1);
}

TEST_F(BONDING_TEST, a_used_transmit_pcs_needs_its_serializers_group)
{
    atom("tx_pcs", 202);
    putil_expect_internal_error("putil_hssi_info_strip_propagation.cpp",
                          [&] { build_and_fill(); });
}

// Strip 10 is used, strip 20 is neither used nor bonded; each has a PCIe
// container with an unused hard IP and a strip part, on supplies 19 and
// 10 .. 45 in region 1, the part's VCCEHT in region 2.
struct POWER_DOWN_CASE {
    const char* name;
    FAMILY family;
    std::vector<std::pair<int, int>> recorded;   // (supply, region) set to 0
};

class POWER_DOWN_TEST : public FAMILY_TEST, public ::testing::WithParamInterface<POWER_DOWN_CASE> {};

TEST_P(POWER_DOWN_TEST, records_the_unused_strips_supplies_as_powered_down)
{
    use_family(GetParam().family, {699, 815, 820, 821, 1854});
    const std::vector<int> strip_supplies = {19, 10, 20, 21, 22, 23, 45, 51};
    for (unsigned strip : {10u, 20u}) {
        add(strip, 699, 1, 0, static_cast<int>(strip));
        add(strip + 1, 815, 1, 0, static_cast<int>(strip), strip);
        add(strip + 2, 820, 1, 0, static_cast<int>(strip), strip);
        add(strip + 3, 821, 1, 0, static_cast<int>(strip), strip);
        add(strip + 4, 1854, 1, 0, static_cast<int>(strip), strip + 3);
        std::vector<DEV_POWER_SUPPLY_ENUM> supplies;
        for (int s : strip_supplies) {
            supplies.push_back(supply(s));
            m_device->set_block_power_region(strip, supply(s), region(1));
        }
        m_device->set_block_supplies(strip, supplies);
        m_device->set_block_power_region(strip + 2, DEV_POWER_SUPPLY_VCCEHT, region(2));
    }
    m_device->set_block_enabled(20, false);
    atom("used", 11);
    build_and_fill();

    std::vector<std::pair<int, int>> recorded;
    for (const HOST_POWER_REGION_VOLTAGE& call : m_design.chip_db_entry()->power_region_voltages()) {
        EXPECT_EQ(call.voltage, 0);
        recorded.emplace_back(call.supply, call.region);
    }
    EXPECT_EQ(recorded, GetParam().recorded);
    EXPECT_EQ(m_design.chip_db_entry()->forced_from_ini_count(), 2);
}

const POWER_DOWN_CASE POWER_DOWNS[] = {
    // The PCIe rule looks at the hard IPs, used strip or not.
    {"haldorv", HALDORV, {{19, 1}, {19, 1}, {10, 1}, {20, 1}, {22, 1}, {23, 1}, {45, 1}, {51, 1}, {48, 2}, {24, 2}}},
    {"pellumv", PELLUMV, {{20, 1}, {21, 1}, {22, 1}, {23, 1}, {45, 1}, {48, 2}, {24, 2}}},
    {"brindev", BRINDEV, {{20, 1}, {21, 1}, {22, 1}, {23, 1}, {45, 1}}},
};
INSTANTIATE_TEST_SUITE_P(FAMILIES, POWER_DOWN_TEST, ::testing::ValuesIn(POWER_DOWNS), row_name);

// A block with a pad on VCCEHT: HALDORV asks the pad's voltage and names it
// in enum 7, BRINDEV asks the region's and leaves enum 7; supply 12 is
// never set.
TEST_F(FAMILY_TEST, block_supplies_take_their_regions_voltage)
{
    for (FAMILY family : {HALDORV, BRINDEV}) {
        HOST_DESIGN design;
        host_set_current_design(&design);
        m_device = design.device();
        use_family(family, {815});
        add(1, 815, 1, 0, 0);
        m_device->set_pad(1, {{2, 3}});
        m_device->set_block_supplies(1, {supply(12), DEV_POWER_SUPPLY_VCCEHT, supply(23)});
        m_device->set_block_power_region(1, DEV_POWER_SUPPLY_VCCEHT, region(2));
        m_device->set_block_power_region(1, supply(23), region(2));
        m_device->set_region_voltage(DEV_POWER_SUPPLY_VCCEHT, region(2), 900);
        m_device->set_region_voltage(DEV_POWER_SUPPLY_VCCEHT, region(2), 1100, 3);
        m_device->set_region_voltage(supply(23), region(2), 900);
        m_device->set_voltage_millivolts(static_cast<DEV_VOLTAGE_ENUM>(4), 900);
        m_device->set_voltage_millivolts(static_cast<DEV_VOLTAGE_ENUM>(6), 1100);
        m_model->build_hssi_info_from_device_database(m_device);
        m_model->fill_in_hssi_info_from_cdb_atom_netlist(design.netlist(), design.store());
        PUTIL_HSSI_ELEMENT* e = element(1);
        const bool haldorv = family == HALDORV;
        EXPECT_EQ(e->get_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES),
                  (PUTIL_HSSI_ELEMENT::INT_TABLE{{24, haldorv ? 1100 : 900}, {23, 900}}));
        EXPECT_EQ(e->get_enum_data(enum_key(6)), 4);
        EXPECT_EQ(e->is_valid_enum_enum(DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE), haldorv);
        EXPECT_EQ(e->get_power_region(), 1);
        m_model.reset();
    }
}

}   // namespace
