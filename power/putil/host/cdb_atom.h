// Host atom netlist: atoms (nodes), their output terms (drivers) and input
// terms (sinks). The library only reads it.
#pragma once

#include <string>
#include <vector>

class HDB_INSTANCE_NAME;
class CDB_ATOM_NODE;
class CDB_ATOM_OTERM;

// Port types the library asks about; the host's enumeration has many more.
enum CDB_PORT_TYPE : int {
    CDB_PORT_TYPE_PAD_OUTPUT = 7,       // output of an I/O pad (bidirectional pads too)
    CDB_PORT_TYPE_PIN_COMBOUT = 9,      // output of a pin that is not a pad I/O
    CDB_PORT_TYPE_OUTPUT_ENABLE = 21,   // output-enable input of a pad
    CDB_PORT_TYPE_PIN_CLKOUT = 116      // dedicated clock output of a pin
};

// Output port kinds, for CDB_ATOM_NODE::implements; the same numbers as the
// port types that terms are used as.
enum DB_OUTPUT_PORT_TYPE : int {
    DB_OPORT_OUT = 3,                 // a pin's combinational output where kind 9 is not implemented; an LVDS block's parallel data
    DB_OPORT_PADIO = 7,               // a pin's pad-side output
    DB_OPORT_COMBOUT = 9,             // a pin's core-side output
    DB_OPORT_CLKOUT = 22,             // clock output of a PLL or a clock control block
    DB_OPORT_PIN_OUTPUT_B = 114,
    DB_OPORT_PIN_OUTPUT_A = 116,      // a pin output whose fanout may lead to the pin's output B
    DB_OPORT_PLL_CLKOUT_2 = 350,      // further PLL clock output
    DB_OPORT_PCS_PMA_CLK_4 = 4174,
    DB_OPORT_DATAOUT = 4775,          // data output of transceiver PMA blocks
    DB_OPORT_CDR_CLKOUT = 6871,       // output of a CDR PLL
    DB_OPORT_PCS_PMA_CLK_1 = 7773,    // clock outputs of the transceiver PCS-PMA interface blocks
    DB_OPORT_PCS_PMA_CLK_3 = 10280,
    DB_OPORT_PCS_PMA_CLK_5 = 10281,
    DB_OPORT_PCS_PMA_CLK_2 = 10336
};

// Input port kinds, for CDB_ATOM_NODE::implements.
enum DB_INPUT_PORT_TYPE : int {
    DB_IPORT_PLL_INCLK = 7,           // a PLL's input clock
    DB_IPORT_CLKCTRL_INCLK = 69,      // a clock control block's clock inputs
    DB_IPORT_CLKSELECT = 272,         // a clock control block's select lines
    DB_IPORT_HFCLK = 3074             // a serializer's high-speed clock
};

// Atom types of the CDR PLLs.
enum CDB_ATOM_TYPE : int { CDB_ATOM_TYPE_CDR_PLL_A = 504, CDB_ATOM_TYPE_CDR_PLL_B = 736 };

class CDB_ATOM_ITERM {
public:
    virtual CDB_ATOM_OTERM* get_source() const = 0;       // driver, or null
    virtual CDB_ATOM_NODE* get_my_node() const = 0;
    virtual bool is_used_as(int port_type) const = 0;
    virtual bool get_output_enable_flag() const = 0;
    // Next input term driven by the same source; null after the last one.
    virtual CDB_ATOM_ITERM* get_next_fanout() const = 0;
    // Index of the term among its atom's inputs of the same port type.
    virtual int get_port_index() const = 0;
    // The port type this input term is used as.
    virtual int get_any_usage_as() const = 0;
    // Tied to the constant 1 or 0.
    virtual bool is_logical_vcc() const = 0;
    virtual bool is_logical_gnd() const = 0;

protected:
    virtual ~CDB_ATOM_ITERM() = default;
};

class CDB_ATOM_OTERM {
public:
    virtual CDB_ATOM_NODE* get_my_node() const = 0;
    // Fanout walk: begin_iterm_fanout, then get_next_fanout until end_iterm_fanout.
    virtual CDB_ATOM_ITERM* begin_iterm_fanout() const = 0;
    virtual CDB_ATOM_ITERM* end_iterm_fanout() const = 0;
    virtual bool is_used_as(int port_type) const = 0;
    virtual int get_any_usage_as() const = 0;
    virtual bool is_registered() const = 0;
    // Index of the term among its atom's outputs of the same port type.
    virtual int get_port_index() const = 0;
    // The hierarchy name of the signal this term drives; never null in a
    // consistent netlist.
    virtual HDB_INSTANCE_NAME* get_instance_name() const = 0;
    // Full hierarchical path, levels separated by "|".
    virtual std::string get_string_hpath() const = 0;

protected:
    virtual ~CDB_ATOM_OTERM() = default;
};

// True when the term drives at least one input term.
bool cdb_is_connected(const CDB_ATOM_OTERM* oterm);

class CDB_ATOM_NODE {
public:
    typedef CDB_ATOM_OTERM* const* OTERM_ITERATOR;
    typedef CDB_ATOM_ITERM* const* ITERM_ITERATOR;

    virtual OTERM_ITERATOR begin_oterm() const = 0;
    virtual OTERM_ITERATOR end_oterm() const = 0;
    virtual ITERM_ITERATOR begin_iterm() const = 0;
    virtual ITERM_ITERATOR end_iterm() const = 0;
    // Null when the atom has no such term.
    virtual CDB_ATOM_OTERM* get_output_term_by_type(int port_type, int index) const = 0;
    virtual CDB_ATOM_ITERM* get_input_term_by_type(int port_type, int index) const = 0;

    virtual bool implements(DB_OUTPUT_PORT_TYPE kind) const = 0;
    virtual bool implements(DB_INPUT_PORT_TYPE kind) const = 0;
    virtual int get_id() const = 0;
    virtual int get_atom_type() const = 0;
    // The atom's main output term, or null.
    virtual CDB_ATOM_OTERM* get_primary_oterm() const = 0;

    // Where the atom is placed: the global id of its located block
    // (DEV_ILLEGAL_GLOBAL_ID when unplaced) and that block's kind.
    virtual unsigned get_location_index() const = 0;
    virtual int get_location_element() const = 0;

    // Kind tests.
    virtual bool is_pin_atom() const = 0;
    // A pin that brings a signal into the device: input and clock pins, and
    // pad I/O pins.
    virtual bool is_input_pin_atom() const = 0;
    // A pin whose sides are separate outputs (pad and combinational, or the
    // A and B outputs) that clock nets cross.
    virtual bool is_pin_with_companion_outputs() const = 0;
    // An atom that its pin's output A drives and that makes output B carry
    // the same clock.
    virtual bool is_pin_output_b_load() const = 0;
    virtual bool is_clock_control_atom() const = 0;
    virtual bool is_lvds_atom() const = 0;
    virtual bool is_hssi_pma_tx_ser_atom() const = 0;
    virtual bool is_hssi_pma_rx_buf_atom() const = 0;
    virtual bool is_hssi_tx_pcs_pma_interface_atom() const = 0;
    virtual bool is_hssi_rx_pcs_pma_interface_atom() const = 0;
    bool is_hssi_pcs_pma_interface_atom() const
    {
        return is_hssi_tx_pcs_pma_interface_atom() || is_hssi_rx_pcs_pma_interface_atom();
    }
    // A transceiver's transmit clock generation block.
    virtual bool is_hssi_pma_tx_cgb() const = 0;
    virtual bool is_padio_pin_atom() const = 0;
    virtual bool has_padio_output_data() const = 0;   // a bidirectional pad with a second activity record
    virtual bool is_pll_atom() const = 0;
    virtual bool is_mac_mult_atom() const = 0;
    virtual bool is_mac_out_atom() const = 0;
    virtual bool is_ram_atom() const = 0;
    virtual bool is_lcell_atom() const = 0;
    virtual bool is_lcell_comb_atom() const = 0;
    virtual bool is_lcell_ff_atom() const = 0;
    // Kinds that take part in the bonding-index walk of transceiver clocks:
    // atoms that relay the index through their clock outputs, PLLs that
    // relay it through their clock output, and atoms whose block never
    // takes an index.
    virtual bool is_bonding_multi_output_atom() const = 0;
    virtual bool is_bonding_secondary_atom() const = 0;
    virtual bool is_bonding_pll_atom() const = 0;
    virtual bool is_bonding_index_exempt_atom() const = 0;

protected:
    virtual ~CDB_ATOM_NODE() = default;
};

class CDB_ATOM_NETLIST {
public:
    typedef CDB_ATOM_NODE* const* NODE_ITERATOR;
    virtual NODE_ITERATOR begin_node_list() const = 0;
    virtual NODE_ITERATOR end_node_list() const = 0;
    // The atom's integer parameter; false when the atom has none of that
    // number.
    virtual bool get_int_parameter(const CDB_ATOM_NODE* atom, int parameter, int* value) const = 0;

protected:
    virtual ~CDB_ATOM_NETLIST() = default;
};

// Atom parameters by number; an absent parameter leaves the caller's value.
class CGA_INTERFACE {
public:
    virtual void get_enum_parameter(const CDB_ATOM_NODE* atom, int parameter, int& value) const = 0;
    virtual void get_int_parameter(const CDB_ATOM_NODE* atom, int parameter, int& value) const = 0;
    virtual void get_bool_parameter(const CDB_ATOM_NODE* atom, int parameter, bool& value) const = 0;
    virtual void get_time_parameter(const CDB_ATOM_NODE* atom, int parameter, long long& picoseconds) const = 0;
    // An enum parameter that must be there: false (value untouched) when
    // the atom has none of that number.
    virtual bool get_enum_data(const CDB_ATOM_NODE* atom, int parameter, int* value) const = 0;
    // A text parameter, and a bit-vector parameter (bit 0 first).
    virtual void get_string_parameter(const CDB_ATOM_NODE* atom, int parameter, std::string& value) const = 0;
    virtual void get_bit_vector_parameter(const CDB_ATOM_NODE* atom, int parameter, std::vector<bool>& bits) const = 0;

protected:
    virtual ~CGA_INTERFACE() = default;
};
CGA_INTERFACE* cga_current_interface();

// The host's name of an atom type, for messages; its number when unnamed.
std::string cdb_get_atom_type_name(int atom_type);
