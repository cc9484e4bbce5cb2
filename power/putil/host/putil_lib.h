// Services of the power analyzer that loads the library, and small host
// utilities (file system, strings).
#pragma once

#include <string>
#include <string_view>

class CMP_FACADE;
class CDB_CHIP_DB_ENTRY;
class CDB_ATOM_NODE;
class CDB_ATOM_ITERM;
class CDB_ATOM_OTERM;

CMP_FACADE* putil_lib_get_cmp_facade();
// The chip database entry of the current design, or null.
CDB_CHIP_DB_ENTRY* putil_lib_get_cdb_chip_db_entry();
// Marks a located block as a transceiver block for power analysis, or not.
void putil_lib_set_is_hssi_gid(unsigned gid, bool is_hssi);
// Lets the voltages of the analyzer's settings file override what the
// chip database entry recorded.
void putil_lib_force_chip_db_entry_voltage_from_ini();
// True: a missing waveform file is a warning and the run goes on.
bool putil_lib_get_continue_and_warn_on_failure();
// The folder where the library writes its side files (name-matching lists,
// dumps); empty for the working directory.
std::string putil_lib_get_output_directory();
// An output file that could not be written, with the reason ("cannot write
// x.tbl: No space left on device"); the job that wrote it has failed.
void putil_lib_report_output_failure(const std::string& text);
// Something the user should hear of that no numbered message says and that
// does not fail the job ("x.vcd:12: time goes back ...").
void putil_lib_report_warning(const std::string& text);
// Whether the run should end now (the user interrupted it): a read then
// stops at the next timestamp, as putil_vcd_stop_after_percent stops it.
bool putil_lib_stop_requested();
// state 0 draws the bar at percent.
void putil_lib_update_progress_bar(int state, int percent);

// The output term of a pin atom that carries the port's name: an input
// pin's core side, a bidirectional pad's pad side. Pins are counted, and
// found unmatched, by it.
bool putil_is_named_pin_side(const CDB_ATOM_NODE* atom, const CDB_ATOM_OTERM* oterm);

// Whether an atom or term takes part in power analysis.
bool putil_is_valid_power_atom(CDB_ATOM_NODE* atom);
bool putil_is_valid_power_term(CDB_ATOM_ITERM* iterm);
// An unconnected output term counts only with include_unconnected.
bool putil_is_valid_power_term(CDB_ATOM_OTERM* oterm, bool include_unconnected = false);

// The power analyzer's settings class.
class PUTIL_VELDRA_INI {
public:
    static PUTIL_VELDRA_INI* instance();
    // A release build for customers: a missing supply voltage of a
    // transceiver block reads as 0 instead of stopping the run.
    virtual bool get_customer_release() const = 0;

protected:
    virtual ~PUTIL_VELDRA_INI() = default;
};

class FIO_FILE_SYSTEM {
public:
    static bool exists(const std::string& path);
};

void stl_tolower(std::string& text);
// text with every control byte (below 0x20, and 0x7F) written as "\xNN", so
// that a message quoting a name or file text shows it without effect on a
// terminal.
std::string stl_escape_control_bytes(std::string_view text);
