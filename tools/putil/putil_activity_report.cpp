// Activity report writers.
#include "putil_activity_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "putil_activity_rows.h"
#include "putil_host.h"
#include "putil_report_text.h"
#include "putil_saif_writer.h"

namespace {

std::string percentage_text(const std::optional<float>& value)
{
    if (!value)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%%", static_cast<double>(*value));
    return text;
}

nlohmann::json json_percentage(const std::optional<float>& value)
{
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

// With constraints, two more columns say where each value came from.
void write_csv(const HOST_DESIGN& design, bool with_constraints, std::ostream& out)
{
    out << "name,static_probability,toggle_rate" << (with_constraints ? ",static_probability_source,toggle_rate_source" : "")
        << "\n";
    putil_for_each_activity_row(design, with_constraints, [&](const PUTIL_ACTIVITY_ROW& row) {
        out << putil_csv_field(row.name) << "," << putil_number_text(row.static_probability, "") << ","
            << putil_number_text(row.toggle_rate, "");
        if (with_constraints)
            out << "," << row.static_probability_source << "," << row.toggle_rate_source;
        out << "\n";
    });
}

// A value of the table, marked when the constraints gave it.
std::string table_value(const std::optional<float>& value, const char* source)
{
    const std::string text = putil_number_text(value, "-");
    return std::string(source) == "constraints" ? text + " (constraints)" : text;
}

void write_table(const HOST_DESIGN& design, bool with_constraints, std::ostream& out)
{
    std::size_t width = std::string("name").size();
    const std::size_t value_width = with_constraints ? 34 : 20;
    putil_for_each_activity_row(design, with_constraints,
                                [&](const PUTIL_ACTIVITY_ROW& row) { width = std::max(width, row.name.size()); });
    width = putil_column_width(width);
    out << putil_padded("name", width) << "  " << putil_padded("static_probability", value_width)
        << "toggle_rate (/s)\n";
    putil_for_each_activity_row(design, with_constraints, [&](const PUTIL_ACTIVITY_ROW& row) {
        out << putil_padded(row.name, width) << "  "
            << putil_padded(table_value(row.static_probability, row.static_probability_source), value_width)
            << table_value(row.toggle_rate, row.toggle_rate_source) << "\n";
    });
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries()) {
        const PUTIL_INPUT_SUMMARY summary = putil_input_summary(design, entry);
        out << "input " << host_shown_file_name(entry->get_file_name()) << ": " << summary.matched_signals << " signals matched, toggle "
            << percentage_text(summary.toggle_percentage) << ", unknown " << percentage_text(summary.unknown_percentage)
            << "\n";
    }
}

// The counts of registers and pins without activity and of their reasons;
// null when every one got some.
nlohmann::json unmatched_json(const HOST_UNMATCHED& unmatched)
{
    if (unmatched.terms.empty())
        return nullptr;
    nlohmann::json reasons = nlohmann::json::object();
    for (int reason = 0; reason < static_cast<int>(HOST_UNMATCHED_REASON::COUNT); ++reason) {
        if (unmatched.reason_counts[reason] != 0)
            reasons[host_unmatched_reason_key(static_cast<HOST_UNMATCHED_REASON>(reason))] =
                unmatched.reason_counts[reason];
    }
    return {{"registers", unmatched.unmatched_registers}, {"pins", unmatched.unmatched_pins}, {"reasons", reasons}};
}

// The document that nlohmann's dump(2) would write for {"inputs", "messages",
// "signals"}, with the signals written one by one instead of built first.
void write_json(const HOST_DESIGN& design, bool with_constraints, std::ostream& out, bool partial)
{
    nlohmann::json inputs = nlohmann::json::array();
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries()) {
        const PUTIL_INPUT_SUMMARY summary = putil_input_summary(design, entry);
        inputs.push_back({{"file", host_shown_file_name(entry->get_file_name())},
                          {"matched_signals", summary.matched_signals},
                          {"toggle_percentage", json_percentage(summary.toggle_percentage)},
                          {"unknown_percentage", json_percentage(summary.unknown_percentage)}});
    }
    const nlohmann::json messages = putil_posted_messages_json();
    out << (partial ? "{\n  \"partial\": true,\n  \"inputs\": " : "{\n  \"inputs\": ") << putil_dumped_json(inputs, "  ") << ",\n  \"messages\": " << putil_dumped_json(messages, "  ");
    const nlohmann::json unmatched = unmatched_json(host_find_unmatched(design));
    if (!unmatched.is_null())
        out << ",\n  \"unmatched\": " << putil_dumped_json(unmatched, "  ");
    out << ",\n  \"signals\": [";
    const char* separator = "\n    ";
    putil_for_each_activity_row(design, with_constraints, [&](const PUTIL_ACTIVITY_ROW& row) {
        nlohmann::json signal = {{"name", row.name},
                                 {"static_probability", putil_json_number(row.static_probability)},
                                 {"toggle_rate", putil_json_number(row.toggle_rate)}};
        if (with_constraints) {
            signal["static_probability_source"] = row.static_probability_source;
            signal["toggle_rate_source"] = row.toggle_rate_source;
        }
        if (row.output_toggle_rate)
            signal["output_toggle_rate"] = putil_json_number(row.output_toggle_rate);
        out << separator << putil_dumped_json(signal, "    ");
        separator = ",\n    ";
    });
    out << (*separator == ',' ? "\n  ]" : "]") << "\n}\n";
}

}  // namespace

bool putil_activity_format_from_name(const std::string& name, PUTIL_ACTIVITY_FORMAT& format)
{
    if (name == "table")
        format = PUTIL_ACTIVITY_FORMAT::TABLE;
    else if (name == "csv")
        format = PUTIL_ACTIVITY_FORMAT::CSV;
    else if (name == "json")
        format = PUTIL_ACTIVITY_FORMAT::JSON;
    else if (name == "saif")
        format = PUTIL_ACTIVITY_FORMAT::SAIF;
    else
        return false;
    return true;
}

void putil_write_activity_report(const HOST_DESIGN& design, PUTIL_ACTIVITY_FORMAT format, bool with_constraints,
                                 std::ostream& out, bool partial)
{
    switch (format) {
    case PUTIL_ACTIVITY_FORMAT::TABLE: write_table(design, with_constraints, out); break;
    case PUTIL_ACTIVITY_FORMAT::CSV: write_csv(design, with_constraints, out); break;
    case PUTIL_ACTIVITY_FORMAT::JSON: write_json(design, with_constraints, out, partial); break;
    case PUTIL_ACTIVITY_FORMAT::SAIF: putil_write_saif(design, {putil_saif_date(), PUTIL_VERSION}, out); break;
    }
}
