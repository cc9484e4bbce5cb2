// `putil activity`: signal activity from VCD files or a vector waveform
// table, printed per signal.
#include <CLI/CLI.hpp>
#include <iostream>

#include "putil_activity_inputs.h"
#include "putil_activity_report.h"
#include "putil_command.h"
#include "putil_host.h"

namespace {

class PUTIL_ACTIVITY_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        m_inputs.configure(app, "vcd");
        app.add_option("--design", m_design_file,
                       "Design to annotate (JSON); without it the design is derived from the first VCD");
        app.add_option("--format", m_format_name,
                       "Output format: table, csv, json, saif (SAIF 2.0: times at 0, 1, X and Z and transition "
                       "counts per net; one VCD file), or partial (what each file measured, for putil merge)")
            ->check(CLI::IsMember({"table", "csv", "json", "saif", "partial"}));
        putil_add_output_option(app, m_output_file);
        app.add_flag("--partial", m_partial,
                     "When a file fails to read, still write what was measured, marked \"partial\": true "
                     "(JSON only)");
    }

    int run() override
    {
        const bool vwf = m_inputs.prepare(m_design_file);
        PUTIL_ACTIVITY_FORMAT format = PUTIL_ACTIVITY_FORMAT::TABLE;
        putil_activity_format_from_name(m_format_name, format);
        if (format == PUTIL_ACTIVITY_FORMAT::SAIF && (vwf || m_inputs.vcd_file_count() != 1))
            throw PUTIL_USAGE_ERROR{"--format saif takes exactly one VCD file: its nets' times add up to one "
                                    "simulation's duration"};
        const bool partial_format = m_format_name == "partial";
        if (partial_format && vwf)
            throw PUTIL_USAGE_ERROR{"--format partial takes VCD files, not a waveform table"};
        if (m_partial && format != PUTIL_ACTIVITY_FORMAT::JSON)
            throw PUTIL_USAGE_ERROR{"--partial needs --format json, where results are marked partial"};
        m_inputs.check_input_files();
        putil_check_outputs({m_output_file}, m_inputs.input_files());

        std::unique_ptr<HOST_DESIGN> design;
        int status = m_inputs.read(design, format == PUTIL_ACTIVITY_FORMAT::SAIF, partial_format);
        if (!design)
            return status;
        // A failed read leaves the output as it was, unless partial results
        // were asked for.
        if (status != PUTIL_EXIT_OK && !(m_partial && status == PUTIL_EXIT_INPUT_FAILED))
            return status;
        if (partial_format)
            return write_partial(*design) ? status : PUTIL_EXIT_INPUT_FAILED;
        if (!write_report(*design, format, status != PUTIL_EXIT_OK) && status == PUTIL_EXIT_OK)
            status = PUTIL_EXIT_INPUT_FAILED;
        return status;
    }

private:
    bool write_report(const HOST_DESIGN& design, PUTIL_ACTIVITY_FORMAT format, bool partial) const
    {
        const bool with_constraints = m_inputs.has_constraints();
        return putil_write_output(m_output_file, [&](std::ostream& out) {
            putil_write_activity_report(design, format, with_constraints, out, partial);
        });
    }

    // What each file measured, with what the merge must know of the run.
    bool write_partial(const HOST_DESIGN& design) const
    {
        const nlohmann::json partial = putil_partial_json(design, m_inputs.partial_options(), m_inputs.stopped());
        return putil_write_output(m_output_file, [&](std::ostream& out) { out << partial.dump() << "\n"; });
    }

    PUTIL_ACTIVITY_INPUTS m_inputs;
    std::string m_design_file;
    std::string m_format_name = "table";
    std::string m_output_file;
    bool m_partial = false;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_activity_command() { return std::make_unique<PUTIL_ACTIVITY_COMMAND>(); }
