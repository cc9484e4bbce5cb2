// Output of the hssi command's power report: per element and supply, then
// the totals per supply and per supply region, as a table, CSV or JSON.
#pragma once

#include <ostream>
#include <string>

#include "putil_hssi_job.h"

enum class PUTIL_HSSI_FORMAT { TABLE, CSV, JSON };

PUTIL_HSSI_FORMAT putil_hssi_format_from_name(const std::string& name);

// CSV holds the element rows only (the totals add them up); the table and
// JSON forms add the totals. Missing values are -, empty or null.
void putil_write_hssi_power_report(const PUTIL_HSSI_POWER_REPORT& report, PUTIL_HSSI_FORMAT format,
                                   std::ostream& out);
