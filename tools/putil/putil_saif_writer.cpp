// SAIF 2.0 writer.
#include "putil_saif_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unordered_map>
#include <vector>

#include "putil_command.h"
#include "putil_host.h"

namespace {

struct SAIF_NET {
    std::string name;
    const PUTIL_SIGNAL_LEVEL_TIMES* times;
};

// One INSTANCE block: its nets and the blocks below it, in the order their
// first net comes in the netlist.
struct SAIF_SCOPE {
    std::string name;
    std::vector<SAIF_NET> nets;
    std::vector<std::size_t> children;
};

class SAIF_TREE {
public:
    explicit SAIF_TREE(const std::string& design_name) { m_scopes.push_back(SAIF_SCOPE{design_name, {}, {}}); }

    // A net is the leaf of its term's name: its parent levels are the
    // instances, the root being the design.
    void add_net(const HDB_INSTANCE_NAME* leaf, const PUTIL_SIGNAL_LEVEL_TIMES* times)
    {
        m_scopes[scope_of(leaf->get_parent())].nets.push_back(SAIF_NET{leaf->get_unit_name(), times});
    }

    const std::vector<SAIF_SCOPE>& scopes() const { return m_scopes; }

private:
    std::size_t scope_of(const HDB_INSTANCE_NAME* level)
    {
        if (level == nullptr || level->get_parent() == nullptr)
            return 0;
        auto found = m_index.find(level);
        if (found != m_index.end())
            return found->second;
        const std::size_t parent = scope_of(level->get_parent());
        const std::size_t index = m_scopes.size();
        m_scopes.push_back(SAIF_SCOPE{level->get_unit_name(), {}, {}});
        m_scopes[parent].children.push_back(index);
        m_index.emplace(level, index);
        return index;
    }

    std::vector<SAIF_SCOPE> m_scopes;   // the design's first
    std::unordered_map<const HDB_INSTANCE_NAME*, std::size_t> m_index;
};

// The unit the durations are written in: the waveform's own, or a tenth of
// it as often as needed for every time to be whole (a window bound may fall
// between two ticks), down to a femtosecond.
struct SAIF_UNIT {
    double per_waveform_unit = 1.0;   // SAIF units per waveform unit
    std::string text = "1 fs";
};

// The largest time written: four of them (a net's levels) still sum within
// a signed 64-bit integer.
const double s_most_saif_time = std::ldexp(1.0, 61);

bool all_whole(const std::vector<SAIF_SCOPE>& scopes, double factor)
{
    for (const SAIF_SCOPE& scope : scopes) {
        for (const SAIF_NET& net : scope.nets) {
            for (double time : {net.times->time_at_0, net.times->time_at_1, net.times->time_at_x, net.times->time_at_z}) {
                const double scaled = time * factor;
                if (std::fabs(scaled - std::round(scaled)) > 1e-6 || !(std::fabs(scaled) < s_most_saif_time))
                    return false;
            }
        }
    }
    return true;
}

std::string unit_text(double femtoseconds)
{
    static const char* const NAMES[] = {"fs", "ps", "ns", "us", "ms", "s"};
    for (int step = 5; step >= 0; --step) {
        const double per_name = std::pow(1000.0, step);
        for (int multiple : {100, 10, 1}) {
            if (std::fabs(femtoseconds - multiple * per_name) < 1e-6 * femtoseconds)
                return std::to_string(multiple) + " " + NAMES[step];
        }
    }
    return "";
}

SAIF_UNIT unit_of(const std::vector<SAIF_SCOPE>& scopes, double waveform_unit_seconds)
{
    // The reader keeps the unit in single precision (1 fs reads as
    // 0.999999997 fs): a unit that close to a power of ten is that power.
    double waveform_fs = waveform_unit_seconds * 1e15;
    const double power_of_ten = std::pow(10.0, std::round(std::log10(waveform_fs)));
    if (std::fabs(waveform_fs / power_of_ten - 1.0) < 1e-6)
        waveform_fs = power_of_ten;
    SAIF_UNIT unit;
    for (double factor = 1.0; waveform_fs / factor >= 1.0 - 1e-9; factor *= 10.0) {
        const std::string text = unit_text(waveform_fs / factor);
        if (!text.empty() && all_whole(scopes, factor)) {
            unit.per_waveform_unit = factor;
            unit.text = text;
            return unit;
        }
    }
    // A unit that is no power of ten, or times finer than a femtosecond.
    unit.per_waveform_unit = waveform_fs;
    return unit;
}

long long in_unit(double time, const SAIF_UNIT& unit)
{
    const double scaled = time * unit.per_waveform_unit;
    if (!(std::fabs(scaled) < s_most_saif_time)) {
        char text[64];
        std::snprintf(text, sizeof text, "%.6g", scaled);
        throw PUTIL_INPUT_ERROR{std::string("SAIF cannot hold the file's times: ") + text + " units of " + unit.text +
                                " is beyond a 64-bit count"};
    }
    return std::llround(scaled);
}

long long duration_of(const PUTIL_SIGNAL_LEVEL_TIMES& times, const SAIF_UNIT& unit)
{
    return in_unit(times.time_at_0, unit) + in_unit(times.time_at_1, unit) + in_unit(times.time_at_x, unit) +
           in_unit(times.time_at_z, unit);
}

void write_scope(const std::vector<SAIF_SCOPE>& scopes, std::size_t index, const SAIF_UNIT& unit,
                 const std::string& margin, std::ostream& out)
{
    const SAIF_SCOPE& scope = scopes[index];
    out << margin << "(INSTANCE " << putil_saif_identifier(scope.name) << "\n";
    if (!scope.nets.empty()) {
        out << margin << "  (NET\n";
        for (const SAIF_NET& net : scope.nets) {
            const PUTIL_SIGNAL_LEVEL_TIMES& t = *net.times;
            // Steps to and from Z count one half each: 1 -> Z alone is no
            // transition yet, 1 -> Z -> 0 is one.
            out << margin << "    (" << putil_saif_identifier(net.name) << "\n"
                << margin << "      (T0 " << in_unit(t.time_at_0, unit) << ") (T1 " << in_unit(t.time_at_1, unit)
                << ") (TX " << in_unit(t.time_at_x, unit) << ") (TZ " << in_unit(t.time_at_z, unit) << ")\n"
                << margin << "      (TC " << static_cast<long long>(std::floor(t.transitions)) << ")\n"
                << margin << "    )\n";
        }
        out << margin << "  )\n";
    }
    for (std::size_t child : scope.children)
        write_scope(scopes, child, unit, margin + "  ", out);
    out << margin << ")\n";
}

std::string quoted(const std::string& text)
{
    std::string result = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + "\"";
}

}  // namespace

std::string putil_saif_identifier(const std::string& name)
{
    std::size_t end = name.size();
    std::string bit;
    const std::size_t open = name.rfind('[');
    if (open != std::string::npos && open > 0 && name.back() == ']' && open + 2 < name.size() &&
        name.find_first_not_of("0123456789", open + 1) == name.size() - 1) {
        bit = name.substr(open);
        end = open;
    }
    std::string result;
    for (std::size_t i = 0; i < end; ++i) {
        const char c = name[i];
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!plain)
            result += '\\';
        result += c;
    }
    return result + bit;
}

std::string putil_saif_date()
{
    std::time_t now = std::time(nullptr);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (end != epoch && *end == '\0')
            now = static_cast<std::time_t>(seconds);
    }
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[64];
    std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y", &utc);
    return text;
}

void putil_write_saif(const HOST_DESIGN& design, const PUTIL_SAIF_HEADER& header, std::ostream& out)
{
    CDB_ATOM_NETLIST* netlist = design.netlist();
    const HOST_SA_DATA* store = design.store();
    SAIF_TREE tree(design.name());
    double waveform_unit_seconds = 1e-15;
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            const PUTIL_SIGNAL_LEVEL_TIMES* times = store->level_times_of(*term);
            if (times == nullptr)
                continue;
            waveform_unit_seconds = times->time_unit_seconds;
            tree.add_net((*term)->get_instance_name(), times);
        }
    }
    const std::vector<SAIF_SCOPE>& scopes = tree.scopes();
    const SAIF_UNIT unit = unit_of(scopes, waveform_unit_seconds);
    // Every net covers the whole window, from its start or from time 0.
    long long duration = 0;
    for (const SAIF_SCOPE& scope : scopes) {
        for (const SAIF_NET& net : scope.nets)
            duration = std::max(duration, duration_of(*net.times, unit));
    }
    out << "(SAIFILE\n"
        << "(SAIFVERSION \"2.0\")\n"
        << "(DIRECTION \"backward\")\n"
        << "(DESIGN " << quoted(design.name()) << ")\n"
        << "(DATE " << quoted(header.date) << ")\n"
        << "(VENDOR \"putil\")\n"
        << "(PROGRAM_NAME \"putil activity\")\n"
        << "(VERSION " << quoted(header.version) << ")\n"
        << "(DIVIDER / )\n"
        << "(TIMESCALE " << unit.text << ")\n"
        << "(DURATION " << duration << ")\n";
    write_scope(scopes, 0, unit, "", out);
    out << ")\n";
}
