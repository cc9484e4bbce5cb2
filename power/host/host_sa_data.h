// Reference host signal-activity store: one activity record per output term
// of the design's netlist, and a second one for the output side of each
// bidirectional pad.
#pragma once

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "host/putil_sa_data.h"

class HOST_NETLIST;
class HOST_INPUT_FILE_MANAGER;

// Ids are given on first use (the first query of the store): every output
// term of the netlist then gets a dense id in netlist order (atoms in the
// order they were added, terms in their atom's order), every record starts
// at 0 with clear flags and owner ids 0, and the netlist is frozen so that
// the ids stay valid.
class HOST_SA_DATA final : public PUTIL_SA_DATA {
public:
    HOST_SA_DATA(HOST_NETLIST* netlist, HOST_INPUT_FILE_MANAGER* manager, CDB_CHIP_DB_ENTRY* chip_db_entry,
                 HDB_ACTION_PT_INSTANCE* action_pt_instance = nullptr);
    ~HOST_SA_DATA() override;

    CDB_ATOM_NETLIST* get_atom_netlist() const override;
    CDB_CHIP_DB_ENTRY* get_chip_db_entry() const override { return m_chip_db_entry; }
    PUTIL_INPUT_FILE_MANAGER* get_input_file_manager() const override;
    bool get_unique_id_for_output_signal(const CDB_ATOM_OTERM* oterm, unsigned* id) const override;
    unsigned get_output_signal_id_array_size() const override;
    PUTIL_OUTPUT_SIGNAL_DATA* get_output_signal_data(const CDB_ATOM_OTERM* oterm) override;
    // Every record exists once ids are given: create changes nothing, and an
    // id out of range gives null.
    PUTIL_OUTPUT_SIGNAL_DATA* get_output_signal_data(unsigned id, bool create) override;
    // Only for a term of a bidirectional pad used as pad output (port type
    // 7); made on the first call with create, null before and for others.
    PUTIL_OUTPUT_SIGNAL_DATA* get_bidir_padio_output_signal_data(unsigned id, bool create) override;
    HDB_ACTION_PT_INSTANCE* get_action_pt_instance() const override { return m_action_pt_instance; }
    void set_toggle_percentage(float percent) override { m_toggle_percentage = percent; }
    void set_percentage_of_time_signals_spent_in_unknown_state(float percent) override
    {
        m_unknown_percentage = percent;
    }
    // The toggle rate of an input term's source, or of the output term; 0
    // for an unconnected input and for a term of another netlist.
    float get_toggle_rate_of_term(const CDB_ATOM_ITERM* iterm) override;
    float get_toggle_rate_of_term(const CDB_ATOM_OTERM* oterm) override;
    // The summaries as last set; none until a waveform table was read.
    const std::optional<float>& toggle_percentage() const { return m_toggle_percentage; }
    const std::optional<float>& unknown_percentage() const { return m_unknown_percentage; }

    // The term that has this id, or null.
    const CDB_ATOM_OTERM* oterm_of(unsigned id) const;

    // Level times are kept only once asked for (SAIF output needs them): a
    // read that only annotates holds no more than the two measures.
    void set_keeping_level_times(bool keep) { m_keeping_level_times = keep; }
    bool keeps_signal_level_times() const override { return m_keeping_level_times; }
    // The last times offered for the term, from any file; with record sums
    // kept, every offer in order.
    void keep_signal_level_times(const CDB_ATOM_OTERM* oterm, std::uint16_t input_file_id,
                                 const PUTIL_SIGNAL_LEVEL_TIMES& times, const PUTIL_RECORD_SUMS& sums) override;
    // The level times kept for the term, or null.
    const PUTIL_SIGNAL_LEVEL_TIMES* level_times_of(const CDB_ATOM_OTERM* oterm) const;

    // Every offer of every file, kept once asked for (partial results, which
    // are annotated again later, need them).
    struct KEPT_RECORD {
        PUTIL_RECORD_SUMS sums;
        PUTIL_SIGNAL_LEVEL_TIMES times;
    };
    void set_keeping_record_sums(bool keep) { m_keeping_record_sums = keep; }
    const std::vector<KEPT_RECORD>& kept_records() const { return m_kept_records; }
    // Takes level times as a read would offer them (a merge of partial
    // results annotating the store again).
    void set_signal_level_times(const CDB_ATOM_OTERM* oterm, const PUTIL_SIGNAL_LEVEL_TIMES& times);

private:
    void assign_ids() const;

    HOST_NETLIST* m_netlist;
    HOST_INPUT_FILE_MANAGER* m_manager;
    CDB_CHIP_DB_ENTRY* m_chip_db_entry;
    HDB_ACTION_PT_INSTANCE* m_action_pt_instance;
    std::optional<float> m_toggle_percentage;
    std::optional<float> m_unknown_percentage;
    mutable bool m_ids_assigned = false;
    // Each term keeps its own id (HOST_OTERM::signal_id); the id's entry
    // here tells a term of this netlist from one of another.
    mutable std::vector<const CDB_ATOM_OTERM*> m_oterms;
    mutable std::vector<PUTIL_OUTPUT_SIGNAL_DATA> m_records;
    mutable std::vector<bool> m_has_bidir_record;
    mutable std::unordered_map<unsigned, std::unique_ptr<PUTIL_OUTPUT_SIGNAL_DATA>> m_bidir_records;
    bool m_keeping_level_times = false;
    bool m_keeping_record_sums = false;
    std::vector<KEPT_RECORD> m_kept_records;
    std::unordered_map<unsigned, PUTIL_SIGNAL_LEVEL_TIMES> m_level_times;   // by signal id
};
