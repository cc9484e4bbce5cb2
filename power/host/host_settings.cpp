// Reference host settings store: typed values by name; an unset name (or a
// read of the wrong kind) answers the caller's default.
#include "host_settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <unordered_map>

namespace {

struct SETTING_VALUE {
    HOST_SETTING_KIND kind;
    int value;
};

std::unordered_map<std::string, SETTING_VALUE>& values()
{
    static std::unordered_map<std::string, SETTING_VALUE> s_values;
    return s_values;
}

const HOST_SETTING_INFO* find_setting(const std::string& name)
{
    for (const HOST_SETTING_INFO& info : host_known_settings()) {
        if (name == info.name)
            return &info;
    }
    return nullptr;
}

bool parse_bool(std::string text, int& value)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    if (text == "on" || text == "true" || text == "1") {
        value = 1;
        return true;
    }
    if (text == "off" || text == "false" || text == "0") {
        value = 0;
        return true;
    }
    return false;
}

// *out_of_range tells a decimal integer too large for an int from other text.
bool parse_int(const std::string& text, int& value, bool* out_of_range)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    auto result = std::from_chars(begin, end, value);
    *out_of_range = result.ec == std::errc::result_out_of_range && result.ptr == end;
    return result.ec == std::errc() && result.ptr == end && begin != end;
}

const SETTING_VALUE* find_value(const char* name, HOST_SETTING_KIND kind)
{
    if (name == nullptr)
        return nullptr;
    auto it = values().find(name);
    if (it == values().end() || it->second.kind != kind)
        return nullptr;
    return &it->second;
}

}  // namespace

const std::vector<HOST_SETTING_INFO>& host_known_settings()
{
    static const std::vector<HOST_SETTING_INFO> s_known = {
        {"putil_read_vwf_file", HOST_SETTING_KIND::BOOL},
        {"putil_vcd_stop_after_percent", HOST_SETTING_KIND::INT, 1, 100},
        {"putil_vcd_extended_syntax", HOST_SETTING_KIND::BOOL},
        {"putil_vcd_fast_body", HOST_SETTING_KIND::BOOL},
        {"putil_vcd_apply_thread", HOST_SETTING_KIND::BOOL},
        {"putil_output_vcd_name_matching_info", HOST_SETTING_KIND::BOOL},
        {"print_only_inputs_to_tbl_file", HOST_SETTING_KIND::BOOL},
        {"putil_tbl_exact_times", HOST_SETTING_KIND::BOOL},
        {"putil_ignore_clock_settings", HOST_SETTING_KIND::BOOL},
        {"putil_clock_domain_dump", HOST_SETTING_KIND::BOOL},
    };
    return s_known;
}

bool host_set_setting(const std::string& name, const std::string& value, std::string* error)
{
    const HOST_SETTING_INFO* info = find_setting(name);
    if (info == nullptr) {
        if (error != nullptr)
            *error = "unknown setting \"" + name + "\"";
        return false;
    }
    int parsed = 0;
    bool out_of_range = false;
    bool is_bool = info->kind == HOST_SETTING_KIND::BOOL;
    if (!(is_bool ? parse_bool(value, parsed) : parse_int(value, parsed, &out_of_range))) {
        if (error != nullptr && out_of_range)
            *error = "setting \"" + name + "\" takes a decimal integer, \"" + value + "\" is out of range";
        else if (error != nullptr)
            *error = "setting \"" + name + "\" takes " + (is_bool ? "on or off" : "a decimal integer") +
                     ", not \"" + value + "\"";
        return false;
    }
    if (!is_bool && (parsed < info->least || parsed > info->most)) {
        if (error != nullptr)
            *error = "setting \"" + name + "\" takes " + std::to_string(info->least) + " to " +
                     std::to_string(info->most) + ", not " + value;
        return false;
    }
    values()[name] = SETTING_VALUE{info->kind, parsed};
    return true;
}

void host_clear_settings()
{
    values().clear();
}

bool cfg_is_on(const char* name, bool default_value)
{
    const SETTING_VALUE* value = find_value(name, HOST_SETTING_KIND::BOOL);
    return value == nullptr ? default_value : value->value != 0;
}

int cfg_get_int_value(const char* name, int default_value)
{
    const SETTING_VALUE* value = find_value(name, HOST_SETTING_KIND::INT);
    return value == nullptr ? default_value : value->value;
}
