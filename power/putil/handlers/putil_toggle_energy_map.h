// The switching energies that the transient current generator spreads over
// time, as the caller gives them.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

// Switching energies of the output signals, by output signal id
// (PUTIL_SA_DATA::get_unique_id_for_output_signal): a list of (energy type,
// energy) each. The transient current counts the types 0 and 10 only; types
// and units are the caller's.
typedef std::unordered_map<std::uint32_t, std::vector<std::pair<std::int32_t, double>>> PUTIL_TOGGLE_ENERGY_MAP;
