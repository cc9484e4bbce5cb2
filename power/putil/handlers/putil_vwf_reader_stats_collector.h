// The VWF reader stats collector: signal activity from a vector waveform
// file that the host's waveform database reads, written into the store.
#pragma once

#include <string>

#include "core/putil_export.h"

class CDB_ATOM_NODE;
class CDB_ATOM_OTERM;
class PUTIL_SA_DATA;
class TIM_ADVANCED_ESTIMATOR;
class VDB_DATA;

class PUTIL_VWF_READER_STATS_COLLECTOR : public PUTIL_HEAP_OBJECT {
public:
    // sa_data must be non-null; with filter_glitches the timing estimator
    // gives every signal its smallest fanout delay, and pulses narrower than
    // that are not activity.
    PUTIL_VWF_READER_STATS_COLLECTOR(PUTIL_SA_DATA* sa_data, bool filter_glitches);
    ~PUTIL_VWF_READER_STATS_COLLECTOR();
    PUTIL_VWF_READER_STATS_COLLECTOR(const PUTIL_VWF_READER_STATS_COLLECTOR&) = delete;
    PUTIL_VWF_READER_STATS_COLLECTOR& operator=(const PUTIL_VWF_READER_STATS_COLLECTOR&) = delete;

    // Reads the file into a waveform database of its own and writes the
    // static probability and toggle rate of every output term that has a
    // channel, then the store's summaries. False, with nothing written and no
    // message, when the database cannot read the file.
    bool read_vwf_file(std::string file_name);

    // Smallest estimated delay from oterm to any of its sinks in
    // picoseconds; 0 without glitch filtering or without sinks.
    int get_min_fanout_delay(CDB_ATOM_OTERM* oterm);

private:
    struct SUMS;
    struct TERM_CHANNELS;
    struct ACTIVITY;

    TERM_CHANNELS choose_channels(const VDB_DATA& vdb_data, const CDB_ATOM_NODE* atom, CDB_ATOM_OTERM* oterm);
    ACTIVITY measure(const VDB_DATA& vdb_data, const TERM_CHANNELS& channels, int threshold) const;
    void write_activity(CDB_ATOM_OTERM* oterm, const ACTIVITY& activity, const TERM_CHANNELS& channels, SUMS& sums);
    void write_summary(const SUMS& sums);

    PUTIL_SA_DATA* m_sa_data;
    bool m_filter_glitches;
    TIM_ADVANCED_ESTIMATOR* m_advanced_estimator;
};
