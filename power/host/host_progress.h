// Reference host progress bar: drawn on stderr when it is a terminal, and a
// record of the percentages the library reported. The bar names the file
// being read, estimates the time left, and shows 100 % when a read ends
// well.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/putil_lib.h"

// Percentages given with state 0, in order, since the last clear.
const std::vector<int>& host_progress_updates();
void host_clear_progress_updates();
// Ends a bar line that is still open (the run stopped before 100 percent).
void host_progress_finish();
// Whether the bar is drawn at all (on a terminal); true at start.
void host_set_progress_drawn(bool drawn);

// A read of label (the file's shown name) starts: the next bar names it and
// times its progress from now. The messages that start a read call it.
void host_progress_start(const std::string& label);
// The read ended well: an open bar shows 100 % and ends, unless a stop was
// asked for (an interrupt, putil_vcd_stop_after_percent). The messages that
// end a read call it.
void host_progress_complete();
// The label of the bar, empty before any read started.
const std::string& host_progress_label();

// One drawn bar: "LABEL [#########           ] 45%  1m05s left". A label
// longer than 40 characters keeps its end after "..."; the time left shows
// when known.
std::string host_progress_text(const std::string& label, int percent, std::optional<double> seconds_left);

// The time left of a read at percent after elapsed seconds, at the pace so
// far; none before 1 % or a second has passed, and at 100 %.
std::optional<double> host_progress_seconds_left(int percent, double elapsed);
