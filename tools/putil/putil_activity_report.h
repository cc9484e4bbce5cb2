// Output of the activity command: the signals' activity from the store, the
// inputs' summaries and the messages, as a table, CSV or JSON.
#pragma once

#include <ostream>
#include <string>

class HOST_DESIGN;

enum class PUTIL_ACTIVITY_FORMAT { TABLE, CSV, JSON, SAIF };

bool putil_activity_format_from_name(const std::string& name, PUTIL_ACTIVITY_FORMAT& format);

// Writes one row per output term of the design in netlist order; a value
// the simulation did not give is empty (CSV), null (JSON) or "-" (table).
// With constraints, values that the clock constraints gave are written too,
// and each value says where it came from. partial (JSON only) marks the
// results of a read that failed part way: "partial": true comes first.
void putil_write_activity_report(const HOST_DESIGN& design, PUTIL_ACTIVITY_FORMAT format, bool with_constraints,
                                 std::ostream& out, bool partial = false);
