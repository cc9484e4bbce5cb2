// The readable debug description of one transceiver element: identity,
// toggle rate, power sums per supply, every valid value by name, and links.
#include <cstddef>
#include <string>

#include "host/astr.h"
#include "host/dstr.h"
#include "host/putil_lib.h"
#include "host/putil_sa_data.h"
#include "hssi/putil_hssi_element.h"
#include "core/putil_internal.h"
#include "hssi/putil_hssi_element_source.h"

namespace {

template <class RECORDS>
double sum_of_products(const RECORDS& records, int supply)
{
    double sum = 0.0;
    const auto iter = records.find(supply);
    if (iter == records.end())
        return sum;
    for (const auto& record : iter->second)
        sum += record.constant * record.multiplier;
    return sum;
}

std::string type_name(const PUTIL_HSSI_ELEMENT_TYPE_MAP& element_types, PUTIL_HSSI_ELEMENT_TYPE element_type)
{
    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key;
    element_types.get_element_phys_impl_key(key, element_type);
    return dstr_get_debug_string(key.element) + "::" + dstr_get_debug_string(key.phys_impl);
}

void write_id_list(std::ofstream& out, const char* heading, const PUTIL_HSSI_ELEMENT::ELEMENT_LIST& elements)
{
    out << "   " << heading << " = {";
    for (const PUTIL_HSSI_ELEMENT* element : elements)
        out << " " << element->get_element_id();
    out << " }\n";
}

// The list and the per-type lists of children or associated elements.
void write_links(std::ofstream& out, const PUTIL_HSSI_ELEMENT_TYPE_MAP& element_types, const char* heading,
                 const PUTIL_HSSI_ELEMENT::ELEMENT_LIST& all, const PUTIL_VECTOR<PUTIL_HSSI_ELEMENT::ELEMENT_LIST>& by_type)
{
    if (!all.empty()) {
        write_id_list(out, heading, all);
        out << "\n";
    }
    bool any_typed = false;
    for (const PUTIL_HSSI_ELEMENT::ELEMENT_LIST& list : by_type)
        any_typed = any_typed || !list.empty();
    if (!any_typed)
        return;
    out << "   " << heading << "_BY_TYPE\n   {\n";
    for (std::size_t element_type = 0; element_type < by_type.size(); ++element_type) {
        if (by_type[element_type].empty())
            continue;
        out << "      " << type_name(element_types, static_cast<PUTIL_HSSI_ELEMENT_TYPE>(element_type)) << " = {";
        for (const PUTIL_HSSI_ELEMENT* element : by_type[element_type])
            out << " " << element->get_element_id();
        out << " }\n";
    }
    out << "   }\n\n";
}

}   // namespace

double PUTIL_HSSI_ELEMENT::get_static_power_sum(DEV_POWER_SUPPLY_ENUM supply) const
{
    return sum_of_products(m_static_power, supply);
}

double PUTIL_HSSI_ELEMENT::get_dynamic_energy_sum(DEV_POWER_SUPPLY_ENUM supply) const
{
    return sum_of_products(m_dynamic_energy, supply);
}

bool PUTIL_HSSI_ELEMENT::get_terminal_toggle_rate(PUTIL_SA_DATA* sa_data, double& rate, bool& from_input) const
{
    rate = 0.0;
    from_input = false;
    if (sa_data == nullptr)
        return false;
    CDB_ATOM_ITERM* input_port = m_iterm_data_is_valid[0] ? m_iterm_data[0] : nullptr;
    CDB_ATOM_OTERM* output_port = m_oterm_data_is_valid[0] ? m_oterm_data[0] : nullptr;
    if (input_port == nullptr && output_port == nullptr)
        return false;
    PUTIL_ASSERT(input_port == NULL || ::putil_is_valid_power_term( input_port ));
    PUTIL_ASSERT(output_port == NULL || ::putil_is_valid_power_term( output_port ));
    from_input = input_port != nullptr;
    rate = from_input ? sa_data->get_toggle_rate_of_term(input_port) : sa_data->get_toggle_rate_of_term(output_port);
    return true;
}

void PUTIL_HSSI_ELEMENT::write_debug_info(std::ofstream* out, PUTIL_SA_DATA* sa_data) const
{
    if (out == nullptr || !out->is_open())
        return;
    std::ofstream& text = *out;
    text << "ELEMENT_ID : " << m_element_id << "\n{\n";
    if (m_element_gid == DEV_ILLEGAL_GLOBAL_ID)
        text << "   GID = DEV_ILLEGAL_GLOBAL_ID\n";
    else
        text << "   GID = " << m_element_gid << "\n";
    PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key;
    get_element_phys_impl_type(key);
    text << "   DEV_ELEMENT_ENUM = " << dstr_get_debug_string(key.element) << "\n";
    text << "   DEV_PHYS_IMPL_ENUM = " << dstr_get_debug_string(key.phys_impl) << "\n\n";

    double rate = 0.0;
    bool from_input = false;
    if (get_terminal_toggle_rate(sa_data, rate, from_input))
        text << (from_input ? "   INPUT_TOGGLE_RATE = " : "   OUTPUT_TOGGLE_RATE = ") << rate << "\n";

    if (m_2d_int_data_is_valid[DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES]) {
        const INT_TABLE& supplies = m_2d_int_data[DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES];
        for (const INT_ROW& power_supplies_sub_info : supplies)
            PUTIL_ASSERT(power_supplies_sub_info.size() == 2);
        text << "   DYNAMIC_ENERGY = {";
        for (const INT_ROW& row : supplies)
            text << " " << get_dynamic_energy_sum(static_cast<DEV_POWER_SUPPLY_ENUM>(row[0]));
        text << " }\n\n   DYNAMIC_POWER = {";
        for (const INT_ROW& row : supplies)
            text << " " << get_dynamic_energy_sum(static_cast<DEV_POWER_SUPPLY_ENUM>(row[0])) * rate;
        text << " }\n\n   STATIC_POWER = {";
        for (const INT_ROW& row : supplies)
            text << " " << get_static_power_sum(static_cast<DEV_POWER_SUPPLY_ENUM>(row[0]));
        text << " }\n\n";
    }

    for (int k = DEV_POWER_HSSI_INT_DATA_BEGIN; k < DEV_POWER_HSSI_INT_DATA_END; ++k)
        if (m_int_data_is_valid[k])
            text << "   " << astr_get_debug_string(static_cast<DEV_POWER_HSSI_INT_DATA_ENUM>(k)) << " = "
                 << m_int_data[k] << "\n";
    text << "\n";

    for (int k = DEV_POWER_HSSI_2D_INT_DATA_BEGIN; k < DEV_POWER_HSSI_2D_INT_DATA_END; ++k) {
        if (!m_2d_int_data_is_valid[k])
            continue;
        const auto table_key = static_cast<DEV_POWER_HSSI_2D_INT_DATA_ENUM>(k);
        text << "   " << astr_get_debug_string(table_key) << " = {";
        const INT_TABLE& table = m_2d_int_data[k];
        for (std::size_t row = 0; row < table.size(); ++row) {
            text << " {";
            for (std::size_t column = 0; column < table[row].size(); ++column) {
                std::string entry;
                astr_get_enum_data_debug_string(table_key, static_cast<int>(row), static_cast<int>(column),
                                                table[row][column], &entry);
                text << " " << entry;
            }
            text << " }";
        }
        text << " }\n";
    }
    text << "\n";

    for (int k = DEV_POWER_HSSI_DOUBLE_DATA_BEGIN; k < DEV_POWER_HSSI_DOUBLE_DATA_END; ++k)
        if (m_double_data_is_valid[k])
            text << "   " << astr_get_debug_string(static_cast<DEV_POWER_HSSI_DOUBLE_DATA_ENUM>(k)) << " = "
                 << m_double_data[k] << "\n";
    text << "\n";

    for (int k = DEV_POWER_HSSI_ENUM_DATA_BEGIN; k < DEV_POWER_HSSI_ENUM_DATA_END; ++k) {
        if (!m_enum_data_is_valid[k])
            continue;
        const auto enum_key = static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(k);
        std::string value;
        astr_get_enum_data_debug_string(enum_key, m_enum_data[k], &value);
        text << "   " << astr_get_debug_string(enum_key) << " = " << value << "\n";
    }
    text << "\n";

    for (int k = DEV_POWER_HSSI_BOOL_DATA_BEGIN; k < DEV_POWER_HSSI_BOOL_DATA_END; ++k)
        if (m_bool_data_is_valid[k])
            text << "   " << astr_get_debug_string(static_cast<DEV_POWER_HSSI_BOOL_DATA_ENUM>(k)) << " = "
                 << (m_bool_data[k] ? "TRUE" : "FALSE") << "\n";
    text << "\n";

    if (m_parent_element != nullptr)
        text << "   PARENT_ELEMENT = " << m_parent_element->m_element_id << "\n\n";
    else
        text << "   PARENT_ELEMENT = NULL\n\n";
    write_links(text, *m_element_types, "CHILD_ELEMENTS", m_child_elements, m_child_elements_by_type);
    write_links(text, *m_element_types, "ASSOCIATED_ELEMENTS", m_associated_elements, m_associated_elements_by_type);
    text << "}\n\n";
}
