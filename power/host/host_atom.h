// Reference host atoms and their terms: the nodes of the atom netlist, the
// output terms (drivers) and input terms (sinks) with fanout links.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/cdb_atom.h"
#include "host/dev_enums.h"

class HOST_INSTANCE;
class HOST_ATOM;
class HOST_ITERM;
class HOST_NETLIST;

enum class HOST_ATOM_KIND : unsigned char {
    LCELL,
    LCELL_COMB,
    LCELL_FF,
    INPUT_PIN,
    OUTPUT_PIN,
    CLOCK_PIN,   // a pin, not a pad I/O
    IO_PAD,      // a pin and a pad I/O
    BIDIR_PAD,   // a pin and a pad I/O with a second activity record
    PLL,
    RAM,
    MAC_MULT,
    MAC_OUT,
    CLOCK_CONTROL,
    LVDS,
    HSSI_PMA_TX_SER,
    HSSI_PMA_RX_BUF,
    HSSI_TX_PCS_PMA_INTERFACE,
    HSSI_RX_PCS_PMA_INTERFACE,
    HSSI_PMA_TX_CGB,   // a transceiver's transmit clock generation block
    OTHER
};

// Properties of an atom that its kind does not fix; all clear unless set.
enum HOST_ATOM_FLAG : unsigned char {
    HOST_ATOM_PIN_WITH_COMPANION_OUTPUTS = 1,   // clock nets cross between the pin's sides
    HOST_ATOM_PIN_OUTPUT_B_LOAD = 2,            // driven by a pin's output A, makes output B carry its clock
    HOST_ATOM_WIRE_LUT = 4,                     // a logic cell that passes its first input through
    HOST_ATOM_UNTIMED = 8,                      // left out of the timing netlist: one null node entry
    // Roles in the bonding-index walk of transceiver clocks.
    HOST_ATOM_BONDING_MULTI_OUTPUT = 16,        // relays the index through its clock outputs
    HOST_ATOM_BONDING_SECONDARY = 32,           // relays it the same way
    HOST_ATOM_BONDING_PLL = 64,                 // relays it through its clock output
    HOST_ATOM_BONDING_INDEX_EXEMPT = 128        // its block never takes an index
};

// What an input term is tied to instead of a driver.
enum class HOST_INPUT_TIE : unsigned char { NONE, VCC, GND };

// The kind's name in design files ("lcell_ff"), and back; false for an
// unknown name.
const char* host_atom_kind_name(HOST_ATOM_KIND kind);
bool host_atom_kind_from_name(const std::string& name, HOST_ATOM_KIND& kind);
// Port type of a port name in design files ("pad_output" = 7, "combout" = 9,
// "clkout" = 116 ...; docs/design-format.md lists them); false for an
// unknown name.
bool host_port_type_from_name(const std::string& name, int& port_type);
// The known port names, comma separated, for error messages.
std::string host_port_names();

// The terms of one atom as the netlist interface iterates them: an atom
// with a single term, the usual case, needs no array of its own.
template <class TERM>
class HOST_TERM_LIST {
public:
    TERM* const* begin() const { return m_more ? m_more->data() : &m_first; }
    TERM* const* end() const
    {
        return m_more ? m_more->data() + m_more->size() : &m_first + (m_first != nullptr ? 1 : 0);
    }
    void push_back(TERM* term)
    {
        if (m_first == nullptr) {
            m_first = term;
            return;
        }
        if (!m_more)
            m_more = std::make_unique<std::vector<TERM*>>(1, m_first);
        m_more->push_back(term);
    }

private:
    TERM* m_first = nullptr;
    std::unique_ptr<std::vector<TERM*>> m_more;   // every term, once there are two
};

// A netlist of millions of atoms keeps its terms small: names in the EDA
// netlist, which few terms have, live in the netlist.
class HOST_OTERM final : public CDB_ATOM_OTERM {
public:
    // number: the term's place among the netlist's output terms, in the
    // order they were made.
    HOST_OTERM(HOST_ATOM* node, HOST_INSTANCE* instance_name, int port_type, bool registered, std::uint32_t number);
    ~HOST_OTERM() override = default;

    CDB_ATOM_NODE* get_my_node() const override;
    CDB_ATOM_ITERM* begin_iterm_fanout() const override;
    CDB_ATOM_ITERM* end_iterm_fanout() const override;
    bool is_used_as(int port_type) const override;
    int get_any_usage_as() const override;
    bool is_registered() const override;
    int get_port_index() const override;
    HDB_INSTANCE_NAME* get_instance_name() const override;
    std::string get_string_hpath() const override;

    HOST_ATOM* atom() const { return m_node; }
    HOST_INSTANCE* instance() const { return m_instance_name; }
    int port_type() const { return m_port_type; }
    std::uint32_t number() const { return m_number; }
    // The signal's name in the EDA simulation netlist, levels separated by
    // "/"; none means the name follows the hierarchy path.
    std::optional<std::string> eda_name() const;
    void set_eda_name(std::string name);

    // The id the activity store gave; s_no_signal_id before.
    static constexpr std::uint32_t s_no_signal_id = 0xFFFFFFFFu;
    std::uint32_t signal_id() const { return m_signal_id; }
    void set_signal_id(std::uint32_t id) { m_signal_id = id; }

    // A node that is not a register but whose data fanin list fanin walks
    // take (timing node flag 0x10000).
    bool has_data_fanin() const { return m_data_fanin; }
    void set_data_fanin(bool value) { m_data_fanin = value; }

private:
    friend class HOST_ATOM;
    void append_fanout(HOST_ITERM* iterm);

    HOST_ATOM* m_node;
    HOST_INSTANCE* m_instance_name;
    HOST_ITERM* m_first_fanout = nullptr;
    HOST_ITERM* m_last_fanout = nullptr;
    int m_port_type;
    std::uint32_t m_number;
    std::uint32_t m_signal_id = s_no_signal_id;
    bool m_registered;
    bool m_data_fanin = false;
};

class HOST_ITERM final : public CDB_ATOM_ITERM {
public:
    HOST_ITERM(HOST_ATOM* node, int port_type, HOST_OTERM* source, bool output_enable, int delay_ps);
    ~HOST_ITERM() override = default;

    CDB_ATOM_OTERM* get_source() const override;
    CDB_ATOM_NODE* get_my_node() const override;
    bool is_used_as(int port_type) const override;
    bool get_output_enable_flag() const override;
    CDB_ATOM_ITERM* get_next_fanout() const override;
    int get_port_index() const override;
    // The term's port type: an input is used as what it was made as.
    int get_any_usage_as() const override;
    bool is_logical_vcc() const override;
    bool is_logical_gnd() const override;

    HOST_ATOM* atom() const { return m_node; }
    HOST_OTERM* source() const { return m_source; }
    int port_type() const { return m_port_type; }
    // Connection delay from the source in picoseconds; -1 when not given.
    int delay_ps() const { return m_delay_ps; }
    // A register's clock pin: its timing edges form the clock fanin group.
    bool is_clock() const { return m_clock; }
    void set_clock(bool value) { m_clock = value; }
    HOST_INPUT_TIE tie() const { return m_tie; }
    void set_tie(HOST_INPUT_TIE tie) { m_tie = tie; }

private:
    friend class HOST_OTERM;
    HOST_ATOM* m_node;
    HOST_OTERM* m_source;
    HOST_ITERM* m_next_fanout = nullptr;
    int m_port_type;
    int m_delay_ps;
    bool m_output_enable;
    bool m_clock = false;
    HOST_INPUT_TIE m_tie = HOST_INPUT_TIE::NONE;
};

class HOST_ATOM final : public CDB_ATOM_NODE {
public:
    // Made by the netlist, which keeps the atom's terms; id is the atom's
    // place in the netlist.
    HOST_ATOM(HOST_NETLIST* netlist, std::string name, HOST_ATOM_KIND kind, std::uint32_t id);
    ~HOST_ATOM() override;
    HOST_ATOM(const HOST_ATOM&) = delete;
    HOST_ATOM& operator=(const HOST_ATOM&) = delete;

    HOST_OTERM* add_output(HOST_INSTANCE* instance_name, int port_type, bool registered);
    // Appends the new term to the source's fanout when there is a source.
    HOST_ITERM* add_input(int port_type, HOST_OTERM* source, bool output_enable, int delay_ps);

    // Identifies the design the atom belongs to.
    const void* owner() const;
    HOST_NETLIST* netlist() const { return m_netlist; }
    const std::string& name() const { return m_name; }
    HOST_ATOM_KIND kind() const { return m_kind; }
    bool is_power_valid() const { return m_power_valid; }
    void set_power_valid(bool valid) { m_power_valid = valid; }
    bool has_flag(HOST_ATOM_FLAG flag) const { return (m_flags & flag) != 0; }
    void set_flag(HOST_ATOM_FLAG flag, bool value);
    void set_atom_type(int atom_type) { m_atom_type = atom_type; }
    // The gid of the block the atom is placed on; DEV_ILLEGAL_GLOBAL_ID
    // (the default) leaves it unplaced.
    void set_location(unsigned gid) { m_location = gid; }
    // The atom's output terms and input terms, in order.
    const HOST_TERM_LIST<CDB_ATOM_OTERM>& oterms() const { return m_oterms; }
    const HOST_TERM_LIST<CDB_ATOM_ITERM>& iterms() const { return m_iterms; }
    // The pin's name in the EDA simulation netlist; none means the atom name.
    std::optional<std::string> eda_pin_name() const;
    void set_eda_pin_name(std::string name);

    OTERM_ITERATOR begin_oterm() const override;
    OTERM_ITERATOR end_oterm() const override;
    ITERM_ITERATOR begin_iterm() const override;
    ITERM_ITERATOR end_iterm() const override;
    CDB_ATOM_OTERM* get_output_term_by_type(int port_type, int index) const override;
    CDB_ATOM_ITERM* get_input_term_by_type(int port_type, int index) const override;
    // A term of that port type, or a port the design declared.
    bool implements(DB_OUTPUT_PORT_TYPE kind) const override;
    bool implements(DB_INPUT_PORT_TYPE kind) const override;
    int get_id() const override;
    int get_atom_type() const override;
    // The first output term.
    CDB_ATOM_OTERM* get_primary_oterm() const override;
    unsigned get_location_index() const override { return m_location; }
    // The kind of the located block in the device of the atom's design; -1
    // when unplaced or when that device has no such block.
    int get_location_element() const override;

    bool is_pin_atom() const override;
    bool is_input_pin_atom() const override;
    bool is_pin_with_companion_outputs() const override;
    bool is_pin_output_b_load() const override;
    bool is_clock_control_atom() const override;
    bool is_lvds_atom() const override;
    bool is_hssi_pma_tx_ser_atom() const override;
    bool is_hssi_pma_rx_buf_atom() const override;
    bool is_hssi_tx_pcs_pma_interface_atom() const override;
    bool is_hssi_rx_pcs_pma_interface_atom() const override;
    bool is_hssi_pma_tx_cgb() const override;
    bool is_padio_pin_atom() const override;
    bool has_padio_output_data() const override;
    bool is_pll_atom() const override;
    bool is_mac_mult_atom() const override;
    bool is_mac_out_atom() const override;
    bool is_ram_atom() const override;
    bool is_lcell_atom() const override;
    bool is_lcell_comb_atom() const override;
    bool is_lcell_ff_atom() const override;
    bool is_bonding_multi_output_atom() const override;
    bool is_bonding_secondary_atom() const override;
    bool is_bonding_pll_atom() const override;
    bool is_bonding_index_exempt_atom() const override;

private:
    HOST_NETLIST* m_netlist;
    std::string m_name;
    HOST_TERM_LIST<CDB_ATOM_OTERM> m_oterms;
    HOST_TERM_LIST<CDB_ATOM_ITERM> m_iterms;
    std::uint32_t m_id;
    int m_atom_type = 0;
    unsigned m_location = DEV_ILLEGAL_GLOBAL_ID;
    HOST_ATOM_KIND m_kind;
    unsigned char m_flags = 0;
    bool m_power_valid = true;
};
