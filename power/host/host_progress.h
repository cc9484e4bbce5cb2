// Reference host progress bar: drawn on stderr when it is a terminal, and a
// record of the percentages the library reported.
#pragma once

#include <vector>

#include "host/putil_lib.h"

// Percentages given with state 0, in order, since the last clear.
const std::vector<int>& host_progress_updates();
void host_clear_progress_updates();
// Ends a bar line that is still open (the run stopped before 100 percent).
void host_progress_finish();
// Whether the bar is drawn at all (on a terminal); true at start.
void host_set_progress_drawn(bool drawn);
