// `putil signals`: the signals that VCD files declare, one per line, named as
// the activity job names them when it matches a design ("top|u|a",
// "top|bus[3]"), so that a user can choose --scope and see what a design
// will match.
#include <CLI/CLI.hpp>
#include <iostream>

#include "putil_command.h"
#include "putil_fst_input.h"
#include "putil_host.h"
#include "reader/putil_vcd_reader.h"
#include "vcd/putil_vcd_signal_listener.h"

namespace {

// Keeps each file's signal names in declaration order.
class SIGNAL_LIST final : public PUTIL_VCD_SIGNAL_LISTENER {
public:
    void add_signal(const std::string* levels, std::size_t level_count, const std::string& name) override
    {
        std::string path;
        for (std::size_t i = 0; i < level_count; ++i)
            path += levels[i] + "|";
        names.push_back(path + name);
    }
    std::vector<std::string> names;
};

class PUTIL_SIGNALS_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("vcd", m_vcd_files, "VCD, extended VCD or FST files")->required();
        app.add_option("-o,--output", m_output_file, "Write the list to FILE instead of standard output");
        app.add_flag("--strict", m_strict, "Accept strict VCD only");
    }

    int run() override
    {
        if (!m_strict)
            host_set_setting("putil_vcd_extended_syntax", "on");
        putil_name_standard_input(m_vcd_files);
        putil_check_input_files(m_vcd_files);
        putil_check_outputs({m_output_file}, m_vcd_files);
        const std::vector<std::string> shown_files = m_vcd_files;
        PUTIL_FST_INPUTS fst_inputs;
        fst_inputs.convert(m_vcd_files);
        HOST_DESIGN empty;
        host_set_current_design(&empty);
        std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(empty.facade()));
        std::vector<SIGNAL_LIST> lists(m_vcd_files.size());
        bool read = reader != nullptr;
        for (std::size_t i = 0; read && i < m_vcd_files.size(); ++i)
            read = reader->read_vcd_declarations(m_vcd_files[i], &lists[i]);
        reader.reset();
        const int status = putil_finish_fst_inputs(fst_inputs, read ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED);
        if (status != PUTIL_EXIT_OK)
            return status;
        const bool written = putil_write_output(m_output_file, [&](std::ostream& out) {
            for (std::size_t i = 0; i < lists.size(); ++i) {
                if (lists.size() > 1)
                    out << "# " << host_shown_file_name(shown_files[i]) << "\n";
                for (const std::string& name : lists[i].names)
                    out << name << "\n";
            }
        });
        return written ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED;
    }

private:
    std::vector<std::string> m_vcd_files;
    std::string m_output_file;
    bool m_strict = false;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_signals_command() { return std::make_unique<PUTIL_SIGNALS_COMMAND>(); }
