// The TBL creator: converts a waveform file into a TBL vector file, the
// design signals it names and one pattern row of their values per time step.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "putil_vcd_parser_event_handler.h"

class BIG_TIME;
class CDB_ATOM_OTERM;

class PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR : public PUTIL_VCD_PARSER_EVENT_HANDLER {
public:
    // Serves no store: names are looked up from the design root. Opens
    // tbl_file_name for writing (replaced). Rows are written only inside
    // [start_time, end_time] when both are given; either may be null.
    PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR(std::string vcd_file_name, std::uint64_t lines_in_file,
                                               putil_vcd_lexer_yyFlexLexer* scanner, const std::string& tbl_file_name,
                                               CMP_FACADE* facade, const BIG_TIME* start_time,
                                               const BIG_TIME* end_time);
    ~PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR() override;

    bool handle_timestamp(char* time_text) override;
    void handle_vcd_close(char* time_text) override;
    void handle_variable_declaration(char* kind, int size, char* code, char* reference, char* index) override;
    bool handle_port_value_change(char* code, char* value) override;
    bool handle_vector_value_change(char* code, char* value) override;
    void handle_real_value_change(char* code, char* value) override;
    bool handle_scalar_value_change(char* code, char* value_text) override;
    // Writes the last row and the end of the file; the handler is not read
    // again.
    void handle_end_of_file() override;

private:
    // One declared signal (or bit) that names an output term.
    struct SIGNAL {
        CDB_ATOM_OTERM* oterm;
        char value;
        bool is_input;    // listed under INPUTS
        bool is_output;   // listed under OUTPUTS
    };

    bool declare(const std::string& code, const std::string& name, int bit);
    void set_value(std::uint32_t index, char value) { m_signals[index].value = value; }
    bool in_window(double time) const;
    void write_header();
    void write_row(double row_time);

    PUTIL_VECTOR<SIGNAL> m_signals;
    std::ofstream m_tbl_ostream;
    std::int64_t m_window_start;   // picoseconds
    std::int64_t m_window_end;
    bool m_no_window;
    bool m_header_pending;
    double m_last_time;            // file units
};
