// Output of the clocks command: every output signal's clock domain, its
// clock's toggle rate and how it was found, relative toggle rates made
// absolute, then the warnings and report tables, as a table, CSV or JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct PUTIL_CLOCKS_ROW {
    std::string name;
    int domain;                  // -1: none
    float clock_toggle_rate;     // transitions per second, -1.0: unknown
    bool from_fanout_traversal;
    bool multiple_clock_domains;
    bool multiple_register_clock_domains;
    bool clock_net;
    std::optional<float> relative_percent;   // the signal's toggle rate as a percentage of its clock's
};

struct PUTIL_CLOCKS_TABLE {
    std::string title;
    std::vector<std::vector<std::string>> rows;   // the first is the header
};

struct PUTIL_CLOCKS_REPORT {
    std::string rule;
    std::vector<PUTIL_CLOCKS_ROW> signals;
    std::vector<PUTIL_CLOCKS_TABLE> tables;
};

enum class PUTIL_CLOCKS_FORMAT { TABLE, CSV, JSON };

// The absolute toggle rate of a row given relative to its clock; empty when
// not given or when the clock's rate is unknown.
std::optional<float> putil_absolute_toggle_rate(const PUTIL_CLOCKS_ROW& row);

// The JSON document: rule, signals, messages and tables.
nlohmann::json putil_clocks_report_json(const PUTIL_CLOCKS_REPORT& report);

// CSV holds the signals only; the table and JSON forms add the report
// tables (and JSON the posted messages).
void putil_write_clocks_report(const PUTIL_CLOCKS_REPORT& report, PUTIL_CLOCKS_FORMAT format, std::ostream& out);
