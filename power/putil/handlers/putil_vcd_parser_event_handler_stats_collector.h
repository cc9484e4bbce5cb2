// The stats collector: measures the static probability and toggle rate of
// every design signal that a waveform file names, and writes them into the
// signal-activity store.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "core/putil_background_worker.h"
#include "handlers/putil_level_accumulator.h"
#include "host/putil_sa_data.h"
#include "vcd/putil_vcd_code_table.h"
#include "vcd/putil_vcd_declared_signal.h"
#include "vcd/putil_vcd_held_changes.h"
#include "vcd/putil_vcd_parser_event_handler.h"

class CDB_ATOM_OTERM;
class PUTIL_SA_DATA;
class PUTIL_OUTPUT_SIGNAL_DATA;
class PUTIL_RECORD_ANNOTATOR;
class TIM_ADVANCED_ESTIMATOR;

// Activity of one declared signal (or bit) matched to an output term through
// one input entry. Times are in file time units, whole ticks while the
// collector's times are whole (see record_time); toggle counts in
// half-transitions. Only what a value step reads and writes is here, in one
// cache line per record: a step costs one line fetched, not two. The output
// term, the input entry and the glitch threshold are the record's source,
// kept beside it by index (OTERM_INFO_SOURCE).
struct alignas(64) OTERM_INFO {
    double toggle_count;
    double enabled_toggle_count;   // counted while the output enable was not '0'
    PUTIL_RECORD_TIME weighted_high_time;   // 2 x time at '1' plus 1 x time at 'Z'
    PUTIL_RECORD_TIME known_time;
    PUTIL_RECORD_TIME unknown_time;
    PUTIL_RECORD_TIME last_change_time;
    char value;
    char previous_value;
    bool is_unknown;
    bool previous_is_unknown;
    std::uint32_t next_alias;         // next record of the same identifier; own index at the chain's end
    OTERM_INFO* output_enable_info;   // record of the pad's output-enable driver
};
static_assert(sizeof(OTERM_INFO) == 64, "a record fills one cache line");

// What a record measures: the output term, through which input entry, and
// the term's smallest fanout delay (picoseconds; only with glitch filtering).
struct OTERM_INFO_SOURCE {
    CDB_ATOM_OTERM* oterm;
    std::int32_t min_fanout_delay;
    std::uint16_t input_file_id;
};

// What a value step does besides moving its record to the new value: measure
// the interval the step closes (activity), or raise a toggle event for a
// subclass that turns toggles into something else.
enum class PUTIL_VCD_STEP_EFFECT { MEASURE, TOGGLE_EVENT };

class PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR : public PUTIL_VCD_PARSER_EVENT_HANDLER {
public:
    // sa_data must be non-null; with filter_glitches the timing estimator
    // gives every signal its smallest fanout delay.
    PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR(PUTIL_INPUT_FILE_DATA* entry, std::string vcd_file_name,
                                                   std::uint64_t lines_in_file,
                                                   putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade,
                                                   PUTIL_SA_DATA* sa_data, bool filter_glitches);
    ~PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR() override;

    bool handle_timestamp(char* time_text) override;
    void handle_vcd_close(char* time_text) override;
    void handle_variable_declaration(char* kind, int size, char* code, char* reference, char* index) override;
    bool handle_port_value_change(char* code, char* value) override;
    bool handle_vector_value_change(char* code, char* value) override;
    void handle_real_value_change(char* code, char* value) override;
    bool handle_scalar_value_change(char* code, char* value_text) override;
    // The text slots read the scanner's buffer in place, through a table of
    // the file's codes built at the end of the declarations.
    bool handle_timestamp_text(std::string_view time_text) override;
    bool handle_scalar_value_change_text(std::string_view value_text) override;
    bool handle_vector_value_change_text(std::string_view code, std::string_view value) override;
    bool handle_end_of_definitions() override;
    void handle_end_of_file() override;

    // After each file: closes the last interval, annotates the store under
    // the merge rules, sets the entries' percentages and frees the records.
    // False when closing an interval failed.
    bool write_results();
    // Writes the three name-matching report files of the last file.
    void write_name_matching_info();

    const PUTIL_VECTOR<OTERM_INFO>& get_oterm_infos() const { return m_oterm_infos; }
    // The source of a record of get_oterm_infos().
    const OTERM_INFO_SOURCE& source_of(const OTERM_INFO& info) const
    {
        return m_oterm_sources[static_cast<std::size_t>(&info - m_oterm_infos.data())];
    }

protected:
    // Tells the input entry what the read of its file found (declarations,
    // matches, known time, last timestamp), from the records still held.
    void report_read_extent();

    // With TOGGLE_EVENT steps nothing is measured: the steps raise toggle
    // events, in the order of the file. With the apply thread they come on
    // that thread; everything they touch must then be left alone by the
    // reading thread until drain_held_changes or finish_applying.
    PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR(PUTIL_INPUT_FILE_DATA* entry, std::string vcd_file_name,
                                                   std::uint64_t lines_in_file,
                                                   putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade,
                                                   PUTIL_SA_DATA* sa_data, bool filter_glitches,
                                                   PUTIL_VCD_STEP_EFFECT effect);

    // With TOGGLE_EVENT steps: a record stepped from a known value to a known
    // value (the same one too) at time, in file units; holds at the window's
    // bounds raise none. Does nothing by default.
    virtual void handle_toggle_event(const OTERM_INFO* oterm_info, double time);

    // Applies the changes still held back; handle_end_of_file drops them.
    void drain_held_changes();
    // Waits for the apply thread's job in hand and drops what is still held:
    // a subclass's destructor calls it before it tears down what toggle
    // events touch.
    void finish_applying() { discard_held_changes(); }

    PUTIL_SA_DATA* m_sa_data;

private:
    // The step effect, the type of the records' times and whether measured
    // steps do no more than measure (no glitch filter, no level steps) as
    // types, so that the loops that apply steps are compiled once per
    // combination and choose it once, not per bit. A STEPS type names them.
    template <PUTIL_VCD_STEP_EFFECT EFFECT, class TIME, bool PLAIN = false>
    struct STEPS {
        static constexpr PUTIL_VCD_STEP_EFFECT value = EFFECT;
        static constexpr bool plain = PLAIN;
        typedef TIME time_type;
    };
    template <class WORK>
    bool with_step_effect(WORK work)
    {
        typedef PUTIL_VCD_STEP_EFFECT E;
        if (m_step_effect == E::MEASURE && !m_filter_glitches && !m_counting_level_steps)
            return m_whole_times ? work(STEPS<E::MEASURE, std::int64_t, true>())
                                 : work(STEPS<E::MEASURE, double, true>());
        if (m_step_effect == E::MEASURE)
            return m_whole_times ? work(STEPS<E::MEASURE, std::int64_t>()) : work(STEPS<E::MEASURE, double>());
        return m_whole_times ? work(STEPS<E::TOGGLE_EVENT, std::int64_t>()) : work(STEPS<E::TOGGLE_EVENT, double>());
    }

    // The records that a value change of one identifier code reaches, found
    // in the identifier maps as the owning slots look them up. Record
    // indexes are PUTIL_NO_BIT_CODE where there is none.
    struct CODE_TARGETS {
        std::uint32_t scalar;           // newest record for a scalar change
        std::uint32_t vector_scalar;    // the same for a vector change, when the code has no bits and no width
        std::uint32_t width;            // of the bit codes, 0 without them
        std::uint32_t position_count;
        const std::uint32_t* positions;   // newest record by bit position; null without bit codes
        std::uint32_t first_record;     // the first that a change touches, or none
    };

    typedef PUTIL_VCD_MOMENT MOMENT;
    MOMENT now() const { return MOMENT{m_current_simulation_time, m_current_ticks, m_in_window}; }

    // The exact time a record spent at each level inside the window, in
    // steps of m_level_unit_fs femtoseconds, kept beside the records while
    // the store keeps level times and every timestamp of the file is whole:
    // the window's bounds fall on such steps, where the records' own times
    // are clipped at bounds rounded through the unit factor.
    struct LEVEL_STEPS {
        std::int64_t last_change = 0;
        std::int64_t at_level[4] = {};   // by level class: '0', '1', 'Z', other; unknown time apart
        std::int64_t unknown = 0;
    };

    static constexpr std::size_t s_held_change_capacity = 65536;
    static constexpr std::size_t s_held_text_capacity = 1024 * 1024;

    void declare_vector(const std::string& code, const PUTIL_VCD_DECLARED_SIGNAL& vector);
    void declare_scalar(const std::string& code, const std::string& name);
    void append_record(CDB_ATOM_OTERM* oterm, std::uint16_t entry_id, std::uint32_t next_alias);
    std::int32_t min_fanout_delay(const CDB_ATOM_OTERM* oterm) const;

    template <class EFFECT>
    bool apply_value(EFFECT effect, OTERM_INFO& info, char new_char, bool hold, MOMENT at);
    bool report_elapsed_time_error();
    template <class EFFECT>
    bool apply_to_chain(EFFECT effect, std::uint32_t newest, char value, MOMENT at);
    template <class EFFECT>
    bool apply_vector_value(EFFECT effect, const CODE_TARGETS& targets, const char* value, std::size_t total_bits,
                            MOMENT at);
    CODE_TARGETS code_targets(const std::string& code) const;
    void build_code_table();
    CODE_TARGETS targets_of_entry(std::uint32_t entry) const;
    template <class EFFECT>
    bool apply_scalar_entry(EFFECT effect, std::uint32_t entry, char level, MOMENT at);
    bool may_hold_back() const;
    PUTIL_VCD_HELD_CHANGES& filling() { return m_held[m_filling]; }
    bool change_scalar(std::string_view code, char level);
    bool change_vector(std::string_view code, std::string_view value);
    bool hold_vector(std::uint32_t entry, std::string_view text);
    void flush_held_changes();
    void discard_held_changes();
    bool apply_held_changes(const PUTIL_VCD_HELD_CHANGES& held);
    void prefetch_records(std::uint32_t entry) const;
    void link_output_enables_once();
    bool move_to_time(double time, const std::int64_t* ticks);
    void set_clip_time(double clip);
    void leave_whole_times();
    double record_time(const PUTIL_RECORD_TIME& time) const
    {
        return m_whole_times ? static_cast<double>(time.ticks) : time.time;
    }
    bool prepare_level_steps();
    void stop_counting_level_steps();
    void book_level_steps(const OTERM_INFO& info, std::int64_t until_tick_steps);
    bool hold_all_records();
    bool check_window(double time, double* clip);
    void link_output_enables();

    void annotate_oterm(CDB_ATOM_OTERM* oterm, PUTIL_RECORD_ANNOTATOR& annotator);
    PUTIL_RECORD_SUMS record_sums(const OTERM_INFO& info) const;
    void offer_level_times(const OTERM_INFO& info, const PUTIL_RECORD_SUMS& sums);
    void free_records();
    void sort_records_by_oterm();
    // The indexes [first, second) of the records of oterm, once sorted.
    std::pair<std::size_t, std::size_t> records_of(const CDB_ATOM_OTERM* oterm) const;

    PUTIL_VECTOR<OTERM_INFO> m_oterm_infos;
    PUTIL_VECTOR<OTERM_INFO_SOURCE> m_oterm_sources;   // by record
    PUTIL_VECTOR<PUTIL_RECORD_TIME> m_z_times;   // each record's time at 'Z', apart from the record: rarely anything but 0
    PUTIL_VECTOR<LEVEL_STEPS> m_level_steps;     // by record, while the level steps are kept
    const PUTIL_VCD_STEP_EFFECT m_step_effect;
    bool m_filter_glitches;
    double m_current_simulation_time;
    // The current time in whole ticks, when it is whole. While m_whole_times
    // every time so far was whole and the records hold ticks.
    std::int64_t m_current_ticks = 0;
    std::int64_t m_latest_ticks = 0;
    bool m_whole_times = true;
    bool m_whole_timestamps = true;   // every timestamp of the file so far
    // The level steps: kept for the store, counted for this file (every
    // timestamp whole and within a count of steps so far), prepared (unit
    // and window bounds in steps), and the steps per tick and window bounds.
    bool m_keep_level_steps = false;
    bool m_counting_level_steps = false;
    bool m_level_steps_prepared = false;
    std::int64_t m_level_unit_fs = 1;
    std::int64_t m_level_steps_per_tick = 1;
    std::int64_t m_level_window_start = 0;
    std::int64_t m_level_window_end = 0;
    TIM_ADVANCED_ESTIMATOR* m_advanced_estimator;
    bool m_link_output_enables_pending;
    bool m_in_window;
    bool m_window_end_passed;
    bool m_window_start_crossed;
    PUTIL_VCD_CODE_TABLE m_code_table;          // code to entry: a record | s_record_entry, or a target index
    PUTIL_VECTOR<CODE_TARGETS> m_code_targets;
    PUTIL_VECTOR<std::uint32_t> m_bit_positions;   // what the targets' positions point into
    bool m_code_table_built;                    // for the current file
    PUTIL_VCD_HELD_CHANGES m_held[2];           // the changes held back: one room fills while the other is applied
    int m_filling = 0;
    double m_latest_time;                       // the latest time that records were changed at in this file
    PUTIL_READ_EXTENT m_extent;                 // what the declarations of this file gave
    // Setting "putil_vcd_apply_thread": held changes are applied on a second
    // thread. The worker is the last member: it finishes its job before
    // anything that the job touches is destroyed.
    bool m_apply_thread;
    bool m_held_changes_applied = true;         // false once an apply job found a record changed later
    PUTIL_BACKGROUND_WORKER m_worker;
};
