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

// Exit statuses of the program.
enum PUTIL_EXIT_STATUS {
    PUTIL_EXIT_OK = 0,
    PUTIL_EXIT_INPUT_FAILED = 1,   // a file was missing, did not parse, or the job failed
    PUTIL_EXIT_USAGE = 2,
    PUTIL_EXIT_INTERNAL_ERROR = 3
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

std::unique_ptr<PUTIL_COMMAND> putil_make_activity_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_clocks_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_hssi_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_tbl_command();
std::unique_ptr<PUTIL_COMMAND> putil_make_transient_command();

// A repeatable option of one value per occurrence ("--set A=1 --set B=2"):
// values after the first are positional arguments, not more values.
CLI::Option* putil_add_one_value_option(CLI::App& app, const std::string& name, std::vector<std::string>& values,
                                        const std::string& description);

// Applies "--set NAME=VALUE" assignments to the host settings; a malformed
// assignment or an unknown setting is a usage error.
void putil_apply_setting_assignments(const std::vector<std::string>& assignments);

// Runs write on standard output, or on the named file; false (after a
// message) when the file cannot be written.
bool putil_write_output(const std::string& file, const std::function<void(std::ostream&)>& write);

// A time option ("10ns", "1.5us"); none when the text is empty, a usage
// error when it does not read as a time.
std::optional<BIG_TIME> putil_parse_time_option(const char* option, const std::string& text);

// The design of a command that reads waveforms: the design file when one is
// given, else the design derived from the first waveform (empty when that
// file cannot be read: the reader then reports it). Null, with error set,
// when the design file does not load.
std::unique_ptr<HOST_DESIGN> putil_load_waveform_design(const std::string& design_file, const std::string& first_vcd,
                                                        std::string& error);
