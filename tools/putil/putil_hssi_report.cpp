// Power report writers of the hssi command.
#include "putil_hssi_report.h"

#include <nlohmann/json.hpp>

#include "putil_report_text.h"

namespace {

std::vector<std::string> element_cells(const PUTIL_HSSI_POWER_ROW& row, const char* missing)
{
    return {row.name,
            std::to_string(row.element),
            std::to_string(row.gid),
            row.kind,
            row.implementation,
            row.supply,
            std::to_string(row.millivolts),
            row.region.value_or(missing),
            putil_double_text(row.static_power, missing),
            putil_double_text(row.dynamic_energy, missing),
            putil_double_text(row.toggle_rate, missing),
            putil_double_text(row.dynamic_power, missing)};
}

std::vector<std::string> total_cells(const PUTIL_HSSI_POWER_TOTAL& total, bool with_region)
{
    std::vector<std::string> cells = {total.name, total.supply};
    if (with_region)
        cells.push_back(total.region.value_or("-"));
    for (double value : {total.static_power, total.dynamic_power, total.static_power + total.dynamic_power})
        cells.push_back(putil_double_text(value, "-"));
    return cells;
}

void write_csv(const PUTIL_HSSI_POWER_REPORT& report, std::ostream& out)
{
    out << "name,element,gid,kind,implementation,supply,millivolts,region,static_power,dynamic_energy,toggle_rate,"
           "dynamic_power\n";
    for (const PUTIL_HSSI_POWER_ROW& row : report.elements) {
        const char* separator = "";
        for (const std::string& cell : element_cells(row, "")) {
            out << separator << putil_csv_field(cell);
            separator = ",";
        }
        out << "\n";
    }
}

void write_table(const PUTIL_HSSI_POWER_REPORT& report, std::ostream& out)
{
    std::vector<std::vector<std::string>> rows = {{"name", "element", "gid", "kind", "implementation", "supply",
                                                   "millivolts", "region", "static_power (W)", "dynamic_energy (J)",
                                                   "toggle_rate (/s)", "dynamic_power (W)"}};
    for (const PUTIL_HSSI_POWER_ROW& row : report.elements)
        rows.push_back(element_cells(row, "-"));
    putil_write_columns(rows, out);
    out << "\nsupplies\n";
    rows = {{"name", "supply", "static_power (W)", "dynamic_power (W)", "power (W)"}};
    for (const PUTIL_HSSI_POWER_TOTAL& total : report.supplies)
        rows.push_back(total_cells(total, false));
    putil_write_columns(rows, out);
    out << "\nregions\n";
    rows = {{"name", "supply", "region", "static_power (W)", "dynamic_power (W)", "power (W)"}};
    for (const PUTIL_HSSI_POWER_TOTAL& total : report.regions)
        rows.push_back(total_cells(total, true));
    putil_write_columns(rows, out);
}

nlohmann::json total_json(const PUTIL_HSSI_POWER_TOTAL& total, bool with_region)
{
    nlohmann::json json = {{"name", total.name},
                           {"supply", total.supply},
                           {"static_power", total.static_power},
                           {"dynamic_power", total.dynamic_power},
                           {"power", total.static_power + total.dynamic_power}};
    if (with_region)
        json["region"] = total.region ? nlohmann::json(*total.region) : nlohmann::json(nullptr);
    return json;
}

void write_json(const PUTIL_HSSI_POWER_REPORT& report, std::ostream& out)
{
    nlohmann::json elements = nlohmann::json::array();
    for (const PUTIL_HSSI_POWER_ROW& row : report.elements)
        elements.push_back({{"name", row.name},
                            {"element", row.element},
                            {"gid", row.gid},
                            {"kind", row.kind},
                            {"implementation", row.implementation},
                            {"supply", row.supply},
                            {"millivolts", row.millivolts},
                            {"region", row.region ? nlohmann::json(*row.region) : nlohmann::json(nullptr)},
                            {"static_power", row.static_power},
                            {"dynamic_energy", row.dynamic_energy},
                            {"toggle_rate", putil_json_double(row.toggle_rate)},
                            {"dynamic_power", row.dynamic_power}});
    nlohmann::json supplies = nlohmann::json::array();
    for (const PUTIL_HSSI_POWER_TOTAL& total : report.supplies)
        supplies.push_back(total_json(total, false));
    nlohmann::json regions = nlohmann::json::array();
    for (const PUTIL_HSSI_POWER_TOTAL& total : report.regions)
        regions.push_back(total_json(total, true));
    const nlohmann::json document = {{"elements", elements}, {"supplies", supplies}, {"regions", regions}};
    out << putil_dumped_json(document, "") << "\n";
}

}  // namespace

PUTIL_HSSI_FORMAT putil_hssi_format_from_name(const std::string& name)
{
    if (name == "csv")
        return PUTIL_HSSI_FORMAT::CSV;
    if (name == "json")
        return PUTIL_HSSI_FORMAT::JSON;
    return PUTIL_HSSI_FORMAT::TABLE;
}

void putil_write_hssi_power_report(const PUTIL_HSSI_POWER_REPORT& report, PUTIL_HSSI_FORMAT format,
                                   std::ostream& out)
{
    switch (format) {
    case PUTIL_HSSI_FORMAT::TABLE: write_table(report, out); break;
    case PUTIL_HSSI_FORMAT::CSV: write_csv(report, out); break;
    case PUTIL_HSSI_FORMAT::JSON: write_json(report, out); break;
    }
}
