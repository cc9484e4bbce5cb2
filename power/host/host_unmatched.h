// Why the registers and pins of a design that a read left without activity
// got none: computed after the read from the host's names, the lookup's
// answers and the inputs' read extents, one pass over the terms.
#pragma once

#include <cstddef>
#include <vector>

class CDB_ATOM_OTERM;
class HOST_DESIGN;

// In the order they are tried: the first that holds is the reason.
enum class HOST_UNMATCHED_REASON : unsigned char {
    WIDTH_DIFFERS,       // declared as a vector of another width than its net
    RECODED,             // synthesis re-encoded its net (dumped or not)
    NO_KNOWN_VALUE,      // matched, but never held a known value
    OUTSIDE_SCOPE,       // not below the instance an input applies to
    INTERNAL_NAME,       // a name Yosys made up ("$..."), which no simulation dumps
    ASCENDING_IGNORED,   // its net ascends, and strict reading left such declarations
    NOT_IN_VCD,
    COUNT
};

// "not_in_vcd", as JSON keys and the reasons file write it.
const char* host_unmatched_reason_key(HOST_UNMATCHED_REASON reason);
// "not in the VCD", as the warning writes it.
const char* host_unmatched_reason_text(HOST_UNMATCHED_REASON reason);

struct HOST_UNMATCHED_TERM {
    const CDB_ATOM_OTERM* oterm;
    bool pin;   // else a register
    HOST_UNMATCHED_REASON reason;
};

// The registered terms and the pin sides that carry a port's name (as the
// name-matching report counts them), and those that no input annotated.
struct HOST_UNMATCHED {
    std::size_t registers = 0;
    std::size_t pins = 0;
    std::size_t unmatched_registers = 0;
    std::size_t unmatched_pins = 0;
    std::size_t reason_counts[static_cast<int>(HOST_UNMATCHED_REASON::COUNT)] = {};
    std::vector<HOST_UNMATCHED_TERM> terms;   // in netlist order
};

HOST_UNMATCHED host_find_unmatched(const HOST_DESIGN& design);
