// What the subcommands share: settings from the command line and the output
// file.
#include "putil_command.h"

#include <fstream>
#include <iostream>

#include "putil_host.h"

void putil_apply_setting_assignments(const std::vector<std::string>& assignments)
{
    for (const std::string& assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos)
            throw PUTIL_USAGE_ERROR{"--set " + assignment + ": expected NAME=VALUE"};
        std::string error;
        if (!host_set_setting(assignment.substr(0, equals), assignment.substr(equals + 1), &error))
            throw PUTIL_USAGE_ERROR{"--set " + assignment + ": " + error};
    }
}

bool putil_write_output(const std::string& file, const std::function<void(std::ostream&)>& write)
{
    if (file.empty()) {
        write(std::cout);
        return static_cast<bool>(std::cout.flush());
    }
    std::ofstream out(file);
    if (!out) {
        std::cerr << "putil: error: cannot write " << file << "\n";
        return false;
    }
    write(out);
    return static_cast<bool>(out.flush());
}
