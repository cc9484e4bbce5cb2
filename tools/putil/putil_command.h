// A subcommand of the putil program: its options and what it runs.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/big_time.h"

class HOST_DESIGN;

namespace CLI {
class App;
class Option;
}

// Exit statuses of the program, the same for every command.
enum PUTIL_EXIT_STATUS {
    PUTIL_EXIT_OK = 0,
    // Bad input or data: a file missing, a folder, unreadable or not what it
    // should be (inputs and outputs alike), a file that did not parse, an
    // output that could not be written.
    PUTIL_EXIT_INPUT_FAILED = 1,
    PUTIL_EXIT_USAGE = 2,           // the command line itself is wrong
    PUTIL_EXIT_INTERNAL_ERROR = 3   // a broken invariant
};

class PUTIL_COMMAND {
public:
    virtual ~PUTIL_COMMAND() = default;
    // Adds the command's options to its subcommand.
    virtual void configure(CLI::App& subcommand) = 0;
    // Runs after the options were parsed; answers the exit status.
    virtual int run() = 0;
};

// Usage problems found after parsing (a bad time, an unknown setting):
// thrown by run() and reported as usage errors.
struct PUTIL_USAGE_ERROR {
    std::string reason;
};

// A named file that cannot serve (missing, a folder, unreadable, an output
// folder that cannot be written): thrown by run() before the job starts,
// reported with status PUTIL_EXIT_INPUT_FAILED.
struct PUTIL_INPUT_ERROR {
    std::string reason;
};

std::unique_ptr<PUTIL_COMMAND> putil_make_activity_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_clocks_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_hssi_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_merge_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_signals_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_supplies_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_tbl_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_transient_command();

// A repeatable option of one value per occurrence ("--set A=1 --set B=2"):
// values after the first are positional arguments, not more values.
CLI::Option* putil_add_one_value_option(CLI::App& app, const std::string& name, std::vector<std::string>& values,
                                        const std::string& description);

// The command's main output, "-o FILE" or "-o -" (standard output, as
// without it): "Write WHAT to FILE (replaced only when WHEN) instead of
// standard output".
CLI::Option* putil_add_output_option(CLI::App& app, std::string& file, const std::string& what = "the output",
                                     const std::string& when = "the run succeeded");

// Applies "--set NAME=VALUE" assignments to the host settings; a malformed
// assignment or an unknown setting is a usage error.
void putil_apply_setting_assignments(const std::vector<std::string>& assignments);

// Refuses, before a job starts, input files that cannot be read: each must
// exist (unless missing_is_reported: the reader then reports it), be a file
// and not a folder, and be readable. "-" is standard input. Throws
// PUTIL_INPUT_ERROR naming the file and the reason.
void putil_check_input_files(const std::vector<std::string>& files, bool missing_is_reported = false);

// Refuses, before a job starts, outputs that cannot be written (their folder
// missing or read-only, a folder in their place: PUTIL_INPUT_ERROR) and
// outputs that are one of the inputs (the same file, by any name:
// PUTIL_USAGE_ERROR). Empty names and "-" (standard output) are skipped.
void putil_check_outputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs);

// Runs write on standard output (file empty or "-"), or on the named file
// through a temporary file that replaces it only once the whole text was
// written; false, after a message with the path and the reason, when that
// failed (the file then keeps its previous content).
bool putil_write_output(const std::string& file, const std::function<void(std::ostream&)>& write);

// The main output named the older way (tbl's second argument, transient's
// --csv): taken as -o with a warning that says how to write it; given
// beside -o, a usage error.
void putil_take_deprecated_output(const std::string& old_form, const std::string& old_value, std::string& output);

// The side files the library writes (name-matching lists, dumps) go to
// folder (empty: the working directory); a folder that cannot be written is
// refused with PUTIL_INPUT_ERROR.
void putil_set_output_directory(const std::string& folder);

// Whether the library reported an output it could not write during the
// run (the message has been shown).
bool putil_output_failed();

// Says on standard error that a read stopped early on purpose (reader
// status PUTIL_VCD_READER_STATUS_STOPPED), when it did.
void putil_warn_if_stopped(int reader_status);

// Says on standard error what the reads met and measured around: the
// declarations strict reading left for their ascending ranges (once for the
// run), and each file's count of malformed values.
void putil_warn_of_read_findings(const HOST_DESIGN& design);

// After a read: a warning of the registers and pins that got no activity,
// with the reasons counted; when listed, before it one line per such term
// and its reason on standard error ("putil: unmatched: NAME (pin): REASON");
// with putil_output_vcd_name_matching_info the side file
// putil_vcd_unmatched_reasons.txt, one line per such term. False when the
// side file could not be written (the error is shown).
bool putil_report_unmatched(const HOST_DESIGN& design, bool listed);

// A time option ("10ns", "1.5us"); none when the text is empty, a usage
// error when it does not read as a time.
std::optional<BIG_TIME> putil_parse_time_option(const char* option, const std::string& text);

// The design of a command that reads waveforms: the design file when one is
// given, else the design derived from the first waveform (empty when that
// file cannot be read: the reader then reports it). Null, with error set,
// when the design file does not load.
std::unique_ptr<HOST_DESIGN> putil_load_waveform_design(const std::string& design_file, const std::string& first_vcd,
                                                        std::string& error);

class PUTIL_STREAM_REPLAY;

// Waveform inputs as the user named them, made readable: "-" is standard
// input, shown as such in messages.
void putil_name_standard_input(std::vector<std::string>& files);

// The same for a command: a first waveform that is a stream (a pipe,
// standard input) is read once through replay when the design is derived
// from it, and first_vcd becomes the path the reader then reads.
std::unique_ptr<HOST_DESIGN> putil_load_waveform_design(const std::string& design_file, std::string& first_vcd,
                                                        std::string& error, PUTIL_STREAM_REPLAY& replay);
