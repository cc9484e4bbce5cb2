// Reference host atom netlist: pools of atoms and terms, and the few EDA
// names beside them.
#include "host_netlist.h"

#include <algorithm>
#include <climits>

#include "host_atom_parameters.h"

HOST_NETLIST::~HOST_NETLIST() = default;

HOST_ATOM* HOST_NETLIST::add_atom(const std::string& name, HOST_ATOM_KIND kind)
{
    HOST_ATOM* atom = m_atoms.make(this, name, kind, static_cast<std::uint32_t>(m_nodes.size()));
    m_nodes.push_back(atom);
    return atom;
}

HOST_ATOM* HOST_NETLIST::find_atom(const std::string& name) const
{
    for (std::size_t i = 0; i < m_atoms.size(); ++i) {
        if (m_atoms.at(i)->name() == name)
            return m_atoms.at(i);
    }
    return nullptr;
}

HOST_OTERM* HOST_NETLIST::make_oterm(HOST_ATOM* node, HOST_INSTANCE* instance_name, int port_type, bool registered)
{
    return m_oterms.make(node, instance_name, port_type, registered, static_cast<std::uint32_t>(m_oterms.size()));
}

HOST_ITERM* HOST_NETLIST::make_iterm(HOST_ATOM* node, int port_type, HOST_OTERM* source, bool output_enable,
                                     int delay_ps)
{
    return m_iterms.make(node, port_type, source, output_enable, delay_ps);
}

namespace {

template <class KEY>
const std::string* find_name(const std::unordered_map<const KEY*, std::string>& names, const KEY* key)
{
    auto it = names.find(key);
    return it == names.end() ? nullptr : &it->second;
}

}  // namespace

const std::string* HOST_NETLIST::eda_name(const HOST_OTERM* oterm) const
{
    return find_name(m_eda_names, oterm);
}

void HOST_NETLIST::set_eda_name(const HOST_OTERM* oterm, std::string name)
{
    m_eda_names[oterm] = std::move(name);
}

const std::string* HOST_NETLIST::eda_pin_name(const HOST_ATOM* atom) const
{
    return find_name(m_eda_pin_names, atom);
}

void HOST_NETLIST::set_eda_pin_name(const HOST_ATOM* atom, std::string name)
{
    m_eda_pin_names[atom] = std::move(name);
}

void HOST_NETLIST::declare_port(const HOST_ATOM* atom, int port_type)
{
    std::vector<int>& ports = m_declared_ports[atom];
    if (std::find(ports.begin(), ports.end(), port_type) == ports.end())
        ports.push_back(port_type);
}

bool HOST_NETLIST::declares_port(const HOST_ATOM* atom, int port_type) const
{
    auto it = m_declared_ports.find(atom);
    return it != m_declared_ports.end() &&
           std::find(it->second.begin(), it->second.end(), port_type) != it->second.end();
}

HOST_ATOM* HOST_NETLIST::companion(const HOST_ATOM* pin) const
{
    auto it = m_companions.find(pin);
    return it == m_companions.end() ? nullptr : it->second;
}

void HOST_NETLIST::set_companion(const HOST_ATOM* pin, HOST_ATOM* companion)
{
    if (companion == nullptr)
        m_companions.erase(pin);
    else
        m_companions[pin] = companion;
}

HOST_ATOM* HOST_NETLIST::tx_path_link(const HOST_ATOM* atom, HOST_TX_PATH_LINK link) const
{
    const auto& links = m_tx_path_links[static_cast<int>(link)];
    auto it = links.find(atom);
    return it == links.end() ? nullptr : it->second;
}

void HOST_NETLIST::set_tx_path_link(const HOST_ATOM* atom, HOST_TX_PATH_LINK link, HOST_ATOM* target)
{
    auto& links = m_tx_path_links[static_cast<int>(link)];
    if (target == nullptr)
        links.erase(atom);
    else
        links[atom] = target;
}

bool HOST_NETLIST::rtc_assignment_ok(const HOST_ATOM* tx_buf) const
{
    return m_rtc_assignments_ok.count(tx_buf) != 0;
}

void HOST_NETLIST::set_rtc_assignment_ok(const HOST_ATOM* tx_buf, bool ok)
{
    if (ok)
        m_rtc_assignments_ok.insert(tx_buf);
    else
        m_rtc_assignments_ok.erase(tx_buf);
}

CDB_ATOM_NETLIST::NODE_ITERATOR HOST_NETLIST::begin_node_list() const
{
    return m_nodes.data();
}

CDB_ATOM_NETLIST::NODE_ITERATOR HOST_NETLIST::end_node_list() const
{
    return m_nodes.data() + m_nodes.size();
}

bool HOST_NETLIST::get_int_parameter(const CDB_ATOM_NODE* atom, int parameter, int* value) const
{
    long long found = 0;
    if (value == nullptr || !m_parameters->find(atom, parameter, found) || found < INT_MIN || found > INT_MAX)
        return false;
    *value = static_cast<int>(found);
    return true;
}
