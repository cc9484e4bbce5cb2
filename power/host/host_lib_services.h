// Reference host services of the power analyzer (facade of the current
// design, failure policy, power-analysis membership) and small utilities.
#pragma once

#include "host/putil_lib.h"

// What putil_lib_get_continue_and_warn_on_failure answers; false at start.
void host_set_continue_and_warn_on_failure(bool value);

#include <string>
#include <vector>

// What putil_lib_stop_requested answers (false at start); may be set from
// another thread or a signal handler.
void host_request_stop(bool stop);

// What putil_lib_get_output_directory answers; empty (the working
// directory) at start.
void host_set_output_directory(const std::string& folder);
// The output failures the library reported since the last clear, in order;
// each is also written to the message stream as an error.
const std::vector<std::string>& host_output_failures();
// The warnings the library reported since the last clear, in order; each is
// also written to the message stream.
const std::vector<std::string>& host_library_warnings();
// Forgets both output failures and library warnings.
void host_clear_output_failures();
