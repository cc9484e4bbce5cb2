// `putil signals`: the signals that VCD files declare, one per line, named as
// the activity job names them when it matches a design ("top|u|a",
// "top|bus[3]"), with the kind, width and identifier code of their
// declaration and, with --count, how many value changes the file holds for
// them; so that a user can choose --scope and see what a design will match.
#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <unordered_map>

#include "putil_command.h"
#include "putil_fst_input.h"
#include "putil_host.h"
#include "putil_report_text.h"
#include "reader/putil_vcd_reader.h"
#include "vcd/putil_vcd_signal_listener.h"

namespace {

struct DECLARED_SIGNAL {
    std::string name;
    std::string kind;   // as declared: "wire", "reg"
    int width;          // of the whole declaration
    std::string code;
};

// Keeps each file's signals in declaration order, and with counting the
// value changes of each identifier code.
class SIGNAL_LIST final : public PUTIL_VCD_SIGNAL_LISTENER {
public:
    explicit SIGNAL_LIST(bool counting) : m_counting(counting) {}

    void begin_declaration(const std::string& kind, int size, const std::string& code) override
    {
        m_kind = kind;
        m_width = size;
        m_code = code;
    }
    void add_signal(const std::string* levels, std::size_t level_count, const std::string& name) override
    {
        std::string path;
        for (std::size_t i = 0; i < level_count; ++i)
            path += levels[i] + "|";
        signals.push_back(DECLARED_SIGNAL{path + name, m_kind, m_width, m_code});
    }
    bool reads_changes() const override { return m_counting; }
    void add_change(std::string_view code) override { ++m_changes[std::string(code)]; }

    // The value changes of a signal's code; none without counting.
    std::optional<std::uint64_t> changes(const DECLARED_SIGNAL& signal) const
    {
        if (!m_counting)
            return std::nullopt;
        const auto found = m_changes.find(signal.code);
        return found == m_changes.end() ? 0 : found->second;
    }

    std::vector<DECLARED_SIGNAL> signals;

private:
    bool m_counting;
    std::string m_kind;
    int m_width = 0;
    std::string m_code;
    std::unordered_map<std::string, std::uint64_t> m_changes;
};

// One file's list as read, under the name the user gave it.
struct FILE_LIST {
    std::string file;
    SIGNAL_LIST list;
};

class PUTIL_SIGNALS_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("vcd", m_vcd_files, "VCD, extended VCD or FST files")->required();
        app.add_flag("--count", m_count,
                     "Also count each signal's value changes (the changes of its identifier code; reads the whole "
                     "file)");
        app.add_option("--format", m_format_name, "Output format: table, csv or json")
            ->check(CLI::IsMember({"table", "csv", "json"}));
        putil_add_output_option(app, m_output_file, "the list");
        putil_add_one_value_option(app, "--set", m_settings, "Setting NAME=VALUE (repeatable)");
        app.add_flag("--strict", m_strict, "Accept strict VCD only");
    }

    int run() override
    {
        if (!m_strict)
            host_set_setting("putil_vcd_extended_syntax", "on");
        putil_apply_setting_assignments(m_settings);
        putil_name_standard_input(m_vcd_files);
        putil_check_input_files(m_vcd_files);
        putil_check_outputs({m_output_file}, m_vcd_files);
        std::vector<FILE_LIST> lists;
        for (const std::string& file : m_vcd_files)
            lists.push_back(FILE_LIST{host_shown_file_name(file), SIGNAL_LIST(m_count)});
        PUTIL_FST_INPUTS fst_inputs;
        fst_inputs.convert(m_vcd_files);
        HOST_DESIGN empty;
        host_set_current_design(&empty);
        std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(empty.facade()));
        bool read = reader != nullptr;
        for (std::size_t i = 0; read && i < m_vcd_files.size(); ++i)
            read = reader->read_vcd_declarations(m_vcd_files[i], &lists[i].list);
        reader.reset();
        host_progress_finish();
        const int status = putil_finish_fst_inputs(fst_inputs, read ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED);
        if (status != PUTIL_EXIT_OK)
            return status;
        const bool written = putil_write_output(m_output_file, [&](std::ostream& out) {
            if (m_format_name == "json")
                write_json(lists, out);
            else if (m_format_name == "csv")
                write_csv(lists, out);
            else
                write_table(lists, out);
        });
        return written ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED;
    }

private:
    std::vector<std::string> header() const
    {
        std::vector<std::string> names = {"name", "kind", "width", "code"};
        if (m_count)
            names.push_back("changes");
        return names;
    }

    static std::vector<std::string> cells(const SIGNAL_LIST& list, const DECLARED_SIGNAL& signal)
    {
        std::vector<std::string> row = {signal.name, signal.kind, std::to_string(signal.width), signal.code};
        if (const std::optional<std::uint64_t> changes = list.changes(signal))
            row.push_back(std::to_string(*changes));
        return row;
    }

    // Columns under a header; with several files each list follows a
    // "# FILE" line.
    void write_table(const std::vector<FILE_LIST>& lists, std::ostream& out) const
    {
        for (const FILE_LIST& file : lists) {
            if (lists.size() > 1)
                out << "# " << file.file << "\n";
            std::vector<std::vector<std::string>> rows = {header()};
            for (const DECLARED_SIGNAL& signal : file.list.signals)
                rows.push_back(cells(file.list, signal));
            putil_write_columns(rows, out);
        }
    }

    // One header; with several files a first column names the file.
    void write_csv(const std::vector<FILE_LIST>& lists, std::ostream& out) const
    {
        const bool files = lists.size() > 1;
        std::vector<std::string> names = header();
        if (files)
            names.insert(names.begin(), "file");
        std::string line;
        for (const std::string& name : names)
            line += (line.empty() ? "" : ",") + name;
        out << line << "\n";
        for (const FILE_LIST& file : lists) {
            for (const DECLARED_SIGNAL& signal : file.list.signals) {
                line = files ? putil_csv_field(file.file) + "," : "";
                bool first = true;
                for (const std::string& cell : cells(file.list, signal)) {
                    line += (first ? "" : ",") + putil_csv_field(cell);
                    first = false;
                }
                out << line << "\n";
            }
        }
    }

    // {"files": [{"file", "signals": [{"name", "kind", "width", "code", "changes"}]}]}
    static void write_json(const std::vector<FILE_LIST>& lists, std::ostream& out)
    {
        nlohmann::json files = nlohmann::json::array();
        for (const FILE_LIST& file : lists) {
            nlohmann::json signals = nlohmann::json::array();
            for (const DECLARED_SIGNAL& signal : file.list.signals) {
                nlohmann::json entry = {
                    {"name", signal.name}, {"kind", signal.kind}, {"width", signal.width}, {"code", signal.code}};
                if (const std::optional<std::uint64_t> changes = file.list.changes(signal))
                    entry["changes"] = *changes;
                signals.push_back(std::move(entry));
            }
            files.push_back({{"file", file.file}, {"signals", std::move(signals)}});
        }
        out << putil_dumped_json({{"files", std::move(files)}}, "") << "\n";
    }

    std::vector<std::string> m_vcd_files;
    bool m_count = false;
    std::string m_format_name = "table";
    std::string m_output_file;
    std::vector<std::string> m_settings;
    bool m_strict = false;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_signals_command() { return std::make_unique<PUTIL_SIGNALS_COMMAND>(); }
