// A table from the identifier codes of one VCD file to numbers, built once
// after the declarations and read for every value change without allocating.
// Writers give codes out in sequence from "!" in base 94 (printable characters
// 33 to 126), first or last character counting fastest, so a code's rank in
// that sequence indexes an array; codes outside the sequence go to a hash
// table.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/putil_internal.h"

struct PUTIL_VCD_CODE_VALUE {
    std::string_view code;   // non-empty; each code once
    std::uint32_t value;
};

class PUTIL_VCD_CODE_TABLE {
public:
    static constexpr std::uint32_t s_absent = 0xFFFFFFFFu;

    // Replaces the contents; the codes are copied.
    void build(const PUTIL_VECTOR<PUTIL_VCD_CODE_VALUE>& codes);

    // The value of code, or s_absent.
    std::uint32_t find(std::string_view code) const
    {
        const std::uint32_t rank = rank_of(code, m_first_counts_fastest);
        if (rank < m_by_rank.size())
            return m_by_rank[rank];
        return find_hashed(code);
    }

private:
    struct SLOT {
        std::uint32_t text;     // offset in m_texts
        std::uint32_t length;   // 0: free
        std::uint32_t value;
    };

    // Position of code in the sequence "!" ... "~", then all codes of two
    // characters, and so on up to four; s_absent beyond.
    static std::uint32_t rank_of(std::string_view code, bool first_counts_fastest)
    {
        static constexpr std::uint32_t s_first_of_length[] = {0, 0, 94, 94 + 94 * 94, 94 + 94 * 94 + 94 * 94 * 94};
        const std::size_t length = code.size();
        if (length == 0 || length > 4)
            return s_absent;
        const unsigned char* text = reinterpret_cast<const unsigned char*>(code.data());
        // Digits outside 0..93 (characters outside '!'..'~') are noted, not
        // branched on: a code is almost always in the sequence.
        std::uint32_t digits = 0;
        bool outside = false;
        const auto add = [&](std::uint32_t digit) {
            outside |= digit > 93;
            digits = digits * 94 + digit;
        };
        if (first_counts_fastest) {
            for (std::size_t i = length; i-- > 0;)
                add(text[i] - 33u);
        } else {
            for (std::size_t i = 0; i < length; ++i)
                add(text[i] - 33u);
        }
        return outside ? s_absent : s_first_of_length[length] + digits;
    }

    std::uint32_t find_hashed(std::string_view code) const;
    void add_hashed(std::string_view code, std::uint32_t value);

    bool m_first_counts_fastest = true;
    PUTIL_VECTOR<std::uint32_t> m_by_rank;   // value by rank, for every rank below its size
    PUTIL_VECTOR<SLOT> m_slots;              // open addressing; a power of two in size, or empty
    PUTIL_VECTOR<char> m_texts;
};
