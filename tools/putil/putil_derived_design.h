// A design derived from a VCD file's declarations, so that any VCD can be
// analysed without a compiled design: every signal bit the file declares in
// a form the activity job can measure becomes one output term.
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

class HOST_DESIGN;

// The signals that the declarations of a VCD name, each as its hierarchy
// levels ({"top", "sub", "sig[3]"}: scope names may contain "|"), in order of
// first declaration, each once. Reading stops at
// "$enddefinitions" or the first timestamp. With extended_syntax, a
// declaration wider than one bit without a readable range is the vector
// [size-1:0] of its reference, and scope kinds other than module-like ones
// are accepted as the activity job accepts them.
std::vector<std::vector<std::string>> putil_derive_signal_paths(std::istream& vcd, bool extended_syntax);

// The design of those signals: one atom with one output term per path, all
// driving one sink so that every signal has a fanout. Null, with error set,
// when the file cannot be opened.
std::unique_ptr<HOST_DESIGN> putil_derive_design(const std::string& vcd_path, bool extended_syntax,
                                                 std::string& error);
