// Reference host atom parameters: numbered values per atom (integers, texts
// and bit vectors), read by the library through cga_current_interface().
#pragma once

#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "host/cdb_atom.h"

class HOST_ATOM_PARAMETERS final : public CGA_INTERFACE {
public:
    // A parameter has one value of one type: setting it again, of any type,
    // replaces the earlier value.
    void set(const CDB_ATOM_NODE* atom, int parameter, long long value);
    void set_string(const CDB_ATOM_NODE* atom, int parameter, std::string value);
    void set_bit_vector(const CDB_ATOM_NODE* atom, int parameter, std::vector<bool> bits);
    // False (value untouched) when the atom has no integer parameter of that
    // number.
    bool find(const CDB_ATOM_NODE* atom, int parameter, long long& value) const;

    // A getter of one type leaves the caller's value when the parameter is
    // absent or holds another type.
    void get_enum_parameter(const CDB_ATOM_NODE* atom, int parameter, int& value) const override;
    void get_int_parameter(const CDB_ATOM_NODE* atom, int parameter, int& value) const override;
    void get_bool_parameter(const CDB_ATOM_NODE* atom, int parameter, bool& value) const override;
    void get_time_parameter(const CDB_ATOM_NODE* atom, int parameter, long long& picoseconds) const override;
    bool get_enum_data(const CDB_ATOM_NODE* atom, int parameter, int* value) const override;
    void get_string_parameter(const CDB_ATOM_NODE* atom, int parameter, std::string& value) const override;
    void get_bit_vector_parameter(const CDB_ATOM_NODE* atom, int parameter, std::vector<bool>& bits) const override;

private:
    using VALUE = std::variant<long long, std::string, std::vector<bool>>;

    // The value of that parameter if it holds a T, else null.
    template <class T>
    const T* find_value(const CDB_ATOM_NODE* atom, int parameter) const;

    std::unordered_map<const CDB_ATOM_NODE*, std::unordered_map<int, VALUE>> m_values;
};
