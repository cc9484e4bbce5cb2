// Decimal numbers as users write them in options and files: "12", "-0.5",
// "1.5e-12". Hexadecimal, "inf", "nan", trailing text and values beyond a
// double are refused, so that no reader accepts "0x10" as 16.
#pragma once

#include <string_view>

// True when text is a whole decimal number, with an optional sign, fraction
// and exponent, whose value is finite; value is then set.
bool host_read_decimal(std::string_view text, double& value);

// True when text has the form of a decimal number, whatever its value
// (host_read_decimal refuses "1e400", which has it).
bool host_is_decimal_form(std::string_view text);
