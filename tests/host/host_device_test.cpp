// Reference host device builders and the services around them: refused
// blocks and transceiver marks. Terms' toggle rates are read back by the
// transceiver element dump tests.
#include "host_test_fixture.h"

namespace {

constexpr DEV_ELEMENT_ENUM PLL = static_cast<DEV_ELEMENT_ENUM>(50);
constexpr DEV_PHYS_IMPL_ENUM STANDARD = static_cast<DEV_PHYS_IMPL_ENUM>(1);

using HOST_DEVICE_TEST = HOST_TEST;

TEST_F(HOST_DEVICE_TEST, refuses_a_gid_twice_and_an_undeclared_parent)
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

// The transceiver models' tests read back the recorded voltages and marks; these are the edges they do not reach.
TEST_F(HOST_DEVICE_TEST, records_what_the_library_writes_for_the_current_design)
{
    EXPECT_EQ(putil_lib_get_cdb_chip_db_entry(), nullptr);
    putil_lib_set_is_hssi_gid(5, true);   // no design: nowhere to mark
    HOST_DESIGN design;
    host_set_current_design(&design);
    ASSERT_EQ(putil_lib_get_cdb_chip_db_entry(), design.store()->get_chip_db_entry());
    putil_lib_set_is_hssi_gid(5, true);
    putil_lib_set_is_hssi_gid(DEV_ILLEGAL_GLOBAL_ID, true);
    putil_lib_set_is_hssi_gid(6, true);
    putil_lib_set_is_hssi_gid(6, false);
    EXPECT_TRUE(design.device()->is_hssi_gid(5));
    EXPECT_TRUE(design.device()->is_hssi_gid(DEV_ILLEGAL_GLOBAL_ID));
    EXPECT_FALSE(design.device()->is_hssi_gid(6));
    EXPECT_FALSE(design.device()->is_hssi_gid(7));
}

}  // namespace
