// Held value changes: one block each for the changes and the vector texts,
// reserved once; only the list of time steps grows.
#include "vcd/putil_vcd_held_changes.h"

void PUTIL_VCD_HELD_CHANGES::reserve()
{
    m_changes.resize(m_change_capacity);
    m_texts.resize(m_text_capacity);
}

void PUTIL_VCD_HELD_CHANGES::clear()
{
    m_change_count = 0;
    m_steps.clear();
    m_text_end = 0;
}
