// The activity job that `putil activity` and the Python module share: the
// settings it runs with, its inputs, and the read of the waveforms into the
// design's store. The rows and summaries are in putil_activity_rows.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/big_time.h"

class HOST_DESIGN;
class HOST_INSTANCE;
struct HOST_POSTED_MESSAGE;

// Settings of every activity run: the extended VCD syntax unless strict, and
// value changes applied on a second thread while the next ones are read.
void putil_apply_activity_settings(bool strict);

// The first of the files that is a directory, if any. A directory passes the
// reader's existence check but its stream fails, which the scanner treats
// as fatal: callers refuse it before reading.
std::optional<std::string> putil_find_directory(const std::vector<std::string>& files);

// One input entry per file, in order, applied to scope over the window
// (unbounded where a bound is missing).
void putil_add_waveform_inputs(HOST_DESIGN& design, const std::vector<std::string>& files, HOST_INSTANCE* scope,
                               const std::optional<BIG_TIME>& start, const std::optional<BIG_TIME>& end);

// The job's options beside the files, as the program and the Python module
// take them; each throws PUTIL_USAGE_ERROR for a value it cannot use.

// The design instance the waveforms apply to (empty: the root).
HOST_INSTANCE* putil_find_scope(HOST_DESIGN& design, const std::string& scope);

// When a later file annotates a signal again: "replace", "add", "keep" or
// "concatenate" (putil_concatenate_read then annotates the sums of all).
void putil_set_merge_mode(HOST_DESIGN& design, const std::string& merge);

// Glitch filtering: with an empty width every connection has the design's
// own delays, else that width ("200ps", or a plain number of picoseconds).
void putil_set_glitch_filter(HOST_DESIGN& design, const std::string& width);

// Applies a clock constraints file before the waveforms are read: the
// constrained clocks, and those their PLLs and clock control blocks derive,
// get their rate and duty cycle. False, with error set, when the file does
// not load; warnings gets the commands it skipped.
bool putil_apply_clock_constraints(HOST_DESIGN& design, const std::string& file, std::string& error,
                                   std::vector<std::string>& warnings);

// How a read ended: an exit status of the program, and the reason of a
// failure that no posted message gives, or the internal error that stopped
// the read (which the host's message stream has shown); empty otherwise.
struct PUTIL_ACTIVITY_READ {
    int status;
    std::string error;
    std::string internal_error;
    bool stopped = false;   // ended early on purpose: no file after the last one read was read
};

// Reads the design's inputs into its store with a new reader; vwf when the
// one input is a waveform table. Failed when a file was missing or did not
// parse, or the reader failed or broke an invariant; the store keeps what
// was collected.
PUTIL_ACTIVITY_READ putil_read_waveform_inputs(HOST_DESIGN& design, bool vwf);

// Why inputs that were read gave no activity, one text per input: it
// declares no signals, none of its signals is in the design, or it holds
// no data (inside the window, when one is set). Empty when every input gave
// some.
std::vector<std::string> putil_empty_input_warnings(const HOST_DESIGN& design);

// The first posted message that fails a read (a missing file, a file that
// did not parse, any error), or null.
const HOST_POSTED_MESSAGE* putil_first_input_failure();
