// Shared text forms of the reports.
#include "putil_report_text.h"

#include <algorithm>
#include <cstdio>

#include "putil_host.h"

std::string putil_number_text(const std::optional<float>& value, const char* missing)
{
    if (!value)
        return missing;
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(*value));
    return text;
}

std::string putil_csv_field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string putil_padded(const std::string& text, std::size_t size)
{
    return text.size() >= size ? text : text + std::string(size - text.size(), ' ');
}

std::size_t putil_column_width(std::size_t widest)
{
    const std::size_t most = 80;
    return widest < most ? widest : most;
}

std::string putil_dumped_json(const nlohmann::json& value, const std::string& margin)
{
    // Names come from waveforms and designs as written and file names from
    // the command line: bytes that are not UTF-8 are replaced rather than
    // aborting the dump.
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

nlohmann::json putil_json_number(const std::optional<float>& value)
{
    return value ? nlohmann::json(static_cast<double>(*value)) : nlohmann::json(nullptr);
}

namespace {

// A message, with the sub-messages that name its terms one by one (222014
// lists each signal as a 222015) when it has them.
nlohmann::json message_json(const HOST_POSTED_MESSAGE& message)
{
    nlohmann::json json = {{"severity", host_severity_name(message.severity)}, {"id", message.id},
                           {"text", message.text}};
    if (message.sub_messages.empty())
        return json;
    nlohmann::json subs = nlohmann::json::array();
    for (const HOST_POSTED_MESSAGE& sub : message.sub_messages)
        subs.push_back(message_json(sub));
    json["sub_messages"] = std::move(subs);
    return json;
}

}  // namespace

nlohmann::json putil_posted_messages_json()
{
    nlohmann::json messages = nlohmann::json::array();
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        messages.push_back(message_json(message));
    return messages;
}

std::string putil_double_text(const std::optional<double>& value, const char* missing)
{
    if (!value)
        return missing;
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", *value);
    return text;
}

nlohmann::json putil_json_double(const std::optional<double>& value)
{
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

void putil_write_columns(const std::vector<std::vector<std::string>>& rows, std::ostream& out)
{
    std::vector<std::size_t> widths;
    for (const std::vector<std::string>& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], putil_column_width(row[i].size()));
    }
    for (const std::vector<std::string>& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? putil_padded(row[i], widths[i]) + "  " : row[i];
        out << line << "\n";
    }
}
