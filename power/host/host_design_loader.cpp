// Reference host design loader: reads the JSON design format, checks every
// key and type, and resolves input sources by hierarchy path (and links
// between atoms by name) after all atoms are read, so that atoms may appear
// in any order; the design's device may come from a device file next to it.
// A Yosys JSON netlist, recognised by its content, is read instead.
#include "host_design_loader.h"

#include <climits>
#include <filesystem>
#include <unordered_map>
#include <vector>

#include "host/tdb.h"
#include "host_device.h"
#include "host_device_loader.h"
#include "host_hierarchy.h"
#include "host_json_fields.h"
#include "host_netlist.h"
#include "host_yosys_netlist.h"

namespace {

using namespace host_json;

int read_port_value(const JSON& value, const std::string& where)
{
    if (value.is_string()) {
        int port_type = 0;
        if (!host_port_type_from_name(value.get<std::string>(), port_type))
            fail(where, "unknown port name " + value.dump() + " (known: " + host_port_names() + ")");
        return port_type;
    }
    if (value.is_boolean() || !value.is_number_integer())
        fail(where, "expected a port number or name, got " + value.dump());
    return static_cast<int>(read_integer_value(value, where, 0, INT_MAX));
}

int read_port(const JSON& object, const std::string& where)
{
    const JSON* value = find_member(object, "port");
    return value == nullptr ? 0 : read_port_value(*value, member_path(where, "port"));
}

class DESIGN_READER {
public:
    // A device file is found relative to folder, the design file's own.
    DESIGN_READER(HOST_DESIGN& design, std::filesystem::path folder) : m_design(design), m_folder(std::move(folder))
    {
    }

    void read(const JSON& root)
    {
        require_object(root, "(top level)");
        check_keys(root, "", {"name", "atoms", "eda", "family", "clocks", "device", "voltage_settings"});
        m_design.set_name(read_string(root, "name", "", false, m_design.name()));
        m_design.set_family(read_int(root, "family", "", 0));
        const JSON* atoms = find_member(root, "atoms");
        if (atoms == nullptr)
            fail("atoms", "missing");
        require_array(*atoms, "atoms");
        for (std::size_t i = 0; i < atoms->size(); ++i)
            read_atom((*atoms)[i], element_path("atoms", i));
        for (const PENDING_INPUT& input : m_inputs)
            connect(input);
        for (const PENDING_COMPANION& companion : m_companions)
            link_companion(companion);
        for (const PENDING_TX_LINK& link : m_tx_links)
            link_tx_path(link);
        if (const JSON* eda = find_member(root, "eda"))
            read_eda(*eda, "eda");
        if (const JSON* clocks = find_member(root, "clocks")) {
            const JSON& list = require_array(*clocks, "clocks");
            for (std::size_t i = 0; i < list.size(); ++i)
                read_clock(list[i], element_path("clocks", i));
        }
        if (const JSON* device = find_member(root, "device"))
            read_device(*device, "device");
        check_locations();
        // After the device: voltages may be named by the device file's names.
        if (const JSON* settings = find_member(root, "voltage_settings"))
            read_voltage_settings(*settings, "voltage_settings");
    }

private:
    struct PENDING_INPUT {
        HOST_ATOM* sink;
        int port_type;
        std::string source;
        bool output_enable;
        int delay_ps;
        bool clock;
        HOST_INPUT_TIE tie;
        std::string where;
    };

    struct PENDING_COMPANION {
        HOST_ATOM* pin;
        std::string companion;
        std::string where;
    };

    struct PENDING_TX_LINK {
        HOST_ATOM* atom;
        HOST_TX_PATH_LINK link;
        std::string target;
        std::string where;
    };

    struct PLACED_ATOM {
        unsigned gid;
        std::string where;
    };

    void read_atom(const JSON& atom_json, const std::string& where)
    {
        require_object(atom_json, where);
        check_keys(atom_json, where,
                   {"name", "kind", "outputs", "inputs", "parameters", "power", "eda_pin_name", "atom_type",
                    "pin_with_companion_outputs", "output_b_load", "wire_lut", "companion", "report", "timing",
                    "implements", "location", "bonding", "tx_ser", "tx_buf", "rtc_assignment_ok"});
        std::string name = read_string(atom_json, "name", where, true);
        if (name.empty())
            fail(member_path(where, "name"), "must not be empty");
        if (!m_atom_names.emplace(name, where).second)
            fail(member_path(where, "name"), "atom " + in_quotes(name) + " is also defined at " + m_atom_names[name]);
        std::string kind_name = read_string(atom_json, "kind", where, true);
        HOST_ATOM_KIND kind = HOST_ATOM_KIND::OTHER;
        if (!host_atom_kind_from_name(kind_name, kind))
            fail(member_path(where, "kind"), "unknown atom kind " + in_quotes(kind_name));
        HOST_ATOM* atom = m_design.add_atom(name, kind);
        for_each_element(atom_json, "outputs", where,
                         [&](const JSON& output, const std::string& at) { read_output(atom, output, at); });
        check_pin_sides(atom, where);
        for_each_element(atom_json, "inputs", where,
                         [&](const JSON& input, const std::string& at) { read_input(atom, input, at); });
        for_each_numbered_member(atom_json, "parameters", where, [&](int number, const JSON& value,
                                                                     const std::string& at) {
            read_parameter(atom, number, value, at);
        });
        m_design.set_power_valid(atom, read_bool(atom_json, "power", where, true));
        if (find_member(atom_json, "eda_pin_name") != nullptr)
            m_design.set_eda_pin_name(atom, read_string(atom_json, "eda_pin_name", where, true));
        read_atom_properties(atom, atom_json, where);
        read_placement(atom, atom_json, where);
        read_tx_path(atom, atom_json, where);
    }

    // An integer (true and false read as 1 and 0), a text, or a bit vector
    // written as an array of true/false or 0/1, bit 0 first.
    void read_parameter(HOST_ATOM* atom, int number, const JSON& value, const std::string& where)
    {
        if (value.is_string()) {
            m_design.set_atom_string_parameter(atom, number, value.get<std::string>());
            return;
        }
        if (!value.is_array()) {
            if (!value.is_boolean() && !value.is_number_integer())
                fail(where, "expected an integer, a string or an array of bits, got " + value.dump());
            m_design.set_atom_parameter(atom, number, read_integer_value(value, where, LLONG_MIN, LLONG_MAX));
            return;
        }
        std::vector<bool> bits;
        for (std::size_t i = 0; i < value.size(); ++i)
            bits.push_back(read_integer_value(value[i], element_path(where, i), 0, 1) != 0);
        m_design.set_atom_bit_vector_parameter(atom, number, bits);
    }

    // A TX PCS atom names its serializer, a serializer its TX buffer.
    void read_tx_path(HOST_ATOM* atom, const JSON& atom_json, const std::string& where)
    {
        if (read_bool(atom_json, "rtc_assignment_ok", where, false))
            m_design.set_rtc_assignment_ok(atom, true);
        if (find_member(atom_json, "tx_ser") != nullptr)
            add_tx_link(atom, HOST_TX_PATH_LINK::SERIALIZER, atom_json, "tx_ser", where);
        if (find_member(atom_json, "tx_buf") == nullptr)
            return;
        if (!atom->is_hssi_pma_tx_ser_atom())
            fail(member_path(where, "tx_buf"), "needs the kind hssi_pma_tx_ser");
        add_tx_link(atom, HOST_TX_PATH_LINK::BUFFER, atom_json, "tx_buf", where);
    }

    void add_tx_link(HOST_ATOM* atom, HOST_TX_PATH_LINK link, const JSON& atom_json, const char* key,
                     const std::string& where)
    {
        m_tx_links.push_back(
            PENDING_TX_LINK{atom, link, read_string(atom_json, key, where, true), member_path(where, key)});
    }

    void link_tx_path(const PENDING_TX_LINK& pending)
    {
        HOST_ATOM* target = m_design.host_netlist()->find_atom(pending.target);
        if (target == nullptr)
            fail(pending.where, "no atom " + in_quotes(pending.target));
        if (pending.link == HOST_TX_PATH_LINK::BUFFER) {
            m_design.set_tx_buf_via_tx_ser(pending.atom, target);
            return;
        }
        if (!target->is_hssi_pma_tx_ser_atom())
            fail(pending.where, "atom " + in_quotes(pending.target) + " is not of kind hssi_pma_tx_ser");
        m_design.set_tx_ser_via_tx_pcs(pending.atom, target);
    }

    // The block the atom is placed on and its roles in the bonding walk.
    void read_placement(HOST_ATOM* atom, const JSON& atom_json, const std::string& where)
    {
        if (const JSON* location = find_member(atom_json, "location")) {
            const std::string location_where = member_path(where, "location");
            if (location->is_boolean())
                fail(location_where, "expected an integer, got " + location->dump());
            const auto gid = static_cast<unsigned>(
                read_integer_value(*location, location_where, 0, static_cast<long long>(DEV_ILLEGAL_GLOBAL_ID) - 1));
            m_design.set_atom_location(atom, gid);
            m_placed.push_back(PLACED_ATOM{gid, location_where});
        }
        const JSON* bonding = find_member(atom_json, "bonding");
        if (bonding == nullptr)
            return;
        const std::string bonding_where = member_path(where, "bonding");
        if (!bonding->is_array()) {
            m_design.set_atom_flag(atom, read_bonding_role(*bonding, bonding_where), true);
            return;
        }
        for (std::size_t i = 0; i < bonding->size(); ++i)
            m_design.set_atom_flag(atom, read_bonding_role((*bonding)[i], element_path(bonding_where, i)), true);
    }

    HOST_ATOM_FLAG read_bonding_role(const JSON& role, const std::string& where)
    {
        static const std::pair<const char*, HOST_ATOM_FLAG> s_roles[] = {
            {"multi_output", HOST_ATOM_BONDING_MULTI_OUTPUT},
            {"secondary", HOST_ATOM_BONDING_SECONDARY},
            {"pll", HOST_ATOM_BONDING_PLL},
            {"exempt", HOST_ATOM_BONDING_INDEX_EXEMPT},
        };
        if (!role.is_string())
            fail(where, "expected a bonding role, got " + role.dump());
        for (const auto& entry : s_roles) {
            if (role.get<std::string>() == entry.first)
                return entry.second;
        }
        fail(where, "unknown bonding role " + role.dump() + " (known: multi_output, secondary, pll, exempt)");
    }

    // With a device file, a location must name one of its blocks.
    void check_locations()
    {
        if (!m_device_file_loaded)
            return;
        for (const PLACED_ATOM& placed : m_placed) {
            if (!m_design.device()->has_block(placed.gid))
                fail(placed.where, "the device has no block " + std::to_string(placed.gid));
        }
    }

    // A fitted pin has a pad side: the clock domain calculator reports a pin
    // under its pad output and copies clock values between the two sides.
    void check_pin_sides(const HOST_ATOM* atom, const std::string& where)
    {
        if (!atom->is_pin_atom() || atom->get_output_term_by_type(DB_OPORT_PADIO, 0) != nullptr)
            return;
        if (atom->get_output_term_by_type(DB_OPORT_COMBOUT, 0) != nullptr ||
            atom->get_output_term_by_type(DB_OPORT_OUT, 0) != nullptr)
            fail(member_path(where, "outputs"), "a pin with a core-side output (combout or out) needs a pad_output too");
    }

    // The keys of the clock domain model; they are checked against the kind.
    void read_atom_properties(HOST_ATOM* atom, const JSON& atom_json, const std::string& where)
    {
        m_design.set_atom_type(atom, read_int(atom_json, "atom_type", where, 0));
        read_flag(atom, atom_json, "pin_with_companion_outputs", HOST_ATOM_PIN_WITH_COMPANION_OUTPUTS, where,
                  atom->is_pin_atom(), "needs a pin kind");
        read_flag(atom, atom_json, "output_b_load", HOST_ATOM_PIN_OUTPUT_B_LOAD, where, true, "");
        read_flag(atom, atom_json, "wire_lut", HOST_ATOM_WIRE_LUT, where,
                  atom->is_lcell_atom() || atom->is_lcell_comb_atom() || atom->is_lcell_ff_atom(),
                  "needs a logic cell kind (lcell, lcell_comb, lcell_ff)");
        m_design.set_atom_flag(atom, HOST_ATOM_UNTIMED, !read_bool(atom_json, "timing", where, true));
        if (!read_bool(atom_json, "report", where, true))
            m_design.set_reported(atom, false);
        for_each_element(atom_json, "implements", where, [&](const JSON& port, const std::string& at) {
            m_design.declare_port(atom, read_port_value(port, at));
        });
        if (find_member(atom_json, "companion") == nullptr)
            return;
        std::string companion_where = member_path(where, "companion");
        if (!atom->is_pin_atom())
            fail(companion_where, "needs a pin kind");
        m_companions.push_back(PENDING_COMPANION{atom, read_string(atom_json, "companion", where, true),
                                                 companion_where});
    }

    void read_flag(HOST_ATOM* atom, const JSON& atom_json, const char* key, HOST_ATOM_FLAG flag,
                   const std::string& where, bool allowed, const char* rule)
    {
        const bool value = read_bool(atom_json, key, where, false);
        if (value && !allowed)
            fail(member_path(where, key), rule);
        m_design.set_atom_flag(atom, flag, value);
    }

    void link_companion(const PENDING_COMPANION& pending)
    {
        HOST_ATOM* companion = m_design.host_netlist()->find_atom(pending.companion);
        if (companion == nullptr)
            fail(pending.where, "no atom " + in_quotes(pending.companion));
        if (companion == pending.pin)
            fail(pending.where, "a pin cannot be its own companion");
        m_design.set_companion(pending.pin, companion);
    }

    void read_output(HOST_ATOM* atom, const JSON& output, const std::string& where)
    {
        require_object(output, where);
        check_keys(output, where, {"hpath", "port", "registered", "eda_name", "data_fanin"});
        std::string hpath = read_string(output, "hpath", where, true);
        if (hpath.empty())
            fail(member_path(where, "hpath"), "must not be empty");
        if (!host_is_valid_hpath(hpath))
            fail(member_path(where, "hpath"), in_quotes(hpath) + " has an empty level");
        HOST_OTERM* oterm =
            m_design.add_output(atom, hpath, read_port(output, where), read_bool(output, "registered", where, false));
        m_outputs[hpath].push_back(oterm);
        if (find_member(output, "eda_name") != nullptr)
            m_design.set_eda_name(oterm, read_string(output, "eda_name", where, true));
        m_design.set_data_fanin(oterm, read_bool(output, "data_fanin", where, false));
    }

    void read_input(HOST_ATOM* atom, const JSON& input, const std::string& where)
    {
        require_object(input, where);
        check_keys(input, where, {"port", "source", "delay_ps", "output_enable", "clock", "logical"});
        std::string source;
        const JSON* source_json = find_member(input, "source");
        if (source_json != nullptr && !source_json->is_null())
            source = read_string(input, "source", where, true);
        HOST_INPUT_TIE tie = read_tie(input, where);
        if (tie != HOST_INPUT_TIE::NONE && !source.empty())
            fail(member_path(where, "logical"), "an input tied to a constant has no source");
        m_inputs.push_back(PENDING_INPUT{atom, read_port(input, where), source,
                                         read_bool(input, "output_enable", where, false),
                                         read_int(input, "delay_ps", where, -1, 0),
                                         read_bool(input, "clock", where, false), tie, where});
    }

    HOST_INPUT_TIE read_tie(const JSON& input, const std::string& where)
    {
        if (find_member(input, "logical") == nullptr)
            return HOST_INPUT_TIE::NONE;
        std::string value = read_string(input, "logical", where, true);
        if (value == "vcc")
            return HOST_INPUT_TIE::VCC;
        if (value == "gnd")
            return HOST_INPUT_TIE::GND;
        fail(member_path(where, "logical"), "expected \"vcc\" or \"gnd\", got " + in_quotes(value));
    }

    void connect(const PENDING_INPUT& input)
    {
        HOST_OTERM* source = nullptr;
        if (!input.source.empty())
            source = find_output(input.source, member_path(input.where, "source"));
        HOST_ITERM* iterm =
            m_design.add_input(input.sink, input.port_type, source, input.output_enable, input.delay_ps);
        m_design.set_clock_input(iterm, input.clock);
        m_design.tie_input(iterm, input.tie);
    }

    // The one output term of this hpath; where names the reference.
    HOST_OTERM* find_output(const std::string& hpath, const std::string& where)
    {
        auto it = m_outputs.find(hpath);
        if (it == m_outputs.end())
            fail(where, "no output term " + in_quotes(hpath));
        if (it->second.size() > 1)
            fail(where, in_quotes(hpath) + " names " + std::to_string(it->second.size()) + " output terms");
        return it->second.front();
    }

    void read_clock(const JSON& clock, const std::string& where)
    {
        require_object(clock, where);
        check_keys(clock, where, {"name", "period_ns", "waveform_ns", "targets"});
        std::string name = read_string(clock, "name", where, true);
        if (name.empty())
            fail(member_path(where, "name"), "must not be empty");
        if (m_design.clocks().find(name) != nullptr)
            fail(member_path(where, "name"), "clock " + in_quotes(name) + " is defined twice");
        int period_ps = TDC_INT_NOT_SET;
        double duty_cycle = 0.5;
        read_clock_times(clock, where, period_ps, duty_cycle);
        std::vector<HOST_OTERM*> targets;
        for_each_element(clock, "targets", where, [&](const JSON& target, const std::string& at) {
            if (!target.is_string())
                fail(at, std::string("expected a string, got ") + target.type_name());
            targets.push_back(find_output(target.get<std::string>(), at));
        });
        m_design.add_clock(name, period_ps, duty_cycle, targets);
    }

    // No period: a clock whose targets are clock nodes without a rate.
    void read_clock_times(const JSON& clock, const std::string& where, int& period_ps, double& duty_cycle)
    {
        const JSON* period = find_member(clock, "period_ns");
        const JSON* waveform = find_member(clock, "waveform_ns");
        if (period == nullptr) {
            if (waveform != nullptr)
                fail(member_path(where, "waveform_ns"), "needs period_ns");
            return;
        }
        std::vector<double> edges;
        if (waveform != nullptr) {
            const std::string waveform_where = member_path(where, "waveform_ns");
            const JSON& list = require_array(*waveform, waveform_where);
            for (std::size_t i = 0; i < list.size(); ++i)
                edges.push_back(read_number_value(list[i], element_path(waveform_where, i)));
        }
        std::string what;
        const double period_ns = read_number_value(*period, member_path(where, "period_ns"));
        if (!host_clock_times_from_ns(period_ns, waveform != nullptr ? &edges : nullptr, period_ps, duty_cycle, what))
            fail(member_path(where, waveform != nullptr ? "waveform_ns" : "period_ns"), what);
    }

    void read_device(const JSON& device, const std::string& where)
    {
        require_object(device, where);
        check_keys(device, where, {"file", "route_view", "route_data_loaded", "route_timing_data_loaded"});
        const bool view = read_bool(device, "route_view", where, false);
        const bool route = read_route_flag(device, "route_data_loaded", where, view);
        const bool route_timing = read_route_flag(device, "route_timing_data_loaded", where, view);
        if (find_member(device, "file") != nullptr)
            read_device_file(read_string(device, "file", where, true), member_path(where, "file"));
        // A device file's blocks made the view already; without the key the
        // view stays as it is.
        if (!view)
            return;
        m_design.device()->set_route_view(true);
        m_design.device()->set_route_data_loaded(route);
        m_design.device()->set_route_timing_data_loaded(route_timing);
    }

    void read_device_file(const std::string& file, const std::string& where)
    {
        if (file.empty())
            fail(where, "must not be empty");
        const std::filesystem::path path = m_folder / file;
        std::string error;
        if (!host_load_device_file(path.string(), *m_design.device(), error))
            fail(where, error);
        m_device_file_loaded = true;
    }

    // Loaded data needs the view that holds it.
    bool read_route_flag(const JSON& device, const char* key, const std::string& where, bool view)
    {
        const bool loaded = read_bool(device, key, where, false);
        if (loaded && !view)
            fail(member_path(where, key), "needs route_view");
        return loaded;
    }

    void read_voltage_settings(const JSON& settings, const std::string& where)
    {
        require_object(settings, where);
        check_keys(settings, where, {"voltages", "options", "string_options"});
        for_each_numbered_member(settings, "voltages", where, [&](int type, const JSON& value, const std::string& at) {
            m_design.set_user_voltage(static_cast<DEV_POWER_TYPE_NAME_ENUM>(type),
                                      static_cast<DEV_VOLTAGE_ENUM>(read_named(HOST_NAME_KIND::VOLTAGE, value, at)));
        });
        for_each_numbered_member(settings, "options", where, [&](int type, const JSON& value, const std::string& at) {
            m_design.set_user_voltage_option(
                static_cast<DEV_VOLTAGE_OPTION_TYPE_ENUM>(type),
                static_cast<DEV_VOLTAGE_OPTION_ENUM>(read_named(HOST_NAME_KIND::VOLTAGE_OPTION, value, at)));
        });
        const auto read_text = [&](int id, const JSON& text, const std::string& at) {
            if (!text.is_string())
                fail(at, std::string("expected a string, got ") + text.type_name());
            m_design.set_string_option(id, text.get<std::string>());
        };
        for_each_numbered_member(settings, "string_options", where, read_text);
    }

    // A voltage or voltage option: a number, or a name (the device's names
    // first) or a number written as text.
    int read_named(HOST_NAME_KIND kind, const JSON& value, const std::string& where)
    {
        const char* words = kind == HOST_NAME_KIND::VOLTAGE ? "voltage" : "voltage option";
        if (!value.is_string()) {
            if (value.is_boolean() || !value.is_number_integer())
                fail(where, std::string("expected a ") + words + " name or number, got " + value.dump());
            return static_cast<int>(read_integer_value(value, where, 0, INT_MAX));
        }
        const std::string text = value.get<std::string>();
        int number = 0;
        if (m_design.device()->value_of_name(kind, text, number))
            return number;
        if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
            return read_number_key(text, where);
        fail(where, std::string("unknown ") + words + " name " + in_quotes(text));
    }

    void read_eda(const JSON& eda, const std::string& where)
    {
        require_object(eda, where);
        check_keys(eda, where, {"netlist_type", "settings"});
        if (find_member(eda, "netlist_type") != nullptr)
            m_design.set_eda_tool(read_int(eda, "netlist_type", where, 0));
        read_numbered_values(eda, "settings", where, [&](int number, long long value, const std::string& at) {
            if (value < INT_MIN || value > INT_MAX)
                fail(at, "integer " + std::to_string(value) + " is out of range");
            m_design.set_eda_tool_setting(number, static_cast<int>(value));
        });
    }

    HOST_DESIGN& m_design;
    std::filesystem::path m_folder;
    bool m_device_file_loaded = false;
    std::vector<PLACED_ATOM> m_placed;
    std::unordered_map<std::string, std::string> m_atom_names;
    std::unordered_map<std::string, std::vector<HOST_OTERM*>> m_outputs;
    std::vector<PENDING_INPUT> m_inputs;
    std::vector<PENDING_COMPANION> m_companions;
    std::vector<PENDING_TX_LINK> m_tx_links;
};

}  // namespace

std::unique_ptr<HOST_DESIGN> host_load_design_text(const std::string& text, const std::string& label,
                                                   std::string& error)
{
    auto design = std::make_unique<HOST_DESIGN>();
    const bool loaded = host_json::load(text, label, error, [&](const JSON& root) {
        if (host_is_yosys_netlist(root))
            host_read_yosys_netlist(root, *design);
        else
            DESIGN_READER(*design, std::filesystem::path(label).parent_path()).read(root);
    });
    if (!loaded)
        return nullptr;
    return design;
}

std::unique_ptr<HOST_DESIGN> host_load_design_file(const std::string& path, std::string& error)
{
    std::string text;
    if (!host_json::read_file_text(path, "design file", text, error))
        return nullptr;
    return host_load_design_text(text, path, error);
}
