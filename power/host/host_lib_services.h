// Reference host services of the power analyzer (facade of the current
// design, failure policy, power-analysis membership) and small utilities.
#pragma once

#include "host/putil_lib.h"

// What putil_lib_get_continue_and_warn_on_failure answers; false at start.
void host_set_continue_and_warn_on_failure(bool value);
