// Reference host design: everything of one compiled design (hierarchy names,
// atom netlist, facade, atom parameters, activity store, waveform inputs, EDA
// tool settings and names, connection delays, the user's voltage settings),
// with builders that let a test describe a design in a few lines.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host_atom.h"
#include "host_clocks.h"

class CMP_FACADE;
class HDB_INSTANCE_NAME;
class HOST_INSTANCE;
class HOST_NETLIST;
class HOST_FACADE;
class HOST_ATOM_PARAMETERS;
class HOST_SA_DATA;
class HOST_INPUT_FILE_MANAGER;
class HOST_EDA_TOOL;
class HOST_CHIP_DB_ENTRY;
class HOST_DEVICE;
class HOST_REPORT;
class HOST_TIMING_NETLIST;
class HOST_USER_SETTINGS;

class HOST_DESIGN {
public:
    explicit HOST_DESIGN(std::string name = "design");
    // Stops being the current design if it was.
    ~HOST_DESIGN();
    HOST_DESIGN(const HOST_DESIGN&) = delete;
    HOST_DESIGN& operator=(const HOST_DESIGN&) = delete;

    // Builders. The netlist may grow only until the activity store gives its
    // ids (HOST_SA_DATA); afterwards, and for an atom or term of another
    // design, they report an internal error.
    HOST_ATOM* add_atom(const std::string& name, HOST_ATOM_KIND kind);
    // A term driving the signal named hpath ("top|u1|q"): the hierarchy
    // names root -> "top" -> "u1" -> "q" are made or reused, and the term's
    // instance name is the leaf. hpath must have no empty level.
    HOST_OTERM* add_output(HOST_ATOM* atom, const std::string& hpath, int port_type, bool registered);
    // The same with the levels given one by one, for names that contain "|"
    // themselves (waveforms of some simulators have such scope names).
    HOST_OTERM* add_output(HOST_ATOM* atom, const std::vector<std::string>& levels, int port_type,
                           bool registered);
    // The same for a hierarchy name of this design below the root, made
    // beforehand (root()->make_child ...): a builder that walks the
    // hierarchy itself looks up no path again.
    HOST_OTERM* add_output(HOST_ATOM* atom, HOST_INSTANCE* instance, int port_type, bool registered);
    // An input term of sink, appended to the fanout of source (may be null:
    // unconnected); delay_ps < 0 means no delay given.
    HOST_ITERM* add_input(HOST_ATOM* sink, int port_type, HOST_OTERM* source, bool output_enable = false,
                          int delay_ps = -1);

    // Atom properties (docs/design-format.md).
    void set_atom_type(HOST_ATOM* atom, int atom_type);
    void set_atom_flag(HOST_ATOM* atom, HOST_ATOM_FLAG flag, bool value);
    // Places the atom on the device's block gid (DEV_ILLEGAL_GLOBAL_ID:
    // unplaced). The block need not exist.
    void set_atom_location(HOST_ATOM* atom, unsigned gid);
    // The atom implements the port without a term of it.
    void declare_port(HOST_ATOM* atom, int port_type);
    // The pin's companion atom; null clears it.
    void set_companion(HOST_ATOM* pin, HOST_ATOM* companion);
    // Whether reports show the names of the atom's output terms made so far
    // (name flag HOST_NAME_FLAG_REPORTED).
    void set_reported(HOST_ATOM* atom, bool reported);
    // Input and output term properties: a register's clock pin, a tie to a
    // constant, a non-register node with a data fanin list.
    void set_clock_input(HOST_ITERM* iterm, bool clock);
    void tie_input(HOST_ITERM* iterm, HOST_INPUT_TIE tie);
    void set_data_fanin(HOST_OTERM* oterm, bool data_fanin);

    // A transceiver channel's transmit path (CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY):
    // the serializer behind a TX PCS atom, the TX buffer behind a
    // serializer (null clears the link), and whether a TX buffer's reference
    // clock assignment passes the check (false unless set). tx_ser must be
    // of kind HSSI_PMA_TX_SER.
    void set_tx_ser_via_tx_pcs(HOST_ATOM* tx_pcs, HOST_ATOM* tx_ser);
    void set_tx_buf_via_tx_ser(HOST_ATOM* tx_ser, HOST_ATOM* tx_buf);
    void set_rtc_assignment_ok(HOST_ATOM* tx_buf, bool ok);

    // The user's voltage settings and string options of the compilation,
    // which the voltage utilities and the project option store answer.
    void set_user_voltage(DEV_POWER_TYPE_NAME_ENUM type, DEV_VOLTAGE_ENUM voltage);
    void set_user_voltage_option(DEV_VOLTAGE_OPTION_TYPE_ENUM type, DEV_VOLTAGE_OPTION_ENUM option);
    void set_string_option(int id, std::string text);
    const HOST_USER_SETTINGS& user_settings() const { return *m_user_settings; }

    // The instance at path ("" = the root, "top|u1"), or null.
    HOST_INSTANCE* find_instance(const std::string& path) const;
    HOST_INSTANCE* root() const { return m_root.get(); }

    // An atom parameter of one type: an integer (bools and enums too), a
    // text, or a bit vector (bit 0 first). Setting a number again replaces
    // its value, whatever the type.
    void set_atom_parameter(HOST_ATOM* atom, int parameter, long long value);
    void set_atom_string_parameter(HOST_ATOM* atom, int parameter, std::string value);
    void set_atom_bit_vector_parameter(HOST_ATOM* atom, int parameter, std::vector<bool> bits);
    // An atom outside power analysis fails putil_is_valid_power_atom.
    void set_power_valid(HOST_ATOM* atom, bool valid);

    // EDA simulation tool (category 2) with its netlist type; unset until
    // called. Settings are stored even while no tool is set.
    void set_eda_tool(int netlist_type);
    void set_eda_tool_setting(int setting, int value);
    HOST_EDA_TOOL* eda_tool() const { return m_eda_tool.get(); }
    // The signal's EDA name, levels separated by "/" ("top/u1/q").
    void set_eda_name(HOST_OTERM* oterm, const std::string& name);
    void set_eda_pin_name(HOST_ATOM* atom, const std::string& name);

    // Every connection delay the timing estimator gives becomes ps; negative
    // clears it.
    void set_fixed_glitch_width(int ps);
    const std::optional<int>& fixed_glitch_width() const { return m_fixed_glitch_width; }

    const std::string& name() const { return m_name; }
    void set_name(const std::string& name);
    // The device family the user chose; 0 at start.
    int family() const;
    void set_family(int family);

    // A clock of the timing constraints on these output terms of this
    // design; the name must be new. period_ps may be TDC_INT_NOT_SET.
    void add_clock(const std::string& name, int period_ps, double duty_cycle,
                   const std::vector<HOST_OTERM*>& targets);
    const HOST_CLOCKS& clocks() const { return m_clocks; }

    // The timing netlist of the netlist as it is now (which freezes it);
    // replaces the one there was, and loads the routing timing data of the
    // die's view. The timing accessories build through this after checking
    // their scope; a test that needs a netlist built beforehand (a caller
    // that uses the existing one) may call it directly.
    void build_timing_netlist();
    void release_timing_netlist();
    // Null until built.
    HOST_TIMING_NETLIST* timing_netlist() const { return m_timing_netlist.get(); }

    HOST_DEVICE* device() const { return m_device.get(); }
    HOST_REPORT* report() const { return m_report.get(); }

    CMP_FACADE* facade() const;
    HOST_SA_DATA* store() const { return m_store.get(); }
    HOST_INPUT_FILE_MANAGER* input_files() const { return m_input_files.get(); }
    CDB_ATOM_NETLIST* netlist() const;
    HOST_NETLIST* host_netlist() const { return m_netlist.get(); }
    HOST_ATOM_PARAMETERS* parameters() const { return m_parameters.get(); }
    // What the library recorded there (power-region voltages).
    HOST_CHIP_DB_ENTRY* chip_db_entry() const;

private:
    void check_own_atom(const HOST_ATOM* atom) const;
    void check_netlist_open() const;

    std::string m_name;
    std::unique_ptr<HOST_INSTANCE> m_root;
    std::unique_ptr<HOST_ATOM_PARAMETERS> m_parameters;
    std::unique_ptr<HOST_NETLIST> m_netlist;
    std::unique_ptr<HOST_REPORT> m_report;
    std::unique_ptr<HOST_FACADE> m_facade;
    std::unique_ptr<HOST_INPUT_FILE_MANAGER> m_input_files;
    std::unique_ptr<HOST_SA_DATA> m_store;
    std::unique_ptr<HOST_EDA_TOOL> m_eda_tool;
    std::unique_ptr<HOST_DEVICE> m_device;
    std::unique_ptr<HOST_TIMING_NETLIST> m_timing_netlist;
    std::unique_ptr<HOST_USER_SETTINGS> m_user_settings;
    HOST_CLOCKS m_clocks;
    std::optional<int> m_fixed_glitch_width;
};

// The design that the process-wide services use: putil_lib_get_cmp_facade,
// cga_current_interface, the timing estimator, the current device, the
// timing accessories and the clock utility. Null at start.
void host_set_current_design(HOST_DESIGN* design);
HOST_DESIGN* host_current_design();
