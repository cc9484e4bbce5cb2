// Tests of the power supply tables: lookups per family, through a gid of
// the cached die, overrides, and the internal errors of missing keys.
#include <functional>

#include "supplies/putil_power_supply_info.h"
#include "putil_test_support.h"

namespace {

typedef PUTIL_POWER_SUPPLY_INFO INFO;

const unsigned GID_397 = 5;   // located blocks of element kinds 397 and 697
const unsigned GID_697 = 6;
const int NOT_CACHED = -1;

DEV_ELEMENT_ENUM element(int kind) { return static_cast<DEV_ELEMENT_ENUM>(kind); }
DEV_POWER_SUPPLY_ENUM supply(int value) { return static_cast<DEV_POWER_SUPPLY_ENUM>(value); }
DEV_POWER_REGION_ENUM region(int value) { return static_cast<DEV_POWER_REGION_ENUM>(value); }

std::string text_of(const PUTIL_VECTOR<int>& supplies)
{
    std::string text;
    for (int value : supplies)
        text += (text.empty() ? "" : " ") + std::to_string(value);
    return text;
}

// What a lookup answers, or the internal error it raised as a user sees it.
std::string outcome(const std::function<std::string()>& lookup)
{
    std::string answer;
    const std::string error = putil_internal_error_of([&] { answer = lookup(); });
    return error == "no internal error" ? answer : error;
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

struct LOOKUP_ROW {
    const char* name;
    int family;   // cached first unless NOT_CACHED
    std::function<std::string()> lookup;
    const char* expected;
};

class LOOKUPS : public POWER_SUPPLY_INFO_TEST, public ::testing::WithParamInterface<LOOKUP_ROW> {};

TEST_P(LOOKUPS, answer_from_the_family_wiring)
{
    if (GetParam().family != NOT_CACHED)
        cache(GetParam().family);
    EXPECT_EQ(outcome(GetParam().lookup), GetParam().expected);
}

auto supplies_of(int kind)
{
    return [=] { return text_of(INFO::get_gid_power_supplies(element(kind))); };
}
auto supplies_of_gid(unsigned gid)
{
    return [=] { return text_of(INFO::get_gid_power_supplies(gid)); };
}
auto region_of(int kind, int s)
{
    return [=] { return std::to_string(INFO::get_gid_power_region(element(kind), supply(s))); };
}
auto region_of_gid(unsigned gid, int s)
{
    return [=] { return std::to_string(INFO::get_gid_power_region(gid, supply(s))); };
}
auto voltage_of(int s, int r)
{
    return [=] { return std::to_string(INFO::get_power_region_voltage(supply(s), region(r))); };
}

// A missing die, kind, region or voltage is a broken invariant of the tables.
const char* const NO_ENTRY = "internal error in putil_power_supply_info.cpp";
const char* const NO_KIND = NO_ENTRY;
const char* const NO_REGION = NO_ENTRY;
const char* const NO_VOLTAGE = NO_ENTRY;
const char* const NO_DIE = NO_ENTRY;

INSTANTIATE_TEST_SUITE_P(
    POWER_SUPPLY_INFO, LOOKUPS,
    ::testing::Values(LOOKUP_ROW{"f50_supplies_699", 50, supplies_of(699), "19 10 0 20 22 23 21"},
                      LOOKUP_ROW{"f42_supplies_697_45_twice", 42, supplies_of(697), "45 45 23"},
                      LOOKUP_ROW{"f42_supplies_of_gid", 42, supplies_of_gid(GID_397), "0 45 23 24"},
                      LOOKUP_ROW{"f42_unknown_gid", 42, supplies_of_gid(99), NO_ENTRY},
                      LOOKUP_ROW{"f50_region_10", 50, region_of(397, 10), "14"},
                      LOOKUP_ROW{"f50_region_20_none", 50, region_of(397, 20), NO_REGION},
                      LOOKUP_ROW{"f42_region_45", 42, region_of_gid(GID_697, 45), "0"},
                      LOOKUP_ROW{"f7_voltage_10_14", 7, voltage_of(10, 14), "900"},
                      LOOKUP_ROW{"f7_voltage_10_15_none", 7, voltage_of(10, 15), NO_VOLTAGE},
                      LOOKUP_ROW{"f12_supplies", 12, supplies_of_gid(GID_397), NO_KIND},
                      LOOKUP_ROW{"f12_voltage", 12, voltage_of(0, 14), NO_VOLTAGE},
                      LOOKUP_ROW{"uncached_supplies", NOT_CACHED, supplies_of_gid(GID_397), NO_DIE},
                      LOOKUP_ROW{"uncached_region", NOT_CACHED, region_of_gid(GID_397, 0), NO_DIE},
                      LOOKUP_ROW{"uncached_device", NOT_CACHED,
                                 [] { INFO::cache_power_supply_data(nullptr); return ""; }, NO_ENTRY}),
    row_name);

// A gid's own region wins over its kind's; only created voltages can be
// set. Nothing empties the tables: caching again appends the lists again and
// puts back the built-in voltages; freeing changes nothing.
TEST_F(POWER_SUPPLY_INFO_TEST, overrides_and_caching_again)
{
    cache(50);
    INFO::set_gid_power_region(GID_397, supply(10), region(3));
    INFO::set_gid_power_region(GID_397, supply(20), region(1));
    INFO::set_gid_power_region(GID_397, supply(20), region(2));
    EXPECT_EQ(INFO::get_gid_power_region(GID_397, supply(10)), 3);
    EXPECT_EQ(INFO::get_gid_power_region(GID_397, supply(20)), 2);
    EXPECT_EQ(INFO::get_gid_power_region(element(397), supply(10)), 14);
    EXPECT_EQ(outcome(region_of_gid(GID_697, 20)), NO_REGION);

    INFO::set_power_region_voltage(supply(10), region(14), 850);
    EXPECT_EQ(INFO::get_power_region_voltage(supply(10), region(14)), 850);
    EXPECT_EQ(outcome([] { INFO::set_power_region_voltage(supply(10), region(15), 850); return ""; }), NO_VOLTAGE);
    cache(50);
    INFO::free_all_objects();
    EXPECT_EQ(INFO::get_power_region_voltage(supply(10), region(14)), 900);
    EXPECT_EQ(text_of(INFO::get_gid_power_supplies(element(1786))), "20 23 20 23");
}
