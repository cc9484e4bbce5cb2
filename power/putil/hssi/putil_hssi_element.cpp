// Transceiver block elements: guarded typed data, links, power records,
// supply voltages and regions.
#include "hssi/putil_hssi_element.h"

#include <cstring>

#include "host/cut.h"
#include "host/dev.h"
#include "host/putil_lib.h"
#include "core/putil_internal.h"
#include "hssi/putil_hssi_element_source.h"

PUTIL_HSSI_ELEMENT::PUTIL_HSSI_ELEMENT(PUTIL_HSSI_ELEMENT_TYPE_MAP& element_types, DEV_DEVICE* device,
                                       unsigned gid, int id, PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
    : m_element_types(&element_types)
{
    element_types.create_element_type_map(device);
    m_element_type = element_types.get_hssi_element_type(key);
    m_element_id = id;
    m_element_gid = gid;
    allocate_type_lists();
}

PUTIL_HSSI_ELEMENT::PUTIL_HSSI_ELEMENT(const PUTIL_HSSI_ELEMENT& other) = default;
PUTIL_HSSI_ELEMENT& PUTIL_HSSI_ELEMENT::operator=(const PUTIL_HSSI_ELEMENT& other) = default;
PUTIL_HSSI_ELEMENT::~PUTIL_HSSI_ELEMENT() = default;

void PUTIL_HSSI_ELEMENT::allocate_type_lists()
{
    const std::size_t num_types = static_cast<std::size_t>(m_element_types->get_num_element_types());
    m_associated_elements_by_type.assign(num_types, ELEMENT_LIST());
    m_child_elements_by_type.assign(num_types, ELEMENT_LIST());
}

// The three accessors of one scalar kind; the checks' texts name the kind's
// range and validity array.
#define PUTIL_HSSI_SCALAR_DATA(X, KEY_ENUM, VALUE, BEGIN, END)                         \
    void PUTIL_HSSI_ELEMENT::set_##X##_data(KEY_ENUM key, VALUE value)                  \
    {                                                                                   \
        PUTIL_ASSERT(BEGIN <= key && key < END);                                        \
        m_##X##_data[key] = value;                                                      \
        m_##X##_data_is_valid[key] = true;                                              \
    }                                                                                   \
    VALUE PUTIL_HSSI_ELEMENT::get_##X##_data(KEY_ENUM key) const                        \
    {                                                                                   \
        PUTIL_ASSERT(BEGIN <= key && key < END && m_##X##_data_is_valid[key]);          \
        return m_##X##_data[key];                                                       \
    }                                                                                   \
    bool PUTIL_HSSI_ELEMENT::is_valid_##X##_enum(KEY_ENUM key) const                    \
    {                                                                                   \
        PUTIL_ASSERT(BEGIN <= key && key < END);                                        \
        return m_##X##_data_is_valid[key];                                              \
    }

PUTIL_HSSI_SCALAR_DATA(int, DEV_POWER_HSSI_INT_DATA_ENUM, int, DEV_POWER_HSSI_INT_DATA_BEGIN,
                       DEV_POWER_HSSI_INT_DATA_END)
PUTIL_HSSI_SCALAR_DATA(bool, DEV_POWER_HSSI_BOOL_DATA_ENUM, bool, DEV_POWER_HSSI_BOOL_DATA_BEGIN,
                       DEV_POWER_HSSI_BOOL_DATA_END)
PUTIL_HSSI_SCALAR_DATA(double, DEV_POWER_HSSI_DOUBLE_DATA_ENUM, double, DEV_POWER_HSSI_DOUBLE_DATA_BEGIN,
                       DEV_POWER_HSSI_DOUBLE_DATA_END)
PUTIL_HSSI_SCALAR_DATA(enum, DEV_POWER_HSSI_ENUM_DATA_ENUM, int, DEV_POWER_HSSI_ENUM_DATA_BEGIN,
                       DEV_POWER_HSSI_ENUM_DATA_END)
PUTIL_HSSI_SCALAR_DATA(atom, DEV_POWER_HSSI_ATOM_DATA_ENUM, CDB_ATOM_NODE*, DEV_POWER_HSSI_ATOM_DATA_BEGIN,
                       DEV_POWER_HSSI_ATOM_DATA_END)
PUTIL_HSSI_SCALAR_DATA(iterm, DEV_POWER_HSSI_ITERM_DATA_ENUM, CDB_ATOM_ITERM*, DEV_POWER_HSSI_ITERM_DATA_BEGIN,
                       DEV_POWER_HSSI_ITERM_DATA_END)
PUTIL_HSSI_SCALAR_DATA(oterm, DEV_POWER_HSSI_OTERM_DATA_ENUM, CDB_ATOM_OTERM*, DEV_POWER_HSSI_OTERM_DATA_BEGIN,
                       DEV_POWER_HSSI_OTERM_DATA_END)

#undef PUTIL_HSSI_SCALAR_DATA

void PUTIL_HSSI_ELEMENT::set_2d_int_data(DEV_POWER_HSSI_2D_INT_DATA_ENUM key,
                                         const std::vector<std::vector<int>>& table)
{
    PUTIL_ASSERT(DEV_POWER_HSSI_2D_INT_DATA_BEGIN <= key && key < DEV_POWER_HSSI_2D_INT_DATA_END);
    m_2d_int_data[key].clear();
    for (const std::vector<int>& row : table)
        m_2d_int_data[key].emplace_back(row.begin(), row.end());
    m_2d_int_data_is_valid[key] = true;
}

void PUTIL_HSSI_ELEMENT::append_2d_int_data(DEV_POWER_HSSI_2D_INT_DATA_ENUM key, const std::vector<int>& row)
{
    PUTIL_ASSERT(DEV_POWER_HSSI_2D_INT_DATA_BEGIN <= key && key < DEV_POWER_HSSI_2D_INT_DATA_END);
    m_2d_int_data[key].emplace_back(row.begin(), row.end());
    m_2d_int_data_is_valid[key] = true;
}

const PUTIL_HSSI_ELEMENT::INT_TABLE& PUTIL_HSSI_ELEMENT::get_2d_int_data(DEV_POWER_HSSI_2D_INT_DATA_ENUM key) const
{
    PUTIL_ASSERT(DEV_POWER_HSSI_2D_INT_DATA_BEGIN <= key && key < DEV_POWER_HSSI_2D_INT_DATA_END &&
                 m_2d_int_data_is_valid[key]);
    return m_2d_int_data[key];
}

bool PUTIL_HSSI_ELEMENT::is_valid_2d_int_enum(DEV_POWER_HSSI_2D_INT_DATA_ENUM key) const
{
    PUTIL_ASSERT(DEV_POWER_HSSI_2D_INT_DATA_BEGIN <= key && key < DEV_POWER_HSSI_2D_INT_DATA_END);
    return m_2d_int_data_is_valid[key];
}

void PUTIL_HSSI_ELEMENT::get_element_phys_impl_type(PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) const
{
    m_element_types->get_element_phys_impl_key(key, m_element_type);
}

PUTIL_HSSI_ELEMENT::ELEMENT_LIST& PUTIL_HSSI_ELEMENT::type_list(PUTIL_VECTOR<ELEMENT_LIST>& lists,
                                                                 PUTIL_HSSI_ELEMENT_TYPE element_type)
{
    PUTIL_ASSERT(0 <= element_type && element_type < static_cast<PUTIL_HSSI_ELEMENT_TYPE>(lists.size()));
    return lists[static_cast<std::size_t>(element_type)];
}

void PUTIL_HSSI_ELEMENT::add_child_element(PUTIL_HSSI_ELEMENT* child)
{
    type_list(m_child_elements_by_type, child->m_element_type).push_back(child);
    m_child_elements.push_back(child);
}

void PUTIL_HSSI_ELEMENT::add_child_element(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key, PUTIL_HSSI_ELEMENT* child)
{
    type_list(m_child_elements_by_type, m_element_types->get_hssi_element_type(key)).push_back(child);
}

void PUTIL_HSSI_ELEMENT::add_associated_element(PUTIL_HSSI_ELEMENT* element)
{
    type_list(m_associated_elements_by_type, element->m_element_type).push_back(element);
    m_associated_elements.push_back(element);
}

void PUTIL_HSSI_ELEMENT::add_associated_element(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key,
                                                PUTIL_HSSI_ELEMENT* element)
{
    type_list(m_associated_elements_by_type, m_element_types->get_hssi_element_type(key)).push_back(element);
}

PUTIL_HSSI_ELEMENT::ELEMENT_LIST& PUTIL_HSSI_ELEMENT::get_child_elements(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
{
    return type_list(m_child_elements_by_type, m_element_types->get_hssi_element_type(key));
}

PUTIL_HSSI_ELEMENT::ELEMENT_LIST& PUTIL_HSSI_ELEMENT::get_associated_elements(
    const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key)
{
    return type_list(m_associated_elements_by_type, m_element_types->get_hssi_element_type(key));
}

void PUTIL_HSSI_ELEMENT::append_static_power(DEV_POWER_SUPPLY_ENUM supply, double constant, double multiplier,
                                             const std::string& name)
{
    m_static_power[supply].push_back({constant, multiplier, PUTIL_STRING(name.begin(), name.end())});
}

void PUTIL_HSSI_ELEMENT::append_dynamic_energy(DEV_POWER_SUPPLY_ENUM supply, double constant, double multiplier,
                                               const std::string& name)
{
    m_dynamic_energy[supply].push_back({constant, multiplier, PUTIL_STRING(name.begin(), name.end())});
}

int PUTIL_HSSI_ELEMENT::get_voltage(DEV_POWER_SUPPLY_ENUM supply) const
{
    // A customer release carries on with 0 where a developer build stops.
    const bool customer_release = PUTIL_VELDRA_INI::instance()->get_customer_release();
    if (!customer_release)
        PUTIL_ASSERT(m_2d_int_data_is_valid[DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES]);
    bool found_power_supply = false;
    int voltage = 0;
    if (m_2d_int_data_is_valid[DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES]) {
        for (const INT_ROW& row : m_2d_int_data[DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES]) {
            if (row.size() == 2 && row[0] == supply) {
                voltage = row[1];
                found_power_supply = true;
            }
        }
    }
    if (!customer_release)
        PUTIL_ASSERT(found_power_supply);
    return voltage;
}

DEV_POWER_REGION_ENUM PUTIL_HSSI_ELEMENT::get_power_region_of_element(unsigned gid,
                                                                      DEV_POWER_SUPPLY_ENUM supply) const
{
    const DEV_POWER_REGION_ENUM host_region = CUT_VOLTAGE_UTIL::get_power_region_of_element(gid, supply);
    if (host_region != 0)
        return host_region;
    DEV_DEVICE* device = DMGR_UTILITY::get_current_device();
    PUTIL_ASSERT(device);
    DEV_PART_INFO* part_info_db = device->get_part_info();
    PUTIL_ASSERT(part_info_db);
    const DEV_POWER_SUPPLY_DESC* power_supply_desc = part_info_db->get_power_supply_desc(supply);
    PUTIL_ASSERT(power_supply_desc);
    // Region 0 only for a supply that really has one.
    const DEV_2D_INT_DATA& regions = power_supply_desc->get_2d_int_data(DEV_POWER_SUPPLY_DESC_2D_INT_REGIONS);
    if (!regions.empty())
        for (int region : regions.front())
            if (region == 0)
                return static_cast<DEV_POWER_REGION_ENUM>(0);
    return m_power_region;
}

void PUTIL_HSSI_ELEMENT::invalidate_all_data()
{
    std::memset(m_int_data_is_valid, 0, sizeof m_int_data_is_valid);
    std::memset(m_bool_data_is_valid, 0, sizeof m_bool_data_is_valid);
    std::memset(m_double_data_is_valid, 0, sizeof m_double_data_is_valid);
    std::memset(m_enum_data_is_valid, 0, sizeof m_enum_data_is_valid);
    std::memset(m_2d_int_data_is_valid, 0, sizeof m_2d_int_data_is_valid);
    std::memset(m_atom_data_is_valid, 0, sizeof m_atom_data_is_valid);
    std::memset(m_iterm_data_is_valid, 0, sizeof m_iterm_data_is_valid);
    std::memset(m_oterm_data_is_valid, 0, sizeof m_oterm_data_is_valid);
    ELEMENT_LIST().swap(m_associated_elements);
    ELEMENT_LIST().swap(m_child_elements);
    for (ELEMENT_LIST& list : m_associated_elements_by_type)
        ELEMENT_LIST().swap(list);
    for (ELEMENT_LIST& list : m_child_elements_by_type)
        ELEMENT_LIST().swap(list);
}
