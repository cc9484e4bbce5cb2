// Deriving a design from VCD declarations: the same names that the activity
// job looks up, built from "$scope", "$upscope" and "$var".
#include "putil_derived_design.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <unordered_set>

#include "putil_host.h"
#include "putil_vcd_parser_event_handler.h"
#include "putil_vcd_parser_event_handler_stats_collector.h"

namespace {

// Reads whitespace-separated words of the header.
class WORD_READER {
public:
    explicit WORD_READER(std::istream& in) : m_in(in) {}
    bool next(std::string& word) { return static_cast<bool>(m_in >> word); }
    // Skips to the "$end" that closes the current command.
    void skip_command()
    {
        std::string word;
        while (next(word) && word != "$end") {
        }
    }

private:
    std::istream& m_in;
};

// One open scope: the instance path signals are named in, and the prefix
// that named blocks ("begin") inside it add to their signals.
struct SCOPE {
    std::vector<std::string> instance_levels;
    std::string block_prefix;
};

class SIGNAL_PATH_COLLECTOR {
public:
    explicit SIGNAL_PATH_COLLECTOR(bool extended_syntax) : m_extended_syntax(extended_syntax) {}

    void open_scope(const std::string& kind, const std::string& name)
    {
        const SCOPE outer = m_scopes.empty() ? SCOPE() : m_scopes.back();
        if (putil_vcd_is_named_block_kind(kind.c_str(), m_extended_syntax)) {
            m_scopes.push_back(SCOPE{outer.instance_levels, outer.block_prefix + name + "."});
            return;
        }
        // A scope without a name is no level: its signals belong to the
        // enclosing instance, as the activity job looks them up.
        SCOPE scope{outer.instance_levels, ""};
        const std::string unit = outer.block_prefix + name;
        if (!unit.empty())
            scope.instance_levels.push_back(unit);
        m_scopes.push_back(std::move(scope));
    }

    void close_scope()
    {
        if (!m_scopes.empty())
            m_scopes.pop_back();
    }

    // words: kind, size, code, reference[, index] as written after "$var".
    // words: kind, size, code, reference[, index] as written after "$var".
    void declare(const std::vector<std::string>& words)
    {
        if (words.size() < 4)
            return;
        std::string index = words.size() > 4 ? words[4] : "";
        // Sizes beyond an int saturate, as the scanner reads them.
        int size = static_cast<int>(std::min(std::strtol(words[1].c_str(), nullptr, 10), long(INT_MAX)));
        if (words[0] == "port" && !words[1].empty() && words[1][0] == '[') {
            // An extended-VCD port of several bits carries its range as size.
            index = words[1];
            size = 0;
        }
        const PUTIL_VCD_DECLARED_SIGNAL signal =
            putil_vcd_declared_signal(words[3].c_str(), index.c_str(), size, m_extended_syntax);
        if (signal.kind == PUTIL_VCD_DECLARED_SIGNAL::VECTOR) {
            // A wider counter than the bit numbers: msb may be INT_MAX.
            for (long long bit = signal.lsb; bit <= signal.msb; ++bit)
                add_signal(signal.name + "[" + std::to_string(bit) + "]");
        } else if (signal.kind == PUTIL_VCD_DECLARED_SIGNAL::SCALAR && size <= 1) {
            // Strict reading takes a wide declaration without a range for a
            // scalar that cannot hold its values: no signal for it.
            add_signal(signal.name);
        }
    }

    std::vector<std::vector<std::string>> take_paths() { return std::move(m_paths); }

private:
    void add_signal(const std::string& name)
    {
        if (name.empty())
            return;
        std::vector<std::string> levels = m_scopes.empty() ? std::vector<std::string>() : m_scopes.back().instance_levels;
        levels.push_back((m_scopes.empty() ? std::string() : m_scopes.back().block_prefix) + name);
        // Levels joined with a character no name contains, to find repeats.
        std::string key;
        for (const std::string& level : levels)
            key += level + '\n';
        if (m_seen.insert(key).second)
            m_paths.push_back(std::move(levels));
    }

    bool m_extended_syntax;
    std::vector<SCOPE> m_scopes;
    std::vector<std::vector<std::string>> m_paths;
    std::unordered_set<std::string> m_seen;
};

bool is_body_start(const std::string& word) { return word[0] == '#'; }

}  // namespace

std::vector<std::vector<std::string>> putil_derive_signal_paths(std::istream& vcd, bool extended_syntax)
{
    WORD_READER reader(vcd);
    SIGNAL_PATH_COLLECTOR collector(extended_syntax);
    std::string word;
    while (reader.next(word)) {
        if (word == "$enddefinitions" || is_body_start(word))
            break;
        if (word == "$scope") {
            std::string kind, name;
            reader.next(kind);
            if (reader.next(name) && name != "$end")
                reader.skip_command();
            else
                name.clear();
            collector.open_scope(kind, name);
        } else if (word == "$upscope") {
            collector.close_scope();
            reader.skip_command();
        } else if (word == "$var") {
            std::vector<std::string> words;
            while (reader.next(word) && word != "$end")
                words.push_back(word);
            collector.declare(words);
        } else if (word[0] == '$' && word != "$end") {
            reader.skip_command();
        }
    }
    return collector.take_paths();
}

std::unique_ptr<HOST_DESIGN> putil_derive_design(const std::string& vcd_path, bool extended_syntax,
                                                 std::string& error)
{
    std::ifstream vcd(vcd_path, std::ios::in | std::ios::binary);
    if (!vcd) {
        error = vcd_path + ": cannot open the file to derive a design from it";
        return nullptr;
    }
    const std::vector<std::vector<std::string>> signals = putil_derive_signal_paths(vcd, extended_syntax);
    auto design = std::make_unique<HOST_DESIGN>();
    HOST_ATOM* sink = design->add_atom("derived_design_sink", HOST_ATOM_KIND::OTHER);
    for (const std::vector<std::string>& levels : signals) {
        HOST_ATOM* atom = design->add_atom(levels.back(), HOST_ATOM_KIND::OTHER);
        HOST_OTERM* oterm = design->add_output(atom, levels, 0, false);
        design->add_input(sink, 0, oterm, false, -1);
    }
    return design;
}
