// The transient current generator: turns the toggles of a waveform into the
// supply current of the whole die over time, each toggle spreading its
// signal's switching energy over the next 500 time units.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/putil_replaced_file.h"
#include "handlers/putil_vcd_parser_event_handler_stats_collector.h"
#include "handlers/putil_toggle_energy_map.h"

// The stats collector's records, declarations, decoding, timestamps and
// window, with steps that raise toggle events instead of measuring.
class PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR
    : public PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR {
public:
    // energies and *voltage are copied; unused is not read. The waveform's
    // points are appended to times (seconds) and currents, which the caller
    // owns and must keep while the handler lives; with write_dump they are
    // also written to "transient_current_waveform.dump" in the working
    // directory, which the destructor completes and closes.
    PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR(
        PUTIL_INPUT_FILE_DATA* entry, std::string vcd_file_name, std::uint64_t lines_in_file,
        putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade, PUTIL_SA_DATA* sa_data, bool filter_glitches,
        const PUTIL_TOGGLE_ENERGY_MAP& energies, const double* voltage, const double* unused,
        std::vector<double>* times, std::vector<double>* currents, bool write_dump);
    ~PUTIL_VCD_PARSER_EVENT_HANDLER_TRANSIENT_CURRENT_GENERATOR() override;

    // Applies the changes still held back before the records are reset: their
    // toggles happened. The bins, totals and dump carry on into the next file.
    void handle_end_of_file() override;

    // Whether a file of the run did not parse: the dump file then keeps
    // its previous content.
    void note_file_read(bool parsed) { m_all_files_read = m_all_files_read && parsed; }
    // Also keeps a place for the new records' signal ids, made here on the
    // reading thread: toggle events may come on the apply thread.
    void handle_variable_declaration(char* kind, int size, char* code, char* reference, char* index) override;

protected:
    void handle_toggle_event(const OTERM_INFO* oterm_info, double time) override;

private:
    double energy_of(std::uint32_t oterm_id) const;
    std::uint32_t signal_id_of(const OTERM_INFO* oterm_info);
    bool counted_at_bin_start(std::uint32_t oterm_id) const;
    void count_toggle(std::uint32_t oterm_id, double energy);
    void forget_counted_signals();
    void move_bins_to(double time);
    void add_to_every_bin(double energy);
    void advance_to(double time);
    void restart_at(double time, double energy_per_bin);
    void emit_bin(double energy, double time);
    void emit_return_to_zero(double time);
    void write_step(double time, double to_current, bool to_zero);

    PUTIL_VECTOR<double> m_toggle_energies;   // by output signal id: the sum of its types 0 and 10
    static constexpr std::uint32_t s_no_signal_id = 0xFFFFFFFFu;
    PUTIL_VECTOR<std::uint32_t> m_record_signal_ids;   // by record of the current file, s_no_signal_id until asked
    double m_voltage;
    std::vector<double>* m_times;
    std::vector<double>* m_currents;
    bool m_write_dump;
    std::unique_ptr<PUTIL_REPLACED_FILE> m_dump_file;   // while write_dump
    bool m_all_files_read = true;
    std::uint32_t m_num_bins;
    // Energy per time unit: a ring of m_num_bins that starts at the head
    // bin, one file time unit wide each; empty until the first toggle.
    PUTIL_VECTOR<double> m_bins;
    double m_bin_start_time;            // of the head bin, file units
    std::uint32_t m_bin_head;
    double m_last_written_value;        // energy of the last bin that became a point
    double m_pending_energy;            // per bin, of toggles at the bin start time not yet added
    bool m_pending;
    // The signals counted at the bin start time: a signal's id is in the set
    // when its stamp is the current one, and a new stamp empties the set.
    PUTIL_VECTOR<std::uint32_t> m_counted_stamp;
    std::uint32_t m_stamp;
    double m_total_energy;
};
