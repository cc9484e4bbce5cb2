// Reference host EDA tool settings and the TSET_UTIL view the library uses.
#include "host_tool_settings.h"

#include "host_design.h"
#include "host_facade.h"

void HOST_EDA_TOOL::set_netlist_type(int netlist_type)
{
    m_set = true;
    m_netlist_type = netlist_type;
}

int HOST_EDA_TOOL::get_enum_value(int setting) const
{
    auto it = m_settings.find(setting);
    return it == m_settings.end() ? 0 : it->second;
}

bool HOST_EDA_TOOL::get_bool_value(int setting) const
{
    return get_enum_value(setting) != 0;
}

TSET_UTIL::TSET_UTIL(HDB_CMP_ACTION_PT_INSTANCE* instance) : m_instance(instance) {}

TSET_TOOL* TSET_UTIL::get_tool(int category) const
{
    // Categories this host does not model, and compilations it did not
    // make, have no tool.
    static HOST_EDA_TOOL s_no_tool;
    HOST_DESIGN* design = host_design_of(m_instance);
    if (design == nullptr || category != HOST_TOOL_CATEGORY_SIMULATION)
        return &s_no_tool;
    return design->eda_tool();
}
