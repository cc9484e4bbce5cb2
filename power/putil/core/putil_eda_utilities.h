// Access to the EDA simulation netlist's names, so that waveform signals
// named after that netlist can be matched to the design.
#pragma once

class CMP_FACADE;
class WSC_HIERARCHY_BUILDER;

// True when signal names are to be compared in lower case (the simulation
// netlist's language is case-insensitive).
bool putil_eda_lower_case_names(CMP_FACADE* facade);

// Makes a hierarchy builder for the EDA simulation netlist and answers
// whether it was built. No builder is made when no simulation tool is set or
// its netlist type has no names to offer. A builder written to
// *hierarchy_netlist belongs to the caller, also when the result is false.
bool putil_eda_create_hierarchy_builder(CMP_FACADE* facade, WSC_HIERARCHY_BUILDER** hierarchy_netlist);
