// What one "$var" declaration names, read by the rules every handler that
// matches names shares, and the names of a vector's bits.
#pragma once

#include <cstdint>
#include <string>

// The widest declaration that is measured, in bits. Every bit is looked up
// in the design by name, so an absurd width ("$var wire 2000000000 ...")
// would stall the reader; no design signal is that wide.
const long long PUTIL_MAX_DECLARED_BITS = 1LL << 20;

// What one "$var" declaration names: a scalar, the bits of a vector, or
// nothing that the activity job measures. A vector's msb is the index
// written on the left, the bit of a value's leftmost digit, and lsb the one
// on the right: [7:0] descends, [1:32] ascends.
struct PUTIL_VCD_DECLARED_SIGNAL {
    enum KIND { NONE, SCALAR, VECTOR } kind;
    std::string name;   // the scalar's name, or the vector's reference
    int msb;
    int lsb;
    // NONE only because strict reading measures descending ranges alone;
    // extended reading would measure this ascending range.
    bool ascending_ignored = false;

    bool ascending() const { return msb < lsb; }
    // Bits of a vector; a value's digits count from its rightmost, bit lsb.
    std::uint32_t width() const
    {
        return static_cast<std::uint32_t>(ascending() ? lsb - msb : msb - lsb) + 1;
    }
    // Where bit sits in a value, counted from the rightmost digit.
    std::uint32_t position_of(long long bit) const
    {
        return static_cast<std::uint32_t>(ascending() ? lsb - bit : bit - lsb);
    }
};

// Where handlers read declarations differently. The defaults are the name
// matching rules; a handler that writes names back as the file has them
// turns them off.
struct PUTIL_VCD_DECLARATION_RULES {
    // A leading '\' (the mark of an escaped identifier) is not part of the name.
    bool drop_leading_backslash = true;
    // Without an index, a range may end the reference ("bus[3:0]").
    bool range_in_reference = true;
    // With the extended syntax, a declaration wider than one bit whose
    // index is not a range ("rf" "[3]" of 8 bits) is a vector; when off,
    // only one without an index is.
    bool widen_indexed_words = true;
};

// Reads a declaration: the range from the index, or (by the rules) from the
// end of the reference; negative bit numbers and more than
// PUTIL_MAX_DECLARED_BITS bits name nothing, and so do ascending ranges
// unless with the extended syntax; otherwise the reference and its index
// are a scalar ("d" "[3]" is "d[3]"), unless, with the extended syntax, the
// declaration is wider than one bit: then it is the vector [size-1:0] of
// that name.
PUTIL_VCD_DECLARED_SIGNAL putil_vcd_declared_signal(const char* reference, const char* index, int size,
                                                    bool extended_syntax,
                                                    const PUTIL_VCD_DECLARATION_RULES& rules =
                                                        PUTIL_VCD_DECLARATION_RULES());

// Calls visit(name, position) for every bit of a vector declaration, lowest
// index first, with the bit's position in a value counted from the
// rightmost digit: "bus[3]" of [7:0] at position 3, "d[1]" of [1:4] at
// position 3. Every value consumer maps digits by position alone, so an
// ascending range costs nothing per change. One name buffer serves every bit.
template <class VISIT>
void putil_vcd_for_each_bit(const PUTIL_VCD_DECLARED_SIGNAL& vector, VISIT visit)
{
    std::string name = vector.name + "[";
    const std::size_t stem = name.size();
    // A wider counter than the bit numbers: an index may be INT_MAX.
    const long long high = vector.ascending() ? vector.lsb : vector.msb;
    for (long long bit = vector.ascending() ? vector.msb : vector.lsb; bit <= high; ++bit) {
        name.resize(stem);
        name += std::to_string(bit);
        name += ']';
        visit(name, vector.position_of(bit));
    }
}
