// JSON reading helpers shared by the reference host's file loaders: members
// checked for type and range, errors that name their JSON path, and the
// parse-and-read frame that turns every problem into one error line.
#pragma once

#include <climits>
#include <initializer_list>
#include <string>

#include <nlohmann/json.hpp>

namespace host_json {

using JSON = nlohmann::json;

// A problem in a loaded text: where (a JSON path such as atoms[3].name) and
// what.
struct FORMAT_ERROR {
    std::string where;
    std::string what;
};

[[noreturn]] void fail(const std::string& where, const std::string& what);

std::string in_quotes(const std::string& text);
std::string member_path(const std::string& where, const std::string& key);
std::string element_path(const std::string& where, std::size_t index);

void require_object(const JSON& value, const std::string& where);
const JSON& require_array(const JSON& value, const std::string& where);
// Rejects keys the format does not have, so that a misspelt key is not
// silently ignored.
void check_keys(const JSON& object, const std::string& where, std::initializer_list<const char*> allowed);
// The member, or null.
const JSON* find_member(const JSON& object, const char* key);

std::string read_string(const JSON& object, const char* key, const std::string& where, bool required,
                        const std::string& fallback = "");
bool read_bool(const JSON& object, const char* key, const std::string& where, bool fallback);
// An integer in low..high; true and false read as 1 and 0.
long long read_integer_value(const JSON& value, const std::string& where, long long low, long long high);
// An integer member (not a bool) of at least low; fallback when absent.
int read_int(const JSON& object, const char* key, const std::string& where, int fallback, int low = INT_MIN);
double read_number_value(const JSON& value, const std::string& where);
// A key of a numbered table ("12"): a non-negative decimal number.
int read_number_key(const std::string& key, const std::string& where);

// A table keyed by number such as {"1403": "ON"}: apply(number, value,
// where) per entry, with the value as it is.
template <class APPLY>
void for_each_numbered_member(const JSON& object, const char* key, const std::string& where, APPLY apply)
{
    const JSON* table = find_member(object, key);
    if (table == nullptr)
        return;
    const std::string table_where = member_path(where, key);
    require_object(*table, table_where);
    for (auto it = table->begin(); it != table->end(); ++it) {
        const std::string entry_where = member_path(table_where, it.key());
        apply(read_number_key(it.key(), entry_where), it.value(), entry_where);
    }
}

// A numbered table of integers such as {"12": 3, "979": true}:
// apply(number, value, where) per entry.
template <class APPLY>
void read_numbered_values(const JSON& object, const char* key, const std::string& where, APPLY apply)
{
    for_each_numbered_member(object, key, where, [&](int number, const JSON& value, const std::string& at) {
        apply(number, read_integer_value(value, at, LLONG_MIN, LLONG_MAX), at);
    });
}

// Calls read(element, where) for each element of the array member, if any.
template <class READ>
void for_each_element(const JSON& object, const char* key, const std::string& where, READ read)
{
    const JSON* list = find_member(object, key);
    if (list == nullptr)
        return;
    const std::string list_where = member_path(where, key);
    require_array(*list, list_where);
    for (std::size_t i = 0; i < list->size(); ++i)
        read((*list)[i], element_path(list_where, i));
}

// The whole file (standard input for "-") as text; false with error
// "<path>: cannot open the <what>"
// (or "cannot read").
bool read_file_text(const std::string& path, const std::string& what, std::string& text, std::string& error);

// The parsed text; false with error "<label>: parse error at ...".
bool parse(const std::string& text, const std::string& label, JSON& root, std::string& error);
// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string without_exception_tag(const std::string& text);

// Parses text and calls read(root). false with error set to one line,
// "<label>: <where>: <what>", when the text does not parse or read fails.
template <class READ>
bool load(const std::string& text, const std::string& label, std::string& error, READ read)
{
    JSON root;
    if (!parse(text, label, root, error))
        return false;
    try {
        read(root);
    } catch (const FORMAT_ERROR& format_error) {
        error = label + ": " + (format_error.where.empty() ? "" : format_error.where + ": ") + format_error.what;
        return false;
    } catch (const JSON::exception& json_error) {
        // Every type is checked before use; this is a last guard, not a path.
        error = label + ": " + without_exception_tag(json_error.what());
        return false;
    }
    error.clear();
    return true;
}

}  // namespace host_json
