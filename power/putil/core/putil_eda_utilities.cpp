// EDA simulation netlist names: case rule and hierarchy builder.
#include "core/putil_eda_utilities.h"

#include <string>

#include "host/cdb_atom.h"
#include "host/hdb.h"
#include "host/tset.h"
#include "host/wsc_hierarchy_builder.h"
#include "core/putil_internal.h"

namespace {

// Tool-settings category of the EDA simulation tool, and its netlist types.
const int EDA_SIMULATION_TOOL = 2;
const int NETLIST_TYPE_CASE_INSENSITIVE = 2;
const int NETLIST_TYPE_3 = 3;
const int NETLIST_TYPE_4 = 4;

// Tool settings handed to the builder.
const int SETTING_NAMING_STYLE = 996;
const int SETTING_FLAG_979 = 979;
const int SETTING_FLAG_976 = 976;
const int SETTING_FLAG_977 = 977;

TSET_TOOL* simulation_tool(HDB_CMP_ACTION_PT_INSTANCE* cap_inst)
{
    TSET_UTIL tool_settings(cap_inst);
    return tool_settings.get_tool(EDA_SIMULATION_TOOL);
}

// The builder's own netlist-type code for a tool netlist type; -1 when the
// builder cannot name signals for it.
int builder_netlist_type(int tool_netlist_type)
{
    switch (tool_netlist_type) {
    case NETLIST_TYPE_CASE_INSENSITIVE: return 0;
    case NETLIST_TYPE_3: return 3;
    case NETLIST_TYPE_4: return 9;
    default: return -1;
    }
}

}  // namespace

bool putil_eda_lower_case_names(CMP_FACADE* facade)
{
    PUTIL_ASSERT(facade != 0);
    HDB_CMP_ACTION_PT_INSTANCE* cap_inst = facade->get_action_point_instance();
    PUTIL_ASSERT(cap_inst != 0);
    TSET_TOOL* tool = simulation_tool(cap_inst);
    return !tool->is_none() && tool->get_eda_netlist_type() == NETLIST_TYPE_CASE_INSENSITIVE;
}

bool putil_eda_create_hierarchy_builder(CMP_FACADE* facade, WSC_HIERARCHY_BUILDER** hierarchy_netlist)
{
    PUTIL_ASSERT(facade != 0);
    PUTIL_ASSERT(hierarchy_netlist != 0);

    const std::string name_text = facade->get_name_text() != nullptr ? facade->get_name_text() : "";
    HDB_CMP_ACTION_PT_INSTANCE* cap_inst = facade->get_action_point_instance();
    PUTIL_ASSERT(cap_inst != 0);
    CDB_DB_ENTRIES* db_entries = CDB_CMP_ENTRY::get_db_entries(cap_inst);
    PUTIL_ASSERT(db_entries != 0);
    CDB_HIERARCHY_DB_ENTRY* hierarchy_db_entry = db_entries->get_hierarchy_db_entry();
    PUTIL_ASSERT(hierarchy_db_entry != 0);
    CDB_ATOM_HIERARCHY_LIST* hierarchy_list = hierarchy_db_entry->get_atom_hierarchy_list();
    CDB_CHIP_DB_ENTRY* chip_entry = db_entries->get_chip_db_entry();
    PUTIL_ASSERT(chip_entry != 0);
    CDB_ATOM_NETLIST* netlist = chip_entry->get_atom_netlist();
    PUTIL_ASSERT(netlist != 0);

    TSET_TOOL* tool = simulation_tool(cap_inst);
    if (tool->is_none())
        return false;
    const int netlist_type = builder_netlist_type(tool->get_eda_netlist_type());
    if (netlist_type < 0)
        return false;

    const int naming_style = tool->get_enum_value(SETTING_NAMING_STYLE);
    const bool flag1 = naming_style == 2 || naming_style == 334;
    const bool flag2 = tool->get_bool_value(SETTING_FLAG_979);
    const bool flag3 = tool->get_bool_value(SETTING_FLAG_976);
    const bool flag4 = tool->get_bool_value(SETTING_FLAG_977);

    *hierarchy_netlist = new WSC_HIERARCHY_BUILDER(facade, name_text.c_str(), netlist, hierarchy_list, netlist_type,
                                                   true, flag1, flag2, flag3, flag4, false);
    (*hierarchy_netlist)->build();
    return (*hierarchy_netlist)->is_built_successfully();
}
