// Clocks report writers.
#include "putil_clocks_report.h"

#include <algorithm>

#include "putil_report_text.h"

namespace {

std::optional<float> known_rate(float rate)
{
    return rate == -1.0f ? std::nullopt : std::optional<float>(rate);
}

const char* flag_text(bool flag) { return flag ? "yes" : "no"; }

// CSV writes flags as JSON does, and a missing domain as an empty field.
const char* csv_flag(bool flag) { return flag ? "true" : "false"; }

std::string csv_domain(int domain) { return domain < 0 ? std::string() : std::to_string(domain); }

void write_csv(const PUTIL_CLOCKS_REPORT& report, std::ostream& out)
{
    out << "name,clock_domain,clock_toggle_rate,from_fanout_traversal,multiple_clock_domains,"
           "multiple_register_clock_domains,clock_net,relative_percent,toggle_rate\n";
    for (const PUTIL_CLOCKS_ROW& row : report.signals) {
        out << putil_csv_field(row.name) << "," << csv_domain(row.domain) << ","
            << putil_number_text(known_rate(row.clock_toggle_rate), "") << "," << csv_flag(row.from_fanout_traversal)
            << "," << csv_flag(row.multiple_clock_domains) << "," << csv_flag(row.multiple_register_clock_domains)
            << "," << csv_flag(row.clock_net) << "," << putil_number_text(row.relative_percent, "") << ","
            << putil_number_text(putil_absolute_toggle_rate(row), "") << "\n";
    }
}

void write_table(const PUTIL_CLOCKS_REPORT& report, std::ostream& out)
{
    out << "clock domains (rule: " << report.rule << ")\n";
    std::vector<std::vector<std::string>> rows = {{"name", "domain", "clock_rate (/s)", "from_fanout", "multiple",
                                                   "multiple_reg", "clock_net", "relative", "toggle_rate (/s)"}};
    for (const PUTIL_CLOCKS_ROW& row : report.signals) {
        rows.push_back({row.name, row.domain < 0 ? "-" : std::to_string(row.domain),
                        putil_number_text(known_rate(row.clock_toggle_rate), "-"),
                        flag_text(row.from_fanout_traversal), flag_text(row.multiple_clock_domains),
                        flag_text(row.multiple_register_clock_domains), flag_text(row.clock_net),
                        row.relative_percent ? putil_number_text(row.relative_percent, "") + "%" : "-",
                        putil_number_text(putil_absolute_toggle_rate(row), "-")});
    }
    putil_write_columns(rows, out);
    for (const PUTIL_CLOCKS_TABLE& table : report.tables) {
        out << "\n" << table.title << "\n";
        putil_write_columns(table.rows, out);
    }
}

}  // namespace

std::optional<float> putil_absolute_toggle_rate(const PUTIL_CLOCKS_ROW& row)
{
    if (!row.relative_percent || row.clock_toggle_rate == -1.0f)
        return std::nullopt;
    return *row.relative_percent / 100.0f * row.clock_toggle_rate;
}

nlohmann::json putil_clocks_report_json(const PUTIL_CLOCKS_REPORT& report)
{
    nlohmann::json tables = nlohmann::json::array();
    for (const PUTIL_CLOCKS_TABLE& table : report.tables)
        tables.push_back({{"title", table.title}, {"rows", table.rows}});
    nlohmann::json signals = nlohmann::json::array();
    for (const PUTIL_CLOCKS_ROW& row : report.signals) {
        nlohmann::json signal = {{"name", row.name},
                                 {"clock_domain", row.domain < 0 ? nlohmann::json(nullptr) : nlohmann::json(row.domain)},
                                 {"clock_toggle_rate", putil_json_number(known_rate(row.clock_toggle_rate))},
                                 {"from_fanout_traversal", row.from_fanout_traversal},
                                 {"multiple_clock_domains", row.multiple_clock_domains},
                                 {"multiple_register_clock_domains", row.multiple_register_clock_domains},
                                 {"clock_net", row.clock_net}};
        if (row.relative_percent) {
            signal["relative_percent"] = static_cast<double>(*row.relative_percent);
            signal["toggle_rate"] = putil_json_number(putil_absolute_toggle_rate(row));
        }
        signals.push_back(std::move(signal));
    }
    return {{"rule", report.rule}, {"signals", signals}, {"messages", putil_posted_messages_json()}, {"tables", tables}};
}

void putil_write_clocks_report(const PUTIL_CLOCKS_REPORT& report, PUTIL_CLOCKS_FORMAT format, std::ostream& out)
{
    switch (format) {
    case PUTIL_CLOCKS_FORMAT::TABLE: write_table(report, out); break;
    case PUTIL_CLOCKS_FORMAT::CSV: write_csv(report, out); break;
    case PUTIL_CLOCKS_FORMAT::JSON: out << putil_dumped_json(putil_clocks_report_json(report), "") << "\n"; break;
    }
}
