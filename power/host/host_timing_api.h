// Reference host timing API: the accessories that build and release the
// current design's timing netlist, the timing API scope a build must run
// in, the database manager, and a record of the calls for the tests of
// their callers.
#pragma once

#include <vector>

#include "host/tdb.h"

// What the timing API was asked, since the process started or the record
// was cleared.
struct HOST_TIMING_API_RECORD {
    int scope_starts = 0;
    // The flag of the last TAPI_ROOT made, and the arguments of the last
    // TAPI_ROOT::start.
    bool root_flag = false;
    int invoke_mode = 0;
    int timing_model = 0;
    bool start_flags[3] = {false, false, false};
    const void* edge_delay_table = nullptr;

    int builds = 0;
    int releases = 0;
    // The arguments of the last build.
    TDC_NETLIST_OPTIONS options{0, false, 0, 0, 0};
    bool build_flags[2] = {false, false};

    // Kinds given to TAPI_DB_MANAGER::release_database, in call order.
    std::vector<int> released_databases;
};

const HOST_TIMING_API_RECORD& host_timing_api_record();
void host_clear_timing_api_record();
// Whether a TAPI_ROOT has started and not ended yet.
bool host_timing_scope_open();
