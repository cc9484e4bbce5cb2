#include "host_decimal.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

std::size_t skip_digits(std::string_view text, std::size_t at)
{
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    return at;
}

}  // namespace

// Sign, digits, optional fraction, optional exponent: the decimal form only.
bool host_is_decimal_form(std::string_view text)
{
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const std::size_t whole_end = skip_digits(text, at);
    std::size_t digits = whole_end - at;
    at = whole_end;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction_end = skip_digits(text, at + 1);
        digits += fraction_end - at - 1;
        at = fraction_end;
    }
    if (digits == 0)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        const std::size_t exponent_end = skip_digits(text, at);
        if (exponent_end == at)
            return false;
        at = exponent_end;
    }
    return at == text.size();
}

bool host_read_decimal(std::string_view text, double& value)
{
    if (!host_is_decimal_form(text))
        return false;
    const std::string copy(text);
    errno = 0;
    const double read = std::strtod(copy.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(read))
        return false;
    if (!std::isfinite(read))
        return false;
    value = read;
    return true;
}
