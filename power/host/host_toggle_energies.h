// Reference host toggle energies: the switching energy of each output signal,
// read from a CSV file, as the transient current generator takes them.
#pragma once

#include <string>

#include "reader/putil_vcd_reader.h"

class HOST_DESIGN;

// Reads lines "name,energy_type,energy" (an optional first line
// "name,energy_type,energy" is the header; blank lines are skipped): name is
// an output term's hierarchy path as get_string_hpath gives it (it may
// contain commas: the last two fields are the numbers), energy_type a 32-bit
// integer and energy a finite number. Each line appends (type, energy) to
// the entries of every output term of design with that path, under its
// signal id. False on the first bad line, with error set to one line naming
// the file, the line and what is wrong; energies then gets none of the
// file's entries. The store gives its ids here, so the design's netlist
// cannot grow afterwards (docs/design-format.md, "Toggle energies file").
bool host_load_toggle_energies(const HOST_DESIGN& design, const std::string& csv_path,
                               PUTIL_TOGGLE_ENERGY_MAP& energies, std::string& error);
// The same for text held in memory; label stands for the file name.
bool host_load_toggle_energies_text(const HOST_DESIGN& design, const std::string& text, const std::string& label,
                                    PUTIL_TOGGLE_ENERGY_MAP& energies, std::string& error);
