// Tests of the power supply tables: the built-in wiring per family, region
// and voltage lookups and overrides, gid lookups through the cached die, and
// the internal errors of keys the tables do not hold.
#include <functional>

#include "putil_power_supply_info.h"
#include "putil_test_support.h"

namespace {

typedef PUTIL_POWER_SUPPLY_INFO INFO;

const unsigned GID_397 = 5;   // a located block of element kind 397
const unsigned GID_697 = 6;   // and one of kind 697

DEV_ELEMENT_ENUM element(int kind) { return static_cast<DEV_ELEMENT_ENUM>(kind); }
DEV_POWER_SUPPLY_ENUM supply(int value) { return static_cast<DEV_POWER_SUPPLY_ENUM>(value); }
DEV_POWER_REGION_ENUM region(int value) { return static_cast<DEV_POWER_REGION_ENUM>(value); }

std::vector<int> as_vector(const PUTIL_VECTOR<int>& supplies) { return {supplies.begin(), supplies.end()}; }

// The expression of the internal error that call raised; empty without one.
std::string internal_error_of(const std::function<void()>& call)
{
    try {
        call();
    } catch (const HOST_INTERNAL_ERROR& error) {
        return error.expression;
    }
    return "";
}

}  // namespace

// The tables outlive every test: each test puts them back as the library
// loaded them before the fixture counts the library's live blocks.
class POWER_SUPPLY_INFO_TEST : public PUTIL_TEST {
protected:
    void SetUp() override
    {
        PUTIL_TEST::SetUp();
        m_design.device()->add_block(GID_397, element(397), DEV_PHYS_IMPL_ANY, 0, 0);
        m_design.device()->add_block(GID_697, element(697), DEV_PHYS_IMPL_ANY, 1, 0);
    }
    void TearDown() override
    {
        INFO::reset_tables();
        PUTIL_TEST::TearDown();
    }

    void cache(int family)
    {
        m_design.device()->set_family(static_cast<DEV_FAMILY_ENUM>(family));
        INFO::cache_power_supply_data(m_design.device());
    }

    HOST_DESIGN m_design;
};

struct SUPPLY_LIST_ROW {
    const char* name;
    int family;
    int kind;
    std::vector<int> supplies;
};

class SUPPLY_LISTS : public POWER_SUPPLY_INFO_TEST, public ::testing::WithParamInterface<SUPPLY_LIST_ROW> {};

TEST_P(SUPPLY_LISTS, list_the_family_wiring_of_a_kind_in_order)
{
    cache(GetParam().family);
    EXPECT_EQ(as_vector(INFO::get_gid_power_supplies(element(GetParam().kind))), GetParam().supplies);
}

INSTANTIATE_TEST_SUITE_P(
    POWER_SUPPLY_INFO, SUPPLY_LISTS,
    ::testing::Values(SUPPLY_LIST_ROW{"family_50_kind_699", 50, 699, {19, 10, 0, 20, 22, 23, 21}},
                      SUPPLY_LIST_ROW{"family_7_kind_694", 7, 694, {21, 24, 23, 20, 0}},
                      SUPPLY_LIST_ROW{"family_7_kind_1786", 7, 1786, {20, 23}},
                      SUPPLY_LIST_ROW{"family_42_kind_697_twice_45", 42, 697, {45, 45, 23}},
                      SUPPLY_LIST_ROW{"family_42_kind_692", 42, 692, {23, 45, 24, 0}},
                      SUPPLY_LIST_ROW{"family_42_kind_587", 42, 587, {0}}),
    row_name);

// A region of -1 in a row: the lookup is an internal error.
struct ELEMENT_REGION_ROW {
    const char* name;
    int family;
    int kind;
    int supply;
    int region;
};

class ELEMENT_REGIONS : public POWER_SUPPLY_INFO_TEST, public ::testing::WithParamInterface<ELEMENT_REGION_ROW> {};

TEST_P(ELEMENT_REGIONS, lie_where_the_family_puts_the_supply)
{
    const ELEMENT_REGION_ROW& row = GetParam();
    cache(row.family);
    if (row.region < 0) {
        EXPECT_EQ(internal_error_of([&] { INFO::get_gid_power_region(element(row.kind), supply(row.supply)); }),
                  "element_iter != m_element_to_power_region.end()");
        return;
    }
    EXPECT_EQ(INFO::get_gid_power_region(element(row.kind), supply(row.supply)), row.region);
}

INSTANTIATE_TEST_SUITE_P(POWER_SUPPLY_INFO, ELEMENT_REGIONS,
                         ::testing::Values(ELEMENT_REGION_ROW{"family_50_supply_10", 50, 397, 10, 14},
                                           ELEMENT_REGION_ROW{"family_50_supply_0", 50, 397, 0, 14},
                                           ELEMENT_REGION_ROW{"family_50_supply_20_has_none", 50, 397, 20, -1},
                                           ELEMENT_REGION_ROW{"family_7_supply_19_has_none", 7, 695, 19, -1},
                                           ELEMENT_REGION_ROW{"family_42_supply_0", 42, 699, 0, 14},
                                           ELEMENT_REGION_ROW{"family_42_supply_45", 42, 697, 45, 0},
                                           ELEMENT_REGION_ROW{"family_42_supply_24", 42, 397, 24, 0},
                                           ELEMENT_REGION_ROW{"family_42_unlisted_supply", 42, 587, 23, -1}),
                         row_name);

// A voltage of -1 in a row: the pair was never created.
struct VOLTAGE_ROW {
    const char* name;
    int family;
    int supply;
    int region;
    int millivolts;
};

class REGION_VOLTAGES : public POWER_SUPPLY_INFO_TEST, public ::testing::WithParamInterface<VOLTAGE_ROW> {};

TEST_P(REGION_VOLTAGES, exist_for_the_pairs_caching_created)
{
    const VOLTAGE_ROW& row = GetParam();
    cache(row.family);
    if (row.millivolts < 0) {
        EXPECT_EQ(internal_error_of([&] { INFO::get_power_region_voltage(supply(row.supply), region(row.region)); }),
                  "iter != m_power_region_to_voltage.end()");
        EXPECT_EQ(internal_error_of(
                      [&] { INFO::set_power_region_voltage(supply(row.supply), region(row.region), 850); }),
                  "gid_iter != m_power_region_to_voltage.end()");
        return;
    }
    EXPECT_EQ(INFO::get_power_region_voltage(supply(row.supply), region(row.region)), row.millivolts);
    INFO::set_power_region_voltage(supply(row.supply), region(row.region), 850);
    EXPECT_EQ(INFO::get_power_region_voltage(supply(row.supply), region(row.region)), 850);
}

INSTANTIATE_TEST_SUITE_P(POWER_SUPPLY_INFO, REGION_VOLTAGES,
                         ::testing::Values(VOLTAGE_ROW{"family_7_supply_10_region_14", 7, 10, 14, 900},
                                           VOLTAGE_ROW{"family_7_supply_11_region_14", 7, 11, 14, 900},
                                           VOLTAGE_ROW{"family_50_supply_24_region_2", 50, 24, 2, 0},
                                           VOLTAGE_ROW{"family_7_supply_10_region_15", 7, 10, 15, -1},
                                           VOLTAGE_ROW{"family_50_supply_24_region_0", 50, 24, 0, -1},
                                           VOLTAGE_ROW{"family_42_supply_45_region_0", 42, 45, 0, 0},
                                           VOLTAGE_ROW{"family_42_supply_0_region_14", 42, 0, 14, 900},
                                           VOLTAGE_ROW{"family_42_supply_10_region_14", 42, 10, 14, -1}),
                         row_name);

TEST_F(POWER_SUPPLY_INFO_TEST, a_gid_answers_with_its_kind_until_a_region_is_set_for_it)
{
    cache(50);
    EXPECT_EQ(as_vector(INFO::get_gid_power_supplies(GID_697)), (std::vector<int>{20, 22, 23, 21}));
    EXPECT_EQ(INFO::get_gid_power_region(GID_397, supply(10)), 14);

    INFO::set_gid_power_region(GID_397, supply(10), region(3));
    INFO::set_gid_power_region(GID_397, supply(20), region(1));
    INFO::set_gid_power_region(GID_397, supply(20), region(2));
    EXPECT_EQ(INFO::get_gid_power_region(GID_397, supply(10)), 3);
    EXPECT_EQ(INFO::get_gid_power_region(GID_397, supply(20)), 2);
    // The kind and the other block of the kind keep the wiring's answer.
    EXPECT_EQ(INFO::get_gid_power_region(element(397), supply(10)), 14);
    EXPECT_EQ(internal_error_of([] { INFO::get_gid_power_region(GID_697, supply(20)); }),
              "element_iter != m_element_to_power_region.end()");
}

TEST_F(POWER_SUPPLY_INFO_TEST, gid_lookups_need_a_cached_device_and_a_known_gid)
{
    EXPECT_EQ(internal_error_of([] { INFO::get_gid_power_supplies(GID_397); }), "s_dev_die_info != NULL");
    EXPECT_EQ(internal_error_of([] { INFO::get_gid_power_region(GID_397, supply(0)); }), "s_dev_die_info != NULL");
    EXPECT_EQ(internal_error_of([] { INFO::cache_power_supply_data(nullptr); }), "dev_device != NULL");
    cache(42);
    EXPECT_EQ(internal_error_of([] { INFO::get_gid_power_supplies(99u); }), "element_desc != NULL");
}

TEST_F(POWER_SUPPLY_INFO_TEST, another_family_fills_nothing)
{
    cache(12);
    EXPECT_EQ(internal_error_of([] { INFO::get_gid_power_supplies(element(397)); }),
              "element_iter != m_element_to_power_type.end()");
    EXPECT_EQ(internal_error_of([] { INFO::get_gid_power_supplies(GID_397); }),
              "element_iter != m_element_to_power_type.end()");
    EXPECT_EQ(internal_error_of([] { INFO::get_gid_power_region(GID_397, supply(0)); }),
              "element_iter != m_element_to_power_region.end()");
    EXPECT_EQ(internal_error_of([] { INFO::get_power_region_voltage(supply(0), region(14)); }),
              "iter != m_power_region_to_voltage.end()");
}

// Nothing empties the tables: a second caching appends the lists again and
// puts back the built-in voltages; freeing changes nothing.
TEST_F(POWER_SUPPLY_INFO_TEST, caching_again_adds_to_the_tables)
{
    cache(42);
    INFO::set_power_region_voltage(supply(0), region(14), 850);
    cache(42);
    INFO::free_all_objects();
    EXPECT_EQ(as_vector(INFO::get_gid_power_supplies(element(697))), (std::vector<int>{45, 45, 23, 45, 45, 23}));
    EXPECT_EQ(INFO::get_power_region_voltage(supply(0), region(14)), 900);
    EXPECT_EQ(INFO::get_gid_power_region(element(697), supply(45)), 0);
}
