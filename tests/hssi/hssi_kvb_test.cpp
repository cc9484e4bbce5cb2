// The transceiver models of KVB, FENNICK and WOMBLET: channel elements,
// captures, bonding and strip power-down.
#include "hssi_test_support.h"

#include "host/cga_hssi_parameters.h"

namespace {

constexpr int QUAD = 397, TX_PMA = 694, RX_PMA = 692, CMU = 587, TEN_G = 698, CHANNEL = 779, STRIP = 699;

// A strip (1) with a quad (10) of four transmit PMAs (11 .. 14; the last of
// the alternate variant), a receive PMA (15) at position 2, a CMU (16), and
// a 10G block (20) with its transmit PMA (21).
class CHANNEL_TEST : public FAMILY_TEST {
protected:
    void build_quad(FAMILY family, int tx_impl, int alternate_impl)
    {
        use_family_rows(family, {{STRIP, 1}, {QUAD, 1}, {TX_PMA, tx_impl}, {TX_PMA, alternate_impl}, {RX_PMA, 1},
                                 {CMU, 1}, {TEN_G, 1}, {TX_PMA, 460}, {CHANNEL, 1}, {CHANNEL, 458}, {CHANNEL, 459},
                                 {CHANNEL, 460}});
        add(1, STRIP, 1, 0, 0);
        add(10, QUAD, 1, 0, 10, 1);
        for (unsigned p = 0; p < 4; ++p) {
            add(11 + p, TX_PMA, p == 3 ? alternate_impl : tx_impl, 0, 11 + static_cast<int>(p), 10);
            m_device->set_block_attribute(11 + p, 14, p == 3 ? 0 : static_cast<int>(p));
            m_device->set_block_attribute(11 + p, 4, p == 3 ? 1 : 0);
        }
        add(15, RX_PMA, 1, 0, 13, 10);
        m_device->set_block_attribute(15, 14, 2);
        add(16, CMU, 1, 0, 10, 10);
        add(20, TEN_G, 1, 0, 20, 1);
        add(21, TX_PMA, 460, 0, 21, 20);
        m_device->set_block_enabled(14, false);
        m_model->build_hssi_info_from_device_database(m_device);
    }
    int parent_id(unsigned gid) { return element(gid)->get_parent_element()->get_element_id(); }
};

TEST_F(CHANNEL_TEST, kvb_makes_a_channel_per_transmit_pma_and_moves_blocks_by_position_and_variant)
{
    build_quad(KVB, 458, 459);
    const int blocks = 10;
    ASSERT_EQ(m_model->get_num_hssi_elements(), blocks + 5);
    for (int id = blocks; id < blocks + 5; ++id) {
        PUTIL_HSSI_ELEMENT* channel = m_model->get_hssi_element(id);
        EXPECT_EQ(channel->get_element_gid(), DEV_ILLEGAL_GLOBAL_ID);
        EXPECT_EQ(channel->get_element_id(), id);
    }
    EXPECT_EQ(parent_id(11), blocks);
    EXPECT_EQ(parent_id(13), blocks + 2);
    EXPECT_EQ(parent_id(14), blocks + 3);   // the alternate variant's only channel
    EXPECT_EQ(parent_id(15), blocks + 2);
    EXPECT_EQ(parent_id(16), element(10)->get_element_id());
    EXPECT_EQ(parent_id(21), blocks + 4);
    PUTIL_HSSI_ELEMENT* channel = m_model->get_hssi_element(blocks + 2);
    EXPECT_EQ(channel->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y), 13);
    EXPECT_EQ(ids_of(channel->get_child_elements()), (std::vector<int>{element(13)->get_element_id(),
                                                                      element(15)->get_element_id()}));
    // Bonded through the transmit PMA, the strip through its quads.
    EXPECT_TRUE(channel->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED));
    EXPECT_FALSE(m_model->get_hssi_element(blocks + 3)->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED));
    EXPECT_TRUE(element(1)->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED));
    EXPECT_EQ(m_device->data_part_loads(DEV_DIE_INFO_TYPE_TRANSCEIVER), 1);
    EXPECT_EQ(m_device->data_part_releases(DEV_DIE_INFO_TYPE_TRANSCEIVER), 1);
}

TEST_F(CHANNEL_TEST, womblet_looks_for_every_blocks_channel_among_its_first_variant)
{
    build_quad(WOMBLET, 1, 459);
    const int blocks = 10;
    EXPECT_EQ(parent_id(11), blocks);
    EXPECT_EQ(parent_id(14), blocks);   // position 0 of the (779, 1) channels, whatever its attribute
    EXPECT_EQ(parent_id(15), blocks + 2);
    // The 10G block's channel is of another variant: its PMA stays put.
    EXPECT_EQ(parent_id(21), element(20)->get_element_id());
}

// An atom on a block of kind, for the KVB line's captures.
auto hip_with_core_clock(bool toggles)
{
    return [toggles](CAPTURE_TEST& t, HOST_ATOM* a) {
        t.design().set_atom_bit_vector_parameter(a, CGA_KVB_BITS_HIP_LANES, {true, false, false, true});
        t.input(a, 715);
        HOST_ITERM* core = t.input(a, 716, true);
        if (toggles)
            t.design().store()->get_output_signal_data(core->source())->set_toggle_rate(1.0e9f);
    };
}

const CAPTURE_CASE KVB_CAPTURES[] = {
    {"pll_only_on_4139", KVB, 194, [](CAPTURE_TEST& t, HOST_ATOM* a) { t.driving_output(a, 4139); },
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_TRUE(used(e));
         EXPECT_EQ(e->get_int_data(int_key(3)), 1);
         EXPECT_TRUE(e->is_valid_oterm_enum(static_cast<DEV_POWER_HSSI_OTERM_DATA_ENUM>(0)));
     }},
    {"pll_without_clock_is_placed_but_unused", KVB, 194, nullptr,
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_FALSE(e->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED));
         EXPECT_TRUE(e->is_valid_atom_enum(DEV_POWER_HSSI_ATOM_PLACED));
     }},
    {"tx_pcs_bonding_out_of_range", KVB, 693,
     [](CAPTURE_TEST& t, HOST_ATOM* a) {
         t.set(a, CGA_KVB_ENUM_CHANNEL_BONDING, 9);
         t.input(a, 489);
     },
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_enum_data(enum_key(13)), 0);
         EXPECT_TRUE(e->get_bool_data(bool_key(22)));
         EXPECT_FALSE(e->get_bool_data(bool_key(15)));   // the PCS-off setting is on unless given
     }},
    {"tx_pma_unknown_serializer_clock", KVB, 694,
     [](CAPTURE_TEST& t, HOST_ATOM* a) { t.set(a, CGA_KVB_INT_SERIALIZER_CLOCK_SELECT, 5); }, nullptr,
     "No serializer clock found for HSSI TX PMA."},
    {"hip_with_a_still_core_clock", KVB, 695, hip_with_core_clock(false),
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_int_data(int_key(0)), 2);
         EXPECT_EQ(e->get_int_data(int_key(2)), 1);
         for (int k = 0; k < 3; ++k)
             EXPECT_EQ(e->get_double_data(static_cast<DEV_POWER_HSSI_DOUBLE_DATA_ENUM>(k)), 0.0);
     }},
    {"hip_with_a_togging_core_clock", KVB, 695, hip_with_core_clock(true),
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_double_data(static_cast<DEV_POWER_HSSI_DOUBLE_DATA_ENUM>(1)), 1.0);
     }},
    {"fennick_rx_pma_names_class_45", FENNICK, 692, [](CAPTURE_TEST& t, HOST_ATOM* a) { t.input(a, 678); },
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_EQ(e->get_enum_data(enum_key(12)), 45);
         EXPECT_EQ(e->get_enum_data(enum_key(10)), 24);
         EXPECT_FALSE(e->get_bool_data(bool_key(28)));
     }},
    {"womblet_rejects_clock_dividers", WOMBLET, 696, nullptr, nullptr,
     "Missing case when attempting to copy CDB atom data to power HSSI elements."},
    {"womblet_tx_pcs_has_no_refclk_1", WOMBLET, 693,
     [](CAPTURE_TEST& t, HOST_ATOM* a) { t.set(a, CGA_KVB_ENUM_TX_REFCLK_SELECT, 1); }, nullptr,
     "No refclk clock found for HSSI TX PCS."},
    {"womblet_tx_pcs_refclk_2", WOMBLET, 693,
     [](CAPTURE_TEST& t, HOST_ATOM* a) {
         t.set(a, CGA_KVB_ENUM_TX_REFCLK_SELECT, 2);
         t.input(a, 455);
     },
     [](PUTIL_HSSI_ELEMENT* e) {
         EXPECT_FALSE(e->get_bool_data(bool_key(22)));
         EXPECT_TRUE(used(e));
     }},
    {"womblet_pll_on_the_general_pll", WOMBLET, 50, [](CAPTURE_TEST& t, HOST_ATOM* a) { t.driving_output(a, 22); },
     [](PUTIL_HSSI_ELEMENT* e) { EXPECT_TRUE(used(e)); }},
};
INSTANTIATE_TEST_SUITE_P(KVB_LINE, CAPTURE_TEST, ::testing::ValuesIn(KVB_CAPTURES), row_name);

// Two strips with one quad each and supply 20 in region 1; a 10G block sits
// halfway between the quads of the first strip.
class KVB_POWER_TEST : public FAMILY_TEST {
protected:
    void build(bool keep_on_by_option)
    {
        use_family_rows(KVB, {{STRIP, 1}, {QUAD, 1}, {TEN_G, 1}, {TX_PMA, 458}, {CHANNEL, 458}});
        for (unsigned strip : {1u, 2u}) {
            add(strip, STRIP, 1, 0, 0);
            m_device->set_block_supplies(strip, {supply(20), supply(24)});
            m_device->set_block_power_region(strip, supply(20), region(1));
        }
        add(10, QUAD, 1, 0, 10, 1);
        add(11, QUAD, 1, 0, 30, 1);
        add(12, TEN_G, 1, 0, 20, 1);
        add(20, QUAD, 1, 1, 10, 2);
        for (unsigned quad : {10u, 11u, 20u}) {
            m_device->set_pad(quad, {{2, static_cast<int>(quad)}});
            m_device->set_block_power_region(quad, DEV_POWER_SUPPLY_VCCEHT, region(2));
        }
        if (keep_on_by_option)
            m_design.set_user_voltage_option(static_cast<DEV_VOLTAGE_OPTION_TYPE_ENUM>(0),
                                             static_cast<DEV_VOLTAGE_OPTION_ENUM>(1));
        m_device->set_block_enabled(20, false);
        m_device->set_power_supply_regions(DEV_POWER_SUPPLY_VCCEHT, {1, 2});
        build_and_fill();
    }
    std::vector<std::vector<int>> recorded()
    {
        std::vector<std::vector<int>> calls;
        for (const HOST_POWER_REGION_VOLTAGE& call : m_design.chip_db_entry()->power_region_voltages())
            calls.push_back({call.supply, call.region, call.voltage, call.value});
        return calls;
    }
};

TEST_F(KVB_POWER_TEST, unused_strips_and_their_quads_are_powered_down_unless_an_option_keeps_them_on)
{
    build(false);
    EXPECT_EQ(recorded(), (std::vector<std::vector<int>>{{20, 1, 0, 0}, {48, 2, 0, 10}, {24, 2, 0, 10},
                                                         {48, 2, 0, 11}, {24, 2, 0, 11}, {20, 1, 0, 0},
                                                         {48, 2, 0, 20}, {24, 2, 0, 20}}));
    // Halfway between the quads: the bottom quad's pad data.
    EXPECT_EQ(element(12)->get_int_data(DEV_POWER_HSSI_INT_PAD_DATA), 10);
}

TEST_F(KVB_POWER_TEST, an_option_keeps_only_a_bonded_strip_on)
{
    build(true);
    EXPECT_EQ(recorded(), (std::vector<std::vector<int>>{{20, 1, 0, 0}, {48, 2, 0, 20}, {24, 2, 0, 20}}));
}

}   // namespace
