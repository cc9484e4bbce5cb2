// Activity saved by `putil activity --format json`, read back into a
// design's store as if its waveforms had been read again.
#pragma once

#include <string>

class HOST_DESIGN;

// Gives every signal of the file that has values its static probability,
// toggle rate and a bidirectional pad's output toggle rate, marked as taken
// from simulation; a null value is left unset. false, with error naming the
// file, the place and what is wrong, when the file does not read or names a
// signal the design does not have.
bool putil_read_activity_json(const std::string& file, HOST_DESIGN& design, std::string& error);
