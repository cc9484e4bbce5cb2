// The VCD reader: the object through which the host reads simulation
// waveform files into signal activity.
#pragma once

#include <cstddef>
#include <string>

#include "putil_export.h"

class CMP_FACADE;
class PUTIL_SA_DATA;

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

// Why the last operation failed (get_status).
enum PUTIL_VCD_READER_STATUS {
    PUTIL_VCD_READER_STATUS_OK = 0,
    PUTIL_VCD_READER_STATUS_FILE_NOT_FOUND = 1,
    PUTIL_VCD_READER_STATUS_START_AFTER_END = 2
};

class PUTIL_EXPORT PUTIL_VCD_READER : public PUTIL_HEAP_OBJECT {
public:
    PUTIL_VCD_READER() = default;
    PUTIL_VCD_READER(const PUTIL_VCD_READER&) = default;
    PUTIL_VCD_READER& operator=(const PUTIL_VCD_READER&) = default;
    virtual ~PUTIL_VCD_READER() = default;

    // Reads every waveform input entry of the store, in the manager's order,
    // and annotates the store's signals. A missing file stops the run; the
    // result is then whether the host continues on failure. A file that does
    // not parse is reported and what was collected is still written.
    virtual bool read_vcd_files(PUTIL_SA_DATA* sa_data) = 0;
    // Kept for the host's conversion slot; always true, no effect.
    virtual bool reserved_file_conversion(std::string from, std::string to) = 0;
    // A PUTIL_VCD_READER_STATUS: why the last operation failed.
    virtual int get_status() = 0;
    // Tells listener the signals that a file's declarations name: the names
    // the activity job looks up, read by the same scanner, grammar and scope
    // rules. Reading ends with the declarations. False when the file cannot
    // be read or its declarations do not parse; the signals told up to there
    // stand. Posts the same messages as a read; a caller that reads the file
    // again afterwards may drop them.
    virtual bool read_vcd_declarations(std::string vcd_file_name, PUTIL_VCD_SIGNAL_LISTENER* listener) = 0;
};

// A new reader for the compilation behind facade, owned by the caller
// (delete it); null when the host refuses the memory.
PUTIL_EXPORT PUTIL_VCD_READER* putil_create_putil_vcd_reader(CMP_FACADE* facade);
