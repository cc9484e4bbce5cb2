// Reference host atom parameters: a parameter that was never set, or that
// holds another type than asked for, leaves the caller's value, as the
// library relies on for its defaults.
#include "host_atom_parameters.h"

#include "host_design.h"

void HOST_ATOM_PARAMETERS::set(const CDB_ATOM_NODE* atom, int parameter, long long value)
{
    m_values[atom][parameter] = value;
}

void HOST_ATOM_PARAMETERS::set_string(const CDB_ATOM_NODE* atom, int parameter, std::string value)
{
    m_values[atom][parameter] = std::move(value);
}

void HOST_ATOM_PARAMETERS::set_bit_vector(const CDB_ATOM_NODE* atom, int parameter, std::vector<bool> bits)
{
    m_values[atom][parameter] = std::move(bits);
}

template <class T>
const T* HOST_ATOM_PARAMETERS::find_value(const CDB_ATOM_NODE* atom, int parameter) const
{
    auto atom_it = m_values.find(atom);
    if (atom_it == m_values.end())
        return nullptr;
    auto it = atom_it->second.find(parameter);
    return it == atom_it->second.end() ? nullptr : std::get_if<T>(&it->second);
}

bool HOST_ATOM_PARAMETERS::find(const CDB_ATOM_NODE* atom, int parameter, long long& value) const
{
    const long long* found = find_value<long long>(atom, parameter);
    if (found == nullptr)
        return false;
    value = *found;
    return true;
}

void HOST_ATOM_PARAMETERS::get_enum_parameter(const CDB_ATOM_NODE* atom, int parameter, int& value) const
{
    long long found = 0;
    if (find(atom, parameter, found))
        value = static_cast<int>(found);
}

void HOST_ATOM_PARAMETERS::get_int_parameter(const CDB_ATOM_NODE* atom, int parameter, int& value) const
{
    long long found = 0;
    if (find(atom, parameter, found))
        value = static_cast<int>(found);
}

void HOST_ATOM_PARAMETERS::get_bool_parameter(const CDB_ATOM_NODE* atom, int parameter, bool& value) const
{
    long long found = 0;
    if (find(atom, parameter, found))
        value = found != 0;
}

void HOST_ATOM_PARAMETERS::get_time_parameter(const CDB_ATOM_NODE* atom, int parameter,
                                              long long& picoseconds) const
{
    long long found = 0;
    if (find(atom, parameter, found))
        picoseconds = found;
}

bool HOST_ATOM_PARAMETERS::get_enum_data(const CDB_ATOM_NODE* atom, int parameter, int* value) const
{
    long long found = 0;
    if (!find(atom, parameter, found))
        return false;
    *value = static_cast<int>(found);
    return true;
}

void HOST_ATOM_PARAMETERS::get_string_parameter(const CDB_ATOM_NODE* atom, int parameter, std::string& value) const
{
    if (const std::string* found = find_value<std::string>(atom, parameter))
        value = *found;
}

void HOST_ATOM_PARAMETERS::get_bit_vector_parameter(const CDB_ATOM_NODE* atom, int parameter,
                                                    std::vector<bool>& bits) const
{
    if (const std::vector<bool>* found = find_value<std::vector<bool>>(atom, parameter))
        bits = *found;
}

CGA_INTERFACE* cga_current_interface()
{
    // Without a current design every parameter is absent.
    static HOST_ATOM_PARAMETERS s_no_parameters;
    HOST_DESIGN* design = host_current_design();
    return design == nullptr ? &s_no_parameters : design->parameters();
}
