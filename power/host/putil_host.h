// The reference host: a small, real, in-memory implementation of every host
// interface the putil library calls, with its loaders. The CLI and the tests
// include this header; the library never does.
#pragma once

#include "host_atom.h"
#include "host_atom_parameters.h"
#include "host_clock_constraints.h"
#include "host_clocks.h"
#include "host_debug.h"
#include "host_design.h"
#include "host_design_loader.h"
#include "host_device.h"
#include "host_facade.h"
#include "host_hierarchy.h"
#include "host_hierarchy_builder.h"
#include "host_input_file_manager.h"
#include "host_internal_error.h"
#include "host_lib_services.h"
#include "host_memory.h"
#include "host_messages.h"
#include "host_netlist.h"
#include "host_netlist_utilities.h"
#include "host_progress.h"
#include "host_report.h"
#include "host_sa_data.h"
#include "host_settings.h"
#include "host_timing_api.h"
#include "host_timing_estimator.h"
#include "host_timing_netlist.h"
#include "host_tool_settings.h"

#include "host/big_time.h"
#include "host/cut.h"
