// Reference host waveform database: VDB_DATA reads vector waveform tables
// (host_waveform_table.h) and answers their channels by name.
#pragma once

#include <string>

#include "host/vdb.h"

// Why the last read_from_disk of any database failed ("t.tbl:7: expected
// '>' after the time ..."); empty after one that succeeded.
const std::string& host_vdb_last_error();
