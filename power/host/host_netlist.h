// Reference host atom netlist: owns the atoms of one design in insertion
// order, which is also the order of the activity store's signal ids, and
// their terms.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host_atom.h"
#include "host_pool.h"

class HOST_ATOM_PARAMETERS;

// The links along a transceiver channel's transmit path: from a TX PCS atom
// to its serializer, from a serializer to its TX buffer.
enum class HOST_TX_PATH_LINK : unsigned char { SERIALIZER, BUFFER };

class HOST_NETLIST final : public CDB_ATOM_NETLIST {
public:
    // parameters answer get_int_parameter; they must outlive the netlist.
    HOST_NETLIST(const void* owner, const HOST_ATOM_PARAMETERS* parameters)
        : m_owner(owner), m_parameters(parameters)
    {
    }
    ~HOST_NETLIST() override;
    HOST_NETLIST(const HOST_NETLIST&) = delete;
    HOST_NETLIST& operator=(const HOST_NETLIST&) = delete;

    HOST_ATOM* add_atom(const std::string& name, HOST_ATOM_KIND kind);
    // First atom of that name, or null.
    HOST_ATOM* find_atom(const std::string& name) const;
    std::size_t atom_count() const { return m_nodes.size(); }
    // Identifies the design the netlist belongs to.
    const void* owner() const { return m_owner; }
    const HOST_ATOM_PARAMETERS* parameters() const { return m_parameters; }

    // The storage of the terms that HOST_ATOM::add_output and add_input make.
    HOST_OTERM* make_oterm(HOST_ATOM* node, HOST_INSTANCE* instance_name, int port_type, bool registered);
    HOST_ITERM* make_iterm(HOST_ATOM* node, int port_type, HOST_OTERM* source, bool output_enable, int delay_ps);
    // Output terms made so far; their numbers are below it.
    std::size_t oterm_count() const { return m_oterms.size(); }

    // Names in the EDA simulation netlist, for the terms and pins given one;
    // null for the others.
    const std::string* eda_name(const HOST_OTERM* oterm) const;
    void set_eda_name(const HOST_OTERM* oterm, std::string name);
    const std::string* eda_pin_name(const HOST_ATOM* atom) const;
    void set_eda_pin_name(const HOST_ATOM* atom, std::string name);

    // Ports an atom implements without having a term of them.
    void declare_port(const HOST_ATOM* atom, int port_type);
    bool declares_port(const HOST_ATOM* atom, int port_type) const;
    // The atom that carries a pin's other side, or null.
    HOST_ATOM* companion(const HOST_ATOM* pin) const;
    void set_companion(const HOST_ATOM* pin, HOST_ATOM* companion);
    // The atom the link leads to from atom, or null; null clears the link.
    HOST_ATOM* tx_path_link(const HOST_ATOM* atom, HOST_TX_PATH_LINK link) const;
    void set_tx_path_link(const HOST_ATOM* atom, HOST_TX_PATH_LINK link, HOST_ATOM* target);
    // Whether a TX buffer's reference clock assignment passes the check;
    // false unless set.
    bool rtc_assignment_ok(const HOST_ATOM* tx_buf) const;
    void set_rtc_assignment_ok(const HOST_ATOM* tx_buf, bool ok);

    // Once the activity store has numbered the output terms the netlist must
    // not grow: the ids are dense and in netlist order.
    void freeze() { m_frozen = true; }
    bool is_frozen() const { return m_frozen; }

    NODE_ITERATOR begin_node_list() const override;
    NODE_ITERATOR end_node_list() const override;
    // The parameter as set, truncated to int.
    bool get_int_parameter(const CDB_ATOM_NODE* atom, int parameter, int* value) const override;

private:
    const void* m_owner;
    const HOST_ATOM_PARAMETERS* m_parameters;
    bool m_frozen = false;
    HOST_POOL<HOST_ATOM> m_atoms;
    HOST_POOL<HOST_OTERM> m_oterms;
    HOST_POOL<HOST_ITERM> m_iterms;
    std::vector<CDB_ATOM_NODE*> m_nodes;
    std::unordered_map<const HOST_OTERM*, std::string> m_eda_names;
    std::unordered_map<const HOST_ATOM*, std::string> m_eda_pin_names;
    std::unordered_map<const HOST_ATOM*, std::vector<int>> m_declared_ports;
    std::unordered_map<const HOST_ATOM*, HOST_ATOM*> m_companions;
    std::unordered_map<const HOST_ATOM*, HOST_ATOM*> m_tx_path_links[2];   // by HOST_TX_PATH_LINK
    std::unordered_set<const HOST_ATOM*> m_rtc_assignments_ok;
};
