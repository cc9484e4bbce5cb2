// What the activity job measured, read back from the design: one row per
// signal and one summary per input. The reports of `putil activity` and the
// Python module both read it through here.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

class HOST_DESIGN;
class HOST_INPUT_FILE_DATA;

struct PUTIL_ACTIVITY_ROW {
    std::string name;
    std::optional<float> static_probability;
    std::optional<float> toggle_rate;
    const char* static_probability_source;   // "waveform", "constraints" or ""
    const char* toggle_rate_source;
    // A bidirectional pad's toggle rate while its output was enabled (the
    // store's record of its output side), when the waveforms gave one.
    std::optional<float> output_toggle_rate;
};

// Calls visit with the row of every output term, in netlist order. A value
// is the waveforms' (annotated), else, with constraints, one that the clock
// constraints gave, else none. Rows are made one at a time: a design of
// millions of signals is never held twice in memory as text.
void putil_for_each_activity_row(const HOST_DESIGN& design, bool with_constraints,
                                 const std::function<void(const PUTIL_ACTIVITY_ROW&)>& visit);

// What the report says of one input.
struct PUTIL_INPUT_SUMMARY {
    std::size_t matched_signals;
    std::optional<float> toggle_percentage;
    std::optional<float> unknown_percentage;
};

// The summary of one of the design's input entries.
PUTIL_INPUT_SUMMARY putil_input_summary(const HOST_DESIGN& design, const HOST_INPUT_FILE_DATA* entry);
