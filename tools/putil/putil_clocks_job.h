// The clocks job that `putil clocks` and the Python module share: the
// design with its clock constraints, and the clock domain of every output
// signal with relative toggle rates made absolute.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "putil_clocks_report.h"

class HOST_DESIGN;

// The design file with the constraints file (empty: none) applied; null,
// with error set, when either does not load. warnings gets the constraint
// commands that were skipped.
std::unique_ptr<HOST_DESIGN> putil_load_clocks_design(const std::string& design_file,
                                                      const std::string& constraints_file, std::string& error,
                                                      std::vector<std::string>& warnings);

// Finds the domains under rule ("strict", "fastest" or "slowest") and asks
// the rate of each signal given relative to its clock (percent by name), so
// that those without a clock are reported; the rows, report tables and
// messages end in report. Throws PUTIL_USAGE_ERROR for an unknown rule or a
// name the design has no output signal of; false when memory ran out.
bool putil_run_clocks_job(const HOST_DESIGN& design, const std::string& rule,
                          const std::map<std::string, float>& relative, PUTIL_CLOCKS_REPORT& report);
