// Activity report writers.
#include "putil_activity_report.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "putil_host.h"

namespace {

struct SIGNAL_ROW {
    std::string name;
    std::optional<float> static_probability;
    std::optional<float> toggle_rate;
};

// Calls visit with the row of every output term, in netlist order. Rows
// are made one at a time: a design of millions of signals is never held
// twice in memory as text.
template <class VISIT>
void for_each_row(const HOST_DESIGN& design, VISIT visit)
{
    CDB_ATOM_NETLIST* netlist = design.netlist();
    HOST_SA_DATA* store = design.store();
    SIGNAL_ROW row;
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            row.name = (*term)->get_string_hpath();
            row.static_probability.reset();
            row.toggle_rate.reset();
            unsigned id = 0;
            PUTIL_OUTPUT_SIGNAL_DATA* data =
                store->get_unique_id_for_output_signal(*term, &id) ? store->get_output_signal_data(id, false) : nullptr;
            if (data != nullptr && data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED))
                row.static_probability = data->get_static_probability();
            if (data != nullptr && data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED))
                row.toggle_rate = data->get_toggle_rate();
            visit(static_cast<const SIGNAL_ROW&>(row));
        }
    }
}

std::string number_text(const std::optional<float>& value, const char* missing)
{
    if (!value)
        return missing;
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(*value));
    return text;
}

std::string percentage_text(bool present, float value)
{
    if (!present)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%%", static_cast<double>(value));
    return text;
}

// A name as one CSV field: escaped Verilog identifiers may hold commas and
// quotes, which are quoted so that the row keeps three fields.
std::string csv_field(const std::string& text)
{
    if (text.find_first_of(",\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void write_csv(const HOST_DESIGN& design, std::ostream& out)
{
    out << "name,static_probability,toggle_rate\n";
    for_each_row(design, [&](const SIGNAL_ROW& row) {
        out << csv_field(row.name) << "," << number_text(row.static_probability, "") << ","
            << number_text(row.toggle_rate, "") << "\n";
    });
}

void write_table(const HOST_DESIGN& design, std::ostream& out)
{
    std::size_t width = std::string("signal").size();
    for_each_row(design, [&](const SIGNAL_ROW& row) { width = std::max(width, row.name.size()); });
    const auto pad = [](const std::string& text, std::size_t size) {
        return text.size() >= size ? text : text + std::string(size - text.size(), ' ');
    };
    out << pad("signal", width) << "  " << pad("static_probability", 20) << "toggle_rate (/s)\n";
    for_each_row(design, [&](const SIGNAL_ROW& row) {
        out << pad(row.name, width) << "  " << pad(number_text(row.static_probability, "-"), 20)
            << number_text(row.toggle_rate, "-") << "\n";
    });
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries())
        out << "input " << entry->get_file_name() << ": " << entry->annotated_count() << " signals matched, toggle "
            << percentage_text(entry->has_toggle_percentage(), entry->toggle_percentage()) << ", unknown "
            << percentage_text(entry->has_unknown_percentage(), entry->unknown_percentage()) << "\n";
}

nlohmann::json optional_number(const std::optional<float>& value)
{
    return value ? nlohmann::json(static_cast<double>(*value)) : nlohmann::json(nullptr);
}

// A value as dump(2) writes it inside a document, its lines after the first
// indented by margin.
std::string dumped(const nlohmann::json& value, const std::string& margin)
{
    // Names come from the waveform as written and file names from the command
    // line; bytes that are not UTF-8 are replaced rather than aborting the dump.
    const std::string text = value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string indented;
    indented.reserve(text.size());
    for (char c : text) {
        indented += c;
        if (c == '\n')
            indented += margin;
    }
    return indented;
}

// The document that nlohmann's dump(2) would write for {"inputs", "messages",
// "signals"}, with the signals written one by one instead of built first.
void write_json(const HOST_DESIGN& design, std::ostream& out)
{
    nlohmann::json inputs = nlohmann::json::array();
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries()) {
        inputs.push_back(
            {{"file", entry->get_file_name()},
             {"matched_signals", entry->annotated_count()},
             {"toggle_percentage", entry->has_toggle_percentage() ? nlohmann::json(entry->toggle_percentage())
                                                                   : nlohmann::json(nullptr)},
             {"unknown_percentage", entry->has_unknown_percentage() ? nlohmann::json(entry->unknown_percentage())
                                                                     : nlohmann::json(nullptr)}});
    }
    nlohmann::json messages = nlohmann::json::array();
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        messages.push_back(
            {{"severity", host_severity_name(message.severity)}, {"id", message.id}, {"text", message.text}});
    out << "{\n  \"inputs\": " << dumped(inputs, "  ") << ",\n  \"messages\": " << dumped(messages, "  ")
        << ",\n  \"signals\": [";
    const char* separator = "\n    ";
    for_each_row(design, [&](const SIGNAL_ROW& row) {
        const nlohmann::json signal = {{"name", row.name},
                                       {"static_probability", optional_number(row.static_probability)},
                                       {"toggle_rate", optional_number(row.toggle_rate)}};
        out << separator << dumped(signal, "    ");
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
    else
        return false;
    return true;
}

void putil_write_activity_report(const HOST_DESIGN& design, PUTIL_ACTIVITY_FORMAT format, std::ostream& out)
{
    switch (format) {
    case PUTIL_ACTIVITY_FORMAT::TABLE: write_table(design, out); break;
    case PUTIL_ACTIVITY_FORMAT::CSV: write_csv(design, out); break;
    case PUTIL_ACTIVITY_FORMAT::JSON: write_json(design, out); break;
    }
}
