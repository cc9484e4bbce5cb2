// Bit ranges of declarations, "[msb:lsb]": read with checked numbers and
// measured in 64 bits, so that no bit number or width can overflow an int.
#pragma once

#include <cstdint>

enum PUTIL_BIT_RANGE_READ {
    PUTIL_BIT_RANGE_OK,
    PUTIL_BIT_RANGE_MALFORMED,      // not '[', a number, ':', a number, ']' and nothing else
    PUTIL_BIT_RANGE_OUT_OF_RANGE    // well formed, but a bit number does not fit an int
};

// Reads text as "[msb:lsb]", each bit number decimal with an optional '-'.
// msb and lsb are written only when the answer is PUTIL_BIT_RANGE_OK.
PUTIL_BIT_RANGE_READ putil_read_bit_range(const char* text, int* msb, int* lsb);

// Bits from lsb up to msb; zero or negative when msb is below lsb.
inline std::int64_t putil_bit_range_width(int msb, int lsb)
{
    return static_cast<std::int64_t>(msb) - lsb + 1;
}
