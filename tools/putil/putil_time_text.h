// Times given on the command line: a number and a unit, e.g. "10ns", "1.5us".
#pragma once

#include <cstdint>
#include <string>

// The time in picoseconds; false with a reason when the text is not a
// non-negative number followed by fs, ps, ns, us, ms or s, or is not a whole
// number of picoseconds.
bool putil_parse_time_text(const std::string& text, std::int64_t& picoseconds, std::string& error);
