// Reference host design and the current-design pointer.
#include "host_design.h"

#include "host_atom_parameters.h"
#include "host_facade.h"
#include "host_hierarchy.h"
#include "host_input_file_manager.h"
#include "host_internal_error.h"
#include "host_netlist.h"
#include "host_sa_data.h"
#include "host_tool_settings.h"

namespace {

HOST_DESIGN* s_current_design = nullptr;

}  // namespace

HOST_DESIGN::HOST_DESIGN(std::string name)
    : m_name(std::move(name)),
      m_root(std::make_unique<HOST_INSTANCE>()),
      m_netlist(std::make_unique<HOST_NETLIST>(this)),
      m_facade(std::make_unique<HOST_FACADE>(this, m_root.get(), m_netlist.get(), m_name)),
      m_parameters(std::make_unique<HOST_ATOM_PARAMETERS>()),
      m_input_files(std::make_unique<HOST_INPUT_FILE_MANAGER>(m_root.get(), this)),
      m_store(std::make_unique<HOST_SA_DATA>(m_netlist.get(), m_input_files.get())),
      m_eda_tool(std::make_unique<HOST_EDA_TOOL>())
{
}

HOST_DESIGN::~HOST_DESIGN()
{
    if (s_current_design == this)
        s_current_design = nullptr;
}

void HOST_DESIGN::check_own_atom(const HOST_ATOM* atom) const
{
    HOST_ASSERT(atom != nullptr && atom->owner() == this);
}

void HOST_DESIGN::check_netlist_open() const
{
    HOST_ASSERT(!m_netlist->is_frozen());
}

HOST_ATOM* HOST_DESIGN::add_atom(const std::string& name, HOST_ATOM_KIND kind)
{
    check_netlist_open();
    return m_netlist->add_atom(name, kind);
}

HOST_OTERM* HOST_DESIGN::add_output(HOST_ATOM* atom, const std::string& hpath, int port_type, bool registered)
{
    check_netlist_open();
    check_own_atom(atom);
    HOST_ASSERT(host_is_valid_hpath(hpath));
    return atom->add_output(m_root->make_path(hpath), port_type, registered);
}

HOST_OTERM* HOST_DESIGN::add_output(HOST_ATOM* atom, const std::vector<std::string>& levels, int port_type,
                                    bool registered)
{
    check_netlist_open();
    check_own_atom(atom);
    HOST_ASSERT(!levels.empty());
    HOST_INSTANCE* instance = m_root.get();
    for (const std::string& level : levels)
        instance = instance->make_child(level);
    return atom->add_output(instance, port_type, registered);
}

HOST_OTERM* HOST_DESIGN::add_output(HOST_ATOM* atom, HOST_INSTANCE* instance, int port_type, bool registered)
{
    check_netlist_open();
    check_own_atom(atom);
    HOST_ASSERT(instance != nullptr && instance != m_root.get() && instance->shares_tree_with(m_root.get()));
    return atom->add_output(instance, port_type, registered);
}

HOST_ITERM* HOST_DESIGN::add_input(HOST_ATOM* sink, int port_type, HOST_OTERM* source, bool output_enable,
                                   int delay_ps)
{
    check_netlist_open();
    check_own_atom(sink);
    if (source != nullptr)
        check_own_atom(source->atom());
    return sink->add_input(port_type, source, output_enable, delay_ps < 0 ? -1 : delay_ps);
}

HOST_INSTANCE* HOST_DESIGN::find_instance(const std::string& path) const
{
    return m_root->find_path(path);
}

void HOST_DESIGN::set_atom_parameter(HOST_ATOM* atom, int parameter, long long value)
{
    check_own_atom(atom);
    m_parameters->set(atom, parameter, value);
}

void HOST_DESIGN::set_power_valid(HOST_ATOM* atom, bool valid)
{
    check_own_atom(atom);
    atom->set_power_valid(valid);
}

void HOST_DESIGN::set_eda_tool(int netlist_type)
{
    m_eda_tool->set_netlist_type(netlist_type);
}

void HOST_DESIGN::set_eda_tool_setting(int setting, int value)
{
    m_eda_tool->set_setting(setting, value);
}

void HOST_DESIGN::set_eda_name(HOST_OTERM* oterm, const std::string& name)
{
    HOST_ASSERT(oterm != nullptr);
    check_own_atom(oterm->atom());
    oterm->set_eda_name(name);
}

void HOST_DESIGN::set_eda_pin_name(HOST_ATOM* atom, const std::string& name)
{
    check_own_atom(atom);
    atom->set_eda_pin_name(name);
}

void HOST_DESIGN::set_fixed_glitch_width(int ps)
{
    if (ps < 0)
        m_fixed_glitch_width.reset();
    else
        m_fixed_glitch_width = ps;
}

void HOST_DESIGN::set_name(const std::string& name)
{
    m_name = name;
    m_facade->set_name(name);
}

CMP_FACADE* HOST_DESIGN::facade() const
{
    return m_facade.get();
}

CDB_ATOM_NETLIST* HOST_DESIGN::netlist() const
{
    return m_netlist.get();
}

void host_set_current_design(HOST_DESIGN* design)
{
    s_current_design = design;
}

HOST_DESIGN* host_current_design()
{
    return s_current_design;
}
