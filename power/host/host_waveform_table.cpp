// Reference host vector waveform table reader: header statements, then the
// pattern rows, each giving every listed signal's value from its time on.
#include "host_waveform_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host_decimal.h"

namespace {

constexpr int s_end_of_text = std::char_traits<char>::eof();

// The table's text one character at a time through the stream's buffer,
// with the line number for messages.
class TABLE_TEXT {
public:
    explicit TABLE_TEXT(std::streambuf* buffer) : m_buffer(buffer) {}

    int peek() { return m_buffer->sgetc(); }
    int get()
    {
        const int character = m_buffer->sbumpc();
        if (character == '\n')
            ++m_line;
        return character;
    }
    int line() const { return m_line; }

    // Skips blanks and comments, which run from a '%' to the next one; false
    // when a comment is still open at the end of the text.
    bool skip_blanks()
    {
        for (int character = peek(); character != s_end_of_text; character = peek()) {
            if (character == '%') {
                get();
                while ((character = get()) != '%') {
                    if (character == s_end_of_text)
                        return false;
                }
            } else if (std::isspace(character)) {
                get();
            } else {
                return true;
            }
        }
        return true;
    }

    // The characters up to a blank, a ';', one of stops or the end.
    std::string word(const char* stops = "")
    {
        std::string text;
        for (int character = peek(); character != s_end_of_text && !std::isspace(character) && character != ';' &&
                                     (character == '\0' || std::strchr(stops, character) == nullptr);
             character = peek())
            text += static_cast<char>(get());
        return text;
    }

private:
    std::streambuf* m_buffer;
    int m_line = 1;
};

struct TIME_UNIT {
    const char* name;
    double picoseconds;
};
const TIME_UNIT s_time_units[] = {{"FS", 1e-3}, {"PS", 1.0}, {"NS", 1e3}, {"US", 1e6}, {"MS", 1e9}, {"S", 1e12}};

// Every signal is one bit, so its digit reads the same in every radix.
const char* const s_radixes[] = {"BINARY", "OCTAL", "DECIMAL", "HEXADECIMAL"};

std::string upper(std::string text)
{
    for (char& character : text)
        character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    return text;
}

class TABLE_READER {
public:
    TABLE_READER(std::istream& in, const std::string& file_name, HOST_WAVEFORM_TABLE& table, std::string& error)
        : m_text(in.rdbuf()), m_file_name(file_name), m_table(table), m_error(error)
    {
    }

    bool read();

private:
    bool fail(const std::string& reason, int line = 0)
    {
        m_error = m_file_name + ":" + std::to_string(line > 0 ? line : m_text.line()) + ": " + reason;
        return false;
    }
    bool skip_blanks() { return m_text.skip_blanks() || fail("a comment opened with '%' is not closed"); }
    bool read_names(const std::string& statement, std::vector<HOST_VDB_CHANNEL*>& columns);
    bool read_unit();
    bool read_radix();
    bool expect_end_of_statement(const std::string& statement);
    bool read_patterns();
    bool read_row();
    bool read_time(std::int64_t& picoseconds);
    bool read_values(std::size_t first, std::size_t count);

    TABLE_TEXT m_text;
    const std::string& m_file_name;
    HOST_WAVEFORM_TABLE& m_table;
    std::string& m_error;
    std::vector<HOST_VDB_CHANNEL*> m_inputs;
    std::vector<HOST_VDB_CHANNEL*> m_outputs;
    std::vector<HOST_VDB_CHANNEL*> m_columns;   // the inputs, then the outputs
    std::vector<VDB_VALUE_NINE_LEVEL> m_row;
    double m_unit_picoseconds = 1e3;            // nanoseconds unless a UNIT says otherwise
    std::int64_t m_last_time = 0;
};

// The header's statements in any order, each at most once, up to PATTERN.
bool TABLE_READER::read()
{
    std::vector<std::string> seen;
    for (;;) {
        if (!skip_blanks())
            return false;
        if (m_text.peek() == s_end_of_text)
            return fail("the table has no PATTERN section");
        const int line = m_text.line();
        const std::string statement = upper(m_text.word());
        if (statement.empty())
            return fail("a ';' without a statement");
        if (std::find(seen.begin(), seen.end(), statement) != seen.end())
            return fail(statement + " is given twice", line);
        seen.push_back(statement);
        bool read_ok = true;
        if (statement == "INPUTS")
            read_ok = read_names(statement, m_inputs);
        else if (statement == "OUTPUTS")
            read_ok = read_names(statement, m_outputs);
        else if (statement == "UNIT")
            read_ok = read_unit();
        else if (statement == "RADIX")
            read_ok = read_radix();
        else if (statement == "PATTERN")
            return read_patterns();
        else
            return fail("unknown statement \"" + statement + "\"", line);
        if (!read_ok)
            return false;
    }
}

bool TABLE_READER::read_names(const std::string& statement, std::vector<HOST_VDB_CHANNEL*>& columns)
{
    for (;;) {
        if (!skip_blanks())
            return false;
        if (m_text.peek() == s_end_of_text)
            return fail(statement + " has no closing ';'");
        if (m_text.peek() == ';') {
            m_text.get();
            return true;
        }
        columns.push_back(m_table.make_channel(m_text.word()));
    }
}

bool TABLE_READER::read_unit()
{
    if (!skip_blanks())
        return false;
    const std::string unit = upper(m_text.word());
    const auto known = std::find_if(std::begin(s_time_units), std::end(s_time_units),
                                    [&](const TIME_UNIT& entry) { return unit == entry.name; });
    if (known == std::end(s_time_units))
        return fail("unknown time unit \"" + unit + "\" (fs, ps, ns, us, ms or s)");
    m_unit_picoseconds = known->picoseconds;
    return expect_end_of_statement("UNIT");
}

bool TABLE_READER::read_radix()
{
    if (!skip_blanks())
        return false;
    const std::string radix = upper(m_text.word());
    if (std::find(std::begin(s_radixes), std::end(s_radixes), radix) == std::end(s_radixes))
        return fail("unknown radix \"" + radix + "\" (BINARY, OCTAL, DECIMAL or HEXADECIMAL)");
    return expect_end_of_statement("RADIX");
}

bool TABLE_READER::expect_end_of_statement(const std::string& statement)
{
    if (!skip_blanks())
        return false;
    if (m_text.get() != ';')
        return fail("expected ';' to end " + statement);
    return true;
}

// Rows up to the closing ';', which only blanks and comments may follow.
bool TABLE_READER::read_patterns()
{
    m_columns = m_inputs;
    m_columns.insert(m_columns.end(), m_outputs.begin(), m_outputs.end());
    m_row.resize(m_columns.size());
    for (;;) {
        if (!skip_blanks())
            return false;
        if (m_text.peek() == s_end_of_text)
            return fail("the patterns have no closing ';'");
        if (m_text.peek() == ';')
            break;
        if (!read_row())
            return false;
    }
    m_text.get();
    for (HOST_VDB_CHANNEL* channel : m_columns)
        channel->end_at(m_last_time);
    if (!skip_blanks())
        return false;
    return m_text.peek() == s_end_of_text || fail("text after the closing ';' of the patterns");
}

// "time> inputs... = outputs...": every column's value from that time on. A
// signal listed twice takes the value of its later column.
bool TABLE_READER::read_row()
{
    std::int64_t time = 0;
    if (!read_time(time) || !read_values(0, m_inputs.size()))
        return false;
    if (!skip_blanks())
        return false;
    if (m_text.get() != '=')
        return fail("expected '=' after " + std::to_string(m_inputs.size()) + " input values");
    if (!read_values(m_inputs.size(), m_outputs.size()))
        return false;
    for (std::size_t column = 0; column < m_columns.size(); ++column)
        m_columns[column]->set_value(time, m_row[column]);
    return true;
}

// The row's time in the table's unit, as picoseconds; rows never go back in
// time, but may repeat one (times are written with a few digits only).
bool TABLE_READER::read_time(std::int64_t& picoseconds)
{
    const std::string text = m_text.word(">=");
    if (!skip_blanks())
        return false;
    if (m_text.get() != '>')
        return fail("expected '>' after the time \"" + text + "\"");
    double time = 0.0;
    const bool number = !text.empty() && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.');
    if (!number || !host_read_decimal(text, time))
        return fail("\"" + text + "\" is not a time");
    const double scaled = time * m_unit_picoseconds;
    if (scaled >= 9.2e18)
        return fail("time " + text + " is too large");
    picoseconds = std::llround(scaled);
    if (picoseconds < m_last_time)
        return fail("time " + text + " is before the previous row's");
    m_last_time = picoseconds;
    return true;
}

bool TABLE_READER::read_values(std::size_t first, std::size_t count)
{
    for (std::size_t column = first; column < first + count; ++column) {
        if (!skip_blanks())
            return false;
        const std::string text = m_text.word("=");
        if (text.size() != 1 || !host_nine_level_value(text[0], m_row[column]))
            return fail(text.empty() ? "a row has too few values"
                                     : "\"" + text + "\" is not a value (0, 1, X, Z, U, W, L, H or -)");
    }
    return true;
}

}  // namespace

void HOST_VDB_CHANNEL::set_value(std::int64_t time, VDB_VALUE_NINE_LEVEL value)
{
    if (!m_transitions.empty() && m_transitions.back().get_time() == time) {
        m_transitions.back() = VDB_TRANSITION(time, value);
        // A change undone at the same time is no change.
        if (m_transitions.size() >= 2 && m_transitions[m_transitions.size() - 2].get_value() == value)
            m_transitions.pop_back();
        return;
    }
    if (!m_transitions.empty() && m_transitions.back().get_value() == value)
        return;
    m_transitions.emplace_back(time, value);
}

void HOST_VDB_CHANNEL::end_at(std::int64_t time)
{
    if (!m_transitions.empty() && m_transitions.back().get_time() < time)
        m_transitions.emplace_back(time, m_transitions.back().get_value());
}

HOST_VDB_CHANNEL* HOST_WAVEFORM_TABLE::make_channel(const std::string& name)
{
    HOST_VDB_CHANNEL*& channel = m_by_name[name];
    if (channel == nullptr) {
        m_channels.push_back(std::make_unique<HOST_VDB_CHANNEL>(name));
        channel = m_channels.back().get();
    }
    return channel;
}

HOST_VDB_CHANNEL* HOST_WAVEFORM_TABLE::find_channel(const std::string& name) const
{
    const auto found = m_by_name.find(name);
    return found == m_by_name.end() ? nullptr : found->second;
}

bool host_read_waveform_table(std::istream& in, const std::string& file_name, HOST_WAVEFORM_TABLE& table,
                              std::string& error)
{
    return TABLE_READER(in, file_name, table, error).read();
}

bool host_nine_level_value(char character, VDB_VALUE_NINE_LEVEL& value)
{
    static const char s_letters[] = "01XLHUZW-";
    const char* found = std::strchr(s_letters, std::toupper(static_cast<unsigned char>(character)));
    if (character == '\0' || found == nullptr)
        return false;
    value = static_cast<VDB_VALUE_NINE_LEVEL>(found - s_letters);
    return true;
}
