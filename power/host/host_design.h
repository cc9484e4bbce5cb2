// Reference host design: everything of one compiled design (hierarchy names,
// atom netlist, facade, atom parameters, activity store, waveform inputs, EDA
// tool settings and names, connection delays), with builders that let a test
// describe a design in a few lines.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host_atom.h"

class CMP_FACADE;
class HDB_INSTANCE_NAME;
class HOST_INSTANCE;
class HOST_NETLIST;
class HOST_FACADE;
class HOST_ATOM_PARAMETERS;
class HOST_SA_DATA;
class HOST_INPUT_FILE_MANAGER;
class HOST_EDA_TOOL;

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

    // The instance at path ("" = the root, "top|u1"), or null.
    HOST_INSTANCE* find_instance(const std::string& path) const;
    HOST_INSTANCE* root() const { return m_root.get(); }

    void set_atom_parameter(HOST_ATOM* atom, int parameter, long long value);
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

    CMP_FACADE* facade() const;
    HOST_SA_DATA* store() const { return m_store.get(); }
    HOST_INPUT_FILE_MANAGER* input_files() const { return m_input_files.get(); }
    CDB_ATOM_NETLIST* netlist() const;
    HOST_NETLIST* host_netlist() const { return m_netlist.get(); }
    HOST_ATOM_PARAMETERS* parameters() const { return m_parameters.get(); }

private:
    void check_own_atom(const HOST_ATOM* atom) const;
    void check_netlist_open() const;

    std::string m_name;
    std::unique_ptr<HOST_INSTANCE> m_root;
    std::unique_ptr<HOST_NETLIST> m_netlist;
    std::unique_ptr<HOST_FACADE> m_facade;
    std::unique_ptr<HOST_ATOM_PARAMETERS> m_parameters;
    std::unique_ptr<HOST_INPUT_FILE_MANAGER> m_input_files;
    std::unique_ptr<HOST_SA_DATA> m_store;
    std::unique_ptr<HOST_EDA_TOOL> m_eda_tool;
    std::optional<int> m_fixed_glitch_width;
};

// The design that the process-wide services use: putil_lib_get_cmp_facade,
// cga_current_interface and the timing estimator. Null at start.
void host_set_current_design(HOST_DESIGN* design);
HOST_DESIGN* host_current_design();
