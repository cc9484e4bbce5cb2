// Reference host constraints reader. A file is a list of commands,
// separated by line ends or ";" (a backslash at the end of a line continues
// it, # at the start of a command starts a comment); words are plain, in
// braces (taken as written) or in double quotes, and a word in brackets is a
// command of its own: the target lists [get_ports ...], [get_pins ...] and
// [get_nets ...]. create_clock and create_generated_clock are read; every
// other command is skipped unread and counted for a warning. Generated
// clocks find their masters once the whole file is read, and every clock is
// checked before the first one is added.
#include "host_clock_constraints.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>

#include "host/putil_lib.h"
#include "host/tdb.h"
#include "host_clocks.h"
#include "host_decimal.h"
#include "host_design.h"
#include "host_messages.h"
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
        read_words(words, 0);
        return true;
    }

private:
    // Brackets in brackets deeper than this are refused rather than followed
    // down the stack.
    static constexpr int s_max_depth = 100;

    // Until the end of the command (top level, depth 0) or the closing
    // bracket.
    void read_words(std::vector<WORD>& words, int depth)
    {
        const int first_line = m_line;
        const bool in_brackets = depth > 0;
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
                skip_comment();
                continue;
            }
            words.push_back(read_word(depth));
        }
    }

    // To the end of the line; a backslash at the end continues the comment.
    void skip_comment()
    {
        while (m_at < m_text.size() && m_text[m_at] != '\n') {
            if (const std::size_t length = continuation(m_at)) {
                ++m_line;
                m_at += length - 1;
            }
            ++m_at;
        }
    }

    // The length of a backslash-newline at at (a carriage return may come
    // between them), else 0.
    std::size_t continuation(std::size_t at) const
    {
        if (m_text[at] != '\\')
            return 0;
        const std::size_t newline = at + 1 < m_text.size() && m_text[at + 1] == '\r' ? at + 2 : at + 1;
        return newline < m_text.size() && m_text[newline] == '\n' ? newline - at + 1 : 0;
    }

    bool continues_line(std::size_t at) const { return continuation(at) != 0; }

    // Spaces, tabs, backslash-newline, and inside brackets newlines too.
    void skip_blanks(bool in_brackets)
    {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (const std::size_t length = continuation(m_at)) {
                m_at += length;
                ++m_line;
            } else if (c == ' ' || c == '\t' || c == '\r' || (in_brackets && c == '\n')) {
                m_line += c == '\n' ? 1 : 0;
                ++m_at;
            } else {
                return;
            }
        }
    }

    WORD read_word(int depth)
    {
        const char c = m_text[m_at];
        if (c == '{')
            return read_delimited(WORD::BRACED, '{', '}', depth);
        if (c == '"')
            return read_delimited(WORD::QUOTED, '"', '"', depth);
        if (c == '[')
            return read_bracketed(depth);
        return read_plain(depth > 0);
    }

    WORD read_bracketed(int depth)
    {
        WORD word{WORD::COMMAND, std::string(), {}, m_line};
        if (depth >= s_max_depth)
            fail(word.line, "brackets nested deeper than " + std::to_string(s_max_depth));
        ++m_at;
        read_words(word.words, depth + 1);
        if (word.words.empty())
            fail(word.line, "empty []");
        word.text = word.words.front().text;
        return word;
    }

    // A plain word may hold brackets, which run across blanks until they
    // close: q[0], a[expr 1 + 1]. A backslash takes the next character as
    // it is: data\[0\] is data[0].
    WORD read_plain(bool in_brackets)
    {
        WORD word{WORD::PLAIN, std::string(), {}, m_line};
        int depth = 0;
        while (m_at < m_text.size()) {
            const char d = m_text[m_at];
            const bool ends = d == ' ' || d == '\t' || d == '\r' || d == '\n' || (d == ';' && !in_brackets) ||
                              continues_line(m_at) || (d == ']' && in_brackets);
            if (ends && depth == 0)
                break;
            if (d == '\\' && !continues_line(m_at) && m_at + 1 < m_text.size()) {
                word.text += m_text[++m_at];
                ++m_at;
                continue;
            }
            m_line += d == '\n' ? 1 : 0;
            depth += d == '[' ? 1 : d == ']' && depth > 0 ? -1 : 0;
            word.text += d;
            ++m_at;
        }
        if (depth > 0)
            fail(word.line, "missing ]");
        return word;
    }

    // Braces nest; quotes do not; a backslash keeps the next character from
    // closing. Newlines inside are kept. The word must end at the closing
    // character.
    WORD read_delimited(WORD::KIND kind, char open, char close, int depth)
    {
        WORD word{kind, std::string(), {}, m_line};
        int nesting = 1;
        for (++m_at; m_at < m_text.size(); ++m_at) {
            const char c = m_text[m_at];
            m_line += c == '\n' ? 1 : 0;
            if (c == '\\' && m_at + 1 < m_text.size()) {
                if (kind == WORD::BRACED)
                    word.text += c;
                const char escaped = m_text[++m_at];
                m_line += escaped == '\n' ? 1 : 0;
                word.text += escaped;
                continue;
            }
            if (c == close && (open == close || --nesting == 0))
                break;
            if (c == open && open != close)
                ++nesting;
            word.text += c;
        }
        if (m_at >= m_text.size())
            fail(word.line, std::string("missing ") + close);
        ++m_at;
        check_word_end(close, depth > 0);
        return word;
    }

    void check_word_end(char close, bool in_brackets) const
    {
        if (m_at >= m_text.size())
            return;
        const char c = m_text[m_at];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';' || continues_line(m_at) ||
            (c == ']' && in_brackets))
            return;
        fail(m_line, std::string("extra characters after ") + close);
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

// The items of a list: words between blanks, where a backslash takes the
// next character as it is (clk\[0\] is clk[0]).
std::vector<std::string> split_list(const std::string& text)
{
    std::vector<std::string> items;
    std::string item;
    bool in_item = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (in_item)
                items.push_back(item);
            item.clear();
            in_item = false;
            continue;
        }
        item += c == '\\' && i + 1 < text.size() ? text[++i] : c;
        in_item = true;
    }
    if (in_item)
        items.push_back(item);
    return items;
}

double read_number(const WORD& word, const char* option)
{
    double value = 0.0;
    if (word.kind == WORD::COMMAND || !host_read_decimal(word.text, value))
        fail(word.line, std::string(option) + " needs a decimal number, got " + in_quotes(word.text));
    return value;
}

// Values are taken as written: a variable in a clock command is refused
// rather than read as its name.
void refuse_variables(const std::vector<WORD>& words)
{
    for (const WORD& word : words) {
        if ((word.kind == WORD::PLAIN || word.kind == WORD::QUOTED) && word.text.find('$') != std::string::npos)
            fail(word.line, "variables are not read: " + in_quotes(word.text) + " (write the value itself)");
        refuse_variables(word.words);
    }
}

// Output terms in the order named, each once; first_name is the first name
// as written.
struct TERMS {
    std::vector<HOST_OTERM*> list;
    std::set<const HOST_OTERM*> seen;
    std::string first_name;

    void add(HOST_OTERM* oterm)
    {
        if (seen.insert(oterm).second)
            list.push_back(oterm);
    }
};

// Finds the terms of [get_ports ...], [get_pins ...] and [get_nets ...].
// A net is named by the term that drives it, so get_nets finds what get_pins
// finds.
class TERM_FINDER {
public:
    explicit TERM_FINDER(const HOST_DESIGN& design) : m_netlist(*design.host_netlist()) {}

    void add_list(const WORD& command, TERMS& terms) const
    {
        const bool ports = command.text == "get_ports";
        if (!ports && command.text != "get_pins" && command.text != "get_nets")
            fail(command.line,
                 "unknown command " + in_quotes(command.text) + " (known: get_ports, get_pins, get_nets)");
        if (command.words.size() != 2 || command.words[1].kind == WORD::COMMAND)
            fail(command.line, command.text + " needs one name or one list of names");
        const char* what = ports ? "port" : command.text == "get_pins" ? "pin" : "net";
        for (const std::string& pattern : split_list(command.words[1].text)) {
            remember_first(pattern, terms);
            if (!(ports ? add_ports(pattern, command.line, terms) : add_pins(pattern, terms)))
                fail(command.line, std::string("no ") + what + " matches " + in_quotes(pattern));
        }
    }

    // A name without a list command: a port, else a pin.
    void add_names(const WORD& names, TERMS& terms) const
    {
        for (const std::string& pattern : split_list(names.text)) {
            remember_first(pattern, terms);
            if (!add_ports(pattern, names.line, terms) && !add_pins(pattern, terms))
                fail(names.line, "no port or pin matches " + in_quotes(pattern));
        }
    }

private:
    static void remember_first(const std::string& pattern, TERMS& terms)
    {
        if (terms.first_name.empty())
            terms.first_name = pattern;
    }

    // Pins by EDA pin name or atom name; the clock is on the primary output.
    bool add_ports(const std::string& pattern, int line, TERMS& terms) const
    {
        bool found = false;
        for (auto node = m_netlist.begin_node_list(); node != m_netlist.end_node_list(); ++node) {
            const HOST_ATOM* atom = static_cast<const HOST_ATOM*>(*node);
            if (!atom->is_pin_atom() ||
                !(matches(pattern, atom->name()) || matches(pattern, atom->eda_pin_name().value_or(atom->name()))))
                continue;
            if (atom->get_primary_oterm() == nullptr)
                fail(line, "port " + in_quotes(atom->name()) + " has no output term");
            terms.add(static_cast<HOST_OTERM*>(atom->get_primary_oterm()));
            found = true;
        }
        return found;
    }

    bool add_pins(const std::string& pattern, TERMS& terms) const
    {
        bool found = false;
        for (auto node = m_netlist.begin_node_list(); node != m_netlist.end_node_list(); ++node) {
            for (CDB_ATOM_OTERM* oterm : static_cast<const HOST_ATOM*>(*node)->oterms()) {
                if (!matches(pattern, oterm->get_string_hpath()))
                    continue;
                terms.add(static_cast<HOST_OTERM*>(oterm));
                found = true;
            }
        }
        return found;
    }

    const HOST_NETLIST& m_netlist;
};

struct OPTION {
    const char* name;
    bool has_value;
};

const std::vector<OPTION> CLOCK_OPTIONS = {{"-name", true}, {"-period", true}, {"-waveform", true}, {"-add", false}};
// -combinational, -phase, -offset and -comment change neither rate nor duty
// cycle: checked, then not used.
const std::vector<OPTION> GENERATED_CLOCK_OPTIONS = {
    {"-name", true},        {"-source", true},     {"-master_clock", true}, {"-divide_by", true},
    {"-multiply_by", true}, {"-duty_cycle", true}, {"-invert", false},      {"-add", false},
    {"-combinational", false}, {"-phase", true},   {"-offset", true},       {"-comment", true}};

// A clock command's words: each option by name (its value word, or the
// option word itself for a flag), and the target lists in order.
struct ARGUMENTS {
    std::map<std::string, const WORD*> options;
    std::vector<const WORD*> targets;

    const WORD* find(const std::string& name) const
    {
        const auto found = options.find(name);
        return found == options.end() ? nullptr : found->second;
    }
};

ARGUMENTS read_arguments(const std::vector<WORD>& words, const std::vector<OPTION>& known)
{
    ARGUMENTS arguments;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const WORD& word = words[i];
        if (word.kind == WORD::COMMAND) {
            arguments.targets.push_back(&word);
            continue;
        }
        if (word.kind != WORD::PLAIN || word.text.size() < 2 || word.text[0] != '-')
            fail(word.line, "expected an option or [get_ports ...], [get_pins ...] or [get_nets ...], got " +
                                in_quotes(word.text));
        const OPTION* option = nullptr;
        for (const OPTION& candidate : known)
            option = word.text == candidate.name ? &candidate : option;
        if (option == nullptr)
            fail(word.line, "unknown option " + in_quotes(word.text) + " of " + words.front().text);
        if (option->has_value && i + 1 >= words.size())
            fail(word.line, word.text + " needs a value");
        if (!arguments.options.emplace(word.text, option->has_value ? &words[++i] : &word).second)
            fail(word.line, word.text + " is given twice");
    }
    return arguments;
}

// A clock of the file. A generated clock gets its period from its master
// once every clock is read.
struct FILE_CLOCK {
    HOST_CLOCK clock{std::string(), TDC_INT_NOT_SET, 0.5, {}};
    int line = 0;
    bool generated = false;
    std::string master_name;            // -master_clock; empty: the clock on the source
    std::vector<HOST_OTERM*> source;
    std::string source_name;            // the first source name as written
    double divide_by = 1.0;
    double multiply_by = 1.0;
};

// The name, else the first target name; the targets.
void read_name_and_targets(const TERM_FINDER& finder, const ARGUMENTS& arguments, const std::string& command,
                           FILE_CLOCK& result)
{
    TERMS targets;
    for (const WORD* list : arguments.targets)
        finder.add_list(*list, targets);
    result.clock.targets = targets.list;
    const WORD* name = arguments.find("-name");
    if (name != nullptr && (name->kind == WORD::COMMAND || name->text.empty()))
        fail(name->line, "-name needs a clock name");
    result.clock.name = name != nullptr ? name->text : targets.first_name;
    if (result.clock.name.empty())
        fail(result.line, command + " without a target needs -name");
}

std::vector<double> read_waveform(const WORD& value)
{
    if (value.kind == WORD::COMMAND)
        fail(value.line, "-waveform needs {rise fall}");
    std::vector<double> edges;
    for (const std::string& edge : split_list(value.text))
        edges.push_back(read_number(WORD{WORD::PLAIN, edge, {}, value.line}, "-waveform"));
    return edges;
}

FILE_CLOCK read_create_clock(const TERM_FINDER& finder, const std::vector<WORD>& words)
{
    const ARGUMENTS arguments = read_arguments(words, CLOCK_OPTIONS);
    FILE_CLOCK result;
    result.line = words.front().line;
    const WORD* period = arguments.find("-period");
    if (period == nullptr)
        fail(result.line, "create_clock needs -period");
    const double period_ns = read_number(*period, "-period");
    const WORD* waveform = arguments.find("-waveform");
    const std::vector<double> edges = waveform != nullptr ? read_waveform(*waveform) : std::vector<double>();
    std::string what;
    if (!host_clock_times_from_ns(period_ns, waveform != nullptr ? &edges : nullptr, result.clock.period_ps,
                                  result.clock.duty_cycle, what))
        fail(result.line, what);
    read_name_and_targets(finder, arguments, "create_clock", result);
    return result;
}

double read_factor(const WORD& word, const char* option)
{
    const double value = read_number(word, option);
    if (!(value >= 1.0 && value == std::floor(value)))
        fail(word.line, std::string(option) + " needs a whole number of 1 or more, got " + in_quotes(word.text));
    return value;
}

// -duty_cycle in percent (50 without it), turned around by -invert.
double read_duty_cycle(const ARGUMENTS& arguments)
{
    double duty_cycle = 0.5;
    if (const WORD* percent = arguments.find("-duty_cycle")) {
        const double value = read_number(*percent, "-duty_cycle");
        if (!(value > 0.0 && value < 100.0))
            fail(percent->line, "-duty_cycle needs a percentage between 0 and 100, got " + in_quotes(percent->text));
        duty_cycle = value / 100.0;
    }
    return arguments.find("-invert") != nullptr ? 1.0 - duty_cycle : duty_cycle;
}

FILE_CLOCK read_generated_clock(const TERM_FINDER& finder, const std::vector<WORD>& words)
{
    const ARGUMENTS arguments = read_arguments(words, GENERATED_CLOCK_OPTIONS);
    FILE_CLOCK result;
    result.line = words.front().line;
    result.generated = true;
    const WORD* source = arguments.find("-source");
    if (source == nullptr)
        fail(result.line, "create_generated_clock needs -source");
    TERMS source_terms;
    if (source->kind == WORD::COMMAND)
        finder.add_list(*source, source_terms);
    else
        finder.add_names(*source, source_terms);
    if (source_terms.list.empty())
        fail(source->line, "-source needs a port or pin");
    result.source = source_terms.list;
    result.source_name = source_terms.first_name;
    if (const WORD* master = arguments.find("-master_clock")) {
        if (master->kind == WORD::COMMAND || master->text.empty())
            fail(master->line, "-master_clock needs a clock name");
        result.master_name = master->text;
    }
    if (const WORD* divide = arguments.find("-divide_by"))
        result.divide_by = read_factor(*divide, "-divide_by");
    if (const WORD* multiply = arguments.find("-multiply_by"))
        result.multiply_by = read_factor(*multiply, "-multiply_by");
    for (const char* unused : {"-phase", "-offset"}) {
        if (const WORD* value = arguments.find(unused))
            read_number(*value, unused);
    }
    result.clock.duty_cycle = read_duty_cycle(arguments);
    read_name_and_targets(finder, arguments, "create_generated_clock", result);
    if (result.clock.targets.empty())
        fail(result.line, "create_generated_clock needs a target");
    return result;
}

// The design's clocks and the file's, found by name and by target, for
// generated clocks to find their masters.
class CLOCK_INDEX {
public:
    explicit CLOCK_INDEX(const std::vector<FILE_CLOCK>& clocks) : m_clocks(clocks)
    {
        for (std::size_t i = 0; i < clocks.size(); ++i) {
            m_by_name.emplace(clocks[i].clock.name, i);
            for (const HOST_OTERM* target : clocks[i].clock.targets)
                m_by_target[target].push_back(i);
        }
    }

    // The clock named by -master_clock, else the one clock on the source.
    std::size_t master_of(std::size_t generated) const
    {
        const FILE_CLOCK& clock = m_clocks[generated];
        if (!clock.master_name.empty()) {
            const auto found = m_by_name.find(clock.master_name);
            if (found == m_by_name.end())
                fail(clock.line, "master clock " + in_quotes(clock.master_name) + " is not defined");
            return found->second;
        }
        std::set<std::size_t> masters;
        for (const HOST_OTERM* term : clock.source) {
            const auto found = m_by_target.find(term);
            if (found == m_by_target.end())
                continue;
            for (std::size_t master : found->second)
                if (master != generated)
                    masters.insert(master);
        }
        if (masters.empty())
            fail(clock.line, "no clock is defined on the -source " + in_quotes(clock.source_name) +
                                 " (a master clock is needed)");
        if (masters.size() > 1)
            fail(clock.line, "clocks " + in_quotes(m_clocks[*masters.begin()].clock.name) + " and " +
                                 in_quotes(m_clocks[*std::next(masters.begin())].clock.name) + " are on the -source " +
                                 in_quotes(clock.source_name) + "; name one with -master_clock");
        return *masters.begin();
    }

private:
    const std::vector<FILE_CLOCK>& m_clocks;
    std::unordered_map<std::string, std::size_t> m_by_name;
    std::unordered_map<const HOST_OTERM*, std::vector<std::size_t>> m_by_target;
};

std::string number_text(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

// The master's period times divide_by over multiply_by, rounded to whole
// picoseconds; no period when the master has none.
void take_master_period(FILE_CLOCK& clock, const FILE_CLOCK& master)
{
    if (master.clock.period_ps == TDC_INT_NOT_SET) {
        clock.clock.period_ps = TDC_INT_NOT_SET;
        return;
    }
    const double period_ps = std::round(master.clock.period_ps * clock.divide_by / clock.multiply_by);
    if (!(period_ps >= 1.0 && period_ps <= INT_MAX))
        fail(clock.line, "generated clock " + in_quotes(clock.clock.name) + " would have a period of " +
                             number_text(period_ps) + " ps, not between 1 and " + std::to_string(INT_MAX) + " ps");
    clock.clock.period_ps = static_cast<int>(period_ps);
}

// Gives every generated clock its period, masters first: a master may come
// later in the file or be generated itself. An explicit stack follows long
// chains without deep recursion.
void resolve_generated_clocks(std::vector<FILE_CLOCK>& clocks)
{
    const CLOCK_INDEX index(clocks);
    std::vector<std::size_t> master(clocks.size());
    for (std::size_t i = 0; i < clocks.size(); ++i)
        master[i] = clocks[i].generated ? index.master_of(i) : i;
    enum STATE { WAITING, ON_STACK, DONE };
    std::vector<STATE> state(clocks.size(), WAITING);
    for (std::size_t i = 0; i < clocks.size(); ++i)
        state[i] = clocks[i].generated ? WAITING : DONE;
    for (std::size_t first = 0; first < clocks.size(); ++first) {
        std::vector<std::size_t> stack;
        if (state[first] == WAITING)
            stack.push_back(first);
        while (!stack.empty()) {
            const std::size_t clock = stack.back();
            state[clock] = ON_STACK;
            const std::size_t of = master[clock];
            if (state[of] == ON_STACK)
                fail(clocks[clock].line, "generated clock " + in_quotes(clocks[clock].clock.name) +
                                             " is among its own masters");
            if (state[of] == WAITING) {
                stack.push_back(of);
                continue;
            }
            take_master_period(clocks[clock], clocks[of]);
            state[clock] = DONE;
            stack.pop_back();
        }
    }
}

// Counts the skipped commands by name, in the order first seen.
class SKIPPED_COMMANDS {
public:
    void add(const std::string& name)
    {
        const auto [found, added] = m_index.emplace(name, m_counts.size());
        if (added)
            m_counts.emplace_back(name, 0);
        ++m_counts[found->second].second;
    }

    std::vector<std::string> warnings(const std::string& label) const
    {
        std::vector<std::string> lines;
        for (const auto& [name, count] : m_counts)
            lines.push_back(label + ": skipped " + std::to_string(count) + " " + name +
                            (count == 1 ? " command" : " commands") +
                            " (only create_clock and create_generated_clock are read)");
        return lines;
    }

private:
    std::unordered_map<std::string, std::size_t> m_index;
    std::vector<std::pair<std::string, int>> m_counts;
};

// The file's clocks, periods resolved; the design's own clocks are not
// among them.
std::vector<FILE_CLOCK> read_clocks(const HOST_DESIGN& design, const std::string& text, SKIPPED_COMMANDS& skipped)
{
    std::vector<FILE_CLOCK> clocks;
    std::set<std::string> names;
    for (const HOST_CLOCK& own : design.clocks().user_clocks()) {
        clocks.emplace_back().clock = own;
        names.insert(own.name);
    }
    const std::size_t own_clocks = clocks.size();
    const TERM_FINDER finder(design);
    SCANNER scanner(text);
    std::vector<WORD> words;
    while (scanner.next_command(words)) {
        if (words.empty())
            continue;
        const WORD& command = words.front();
        const bool plain = command.kind != WORD::COMMAND;
        if (plain && command.text == "create_clock") {
            refuse_variables(words);
            clocks.push_back(read_create_clock(finder, words));
        } else if (plain && command.text == "create_generated_clock") {
            refuse_variables(words);
            clocks.push_back(read_generated_clock(finder, words));
        } else {
            skipped.add(command.text);
            continue;
        }
        if (!names.insert(clocks.back().clock.name).second)
            fail(command.line, "clock " + in_quotes(clocks.back().clock.name) + " is defined twice");
    }
    resolve_generated_clocks(clocks);
    clocks.erase(clocks.begin(), clocks.begin() + static_cast<std::ptrdiff_t>(own_clocks));
    return clocks;
}

}  // namespace

bool host_load_clock_constraints_text(HOST_DESIGN& design, const std::string& text, const std::string& label,
                                      std::string& error, std::vector<std::string>* warnings)
{
    std::vector<FILE_CLOCK> clocks;
    SKIPPED_COMMANDS skipped;
    if (warnings != nullptr)
        warnings->clear();
    try {
        clocks = read_clocks(design, text, skipped);
    } catch (const CONSTRAINT_ERROR& problem) {
        // The text quotes the file's words, which may hold any byte.
        error = stl_escape_control_bytes(label + ":" + std::to_string(problem.line) + ": " + problem.what);
        return false;
    }
    for (const FILE_CLOCK& clock : clocks)
        design.add_clock(clock.clock.name, clock.clock.period_ps, clock.clock.duty_cycle, clock.clock.targets);
    if (warnings != nullptr) {
        *warnings = skipped.warnings(label);
        for (std::string& warning : *warnings)
            warning = stl_escape_control_bytes(warning);
    }
    error.clear();
    return true;
}

bool host_load_clock_constraints(HOST_DESIGN& design, const std::string& path, std::string& error,
                                 std::vector<std::string>* warnings)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        error = stl_escape_control_bytes(path) + ": cannot open the constraints file";
        return false;
    }
    std::ostringstream text;
    text << stream.rdbuf();
    return host_load_clock_constraints_text(design, text.str(), path, error, warnings);
}
