// `putil merge`: partial results of `putil activity --format partial`,
// merged in order into the activity of all their files.
#include <CLI/CLI.hpp>
#include <iostream>

#include "host_json_fields.h"
#include "putil_activity_report.h"
#include "putil_command.h"
#include "putil_host.h"
#include "putil_partial.h"

namespace {

class PUTIL_MERGE_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("partials", m_partial_files, "Partial results (putil activity --format partial), in order")
            ->required();
        app.add_option("--merge", m_merge,
                       "When a later file annotates a signal again: replace, add or keep, as in one run of putil "
                       "activity; or concatenate: the files' times and transitions added")
            ->check(CLI::IsMember({"replace", "add", "keep", "concatenate"}));
        app.add_option("--design", m_design_file,
                       "Design to annotate instead of the one the partial results name (it must have the same "
                       "signals)");
        app.add_option("--format", m_format_name,
                       "Output format: table, csv, json, or saif (one VCD file in all, or --merge concatenate)")
            ->check(CLI::IsMember({"table", "csv", "json", "saif"}));
        putil_add_output_option(app, m_output_file, "the output", "the merge succeeded");
    }

    int run() override
    {
        PUTIL_ACTIVITY_FORMAT format = PUTIL_ACTIVITY_FORMAT::TABLE;
        putil_activity_format_from_name(m_format_name, format);
        PUTIL_MERGE_CHOICE choice = PUTIL_MERGE_CHOICE::REPLACE;
        putil_merge_choice_from_name(m_merge, choice);
        putil_check_input_files(m_partial_files);
        std::vector<std::string> inputs = m_partial_files;
        inputs.push_back(m_design_file);
        putil_check_outputs({m_output_file}, inputs);
        try {
            std::vector<PUTIL_NAMED_PARTIAL> partials;
            std::size_t files = 0;
            for (const std::string& file : m_partial_files) {
                partials.push_back(putil_parse_partial(file, read_text(file)));
                const nlohmann::json& document = partials.back().document;
                files += document.is_object() ? document.value("files", nlohmann::json::array()).size() : 0;
            }
            if (format == PUTIL_ACTIVITY_FORMAT::SAIF && files != 1 && choice != PUTIL_MERGE_CHOICE::CONCATENATE)
                throw PUTIL_USAGE_ERROR{"--format saif takes partial results of one VCD file in all, or --merge "
                                        "concatenate: a net's times add up to one simulation's duration"};
            std::unique_ptr<HOST_DESIGN> design =
                putil_merge_partials(partials, choice, m_design_file, format == PUTIL_ACTIVITY_FORMAT::SAIF);
            const bool with_constraints = putil_partials_have_constraints(partials);
            const bool written = putil_write_output(m_output_file, [&](std::ostream& out) {
                putil_write_activity_report(*design, format, with_constraints, out);
            });
            return written ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED;
        } catch (const PUTIL_PARTIAL_ERROR& failure) {
            throw PUTIL_INPUT_ERROR{failure.reason};
        }
    }

private:
    static std::string read_text(const std::string& file)
    {
        std::string text, error;
        if (!host_json::read_file_text(file, "partial result", text, error))
            throw PUTIL_INPUT_ERROR{error};
        return text;
    }

    std::vector<std::string> m_partial_files;
    std::string m_merge = "replace";
    std::string m_design_file;
    std::string m_format_name = "table";
    std::string m_output_file;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_merge_command() { return std::make_unique<PUTIL_MERGE_COMMAND>(); }
