// The TBL creator: converts a waveform file into a TBL vector file, the
// design signals it names and one pattern row of their values per time step.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "core/putil_replaced_file.h"
#include "vcd/putil_vcd_code_table.h"
#include "vcd/putil_vcd_parser_event_handler.h"

class BIG_TIME;
class CDB_ATOM_OTERM;

class PUTIL_VCD_PARSER_EVENT_HANDLER_TBL_CREATOR : public PUTIL_VCD_PARSER_EVENT_HANDLER {
public:
    // Serves no store: names are looked up from the design root. Writes a
    // temporary file beside tbl_file_name, which replaces it only when the
    // file was read whole (finish_output). Rows are written only inside
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
    // The common body lines, read in the scanner's buffer through a table of
    // the file's codes built when the declarations end.
    bool handle_scalar_value_change_text(std::string_view value_text) override;
    bool handle_vector_value_change_text(std::string_view code, std::string_view value) override;
    bool handle_end_of_definitions() override;
    // Writes the last row and the end of the file; the handler is not read
    // again.
    void handle_end_of_file() override;

    // Called once the read has ended, before handle_end_of_file: with
    // parsed, the TBL file is put in place when the handler finishes;
    // otherwise its destination is left as it was.
    void set_read_completed(bool parsed) { m_read_completed = parsed; }
    // Whether the TBL file was written and put in place; a failure has been
    // reported to the host.
    bool output_written() const { return m_output_written; }

private:
    // One declared signal (or bit) that names an output term.
    struct SIGNAL {
        CDB_ATOM_OTERM* oterm;
        char value;
        bool is_input;    // listed under INPUTS
        bool is_output;   // listed under OUTPUTS
        // Where the value stands in m_row_values, s_no_column when not listed
        // there (or the layout is not made yet).
        std::uint32_t input_column;
        std::uint32_t output_column;
    };
    static constexpr std::uint32_t s_no_column = 0xFFFFFFFFu;

    // What a value change of one identifier code reaches, as the char*
    // slots find it in the identifier maps.
    struct CODE_TARGETS {
        std::uint32_t scalar;               // the record of a scalar change, or PUTIL_NO_BIT_CODE
        std::uint32_t width;                // of a vector code with bits; 0 otherwise
        const PUTIL_VCD_BIT_CODES* bits;    // null without bit codes
    };
    // False, after a parse error, for a malformed value.
    bool apply_vector_value(const CODE_TARGETS& targets, const char* value, std::size_t total_bits);

    bool declare(const std::string& code, const std::string& name, int bit);
    // The value goes into the record and into the row that is written next.
    void set_value(std::uint32_t index, char value)
    {
        SIGNAL& signal = m_signals[index];
        signal.value = value;
        if (signal.input_column != s_no_column)
            m_row_values[signal.input_column] = value;
        if (signal.output_column != s_no_column)
            m_row_values[signal.output_column] = value;
    }
    void lay_out_row();
    bool in_window(double time) const;
    void write_header();
    void write_row(double row_time);
    static void exact_time_text(double time, char* text, std::size_t size);

    PUTIL_VECTOR<SIGNAL> m_signals;
    PUTIL_VCD_CODE_TABLE m_code_table;        // code to an index of m_code_targets
    PUTIL_VECTOR<CODE_TARGETS> m_code_targets;
    bool m_code_table_built = false;          // and no declaration came since
    PUTIL_REPLACED_FILE m_tbl_file;
    std::ofstream* m_tbl_ostream;
    bool m_read_completed = false;
    bool m_output_written = false;
    bool m_print_only_inputs;      // "print_only_inputs_to_tbl_file", read per conversion
    bool m_exact_times;            // "putil_tbl_exact_times": every digit of each time, in the file's unit
    bool m_time_went_back = false; // a timestamp before the last was seen (and reported)
    // The values of a pattern row after its time (" 0 1 = X 1\n"), kept up to
    // date as values change: a row of a large design is a long line, written
    // at once. Made again when a signal is declared after it was made.
    PUTIL_VECTOR<char> m_row_values;
    bool m_row_laid_out = false;
    std::int64_t m_window_start;   // picoseconds
    std::int64_t m_window_end;
    bool m_no_window;
    bool m_header_pending;
    double m_last_time;            // file units
};
