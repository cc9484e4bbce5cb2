// Reference host reader of the JSON netlist that Yosys writes (write_json):
// detection by content and the mapping onto the design model
// (docs/yosys-netlists.md).
#pragma once

#include "host_design.h"
#include "host_json_fields.h"

// A top-level "modules" object and a "creator" string.
bool host_is_yosys_netlist(const host_json::JSON& root);
// Builds the top module's atoms, terms and connections (instances walked
// into) into design; throws host_json::FORMAT_ERROR on a netlist it cannot
// map.
void host_read_yosys_netlist(const host_json::JSON& root, HOST_DESIGN& design);
