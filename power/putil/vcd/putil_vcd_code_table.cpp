// Identifier codes to numbers: an array by rank in the writers' sequence, and
// a hash table for the other codes.
#include "vcd/putil_vcd_code_table.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t hash_of(std::string_view code)
{
    std::uint32_t hash = 2166136261u;   // FNV-1a
    for (const char c : code)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

}  // namespace

void PUTIL_VCD_CODE_TABLE::build(const PUTIL_VECTOR<PUTIL_VCD_CODE_VALUE>& codes)
{
    // Ranks up to about four times the number of codes are kept in the array;
    // the counting order that puts more codes there is taken.
    const std::size_t rank_limit = 4 * codes.size() + 256;
    std::size_t in_array[2] = {0, 0};
    for (const PUTIL_VCD_CODE_VALUE& entry : codes) {
        for (int first_fastest = 0; first_fastest < 2; ++first_fastest)
            in_array[first_fastest] += rank_of(entry.code, first_fastest == 1) < rank_limit;
    }
    m_first_counts_fastest = in_array[1] >= in_array[0];

    std::uint32_t array_size = 0;
    for (const PUTIL_VCD_CODE_VALUE& entry : codes) {
        const std::uint32_t rank = rank_of(entry.code, m_first_counts_fastest);
        if (rank < rank_limit)
            array_size = std::max(array_size, rank + 1);
    }
    m_by_rank.assign(array_size, s_absent);

    const std::size_t hashed = codes.size() - in_array[m_first_counts_fastest ? 1 : 0];
    std::size_t slot_count = hashed == 0 ? 0 : 8;
    while (slot_count < 2 * hashed)
        slot_count *= 2;
    m_slots.assign(slot_count, SLOT{0, 0, 0});
    m_texts.clear();

    for (const PUTIL_VCD_CODE_VALUE& entry : codes) {
        const std::uint32_t rank = rank_of(entry.code, m_first_counts_fastest);
        if (rank < array_size)
            m_by_rank[rank] = entry.value;
        else
            add_hashed(entry.code, entry.value);
    }
}

void PUTIL_VCD_CODE_TABLE::add_hashed(std::string_view code, std::uint32_t value)
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash_of(code) & mask;
    while (m_slots[i].length != 0)
        i = (i + 1) & mask;
    m_slots[i] = SLOT{static_cast<std::uint32_t>(m_texts.size()), static_cast<std::uint32_t>(code.size()), value};
    m_texts.insert(m_texts.end(), code.begin(), code.end());
}

std::uint32_t PUTIL_VCD_CODE_TABLE::find_hashed(std::string_view code) const
{
    if (m_slots.empty())
        return s_absent;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash_of(code) & mask; m_slots[i].length != 0; i = (i + 1) & mask) {
        const SLOT& slot = m_slots[i];
        if (slot.length == code.size() && std::memcmp(m_texts.data() + slot.text, code.data(), code.size()) == 0)
            return slot.value;
    }
    return s_absent;
}
