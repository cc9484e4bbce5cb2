// Reference host constraints reader. A file is a list of commands, one per
// line (a backslash at the end of a line continues it, # starts a comment);
// words are plain, in braces (taken as written) or in double quotes, and a
// word in brackets is a command of its own: the target lists
// [get_ports ...] and [get_pins ...]. Only create_clock is read. Every clock
// is checked before the first one is added.
#include "host_clock_constraints.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "host/tdb.h"
#include "host_clocks.h"
#include "host_design.h"
#include "host_netlist.h"

namespace {

struct CONSTRAINT_ERROR {
    int line;
    std::string what;
};

[[noreturn]] void fail(int line, const std::string& what)
{
    throw CONSTRAINT_ERROR{line, what};
}

std::string in_quotes(const std::string& text)
{
    return "\"" + text + "\"";
}

struct WORD {
    enum KIND { PLAIN, BRACED, QUOTED, COMMAND } kind;
    std::string text;           // the command's name for COMMAND
    std::vector<WORD> words;    // COMMAND: its words, the name first
    int line;
};

// Splits the text into commands; nothing is evaluated here.
class SCANNER {
public:
    explicit SCANNER(const std::string& text) : m_text(text) {}

    // The words of the next command, empty for a blank or comment line;
    // false at the end of the text.
    bool next_command(std::vector<WORD>& words)
    {
        words.clear();
        if (m_at >= m_text.size())
            return false;
        read_words(words, false);
        return true;
    }

private:
    // Until the end of the line (top level) or the closing bracket.
    void read_words(std::vector<WORD>& words, bool in_brackets)
    {
        const int first_line = m_line;
        for (;;) {
            skip_blanks(in_brackets);
            if (m_at >= m_text.size()) {
                if (in_brackets)
                    fail(first_line, "missing ]");
                return;
            }
            const char c = m_text[m_at];
            if (!in_brackets && (c == '\n' || c == ';')) {
                m_line += c == '\n' ? 1 : 0;
                ++m_at;
                return;
            }
            if (in_brackets && c == ']') {
                ++m_at;
                return;
            }
            if (c == '#' && !in_brackets) {
                while (m_at < m_text.size() && m_text[m_at] != '\n')
                    ++m_at;
                continue;
            }
            words.push_back(read_word(in_brackets));
        }
    }

    // Spaces, tabs, backslash-newline, and inside brackets newlines too.
    void skip_blanks(bool in_brackets)
    {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (c == '\\' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n') {
                m_at += 2;
                ++m_line;
            } else if (c == ' ' || c == '\t' || c == '\r' || (in_brackets && c == '\n')) {
                m_line += c == '\n' ? 1 : 0;
                ++m_at;
            } else {
                return;
            }
        }
    }

    WORD read_word(bool in_brackets)
    {
        WORD word{WORD::PLAIN, std::string(), {}, m_line};
        const char c = m_text[m_at];
        if (c == '{')
            return read_delimited(WORD::BRACED, '{', '}');
        if (c == '"')
            return read_delimited(WORD::QUOTED, '"', '"');
        if (c == '[') {
            ++m_at;
            word.kind = WORD::COMMAND;
            read_words(word.words, true);
            if (word.words.empty())
                fail(word.line, "empty []");
            word.text = word.words.front().text;
            return word;
        }
        // A plain word may hold balanced brackets: q[0] inside a command.
        int depth = 0;
        while (m_at < m_text.size()) {
            const char d = m_text[m_at];
            if (d == ' ' || d == '\t' || d == '\r' || d == '\n' || d == ';' ||
                (d == '\\' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n'))
                break;
            if (d == ']' && depth == 0 && in_brackets)
                break;
            depth += d == '[' ? 1 : d == ']' ? -1 : 0;
            word.text += d;
            ++m_at;
        }
        return word;
    }

    // Braces nest; quotes do not. Newlines inside are kept.
    WORD read_delimited(WORD::KIND kind, char open, char close)
    {
        WORD word{kind, std::string(), {}, m_line};
        int depth = 1;
        for (++m_at; m_at < m_text.size(); ++m_at) {
            const char c = m_text[m_at];
            m_line += c == '\n' ? 1 : 0;
            if (c == close && open != close && --depth == 0)
                break;
            if (c == close && open == close)
                break;
            if (c == open && open != close)
                ++depth;
            word.text += c;
        }
        if (m_at >= m_text.size())
            fail(word.line, std::string("missing ") + close);
        ++m_at;
        return word;
    }

    const std::string& m_text;
    std::size_t m_at = 0;
    int m_line = 1;
};

// Glob match where * stands for any run of characters.
bool matches(const std::string& pattern, const std::string& name)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::string::npos;
    std::size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> split_list(const std::string& text)
{
    std::istringstream stream(text);
    std::vector<std::string> items;
    for (std::string item; stream >> item;)
        items.push_back(item);
    return items;
}

double read_number(const WORD& word, const char* option)
{
    const char* begin = word.text.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    if (word.kind == WORD::COMMAND || word.text.empty() || *end != '\0' || errno != 0 || !std::isfinite(value))
        fail(word.line, std::string(option) + " needs a number, got " + in_quotes(word.text));
    return value;
}

// One create_clock, checked and resolved.
class CLOCK_COMMAND {
public:
    CLOCK_COMMAND(const HOST_DESIGN& design, const std::vector<WORD>& words) : m_design(design)
    {
        m_line = words.front().line;
        for (std::size_t i = 1; i < words.size(); ++i)
            i = read_argument(words, i);
        if (!m_has_period)
            fail(m_line, "create_clock needs -period");
        std::string what;
        if (!host_clock_times_from_ns(m_period_ns, m_waveform_given ? &m_waveform_ns : nullptr, m_clock.period_ps,
                                      m_clock.duty_cycle, what))
            fail(m_line, what);
        if (m_clock.name.empty() && m_first_target.empty())
            fail(m_line, "create_clock without a target needs -name");
        if (m_clock.name.empty())
            m_clock.name = m_first_target;
    }

    const HOST_CLOCK& clock() const { return m_clock; }
    int line() const { return m_line; }

private:
    // Reads the argument at i; the index of the last word it used.
    std::size_t read_argument(const std::vector<WORD>& words, std::size_t i)
    {
        const WORD& word = words[i];
        if (word.kind == WORD::COMMAND) {
            read_targets(word);
            return i;
        }
        if (word.kind != WORD::PLAIN || word.text.empty() || word.text[0] != '-')
            fail(word.line, "expected an option or [get_ports ...] or [get_pins ...], got " + in_quotes(word.text));
        if (word.text == "-add")
            return i;
        if (word.text != "-name" && word.text != "-period" && word.text != "-waveform")
            fail(word.line, "unknown option " + in_quotes(word.text) + " of create_clock");
        if (!m_given.insert(word.text).second)
            fail(word.line, word.text + " is given twice");
        if (i + 1 >= words.size())
            fail(word.line, word.text + " needs a value");
        const WORD& value = words[i + 1];
        if (word.text == "-name") {
            if (value.kind == WORD::COMMAND || value.text.empty())
                fail(value.line, "-name needs a clock name");
            m_clock.name = value.text;
        } else if (word.text == "-period") {
            m_period_ns = read_number(value, "-period");
            m_has_period = true;
        } else {
            read_waveform(value);
        }
        return i + 1;
    }

    void read_waveform(const WORD& value)
    {
        if (value.kind == WORD::COMMAND)
            fail(value.line, "-waveform needs {rise fall}");
        for (const std::string& edge : split_list(value.text))
            m_waveform_ns.push_back(read_number(WORD{WORD::PLAIN, edge, {}, value.line}, "-waveform"));
        m_waveform_given = true;
    }

    void read_targets(const WORD& command)
    {
        const bool ports = command.text == "get_ports";
        if (!ports && command.text != "get_pins")
            fail(command.line, "unknown command " + in_quotes(command.text) + " (known: get_ports, get_pins)");
        if (command.words.size() != 2 || command.words[1].kind == WORD::COMMAND)
            fail(command.line, command.text + " needs one name or one list of names");
        for (const std::string& pattern : split_list(command.words[1].text)) {
            if (m_first_target.empty())
                m_first_target = pattern;
            if (!(ports ? add_ports(pattern) : add_pins(pattern)))
                fail(command.line, std::string("no ") + (ports ? "port" : "pin") + " matches " + in_quotes(pattern));
        }
    }

    // Pins by EDA pin name or atom name; the clock is on the primary output.
    bool add_ports(const std::string& pattern)
    {
        bool found = false;
        const HOST_NETLIST& netlist = *m_design.host_netlist();
        for (auto node = netlist.begin_node_list(); node != netlist.end_node_list(); ++node) {
            const HOST_ATOM* atom = static_cast<const HOST_ATOM*>(*node);
            if (!atom->is_pin_atom() ||
                !(matches(pattern, atom->name()) || matches(pattern, atom->eda_pin_name().value_or(atom->name()))))
                continue;
            if (atom->get_primary_oterm() == nullptr)
                fail(m_line, "port " + in_quotes(atom->name()) + " has no output term");
            add_target(static_cast<HOST_OTERM*>(atom->get_primary_oterm()));
            found = true;
        }
        return found;
    }

    bool add_pins(const std::string& pattern)
    {
        bool found = false;
        const HOST_NETLIST& netlist = *m_design.host_netlist();
        for (auto node = netlist.begin_node_list(); node != netlist.end_node_list(); ++node) {
            for (CDB_ATOM_OTERM* oterm : static_cast<const HOST_ATOM*>(*node)->oterms()) {
                if (!matches(pattern, oterm->get_string_hpath()))
                    continue;
                add_target(static_cast<HOST_OTERM*>(oterm));
                found = true;
            }
        }
        return found;
    }

    void add_target(HOST_OTERM* oterm)
    {
        for (const HOST_OTERM* target : m_clock.targets) {
            if (target == oterm)
                return;
        }
        m_clock.targets.push_back(oterm);
    }

    const HOST_DESIGN& m_design;
    HOST_CLOCK m_clock{std::string(), TDC_INT_NOT_SET, 0.5, {}};
    int m_line = 0;
    std::set<std::string> m_given;
    double m_period_ns = 0.0;
    bool m_has_period = false;
    std::vector<double> m_waveform_ns;
    bool m_waveform_given = false;
    std::string m_first_target;
};

std::vector<CLOCK_COMMAND> read_clocks(const HOST_DESIGN& design, const std::string& text)
{
    std::vector<CLOCK_COMMAND> clocks;
    SCANNER scanner(text);
    std::vector<WORD> words;
    while (scanner.next_command(words)) {
        if (words.empty())
            continue;
        const WORD& command = words.front();
        if (command.kind != WORD::PLAIN || command.text != "create_clock")
            fail(command.line, "unknown command " + in_quotes(command.text) + " (only create_clock is read)");
        clocks.emplace_back(design, words);
        const std::string& name = clocks.back().clock().name;
        bool defined = design.clocks().find(name) != nullptr;
        for (std::size_t i = 0; i + 1 < clocks.size(); ++i)
            defined = defined || clocks[i].clock().name == name;
        if (defined)
            fail(command.line, "clock " + in_quotes(name) + " is defined twice");
    }
    return clocks;
}

}  // namespace

bool host_load_clock_constraints_text(HOST_DESIGN& design, const std::string& text, const std::string& label,
                                      std::string& error)
{
    std::vector<CLOCK_COMMAND> clocks;
    try {
        clocks = read_clocks(design, text);
    } catch (const CONSTRAINT_ERROR& problem) {
        error = label + ":" + std::to_string(problem.line) + ": " + problem.what;
        return false;
    }
    for (const CLOCK_COMMAND& command : clocks)
        design.add_clock(command.clock().name, command.clock().period_ps, command.clock().duty_cycle,
                         command.clock().targets);
    error.clear();
    return true;
}

bool host_load_clock_constraints(HOST_DESIGN& design, const std::string& path, std::string& error)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        error = path + ": cannot open the constraints file";
        return false;
    }
    std::ostringstream text;
    text << stream.rdbuf();
    return host_load_clock_constraints_text(design, text.str(), path, error);
}
