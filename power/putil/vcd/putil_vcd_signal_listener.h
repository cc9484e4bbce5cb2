// What a caller implements to hear the signals a file declares.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
    // Before the signals of one declaration are told: its kind as written
    // ("wire", "reg"), its declared size and its identifier code. A
    // declaration that names no signal is told too. Ignored by default.
    virtual void begin_declaration(const std::string& kind, int size, const std::string& code)
    {
        static_cast<void>(kind), static_cast<void>(size), static_cast<void>(code);
    }
    // Whether the body is read as well, to tell every value change
    // (add_change); by default the read ends with the declarations.
    virtual bool reads_changes() const { return false; }
    // One value change of the signals declared under code, in file order.
    virtual void add_change(std::string_view code) { static_cast<void>(code); }
};
