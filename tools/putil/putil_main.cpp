// The putil program: power utilities on the command line, one subcommand per
// job, running the library on the reference host.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <new>

#include "core/putil_replaced_file.h"

#include "putil_command.h"
#include "putil_host.h"

namespace {

struct COMMAND_ENTRY {
    const char* name;
    const char* summary;
    std::unique_ptr<PUTIL_COMMAND> (*make)();
};

// Every subcommand of the program.
const COMMAND_ENTRY COMMANDS[] = {
    {"activity", "Measure static probability and toggle rate of every signal from VCD files",
     &putil_make_activity_command},
    {"clocks", "Find the clock domain of every signal and turn relative toggle rates into absolute ones",
     &putil_make_clocks_command},
    {"hssi", "Build the transceiver power model of a device: power per element and supply, or its dump", &putil_make_hssi_command},
    {"merge", "Merge partial results of putil activity into the activity of all their files",
     &putil_make_merge_command},
    {"signals", "List the signals that VCD files declare, named as a design is matched", &putil_make_signals_command},
    {"supplies", "Show the power supply tables of a device: supplies, regions and voltages", &putil_make_supplies_command},
    {"tbl", "Convert a VCD file into a TBL vector file", &putil_make_tbl_command},
    {"transient", "Turn VCD toggles and switching energies into a supply current waveform",
     &putil_make_transient_command},
};

// An interrupted run leaves no temporary output behind; the outputs it
// would have replaced keep their content.
extern "C" void remove_temporaries_and_stop(int signal_number)
{
    PUTIL_REPLACED_FILE::remove_all_temporaries();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

const COMMAND_ENTRY* find_command(const std::string& name)
{
    for (const COMMAND_ENTRY& entry : COMMANDS) {
        if (name == entry.name)
            return &entry;
    }
    return nullptr;
}

std::string command_list()
{
    std::string names;
    for (const COMMAND_ENTRY& entry : COMMANDS)
        names += std::string(names.empty() ? "" : ", ") + entry.name;
    return names;
}

// An option given with an empty value ("--start ''") says nothing; it is
// refused rather than read as the option's absence.
std::string first_empty_option(const CLI::App& command)
{
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_expected_min() == 0 || option->count() == 0)
            continue;
        for (const std::string& value : option->results()) {
            if (value.empty())
                return option->get_name();
        }
    }
    return "";
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app("putil: power utilities for the FPGA power analyzer", "putil");
    app.require_subcommand(1);
    bool debug = false;
    bool quiet = false;
    bool no_progress = false;
    app.add_flag("--debug", debug, "Show the library's debug traces (also: environment PUTIL_DEBUG=2)");
    app.add_flag("-q,--quiet", quiet, "Leave out the information messages (start and end of each read); "
                                      "warnings and errors still show");
    app.add_flag("--no-progress", no_progress, "Draw no progress bar");
    app.set_version_flag("--version", "putil " PUTIL_VERSION);

    std::vector<std::unique_ptr<PUTIL_COMMAND>> commands;
    std::vector<CLI::App*> subcommands;
    for (const COMMAND_ENTRY& entry : COMMANDS) {
        commands.push_back(entry.make());
        subcommands.push_back(app.add_subcommand(entry.name, entry.summary));
        commands.back()->configure(*subcommands.back());
        // --debug and --version work after the command too.
        subcommands.back()->fallthrough();
    }

    // "putil help [COMMAND]" is "putil [COMMAND] --help"; a word that is no
    // command is named as such.
    std::vector<std::string> words(argv + 1, argv + argc);
    if (!words.empty() && words.front() == "help") {
        words.erase(words.begin());
        if (words.size() > 1 || (words.size() == 1 && find_command(words.front()) == nullptr)) {
            std::cerr << "putil: error: unknown command \"" << (words.empty() ? "" : words.front())
                      << "\"; the commands are " << command_list() << "\n";
            return PUTIL_EXIT_USAGE;
        }
        words.push_back("--help");
    } else if (!words.empty() && words.front()[0] != '-' && find_command(words.front()) == nullptr) {
        std::cerr << "putil: error: unknown command \"" << words.front() << "\"; the commands are " << command_list()
                  << "\nRun 'putil --help' for usage.\n";
        return PUTIL_EXIT_USAGE;
    }
    std::reverse(words.begin(), words.end());

    try {
        app.parse(words);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        std::cerr << "putil: error: " << error.what() << "\n";
        std::cerr << "Run 'putil --help' or 'putil <command> --help' for usage.\n";
        return PUTIL_EXIT_USAGE;
    }
    if (debug)
        host_enable_debug("PUTIL", 2);
    host_set_infos_shown(!quiet);
    host_set_progress_drawn(!no_progress);
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(signal_number, remove_temporaries_and_stop);

    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (!subcommands[i]->parsed())
            continue;
        const std::string empty = first_empty_option(*subcommands[i]);
        if (!empty.empty()) {
            std::cerr << "putil: error: " << empty << ": an empty value\n";
            std::cerr << "Run 'putil " << COMMANDS[i].name << " --help' for usage.\n";
            return PUTIL_EXIT_USAGE;
        }
        try {
            return commands[i]->run();
        } catch (const PUTIL_USAGE_ERROR& usage) {
            std::cerr << "putil: error: " << usage.reason << "\n";
            std::cerr << "Run 'putil " << COMMANDS[i].name << " --help' for usage.\n";
            return PUTIL_EXIT_USAGE;
        } catch (const PUTIL_INPUT_ERROR& input) {
            std::cerr << "putil: error: " << input.reason << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        } catch (const HOST_INTERNAL_ERROR&) {
            // The host has printed the failing expression.
            return PUTIL_EXIT_INTERNAL_ERROR;
        } catch (const std::bad_alloc&) {
            std::cerr << "putil: error: out of memory\n";
            return PUTIL_EXIT_INPUT_FAILED;
        } catch (const std::exception& unexpected) {
            std::cerr << "putil: internal error: " << unexpected.what() << "\n";
            return PUTIL_EXIT_INTERNAL_ERROR;
        }
    }
    return PUTIL_EXIT_USAGE;
}
