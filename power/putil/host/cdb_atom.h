// Host atom netlist: atoms (nodes), their output terms (drivers) and input
// terms (sinks). The library only reads it.
#pragma once

#include <string>

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

class CDB_ATOM_ITERM {
public:
    virtual CDB_ATOM_OTERM* get_source() const = 0;       // driver, or null
    virtual CDB_ATOM_NODE* get_my_node() const = 0;
    virtual bool is_used_as(int port_type) const = 0;
    virtual bool get_output_enable_flag() const = 0;
    // Next input term driven by the same source; null after the last one.
    virtual CDB_ATOM_ITERM* get_next_fanout() const = 0;

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

    // Kind tests.
    virtual bool is_pin_atom() const = 0;
    virtual bool is_padio_pin_atom() const = 0;
    virtual bool has_padio_output_data() const = 0;   // a bidirectional pad with a second activity record
    virtual bool is_pll_atom() const = 0;
    virtual bool is_mac_mult_atom() const = 0;
    virtual bool is_mac_out_atom() const = 0;
    virtual bool is_ram_atom() const = 0;
    virtual bool is_lcell_atom() const = 0;
    virtual bool is_lcell_comb_atom() const = 0;
    virtual bool is_lcell_ff_atom() const = 0;

protected:
    virtual ~CDB_ATOM_NODE() = default;
};

class CDB_ATOM_NETLIST {
public:
    typedef CDB_ATOM_NODE* const* NODE_ITERATOR;
    virtual NODE_ITERATOR begin_node_list() const = 0;
    virtual NODE_ITERATOR end_node_list() const = 0;

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

protected:
    virtual ~CGA_INTERFACE() = default;
};
CGA_INTERFACE* cga_current_interface();
