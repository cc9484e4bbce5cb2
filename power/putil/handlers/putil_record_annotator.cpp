// Annotation of measured records under the merge rules.
#include "handlers/putil_record_annotator.h"

#include <vector>

#include "host/cdb_atom.h"
#include "host/putil_sa_data.h"

PUTIL_RECORD_ANNOTATOR::PUTIL_RECORD_ANNOTATOR(PUTIL_SA_DATA* sa_data)
    : m_sa_data(sa_data), m_input_file_manager(sa_data->get_input_file_manager())
{
}

void PUTIL_RECORD_ANNOTATOR::store_records(const CDB_ATOM_OTERM* oterm, PUTIL_OUTPUT_SIGNAL_DATA** data,
                                           PUTIL_OUTPUT_SIGNAL_DATA** bidir_data) const
{
    unsigned out_data_id = 0;
    PUTIL_ASSERT(m_sa_data->get_unique_id_for_output_signal( oterm, &out_data_id ));
    PUTIL_OUTPUT_SIGNAL_DATA* out_data = m_sa_data->get_output_signal_data(out_data_id, false);
    PUTIL_ASSERT(out_data != 0);
    *data = out_data;
    *bidir_data = nullptr;
    const CDB_ATOM_NODE* atom = oterm->get_my_node();
    if (atom->is_pin_atom() && atom->has_padio_output_data() && oterm->is_used_as(CDB_PORT_TYPE_PAD_OUTPUT)) {
        PUTIL_OUTPUT_SIGNAL_DATA* out_bidir_data = m_sa_data->get_bidir_padio_output_signal_data(out_data_id, true);
        PUTIL_ASSERT(out_bidir_data != 0);
        *bidir_data = out_bidir_data;
    }
}

void PUTIL_RECORD_ANNOTATOR::annotate(PUTIL_OUTPUT_SIGNAL_DATA* out_data, PUTIL_OUTPUT_SIGNAL_DATA* out_bidir_data,
                                      const PUTIL_RECORD_SUMS& sums)
{
    PUTIL_INPUT_FILE_DATA* entry = m_input_file_manager->get_input_file_data(sums.input_file_id);
    ENTRY_SUMS& entry_sums = sums_of(sums.input_file_id);

    if (!out_data->get_flag_value(PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE)) {
        const float sp = static_cast<float>(sums.weighted_high_time * 0.5 / sums.known_time);
        bool written = annotate_value(out_data, PUTIL_STATIC_PROBABILITY_ANNOTATED,
                                      out_data->static_probability_file_id, sums.input_file_id, sp, true);
        if (out_bidir_data != nullptr && !out_bidir_data->get_flag_value(PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE))
            written |= annotate_value(out_bidir_data, PUTIL_STATIC_PROBABILITY_ANNOTATED,
                                      out_bidir_data->static_probability_file_id, sums.input_file_id, sp, true);
        if (written) {
            entry_sums.unknown_time += sums.unknown_time;
            entry_sums.total_time += sums.unknown_time + sums.known_time;
            m_input_file_manager->mark_oterm_annotated(entry, sums.oterm);
        }
    }

    if (!out_data->get_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE)) {
        const double seconds = sums.time_unit_ns * sums.known_time / 1e9;
        const float all = static_cast<float>(sums.toggle_count * 0.5 / seconds);
        const float enabled = static_cast<float>(sums.enabled_toggle_count * 0.5 / seconds);
        // A pad output without its own record counts only the toggles made
        // while its output was enabled.
        const float rate = sums.enabled_toggles_only && out_bidir_data == nullptr ? enabled : all;
        float rate_taken = rate;
        bool written = annotate_value(out_data, PUTIL_TOGGLE_RATE_ANNOTATED, out_data->toggle_rate_file_id,
                                      sums.input_file_id, rate, false);
        if (out_bidir_data != nullptr && !out_bidir_data->get_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE)) {
            const bool bidir_written =
                annotate_value(out_bidir_data, PUTIL_TOGGLE_RATE_ANNOTATED, out_bidir_data->toggle_rate_file_id,
                               sums.input_file_id, enabled, false);
            if (bidir_written && !written)
                rate_taken = enabled;
            written |= bidir_written;
        }
        if (written) {
            ++entry_sums.counted_signals;
            if (rate_taken > 0)
                ++entry_sums.toggling_signals;
            m_input_file_manager->mark_oterm_annotated(entry, sums.oterm);
        }
    }
}

void PUTIL_RECORD_ANNOTATOR::set_percentages(const PUTIL_VECTOR<PUTIL_INPUT_FILE_DATA*>& entries)
{
    for (PUTIL_INPUT_FILE_DATA* entry : entries) {
        const ENTRY_SUMS& entry_sums = sums_of(entry->get_id());
        if (entry_sums.counted_signals > 0)
            entry->set_toggle_percentage(static_cast<float>(entry_sums.toggling_signals) * 100.0f /
                                         static_cast<float>(entry_sums.counted_signals));
        if (entry_sums.total_time > 0)
            entry->set_unknown_percentage(static_cast<float>(entry_sums.unknown_time * 100.0 / entry_sums.total_time));
    }
}

PUTIL_RECORD_ANNOTATOR::ENTRY_SUMS& PUTIL_RECORD_ANNOTATOR::sums_of(std::uint16_t entry_id)
{
    for (ENTRY_SUMS& entry_sums : m_sums) {
        if (entry_sums.entry_id == entry_id)
            return entry_sums;
    }
    m_sums.push_back(ENTRY_SUMS{entry_id, 0.0, 0.0, 0, 0});
    return m_sums.back();
}

// Writes one value under the store's merge rules: the first annotation
// sets it; a later one replaces, adds or keeps as the manager answers.
bool PUTIL_RECORD_ANNOTATOR::annotate_value(PUTIL_OUTPUT_SIGNAL_DATA* data, int annotated_flag,
                                            std::uint16_t& owner_field, std::uint16_t entry_id, float value,
                                            bool static_probability)
{
    std::uint16_t owner = owner_field;
    const int mode = m_input_file_manager->get_merge_mode(entry_id, owner);
    const bool first = !data->get_flag_value(annotated_flag);
    if (first || mode == PUTIL_MERGE_REPLACE) {
        if (static_probability)
            data->set_static_probability(value);
        else
            data->set_toggle_rate(value);
        if (first)
            data->set_flag_value(annotated_flag, true);
    } else if (mode == PUTIL_MERGE_ADD) {
        if (static_probability)
            data->add_static_probability(value);
        else
            data->add_toggle_rate(value);
    } else {
        return false;
    }
    owner_field = owner;
    return true;
}

void putil_annotate_record_sums(PUTIL_SA_DATA* sa_data, PUTIL_INPUT_FILE_DATA* entry,
                                const PUTIL_RECORD_SUMS* records, std::size_t count)
{
    PUTIL_RECORD_ANNOTATOR annotator(sa_data);
    for (std::size_t i = 0; i < count; ++i) {
        PUTIL_OUTPUT_SIGNAL_DATA* data = nullptr;
        PUTIL_OUTPUT_SIGNAL_DATA* bidir_data = nullptr;
        annotator.store_records(records[i].oterm, &data, &bidir_data);
        annotator.annotate(data, bidir_data, records[i]);
    }
    if (entry == nullptr)
        return;
    std::vector<PUTIL_INPUT_FILE_DATA*> related;
    sa_data->get_input_file_manager()->get_related_entries(entry, related);
    annotator.set_percentages(PUTIL_VECTOR<PUTIL_INPUT_FILE_DATA*>(related.begin(), related.end()));
}
