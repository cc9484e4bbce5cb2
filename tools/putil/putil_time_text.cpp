// Parsing of command-line times into picoseconds.
#include "putil_time_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "host_decimal.h"

namespace {

struct TIME_UNIT {
    const char* name;
    double picoseconds;
    int exponent;   // picoseconds = 10^exponent
};

// Longer names first so that "ms" is not read as "s".
const TIME_UNIT UNITS[] = {{"fs", 1e-3, -3}, {"ps", 1.0, 0}, {"ns", 1e3, 3},
                           {"us", 1e6, 6},   {"ms", 1e9, 9}, {"s", 1e12, 12}};

enum SCALED_READ { SCALED_OK, SCALED_NOT_WHOLE, SCALED_OUT_OF_RANGE };

// digits x 10^exponent picoseconds, exactly: digits below a picosecond must
// be zeros, and the result at most most.
SCALED_READ scale_digits(std::string_view digits, int exponent, std::int64_t most, std::int64_t& picoseconds)
{
    if (exponent < 0) {
        const std::size_t fraction = std::min(digits.size(), static_cast<std::size_t>(-exponent));
        if (digits.substr(digits.size() - fraction).find_first_not_of('0') != std::string_view::npos)
            return SCALED_NOT_WHOLE;
        digits.remove_suffix(fraction);
        exponent = 0;
    }
    std::int64_t number = 0;
    if (!digits.empty() &&
        std::from_chars(digits.data(), digits.data() + digits.size(), number).ec == std::errc::result_out_of_range)
        return SCALED_OUT_OF_RANGE;
    for (int i = 0; i < exponent; ++i) {
        if (number > most / 10)
            return SCALED_OUT_OF_RANGE;
        number *= 10;
    }
    if (number > most)
        return SCALED_OUT_OF_RANGE;
    picoseconds = number;
    return SCALED_OK;
}

bool is_digits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool fail_out_of_range(const std::string& text, std::int64_t most, std::string& error)
{
    error = "\"" + text + "\" is out of range (at most " + std::to_string(most) + " ps)";
    return false;
}

bool fail_not_whole(const std::string& text, std::string& error)
{
    error = "\"" + text + "\" is not a whole number of picoseconds";
    return false;
}

// A number with a fraction or an exponent: rounded to
// whole picoseconds when that is within rounding error.
bool scale_fraction(const std::string& text, double number, const TIME_UNIT& unit, std::int64_t most,
                    std::int64_t& picoseconds, std::string& error)
{
    const double value = number * unit.picoseconds;
    const double whole = std::round(value);
    // 2^63 and above do not convert to 64 bits.
    if (whole >= std::ldexp(1.0, 63) || whole > static_cast<double>(most) || static_cast<std::int64_t>(whole) > most)
        return fail_out_of_range(text, most, error);
    // Within rounding error of a whole picosecond; a time that is not zero
    // never rounds to zero ("1e-30s" is refused like "0.5fs").
    if (std::fabs(value - whole) > 1e-6 * whole || (whole == 0.0 && value != 0.0))
        return fail_not_whole(text, error);
    picoseconds = static_cast<std::int64_t>(whole);
    return true;
}

}  // namespace

bool putil_parse_time_text(const std::string& text, std::int64_t& picoseconds, std::string& error,
                           std::int64_t most)
{
    // The unit is the text's end; longer names are tried first, so that "ms"
    // is not read as "s".
    const TIME_UNIT* unit = nullptr;
    std::string_view number_text(text);
    for (const TIME_UNIT& candidate : UNITS) {
        const std::string_view name(candidate.name);
        if (number_text.size() > name.size() && number_text.substr(number_text.size() - name.size()) == name) {
            unit = &candidate;
            number_text.remove_suffix(name.size());
            break;
        }
    }
    while (!number_text.empty() && number_text.back() == ' ')
        number_text.remove_suffix(1);
    double number = 0.0;
    const bool decimal = host_read_decimal(number_text, number);
    if (!decimal && host_is_decimal_form(number_text) && number_text.front() != '-')
        return fail_out_of_range(text, most, error);
    if (!decimal || number < 0 || number_text.front() == '-') {
        error = "\"" + text + "\" is not a time (a decimal number and a unit: fs, ps, ns, us, ms or s; e.g. 10ns)";
        return false;
    }
    if (unit == nullptr) {
        error = "\"" + text + "\" has no time unit (fs, ps, ns, us, ms or s)";
        return false;
    }
    if (!is_digits(number_text))
        return scale_fraction(text, number, *unit, most, picoseconds, error);
    // Whole numbers are read exactly, beyond double precision.
    switch (scale_digits(number_text, unit->exponent, most, picoseconds)) {
    case SCALED_OK: return true;
    case SCALED_NOT_WHOLE: return fail_not_whole(text, error);
    case SCALED_OUT_OF_RANGE: return fail_out_of_range(text, most, error);
    }
    return fail_out_of_range(text, most, error);
}

bool putil_parse_picosecond_count(const std::string& text, std::int64_t& picoseconds, std::string& error,
                                  std::int64_t most)
{
    if (!is_digits(text)) {
        error = "\"" + text + "\" is not a whole number of picoseconds";
        return false;
    }
    if (scale_digits(text, 0, most, picoseconds) != SCALED_OK)
        return fail_out_of_range(text, most, error);
    return true;
}
