// The activity record of one output signal: static probability, toggle rate
// and the four annotation flags.
#include "host/putil_sa_data.h"
#include "host_internal_error.h"

namespace {

bool is_known_flag(int flag)
{
    return flag >= PUTIL_TOGGLE_RATE_ANNOTATED && flag <= PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE;
}

}  // namespace

PUTIL_OUTPUT_SIGNAL_DATA::PUTIL_OUTPUT_SIGNAL_DATA()
    : static_probability_file_id(0), toggle_rate_file_id(0), m_static_probability(0.0f), m_toggle_rate(0.0f),
      m_flags(0)
{
}

void PUTIL_OUTPUT_SIGNAL_DATA::set_static_probability(float value)
{
    m_static_probability = value;
}

void PUTIL_OUTPUT_SIGNAL_DATA::add_static_probability(float value)
{
    m_static_probability += value;
}

float PUTIL_OUTPUT_SIGNAL_DATA::get_static_probability() const
{
    return m_static_probability;
}

void PUTIL_OUTPUT_SIGNAL_DATA::set_toggle_rate(float transitions_per_second)
{
    m_toggle_rate = transitions_per_second;
}

void PUTIL_OUTPUT_SIGNAL_DATA::add_toggle_rate(float transitions_per_second)
{
    m_toggle_rate += transitions_per_second;
}

float PUTIL_OUTPUT_SIGNAL_DATA::get_toggle_rate() const
{
    return m_toggle_rate;
}

void PUTIL_OUTPUT_SIGNAL_DATA::set_flag_value(int flag, bool value)
{
    HOST_ASSERT(is_known_flag(flag));
    unsigned bit = 1u << flag;
    m_flags = value ? (m_flags | bit) : (m_flags & ~bit);
}

bool PUTIL_OUTPUT_SIGNAL_DATA::get_flag_value(int flag) const
{
    HOST_ASSERT(is_known_flag(flag));
    return (m_flags & (1u << flag)) != 0;
}

bool PUTIL_OUTPUT_SIGNAL_DATA::is_trusted_static_probability() const
{
    return get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED) ||
           get_flag_value(PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE);
}

bool PUTIL_OUTPUT_SIGNAL_DATA::is_trusted_transition_density() const
{
    return get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED) || get_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE);
}
