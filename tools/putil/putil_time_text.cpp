// Parsing of command-line times into picoseconds.
#include "putil_time_text.h"

#include <cmath>
#include <cstdlib>

namespace {

struct TIME_UNIT {
    const char* name;
    double picoseconds;
};

// Longer names first so that "ms" is not read as "s".
const TIME_UNIT UNITS[] = {{"fs", 1e-3}, {"ps", 1.0}, {"ns", 1e3}, {"us", 1e6}, {"ms", 1e9}, {"s", 1e12}};

}  // namespace

bool putil_parse_time_text(const std::string& text, std::int64_t& picoseconds, std::string& error)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const double number = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(number) || number < 0) {
        error = "\"" + text + "\" is not a time (a number and a unit: fs, ps, ns, us, ms or s; e.g. 10ns)";
        return false;
    }
    std::string unit(end);
    while (!unit.empty() && unit.front() == ' ')
        unit.erase(0, 1);
    for (const TIME_UNIT& candidate : UNITS) {
        if (unit != candidate.name)
            continue;
        const double value = number * candidate.picoseconds;
        const double whole = std::round(value);
        if (std::fabs(value - whole) > 1e-6 * std::max(1.0, whole) || whole > 9.2e18) {
            error = "\"" + text + "\" is not a whole number of picoseconds";
            return false;
        }
        picoseconds = static_cast<std::int64_t>(whole);
        return true;
    }
    error = "\"" + text + "\" has no time unit (fs, ps, ns, us, ms or s)";
    return false;
}
