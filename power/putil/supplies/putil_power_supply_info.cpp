// The power supply tables and the built-in supply wiring of the device
// families that have transceiver power models.
#include "supplies/putil_power_supply_info.h"

#include <algorithm>

#include "core/putil_internal.h"

namespace {

// The initial bucket count of every table.
constexpr std::size_t INITIAL_BUCKETS = 61;

// Families 50 and 7 share one wiring; family 42 has its own. Each is one
// line of the tables below.
enum WIRING_LINE { LINE_50_AND_7 = 0, LINE_42 = 1, LINE_COUNT = 2, LINE_NONE = -1 };

int wiring_line_of_family(DEV_FAMILY_ENUM family)
{
    switch (static_cast<int>(family)) {
    case 50:
    case 7:
        return LINE_50_AND_7;
    case 42:
        return LINE_42;
    default:
        return LINE_NONE;
    }
}

// Ends a supply list of the wiring table (supply 0 is a real supply).
constexpr int END = -1;
constexpr int MAX_SUPPLIES = 8;

// The supplies of each element kind, per line, in the order the element
// lists them; kinds without a row have no supplies. Rows are in increasing
// kind order. Family 42's kind 697 lists supply 45 twice, as its wiring does.
struct SUPPLY_ROW {
    int element;
    int supplies[LINE_COUNT][MAX_SUPPLIES];
};

const SUPPLY_ROW s_supply_rows[] = {
    {194, {{20, 22, 23, 21, END}, {45, 23, END}}},
    {397, {{10, 0, 20, 22, 23, 21, 24, END}, {0, 45, 23, 24, END}}},
    {587, {{10, 0, END}, {0, END}}},
    {589, {{23, 22, END}, {23, 45, END}}},
    {691, {{10, 0, END}, {0, END}}},
    {692, {{23, 22, 20, 24, 0, END}, {23, 45, 24, 0, END}}},
    {693, {{10, 0, END}, {0, END}}},
    {694, {{21, 24, 23, 20, 0, END}, {45, 24, 23, 0, END}}},
    {695, {{19, 0, END}, {0, END}}},
    {696, {{20, 21, END}, {45, END}}},
    {697, {{20, 22, 23, 21, END}, {45, 45, 23, END}}},
    {698, {{10, 0, 20, 22, 23, 21, 24, END}, {0, 45, 23, 24, END}}},
    {699, {{19, 10, 0, 20, 22, 23, 21, END}, {0, 45, 23, END}}},
    {779, {{10, 0, 20, 22, 23, 21, 24, END}, {0, 45, 23, 24, END}}},
    {1786, {{20, 23, END}, {45, 23, END}}},
};

// A (supply, region) pair of a line and its millivolts. Only these pairs
// exist, so only they can be set later.
struct VOLTAGE_ROW {
    int line;
    int supply;
    int region;
    int millivolts;
};

const VOLTAGE_ROW s_voltage_rows[] = {
    {LINE_50_AND_7, 0, 14, 900},  {LINE_50_AND_7, 10, 14, 900}, {LINE_50_AND_7, 11, 14, 900},
    {LINE_50_AND_7, 19, 1, 0},    {LINE_50_AND_7, 19, 2, 0},    {LINE_50_AND_7, 20, 1, 0},
    {LINE_50_AND_7, 20, 2, 0},    {LINE_50_AND_7, 21, 1, 0},    {LINE_50_AND_7, 21, 2, 0},
    {LINE_50_AND_7, 22, 1, 0},    {LINE_50_AND_7, 22, 2, 0},    {LINE_50_AND_7, 23, 1, 0},
    {LINE_50_AND_7, 23, 2, 0},    {LINE_50_AND_7, 24, 1, 0},    {LINE_50_AND_7, 24, 2, 0},
    {LINE_42, 0, 14, 900},        {LINE_42, 23, 0, 0},          {LINE_42, 24, 0, 0},
    {LINE_42, 45, 0, 0},
};

// The region of a supply wherever an element lists it; supplies without a
// row have no element-level region (a gid override must give it).
struct REGION_ROW {
    int line;
    int supply;
    int region;
};

const REGION_ROW s_region_rows[] = {
    {LINE_50_AND_7, 0, 14}, {LINE_50_AND_7, 10, 14}, {LINE_42, 0, 14},
    {LINE_42, 23, 0},       {LINE_42, 24, 0},        {LINE_42, 45, 0},
};

}  // namespace

PUTIL_POWER_SUPPLY_INFO::PUTIL_POWER_SUPPLY_INFO()
    : m_element_to_power_type(INITIAL_BUCKETS),
      m_gid_to_power_type(INITIAL_BUCKETS),
      m_element_to_power_region(INITIAL_BUCKETS),
      m_gid_to_power_region(INITIAL_BUCKETS),
      m_power_region_to_voltage(INITIAL_BUCKETS),
      m_dev_die_info(nullptr)
{
}

void PUTIL_POWER_SUPPLY_INFO::cache_power_supply_data(DEV_DEVICE* dev_device)
{
    PUTIL_ASSERT(dev_device != NULL);
    DEV_DIE_INFO* die_info = dev_device->get_die_info();
    PUTIL_ASSERT(die_info != NULL);
    m_dev_die_info = die_info;

    const DEV_BASIC_INFO* basic_info = dev_device->get_basic_info();
    PUTIL_ASSERT(basic_info != NULL);
    const int line = wiring_line_of_family(basic_info->get_family_enum());
    if (line == LINE_NONE)
        return;
    add_voltages(line);
    add_supplies(line);
    add_regions(line);
}

void PUTIL_POWER_SUPPLY_INFO::add_voltages(int line)
{
    for (const VOLTAGE_ROW& row : s_voltage_rows) {
        if (row.line != line)
            continue;
        const SUPPLY_REGION key(static_cast<DEV_POWER_SUPPLY_ENUM>(row.supply),
                                static_cast<DEV_POWER_REGION_ENUM>(row.region));
        m_power_region_to_voltage[key] = row.millivolts;
    }
}

void PUTIL_POWER_SUPPLY_INFO::add_supplies(int line)
{
    for (const SUPPLY_ROW& row : s_supply_rows) {
        PUTIL_VECTOR<int>& supplies = m_element_to_power_type[static_cast<DEV_ELEMENT_ENUM>(row.element)];
        for (int i = 0; i < MAX_SUPPLIES && row.supplies[line][i] != END; ++i)
            supplies.push_back(row.supplies[line][i]);
    }
}

// Every element kind with supplies gets the line's region for each of its
// supplies that has one, kinds listed by an earlier caching included.
void PUTIL_POWER_SUPPLY_INFO::add_regions(int line)
{
    for (const auto& [element, supplies] : m_element_to_power_type) {
        for (int supply : supplies) {
            for (const REGION_ROW& row : s_region_rows) {
                if (row.line != line || row.supply != supply)
                    continue;
                const ELEMENT_SUPPLY key(element, static_cast<DEV_POWER_SUPPLY_ENUM>(supply));
                m_element_to_power_region[key] = static_cast<DEV_POWER_REGION_ENUM>(row.region);
            }
        }
    }
}

const PUTIL_VECTOR<int>& PUTIL_POWER_SUPPLY_INFO::get_gid_power_supplies(DEV_ELEMENT_ENUM element) const
{
    return supplies_of_element(element);
}

const PUTIL_VECTOR<int>& PUTIL_POWER_SUPPLY_INFO::get_gid_power_supplies(unsigned gid) const
{
    PUTIL_ASSERT(m_dev_die_info != NULL);
    const GID_SUPPLY_MAP::const_iterator gid_iter = m_gid_to_power_type.find(gid);
    if (gid_iter != m_gid_to_power_type.end())
        return gid_iter->second;
    return supplies_of_element(element_of_gid(gid));
}

DEV_POWER_REGION_ENUM PUTIL_POWER_SUPPLY_INFO::get_gid_power_region(DEV_ELEMENT_ENUM element,
                                                                    DEV_POWER_SUPPLY_ENUM supply) const
{
    return region_of_element(element, supply);
}

DEV_POWER_REGION_ENUM PUTIL_POWER_SUPPLY_INFO::get_gid_power_region(unsigned gid,
                                                                    DEV_POWER_SUPPLY_ENUM supply) const
{
    PUTIL_ASSERT(m_dev_die_info != NULL);
    const GID_REGION_MAP::const_iterator gid_iter = m_gid_to_power_region.find(GID_SUPPLY(gid, supply));
    if (gid_iter != m_gid_to_power_region.end())
        return gid_iter->second;
    return region_of_element(element_of_gid(gid), supply);
}

int PUTIL_POWER_SUPPLY_INFO::get_power_region_voltage(DEV_POWER_SUPPLY_ENUM supply,
                                                      DEV_POWER_REGION_ENUM region) const
{
    const VOLTAGE_MAP::const_iterator iter = m_power_region_to_voltage.find(SUPPLY_REGION(supply, region));
    PUTIL_ASSERT(iter != m_power_region_to_voltage.end());
    return iter->second;
}

void PUTIL_POWER_SUPPLY_INFO::set_power_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region,
                                                       int voltage)
{
    const VOLTAGE_MAP::iterator gid_iter = m_power_region_to_voltage.find(SUPPLY_REGION(supply, region));
    PUTIL_ASSERT(gid_iter != m_power_region_to_voltage.end());
    gid_iter->second = voltage;
}

void PUTIL_POWER_SUPPLY_INFO::set_gid_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply,
                                                   DEV_POWER_REGION_ENUM region)
{
    m_gid_to_power_region[GID_SUPPLY(gid, supply)] = region;
}

void PUTIL_POWER_SUPPLY_INFO::free_all_objects() {}

PUTIL_VECTOR<DEV_ELEMENT_ENUM> PUTIL_POWER_SUPPLY_INFO::get_element_kinds() const
{
    PUTIL_VECTOR<DEV_ELEMENT_ENUM> kinds;
    for (const auto& entry : m_element_to_power_type)
        kinds.push_back(entry.first);
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

PUTIL_VECTOR<std::pair<DEV_POWER_SUPPLY_ENUM, DEV_POWER_REGION_ENUM>>
PUTIL_POWER_SUPPLY_INFO::get_power_region_voltage_keys() const
{
    PUTIL_VECTOR<SUPPLY_REGION> keys;
    for (const auto& entry : m_power_region_to_voltage)
        keys.push_back(entry.first);
    std::sort(keys.begin(), keys.end());
    return keys;
}

bool PUTIL_POWER_SUPPLY_INFO::has_power_region(DEV_ELEMENT_ENUM element, DEV_POWER_SUPPLY_ENUM supply) const
{
    return m_element_to_power_region.count(ELEMENT_SUPPLY(element, supply)) != 0;
}

DEV_ELEMENT_ENUM PUTIL_POWER_SUPPLY_INFO::element_of_gid(unsigned gid) const
{
    const DEV_ELEMENT_DESC* element_desc = m_dev_die_info->get_element_desc(gid);
    PUTIL_ASSERT(element_desc != NULL);
    return element_desc->get_element_enum();
}

const PUTIL_VECTOR<int>& PUTIL_POWER_SUPPLY_INFO::supplies_of_element(DEV_ELEMENT_ENUM element) const
{
    const ELEMENT_SUPPLY_MAP::const_iterator element_iter = m_element_to_power_type.find(element);
    PUTIL_ASSERT(element_iter != m_element_to_power_type.end());
    return element_iter->second;
}

DEV_POWER_REGION_ENUM PUTIL_POWER_SUPPLY_INFO::region_of_element(DEV_ELEMENT_ENUM element,
                                                                 DEV_POWER_SUPPLY_ENUM supply) const
{
    const ELEMENT_REGION_MAP::const_iterator element_iter =
        m_element_to_power_region.find(ELEMENT_SUPPLY(element, supply));
    PUTIL_ASSERT(element_iter != m_element_to_power_region.end());
    return element_iter->second;
}
