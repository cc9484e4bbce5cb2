// Value changes read from a waveform and not yet applied to the records they
// reach: kept in the order they were read, with the time they were read at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/putil_internal.h"

// When a change is applied: the time in the file's unit (in whole ticks too,
// when the time is whole), and whether that lies in the measured window.
struct PUTIL_VCD_MOMENT {
    double time;
    std::int64_t ticks;
    bool in_window;
    bool operator==(const PUTIL_VCD_MOMENT& other) const
    {
        return time == other.time && ticks == other.ticks && in_window == other.in_window;
    }
};

// One room is filled by the reading thread while another is applied and
// cleared by the apply thread: a cache line's width on either side of a
// room's fields keeps what the two threads write off each other's lines.
class PUTIL_VCD_HELD_CHANGES {
public:
    // A change of the code with table entry `entry`: a scalar's level, or a
    // vector's text ("b" and digits) copied into the held digits.
    struct CHANGE {
        std::uint32_t entry;
        std::uint32_t text_length;   // of a vector's text; 0 for a scalar
        std::uint32_t text;          // the scalar's level, or where the vector's text starts
    };
    // The changes [first, end) were read at the same moment.
    struct TIME_STEP {
        PUTIL_VCD_MOMENT at;
        std::size_t first;
        std::size_t end;
    };

    PUTIL_VCD_HELD_CHANGES(std::size_t change_capacity, std::size_t text_capacity)
        : m_change_capacity(change_capacity), m_text_capacity(text_capacity)
    {
    }
    // Takes the whole room at once, before the first change is held.
    void reserve();

    // False when there is no room left; a vector text longer than the whole
    // room is never held. Inline: they run for every change.
    bool hold_scalar(std::uint32_t entry, char level, const PUTIL_VCD_MOMENT& at)
    {
        if (m_change_count == m_change_capacity)
            return false;
        hold(CHANGE{entry, 0, static_cast<unsigned char>(level)}, at);
        return true;
    }
    bool hold_vector(std::uint32_t entry, std::string_view text, const PUTIL_VCD_MOMENT& at)
    {
        if (m_change_count == m_change_capacity || text.size() > m_texts.size() - m_text_end)
            return false;
        std::memcpy(m_texts.data() + m_text_end, text.data(), text.size());
        hold(CHANGE{entry, static_cast<std::uint32_t>(text.size()), static_cast<std::uint32_t>(m_text_end)}, at);
        m_text_end += text.size();
        return true;
    }
    bool empty() const { return m_change_count == 0; }
    void clear();

    const PUTIL_VECTOR<TIME_STEP>& steps() const { return m_steps; }
    // The changes held, [0, change_count()).
    const CHANGE* changes() const { return m_changes.data(); }
    std::size_t change_count() const { return m_change_count; }
    const char* text_of(const CHANGE& change) const { return m_texts.data() + change.text; }

private:
    void hold(const CHANGE& change, const PUTIL_VCD_MOMENT& at)
    {
        if (m_steps.empty() || !(m_steps.back().at == at))
            m_steps.push_back(TIME_STEP{at, m_change_count, m_change_count});
        m_changes[m_change_count] = change;
        m_steps.back().end = ++m_change_count;
    }

    [[maybe_unused]] char m_separation_before[64];
    std::size_t m_change_capacity;
    std::size_t m_text_capacity;
    PUTIL_VECTOR<CHANGE> m_changes;   // the room for changes, sized once
    std::size_t m_change_count = 0;   // of the changes held
    PUTIL_VECTOR<TIME_STEP> m_steps;
    PUTIL_VECTOR<char> m_texts;   // the room for texts, sized once
    std::size_t m_text_end = 0;   // of the texts held
    [[maybe_unused]] char m_separation_after[64];
};
