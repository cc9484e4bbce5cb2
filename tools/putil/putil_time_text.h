// Times given on the command line: a number and a unit, e.g. "10ns", "1.5us".
#pragma once

#include <cstdint>
#include <limits>
#include <string>

// The time in picoseconds; false with a reason when the text is not a
// non-negative number followed by fs, ps, ns, us, ms or s, is more than most
// picoseconds ("out of range"), or is not a whole number of picoseconds.
bool putil_parse_time_text(const std::string& text, std::int64_t& picoseconds, std::string& error,
                           std::int64_t most = std::numeric_limits<std::int64_t>::max());

// A number of picoseconds written in decimal digits only, at most most; false
// with a reason otherwise.
bool putil_parse_picosecond_count(const std::string& text, std::int64_t& picoseconds, std::string& error,
                                  std::int64_t most = std::numeric_limits<std::int64_t>::max());
