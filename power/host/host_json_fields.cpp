// JSON reading helpers of the reference host's loaders.
#include "host_json_fields.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace host_json {

void fail(const std::string& where, const std::string& what)
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

const JSON& require_array(const JSON& value, const std::string& where)
{
    if (!value.is_array())
        fail(where, std::string("expected an array, got ") + value.type_name());
    return value;
}

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
                        const std::string& fallback)
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

int read_int(const JSON& object, const char* key, const std::string& where, int fallback, int low)
{
    const JSON* value = find_member(object, key);
    if (value == nullptr)
        return fallback;
    if (value->is_boolean())
        fail(member_path(where, key), "expected an integer, got " + value->dump());
    return static_cast<int>(read_integer_value(*value, member_path(where, key), low, INT_MAX));
}

double read_number_value(const JSON& value, const std::string& where)
{
    if (value.is_boolean() || !value.is_number())
        fail(where, "expected a number, got " + value.dump());
    return value.get<double>();
}

int read_number_key(const std::string& key, const std::string& where)
{
    std::size_t used = 0;
    int number = -1;
    try {
        number = std::stoi(key, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != key.size() || number < 0)
        fail(where, "key must be a non-negative decimal number");
    return number;
}

bool read_file_text(const std::string& path, const std::string& what, std::string& text, std::string& error)
{
    // "-" is standard input, read like a file.
    std::ifstream stream(path == "-" ? "/dev/stdin" : path, std::ios::binary);
    if (!stream) {
        error = path + ": cannot open the " + what;
        return false;
    }
    std::ostringstream contents;
    contents << stream.rdbuf();
    if (stream.bad()) {
        error = path + ": cannot read the " + what;
        return false;
    }
    text = contents.str();
    return true;
}

namespace {

// Where the parser is in the document, as member and element paths: the
// path of the value being read when a number overflows, which nlohmann's
// message does not locate.
class PARSE_POSITION {
public:
    bool follow(JSON::parse_event_t event, const JSON& parsed)
    {
        switch (event) {
        case JSON::parse_event_t::object_start:
        case JSON::parse_event_t::array_start:
            m_frames.push_back({event == JSON::parse_event_t::array_start, 0, ""});
            break;
        case JSON::parse_event_t::key:
            if (!m_frames.empty() && parsed.is_string())
                m_frames.back().key = parsed.get<std::string>();
            break;
        case JSON::parse_event_t::object_end:
        case JSON::parse_event_t::array_end:
            if (!m_frames.empty())
                m_frames.pop_back();
            value_done();
            break;
        case JSON::parse_event_t::value:
            value_done();
            break;
        }
        return true;
    }

    std::string path() const
    {
        std::string where;
        for (const FRAME& frame : m_frames)
            where = frame.in_array ? element_path(where, frame.elements_done) : member_path(where, frame.key);
        return where;
    }

private:
    struct FRAME {
        bool in_array;
        std::size_t elements_done;
        std::string key;
    };

    void value_done()
    {
        if (!m_frames.empty() && m_frames.back().in_array)
            ++m_frames.back().elements_done;
    }

    std::vector<FRAME> m_frames;
};

}  // namespace

bool parse(const std::string& text, const std::string& label, JSON& root, std::string& error)
{
    PARSE_POSITION position;
    try {
        root = JSON::parse(text, [&](int, JSON::parse_event_t event, JSON& parsed) {
            return position.follow(event, parsed);
        });
    } catch (const JSON::out_of_range& failure) {
        // A number beyond a double ("1e400"): named by its path.
        const std::string where = position.path();
        error = label + ": " + (where.empty() ? "" : where + ": ") + without_exception_tag(failure.what());
        return false;
    } catch (const JSON::exception& failure) {
        // Syntax errors, located by line and column.
        error = label + ": " + without_exception_tag(failure.what());
        return false;
    }
    return true;
}

std::string without_exception_tag(const std::string& text)
{
    if (text.empty() || text[0] != '[')
        return text;
    std::string::size_type end = text.find("] ");
    return end == std::string::npos ? text : text.substr(end + 2);
}

}  // namespace host_json
