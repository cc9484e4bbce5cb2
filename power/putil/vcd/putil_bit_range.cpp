// Reading of "[msb:lsb]" bit ranges.
#include "vcd/putil_bit_range.h"

#include <charconv>
#include <climits>
#include <cstring>

PUTIL_BIT_RANGE_READ putil_read_bit_range(const char* text, int* msb, int* lsb)
{
    const char* const end = text + std::strlen(text);
    if (text == end || *text != '[')
        return PUTIL_BIT_RANGE_MALFORMED;
    const char terminators[2] = {':', ']'};
    std::int64_t numbers[2] = {0, 0};
    bool fit = true;
    const char* cursor = text + 1;
    for (int i = 0; i < 2; ++i) {
        const std::from_chars_result read = std::from_chars(cursor, end, numbers[i]);
        if (read.ptr == cursor || read.ptr == end || *read.ptr != terminators[i])
            return PUTIL_BIT_RANGE_MALFORMED;
        // Beyond 64 bits the digits are still consumed, the number left unset.
        if (read.ec == std::errc::result_out_of_range || numbers[i] < INT_MIN || numbers[i] > INT_MAX)
            fit = false;
        cursor = read.ptr + 1;
    }
    if (cursor != end)
        return PUTIL_BIT_RANGE_MALFORMED;
    if (!fit)
        return PUTIL_BIT_RANGE_OUT_OF_RANGE;
    *msb = static_cast<int>(numbers[0]);
    *lsb = static_cast<int>(numbers[1]);
    return PUTIL_BIT_RANGE_OK;
}
