#include "vcd/putil_vcd_declared_signal.h"

#include <algorithm>

#include "vcd/putil_bit_range.h"

PUTIL_VCD_DECLARED_SIGNAL putil_vcd_declared_signal(const char* reference, const char* index, int size,
                                                    bool extended_syntax, const PUTIL_VCD_DECLARATION_RULES& rules)
{
    std::string name(reference[0] == '\\' && rules.drop_leading_backslash ? reference + 1 : reference);
    const std::string index_text(index);
    PUTIL_VCD_DECLARED_SIGNAL signal{PUTIL_VCD_DECLARED_SIGNAL::SCALAR, name + index_text, 0, 0};

    // The range stands either in the index or at the end of the reference.
    PUTIL_BIT_RANGE_READ range = PUTIL_BIT_RANGE_MALFORMED;
    if (index_text.empty() && rules.range_in_reference) {
        const std::size_t bracket = name.rfind('[');
        if (!name.empty() && name.back() == ']' && bracket != std::string::npos) {
            range = putil_read_bit_range(name.c_str() + bracket, &signal.msb, &signal.lsb);
            if (range != PUTIL_BIT_RANGE_MALFORMED)
                signal.name = name.substr(0, bracket);
        }
    } else if (!index_text.empty()) {
        range = putil_read_bit_range(index_text.c_str(), &signal.msb, &signal.lsb);
        if (range != PUTIL_BIT_RANGE_MALFORMED)
            signal.name = name;
    }
    // Bit numbers beyond an int name no design signal.
    if (range == PUTIL_BIT_RANGE_OUT_OF_RANGE) {
        signal.kind = PUTIL_VCD_DECLARED_SIGNAL::NONE;
        return signal;
    }
    bool is_vector = range == PUTIL_BIT_RANGE_OK;
    if (!is_vector && extended_syntax && size > 1 && (rules.widen_indexed_words || index_text.empty())) {
        // Integers, wide nets without a range and memory words ("rf[3]" of
        // 8 bits) are read as the vector [size-1:0] of their name.
        signal.msb = size - 1;
        signal.lsb = 0;
        is_vector = true;
    }
    if (!is_vector)
        return signal;
    signal.kind = PUTIL_VCD_DECLARED_SIGNAL::VECTOR;
    // Negative bit numbers are not measured, nor is a width beyond any
    // design signal's.
    const int low = std::min(signal.msb, signal.lsb), high = std::max(signal.msb, signal.lsb);
    if (low < 0 || putil_bit_range_width(high, low) > PUTIL_MAX_DECLARED_BITS) {
        signal.kind = PUTIL_VCD_DECLARED_SIGNAL::NONE;
        return signal;
    }
    // Strict reading measures descending ranges only; the handlers count
    // the ascending ones it leaves ("[1:32]" of cores) for the host.
    if (signal.ascending() && !extended_syntax) {
        signal.kind = PUTIL_VCD_DECLARED_SIGNAL::NONE;
        signal.ascending_ignored = true;
    }
    return signal;
}
