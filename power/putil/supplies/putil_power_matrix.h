// The power matrix: a named table of doubles that the power analyzer fills
// per supply, region and index row and per named column, and prints.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>

#include "host/dev_enums.h"
#include "core/putil_export.h"

// Cells never set read as 0.0. Rows are kept in the order their keys were
// first stored, columns in the order their names were first used in any
// row. The operations without an index use index 0. Copies are deep.
class PUTIL_EXPORT PUTIL_POWER_MATRIX : public PUTIL_HEAP_OBJECT {
public:
    explicit PUTIL_POWER_MATRIX(const std::string& name);
    PUTIL_POWER_MATRIX(const PUTIL_POWER_MATRIX& other) = default;
    PUTIL_POWER_MATRIX& operator=(const PUTIL_POWER_MATRIX& other) = default;
    ~PUTIL_POWER_MATRIX() = default;

    void set_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, const std::string& name, double value);
    void set_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index, const std::string& name,
                  double value);
    // Adds delta to the cell's value (0.0 when never set) and stores it.
    void increment_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, const std::string& name,
                        double delta);
    void increment_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index,
                        const std::string& name, double delta);
    // The cell's value; 0.0 when it was never set.
    double get_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, const std::string& name) const;
    double get_data(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index,
                    const std::string& name) const;
    bool data_is_set(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, const std::string& name) const;
    bool data_is_set(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, unsigned index,
                     const std::string& name) const;

    // Writes the matrix to out with the stream's own number formatting: a
    // header line of the name and the column names, then one line per row,
    // its label ("<supply>-<region>-<index>", the host's debug names) and
    // its cells, all separated by tabs.
    void print_table(std::ofstream* out) const;
    // Writes one line per row and column: label, column name and cell, after
    // the header "<name>_row", "<name>_column", "<name>_data"; tab-separated.
    void print_flat_table(std::ofstream* out) const;

private:
    struct ROW_KEY {
        DEV_POWER_SUPPLY_ENUM supply;
        DEV_POWER_REGION_ENUM region;
        unsigned index;
        bool operator==(const ROW_KEY& other) const
        {
            return supply == other.supply && region == other.region && index == other.index;
        }
    };
    struct ROW_KEY_HASH {
        std::size_t operator()(const ROW_KEY& key) const
        {
            return (static_cast<std::size_t>(key.supply) * 7 + static_cast<std::size_t>(key.region)) * 31 + key.index;
        }
    };
    typedef PUTIL_HASH_MAP<std::string, double> ROW;

    // The stored cell, or null.
    const double* find_cell(const ROW_KEY& key, const std::string& name) const;
    double value_of(const ROW_KEY& key, const std::string& name) const;
    void store(const ROW_KEY& key, const std::string& name, double value);
    void print_row_label(std::ofstream* out, const ROW_KEY& key) const;

    std::string m_name;
    PUTIL_HASH_MAP<ROW_KEY, ROW, ROW_KEY_HASH> m_rows;
    double m_default_value = 0.0;
    PUTIL_VECTOR<ROW_KEY> m_row_order;
    PUTIL_VECTOR<std::string> m_column_order;
    PUTIL_HASH_SET<std::string> m_known_columns;
};
