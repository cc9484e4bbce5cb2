// Reference host device builders and the services around them: the view
// that blocks make next to the routing state, the chip database's recorded
// voltages, transceiver marks, the settings class and term toggle rates.
#include "host_test_fixture.h"

namespace {

constexpr DEV_ELEMENT_ENUM PLL = static_cast<DEV_ELEMENT_ENUM>(50);
constexpr DEV_PHYS_IMPL_ENUM STANDARD = static_cast<DEV_PHYS_IMPL_ENUM>(1);

using HOST_DEVICE_TEST = HOST_TEST;

TEST_F(HOST_DEVICE_TEST, BlocksMakeTheViewAndLeaveItsRoutingFlags)
{
    HOST_DEVICE fresh;
    fresh.add_block(1, PLL, STANDARD, 0, 0);
    ASSERT_NE(fresh.route_view(), nullptr);
    EXPECT_FALSE(fresh.route_data_loaded() || fresh.route_timing_data_loaded());

    HOST_DEVICE routed;
    routed.set_route_view(true);
    routed.set_route_data_loaded(true);
    HOST_DYGR_DIE_INFO* view = routed.route_view();
    routed.add_block(1, PLL, STANDARD, 0, 0);
    EXPECT_EQ(routed.route_view(), view);
    EXPECT_TRUE(routed.route_data_loaded());
    EXPECT_FALSE(routed.route_timing_data_loaded());
    routed.set_place_data_loaded(false);
    EXPECT_FALSE(view->get_place_info()->is_data_loaded());
    routed.set_route_view(false);
    EXPECT_EQ(routed.get_die_info()->get_dygr_die_info(), nullptr);
    EXPECT_TRUE(routed.has_block(1));
}

TEST_F(HOST_DEVICE_TEST, RefusesAGidTwiceAndAnUndeclaredParent)
{
    HOST_DEVICE device;
    device.add_block(1, PLL, STANDARD, 0, 0);
    EXPECT_THROW(device.add_block(1, PLL, STANDARD, 0, 0), HOST_INTERNAL_ERROR);
    EXPECT_THROW(device.add_block(2, PLL, STANDARD, 0, 0, 7), HOST_INTERNAL_ERROR);
    EXPECT_THROW(device.add_block(DEV_ILLEGAL_GLOBAL_ID, PLL, STANDARD, 0, 0), HOST_INTERNAL_ERROR);
    EXPECT_THROW(device.set_block_enabled(9, false), HOST_INTERNAL_ERROR);
    // A negative location is the library's to refuse, so a test can build one.
    device.add_block(3, PLL, STANDARD, -1, 4, 1);
    EXPECT_EQ(device.route_view()->get_place_info()->get_place_block(3)->get_x(), -1);
}

TEST_F(HOST_DEVICE_TEST, RecordsWhatTheLibraryWritesForTheCurrentDesign)
{
    EXPECT_EQ(putil_lib_get_cdb_chip_db_entry(), nullptr);
    putil_lib_set_is_hssi_gid(5, true);   // no design: nowhere to mark
    HOST_DESIGN design;
    host_set_current_design(&design);
    CDB_CHIP_DB_ENTRY* chip = putil_lib_get_cdb_chip_db_entry();
    ASSERT_EQ(chip, design.store()->get_chip_db_entry());
    chip->set_power_region_voltage(static_cast<DEV_POWER_SUPPLY_ENUM>(19), static_cast<DEV_POWER_REGION_ENUM>(1), 0, 0);
    chip->set_power_region_voltage(DEV_POWER_SUPPLY_VCCEHT, static_cast<DEV_POWER_REGION_ENUM>(2), 0, 3);
    const auto& calls = static_cast<HOST_CHIP_DB_ENTRY*>(chip)->power_region_voltages();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].supply, 19);
    EXPECT_EQ(calls[0].region, 1);
    EXPECT_EQ(calls[1].supply, DEV_POWER_SUPPLY_VCCEHT);
    EXPECT_EQ(calls[1].region, 2);
    EXPECT_EQ(calls[1].voltage, 0);
    EXPECT_EQ(calls[1].value, 3);

    putil_lib_set_is_hssi_gid(5, true);
    putil_lib_set_is_hssi_gid(DEV_ILLEGAL_GLOBAL_ID, true);
    putil_lib_set_is_hssi_gid(6, true);
    putil_lib_set_is_hssi_gid(6, false);
    EXPECT_TRUE(design.device()->is_hssi_gid(5));
    EXPECT_TRUE(design.device()->is_hssi_gid(DEV_ILLEGAL_GLOBAL_ID));
    EXPECT_FALSE(design.device()->is_hssi_gid(6));
    EXPECT_FALSE(design.device()->is_hssi_gid(7));

    EXPECT_FALSE(PUTIL_VELDRA_INI::instance()->get_customer_release());
    host_set_customer_release(true);
    EXPECT_TRUE(PUTIL_VELDRA_INI::instance()->get_customer_release());
}

TEST_F(HOST_DEVICE_TEST, TermsCarryTheirSignalsToggleRate)
{
    HOST_DESIGN design;
    HOST_ATOM* pll = design.add_atom("pll", HOST_ATOM_KIND::PLL);
    HOST_ATOM* sink = design.add_atom("sink", HOST_ATOM_KIND::OTHER);
    HOST_OTERM* clock = design.add_output(pll, "pll|clk", 22, false);
    HOST_ITERM* driven = design.add_input(sink, 0, clock);
    HOST_ITERM* open = design.add_input(sink, 1, nullptr);
    design.store()->get_output_signal_data(clock)->set_toggle_rate(2.5e9f);
    EXPECT_EQ(design.store()->get_toggle_rate_of_term(clock), 2.5e9f);
    EXPECT_EQ(design.store()->get_toggle_rate_of_term(driven), 2.5e9f);
    EXPECT_EQ(design.store()->get_toggle_rate_of_term(open), 0.0f);
    HOST_DESIGN other;
    HOST_OTERM* foreign = other.add_output(other.add_atom("x", HOST_ATOM_KIND::OTHER), "x", 0, false);
    EXPECT_EQ(design.store()->get_toggle_rate_of_term(foreign), 0.0f);
}

}  // namespace
