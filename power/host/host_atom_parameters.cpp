// Reference host atom parameters: a parameter that was never set leaves the
// caller's value, as the library relies on for its defaults.
#include "host_atom_parameters.h"

#include "host_design.h"

void HOST_ATOM_PARAMETERS::set(const CDB_ATOM_NODE* atom, int parameter, long long value)
{
    m_values[atom][parameter] = value;
}

bool HOST_ATOM_PARAMETERS::find(const CDB_ATOM_NODE* atom, int parameter, long long& value) const
{
    auto atom_it = m_values.find(atom);
    if (atom_it == m_values.end())
        return false;
    auto it = atom_it->second.find(parameter);
    if (it == atom_it->second.end())
        return false;
    value = it->second;
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

CGA_INTERFACE* cga_current_interface()
{
    // Without a current design every parameter is absent.
    static HOST_ATOM_PARAMETERS s_no_parameters;
    HOST_DESIGN* design = host_current_design();
    return design == nullptr ? &s_no_parameters : design->parameters();
}
