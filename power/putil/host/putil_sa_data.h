// Host signal-activity store: one activity record per output signal of the
// netlist, and the manager of the waveform input files that annotate it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class BIG_TIME;
class CDB_ATOM_NETLIST;
class CDB_CHIP_DB_ENTRY;
class CDB_ATOM_OTERM;
class CDB_ATOM_ITERM;
class HDB_ACTION_PT_INSTANCE;
class HDB_INSTANCE_NAME;

enum PUTIL_OUTPUT_SIGNAL_FLAG_ENUM {
    PUTIL_TOGGLE_RATE_ANNOTATED = 0,          // toggle rate taken from simulation
    PUTIL_STATIC_PROBABILITY_ANNOTATED = 1,   // static probability taken from simulation
    PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE = 2,    // given by the user or the clock settings
    PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE = 3
};

// What get_merge_mode answers when an entry annotates a signal again.
enum PUTIL_MERGE_MODE { PUTIL_MERGE_REPLACE = 0, PUTIL_MERGE_KEEP = 1, PUTIL_MERGE_ADD = 2 };

class PUTIL_OUTPUT_SIGNAL_DATA {
public:
    PUTIL_OUTPUT_SIGNAL_DATA();

    void set_static_probability(float value);
    void add_static_probability(float value);
    float get_static_probability() const;
    void set_toggle_rate(float transitions_per_second);
    void add_toggle_rate(float transitions_per_second);
    float get_toggle_rate() const;
    void set_flag_value(int flag, bool value);
    bool get_flag_value(int flag) const;
    bool is_trusted_static_probability() const;
    bool is_trusted_transition_density() const;

    // Id of the input entry that wrote each value last.
    std::uint16_t static_probability_file_id;
    std::uint16_t toggle_rate_file_id;

private:
    float m_static_probability;
    float m_toggle_rate;
    unsigned m_flags;
};

// What the read of one waveform file found, so that a host can say why a
// file gave no activity: no signals, none in the design, or no data.
struct PUTIL_READ_EXTENT {
    std::uint64_t declared_signals = 0;   // "$var" declarations read
    std::uint64_t matched_signals = 0;    // declared signals (or bits) that name a design signal
    bool known_time = false;              // some matched signal held a known value for some time
    double last_time_ns = 0.0;            // the file's last timestamp
    // Declarations that strict reading left unmeasured because their range
    // ascends, and the first one's range as the file writes it ("[1:32]").
    std::uint64_t ascending_ranges_ignored = 0;
    std::string first_ascending_range_ignored;
    // Vector values that were no VCD values ("b0b00"), read as unknown.
    std::uint64_t malformed_values = 0;
};

// One waveform input: a file applied to one hierarchy instance.
class PUTIL_INPUT_FILE_DATA {
public:
    virtual std::uint16_t get_id() const = 0;
    virtual const std::string& get_file_name() const = 0;
    // Analysis window bounds; null when not set.
    virtual const BIG_TIME* get_start_time() const = 0;
    virtual const BIG_TIME* get_end_time() const = 0;
    virtual HDB_INSTANCE_NAME* get_hierarchy_instance() const = 0;
    virtual void set_toggle_percentage(float percent) = 0;
    virtual void set_unknown_percentage(float percent) = 0;
    // Once per file read, with its results: what the read found. A host
    // with no use for it keeps this default.
    virtual void set_read_extent(const PUTIL_READ_EXTENT& /*extent*/) {}

protected:
    virtual ~PUTIL_INPUT_FILE_DATA() = default;
};

class PUTIL_INPUT_FILE_MANAGER {
public:
    // The waveform input entries in the order they are to be read (kind 0: all).
    virtual void get_waveform_input_entries(int kind, std::vector<PUTIL_INPUT_FILE_DATA*>& entries) const = 0;
    // Whether the timing estimator is to be used (glitch filtering).
    virtual bool use_timing_estimator() const = 0;
    // The entries that share entry's waveform file (entry first), at least one.
    virtual void get_related_entries(const PUTIL_INPUT_FILE_DATA* entry,
                                     std::vector<PUTIL_INPUT_FILE_DATA*>& related) const = 0;
    // How the entry entry_id is to write a value whose last writer is owner_id;
    // owner_id becomes the writer to record when the value is written.
    virtual int get_merge_mode(std::uint16_t entry_id, std::uint16_t& owner_id) = 0;
    virtual PUTIL_INPUT_FILE_DATA* get_input_file_data(std::uint16_t entry_id) const = 0;
    virtual void mark_oterm_annotated(PUTIL_INPUT_FILE_DATA* entry, const CDB_ATOM_OTERM* oterm) = 0;

protected:
    virtual ~PUTIL_INPUT_FILE_MANAGER() = default;
};

// The time a measured signal spent at each level within the window, in the
// waveform's time unit, and its transitions between 0 and 1 (a step through
// Z counts one half).
struct PUTIL_SIGNAL_LEVEL_TIMES {
    double time_unit_seconds;
    double time_at_0;
    double time_at_1;
    double time_at_x;
    double time_at_z;
    double transitions;
};

// The sums one activity record measured in one file, as the measures are
// made from them: the output term and the input entry it came through,
// counts in half-transitions, and times in the file's unit (time_unit_ns
// nanoseconds): whole ticks, exact, while every time of the file was whole
// (whole_ticks), else the doubles. The doubles are always set.
struct PUTIL_RECORD_SUMS {
    const CDB_ATOM_OTERM* oterm;
    std::uint16_t input_file_id;
    double toggle_count;
    double enabled_toggle_count;   // while the pad's output was enabled
    bool enabled_toggles_only;     // a pad output whose output-enable driver was measured too
    bool whole_ticks;
    std::int64_t weighted_high_ticks;   // 2 x ticks at '1' plus ticks at 'Z'
    std::int64_t known_ticks;
    std::int64_t unknown_ticks;
    double weighted_high_time;
    double known_time;
    double unknown_time;
    double time_unit_ns;
    std::int64_t time_unit_fs;   // the unit exactly, or 0 when femtoseconds cannot count it
};

class PUTIL_SA_DATA {
public:
    virtual CDB_ATOM_NETLIST* get_atom_netlist() const = 0;
    virtual CDB_CHIP_DB_ENTRY* get_chip_db_entry() const = 0;
    virtual PUTIL_INPUT_FILE_MANAGER* get_input_file_manager() const = 0;
    // Dense id below get_output_signal_id_array_size; false for an unknown term.
    virtual bool get_unique_id_for_output_signal(const CDB_ATOM_OTERM* oterm, unsigned* id) const = 0;
    virtual unsigned get_output_signal_id_array_size() const = 0;
    virtual PUTIL_OUTPUT_SIGNAL_DATA* get_output_signal_data(const CDB_ATOM_OTERM* oterm) = 0;
    virtual PUTIL_OUTPUT_SIGNAL_DATA* get_output_signal_data(unsigned id, bool create) = 0;
    // Second record of a bidirectional pad (its output side); null for others.
    virtual PUTIL_OUTPUT_SIGNAL_DATA* get_bidir_padio_output_signal_data(unsigned id, bool create) = 0;
    // The compilation the store annotates.
    virtual HDB_ACTION_PT_INSTANCE* get_action_pt_instance() const = 0;
    // Summaries of a waveform read into the whole store (a vector waveform
    // table): the share of the measured signals that toggled, and the share
    // of their time that was unknown, in percent.
    virtual void set_toggle_percentage(float percent) = 0;
    virtual void set_percentage_of_time_signals_spent_in_unknown_state(float percent) = 0;
    // Toggle rate (transitions per second) of the signal a term carries: an
    // input term's source, or the output term itself; 0 when none is known.
    virtual float get_toggle_rate_of_term(const CDB_ATOM_ITERM* iterm) = 0;
    virtual float get_toggle_rate_of_term(const CDB_ATOM_OTERM* oterm) = 0;
    // Whether keep_signal_level_times keeps what it is offered: the times
    // offered are then measured exactly, at some cost per value change.
    virtual bool keeps_signal_level_times() const = 0;
    // Offered once per measured record of a waveform file when its results
    // are written, whether or not its values are annotated, in the order
    // they are annotated: the level times and the record's sums, from which
    // the annotation can be made again. A store that keeps only the two
    // measures ignores it.
    virtual void keep_signal_level_times(const CDB_ATOM_OTERM* oterm, std::uint16_t input_file_id,
                                         const PUTIL_SIGNAL_LEVEL_TIMES& times, const PUTIL_RECORD_SUMS& sums) = 0;

protected:
    virtual ~PUTIL_SA_DATA() = default;
};
