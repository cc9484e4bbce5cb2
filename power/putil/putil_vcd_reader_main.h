// The VCD reader's implementation: line counting, the per-file pipeline of
// scanner, parser and handler, and the reader's messages.
#pragma once

#include <cstdint>
#include <string>

#include "putil_vcd_reader.h"

class CDB_ATOM_NETLIST;
class HDB_CMP_ACTION_PT_INSTANCE;

class PUTIL_VCD_READER_MAIN : public PUTIL_VCD_READER {
public:
    explicit PUTIL_VCD_READER_MAIN(CMP_FACADE* facade);

    bool read_vcd_files(PUTIL_SA_DATA* sa_data) override;
    bool reserved_file_conversion(std::string from, std::string to) override;
    int get_status() override;

    // Counts the line feeds of a file for progress. False (after the
    // not-found message) when the file does not exist; a file that exists
    // but cannot be opened counts 0 lines.
    bool count_lines_in_file(const std::string& file_name, std::uint64_t* lines_in_file);

private:
    CMP_FACADE* m_facade;
    HDB_CMP_ACTION_PT_INSTANCE* m_cap_inst;
    CDB_ATOM_NETLIST* m_netlist;
    int m_status;
};
