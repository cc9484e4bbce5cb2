// Reference host compiler facade and database entries.
#include "host_facade.h"

#include "host_hierarchy.h"

HOST_ACTION_POINT::HOST_ACTION_POINT(HOST_DESIGN* design, HOST_INSTANCE* root, CDB_ATOM_NETLIST* netlist)
    : m_design(design), m_root(root), m_db_entries(netlist, root), m_tree(root)
{
}

HDB_INSTANCE_NAME* HOST_ACTION_POINT::get_m_rooted_at() const
{
    return m_root;
}

HOST_FACADE::HOST_FACADE(HOST_DESIGN* design, HOST_INSTANCE* root, CDB_ATOM_NETLIST* netlist, RDB_REPORT* report,
                         std::string name)
    : m_action_point(design, root, netlist), m_report(report), m_name(std::move(name))
{
}

HDB_CMP_ACTION_PT_INSTANCE* HOST_FACADE::get_action_point_instance() const
{
    return const_cast<HOST_ACTION_POINT*>(&m_action_point);
}

HOST_DESIGN* host_design_of(const HDB_CMP_ACTION_PT_INSTANCE* instance)
{
    const HOST_ACTION_POINT* action_point = dynamic_cast<const HOST_ACTION_POINT*>(instance);
    return action_point == nullptr ? nullptr : action_point->design();
}

CDB_DB_ENTRIES* CDB_CMP_ENTRY::get_db_entries(HDB_CMP_ACTION_PT_INSTANCE* instance)
{
    HOST_ACTION_POINT* action_point = dynamic_cast<HOST_ACTION_POINT*>(instance);
    return action_point == nullptr ? nullptr : action_point->db_entries();
}
