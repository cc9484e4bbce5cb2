// Writes measured activity records into the signal-activity store: the
// static probability and toggle rate each record gives, under the merge
// rules of the store's input file manager, and the toggle and unknown
// percentages of the entries. The stats collector annotates through it after
// each file, and a store's kept record sums are annotated again through it.
#pragma once

#include <cstdint>

#include "core/putil_internal.h"
#include "host/putil_sa_data.h"

class CDB_ATOM_OTERM;

class PUTIL_RECORD_ANNOTATOR {
public:
    explicit PUTIL_RECORD_ANNOTATOR(PUTIL_SA_DATA* sa_data);

    // The store's record of the term (D) and, when the term is a
    // bidirectional pad's output, the record of the pad's output side (B,
    // made here), else null. Internal errors for a term the store lacks.
    void store_records(const CDB_ATOM_OTERM* oterm, PUTIL_OUTPUT_SIGNAL_DATA** data,
                       PUTIL_OUTPUT_SIGNAL_DATA** bidir_data) const;
    // Writes one record with a known time into D and B; the records of one
    // term come in the order they were declared.
    void annotate(PUTIL_OUTPUT_SIGNAL_DATA* data, PUTIL_OUTPUT_SIGNAL_DATA* bidir_data, const PUTIL_RECORD_SUMS& sums);
    // Sets the percentages of every entry of entries from what was written
    // through it; entries without a counted signal or time keep theirs.
    void set_percentages(const PUTIL_VECTOR<PUTIL_INPUT_FILE_DATA*>& entries);

private:
    // Sums per input entry id for its toggle and unknown percentages.
    struct ENTRY_SUMS {
        std::uint16_t entry_id;
        double unknown_time;
        double total_time;
        unsigned counted_signals;
        unsigned toggling_signals;
    };

    bool annotate_value(PUTIL_OUTPUT_SIGNAL_DATA* data, int annotated_flag, std::uint16_t& owner_field,
                        std::uint16_t entry_id, float value, bool static_probability);
    ENTRY_SUMS& sums_of(std::uint16_t entry_id);

    PUTIL_SA_DATA* m_sa_data;
    PUTIL_INPUT_FILE_MANAGER* m_input_file_manager;
    PUTIL_VECTOR<ENTRY_SUMS> m_sums;
};

// Annotates the store with the records one file's read offered (in that
// order), as the read itself did, and sets the percentages of entry and the
// entries related to it; a null entry sets none.
void putil_annotate_record_sums(PUTIL_SA_DATA* sa_data, PUTIL_INPUT_FILE_DATA* entry,
                                const PUTIL_RECORD_SUMS* records, std::size_t count);
