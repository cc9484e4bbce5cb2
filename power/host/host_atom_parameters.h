// Reference host atom parameters: numbered values per atom, read by the
// library through cga_current_interface().
#pragma once

#include <unordered_map>

#include "host/cdb_atom.h"

class HOST_ATOM_PARAMETERS final : public CGA_INTERFACE {
public:
    void set(const CDB_ATOM_NODE* atom, int parameter, long long value);
    // False (value untouched) when the atom has no such parameter.
    bool find(const CDB_ATOM_NODE* atom, int parameter, long long& value) const;

    void get_enum_parameter(const CDB_ATOM_NODE* atom, int parameter, int& value) const override;
    void get_int_parameter(const CDB_ATOM_NODE* atom, int parameter, int& value) const override;
    void get_bool_parameter(const CDB_ATOM_NODE* atom, int parameter, bool& value) const override;
    void get_time_parameter(const CDB_ATOM_NODE* atom, int parameter, long long& picoseconds) const override;
    bool get_enum_data(const CDB_ATOM_NODE* atom, int parameter, int* value) const override;

private:
    std::unordered_map<const CDB_ATOM_NODE*, std::unordered_map<int, long long>> m_values;
};
