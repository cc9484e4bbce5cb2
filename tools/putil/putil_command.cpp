// What the subcommands share: settings from the command line and the output
// file.
#include "putil_command.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>

#include "putil_derived_design.h"
#include "putil_host.h"
#include "putil_time_text.h"

CLI::Option* putil_add_one_value_option(CLI::App& app, const std::string& name, std::vector<std::string>& values,
                                        const std::string& description)
{
    // Each occurrence takes one value, so that the files after "--set A=B"
    // stay files.
    return app.add_option(name, values, description)->allow_extra_args(false);
}

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

std::optional<BIG_TIME> putil_parse_time_option(const char* option, const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    std::int64_t picoseconds = 0;
    std::string error;
    if (!putil_parse_time_text(text, picoseconds, error))
        throw PUTIL_USAGE_ERROR{std::string(option) + ": " + error};
    return BIG_TIME(picoseconds);
}

std::unique_ptr<HOST_DESIGN> putil_load_waveform_design(const std::string& design_file, const std::string& first_vcd,
                                                        std::string& error)
{
    if (!design_file.empty())
        return host_load_design_file(design_file, error);
    std::unique_ptr<HOST_DESIGN> design = putil_derive_design(first_vcd, error);
    return design ? std::move(design) : std::make_unique<HOST_DESIGN>();
}
