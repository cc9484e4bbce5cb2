// What a caller implements to hear the signals a file declares.
#pragma once

#include <cstddef>
#include <string>

#include "core/putil_export.h"

// Hears the signals that a file's declarations name, as the reader reads them.
class PUTIL_EXPORT PUTIL_VCD_SIGNAL_LISTENER {
public:
    virtual ~PUTIL_VCD_SIGNAL_LISTENER() = default;
    // One signal (a scalar, or one bit of a vector) in declaration order:
    // the hierarchy levels of its scope, outermost first ({"top", "blk.u"}),
    // and its name in that scope ("blk.sig[3]"). The levels are the reader's
    // own, valid during the call. A name declared again is told again.
    virtual void add_signal(const std::string* levels, std::size_t level_count, const std::string& name) = 0;
};
