// Reference host atom netlist: a list of owned atoms.
#include "host_netlist.h"

HOST_NETLIST::~HOST_NETLIST() = default;

HOST_ATOM* HOST_NETLIST::add_atom(const std::string& name, HOST_ATOM_KIND kind)
{
    m_atoms.push_back(std::make_unique<HOST_ATOM>(m_owner, name, kind));
    m_nodes.push_back(m_atoms.back().get());
    return m_atoms.back().get();
}

HOST_ATOM* HOST_NETLIST::find_atom(const std::string& name) const
{
    for (const auto& atom : m_atoms) {
        if (atom->name() == name)
            return atom.get();
    }
    return nullptr;
}

CDB_ATOM_NETLIST::NODE_ITERATOR HOST_NETLIST::begin_node_list() const
{
    return m_nodes.data();
}

CDB_ATOM_NETLIST::NODE_ITERATOR HOST_NETLIST::end_node_list() const
{
    return m_nodes.data() + m_nodes.size();
}
