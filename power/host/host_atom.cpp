// Reference host atoms and terms: kind predicates, terms by port type, and
// fanout lists kept in the order the connections were made.
#include "host_atom.h"

#include "host_design.h"
#include "host_device.h"
#include "host_hierarchy.h"
#include "host_netlist.h"

namespace {

struct KIND_NAME {
    HOST_ATOM_KIND kind;
    const char* name;
};

const KIND_NAME s_kind_names[] = {
    {HOST_ATOM_KIND::LCELL, "lcell"},         {HOST_ATOM_KIND::LCELL_COMB, "lcell_comb"},
    {HOST_ATOM_KIND::LCELL_FF, "lcell_ff"},   {HOST_ATOM_KIND::INPUT_PIN, "input_pin"},
    {HOST_ATOM_KIND::OUTPUT_PIN, "output_pin"}, {HOST_ATOM_KIND::CLOCK_PIN, "clock_pin"},
    {HOST_ATOM_KIND::IO_PAD, "io_pad"},       {HOST_ATOM_KIND::BIDIR_PAD, "bidir_pad"},
    {HOST_ATOM_KIND::PLL, "pll"},             {HOST_ATOM_KIND::RAM, "ram"},
    {HOST_ATOM_KIND::MAC_MULT, "mac_mult"},   {HOST_ATOM_KIND::MAC_OUT, "mac_out"},
    {HOST_ATOM_KIND::CLOCK_CONTROL, "clock_control"},
    {HOST_ATOM_KIND::LVDS, "lvds"},
    {HOST_ATOM_KIND::HSSI_PMA_TX_SER, "hssi_pma_tx_ser"},
    {HOST_ATOM_KIND::HSSI_PMA_RX_BUF, "hssi_pma_rx_buf"},
    {HOST_ATOM_KIND::HSSI_TX_PCS_PMA_INTERFACE, "hssi_tx_pcs_pma_interface"},
    {HOST_ATOM_KIND::HSSI_RX_PCS_PMA_INTERFACE, "hssi_rx_pcs_pma_interface"},
    {HOST_ATOM_KIND::HSSI_PMA_TX_CGB, "hssi_pma_tx_cgb"},
    {HOST_ATOM_KIND::OTHER, "other"},
};

struct ATOM_TYPE_NAME {
    int atom_type;
    const char* name;
};

// The atom types the reference host has names for: the two CDR PLLs.
const ATOM_TYPE_NAME s_atom_type_names[] = {
    {CDB_ATOM_TYPE_CDR_PLL_A, "CDR_PLL_A"},
    {CDB_ATOM_TYPE_CDR_PLL_B, "CDR_PLL_B"},
};

struct PORT_NAME {
    const char* name;
    int port_type;
};

// Outputs and inputs share one table: a name means one number either way.
const PORT_NAME s_port_names[] = {
    {"pad_output", CDB_PORT_TYPE_PAD_OUTPUT},
    {"combout", CDB_PORT_TYPE_PIN_COMBOUT},
    {"output_enable", CDB_PORT_TYPE_OUTPUT_ENABLE},
    {"clkout", CDB_PORT_TYPE_PIN_CLKOUT},
    {"output_a", DB_OPORT_PIN_OUTPUT_A},
    {"output_b", DB_OPORT_PIN_OUTPUT_B},
    {"out", DB_OPORT_OUT},
    {"clock_output", DB_OPORT_CLKOUT},
    {"clock_output_2", DB_OPORT_PLL_CLKOUT_2},
    {"dataout", DB_OPORT_DATAOUT},
    {"cdr_clkout", DB_OPORT_CDR_CLKOUT},
    {"pcs_pma_clk_1", DB_OPORT_PCS_PMA_CLK_1},
    {"pcs_pma_clk_2", DB_OPORT_PCS_PMA_CLK_2},
    {"pcs_pma_clk_3", DB_OPORT_PCS_PMA_CLK_3},
    {"pcs_pma_clk_4", DB_OPORT_PCS_PMA_CLK_4},
    {"pcs_pma_clk_5", DB_OPORT_PCS_PMA_CLK_5},
    {"pll_inclk", DB_IPORT_PLL_INCLK},
    {"clkctrl_inclk", DB_IPORT_CLKCTRL_INCLK},
    {"clkselect", DB_IPORT_CLKSELECT},
    {"hfclk", DB_IPORT_HFCLK},
};

template <class TERM>
TERM* nth_of_type(const HOST_TERM_LIST<TERM>& terms, int port_type, int index)
{
    for (TERM* term : terms) {
        if (term->is_used_as(port_type) && index-- == 0)
            return term;
    }
    return nullptr;
}

// How many terms before this one share its port type.
template <class TERM>
int index_among_type(const HOST_TERM_LIST<TERM>& terms, const TERM* of, int port_type)
{
    int index = 0;
    for (TERM* term : terms) {
        if (term == of)
            return index;
        if (term->is_used_as(port_type))
            ++index;
    }
    return index;
}

}  // namespace

const char* host_atom_kind_name(HOST_ATOM_KIND kind)
{
    for (const KIND_NAME& entry : s_kind_names) {
        if (entry.kind == kind)
            return entry.name;
    }
    return "other";
}

bool host_atom_kind_from_name(const std::string& name, HOST_ATOM_KIND& kind)
{
    for (const KIND_NAME& entry : s_kind_names) {
        if (name == entry.name) {
            kind = entry.kind;
            return true;
        }
    }
    return false;
}

bool host_port_type_from_name(const std::string& name, int& port_type)
{
    for (const PORT_NAME& entry : s_port_names) {
        if (name == entry.name) {
            port_type = entry.port_type;
            return true;
        }
    }
    return false;
}

std::string cdb_get_atom_type_name(int atom_type)
{
    for (const ATOM_TYPE_NAME& entry : s_atom_type_names) {
        if (entry.atom_type == atom_type)
            return entry.name;
    }
    return std::to_string(atom_type);
}

std::string host_port_names()
{
    std::string names;
    for (const PORT_NAME& entry : s_port_names)
        names += (names.empty() ? "" : ", ") + std::string(entry.name);
    return names;
}

HOST_OTERM::HOST_OTERM(HOST_ATOM* node, HOST_INSTANCE* instance_name, int port_type, bool registered,
                       std::uint32_t number)
    : m_node(node), m_instance_name(instance_name), m_port_type(port_type), m_number(number), m_registered(registered)
{
}

CDB_ATOM_NODE* HOST_OTERM::get_my_node() const
{
    return m_node;
}

CDB_ATOM_ITERM* HOST_OTERM::begin_iterm_fanout() const
{
    return m_first_fanout;
}

CDB_ATOM_ITERM* HOST_OTERM::end_iterm_fanout() const
{
    return nullptr;
}

bool HOST_OTERM::is_used_as(int port_type) const
{
    return m_port_type == port_type;
}

int HOST_OTERM::get_any_usage_as() const
{
    return m_port_type;
}

bool HOST_OTERM::is_registered() const
{
    return m_registered;
}

int HOST_OTERM::get_port_index() const
{
    return index_among_type<CDB_ATOM_OTERM>(m_node->oterms(), this, m_port_type);
}

HDB_INSTANCE_NAME* HOST_OTERM::get_instance_name() const
{
    return m_instance_name;
}

std::string HOST_OTERM::get_string_hpath() const
{
    return m_instance_name == nullptr ? std::string() : m_instance_name->get_full_name();
}

std::optional<std::string> HOST_OTERM::eda_name() const
{
    const std::string* name = m_node->netlist()->eda_name(this);
    return name == nullptr ? std::nullopt : std::optional<std::string>(*name);
}

void HOST_OTERM::set_eda_name(std::string name)
{
    m_node->netlist()->set_eda_name(this, std::move(name));
}

void HOST_OTERM::append_fanout(HOST_ITERM* iterm)
{
    if (m_last_fanout == nullptr)
        m_first_fanout = iterm;
    else
        m_last_fanout->m_next_fanout = iterm;
    m_last_fanout = iterm;
}

HOST_ITERM::HOST_ITERM(HOST_ATOM* node, int port_type, HOST_OTERM* source, bool output_enable, int delay_ps)
    : m_node(node), m_source(source), m_port_type(port_type), m_delay_ps(delay_ps), m_output_enable(output_enable)
{
}

CDB_ATOM_OTERM* HOST_ITERM::get_source() const
{
    return m_source;
}

CDB_ATOM_NODE* HOST_ITERM::get_my_node() const
{
    return m_node;
}

bool HOST_ITERM::is_used_as(int port_type) const
{
    return m_port_type == port_type;
}

bool HOST_ITERM::get_output_enable_flag() const
{
    return m_output_enable;
}

CDB_ATOM_ITERM* HOST_ITERM::get_next_fanout() const
{
    return m_next_fanout;
}

int HOST_ITERM::get_port_index() const
{
    return index_among_type<CDB_ATOM_ITERM>(m_node->iterms(), this, m_port_type);
}

int HOST_ITERM::get_any_usage_as() const
{
    return m_port_type;
}

bool HOST_ITERM::is_logical_vcc() const
{
    return m_tie == HOST_INPUT_TIE::VCC;
}

bool HOST_ITERM::is_logical_gnd() const
{
    return m_tie == HOST_INPUT_TIE::GND;
}

HOST_ATOM::HOST_ATOM(HOST_NETLIST* netlist, std::string name, HOST_ATOM_KIND kind, std::uint32_t id)
    : m_netlist(netlist), m_name(std::move(name)), m_id(id), m_kind(kind)
{
}

void HOST_ATOM::set_flag(HOST_ATOM_FLAG flag, bool value)
{
    m_flags = static_cast<unsigned char>(value ? m_flags | flag : m_flags & ~flag);
}

HOST_ATOM::~HOST_ATOM() = default;

const void* HOST_ATOM::owner() const
{
    return m_netlist->owner();
}

std::optional<std::string> HOST_ATOM::eda_pin_name() const
{
    const std::string* name = m_netlist->eda_pin_name(this);
    return name == nullptr ? std::nullopt : std::optional<std::string>(*name);
}

void HOST_ATOM::set_eda_pin_name(std::string name)
{
    m_netlist->set_eda_pin_name(this, std::move(name));
}

HOST_OTERM* HOST_ATOM::add_output(HOST_INSTANCE* instance_name, int port_type, bool registered)
{
    HOST_OTERM* oterm = m_netlist->make_oterm(this, instance_name, port_type, registered);
    m_oterms.push_back(oterm);
    return oterm;
}

HOST_ITERM* HOST_ATOM::add_input(int port_type, HOST_OTERM* source, bool output_enable, int delay_ps)
{
    HOST_ITERM* iterm = m_netlist->make_iterm(this, port_type, source, output_enable, delay_ps);
    m_iterms.push_back(iterm);
    if (source != nullptr)
        source->append_fanout(iterm);
    return iterm;
}

CDB_ATOM_NODE::OTERM_ITERATOR HOST_ATOM::begin_oterm() const
{
    return m_oterms.begin();
}

CDB_ATOM_NODE::OTERM_ITERATOR HOST_ATOM::end_oterm() const
{
    return m_oterms.end();
}

CDB_ATOM_NODE::ITERM_ITERATOR HOST_ATOM::begin_iterm() const
{
    return m_iterms.begin();
}

CDB_ATOM_NODE::ITERM_ITERATOR HOST_ATOM::end_iterm() const
{
    return m_iterms.end();
}

CDB_ATOM_OTERM* HOST_ATOM::get_output_term_by_type(int port_type, int index) const
{
    return nth_of_type(m_oterms, port_type, index);
}

CDB_ATOM_ITERM* HOST_ATOM::get_input_term_by_type(int port_type, int index) const
{
    return nth_of_type(m_iterms, port_type, index);
}

bool HOST_ATOM::implements(DB_OUTPUT_PORT_TYPE kind) const
{
    return nth_of_type(m_oterms, kind, 0) != nullptr || m_netlist->declares_port(this, kind);
}

bool HOST_ATOM::implements(DB_INPUT_PORT_TYPE kind) const
{
    return nth_of_type(m_iterms, kind, 0) != nullptr || m_netlist->declares_port(this, kind);
}

int HOST_ATOM::get_id() const
{
    return static_cast<int>(m_id);
}

int HOST_ATOM::get_atom_type() const
{
    return m_atom_type;
}

CDB_ATOM_OTERM* HOST_ATOM::get_primary_oterm() const
{
    return m_oterms.begin() == m_oterms.end() ? nullptr : *m_oterms.begin();
}

int HOST_ATOM::get_location_element() const
{
    if (m_location == DEV_ILLEGAL_GLOBAL_ID)
        return -1;
    // A host netlist's owner is its design.
    const HOST_DESIGN* design = static_cast<const HOST_DESIGN*>(m_netlist->owner());
    return design->device()->block_kind(m_location);
}

bool HOST_ATOM::is_pin_atom() const
{
    switch (m_kind) {
    case HOST_ATOM_KIND::INPUT_PIN:
    case HOST_ATOM_KIND::OUTPUT_PIN:
    case HOST_ATOM_KIND::CLOCK_PIN:
    case HOST_ATOM_KIND::IO_PAD:
    case HOST_ATOM_KIND::BIDIR_PAD:
        return true;
    default:
        return false;
    }
}

// Every pin but an output pin: pads may be driven from outside as well.
bool HOST_ATOM::is_input_pin_atom() const
{
    return is_pin_atom() && m_kind != HOST_ATOM_KIND::OUTPUT_PIN;
}

bool HOST_ATOM::is_pin_with_companion_outputs() const
{
    return has_flag(HOST_ATOM_PIN_WITH_COMPANION_OUTPUTS);
}

bool HOST_ATOM::is_pin_output_b_load() const
{
    return has_flag(HOST_ATOM_PIN_OUTPUT_B_LOAD);
}

bool HOST_ATOM::is_clock_control_atom() const
{
    return m_kind == HOST_ATOM_KIND::CLOCK_CONTROL;
}

bool HOST_ATOM::is_lvds_atom() const
{
    return m_kind == HOST_ATOM_KIND::LVDS;
}

bool HOST_ATOM::is_hssi_pma_tx_ser_atom() const
{
    return m_kind == HOST_ATOM_KIND::HSSI_PMA_TX_SER;
}

bool HOST_ATOM::is_hssi_pma_rx_buf_atom() const
{
    return m_kind == HOST_ATOM_KIND::HSSI_PMA_RX_BUF;
}

bool HOST_ATOM::is_hssi_tx_pcs_pma_interface_atom() const
{
    return m_kind == HOST_ATOM_KIND::HSSI_TX_PCS_PMA_INTERFACE;
}

bool HOST_ATOM::is_hssi_rx_pcs_pma_interface_atom() const
{
    return m_kind == HOST_ATOM_KIND::HSSI_RX_PCS_PMA_INTERFACE;
}

bool HOST_ATOM::is_hssi_pma_tx_cgb() const
{
    return m_kind == HOST_ATOM_KIND::HSSI_PMA_TX_CGB;
}

bool HOST_ATOM::is_padio_pin_atom() const
{
    return m_kind == HOST_ATOM_KIND::IO_PAD || m_kind == HOST_ATOM_KIND::BIDIR_PAD;
}

bool HOST_ATOM::has_padio_output_data() const
{
    return m_kind == HOST_ATOM_KIND::BIDIR_PAD;
}

bool HOST_ATOM::is_pll_atom() const
{
    return m_kind == HOST_ATOM_KIND::PLL;
}

bool HOST_ATOM::is_mac_mult_atom() const
{
    return m_kind == HOST_ATOM_KIND::MAC_MULT;
}

bool HOST_ATOM::is_mac_out_atom() const
{
    return m_kind == HOST_ATOM_KIND::MAC_OUT;
}

bool HOST_ATOM::is_ram_atom() const
{
    return m_kind == HOST_ATOM_KIND::RAM;
}

bool HOST_ATOM::is_lcell_atom() const
{
    return m_kind == HOST_ATOM_KIND::LCELL;
}

bool HOST_ATOM::is_lcell_comb_atom() const
{
    return m_kind == HOST_ATOM_KIND::LCELL_COMB;
}

bool HOST_ATOM::is_lcell_ff_atom() const
{
    return m_kind == HOST_ATOM_KIND::LCELL_FF;
}

bool HOST_ATOM::is_bonding_multi_output_atom() const
{
    return has_flag(HOST_ATOM_BONDING_MULTI_OUTPUT);
}

bool HOST_ATOM::is_bonding_secondary_atom() const
{
    return has_flag(HOST_ATOM_BONDING_SECONDARY);
}

bool HOST_ATOM::is_bonding_pll_atom() const
{
    return has_flag(HOST_ATOM_BONDING_PLL);
}

bool HOST_ATOM::is_bonding_index_exempt_atom() const
{
    return has_flag(HOST_ATOM_BONDING_INDEX_EXEMPT);
}

bool cdb_is_connected(const CDB_ATOM_OTERM* oterm)
{
    return oterm != nullptr && oterm->begin_iterm_fanout() != oterm->end_iterm_fanout();
}
