// Reference host design and the current-design pointer.
#include "host_design.h"

#include "host/tdb.h"
#include "host_atom_parameters.h"
#include "host_device.h"
#include "host_facade.h"
#include "host_hierarchy.h"
#include "host_input_file_manager.h"
#include "host_internal_error.h"
#include "host_netlist.h"
#include "host_report.h"
#include "host_sa_data.h"
#include "host_timing_netlist.h"
#include "host_tool_settings.h"
#include "host_user_settings.h"

namespace {

HOST_DESIGN* s_current_design = nullptr;

}  // namespace

HOST_DESIGN::HOST_DESIGN(std::string name)
    : m_name(std::move(name)),
      m_root(std::make_unique<HOST_INSTANCE>()),
      m_parameters(std::make_unique<HOST_ATOM_PARAMETERS>()),
      m_netlist(std::make_unique<HOST_NETLIST>(this, m_parameters.get())),
      m_report(std::make_unique<HOST_REPORT>()),
      m_facade(std::make_unique<HOST_FACADE>(this, m_root.get(), m_netlist.get(), m_report.get(), m_name)),
      m_input_files(std::make_unique<HOST_INPUT_FILE_MANAGER>(m_root.get(), this)),
      m_store(std::make_unique<HOST_SA_DATA>(m_netlist.get(), m_input_files.get(), chip_db_entry(),
                                             m_facade->get_action_point_instance())),
      m_eda_tool(std::make_unique<HOST_EDA_TOOL>()),
      m_device(std::make_unique<HOST_DEVICE>()),
      m_user_settings(std::make_unique<HOST_USER_SETTINGS>())
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

void HOST_DESIGN::set_atom_type(HOST_ATOM* atom, int atom_type)
{
    check_own_atom(atom);
    atom->set_atom_type(atom_type);
}

void HOST_DESIGN::set_atom_flag(HOST_ATOM* atom, HOST_ATOM_FLAG flag, bool value)
{
    check_own_atom(atom);
    atom->set_flag(flag, value);
}

void HOST_DESIGN::set_atom_location(HOST_ATOM* atom, unsigned gid)
{
    check_own_atom(atom);
    atom->set_location(gid);
}

void HOST_DESIGN::declare_port(HOST_ATOM* atom, int port_type)
{
    check_own_atom(atom);
    m_netlist->declare_port(atom, port_type);
}

void HOST_DESIGN::set_companion(HOST_ATOM* pin, HOST_ATOM* companion)
{
    check_own_atom(pin);
    if (companion != nullptr)
        check_own_atom(companion);
    m_netlist->set_companion(pin, companion);
}

void HOST_DESIGN::set_reported(HOST_ATOM* atom, bool reported)
{
    check_own_atom(atom);
    for (CDB_ATOM_OTERM* oterm : atom->oterms())
        static_cast<HOST_OTERM*>(oterm)->instance()->set_flag(HOST_NAME_FLAG_REPORTED, reported);
}

void HOST_DESIGN::set_clock_input(HOST_ITERM* iterm, bool clock)
{
    HOST_ASSERT(iterm != nullptr);
    check_own_atom(iterm->atom());
    iterm->set_clock(clock);
}

void HOST_DESIGN::tie_input(HOST_ITERM* iterm, HOST_INPUT_TIE tie)
{
    HOST_ASSERT(iterm != nullptr);
    check_own_atom(iterm->atom());
    iterm->set_tie(tie);
}

void HOST_DESIGN::set_data_fanin(HOST_OTERM* oterm, bool data_fanin)
{
    HOST_ASSERT(oterm != nullptr);
    check_own_atom(oterm->atom());
    oterm->set_data_fanin(data_fanin);
}

void HOST_DESIGN::set_tx_ser_via_tx_pcs(HOST_ATOM* tx_pcs, HOST_ATOM* tx_ser)
{
    check_own_atom(tx_pcs);
    if (tx_ser != nullptr) {
        check_own_atom(tx_ser);
        HOST_ASSERT(tx_ser->is_hssi_pma_tx_ser_atom());
    }
    m_netlist->set_tx_path_link(tx_pcs, HOST_TX_PATH_LINK::SERIALIZER, tx_ser);
}

void HOST_DESIGN::set_tx_buf_via_tx_ser(HOST_ATOM* tx_ser, HOST_ATOM* tx_buf)
{
    check_own_atom(tx_ser);
    HOST_ASSERT(tx_ser->is_hssi_pma_tx_ser_atom());
    if (tx_buf != nullptr)
        check_own_atom(tx_buf);
    m_netlist->set_tx_path_link(tx_ser, HOST_TX_PATH_LINK::BUFFER, tx_buf);
}

void HOST_DESIGN::set_rtc_assignment_ok(HOST_ATOM* tx_buf, bool ok)
{
    check_own_atom(tx_buf);
    m_netlist->set_rtc_assignment_ok(tx_buf, ok);
}

void HOST_DESIGN::set_user_voltage(DEV_POWER_TYPE_NAME_ENUM type, DEV_VOLTAGE_ENUM voltage)
{
    m_user_settings->set_voltage(type, voltage);
}

void HOST_DESIGN::set_user_voltage_option(DEV_VOLTAGE_OPTION_TYPE_ENUM type, DEV_VOLTAGE_OPTION_ENUM option)
{
    m_user_settings->set_voltage_option(type, option);
}

void HOST_DESIGN::set_string_option(int id, std::string text)
{
    m_user_settings->set_string_option(id, std::move(text));
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

void HOST_DESIGN::set_atom_string_parameter(HOST_ATOM* atom, int parameter, std::string value)
{
    check_own_atom(atom);
    m_parameters->set_string(atom, parameter, std::move(value));
}

void HOST_DESIGN::set_atom_bit_vector_parameter(HOST_ATOM* atom, int parameter, std::vector<bool> bits)
{
    check_own_atom(atom);
    m_parameters->set_bit_vector(atom, parameter, std::move(bits));
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

HOST_CHIP_DB_ENTRY* HOST_DESIGN::chip_db_entry() const
{
    return m_facade->chip_db_entry();
}

int HOST_DESIGN::family() const
{
    return chip_db_entry()->get_user_family_enum();
}

void HOST_DESIGN::set_family(int family)
{
    chip_db_entry()->set_family(family);
}

void HOST_DESIGN::add_clock(const std::string& name, int period_ps, double duty_cycle,
                            const std::vector<HOST_OTERM*>& targets)
{
    HOST_ASSERT(!name.empty());
    HOST_ASSERT(period_ps > 0 || period_ps == TDC_INT_NOT_SET);
    for (const HOST_OTERM* target : targets) {
        HOST_ASSERT(target != nullptr);
        check_own_atom(target->atom());
    }
    m_clocks.add(HOST_CLOCK{name, period_ps, duty_cycle, targets});
}

void HOST_DESIGN::build_timing_netlist()
{
    m_netlist->freeze();
    m_timing_netlist.reset();
    m_timing_netlist = std::make_unique<HOST_TIMING_NETLIST>(*m_netlist);
    m_clocks.invalidate();
    m_device->load_route_timing_data();
}

void HOST_DESIGN::release_timing_netlist()
{
    m_timing_netlist.reset();
    m_clocks.invalidate();
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
