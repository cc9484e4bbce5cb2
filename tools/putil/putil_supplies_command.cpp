// `putil supplies`: the power supply tables that the transceiver model of a
// device reads: the supplies of each element kind with their regions and
// voltages, the voltage of each supply per region, and the power matrix of
// those voltages in both of its layouts.
#include <CLI/CLI.hpp>
#include <iostream>
#include <nlohmann/json.hpp>

#include "putil_command.h"
#include "putil_host.h"
#include "putil_hssi_job.h"
#include "putil_hssi_report.h"
#include "putil_report_text.h"

namespace {

std::string millivolts_text(const std::optional<int>& millivolts, const char* missing)
{
    return millivolts ? std::to_string(*millivolts) : missing;
}

void write_csv(const PUTIL_SUPPLIES_REPORT& report, std::ostream& out)
{
    out << "name,supply,region,millivolts\n";
    for (const PUTIL_SUPPLY_ROW& row : report.kinds)
        out << putil_csv_field(row.name) << "," << row.supply << "," << row.region.value_or("") << ","
            << millivolts_text(row.millivolts, "") << "\n";
}

void write_table(const PUTIL_SUPPLIES_REPORT& report, std::ostream& out)
{
    out << "supplies of the element kinds (family " << report.family << ")\n";
    std::vector<std::vector<std::string>> rows = {{"name", "supply", "region", "millivolts"}};
    for (const PUTIL_SUPPLY_ROW& row : report.kinds)
        rows.push_back({row.name, row.supply, row.region.value_or("-"), millivolts_text(row.millivolts, "-")});
    putil_write_columns(rows, out);
    out << "\nvoltages per region\n";
    rows = {{"name", "supply", "region", "millivolts", "element_kinds"}};
    for (const PUTIL_REGION_VOLTAGE& voltage : report.voltages)
        rows.push_back({voltage.name, voltage.supply, voltage.region, std::to_string(voltage.millivolts),
                        std::to_string(voltage.element_kinds)});
    putil_write_columns(rows, out);
    out << "\npower matrix\n" << report.matrix_table << "\npower matrix, flat\n" << report.matrix_flat_table;
}

void write_json(const PUTIL_SUPPLIES_REPORT& report, std::ostream& out)
{
    nlohmann::json kinds = nlohmann::json::array();
    for (const PUTIL_SUPPLY_ROW& row : report.kinds)
        kinds.push_back({{"name", row.name},
                         {"supply", row.supply},
                         {"region", row.region ? nlohmann::json(*row.region) : nlohmann::json(nullptr)},
                         {"millivolts", row.millivolts ? nlohmann::json(*row.millivolts) : nlohmann::json(nullptr)}});
    nlohmann::json voltages = nlohmann::json::array();
    for (const PUTIL_REGION_VOLTAGE& voltage : report.voltages)
        voltages.push_back({{"name", voltage.name},
                            {"supply", voltage.supply},
                            {"region", voltage.region},
                            {"millivolts", voltage.millivolts},
                            {"element_kinds", voltage.element_kinds}});
    const nlohmann::json document = {{"family", report.family},
                                     {"kinds", kinds},
                                     {"voltages", voltages},
                                     {"matrix", {{"name", report.matrix_name},
                                                 {"table", report.matrix_table},
                                                 {"flat_table", report.matrix_flat_table}}}};
    out << putil_dumped_json(document, "") << "\n";
}

class PUTIL_SUPPLIES_COMMAND : public PUTIL_COMMAND {
public:
    void configure(CLI::App& app) override
    {
        app.add_option("--device", m_device_file,
                       "Device description (JSON); may be left out when the design names its device file");
        app.add_option("--design", m_design_file, "Design (JSON) that names its device file");
        app.add_option("--format", m_format_name, "Output format: table, csv or json")
            ->check(CLI::IsMember({"table", "csv", "json"}));
        putil_add_output_option(app, m_output_file);
    }

    int run() override
    {
        std::vector<std::string> inputs;
        for (const std::string& file : {m_device_file, m_design_file})
            if (!file.empty())
                inputs.push_back(file);
        putil_check_input_files(inputs);
        putil_check_outputs({m_output_file}, inputs);
        std::string error;
        std::unique_ptr<HOST_DESIGN> design =
            m_design_file.empty() ? std::make_unique<HOST_DESIGN>() : host_load_design_file(m_design_file, error);
        if (design && !putil_load_design_device(*design, m_device_file, m_design_file, error))
            design.reset();
        if (!design) {
            std::cerr << "putil: error: " << error << "\n";
            return PUTIL_EXIT_INPUT_FAILED;
        }
        host_set_current_design(design.get());
        const PUTIL_SUPPLIES_REPORT report = putil_supplies_report(*design);
        const PUTIL_HSSI_FORMAT format = putil_hssi_format_from_name(m_format_name);
        const bool written = putil_write_output(m_output_file, [&](std::ostream& out) {
            switch (format) {
            case PUTIL_HSSI_FORMAT::TABLE: write_table(report, out); break;
            case PUTIL_HSSI_FORMAT::CSV: write_csv(report, out); break;
            case PUTIL_HSSI_FORMAT::JSON: write_json(report, out); break;
            }
        });
        return written ? PUTIL_EXIT_OK : PUTIL_EXIT_INPUT_FAILED;
    }

private:
    std::string m_device_file;
    std::string m_design_file;
    std::string m_format_name = "table";
    std::string m_output_file;
};

}  // namespace

std::unique_ptr<PUTIL_COMMAND> putil_make_supplies_command()
{
    return std::make_unique<PUTIL_SUPPLIES_COMMAND>();
}
