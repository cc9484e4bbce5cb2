// SAIF 2.0 output of the activity command: the time every measured net spent
// at 0, 1, X and Z, and its transitions, in the design's hierarchy
// (docs/saif-output.md).
#pragma once

#include <ostream>
#include <string>

class HOST_DESIGN;

// What the header says besides the durations.
struct PUTIL_SAIF_HEADER {
    std::string date;      // e.g. "Mon Dec  7 02:49:22 2026"
    std::string version;   // of the program
};

// The header date: SOURCE_DATE_EPOCH when set (reproducible files), else
// now; in UTC.
std::string putil_saif_date();

// Writes the nets whose level times the design's store kept (one VCD file
// read with HOST_SA_DATA::set_keeping_level_times on), in netlist order
// within each instance.
void putil_write_saif(const HOST_DESIGN& design, const PUTIL_SAIF_HEADER& header, std::ostream& out);

// A hierarchy level or net name as a SAIF identifier: characters other than
// letters, digits and '_' are escaped with '\', except a trailing bit
// select "[k]".
std::string putil_saif_identifier(const std::string& name);
