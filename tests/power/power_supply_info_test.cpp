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

// Each test fills tables of its own, freed before the fixture counts the
// library's live blocks.
class POWER_SUPPLY_INFO_TEST : public PUTIL_TEST {
protected:
    void SetUp() override
    {
        PUTIL_TEST::SetUp();
        m_design.device()->add_block(GID_397, element(397), DEV_PHYS_IMPL_ANY, 0, 0);
        m_design.device()->add_block(GID_697, element(697), DEV_PHYS_IMPL_ANY, 1, 0);
        m_info = std::make_unique<INFO>();
    }
    void TearDown() override
    {
        m_info.reset();
        PUTIL_TEST::TearDown();
    }
    void cache(int family)
    {
        m_design.device()->set_family(static_cast<DEV_FAMILY_ENUM>(family));
        m_info->cache_power_supply_data(m_design.device());
    }

    HOST_DESIGN m_design;
    std::unique_ptr<INFO> m_info;
};

struct LOOKUP_ROW {
    const char* name;
    int family;   // cached first unless NOT_CACHED
    std::function<std::string(INFO&)> lookup;
    const char* expected;
};

class LOOKUPS : public POWER_SUPPLY_INFO_TEST, public ::testing::WithParamInterface<LOOKUP_ROW> {};

TEST_P(LOOKUPS, answer_from_the_family_wiring)
{
    if (GetParam().family != NOT_CACHED)
        cache(GetParam().family);
    EXPECT_EQ(outcome([&] { return GetParam().lookup(*m_info); }), GetParam().expected);
}

auto supplies_of(int kind)
{
    return [=](INFO& info) { return text_of(info.get_gid_power_supplies(element(kind))); };
}
auto supplies_of_gid(unsigned gid)
{
    return [=](INFO& info) { return text_of(info.get_gid_power_supplies(gid)); };
}
auto region_of(int kind, int s)
{
    return [=](INFO& info) { return std::to_string(info.get_gid_power_region(element(kind), supply(s))); };
}
auto region_of_gid(unsigned gid, int s)
{
    return [=](INFO& info) { return std::to_string(info.get_gid_power_region(gid, supply(s))); };
}
auto voltage_of(int s, int r)
{
    return [=](INFO& info) { return std::to_string(info.get_power_region_voltage(supply(s), region(r))); };
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
                                 [](INFO& info) { info.cache_power_supply_data(nullptr); return ""; }, NO_ENTRY}),
    row_name);

// A gid's own region wins over its kind's; only created voltages can be
// set. Nothing empties the tables: caching again appends the lists again and
// puts back the built-in voltages; freeing changes nothing.
TEST_F(POWER_SUPPLY_INFO_TEST, overrides_and_caching_again)
{
    cache(50);
    m_info->set_gid_power_region(GID_397, supply(10), region(3));
    m_info->set_gid_power_region(GID_397, supply(20), region(1));
    m_info->set_gid_power_region(GID_397, supply(20), region(2));
    EXPECT_EQ(m_info->get_gid_power_region(GID_397, supply(10)), 3);
    EXPECT_EQ(m_info->get_gid_power_region(GID_397, supply(20)), 2);
    EXPECT_EQ(m_info->get_gid_power_region(element(397), supply(10)), 14);
    EXPECT_EQ(outcome([&] { return region_of_gid(GID_697, 20)(*m_info); }), NO_REGION);

    m_info->set_power_region_voltage(supply(10), region(14), 850);
    EXPECT_EQ(m_info->get_power_region_voltage(supply(10), region(14)), 850);
    EXPECT_EQ(outcome([&] { m_info->set_power_region_voltage(supply(10), region(15), 850); return ""; }), NO_VOLTAGE);
    cache(50);
    m_info->free_all_objects();
    EXPECT_EQ(m_info->get_power_region_voltage(supply(10), region(14)), 900);
    EXPECT_EQ(text_of(m_info->get_gid_power_supplies(element(1786))), "20 23 20 23");
}

// The tables of two devices of different families live side by side: each
// answers from its own family's wiring and keeps its own overrides.
TEST_F(POWER_SUPPLY_INFO_TEST, two_devices_keep_their_own_tables)
{
    cache(50);
    HOST_DESIGN other;
    other.device()->add_block(GID_397, element(397), DEV_PHYS_IMPL_ANY, 0, 0);
    other.device()->set_family(static_cast<DEV_FAMILY_ENUM>(42));
    {
        INFO other_info;
        other_info.cache_power_supply_data(other.device());
        m_info->set_gid_power_region(GID_397, supply(0), region(3));
        EXPECT_EQ(text_of(m_info->get_gid_power_supplies(element(697))), "20 22 23 21");
        EXPECT_EQ(text_of(other_info.get_gid_power_supplies(element(697))), "45 45 23");
        EXPECT_EQ(text_of(other_info.get_gid_power_supplies(GID_397)), "0 45 23 24");
        EXPECT_EQ(m_info->get_gid_power_region(GID_397, supply(0)), 3);
        EXPECT_EQ(other_info.get_gid_power_region(GID_397, supply(0)), 14);
    }
    EXPECT_EQ(text_of(m_info->get_gid_power_supplies(GID_397)), "10 0 20 22 23 21 24");
}
