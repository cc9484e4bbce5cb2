// A design derived from a VCD file's declarations, so that any VCD can be
// analysed without a compiled design: every signal bit the file declares in
// a form the activity job can measure becomes one output term.
#pragma once

#include <memory>
#include <string>

class HOST_DESIGN;

// The design of the signals that the file's declarations name, as the
// library's reader names them (the setting "putil_vcd_extended_syntax"
// applies): one atom with one output term per signal, all driving one sink
// so that every signal has a fanout. Declarations that do not parse end the
// design there; the messages of that reading are dropped, as the activity
// job reads the file again and reports it then. Null, with error set, when
// the file cannot be opened.
std::unique_ptr<HOST_DESIGN> putil_derive_design(const std::string& vcd_path, std::string& error);
