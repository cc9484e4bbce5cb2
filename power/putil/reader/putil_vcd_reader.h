// The VCD reader: the object through which the host reads simulation
// waveform files into signal activity.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/putil_export.h"
#include "handlers/putil_toggle_energy_map.h"
#include "vcd/putil_vcd_signal_listener.h"

class BIG_TIME;
class CMP_FACADE;
class PUTIL_INPUT_FILE_DATA;
class PUTIL_SA_DATA;
struct PUTIL_RECORD_SUMS;

// Why the last operation failed (get_status).
enum PUTIL_VCD_READER_STATUS {
    PUTIL_VCD_READER_STATUS_OK = 0,
    PUTIL_VCD_READER_STATUS_FILE_NOT_FOUND = 1,
    PUTIL_VCD_READER_STATUS_START_AFTER_END = 2,
    // The read ended early on purpose: "putil_vcd_stop_after_percent" was
    // reached, or the host asked to stop. What was read is in the results;
    // later files were not read.
    PUTIL_VCD_READER_STATUS_STOPPED = 3
};

class PUTIL_EXPORT PUTIL_VCD_READER : public PUTIL_HEAP_OBJECT {
public:
    PUTIL_VCD_READER() = default;
    PUTIL_VCD_READER(const PUTIL_VCD_READER&) = default;
    PUTIL_VCD_READER& operator=(const PUTIL_VCD_READER&) = default;
    virtual ~PUTIL_VCD_READER() = default;

    // Writes the TBL vector file tbl_file_name (replaced) from the waveform
    // file vcd_file_name: the design's signals that the file names, and one
    // pattern row per time step, inside [start_time, end_time] when both are
    // given (either may be null). False, with status
    // PUTIL_VCD_READER_STATUS_START_AFTER_END and nothing read, when start
    // is later than end; false when the file is missing or does not parse.
    virtual bool convert_vcd_to_tbl_file(std::string vcd_file_name, std::string tbl_file_name,
                                         const BIG_TIME* start_time, const BIG_TIME* end_time) = 0;
    // Reads every waveform input entry of the store, in the manager's order,
    // and annotates the store's signals. A missing file stops the run; the
    // result is then whether the host continues on failure. A file that does
    // not parse is reported and what was collected is still written.
    virtual bool read_vcd_files(PUTIL_SA_DATA* sa_data) = 0;
    // Kept for the host's conversion slot; always true, no effect.
    virtual bool reserved_file_conversion(std::string from, std::string to) = 0;
    // A PUTIL_VCD_READER_STATUS: why the last operation failed.
    virtual int get_status() = 0;
    // Turns the toggles of the store's waveform input files into the supply
    // current of the die: each toggle spreads its signal's energy (the types
    // 0 and 10 of energies) evenly over the next 500 file time units, and
    // each change of the energy per time unit becomes a step of the current,
    // energy / (time unit x *voltage). Appends the point (0, 0), then two
    // points per step, to times (seconds) and currents, which the caller
    // owns; with write_dump also writes them as a current source to
    // "transient_current_waveform.dump" in the working directory. unused is
    // not read. The files are taken as read_vcd_files takes them, without
    // its start and finish messages; a file that does not parse ends the
    // run, and the result is then whether the host continues on failure.
    virtual bool generate_transient_current(PUTIL_SA_DATA* sa_data, const PUTIL_TOGGLE_ENERGY_MAP& energies,
                                            const double* voltage, const double* unused,
                                            std::vector<double>* times, std::vector<double>* currents,
                                            bool write_dump) = 0;
    // Tells listener the signals that a file's declarations name: the names
    // the activity job looks up, read by the same scanner, grammar and scope
    // rules. Reading ends with the declarations. False when the file cannot
    // be read or its declarations do not parse; the signals told up to there
    // stand. Posts the same messages as a read; a caller that reads the file
    // again afterwards may drop them.
    virtual bool read_vcd_declarations(std::string vcd_file_name, PUTIL_VCD_SIGNAL_LISTENER* listener) = 0;
    // Annotates the store with the record sums that a read of entry's file
    // offered (in the order offered), as read_vcd_files annotated them after
    // that file: the same measures under the same merge rules, and the
    // percentages of entry and its related entries (with a null entry, no
    // entry's percentages change). Reads no file.
    virtual void annotate_record_sums(PUTIL_SA_DATA* sa_data, PUTIL_INPUT_FILE_DATA* entry,
                                      const std::vector<PUTIL_RECORD_SUMS>& records) = 0;
};

// A new reader for the compilation behind facade, owned by the caller
// (delete it); null when the host refuses the memory.
PUTIL_EXPORT PUTIL_VCD_READER* putil_create_putil_vcd_reader(CMP_FACADE* facade);
