// Reference host design loader: reads the JSON design format, checks every
// key and type, and resolves input sources by hierarchy path after all atoms
// are read, so that atoms may appear in any order.
#include "host_design_loader.h"

#include <climits>
#include <fstream>
#include <sstream>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/tdb.h"
#include "host_device.h"
#include "host_hierarchy.h"
#include "host_netlist.h"

namespace {

using JSON = nlohmann::json;

// A problem in the design text: where (JSON path) and what.
struct FORMAT_ERROR {
    std::string where;
    std::string what;
};

[[noreturn]] void fail(const std::string& where, const std::string& what)
{
    throw FORMAT_ERROR{where, what};
}

std::string in_quotes(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string member_path(const std::string& where, const std::string& key)
{
    return where.empty() ? key : where + "." + key;
}

std::string element_path(const std::string& where, std::size_t index)
{
    return where + "[" + std::to_string(index) + "]";
}

void require_object(const JSON& value, const std::string& where)
{
    if (!value.is_object())
        fail(where, std::string("expected an object, got ") + value.type_name());
}

// Rejects keys the format does not have, so that a misspelt key is not
// silently ignored.
void check_keys(const JSON& object, const std::string& where, std::initializer_list<const char*> allowed)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* key : allowed)
            known = known || it.key() == key;
        if (!known)
            fail(member_path(where, it.key()), "unknown key");
    }
}

const JSON* find_member(const JSON& object, const char* key)
{
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::string read_string(const JSON& object, const char* key, const std::string& where, bool required,
                        const std::string& fallback = "")
{
    const JSON* value = find_member(object, key);
    if (value == nullptr) {
        if (required)
            fail(member_path(where, key), "missing");
        return fallback;
    }
    if (!value->is_string())
        fail(member_path(where, key), std::string("expected a string, got ") + value->type_name());
    return value->get<std::string>();
}

bool read_bool(const JSON& object, const char* key, const std::string& where, bool fallback)
{
    const JSON* value = find_member(object, key);
    if (value == nullptr)
        return fallback;
    if (!value->is_boolean())
        fail(member_path(where, key), std::string("expected true or false, got ") + value->dump());
    return value->get<bool>();
}

long long read_integer_value(const JSON& value, const std::string& where, long long low, long long high)
{
    if (value.is_boolean())
        return value.get<bool>() ? 1 : 0;
    if (!value.is_number_integer())
        fail(where, "expected an integer, got " + value.dump());
    if (value.is_number_unsigned() && value.get<unsigned long long>() > static_cast<unsigned long long>(LLONG_MAX))
        fail(where, "integer " + value.dump() + " is out of range");
    long long number = value.get<long long>();
    if (number < low || number > high)
        fail(where, "integer " + value.dump() + " is out of range " + std::to_string(low) + ".." +
                        std::to_string(high));
    return number;
}

int read_int(const JSON& object, const char* key, const std::string& where, int fallback, int low = INT_MIN)
{
    const JSON* value = find_member(object, key);
    if (value == nullptr)
        return fallback;
    if (value->is_boolean())
        fail(member_path(where, key), "expected an integer, got " + value->dump());
    return static_cast<int>(read_integer_value(*value, member_path(where, key), low, INT_MAX));
}

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

double read_number_value(const JSON& value, const std::string& where)
{
    if (value.is_boolean() || !value.is_number())
        fail(where, "expected a number, got " + value.dump());
    return value.get<double>();
}

const JSON& require_array(const JSON& value, const std::string& where)
{
    if (!value.is_array())
        fail(where, std::string("expected an array, got ") + value.type_name());
    return value;
}

// A numbered table such as {"12": 3, "979": true}.
template <class APPLY>
void read_numbered_values(const JSON& object, const char* key, const std::string& where, APPLY apply)
{
    const JSON* table = find_member(object, key);
    if (table == nullptr)
        return;
    std::string table_where = member_path(where, key);
    require_object(*table, table_where);
    for (auto it = table->begin(); it != table->end(); ++it) {
        std::string entry_where = member_path(table_where, it.key());
        std::size_t used = 0;
        int number = -1;
        try {
            number = std::stoi(it.key(), &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != it.key().size() || number < 0)
            fail(entry_where, "key must be a non-negative decimal number");
        apply(number, read_integer_value(it.value(), entry_where, LLONG_MIN, LLONG_MAX), entry_where);
    }
}

class DESIGN_READER {
public:
    explicit DESIGN_READER(HOST_DESIGN& design) : m_design(design) {}

    void read(const JSON& root)
    {
        require_object(root, "(top level)");
        check_keys(root, "", {"name", "atoms", "eda", "family", "clocks", "device"});
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
        if (const JSON* eda = find_member(root, "eda"))
            read_eda(*eda, "eda");
        if (const JSON* clocks = find_member(root, "clocks")) {
            const JSON& list = require_array(*clocks, "clocks");
            for (std::size_t i = 0; i < list.size(); ++i)
                read_clock(list[i], element_path("clocks", i));
        }
        if (const JSON* device = find_member(root, "device"))
            read_device(*device, "device");
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

    void read_atom(const JSON& atom_json, const std::string& where)
    {
        require_object(atom_json, where);
        check_keys(atom_json, where,
                   {"name", "kind", "outputs", "inputs", "parameters", "power", "eda_pin_name", "atom_type",
                    "pin_with_companion_outputs", "output_b_load", "wire_lut", "companion", "report", "timing",
                    "implements"});
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
        for_each_element(atom_json, "inputs", where,
                         [&](const JSON& input, const std::string& at) { read_input(atom, input, at); });
        read_numbered_values(atom_json, "parameters", where, [&](int number, long long value, const std::string&) {
            m_design.set_atom_parameter(atom, number, value);
        });
        m_design.set_power_valid(atom, read_bool(atom_json, "power", where, true));
        if (find_member(atom_json, "eda_pin_name") != nullptr)
            m_design.set_eda_pin_name(atom, read_string(atom_json, "eda_pin_name", where, true));
        read_atom_properties(atom, atom_json, where);
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

    template <class READ>
    void for_each_element(const JSON& object, const char* key, const std::string& where, READ read)
    {
        const JSON* list = find_member(object, key);
        if (list == nullptr)
            return;
        std::string list_where = member_path(where, key);
        require_array(*list, list_where);
        for (std::size_t i = 0; i < list->size(); ++i)
            read((*list)[i], element_path(list_where, i));
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
        check_keys(device, where, {"route_view", "route_data_loaded", "route_timing_data_loaded"});
        const bool view = read_bool(device, "route_view", where, false);
        const bool route = read_route_flag(device, "route_data_loaded", where, view);
        const bool route_timing = read_route_flag(device, "route_timing_data_loaded", where, view);
        m_design.device()->set_route_view(view);
        if (!view)
            return;
        m_design.device()->set_route_data_loaded(route);
        m_design.device()->set_route_timing_data_loaded(route_timing);
    }

    // Loaded data needs the view that holds it.
    bool read_route_flag(const JSON& device, const char* key, const std::string& where, bool view)
    {
        const bool loaded = read_bool(device, key, where, false);
        if (loaded && !view)
            fail(member_path(where, key), "needs route_view");
        return loaded;
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
    std::unordered_map<std::string, std::string> m_atom_names;
    std::unordered_map<std::string, std::vector<HOST_OTERM*>> m_outputs;
    std::vector<PENDING_INPUT> m_inputs;
    std::vector<PENDING_COMPANION> m_companions;
};

// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string without_exception_tag(const std::string& text)
{
    if (text.empty() || text[0] != '[')
        return text;
    std::string::size_type end = text.find("] ");
    return end == std::string::npos ? text : text.substr(end + 2);
}

}  // namespace

std::unique_ptr<HOST_DESIGN> host_load_design_text(const std::string& text, const std::string& label,
                                                   std::string& error)
{
    JSON root;
    try {
        root = JSON::parse(text);
    } catch (const JSON::parse_error& parse_error) {
        error = label + ": " + without_exception_tag(parse_error.what());
        return nullptr;
    }
    auto design = std::make_unique<HOST_DESIGN>();
    try {
        DESIGN_READER(*design).read(root);
    } catch (const FORMAT_ERROR& format_error) {
        error = label + ": " + (format_error.where.empty() ? "" : format_error.where + ": ") + format_error.what;
        return nullptr;
    } catch (const JSON::exception& json_error) {
        // Every type is checked before use; this is a last guard, not a path.
        error = label + ": " + without_exception_tag(json_error.what());
        return nullptr;
    }
    error.clear();
    return design;
}

std::unique_ptr<HOST_DESIGN> host_load_design_file(const std::string& path, std::string& error)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        error = path + ": cannot open the design file";
        return nullptr;
    }
    std::ostringstream text;
    text << stream.rdbuf();
    if (stream.bad()) {
        error = path + ": cannot read the design file";
        return nullptr;
    }
    return host_load_design_text(text.str(), path, error);
}
