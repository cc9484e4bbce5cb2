// The VCD reader's implementation: line counting, the one pipeline that
// takes files through scanner, parser and a handler, and the operations
// built on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/putil_vcd_reader.h"

class CDB_ATOM_NETLIST;
class HDB_CMP_ACTION_PT_INSTANCE;
class PUTIL_INPUT_FILE_DATA;
class PUTIL_VCD_PARSER_EVENT_HANDLER;
class putil_vcd_lexer_yyFlexLexer;

// One file of an operation: its name and the store entry it belongs to
// (null when the operation serves no store).
struct PUTIL_VCD_READ_INPUT {
    PUTIL_INPUT_FILE_DATA* entry;
    std::string file_name;
};

// What varies between the reader's operations. The pipeline owns the
// sequence (find, count, open, announce, scan, parse, finish); a job makes
// the handler and says what its messages are and what ends each file.
class PUTIL_VCD_READ_JOB {
public:
    virtual ~PUTIL_VCD_READ_JOB() = default;
    // The handler for the first file, owned by the pipeline from then on;
    // later files reuse it through reset_for_file.
    virtual PUTIL_VCD_PARSER_EVENT_HANDLER* make_handler(const PUTIL_VCD_READ_INPUT& input,
                                                        std::uint64_t lines_in_file,
                                                        putil_vcd_lexer_yyFlexLexer* scanner) = 0;
    // After the parse and before handle_end_of_file: whether the next file
    // is read. By default, whether this one parsed.
    virtual bool finish_file(PUTIL_VCD_PARSER_EVENT_HANDLER* handler, bool parsed);
    // Messages around each file; none by default.
    virtual void announce_start(const PUTIL_VCD_READ_INPUT& input);
    virtual void announce_finish(const PUTIL_VCD_READ_INPUT& input);
    // Whether the file's lines are counted for progress; a job that reads
    // only the declarations does not need it.
    virtual bool counts_lines() const { return true; }
};

class PUTIL_VCD_READER_MAIN : public PUTIL_VCD_READER {
public:
    explicit PUTIL_VCD_READER_MAIN(CMP_FACADE* facade);

    bool convert_vcd_to_tbl_file(std::string vcd_file_name, std::string tbl_file_name, const BIG_TIME* start_time,
                                 const BIG_TIME* end_time) override;
    bool read_vcd_files(PUTIL_SA_DATA* sa_data) override;
    bool reserved_file_conversion(std::string from, std::string to) override;
    int get_status() override;
    bool generate_transient_current(PUTIL_SA_DATA* sa_data, const PUTIL_TOGGLE_ENERGY_MAP& energies,
                                    const double* voltage, const double* unused, std::vector<double>* times,
                                    std::vector<double>* currents, bool write_dump) override;
    bool read_vcd_declarations(std::string vcd_file_name, PUTIL_VCD_SIGNAL_LISTENER* listener) override;
    void annotate_record_sums(PUTIL_SA_DATA* sa_data, PUTIL_INPUT_FILE_DATA* entry,
                              const std::vector<PUTIL_RECORD_SUMS>& records) override;

    // Counts the line feeds of a file for progress. False (after the
    // not-found message) when the file does not exist; a file that exists
    // but cannot be opened counts 0 lines.
    bool count_lines_in_file(const std::string& file_name, std::uint64_t* lines_in_file);

    // Takes the files in order through the job's handler, each only while
    // the previous one let the run go on; false when a file was missing or
    // the job stopped the run.
    bool run_pipeline(const std::vector<PUTIL_VCD_READ_INPUT>& inputs, PUTIL_VCD_READ_JOB& job);

private:
    bool read_vwf_entry(PUTIL_SA_DATA* sa_data, PUTIL_INPUT_FILE_DATA* entry, bool use_timing_estimator);

    CMP_FACADE* m_facade;
    HDB_CMP_ACTION_PT_INSTANCE* m_cap_inst;
    CDB_ATOM_NETLIST* m_netlist;
    int m_status;
};
