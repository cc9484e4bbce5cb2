// The power matrix: cells by row key and column name, kept with the order of
// first use of rows and columns for printing.
#include "supplies/putil_power_matrix.h"

#include "host/astr.h"

PUTIL_POWER_MATRIX::PUTIL_POWER_MATRIX(const std::string& name) : m_name(name) {}

void PUTIL_POWER_MATRIX::set_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, const std::string& name,
                                  double value)
{
    store(ROW_KEY{supply, region, 0}, name, value);
}

void PUTIL_POWER_MATRIX::set_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index,
                                  const std::string& name, double value)
{
    store(ROW_KEY{supply, region, index}, name, value);
}

void PUTIL_POWER_MATRIX::increment_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region,
                                        const std::string& name, double delta)
{
    increment_data(supply, region, 0, name, delta);
}

void PUTIL_POWER_MATRIX::increment_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index,
                                        const std::string& name, double delta)
{
    const ROW_KEY key{supply, region, index};
    store(key, name, value_of(key, name) + delta);
}

double PUTIL_POWER_MATRIX::get_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region,
                                    const std::string& name) const
{
    return value_of(ROW_KEY{supply, region, 0}, name);
}

double PUTIL_POWER_MATRIX::get_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index,
                                    const std::string& name) const
{
    return value_of(ROW_KEY{supply, region, index}, name);
}

bool PUTIL_POWER_MATRIX::data_is_set(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region,
                                     const std::string& name) const
{
    return find_cell(ROW_KEY{supply, region, 0}, name) != nullptr;
}

bool PUTIL_POWER_MATRIX::data_is_set(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index,
                                     const std::string& name) const
{
    return find_cell(ROW_KEY{supply, region, index}, name) != nullptr;
}

void PUTIL_POWER_MATRIX::print_table(std::ofstream* out) const
{
    *out << m_name;
    for (const std::string& column : m_column_order)
        *out << "\t" << column;
    *out << "\n";
    for (const ROW_KEY& key : m_row_order) {
        print_row_label(out, key);
        for (const std::string& column : m_column_order)
            *out << "\t" << value_of(key, column);
        *out << "\n";
    }
}

void PUTIL_POWER_MATRIX::print_flat_table(std::ofstream* out) const
{
    *out << m_name << "_row" << "\t" << m_name << "_column" << "\t" << m_name << "_data" << "\n";
    for (const ROW_KEY& key : m_row_order) {
        for (const std::string& column : m_column_order) {
            print_row_label(out, key);
            *out << "\t" << column << "\t" << value_of(key, column) << "\n";
        }
    }
}

const double* PUTIL_POWER_MATRIX::find_cell(const ROW_KEY& key, const std::string& name) const
{
    const auto row = m_rows.find(key);
    if (row == m_rows.end())
        return nullptr;
    const auto cell = row->second.find(name);
    if (cell == row->second.end())
        return nullptr;
    return &cell->second;
}

double PUTIL_POWER_MATRIX::value_of(const ROW_KEY& key, const std::string& name) const
{
    const double* cell = find_cell(key, name);
    return cell != nullptr ? *cell : m_default_value;
}

void PUTIL_POWER_MATRIX::store(const ROW_KEY& key, const std::string& name, double value)
{
    const auto [row, new_row] = m_rows.try_emplace(key);
    if (new_row)
        m_row_order.push_back(key);
    if (m_known_columns.insert(name).second)
        m_column_order.push_back(name);
    row->second[name] = value;
}

void PUTIL_POWER_MATRIX::print_row_label(std::ofstream* out, const ROW_KEY& key) const
{
    *out << astr_get_debug_string(key.supply) << "-" << astr_get_debug_string(key.region) << "-" << key.index;
}
