// The element type map of one transceiver model.
#include "hssi/putil_hssi_element_type_map.h"

#include "host/dev.h"
#include "host/dstr.h"
#include "core/putil_internal.h"

namespace {

// Families whose strips come in implementations that the basic-info table
// does not list: every implementation named as a strip becomes a type.
bool family_lists_strips_by_name(int family)
{
    return family == 8 || family == 9 || family == 17 || family == 48;
}

// The lowest implementation value that can name a strip.
constexpr int s_first_strip_phys_impl = 2;

}   // namespace

void PUTIL_HSSI_ELEMENT_TYPE_MAP::create_element_type_map(DEV_DEVICE* device)
{
    DEV_BASIC_INFO* dev_basic_info = device->get_basic_info();
    const DEV_FAMILY_ENUM family = dev_basic_info->get_family_enum();
    if (family == m_user_family)
        return;
    m_user_family = family;
    PUTIL_ASSERT(dev_basic_info->is_valid_2d_int_enum(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS));
    m_int_to_element_phys_impl_vector.clear();
    m_element_phys_impl_to_int_hash.clear();
    add_type_rows(dev_basic_info->get_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS));
    if (family_lists_strips_by_name(family)) {
        std::vector<std::vector<int>> strip_rows;
        for (int phys_impl = s_first_strip_phys_impl; phys_impl <= DEV_PHYS_IMPL_ANY; ++phys_impl)
            if (dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(phys_impl)).find("HSSI_STRIP") !=
                std::string::npos)
                strip_rows.push_back({DEV_ELEMENT_HSSI_STRIP, phys_impl});
        add_type_rows(strip_rows);
    }
    m_num_element_types = static_cast<int>(m_int_to_element_phys_impl_vector.size());
}

// Numbers each new (kind, implementation) and then its kind's
// any-implementation key, in the order of first appearance.
void PUTIL_HSSI_ELEMENT_TYPE_MAP::add_type_rows(const std::vector<std::vector<int>>& rows)
{
    for (const std::vector<int>& row : rows) {
        if (row.size() < 2)
            continue;
        const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key(row[0], row[1]);
        for (const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& type_key : {key, key.any_implementation()}) {
            if (m_element_phys_impl_to_int_hash.count(type_key) != 0)
                continue;
            m_element_phys_impl_to_int_hash[type_key] = static_cast<int>(m_int_to_element_phys_impl_vector.size());
            m_int_to_element_phys_impl_vector.push_back(type_key);
        }
    }
}

PUTIL_HSSI_ELEMENT_TYPE PUTIL_HSSI_ELEMENT_TYPE_MAP::get_hssi_element_type(
    const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) const
{
    const auto iter = m_element_phys_impl_to_int_hash.find(key);
    PUTIL_ASSERT(iter != m_element_phys_impl_to_int_hash.end());
    return iter->second;
}

bool PUTIL_HSSI_ELEMENT_TYPE_MAP::element_phys_impl_key_exists(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) const
{
    return m_element_phys_impl_to_int_hash.count(key) != 0;
}

void PUTIL_HSSI_ELEMENT_TYPE_MAP::get_element_phys_impl_key(PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key,
                                                            int element_type) const
{
    PUTIL_ASSERT(0 <= element_type &&
                 element_type < static_cast<PUTIL_HSSI_ELEMENT_TYPE>(m_int_to_element_phys_impl_vector.size()));
    key = m_int_to_element_phys_impl_vector[static_cast<std::size_t>(element_type)];
}

bool PUTIL_HSSI_ELEMENT_TYPE_MAP::hssi_element_type_exists(int element_type) const
{
    return 0 <= element_type && element_type < static_cast<int>(m_int_to_element_phys_impl_vector.size());
}
