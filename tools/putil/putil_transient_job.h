// The transient job that `putil transient` and the Python module share: the
// supply current of the whole die over time, from the toggles of waveforms
// and the switching energy of each signal.
#pragma once

#include <string>
#include <vector>

#include "handlers/putil_toggle_energy_map.h"

class HOST_DESIGN;
class HOST_INSTANCE;

struct PUTIL_TRANSIENT_WAVEFORM {
    bool generated = false;   // the files were read; false: no waveform (the messages say why)
    int reader_status = 0;    // PUTIL_VCD_READER_STATUS_* of the read
    std::string error;        // a failure that no posted message gives
    std::vector<double> times;      // seconds
    std::vector<double> currents;   // amperes
};

// Reads the files, applied to scope, into the current at voltage; with dump
// the library also writes its waveform dump (a side file). Every toggle of
// the files counts: the job takes no window.
PUTIL_TRANSIENT_WAVEFORM putil_generate_transient_current(HOST_DESIGN& design, const std::vector<std::string>& files,
                                                          HOST_INSTANCE* scope, const PUTIL_TOGGLE_ENERGY_MAP& energies,
                                                          double voltage, bool dump);

// Whether every current is a finite number (a tiny voltage can make them
// overflow).
bool putil_currents_finite(const PUTIL_TRANSIENT_WAVEFORM& waveform);
