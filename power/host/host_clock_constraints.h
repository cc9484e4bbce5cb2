// Reference host constraints reader: the clocks of a timing constraints file
// (a small subset of the usual constraints language, described in
// docs/design-format.md) added to a design.
#pragma once

#include <string>

class HOST_DESIGN;

// False on the first bad line, with error set to one line naming the file,
// the line and what is wrong; the design then gets none of the file's
// clocks.
bool host_load_clock_constraints(HOST_DESIGN& design, const std::string& path, std::string& error);
// The same for text held in memory; label stands for the file name.
bool host_load_clock_constraints_text(HOST_DESIGN& design, const std::string& text, const std::string& label,
                                      std::string& error);
