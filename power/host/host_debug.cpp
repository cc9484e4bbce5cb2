// Reference host debug channels: "putil: debug: <text>" lines on stderr.
#include "host_debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <vector>

#include "host/msg.h"

namespace {

std::map<std::string, int>& channel_levels()
{
    static std::map<std::string, int> s_levels;
    return s_levels;
}

int environment_level()
{
    static const int s_level = [] {
        const char* value = std::getenv("PUTIL_DEBUG");
        return value == nullptr ? 0 : std::atoi(value);
    }();
    return s_level;
}

// Skips the flags, width, precision of a conversion starting after '%'.
std::size_t skip_conversion_modifiers(const char* format, std::size_t i)
{
    while (format[i] != '\0' && std::strchr("-+ #0123456789.*", format[i]) != nullptr)
        ++i;
    return i;
}

}  // namespace

void host_enable_debug(const char* channel, int level)
{
    channel_levels()[channel == nullptr ? "" : channel] = level;
}

int host_debug_level(const char* channel)
{
    auto it = channel_levels().find(channel == nullptr ? "" : channel);
    return it == channel_levels().end() ? environment_level() : it->second;
}

std::string host_standard_printf_format(const char* format)
{
    std::string result;
    for (std::size_t i = 0; format[i] != '\0';) {
        if (format[i] != '%') {
            result += format[i++];
            continue;
        }
        std::size_t end = skip_conversion_modifiers(format, i + 1);
        result.append(format + i, end - i);
        i = end;
        if (std::strncmp(format + i, "I64", 3) == 0) {
            result += "ll";
            i += 3;
        }
        if (format[i] != '\0')
            result += format[i++];
    }
    return result;
}

bool msg_local_debug_is_on(const char* channel, int level)
{
    const int shown = host_debug_level(channel);
    return shown > 0 && level <= shown;
}

void msg_local_vdebug(const char* channel, int level, const char* format, va_list args)
{
    if (format == nullptr || !msg_local_debug_is_on(channel, level))
        return;
    std::string standard = host_standard_printf_format(format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, standard.c_str(), measure);
    va_end(measure);
    if (length < 0)
        return;
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), standard.c_str(), args);
    std::string line(text.data(), static_cast<std::size_t>(length));
    if (line.empty() || line.back() != '\n')
        line += '\n';
    std::cerr << "putil: debug: " << line << std::flush;
}
