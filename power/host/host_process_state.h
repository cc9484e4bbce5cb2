// Reference host process state: one call that returns every process-wide
// record and choice of the host to its state at start, so that a process
// can run one job after another (the Python module, the tests' fixture).
#pragma once

// Clears the current design, the posted messages and suppressions, the
// settings, the progress record (ending an open bar line), the records of
// hierarchy builders and timing API calls, and the failure policy and
// customer-release flag; messages go to std::cerr again. Debug channels
// are kept: they are the user's choice for the whole process.
void host_reset_process_state();
