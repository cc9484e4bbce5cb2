// Text forms that the reports of every subcommand share.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// A single-precision value with all the digits that tell it apart, or
// missing when there is none.
std::string putil_number_text(const std::optional<float>& value, const char* missing);

// A name as one CSV field: escaped Verilog identifiers may hold commas and
// quotes, which are quoted so that the row keeps its fields.
std::string putil_csv_field(const std::string& text);

// text padded with spaces to size characters.
std::string putil_padded(const std::string& text, std::size_t size);

// The width of a table column whose widest cell is widest: at most 80, so
// that one long name overflows its own row instead of widening every row.
std::size_t putil_column_width(std::size_t widest);

// A value as dump(2) writes it inside a document, its lines after the first
// indented by margin; bytes that are not UTF-8 are replaced.
std::string putil_dumped_json(const nlohmann::json& value, const std::string& margin);

nlohmann::json putil_json_number(const std::optional<float>& value);

// The messages posted so far: severity, id and text of each, and its
// sub_messages (the same fields) when it has some.
nlohmann::json putil_posted_messages_json();

// A double with nine significant digits, or missing when there is none.
std::string putil_double_text(const std::optional<double>& value, const char* missing);

nlohmann::json putil_json_double(const std::optional<double>& value);

// Rows of text as columns, each as wide as its widest cell (up to the cap of
// putil_column_width: a longer cell overflows its own row), two spaces apart.
void putil_write_columns(const std::vector<std::vector<std::string>>& rows, std::ostream& out);
