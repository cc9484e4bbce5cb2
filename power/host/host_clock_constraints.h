// Reference host constraints reader: the clocks of a timing constraints file
// (create_clock and create_generated_clock of the usual constraints
// language, described in docs/design-format.md) added to a design.
#pragma once

#include <string>
#include <vector>

class HOST_DESIGN;

// False on the first bad line, with error set to one line naming the file,
// the line and what is wrong; the design then gets none of the file's
// clocks. Other commands are skipped unread; when warnings is given it gets
// one line per skipped command name, e.g. "clocks.sdc: skipped 2
// set_input_delay commands (...)", in the order first seen.
bool host_load_clock_constraints(HOST_DESIGN& design, const std::string& path, std::string& error,
                                 std::vector<std::string>* warnings = nullptr);
// The same for text held in memory; label stands for the file name.
bool host_load_clock_constraints_text(HOST_DESIGN& design, const std::string& text, const std::string& label,
                                      std::string& error, std::vector<std::string>* warnings = nullptr);
