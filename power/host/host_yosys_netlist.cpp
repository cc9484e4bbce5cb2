// Maps a flattened Yosys JSON netlist onto the reference host's design model:
// cells become logic cells or registers, top-level ports become pins, and
// every driven bit is an output term named after its net.
#include "host_yosys_netlist.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/cdb_atom.h"
#include "host_netlist.h"

namespace {

using namespace host_json;

// A bit is a net number or a constant written as a string ("0", "1", "x", "z").
using BIT = JSON;

bool is_word_register(const std::string& type)
{
    static const char* const s_types[] = {"$dff",  "$dffe",  "$adff",  "$adffe", "$sdff", "$sdffe",
                                          "$sdffce", "$dffsr", "$dffsre", "$aldff", "$aldffe"};
    for (const char* name : s_types) {
        if (type == name)
            return true;
    }
    return false;
}

// The gate-level flip-flops: $_DFF_P_, $_DFFE_PN0P_, $_DFFSR_PPP_, $_SDFF_PP0_,
// $_SDFFE_..., $_SDFFCE_..., $_ALDFF_..., ...
bool is_register(const std::string& type)
{
    for (const char* prefix : {"$_DFF", "$_SDFF", "$_ALDFF"}) {
        if (type.rfind(prefix, 0) == 0)
            return true;
    }
    return is_word_register(type);
}

bool is_clock_port(const std::string& type, const std::string& port)
{
    return is_word_register(type) ? port == "CLK" : port == "C";
}

bool is_tristate(const std::string& type) { return type == "$tribuf" || type == "$_TBUF_"; }

// Yosys writes attribute values as binary strings, or as numbers.
bool attribute_set(const JSON& object, const char* key)
{
    const JSON* attributes = find_member(object, "attributes");
    const JSON* value = attributes != nullptr && attributes->is_object() ? find_member(*attributes, key) : nullptr;
    if (value == nullptr)
        return false;
    if (value->is_string())
        return value->get<std::string>().find('1') != std::string::npos;
    return value->is_number_integer() && value->get<long long>() != 0;
}

class YOSYS_READER {
public:
    explicit YOSYS_READER(HOST_DESIGN& design) : m_design(design) {}

    void read(const JSON& root)
    {
        const std::string top = find_top(root);
        const JSON& module = root["modules"][top];
        const std::string where = member_path("modules", top);
        require_object(module, where);
        m_design.set_name(top);
        m_module_names = &root["modules"];
        name_bits(module, where);
        const JSON empty = JSON::object();
        const JSON* ports = find_member(module, "ports");
        const JSON* cells = find_member(module, "cells");
        if (ports != nullptr)
            require_object(*ports, member_path(where, "ports"));
        if (cells != nullptr)
            require_object(*cells, member_path(where, "cells"));
        const JSON& port_list = ports != nullptr ? *ports : empty;
        const JSON& cell_list = cells != nullptr ? *cells : empty;
        find_tristates(cell_list, member_path(where, "cells"));
        // Drivers first, so that inputs may name bits driven further on.
        for (auto it = port_list.begin(); it != port_list.end(); ++it)
            add_port_atoms(it.key(), it.value(), member_path(member_path(where, "ports"), it.key()));
        for (auto it = cell_list.begin(); it != cell_list.end(); ++it)
            add_cell_atom(it.key(), it.value(), member_path(member_path(where, "cells"), it.key()));
        for (const PENDING_INPUT& input : m_inputs)
            connect(input);
    }

private:
    struct PENDING_INPUT {
        HOST_ATOM* sink;
        int port_type;
        BIT bit;
        bool clock;
        bool output_enable;
    };

    // The module with the "top" attribute; a file of one module needs none.
    std::string find_top(const JSON& root)
    {
        const JSON& modules = root["modules"];
        if (modules.empty())
            fail("modules", "no module");
        std::string top;
        for (auto it = modules.begin(); it != modules.end(); ++it) {
            require_object(it.value(), member_path("modules", it.key()));
            if (attribute_set(it.value(), "top")) {
                if (!top.empty())
                    fail("modules", "both " + in_quotes(top) + " and " + in_quotes(it.key()) + " are marked top");
                top = it.key();
            }
        }
        if (!top.empty())
            return top;
        if (modules.size() == 1)
            return modules.begin().key();
        fail("modules", "no module has the \"top\" attribute");
    }

    // The hierarchy path of each net bit: a public name (hide_name 0) before
    // a hidden one, a name that is not a top-level port before a port's, so
    // that a register behind an output port keeps its own name.
    void name_bits(const JSON& module, const std::string& where)
    {
        const JSON* netnames = find_member(module, "netnames");
        if (netnames == nullptr)
            return;
        const std::string netnames_where = member_path(where, "netnames");
        require_object(*netnames, netnames_where);
        const JSON* ports = find_member(module, "ports");
        std::unordered_map<long long, int> rank;
        for (auto it = netnames->begin(); it != netnames->end(); ++it) {
            const std::string net_where = member_path(netnames_where, it.key());
            require_object(it.value(), net_where);
            const bool hidden = read_int(it.value(), "hide_name", net_where, 0) != 0;
            const bool port = ports != nullptr && ports->is_object() && ports->contains(it.key());
            const int net_rank = hidden ? 2 : port ? 1 : 0;
            const std::vector<std::string> levels = net_levels(it.key(), it.value());
            const JSON& bits = require_array(value_of(it.value(), "bits", net_where), member_path(net_where, "bits"));
            for (std::size_t i = 0; i < bits.size(); ++i) {
                if (!bits[i].is_number_integer())
                    continue;
                const long long bit = bits[i].get<long long>();
                auto known = rank.find(bit);
                if (known != rank.end() && known->second <= net_rank)
                    continue;
                rank[bit] = net_rank;
                std::vector<std::string> bit_levels = levels;
                if (bits.size() > 1)
                    bit_levels.back() += "[" + std::to_string(bit_index(it.value(), bits.size(), i)) + "]";
                m_bit_names[bit] = bit_levels;
            }
        }
    }

    // A flattened net keeps its levels in the hdlname attribute ("u1 q").
    static std::vector<std::string> net_levels(const std::string& name, const JSON& net)
    {
        const JSON* attributes = find_member(net, "attributes");
        const JSON* hdlname = attributes != nullptr && attributes->is_object() ? find_member(*attributes, "hdlname")
                                                                               : nullptr;
        std::vector<std::string> levels;
        if (hdlname != nullptr && hdlname->is_string()) {
            std::string level;
            for (char c : hdlname->get<std::string>() + " ") {
                if (c != ' ') {
                    level += c;
                } else if (!level.empty()) {
                    levels.push_back(level);
                    level.clear();
                }
            }
        }
        if (levels.empty())
            levels.push_back(name.empty() ? "$net" : name);
        return levels;
    }

    // The declared index of bit i: "offset" is the lowest index, "upto" a
    // [low:high] declaration whose first bit is the lowest.
    static long long bit_index(const JSON& net, std::size_t width, std::size_t i)
    {
        const JSON* offset = find_member(net, "offset");
        const long long base = offset != nullptr && offset->is_number_integer() ? offset->get<long long>() : 0;
        const JSON* upto = find_member(net, "upto");
        const bool up = upto != nullptr && upto->is_number_integer() && upto->get<long long>() != 0;
        return base + static_cast<long long>(up ? width - 1 - i : i);
    }

    static const JSON& value_of(const JSON& object, const char* key, const std::string& where)
    {
        const JSON* value = find_member(object, key);
        if (value == nullptr)
            fail(member_path(where, key), "missing");
        return *value;
    }

    // The levels of a bit's name; a bit no net names takes its driver's.
    std::vector<std::string> bit_levels(const BIT& bit, const std::string& fallback)
    {
        auto it = m_bit_names.find(bit.get<long long>());
        return it != m_bit_names.end() ? it->second : std::vector<std::string>{fallback};
    }

    // One pin atom per port bit, named "port" or "port[i]". An output pin's
    // pad side takes the port's name; the cell behind it keeps the net's.
    void add_port_atoms(const std::string& name, const JSON& port, const std::string& where)
    {
        require_object(port, where);
        const std::string direction = read_string(port, "direction", where, true);
        const JSON& bits = require_array(value_of(port, "bits", where), member_path(where, "bits"));
        for (std::size_t i = 0; i < bits.size(); ++i) {
            const std::string bit_name =
                bits.size() > 1 ? name + "[" + std::to_string(bit_index(port, bits.size(), i)) + "]" : name;
            const std::string bit_where = element_path(member_path(where, "bits"), i);
            check_bit(bits[i], bit_where);
            if (direction == "input") {
                HOST_ATOM* pin = add_named_atom(bit_name, HOST_ATOM_KIND::INPUT_PIN, where);
                add_pin_outputs(pin, bits[i], bit_name, bit_where);
            } else if (direction == "output") {
                HOST_ATOM* pin = add_named_atom(bit_name, HOST_ATOM_KIND::OUTPUT_PIN, where);
                m_design.add_output(pin, pad_levels(bits[i], bit_name), DB_OPORT_PADIO, false);
                m_inputs.push_back(PENDING_INPUT{pin, 0, bits[i], false, false});
            } else if (direction == "inout") {
                HOST_ATOM* pad = add_named_atom(bit_name, HOST_ATOM_KIND::BIDIR_PAD, where);
                add_pin_outputs(pad, bits[i], bit_name, bit_where);
                add_pad_drive(pad, bits[i]);
            } else {
                fail(member_path(where, "direction"), "expected input, output or inout, got " + in_quotes(direction));
            }
        }
    }

    // A pin's core side drives the bit under the port's name, its pad side
    // is "port~pad": a waveform annotates one term per name.
    void add_pin_outputs(HOST_ATOM* pin, const BIT& bit, const std::string& bit_name, const std::string& where)
    {
        if (!bit.is_number_integer())
            fail(where, "an input port bit must be a net, got " + bit.dump());
        HOST_OTERM* core = m_design.add_output(pin, std::vector<std::string>{bit_name}, DB_OPORT_COMBOUT, false);
        m_design.add_output(pin, std::vector<std::string>{bit_name + "~pad"}, DB_OPORT_PADIO, false);
        drive(bit, core, where);
    }

    // An output pin's pad side takes the port's name unless the cell that
    // drives the port already has it.
    std::vector<std::string> pad_levels(const BIT& bit, const std::string& bit_name)
    {
        if (bit.is_number_integer() && bit_levels(bit, "") == std::vector<std::string>{bit_name})
            return {bit_name + "~pad"};
        return {bit_name};
    }

    // A bidirectional pad takes its data and output enable from the
    // tristate buffer that drives its bit, if the netlist has one.
    void add_pad_drive(HOST_ATOM* pad, const BIT& bit)
    {
        auto it = m_tristates.find(bit.get<long long>());
        if (it == m_tristates.end())
            return;
        m_inputs.push_back(PENDING_INPUT{pad, 0, it->second.first, false, false});
        m_inputs.push_back(PENDING_INPUT{pad, CDB_PORT_TYPE_OUTPUT_ENABLE, it->second.second, false, true});
    }

    // The data and enable bits of the tristate buffers, by the bit they drive.
    void find_tristates(const JSON& cells, const std::string& where)
    {
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            const std::string cell_where = member_path(where, it.key());
            require_object(it.value(), cell_where);
            if (!is_tristate(read_string(it.value(), "type", cell_where, true)))
                continue;
            const JSON& connections = value_of(it.value(), "connections", cell_where);
            const JSON* a = find_member(connections, "A");
            const JSON* enable = find_member(connections, "EN");
            if (enable == nullptr)
                enable = find_member(connections, "E");
            const JSON* y = find_member(connections, "Y");
            if (a == nullptr || enable == nullptr || y == nullptr || !a->is_array() || !y->is_array() ||
                !enable->is_array() || enable->empty())
                continue;
            for (std::size_t i = 0; i < y->size() && i < a->size(); ++i) {
                if ((*y)[i].is_number_integer())
                    m_tristates[(*y)[i].get<long long>()] = {(*a)[i], enable->size() > i ? (*enable)[i] : (*enable)[0]};
            }
        }
    }

    void add_cell_atom(const std::string& name, const JSON& cell, const std::string& where)
    {
        const std::string type = read_string(cell, "type", where, true);
        if (m_module_names->contains(type))
            fail(member_path(where, "type"),
                 "instance of module " + in_quotes(type) + ": only flattened netlists are read (synth -flatten)");
        const bool registered = is_register(type);
        HOST_ATOM* atom = add_named_atom(name, registered ? HOST_ATOM_KIND::LCELL_FF : HOST_ATOM_KIND::LCELL_COMB, where);
        const JSON& connections = value_of(cell, "connections", where);
        require_object(connections, member_path(where, "connections"));
        const JSON* directions = find_member(cell, "port_directions");
        int input_port = 0;
        for (auto it = connections.begin(); it != connections.end(); ++it) {
            const std::string at = member_path(member_path(where, "connections"), it.key());
            const JSON& bits = require_array(it.value(), at);
            const std::string direction = directions != nullptr && directions->is_object()
                                              ? read_string(*directions, it.key().c_str(),
                                                            member_path(where, "port_directions"), false, "input")
                                              : "input";
            if (direction == "output") {
                add_cell_outputs(atom, name + "." + it.key(), bits, registered, at);
                continue;
            }
            const bool clock = registered && is_clock_port(type, it.key());
            for (std::size_t i = 0; i < bits.size(); ++i) {
                check_bit(bits[i], element_path(at, i));
                m_inputs.push_back(PENDING_INPUT{atom, input_port, bits[i], clock, false});
            }
            ++input_port;
        }
    }

    void add_cell_outputs(HOST_ATOM* atom, const std::string& port_name, const JSON& bits, bool registered,
                          const std::string& where)
    {
        for (std::size_t i = 0; i < bits.size(); ++i) {
            const std::string bit_where = element_path(where, i);
            check_bit(bits[i], bit_where);
            if (!bits[i].is_number_integer())
                continue;
            const std::string fallback = bits.size() > 1 ? port_name + "[" + std::to_string(i) + "]" : port_name;
            // A bit of an inout port is driven by its pad; the tristate
            // buffer that feeds the pad gets a term of its own name.
            std::vector<std::string> levels = bit_levels(bits[i], fallback);
            const bool pad_bit = m_pad_bits.count(bits[i].get<long long>()) != 0;
            if (pad_bit)
                levels.back() += "~tribuf";
            HOST_OTERM* oterm = m_design.add_output(atom, levels, 0, registered);
            if (!pad_bit)
                drive(bits[i], oterm, bit_where);
        }
    }

    void drive(const BIT& bit, HOST_OTERM* oterm, const std::string& where)
    {
        if (!m_drivers.emplace(bit.get<long long>(), oterm).second)
            fail(where, "net " + bit.dump() + " has two drivers");
        if (oterm->atom()->is_pin_atom())
            m_pad_bits.insert(bit.get<long long>());
    }

    static void check_bit(const BIT& bit, const std::string& where)
    {
        if (bit.is_number_integer())
            return;
        if (bit.is_string()) {
            const std::string text = bit.get<std::string>();
            if (text == "0" || text == "1" || text == "x" || text == "z")
                return;
        }
        fail(where, "expected a net number or \"0\", \"1\", \"x\", \"z\", got " + bit.dump());
    }

    HOST_ATOM* add_named_atom(const std::string& name, HOST_ATOM_KIND kind, const std::string& where)
    {
        if (m_design.host_netlist()->find_atom(name) != nullptr)
            fail(where, "atom " + in_quotes(name) + " is defined twice");
        return m_design.add_atom(name, kind);
    }

    // Constant bits tie the input ("x" to ground); a bit without a driver
    // leaves it unconnected.
    void connect(const PENDING_INPUT& input)
    {
        HOST_OTERM* source = nullptr;
        HOST_INPUT_TIE tie = HOST_INPUT_TIE::NONE;
        if (input.bit.is_number_integer()) {
            auto it = m_drivers.find(input.bit.get<long long>());
            if (it != m_drivers.end())
                source = it->second;
        } else if (input.bit.get<std::string>() == "1") {
            tie = HOST_INPUT_TIE::VCC;
        } else if (input.bit.get<std::string>() != "z") {
            tie = HOST_INPUT_TIE::GND;
        }
        HOST_ITERM* iterm = m_design.add_input(input.sink, input.port_type, source, input.output_enable);
        m_design.set_clock_input(iterm, input.clock);
        m_design.tie_input(iterm, tie);
    }

    HOST_DESIGN& m_design;
    const JSON* m_module_names = nullptr;
    std::unordered_map<long long, std::vector<std::string>> m_bit_names;
    std::unordered_map<long long, HOST_OTERM*> m_drivers;
    std::unordered_set<long long> m_pad_bits;
    // Driven bit -> (data bit, enable bit) of a tristate buffer.
    std::unordered_map<long long, std::pair<BIT, BIT>> m_tristates;
    std::vector<PENDING_INPUT> m_inputs;
};

}  // namespace

bool host_is_yosys_netlist(const JSON& root)
{
    if (!root.is_object())
        return false;
    const JSON* modules = find_member(root, "modules");
    const JSON* creator = find_member(root, "creator");
    return modules != nullptr && modules->is_object() && creator != nullptr && creator->is_string();
}

void host_read_yosys_netlist(const JSON& root, HOST_DESIGN& design) { YOSYS_READER(design).read(root); }
