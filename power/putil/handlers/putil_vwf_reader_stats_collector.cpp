// VWF reader stats collector: every output term of the netlist is measured
// along its waveform channel (time high, known and unknown, transitions) and
// annotated in the store.
#include "handlers/putil_vwf_reader_stats_collector.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <new>

#include "host/cdb_atom.h"
#include "host/hdb.h"
#include "host/putil_sa_data.h"
#include "host/tim_advanced_estimator.h"
#include "host/vdb.h"
#include "core/putil_internal.h"
#include "handlers/putil_level_accumulator.h"

namespace {

// The value character of a nine-level value, as the activity rules read
// it: weak levels count as driven ones, and the other levels (uninitialised,
// weak unknown, don't care) are neither 0, 1 nor Z.
char value_character(VDB_VALUE_NINE_LEVEL value)
{
    switch (value) {
    case VDB_VALUE_0:
    case VDB_VALUE_L: return '0';
    case VDB_VALUE_1:
    case VDB_VALUE_H: return '1';
    case VDB_VALUE_Z: return 'Z';
    case VDB_VALUE_X: return 'X';
    default: return 'U';
    }
}

// The database is a host class placed in storage of the library's segment,
// so that a refused allocation is the library's internal error.
struct VDB_DATA_DELETER {
    void operator()(VDB_DATA* vdb_data) const
    {
        vdb_data->~VDB_DATA();
        mem_delete_wrapper(vdb_data, PUTIL_SEGMENT);
    }
};
using VDB_DATA_OWNER = std::unique_ptr<VDB_DATA, VDB_DATA_DELETER>;

VDB_DATA_OWNER make_vdb_data()
{
    void* block = mem_new_wrapper(sizeof(VDB_DATA), PUTIL_SEGMENT, PUTIL_SOURCE_NAME, __LINE__);
    VDB_DATA* vdb_data = block != nullptr ? new (block) VDB_DATA(0) : nullptr;
    PUTIL_ASSERT(vdb_data != 0);
    return VDB_DATA_OWNER(vdb_data);
}

// A pad's output-enable channel walked alongside its data: the test of the
// output-enable value in force just before a time.
class OUTPUT_ENABLE_WALK {
public:
    OUTPUT_ENABLE_WALK(const VDB_DATA& vdb_data, const VDB_CHANNEL* channel) : m_vdb_data(vdb_data)
    {
        if (channel == nullptr)
            return;
        m_next = channel->get_begin_transition_iter();
        m_end = channel->get_end_transition_iter();
        if (m_next != m_end)
            m_low = vdb_data.is_low((m_next++)->get_value());
    }

    void advance_to(std::int64_t time)
    {
        for (; m_next != m_end && m_next->get_time() < time; ++m_next)
            m_low = m_vdb_data.is_low(m_next->get_value());
    }
    bool is_low() const { return m_low; }

private:
    const VDB_DATA& m_vdb_data;
    VDB_TRANSITION_ITERATOR m_next = nullptr;
    VDB_TRANSITION_ITERATOR m_end = nullptr;
    bool m_low = false;
};

}  // namespace

// Over the terms whose toggle rate was written.
struct PUTIL_VWF_READER_STATS_COLLECTOR::SUMS {
    unsigned counted_signals = 0;
    unsigned toggling_signals = 0;
    double unknown_time = 0.0;
    double total_time = 0.0;
};

// Where a term's waveform comes from. A bidirectional pad's data has a
// channel of its own, and its output enable says which of its toggles are
// its own output's.
struct PUTIL_VWF_READER_STATS_COLLECTOR::TERM_CHANNELS {
    const VDB_CHANNEL* data;            // null: the term is not measured
    const VDB_CHANNEL* output_enable;   // null unless the term is bidirectional
    PUTIL_OUTPUT_SIGNAL_DATA* bidir_output_signal_data;
};

// Times in picoseconds; transitions in whole transitions.
struct PUTIL_VWF_READER_STATS_COLLECTOR::ACTIVITY {
    double known_time;
    double unknown_time;
    double high_time;
    double transitions;
    double enabled_transitions;
};

PUTIL_VWF_READER_STATS_COLLECTOR::PUTIL_VWF_READER_STATS_COLLECTOR(PUTIL_SA_DATA* sa_data, bool filter_glitches)
    : m_sa_data(sa_data), m_filter_glitches(filter_glitches), m_advanced_estimator(nullptr)
{
    PUTIL_ASSERT(m_sa_data != 0);
    if (m_filter_glitches) {
        m_advanced_estimator =
            TIM_ADVANCED_ESTIMATOR::create_advanced_estimator(MEM_MANAGER::get_default_segment(), false);
        PUTIL_ASSERT(m_advanced_estimator != 0);
    }
}

PUTIL_VWF_READER_STATS_COLLECTOR::~PUTIL_VWF_READER_STATS_COLLECTOR()
{
    if (m_advanced_estimator != nullptr)
        TIM_ADVANCED_ESTIMATOR::destroy_advanced_estimator(m_advanced_estimator);
}

// A pulse narrower than every path to a sink never reaches one.
int PUTIL_VWF_READER_STATS_COLLECTOR::get_min_fanout_delay(CDB_ATOM_OTERM* oterm)
{
    PUTIL_ASSERT(oterm != 0);
    if (!m_filter_glitches)
        return 0;
    int minimum = INT_MAX;
    for (const CDB_ATOM_ITERM* iterm = oterm->begin_iterm_fanout(); iterm != oterm->end_iterm_fanout();
         iterm = iterm->get_next_fanout())
        minimum = std::min(minimum, m_advanced_estimator->estimate_delay(oterm, iterm));
    return minimum == INT_MAX ? 0 : minimum;
}

bool PUTIL_VWF_READER_STATS_COLLECTOR::read_vwf_file(std::string file_name)
{
    VDB_DATA_OWNER vdb_data = make_vdb_data();
    HDB_ACTION_PT_INSTANCE* action_pt_instance = m_sa_data->get_action_pt_instance();
    PUTIL_ASSERT(action_pt_instance != 0);
    if (!vdb_data->read_from_disk(FIO_PATH(file_name), VDB_FILE_TYPE_VECTOR_TABLE, VDB_VALUE_TYPE_NINE_LEVEL,
                                  action_pt_instance->get_m_action_pt_tree()))
        return false;

    CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
    PUTIL_ASSERT(atom_netlist != 0);
    SUMS sums;
    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            const TERM_CHANNELS channels = choose_channels(*vdb_data, *node, *term);
            if (channels.data == nullptr)
                continue;
            const ACTIVITY activity = measure(*vdb_data, channels, get_min_fanout_delay(*term));
            write_activity(*term, activity, channels, sums);
        }
    }
    write_summary(sums);
    return true;
}

// A bidirectional pad's output is read from the channel of its pad path with
// the result extension, when its output enable has a channel; any other term
// from the channel of its hierarchy name.
PUTIL_VWF_READER_STATS_COLLECTOR::TERM_CHANNELS PUTIL_VWF_READER_STATS_COLLECTOR::choose_channels(
    const VDB_DATA& vdb_data, const CDB_ATOM_NODE* atom, CDB_ATOM_OTERM* oterm)
{
    if (atom->is_pin_atom() && atom->has_padio_output_data() && oterm->is_used_as(CDB_PORT_TYPE_PAD_OUTPUT)) {
        const CDB_ATOM_ITERM* enable = atom->get_input_term_by_type(CDB_PORT_TYPE_OUTPUT_ENABLE, 0);
        const CDB_ATOM_OTERM* enable_source =
            enable != nullptr && enable->get_output_enable_flag() ? enable->get_source() : nullptr;
        const VDB_CHANNEL* output_enable =
            enable_source != nullptr ? vdb_data.find_channel(enable_source->get_instance_name()) : nullptr;
        if (output_enable != nullptr) {
            unsigned id = 0;
            const bool has_id = m_sa_data->get_unique_id_for_output_signal(oterm, &id);
            PUTIL_ASSERT(has_id);
            return TERM_CHANNELS{
                vdb_data.find_channel(oterm->get_string_hpath() + PUTIL_BIDIR_PADIO_RESULT_EXTENSION),
                output_enable, m_sa_data->get_bidir_padio_output_signal_data(id, true)};
        }
    }
    return TERM_CHANNELS{vdb_data.find_channel(oterm->get_instance_name()), nullptr, nullptr};
}

// The interval that ends at a transition is measured there: the first, from
// time 0, is unknown; the one after the last transition is not measured.
PUTIL_VWF_READER_STATS_COLLECTOR::ACTIVITY PUTIL_VWF_READER_STATS_COLLECTOR::measure(const VDB_DATA& vdb_data,
                                                                                     const TERM_CHANNELS& channels,
                                                                                     int threshold) const
{
    PUTIL_LEVEL_RECORD record;
    OUTPUT_ENABLE_WALK output_enable(vdb_data, channels.output_enable);
    // The output enable's level as a record of its own, for a bidirectional
    // term only.
    PUTIL_LEVEL_RECORD output_enable_level;
    if (channels.output_enable != nullptr)
        record.output_enable_info = &output_enable_level;
    std::int64_t previous_time = 0;
    for (VDB_TRANSITION_ITERATOR transition = channels.data->get_begin_transition_iter();
         transition != channels.data->get_end_transition_iter(); ++transition) {
        const std::int64_t time = transition->get_time();
        const double dt = static_cast<double>(time - previous_time);
        output_enable.advance_to(time);
        output_enable_level.value = output_enable.is_low() ? '0' : '1';
        if (m_filter_glitches)
            PUTIL_LEVEL_ACCUMULATOR::filter_glitch(record, dt, threshold, static_cast<double>(previous_time));
        PUTIL_LEVEL_ACCUMULATOR::measure(record, dt);
        PUTIL_LEVEL_ACCUMULATOR::start_interval(record, value_character(transition->get_value()));
        previous_time = time;
    }
    // The record counts half-transitions and weighs time at 1 twice.
    return ACTIVITY{record.known_time, record.unknown_time, record.weighted_high_time / 2,
                    record.toggle_count / 2, record.enabled_toggle_count / 2};
}

// Values that the user or an earlier source gave are left alone; a signal
// without known time has no activity to write.
void PUTIL_VWF_READER_STATS_COLLECTOR::write_activity(CDB_ATOM_OTERM* oterm, const ACTIVITY& activity,
                                                      const TERM_CHANNELS& channels, SUMS& sums)
{
    PUTIL_OUTPUT_SIGNAL_DATA* output_signal_data = m_sa_data->get_output_signal_data(oterm);
    PUTIL_ASSERT(output_signal_data != 0);
    PUTIL_OUTPUT_SIGNAL_DATA* bidir_output_signal_data = channels.bidir_output_signal_data;
    const bool bidirectional = channels.output_enable != nullptr;
    if (activity.known_time == 0)
        return;

    if (!output_signal_data->is_trusted_static_probability()) {
        const float static_probability = static_cast<float>(activity.high_time / activity.known_time);
        output_signal_data->set_static_probability(static_probability);
        output_signal_data->set_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED, true);
        if (bidirectional) {
            PUTIL_ASSERT(bidir_output_signal_data != 0);
            bidir_output_signal_data->set_static_probability(static_probability);
            bidir_output_signal_data->set_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED, true);
        }
    }
    if (output_signal_data->is_trusted_transition_density())
        return;

    const float toggle_rate = static_cast<float>(activity.transitions * 1e12 / activity.known_time);
    output_signal_data->set_toggle_rate(toggle_rate);
    output_signal_data->set_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED, true);
    // The pad's output record counts only what it drove out.
    if (bidirectional) {
        PUTIL_ASSERT(bidir_output_signal_data != 0);
        bidir_output_signal_data->set_toggle_rate(
            static_cast<float>(activity.enabled_transitions * 1e12 / activity.known_time));
        bidir_output_signal_data->set_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED, true);
    }
    ++sums.counted_signals;
    if (toggle_rate != 0)
        ++sums.toggling_signals;
    sums.unknown_time += activity.unknown_time;
    sums.total_time += activity.unknown_time + activity.known_time;
}

// A summary without signals or without time is not set.
void PUTIL_VWF_READER_STATS_COLLECTOR::write_summary(const SUMS& sums)
{
    if (sums.total_time > 0)
        m_sa_data->set_percentage_of_time_signals_spent_in_unknown_state(
            static_cast<float>(sums.unknown_time / sums.total_time * 100.0));
    if (sums.counted_signals > 0)
        m_sa_data->set_toggle_percentage(
            static_cast<float>(static_cast<double>(sums.toggling_signals) / sums.counted_signals * 100.0));
}
