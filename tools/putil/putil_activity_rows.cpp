// Rows and input summaries of the activity job.
#include "putil_activity_rows.h"

#include "putil_host.h"

namespace {

// A value of the record: from the waveforms (annotated), else, with
// constraints, one that the clock constraints gave.
void take_value(const PUTIL_OUTPUT_SIGNAL_DATA* data, int annotated_flag, int given_flag, bool with_constraints,
                float value, std::optional<float>& field, const char*& source)
{
    field.reset();
    source = "";
    if (data == nullptr)
        return;
    if (data->get_flag_value(annotated_flag)) {
        field = value;
        source = "waveform";
    } else if (with_constraints && data->get_flag_value(given_flag)) {
        field = value;
        source = "constraints";
    }
}

}  // namespace

void putil_for_each_activity_row(const HOST_DESIGN& design, bool with_constraints,
                                 const std::function<void(const PUTIL_ACTIVITY_ROW&)>& visit)
{
    CDB_ATOM_NETLIST* netlist = design.netlist();
    HOST_SA_DATA* store = design.store();
    PUTIL_ACTIVITY_ROW row;
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            row.name = (*term)->get_string_hpath();
            unsigned id = 0;
            PUTIL_OUTPUT_SIGNAL_DATA* data =
                store->get_unique_id_for_output_signal(*term, &id) ? store->get_output_signal_data(id, false) : nullptr;
            take_value(data, PUTIL_STATIC_PROBABILITY_ANNOTATED, PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE,
                       with_constraints, data != nullptr ? data->get_static_probability() : 0.0f,
                       row.static_probability, row.static_probability_source);
            take_value(data, PUTIL_TOGGLE_RATE_ANNOTATED, PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE, with_constraints,
                       data != nullptr ? data->get_toggle_rate() : 0.0f, row.toggle_rate, row.toggle_rate_source);
            const PUTIL_OUTPUT_SIGNAL_DATA* output_side =
                data != nullptr ? store->get_bidir_padio_output_signal_data(id, false) : nullptr;
            const char* output_source = "";
            take_value(output_side, PUTIL_TOGGLE_RATE_ANNOTATED, PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE, false,
                       output_side != nullptr ? output_side->get_toggle_rate() : 0.0f, row.output_toggle_rate,
                       output_source);
            visit(row);
        }
    }
}

// A VCD entry keeps its own sums. A waveform table is read into the store as
// a whole, which then holds the sums: they are its first entry's, and the
// signals it annotated are those that carry a waveform value.
PUTIL_INPUT_SUMMARY putil_input_summary(const HOST_DESIGN& design, const HOST_INPUT_FILE_DATA* entry)
{
    const HOST_SA_DATA* store = design.store();
    const bool store_sums = store->toggle_percentage() || store->unknown_percentage();
    if (!store_sums || entry != design.input_files()->entries().front()) {
        return PUTIL_INPUT_SUMMARY{entry->annotated_count(),
                                   entry->has_toggle_percentage() ? std::optional<float>(entry->toggle_percentage())
                                                                  : std::nullopt,
                                   entry->has_unknown_percentage() ? std::optional<float>(entry->unknown_percentage())
                                                                   : std::nullopt};
    }
    std::size_t annotated = 0;
    putil_for_each_activity_row(design, false, [&](const PUTIL_ACTIVITY_ROW& row) {
        annotated += row.static_probability || row.toggle_rate ? 1 : 0;
    });
    return PUTIL_INPUT_SUMMARY{annotated, store->toggle_percentage(), store->unknown_percentage()};
}
