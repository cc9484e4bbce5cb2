// Reference host atom netlist: owns the atoms of one design in insertion
// order, which is also the order of the activity store's signal ids.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host_atom.h"

class HOST_NETLIST final : public CDB_ATOM_NETLIST {
public:
    explicit HOST_NETLIST(const void* owner) : m_owner(owner) {}
    ~HOST_NETLIST() override;
    HOST_NETLIST(const HOST_NETLIST&) = delete;
    HOST_NETLIST& operator=(const HOST_NETLIST&) = delete;

    HOST_ATOM* add_atom(const std::string& name, HOST_ATOM_KIND kind);
    // First atom of that name, or null.
    HOST_ATOM* find_atom(const std::string& name) const;
    std::size_t atom_count() const { return m_nodes.size(); }

    // Once the activity store has numbered the output terms the netlist must
    // not grow: the ids are dense and in netlist order.
    void freeze() { m_frozen = true; }
    bool is_frozen() const { return m_frozen; }

    NODE_ITERATOR begin_node_list() const override;
    NODE_ITERATOR end_node_list() const override;

private:
    const void* m_owner;
    bool m_frozen = false;
    std::vector<std::unique_ptr<HOST_ATOM>> m_atoms;
    std::vector<CDB_ATOM_NODE*> m_nodes;
};
