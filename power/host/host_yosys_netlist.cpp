// Maps a Yosys JSON netlist onto the reference host's design model:
// instances are walked into, cells become logic cells or registers, the top
// module's ports become pins, and every driven bit is an output term named
// after its net.
#include "host_yosys_netlist.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/cdb_atom.h"
#include "host_hierarchy.h"
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
        m_modules = &root["modules"];
        const std::string top = find_top();
        const JSON& module = (*m_modules)[top];
        const std::string where = member_path("modules", top);
        m_design.set_name(top);
        std::unordered_map<long long, BIT> top_bits;
        elaborate(top, module, {}, top_bits, where);
        find_tristates();
        // Drivers first, so that inputs may name bits driven further on.
        if (const JSON* ports = find_member(module, "ports")) {
            require_object(*ports, member_path(where, "ports"));
            for (auto it = ports->begin(); it != ports->end(); ++it)
                add_port_atoms(it.key(), it.value(), member_path(member_path(where, "ports"), it.key()));
        }
        for (const FLAT_CELL& cell : m_cells)
            add_cell_atom(cell);
        for (const PENDING_INPUT& input : m_inputs)
            connect(input);
        add_aliases();
    }

private:
    struct PENDING_INPUT {
        HOST_ATOM* sink;
        int port_type;
        BIT bit;
        bool clock;
        bool output_enable;
    };

    struct FLAT_PORT {
        std::string name;
        bool output;
        std::vector<BIT> bits;
        std::string where;
    };

    // A cell of the flattened design: its instance levels and its ports
    // with their bits in the top module's numbering.
    struct FLAT_CELL {
        std::vector<std::string> levels;
        std::string type;
        std::vector<FLAT_PORT> ports;
        std::string where;
    };

    // The module with the "top" attribute; a file of one module needs none.
    std::string find_top()
    {
        if (m_modules->empty())
            fail("modules", "no module");
        std::string top;
        for (auto it = m_modules->begin(); it != m_modules->end(); ++it) {
            require_object(it.value(), member_path("modules", it.key()));
            if (attribute_set(it.value(), "top")) {
                if (!top.empty())
                    fail("modules", "both " + in_quotes(top) + " and " + in_quotes(it.key()) + " are marked top");
                top = it.key();
            }
        }
        if (!top.empty())
            return top;
        if (m_modules->size() == 1)
            return m_modules->begin().key();
        fail("modules", "no module has the \"top\" attribute");
    }

    // The bit in the top module's numbering: a module's own nets get new
    // numbers, its ports the bits its instance connects them to.
    BIT global_bit(std::unordered_map<long long, BIT>& bits, const BIT& bit)
    {
        if (!bit.is_number_integer())
            return bit;
        auto it = bits.find(bit.get<long long>());
        if (it != bits.end())
            return it->second;
        const BIT fresh = m_next_bit++;
        bits.emplace(bit.get<long long>(), fresh);
        return fresh;
    }

    // Names the module's nets and collects its cells below the instance
    // levels prefix; instances of other modules of the file are walked into.
    void elaborate(const std::string& name, const JSON& module, const std::vector<std::string>& prefix,
                   std::unordered_map<long long, BIT>& bits, const std::string& where)
    {
        require_object(module, where);
        // A module already open on the way down is a cycle; the depth is
        // bounded too, since each level is a frame of this walk.
        if (m_open_modules.count(name) != 0)
            fail(where, "module " + in_quotes(name) + " instantiates itself");
        if (prefix.size() > MAX_HIERARCHY_DEPTH)
            fail(where, "the hierarchy is deeper than " + std::to_string(MAX_HIERARCHY_DEPTH) + " levels");
        m_open_modules.insert(name);
        elaborate_open(module, prefix, bits, where);
        m_open_modules.erase(name);
    }

    void elaborate_open(const JSON& module, const std::vector<std::string>& prefix,
                        std::unordered_map<long long, BIT>& bits, const std::string& where)
    {
        if (prefix.empty()) {
            // The top module keeps its numbering.
            m_next_bit = 1LL << 40;
            collect_top_bits(module, bits);
        }
        name_bits(module, prefix, bits, where, prefix.empty());
        const JSON* cells = find_member(module, "cells");
        if (cells == nullptr)
            return;
        const std::string cells_where = member_path(where, "cells");
        require_object(*cells, cells_where);
        for (auto it = cells->begin(); it != cells->end(); ++it) {
            const std::string cell_where = member_path(cells_where, it.key());
            require_object(it.value(), cell_where);
            const std::string type = read_string(it.value(), "type", cell_where, true);
            const JSON& connections = value_of(it.value(), "connections", cell_where);
            require_object(connections, member_path(cell_where, "connections"));
            std::vector<std::string> levels = prefix;
            levels.push_back(it.key());
            if (m_modules->contains(type)) {
                instantiate(type, connections, levels, bits, cell_where);
                continue;
            }
            FLAT_CELL cell{levels, type, {}, cell_where};
            const JSON* directions = find_member(it.value(), "port_directions");
            for (auto port = connections.begin(); port != connections.end(); ++port) {
                const std::string at = member_path(member_path(cell_where, "connections"), port.key());
                const JSON& port_bits = require_array(port.value(), at);
                const std::string directions_where = member_path(cell_where, "port_directions");
                const bool output = directions != nullptr && directions->is_object() &&
                                    read_string(*directions, port.key().c_str(), directions_where, false) == "output";
                FLAT_PORT flat{port.key(), output, {}, at};
                for (std::size_t i = 0; i < port_bits.size(); ++i) {
                    check_bit(port_bits[i], element_path(at, i));
                    flat.bits.push_back(global_bit(bits, port_bits[i]));
                }
                cell.ports.push_back(std::move(flat));
            }
            m_cells.push_back(std::move(cell));
        }
    }

    static void collect_top_bits(const JSON& module, std::unordered_map<long long, BIT>& bits)
    {
        for (const char* key : {"ports", "netnames"}) {
            const JSON* table = find_member(module, key);
            if (table == nullptr || !table->is_object())
                continue;
            for (const JSON& entry : *table) {
                const JSON* list = entry.is_object() ? find_member(entry, "bits") : nullptr;
                if (list == nullptr || !list->is_array())
                    continue;
                for (const JSON& bit : *list) {
                    if (bit.is_number_integer())
                        bits.emplace(bit.get<long long>(), bit);
                }
            }
        }
    }

    // An instance of a module of the file: its ports take the bits the
    // instance connects.
    void instantiate(const std::string& type, const JSON& connections, const std::vector<std::string>& levels,
                     std::unordered_map<long long, BIT>& parent_bits, const std::string& where)
    {
        const JSON& module = (*m_modules)[type];
        const std::string module_where = member_path("modules", type);
        require_object(module, module_where);
        std::unordered_map<long long, BIT> bits;
        const JSON* ports = find_member(module, "ports");
        for (auto it = connections.begin(); it != connections.end(); ++it) {
            const std::string at = member_path(member_path(where, "connections"), it.key());
            const JSON* port = ports != nullptr && ports->is_object() ? find_member(*ports, it.key().c_str()) : nullptr;
            if (port == nullptr)
                fail(at, "module " + in_quotes(type) + " has no port " + in_quotes(it.key()));
            const JSON& inner = require_array(value_of(*port, "bits", member_path(module_where, "ports")), at);
            const JSON& outer = require_array(it.value(), at);
            for (std::size_t i = 0; i < inner.size() && i < outer.size(); ++i) {
                check_bit(outer[i], element_path(at, i));
                if (inner[i].is_number_integer())
                    bits.emplace(inner[i].get<long long>(), global_bit(parent_bits, outer[i]));
            }
        }
        elaborate(type, module, levels, bits, module_where);
    }

    // The hierarchy path of each net bit: a public name (hide_name 0) before
    // a hidden one, a name that is not a port of its module before a port's,
    // so that a register behind an output port keeps its own name; among
    // equals, the name met first (the upper instance's) stays.
    void name_bits(const JSON& module, const std::vector<std::string>& prefix,
                   std::unordered_map<long long, BIT>& bits, const std::string& where, bool top)
    {
        const JSON* netnames = find_member(module, "netnames");
        if (netnames == nullptr)
            return;
        const std::string netnames_where = member_path(where, "netnames");
        require_object(*netnames, netnames_where);
        const JSON* ports = find_member(module, "ports");
        for (auto it = netnames->begin(); it != netnames->end(); ++it) {
            const std::string net_where = member_path(netnames_where, it.key());
            require_object(it.value(), net_where);
            const bool hidden = read_int(it.value(), "hide_name", net_where, 0) != 0;
            const bool port = ports != nullptr && ports->is_object() && ports->contains(it.key());
            const int net_rank = hidden ? 2 : port ? 1 : 0;
            std::vector<std::string> levels = prefix;
            for (std::string& level : net_levels(it.key(), it.value(), top))
                levels.push_back(std::move(level));
            const JSON& net_bits =
                require_array(value_of(it.value(), "bits", net_where), member_path(net_where, "bits"));
            const HOST_DESIGN_SIGNAL signal = design_signal(it.value(), net_bits.size());
            for (std::size_t i = 0; i < net_bits.size(); ++i) {
                if (!net_bits[i].is_number_integer())
                    continue;
                const long long bit = global_bit(bits, net_bits[i]).get<long long>();
                std::vector<std::string> bit_levels = levels;
                if (net_bits.size() > 1)
                    bit_levels.back() += "[" + std::to_string(bit_index(it.value(), net_bits.size(), i)) + "]";
                if (!hidden)
                    m_public_names.push_back(PUBLIC_NAME{bit, bit_levels, signal});
                auto known = m_bit_ranks.find(bit);
                if (known != m_bit_ranks.end() && known->second <= net_rank)
                    continue;
                m_bit_ranks[bit] = net_rank;
                m_bit_names[bit] = std::move(bit_levels);
            }
        }
    }

    // Every other public name of a named bit names its term too, so that a
    // waveform dumped to any depth finds it; the term keeps its own name.
    // Then each name in a generate block gets its module-scope spelling.
    void add_aliases()
    {
        std::vector<std::pair<HOST_INSTANCE*, const PUBLIC_NAME*>> named;
        for (const PUBLIC_NAME& name : m_public_names) {
            const std::vector<std::string>& shown = m_bit_names.at(name.bit);
            HOST_INSTANCE* target = find_name(shown);
            if (target == nullptr)
                continue;
            named.emplace_back(target, &name);
            if (name.levels == shown)
                target->set_design_signal(name.signal);
            else if (m_design.root()->add_alias(name.levels, target))
                set_design_signal(name.levels, name.signal);
        }
        for (const auto& [target, name] : named)
            add_block_alias(name->levels, name->signal, target);
    }

    void set_design_signal(const std::vector<std::string>& levels, const HOST_DESIGN_SIGNAL& signal)
    {
        if (HOST_INSTANCE* instance = find_name(levels))
            instance->set_design_signal(signal);
    }

    // Yosys marks a state register that its fsm pass re-encoded ("onehot",
    // "fsm_encoding"); "fsm_encoding": "none" keeps the source's encoding.
    static HOST_DESIGN_SIGNAL design_signal(const JSON& net, std::size_t width)
    {
        HOST_DESIGN_SIGNAL signal;
        signal.width = static_cast<int>(std::min<std::size_t>(width, INT_MAX));
        const JSON* upto = find_member(net, "upto");
        signal.ascending = upto != nullptr && upto->is_number_integer() && upto->get<long long>() != 0;
        const JSON* attributes = find_member(net, "attributes");
        if (attributes == nullptr || !attributes->is_object())
            return signal;
        signal.recoded = attribute_set(net, "onehot");
        for (auto it = attributes->begin(); it != attributes->end() && !signal.recoded; ++it) {
            signal.recoded = it.key().rfind("fsm_", 0) == 0 &&
                             !(it.value().is_string() && it.value().get<std::string>() == "none");
        }
        return signal;
    }

    // Yosys joins levels with "." where a name lost its hierarchy: a net of
    // a generate block ("lane[0].r", as Icarus names its "begin" scopes),
    // an instance inside a block ("lane[0].u_lane"), and the words of a
    // flattened memory ("core.fifo.mem[9]", named after the flattening and
    // so without their levels). Simulators that dump these as module
    // scopes ("lane[0]", then "r"; "core", "fifo", "mem[9]") find them by
    // that spelling too; a name that is already taken keeps its term.
    void add_block_alias(const std::vector<std::string>& levels, const HOST_DESIGN_SIGNAL& signal,
                         HOST_INSTANCE* target)
    {
        std::vector<std::string> spelled;
        for (const std::string& level : levels) {
            const std::vector<std::string> parts = split_blocks(level);
            spelled.insert(spelled.end(), parts.begin(), parts.end());
        }
        if (spelled.size() == levels.size())
            return;
        if (m_design.root()->add_alias(spelled, target))
            set_design_signal(spelled, signal);
    }

    // "lane[0].r" is "lane[0]", "r"; an empty part leaves the name whole.
    static std::vector<std::string> split_blocks(const std::string& name)
    {
        std::vector<std::string> parts(1);
        for (char c : name) {
            if (c == '.')
                parts.emplace_back();
            else
                parts.back() += c;
        }
        for (const std::string& part : parts) {
            if (part.empty())
                return {name};
        }
        return parts;
    }

    HOST_INSTANCE* find_name(const std::vector<std::string>& levels) const
    {
        HOST_INSTANCE* instance = m_design.root();
        for (std::size_t i = 0; i < levels.size() && instance != nullptr; ++i)
            instance = instance->find_child(levels[i]);
        return instance;
    }

    // A flattened net keeps its levels in the hdlname attribute ("u1 q");
    // inside an instance the net's own name is the leaf.
    static std::vector<std::string> net_levels(const std::string& name, const JSON& net, bool top)
    {
        const JSON* attributes = find_member(net, "attributes");
        const JSON* hdlname = attributes != nullptr && attributes->is_object() ? find_member(*attributes, "hdlname")
                                                                               : nullptr;
        std::vector<std::string> levels;
        if (top && hdlname != nullptr && hdlname->is_string()) {
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
    std::vector<std::string> bit_levels(const BIT& bit, const std::vector<std::string>& fallback)
    {
        auto it = m_bit_names.find(bit.get<long long>());
        return it != m_bit_names.end() ? it->second : fallback;
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
                add_pin_outputs(pin, bits[i], bit_name, bit_name + "~pad", bit_where);
            } else if (direction == "output") {
                HOST_ATOM* pin = add_named_atom(bit_name, HOST_ATOM_KIND::OUTPUT_PIN, where);
                m_design.add_output(pin, pad_levels(bits[i], bit_name), DB_OPORT_PADIO, false);
                m_inputs.push_back(PENDING_INPUT{pin, 0, bits[i], false, false});
            } else if (direction == "inout") {
                HOST_ATOM* pad = add_named_atom(bit_name, HOST_ATOM_KIND::BIDIR_PAD, where);
                add_pin_outputs(pad, bits[i], bit_name + "~core", bit_name, bit_where);
                add_pad_drive(pad, bits[i]);
            } else {
                fail(member_path(where, "direction"), "expected input, output or inout, got " + in_quotes(direction));
            }
        }
    }

    // A pin's core side drives the bit; its pad side is the pin's other
    // term. A waveform annotates one term per name, so only one side takes
    // the port's name: the core side of an input pin, the pad side of a
    // bidirectional one (docs/yosys-netlists.md, "Names").
    void add_pin_outputs(HOST_ATOM* pin, const BIT& bit, const std::string& core_name, const std::string& pad_name,
                         const std::string& where)
    {
        if (!bit.is_number_integer())
            fail(where, "an input port bit must be a net, got " + bit.dump());
        HOST_OTERM* core = m_design.add_output(pin, std::vector<std::string>{core_name}, DB_OPORT_COMBOUT, false);
        m_design.add_output(pin, std::vector<std::string>{pad_name}, DB_OPORT_PADIO, false);
        // Two ports on one net (Yosys joins an inout to what drives it):
        // the first pin drives it.
        if (m_drivers.count(bit.get<long long>()) == 0)
            drive(bit, core, where);
    }

    // An output pin's pad side takes the port's name unless the cell that
    // drives the port already has it.
    std::vector<std::string> pad_levels(const BIT& bit, const std::string& bit_name)
    {
        if (bit.is_number_integer() && bit_levels(bit, {}) == std::vector<std::string>{bit_name})
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
    void find_tristates()
    {
        for (const FLAT_CELL& cell : m_cells) {
            if (!is_tristate(cell.type))
                continue;
            const FLAT_PORT* a = find_port(cell, "A");
            const FLAT_PORT* enable = find_port(cell, "EN");
            if (enable == nullptr)
                enable = find_port(cell, "E");
            const FLAT_PORT* y = find_port(cell, "Y");
            if (a == nullptr || enable == nullptr || y == nullptr || enable->bits.empty())
                continue;
            for (std::size_t i = 0; i < y->bits.size() && i < a->bits.size(); ++i) {
                if (y->bits[i].is_number_integer())
                    m_tristates[y->bits[i].get<long long>()] = {
                        a->bits[i], enable->bits.size() > i ? enable->bits[i] : enable->bits[0]};
            }
        }
    }

    static const FLAT_PORT* find_port(const FLAT_CELL& cell, const char* name)
    {
        for (const FLAT_PORT& port : cell.ports) {
            if (port.name == name)
                return &port;
        }
        return nullptr;
    }

    // An atom named by its instance levels joined with "|".
    void add_cell_atom(const FLAT_CELL& cell)
    {
        std::string name;
        for (const std::string& level : cell.levels)
            name += (name.empty() ? "" : "|") + level;
        const bool registered = is_register(cell.type);
        HOST_ATOM* atom =
            add_named_atom(name, registered ? HOST_ATOM_KIND::LCELL_FF : HOST_ATOM_KIND::LCELL_COMB, cell.where);
        int input_port = 0;
        for (const FLAT_PORT& port : cell.ports) {
            if (port.output) {
                add_cell_outputs(atom, cell.levels, port, registered);
                continue;
            }
            const bool clock = registered && is_clock_port(cell.type, port.name);
            for (const BIT& bit : port.bits)
                m_inputs.push_back(PENDING_INPUT{atom, input_port, bit, clock, false});
            ++input_port;
        }
    }

    void add_cell_outputs(HOST_ATOM* atom, const std::vector<std::string>& cell_levels, const FLAT_PORT& port,
                          bool registered)
    {
        for (std::size_t i = 0; i < port.bits.size(); ++i) {
            if (!port.bits[i].is_number_integer())
                continue;
            std::vector<std::string> fallback = cell_levels;
            fallback.back() += "." + port.name + (port.bits.size() > 1 ? "[" + std::to_string(i) + "]" : "");
            // A bit of an inout port is driven by its pad; the cell that
            // feeds the pad gets a term of its own, "port~tribuf" when the
            // port's name is the only one its net has (a tristate buffer's).
            std::vector<std::string> levels = bit_levels(port.bits[i], fallback);
            auto pad = m_pad_bits.find(port.bits[i].get<long long>());
            const bool pad_bit = pad != m_pad_bits.end();
            if (pad_bit && levels == std::vector<std::string>{pad->second})
                levels.back() += "~tribuf";
            HOST_OTERM* oterm = m_design.add_output(atom, levels, 0, registered);
            if (!pad_bit)
                drive(port.bits[i], oterm, element_path(port.where, i));
        }
    }

    void drive(const BIT& bit, HOST_OTERM* oterm, const std::string& where)
    {
        // The first driver's term carries the net's name (or its cell's).
        auto [first, added] = m_drivers.emplace(bit.get<long long>(), oterm);
        if (!added)
            fail(where, "net " + in_quotes(static_cast<HOST_OTERM*>(first->second)->get_string_hpath()) +
                            " has two drivers");
        if (oterm->atom()->is_pin_atom())
            m_pad_bits.emplace(bit.get<long long>(), oterm->atom()->name());
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

    static constexpr std::size_t MAX_HIERARCHY_DEPTH = 4096;

    HOST_DESIGN& m_design;
    const JSON* m_modules = nullptr;
    std::unordered_set<std::string> m_open_modules;   // on the way from the top to the module being named
    long long m_next_bit = 0;
    std::vector<FLAT_CELL> m_cells;
    std::unordered_map<long long, int> m_bit_ranks;
    std::unordered_map<long long, std::vector<std::string>> m_bit_names;
    // Every public name of every bit, in the file's order.
    struct PUBLIC_NAME {
        long long bit;
        std::vector<std::string> levels;
        HOST_DESIGN_SIGNAL signal;
    };
    std::vector<PUBLIC_NAME> m_public_names;
    std::unordered_map<long long, HOST_OTERM*> m_drivers;
    // Bit driven by a pin -> the pin's name.
    std::unordered_map<long long, std::string> m_pad_bits;
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
