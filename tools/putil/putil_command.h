// A subcommand of the putil program: its options and what it runs.
#pragma once

#include <memory>
#include <string>

namespace CLI {
class App;
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
