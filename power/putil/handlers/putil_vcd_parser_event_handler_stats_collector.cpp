// Stats collector: static probability and toggle rate per matched signal.
#include "handlers/putil_vcd_parser_event_handler_stats_collector.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <numeric>

#include "host/big_time.h"
#include "host/cdb_atom.h"
#include "host/cfg.h"
#include "host/putil_sa_data.h"
#include "host/tim_advanced_estimator.h"
#include "core/putil_msgs.h"
#include "vcd/putil_vcd_body_items.h"
#include "vcd/putil_vcd_values.h"
#include "handlers/putil_level_accumulator.h"
#include "handlers/putil_record_annotator.h"

// Starts loading a cache line that is read soon; a hint only.
#if defined(__GNUC__)
#define PUTIL_PREFETCH(address) __builtin_prefetch(address)
#else
#define PUTIL_PREFETCH(address) static_cast<void>(address)
#endif

namespace {

// Code table entries with this bit name a record.
const std::uint32_t s_record_entry = 0x80000000u;

double nanoseconds(const BIG_TIME* time) { return static_cast<double>(time->get_storage_number()) / 1000.0; }

// "#" and digits up to the largest 64-bit signed count: the time is exact
// in an integer, and converting that to double rounds as "%lf" rounds the
// digits.
bool whole_time(std::string_view text, std::int64_t* time)
{
    if (text.size() < 2 || text[0] != '#')
        return false;
    std::int64_t value = 0;
    for (const char digit : text.substr(1)) {
        if (digit < '0' || digit > '9' || value > (INT64_MAX - (digit - '0')) / 10)
            return false;
        value = value * 10 + (digit - '0');
    }
    *time = value;
    return true;
}

// A whole time below 2^63 in ticks, or false.
bool whole_ticks(double time, std::int64_t* ticks)
{
    if (!(time >= 0.0 && time < 9223372036854775808.0) || time != std::floor(time))
        return false;
    *ticks = static_cast<std::int64_t>(time);
    return true;
}

// Femtoseconds per unit of a timescale ("1", "10" or "100" of fs .. s), or 0.
std::int64_t unit_femtoseconds(int number, const std::string& unit)
{
    static const struct {
        const char* name;
        std::int64_t femtoseconds;
    } UNITS[] = {{"fs", 1}, {"ps", 1000}, {"ns", 1000000}, {"us", 1000000000}, {"ms", 1000000000000},
                 {"s", 1000000000000000}};
    for (const auto& known : UNITS) {
        if (unit == known.name && number > 0 && known.femtoseconds <= INT64_MAX / number)
            return known.femtoseconds * number;
    }
    return 0;
}

// The largest power of ten that divides value (any power divides 0).
std::int64_t power_of_ten_dividing(std::int64_t value, std::int64_t at_most)
{
    std::int64_t power = 1;
    while (power < at_most && value % (power * 10) == 0)
        power *= 10;
    return power;
}

// The term a record source names, or the term itself: the keys of a
// search of the sources by term.
const CDB_ATOM_OTERM* term_of(const OTERM_INFO_SOURCE& source) { return source.oterm; }
const CDB_ATOM_OTERM* term_of(const CDB_ATOM_OTERM* oterm) { return oterm; }

}  // namespace

PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR(
    PUTIL_INPUT_FILE_DATA* entry, std::string vcd_file_name, std::uint64_t lines_in_file,
    putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade, PUTIL_SA_DATA* sa_data, bool filter_glitches)
    : PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR(entry, std::move(vcd_file_name), lines_in_file, scanner, facade,
                                                     sa_data, filter_glitches, PUTIL_VCD_STEP_EFFECT::MEASURE)
{
}

PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR(
    PUTIL_INPUT_FILE_DATA* entry, std::string vcd_file_name, std::uint64_t lines_in_file,
    putil_vcd_lexer_yyFlexLexer* scanner, CMP_FACADE* facade, PUTIL_SA_DATA* sa_data, bool filter_glitches,
    PUTIL_VCD_STEP_EFFECT effect)
    : PUTIL_VCD_PARSER_EVENT_HANDLER(std::move(vcd_file_name), lines_in_file, scanner, facade, entry,
                                     sa_data != nullptr ? sa_data->get_input_file_manager() : nullptr),
      m_sa_data(sa_data),
      m_step_effect(effect),
      m_filter_glitches(filter_glitches),
      m_current_simulation_time(0.0),
      m_advanced_estimator(nullptr),
      m_link_output_enables_pending(true),
      m_in_window(false),
      m_window_end_passed(false),
      m_window_start_crossed(false),
      m_code_table_built(false),
      m_held{PUTIL_VCD_HELD_CHANGES(s_held_change_capacity, s_held_text_capacity),
             PUTIL_VCD_HELD_CHANGES(s_held_change_capacity, s_held_text_capacity)},
      m_latest_time(0.0),
      m_apply_thread(cfg_is_on("putil_vcd_apply_thread", false))
{
    PUTIL_ASSERT(sa_data != 0);
    m_keep_level_steps = effect == PUTIL_VCD_STEP_EFFECT::MEASURE && sa_data->keeps_signal_level_times();
    m_counting_level_steps = m_keep_level_steps;
    if (m_filter_glitches) {
        m_advanced_estimator =
            TIM_ADVANCED_ESTIMATOR::create_advanced_estimator(MEM_MANAGER::get_default_segment(), false);
        PUTIL_ASSERT(m_advanced_estimator != 0);
    }
    m_in_window = check_window(0.0, &m_current_simulation_time);
    PUTIL_ASSERT(m_current_simulation_time == 0);
}

PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::~PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR()
{
    if (m_advanced_estimator != nullptr)
        TIM_ADVANCED_ESTIMATOR::destroy_advanced_estimator(m_advanced_estimator);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_toggle_event(const OTERM_INFO*, double) {}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::free_records()
{
    PUTIL_VECTOR<OTERM_INFO>().swap(m_oterm_infos);
    PUTIL_VECTOR<OTERM_INFO_SOURCE>().swap(m_oterm_sources);
    PUTIL_VECTOR<PUTIL_RECORD_TIME>().swap(m_z_times);
    PUTIL_VECTOR<LEVEL_STEPS>().swap(m_level_steps);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_vcd_close(char* time_text) { putil_free_text(time_text); }

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_real_value_change(char* code, char* value)
{
    putil_free_text(code);
    putil_free_text(value);
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_variable_declaration(char* kind, int size, char* code,
                                                                                  char* reference, char* index)
{
    // A new record may move the others.
    drain_held_changes();
    ++m_extent.declared_signals;
    const std::string id_code(code);
    const PUTIL_VCD_DECLARED_SIGNAL signal = putil_vcd_declared_signal(reference, index, size, m_extended_syntax);
    putil_free_text(kind);
    putil_free_text(code);
    putil_free_text(reference);
    putil_free_text(index);

    if (signal.kind == PUTIL_VCD_DECLARED_SIGNAL::VECTOR)
        declare_vector(id_code, signal);
    else if (signal.kind == PUTIL_VCD_DECLARED_SIGNAL::SCALAR)
        declare_scalar(id_code, signal.name);
    else if (signal.ascending_ignored && m_extent.ascending_ranges_ignored++ == 0)
        m_extent.first_ascending_range_ignored =
            "[" + std::to_string(signal.msb) + ":" + std::to_string(signal.lsb) + "]";
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::declare_vector(const std::string& code,
                                                                    const PUTIL_VCD_DECLARED_SIGNAL& vector)
{
    bool matched = false;
    putil_vcd_for_each_bit(vector, [&](const std::string& name, std::uint32_t position) {
        for (PUTIL_INPUT_FILE_DATA* entry : m_related_entries) {
            CDB_ATOM_OTERM* oterm = find_oterm_for_signal(name, entry->get_id(), static_cast<int>(vector.width()));
            if (oterm == nullptr)
                continue;
            const std::uint32_t index = static_cast<std::uint32_t>(m_oterm_infos.size());
            append_record(oterm, entry->get_id(), register_bit_code(code, static_cast<int>(position), index));
            matched = true;
        }
    });
    if (matched)
        register_vector_code(code, vector.width());
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::declare_scalar(const std::string& code, const std::string& name)
{
    for (PUTIL_INPUT_FILE_DATA* entry : m_related_entries) {
        CDB_ATOM_OTERM* oterm = find_oterm_for_signal(name, entry->get_id());
        if (oterm == nullptr)
            continue;
        const std::uint32_t index = static_cast<std::uint32_t>(m_oterm_infos.size());
        append_record(oterm, entry->get_id(), register_scalar_code(code, index));
    }
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::append_record(CDB_ATOM_OTERM* oterm, std::uint16_t entry_id,
                                                                   std::uint32_t next_alias)
{
    OTERM_INFO info;
    info.toggle_count = 0.0;
    info.enabled_toggle_count = 0.0;
    // Zero is all bits clear as ticks and as a double alike.
    info.weighted_high_time.ticks = 0;
    info.known_time.ticks = 0;
    info.unknown_time.ticks = 0;
    info.last_change_time.ticks = 0;
    info.value = 'X';
    info.previous_value = 'X';
    info.is_unknown = true;
    info.previous_is_unknown = true;
    info.output_enable_info = nullptr;
    info.next_alias = next_alias;
    const OTERM_INFO_SOURCE source{oterm, m_filter_glitches ? min_fanout_delay(oterm) : 0, entry_id};
    // Z time first: when the record's own push fails, the lists still
    // cover every record.
    m_z_times.push_back(PUTIL_RECORD_TIME{0});
    if (m_keep_level_steps)
        m_level_steps.emplace_back();
    m_oterm_sources.push_back(source);
    m_oterm_infos.push_back(info);
}

// Smallest estimated delay to any sink, 0 without sinks: a pulse narrower
// than that never reaches a sink, so it is no activity.
std::int32_t PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::min_fanout_delay(const CDB_ATOM_OTERM* oterm) const
{
    if (oterm->begin_iterm_fanout() == oterm->end_iterm_fanout())
        return 0;
    std::int32_t minimum = INT_MAX;
    for (const CDB_ATOM_ITERM* iterm = oterm->begin_iterm_fanout(); iterm != oterm->end_iterm_fanout();
         iterm = iterm->get_next_fanout())
        minimum = std::min(minimum, static_cast<std::int32_t>(m_advanced_estimator->estimate_delay(oterm, iterm)));
    return minimum;
}

// Inline: it runs for every bit of every change.
template <class EFFECT>
inline bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::apply_value(EFFECT, OTERM_INFO& info, char new_char,
                                                                        bool hold, MOMENT at)
{
    typedef typename EFFECT::time_type TIME;
    using putil_level::field;
    const bool measure = EFFECT::value == PUTIL_VCD_STEP_EFFECT::MEASURE;
    const bool more_than_measure = measure && !EFFECT::plain;
    TIME& last_change = field<TIME>(info.last_change_time);
    const TIME now = std::is_same_v<TIME, double> ? static_cast<TIME>(at.time) : static_cast<TIME>(at.ticks);
    const TIME dt = now - last_change;
    if (dt < 0)
        return report_elapsed_time_error();
    if (more_than_measure && m_filter_glitches && !hold)
        PUTIL_LEVEL_ACCUMULATOR::filter_glitch(info, m_time_unit_factor * static_cast<double>(dt) * 1000.0,
                                               source_of(info).min_fanout_delay, static_cast<double>(last_change));
    if (more_than_measure && m_counting_level_steps && !hold)
        book_level_steps(info, at.ticks * m_level_steps_per_tick);
    if (measure && at.in_window) {
        // Stores that keep the time at each level get Z's time apart.
        PUTIL_LEVEL_ACCUMULATOR::measure(info, dt, [&](TIME z_time) {
            field<TIME>(m_z_times[static_cast<std::size_t>(&info - m_oterm_infos.data())]) += z_time;
        });
    }
    PUTIL_LEVEL_ACCUMULATOR::start_interval(info, new_char, hold);
    last_change = now;
    // Every step between known values is a toggle event, 0 to 0 as well (a
    // dump of all values); only a record's first value comes from 'X'.
    if (!measure && !hold && new_char != 'X' && info.previous_value != 'X')
        handle_toggle_event(&info, now);
    return true;
}

// Books the record's interval since its last change, up to `until` in level
// steps, under the level it held, as far as it lies in the window.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::book_level_steps(const OTERM_INFO& info, std::int64_t until)
{
    LEVEL_STEPS& steps = m_level_steps[static_cast<std::size_t>(&info - m_oterm_infos.data())];
    const std::int64_t from = std::max(steps.last_change, m_level_window_start);
    const std::int64_t to = std::min(until, m_level_window_end);
    if (to > from) {
        if (info.is_unknown)
            steps.unknown += to - from;
        else
            steps.at_level[putil_level::s_classes.class_of[static_cast<unsigned char>(info.value)]] += to - from;
    }
    steps.last_change = until;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::report_elapsed_time_error()
{
    // Held changes never go back in time: this runs on the reading thread.
    if (report_damaged_input())
        return false;
    const std::string line = std::to_string(get_line_number());
    putil_post_message(eputil_putil_vcd_reader_non_positive_elapsed_time(line.c_str()));
    return false;
}

// Applies a value to every record declared under one identifier (aliases).
template <class EFFECT>
PUTIL_ALWAYS_INLINE bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::apply_to_chain(EFFECT effect,
                                                                                         std::uint32_t newest,
                                                                                         char value, MOMENT at)
{
    std::uint32_t index = newest;
    for (;;) {
        OTERM_INFO& info = m_oterm_infos[index];
        if (!apply_value(effect, info, value, false, at))
            return false;
        if (info.next_alias == index)
            return true;
        index = info.next_alias;
    }
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::hold_all_records()
{
    return with_step_effect([this](auto effect) {
        for (OTERM_INFO& info : m_oterm_infos) {
            if (!apply_value(effect, info, 'U', true, now()))
                return false;
        }
        return true;
    });
}

// Once the code table is built, changes read by the scanner's rules are held
// back like those read straight from its buffer: the fast path hands the
// rules the line at each block end, and applying everything held before it
// would stop the apply thread every block.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_scalar_value_change(char* code, char* value_text)
{
    bool result = true;
    std::uint32_t newest;
    if (m_code_table_built) {
        result = change_scalar(code, value_text[0]);
    } else if (find_scalar_code(code, &newest)) {
        drain_held_changes();
        const char value = putil_vcd_scalar_value(value_text[0]);
        result = with_step_effect([&](auto effect) { return apply_to_chain(effect, newest, value, now()); });
    }
    putil_free_text(value_text);
    return result;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_vector_value_change(char* code, char* value)
{
    bool result;
    if (m_code_table_built) {
        result = change_vector(code, value);
    } else {
        drain_held_changes();
        const CODE_TARGETS targets = code_targets(code);
        const std::size_t total_bits = std::strlen(value) - 1;   // after the 'b'
        result = with_step_effect(
            [&](auto effect) { return apply_vector_value(effect, targets, value, total_bits, now()); });
    }
    putil_free_text(code);
    putil_free_text(value);
    return result;
}

PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::CODE_TARGETS
PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::code_targets(const std::string& code) const
{
    CODE_TARGETS targets{PUTIL_NO_BIT_CODE, PUTIL_NO_BIT_CODE, 0, 0, nullptr, PUTIL_NO_BIT_CODE};
    find_scalar_code(code, &targets.scalar);
    if (const PUTIL_VCD_BIT_CODES* bits = find_bit_codes(code)) {
        targets.width = bits->width;
        targets.position_count = static_cast<std::uint32_t>(bits->positions.size());
        targets.positions = bits->positions.data();
    }
    // A code with a vector width but no bits is a vector of an earlier file's
    // declarations: none of its bits is matched in this one, and its values
    // are not scalar values either.
    std::uint32_t width;
    if (targets.positions == nullptr && !find_vector_code(code, &width))
        targets.vector_scalar = targets.scalar;
    targets.first_record = targets.scalar;
    for (std::uint32_t p = 0; p < targets.position_count && targets.first_record == PUTIL_NO_BIT_CODE; ++p)
        targets.first_record = targets.positions[p];
    return targets;
}

template <class EFFECT>
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::apply_vector_value(EFFECT effect, const CODE_TARGETS& targets,
                                                                        const char* value, std::size_t total_bits,
                                                                        MOMENT at)
{
    bool result = true;
    std::uint32_t newest;
    if (targets.positions != nullptr) {
        // Position p counts from the rightmost digit (the declaration
        // mapped it to its bit); positions without a matched signal are
        // skipped.
        for (std::uint32_t p = 0; p < targets.width && result; ++p) {
            if (p >= targets.position_count || (newest = targets.positions[p]) == PUTIL_NO_BIT_CODE)
                continue;
            const char bit = p < total_bits ? putil_vcd_scalar_value(value[total_bits - p])
                                            : putil_vcd_left_extension(value[1]);
            result = apply_to_chain(effect, newest, bit, at);
        }
    } else if (targets.vector_scalar != PUTIL_NO_BIT_CODE) {
        // A scalar identifier takes one digit; strict reading takes a wide
        // declaration without a range for a scalar, so its wider values are
        // malformed and stop the parse here (never on the apply thread:
        // such values are not held back).
        if (total_bits != 1) {
            report_parse_error("several digits for a one-bit signal", "(apply_vector_value)");
            return false;
        }
        result = apply_to_chain(effect, targets.vector_scalar, putil_vcd_scalar_value(value[1]), at);
    }
    return result;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_port_value_change(char* code, char* value)
{
    drain_held_changes();
    const std::string id_code(code);
    const std::size_t total = std::strlen(value) - 1;   // after the leading 'p'
    const bool result = with_step_effect([&](auto effect) {
        std::uint32_t newest;
        if (total == 1 && find_scalar_code(id_code, &newest))
            return apply_to_chain(effect, newest, putil_vcd_port_value(value[1]), now());
        bool applied = true;
        // Position p from the right; the first position without a matched
        // signal ends the value.
        if (const PUTIL_VCD_BIT_CODES* bits = find_bit_codes(id_code)) {
            for (std::uint32_t p = 0; p < total && applied && bits->find(p, &newest); ++p)
                applied = apply_to_chain(effect, newest, putil_vcd_port_value(value[total - p]), now());
        }
        return applied;
    });
    putil_free_text(code);
    putil_free_text(value);
    return result;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::link_output_enables_once()
{
    if (m_link_output_enables_pending) {
        drain_held_changes();
        link_output_enables();
        m_link_output_enables_pending = false;
    }
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_timestamp(char* time_text)
{
    link_output_enables_once();
    std::int64_t ticks = 0;
    const bool whole = whole_time(time_text, &ticks);
    char hash;
    double time = 0.0;
    const int tokens_found = std::sscanf(time_text, "%c%lf", &hash, &time);
    putil_free_text(time_text);
    PUTIL_ASSERT(tokens_found == 2);
    return move_to_time(time, whole ? &ticks : nullptr);
}

// ticks: the time in whole ticks, or null for a fractional time (or one
// beyond a 64-bit count), which ends whole times for the rest of the file.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::move_to_time(double time, const std::int64_t* ticks)
{
    if (ticks == nullptr) {
        leave_whole_times();
        m_whole_timestamps = false;
        stop_counting_level_steps();
    } else if (m_counting_level_steps &&
               (!prepare_level_steps() || *ticks > INT64_MAX / m_level_steps_per_tick)) {
        stop_counting_level_steps();   // a unit or a time beyond a count of level steps
    }
    // A window bound between the last timestamp and this one closes the
    // interval there first.
    for (;;) {
        double clip = 0.0;
        m_in_window = check_window(time, &clip);
        if (clip == 0.0)
            break;
        set_clip_time(clip);
        m_latest_time = std::max(m_latest_time, clip);
        m_latest_ticks = std::max(m_latest_ticks, m_current_ticks);
        drain_held_changes();
        if (!hold_all_records())
            return false;
    }
    m_current_simulation_time = time;
    m_latest_time = std::max(m_latest_time, time);
    if (ticks != nullptr) {
        m_current_ticks = *ticks;
        m_latest_ticks = std::max(m_latest_ticks, *ticks);
    }
    return update_progress();
}

// The changes held so far were read while the level steps were counted:
// they are applied so, before the apply thread's steps stop counting them.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::stop_counting_level_steps()
{
    if (!m_counting_level_steps)
        return;
    drain_held_changes();
    m_counting_level_steps = false;
}

// A window bound's time, which the records take whole when it is.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::set_clip_time(double clip)
{
    if (!whole_ticks(clip, &m_current_ticks))
        leave_whole_times();
    m_current_simulation_time = clip;
}

// From now on the records hold doubles: every time they hold so far is
// whole, so the doubles are what they would have summed to.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::leave_whole_times()
{
    if (!m_whole_times)
        return;
    drain_held_changes();
    const auto to_double = [](PUTIL_RECORD_TIME& time) { time.time = static_cast<double>(time.ticks); };
    for (OTERM_INFO& info : m_oterm_infos) {
        to_double(info.weighted_high_time);
        to_double(info.known_time);
        to_double(info.unknown_time);
        to_double(info.last_change_time);
    }
    for (PUTIL_RECORD_TIME& z_time : m_z_times)
        to_double(z_time);
    m_whole_times = false;
}

// The step of the level times: the largest power of ten of femtoseconds
// that divides the file's unit and both window bounds, so that the bounds
// fall on steps. False for a unit the steps cannot count.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::prepare_level_steps()
{
    if (m_level_steps_prepared)
        return m_level_unit_fs > 0;
    m_level_steps_prepared = true;
    m_level_unit_fs = 0;
    const std::int64_t unit_fs = unit_femtoseconds(m_timescale_number, m_time_unit);
    if (unit_fs == 0)
        return false;
    const BIG_TIME* start = m_input_file_data != nullptr ? m_input_file_data->get_start_time() : nullptr;
    const BIG_TIME* end = m_input_file_data != nullptr ? m_input_file_data->get_end_time() : nullptr;
    const std::int64_t most_ps = INT64_MAX / 1000;
    if ((start != nullptr && start->get_storage_number() > most_ps) ||
        (end != nullptr && end->get_storage_number() > most_ps))
        return false;
    const std::int64_t start_fs = start != nullptr ? std::max<std::int64_t>(start->get_storage_number(), 0) * 1000 : 0;
    const std::int64_t end_fs = end != nullptr ? std::max<std::int64_t>(end->get_storage_number(), 0) * 1000 : 0;
    std::int64_t step = power_of_ten_dividing(unit_fs, unit_fs);
    step = power_of_ten_dividing(start_fs, step);
    step = power_of_ten_dividing(end_fs, step);
    m_level_unit_fs = step;
    m_level_steps_per_tick = unit_fs / step;
    m_level_window_start = start_fs / step;
    m_level_window_end = end != nullptr ? end_fs / step : INT64_MAX;
    return true;
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::check_window(double time, double* clip)
{
    if (m_window_end_passed)
        return false;
    const double factor = m_time_unit_factor;
    const BIG_TIME* start = m_input_file_data != nullptr ? m_input_file_data->get_start_time() : nullptr;
    const BIG_TIME* end = m_input_file_data != nullptr ? m_input_file_data->get_end_time() : nullptr;
    if (start != nullptr) {
        const double start_ns = nanoseconds(start);
        if (factor * time < start_ns)
            return false;
        if (!m_window_start_crossed && start_ns > factor * m_current_simulation_time) {
            *clip = start_ns / factor;
            m_window_start_crossed = true;
            return false;
        }
    }
    if (end != nullptr && factor * time > nanoseconds(end)) {
        *clip = nanoseconds(end) / factor;
        m_window_end_passed = true;
        m_window_start_crossed = false;
        return true;
    }
    return true;
}

// Links the record of every bidirectional pad output to the record of the
// signal that drives the pad's output enable.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::link_output_enables()
{
    PUTIL_HASH_MAP<const CDB_ATOM_OTERM*, OTERM_INFO*> last_record_of;
    for (OTERM_INFO& info : m_oterm_infos) {
        const CDB_ATOM_OTERM* oterm = source_of(info).oterm;
        const CDB_ATOM_NODE* node = oterm->get_my_node();
        if (!node->is_pin_atom() || !node->is_padio_pin_atom() || oterm->get_any_usage_as() != CDB_PORT_TYPE_PAD_OUTPUT)
            continue;
        const CDB_ATOM_ITERM* output_enable = node->get_input_term_by_type(CDB_PORT_TYPE_OUTPUT_ENABLE, 0);
        if (output_enable == nullptr || !output_enable->get_output_enable_flag() ||
            output_enable->get_source() == nullptr)
            continue;
        if (last_record_of.empty()) {
            for (OTERM_INFO& candidate : m_oterm_infos)
                last_record_of[source_of(candidate).oterm] = &candidate;
        }
        auto driver = last_record_of.find(output_enable->get_source());
        if (driver != last_record_of.end())
            info.output_enable_info = driver->second;
    }
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_timestamp_text(std::string_view time_text)
{
    std::int64_t time = 0;
    if (!whole_time(time_text, &time))
        return PUTIL_VCD_PARSER_EVENT_HANDLER::handle_timestamp_text(time_text);
    link_output_enables_once();
    return move_to_time(static_cast<double>(time), &time);
}

// A change is held back while the time is the latest that any record was
// changed at: then no change can find its record changed later than now (the
// elapsed-time error), so applying it later, in order, at the time it was
// read, changes nothing but when the work is done. Held-back changes are
// applied in one tight loop when the room for them is full and before
// anything else reads or writes the records, with the records of many
// changes loading at once; with the apply thread, on that thread while
// this one reads on.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_scalar_value_change_text(std::string_view value_text)
{
    if (!m_code_table_built)
        return PUTIL_VCD_PARSER_EVENT_HANDLER::handle_scalar_value_change_text(value_text);
    return change_scalar(value_text.substr(1), value_text[0]);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_vector_value_change_text(std::string_view code,
                                                                                     std::string_view value)
{
    if (!m_code_table_built)
        return PUTIL_VCD_PARSER_EVENT_HANDLER::handle_vector_value_change_text(code, value);
    return change_vector(code, value);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::change_scalar(std::string_view code, char level)
{
    const std::uint32_t entry = m_code_table.find(code);
    if (entry == PUTIL_VCD_CODE_TABLE::s_absent)
        return true;
    if (!may_hold_back()) {
        drain_held_changes();
        return with_step_effect([&](auto effect) { return apply_scalar_entry(effect, entry, level, now()); });
    }
    if (!filling().hold_scalar(entry, level, now())) {
        flush_held_changes();
        const bool held = filling().hold_scalar(entry, level, now());
        PUTIL_ASSERT(held);
    }
    return true;
}

// value: "b" and the digits.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::change_vector(std::string_view code, std::string_view value)
{
    const std::uint32_t entry = m_code_table.find(code);
    if (entry == PUTIL_VCD_CODE_TABLE::s_absent)
        return true;
    // Several digits for a scalar code end the parse, after the changes
    // before it, on this thread.
    const CODE_TARGETS targets = targets_of_entry(entry);
    const bool scalar_digits = targets.positions == nullptr && targets.vector_scalar != PUTIL_NO_BIT_CODE;
    if (may_hold_back() && !(scalar_digits && value.size() != 2) && hold_vector(entry, value))
        return true;
    drain_held_changes();
    return with_step_effect(
        [&](auto effect) { return apply_vector_value(effect, targets, value.data(), value.size() - 1, now()); });
}

// False for a text longer than all the room there is.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::hold_vector(std::uint32_t entry, std::string_view text)
{
    if (filling().hold_vector(entry, text, now()))
        return true;
    flush_held_changes();
    return filling().hold_vector(entry, text, now());
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::may_hold_back() const
{
    return m_current_simulation_time >= m_latest_time && (!m_whole_timestamps || m_current_ticks >= m_latest_ticks);
}

// Starts applying the changes held so far, and holds the next ones in the
// other room. The apply job runs on the worker when there is one; this
// thread goes on reading and waits for it only when the other room is full
// too.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::flush_held_changes()
{
    PUTIL_VCD_HELD_CHANGES& full = filling();
    if (full.empty())
        return;
    if (!m_apply_thread) {
        const bool applied = apply_held_changes(full);
        PUTIL_ASSERT(applied);
        full.clear();
        return;
    }
    m_worker.wait();
    PUTIL_ASSERT(m_held_changes_applied);
    m_worker.start([this, &full] {
        m_held_changes_applied = apply_held_changes(full);
        full.clear();
    });
    m_filling = 1 - m_filling;
}

// Every held change applied: the records are this thread's again.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::drain_held_changes()
{
    flush_held_changes();
    if (m_apply_thread) {
        m_worker.wait();
        PUTIL_ASSERT(m_held_changes_applied);
    }
}

// At the end of a file, read to its end or not: the changes still held
// reach nothing any more.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::discard_held_changes()
{
    if (m_apply_thread)
        m_worker.wait();
    for (PUTIL_VCD_HELD_CHANGES& held : m_held)
        held.clear();
    m_held_changes_applied = true;
}

// Runs on the worker when there is one: it reads the code targets and
// writes the records, nothing else.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::apply_held_changes(const PUTIL_VCD_HELD_CHANGES& held)
{
    const std::size_t ahead = 8;
    const PUTIL_VCD_HELD_CHANGES::CHANGE* const changes = held.changes();
    const std::size_t change_count = held.change_count();
    return with_step_effect([&](auto effect) {
        bool applied = true;
        for (const PUTIL_VCD_HELD_CHANGES::TIME_STEP& step : held.steps()) {
            const MOMENT at = step.at;
            for (std::size_t i = step.first; i < step.end; ++i) {
                if (i + ahead < change_count)
                    prefetch_records(changes[i + ahead].entry);
                const PUTIL_VCD_HELD_CHANGES::CHANGE& change = changes[i];
                applied &= change.text_length == 0
                               ? apply_scalar_entry(effect, change.entry, static_cast<char>(change.text), at)
                               : apply_vector_value(effect, targets_of_entry(change.entry), held.text_of(change),
                                                    change.text_length - 1, at);
            }
        }
        return applied;
    });
}

// Starts loading the first record of a change (one cache line), and for a
// vector the next record too: the records of a vector follow each other.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::prefetch_records(std::uint32_t entry) const
{
    const bool record_entry = (entry & s_record_entry) != 0;
    const std::uint32_t record = record_entry ? entry & ~s_record_entry : m_code_targets[entry].first_record;
    if (record == PUTIL_NO_BIT_CODE)
        return;
    const char* first = reinterpret_cast<const char*>(&m_oterm_infos[record]);
    PUTIL_PREFETCH(first);
    if (record_entry)
        return;
    PUTIL_PREFETCH(first + sizeof(OTERM_INFO));
    PUTIL_PREFETCH(m_code_targets[entry].positions);
}

template <class EFFECT>
PUTIL_ALWAYS_INLINE bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::apply_scalar_entry(EFFECT effect,
                                                                                     std::uint32_t entry, char level,
                                                                                     MOMENT at)
{
    const bool record_entry = (entry & s_record_entry) != 0;
    const std::uint32_t newest = record_entry ? entry & ~s_record_entry : m_code_targets[entry].scalar;
    return newest == PUTIL_NO_BIT_CODE || apply_to_chain(effect, newest, putil_vcd_scalar_value(level), at);
}

// A record entry stands for a scalar code that vector changes reach as well.
PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::CODE_TARGETS
PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::targets_of_entry(std::uint32_t entry) const
{
    if ((entry & s_record_entry) == 0)
        return m_code_targets[entry];
    const std::uint32_t record = entry & ~s_record_entry;
    return CODE_TARGETS{record, record, 0, 0, nullptr, record};
}

// The code table serves the fast body path only: with it off, every change
// is applied as it is read, the plain reading that the fast one must match.
bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_end_of_definitions()
{
    if (putil_vcd_fast_body_is_on())
        build_code_table();
    return true;
}

// Every code with a scalar record or bit records, with what each slot finds
// for it; the declarations do not change during the body. A scalar code
// whose vector changes reach its record too (most codes) is entered as that
// record, so that the slots need nothing but the code table for it.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::build_code_table()
{
    PUTIL_VECTOR<PUTIL_VCD_CODE_VALUE> codes;
    m_code_targets.clear();
    const auto add = [&](const std::string& code) {
        const CODE_TARGETS targets = code_targets(code);
        if (targets.positions == nullptr && targets.vector_scalar == targets.scalar &&
            targets.scalar < s_record_entry - 1) {
            codes.push_back(PUTIL_VCD_CODE_VALUE{code, targets.scalar | s_record_entry});
            return;
        }
        codes.push_back(PUTIL_VCD_CODE_VALUE{code, static_cast<std::uint32_t>(m_code_targets.size())});
        m_code_targets.push_back(targets);
    };
    for_each_declared_code(add);
    // The bit positions of all codes side by side rather than in one block
    // each: they are read for every vector change.
    std::size_t position_total = 0;
    for (const CODE_TARGETS& targets : m_code_targets)
        position_total += targets.position_count;
    m_bit_positions.clear();
    m_bit_positions.reserve(position_total);
    for (CODE_TARGETS& targets : m_code_targets) {
        if (targets.positions == nullptr)
            continue;
        const std::size_t offset = m_bit_positions.size();
        m_bit_positions.insert(m_bit_positions.end(), targets.positions, targets.positions + targets.position_count);
        targets.positions = m_bit_positions.data() + offset;
    }
    m_code_table.build(codes);
    m_code_table_built = true;
    for (PUTIL_VCD_HELD_CHANGES& held : m_held)
        held.reserve();
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::handle_end_of_file()
{
    m_code_table_built = false;
    discard_held_changes();
    m_latest_time = 0.0;
    m_current_ticks = 0;
    m_latest_ticks = 0;
    m_whole_times = true;
    m_whole_timestamps = true;
    m_counting_level_steps = m_keep_level_steps;
    m_level_steps_prepared = false;
    m_extent = PUTIL_READ_EXTENT();
    m_link_output_enables_pending = true;
    m_current_simulation_time = 0.0;
    free_records();
    m_related_entries.clear();
    clear_scalar_and_bit_codes();
    m_window_end_passed = false;
    m_window_start_crossed = false;
    m_in_window = check_window(0.0, &m_current_simulation_time);
    PUTIL_ASSERT(m_current_simulation_time == 0);
    PUTIL_VCD_PARSER_EVENT_HANDLER::handle_end_of_file();
}

// The records by output term, those of one term in the order they were
// declared. The keys are sorted apart from the records, so that comparing
// two never reaches into the records (millions of them do not fit a
// cache), and records already in that order (a derived design's) are left
// where they are. std::stable_sort would take its buffer from the global
// heap, not from the host.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::sort_records_by_oterm()
{
    PUTIL_VECTOR<std::pair<const CDB_ATOM_OTERM*, std::uint32_t>> order;
    order.reserve(m_oterm_infos.size());
    for (std::uint32_t index = 0; index < m_oterm_infos.size(); ++index)
        order.emplace_back(m_oterm_sources[index].oterm, index);
    if (std::is_sorted(order.begin(), order.end()))
        return;
    std::sort(order.begin(), order.end());
    PUTIL_VECTOR<OTERM_INFO> sorted;
    sorted.reserve(m_oterm_infos.size());
    PUTIL_VECTOR<OTERM_INFO_SOURCE> sorted_sources;
    sorted_sources.reserve(m_oterm_sources.size());
    PUTIL_VECTOR<PUTIL_RECORD_TIME> sorted_z_times;
    sorted_z_times.reserve(m_z_times.size());
    PUTIL_VECTOR<LEVEL_STEPS> sorted_level_steps;
    sorted_level_steps.reserve(m_level_steps.size());
    for (const auto& key : order) {
        sorted.push_back(m_oterm_infos[key.second]);
        sorted_sources.push_back(m_oterm_sources[key.second]);
        sorted_z_times.push_back(m_z_times[key.second]);
        if (!m_level_steps.empty())
            sorted_level_steps.push_back(m_level_steps[key.second]);
    }
    m_oterm_infos.swap(sorted);
    m_oterm_sources.swap(sorted_sources);
    m_z_times.swap(sorted_z_times);
    m_level_steps.swap(sorted_level_steps);
}

bool PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::write_results()
{
    drain_held_changes();
    // A file that ends inside the window is extended to the window end, or
    // closed at its last timestamp.
    if (m_in_window) {
        const BIG_TIME* end = m_input_file_data != nullptr ? m_input_file_data->get_end_time() : nullptr;
        if (end != nullptr)
            set_clip_time(nanoseconds(end) / m_time_unit_factor);
        if (!hold_all_records())
            return false;
    }
    // The level steps run to the window's end, or to the last timestamp.
    if (m_counting_level_steps && !prepare_level_steps())
        m_counting_level_steps = false;
    if (m_counting_level_steps) {
        const std::int64_t until = m_level_window_end != INT64_MAX
                                       ? m_level_window_end
                                       : m_current_ticks * m_level_steps_per_tick;
        for (const OTERM_INFO& info : m_oterm_infos)
            book_level_steps(info, until);
    }

    sort_records_by_oterm();

    if (cfg_is_on("putil_output_vcd_name_matching_info", false))
        write_name_matching_info();

    CDB_ATOM_NETLIST* atom_netlist = m_sa_data->get_atom_netlist();
    PUTIL_ASSERT(atom_netlist != 0);
    PUTIL_RECORD_ANNOTATOR annotator(m_sa_data);
    for (auto node = atom_netlist->begin_node_list(); node != atom_netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term)
            annotate_oterm(*term, annotator);
    }
    annotator.set_percentages(m_related_entries);
    report_read_extent();

    free_records();
    clear_scalar_and_bit_codes();
    return true;
}

void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::report_read_extent()
{
    if (m_input_file_data == nullptr)
        return;
    PUTIL_READ_EXTENT extent = m_extent;
    extent.matched_signals = m_oterm_infos.size();
    extent.known_time = std::any_of(m_oterm_infos.begin(), m_oterm_infos.end(),
                                    [this](const OTERM_INFO& info) { return record_time(info.known_time) > 0.0; });
    extent.last_time_ns = static_cast<double>(m_time_unit_factor) * m_latest_time;
    extent.malformed_values = m_malformed_values;
    m_input_file_data->set_read_extent(extent);
}

// Writes the activity of every record of one output term into its store
// record (and, for a bidirectional pad, into the pad's output record).
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::annotate_oterm(CDB_ATOM_OTERM* oterm,
                                                                    PUTIL_RECORD_ANNOTATOR& annotator)
{
    PUTIL_OUTPUT_SIGNAL_DATA* out_data = nullptr;
    PUTIL_OUTPUT_SIGNAL_DATA* out_bidir_data = nullptr;
    annotator.store_records(oterm, &out_data, &out_bidir_data);
    const auto records = records_of(oterm);
    for (std::size_t record = records.first; record < records.second; ++record) {
        const OTERM_INFO& info = m_oterm_infos[record];
        if (record_time(info.known_time) == 0)
            continue;
        const PUTIL_RECORD_SUMS sums = record_sums(info);
        offer_level_times(info, sums);
        annotator.annotate(out_data, out_bidir_data, sums);
    }
}

std::pair<std::size_t, std::size_t>
PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::records_of(const CDB_ATOM_OTERM* oterm) const
{
    const auto range =
        std::equal_range(m_oterm_sources.begin(), m_oterm_sources.end(), oterm,
                         [](const auto& a, const auto& b) { return term_of(a) < term_of(b); });
    return {static_cast<std::size_t>(range.first - m_oterm_sources.begin()),
            static_cast<std::size_t>(range.second - m_oterm_sources.begin())};
}

PUTIL_RECORD_SUMS PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::record_sums(const OTERM_INFO& info) const
{
    PUTIL_RECORD_SUMS sums;
    const OTERM_INFO_SOURCE& source = source_of(info);
    sums.oterm = source.oterm;
    sums.input_file_id = source.input_file_id;
    sums.toggle_count = info.toggle_count;
    sums.enabled_toggle_count = info.enabled_toggle_count;
    sums.enabled_toggles_only = info.output_enable_info != nullptr;
    sums.whole_ticks = m_whole_times;
    sums.weighted_high_ticks = m_whole_times ? info.weighted_high_time.ticks : 0;
    sums.known_ticks = m_whole_times ? info.known_time.ticks : 0;
    sums.unknown_ticks = m_whole_times ? info.unknown_time.ticks : 0;
    sums.weighted_high_time = record_time(info.weighted_high_time);
    sums.known_time = record_time(info.known_time);
    sums.unknown_time = record_time(info.unknown_time);
    sums.time_unit_ns = m_time_unit_factor;
    sums.time_unit_fs = unit_femtoseconds(m_timescale_number, m_time_unit);
    return sums;
}

// Gives the store the time the record's signal spent at each level, for
// stores that keep more than the two measures. The weighted high time
// counts '1' twice and 'Z' once; Z's own time is kept apart.
void PUTIL_VCD_PARSER_EVENT_HANDLER_STATS_COLLECTOR::offer_level_times(const OTERM_INFO& info,
                                                                       const PUTIL_RECORD_SUMS& sums)
{
    const std::size_t record = static_cast<std::size_t>(&info - m_oterm_infos.data());
    PUTIL_SIGNAL_LEVEL_TIMES times;
    times.transitions = info.toggle_count * 0.5;
    if (m_counting_level_steps) {
        // Exact: whole steps, the window's bounds on steps. A level that is
        // neither 0, 1 nor Z counts as 0, as in the records.
        const LEVEL_STEPS& steps = m_level_steps[record];
        times.time_unit_seconds = static_cast<double>(m_level_unit_fs) * 1e-15;
        times.time_at_0 = static_cast<double>(steps.at_level[0] + steps.at_level[3]);
        times.time_at_1 = static_cast<double>(steps.at_level[1]);
        times.time_at_z = static_cast<double>(steps.at_level[2]);
        times.time_at_x = static_cast<double>(steps.unknown);
        m_sa_data->keep_signal_level_times(sums.oterm, sums.input_file_id, times, sums);
        return;
    }
    const double z_time = record_time(m_z_times[record]);
    times.time_unit_seconds = m_time_unit_factor * 1e-9;
    times.time_at_1 = (record_time(info.weighted_high_time) - z_time) * 0.5;
    times.time_at_z = z_time;
    times.time_at_0 = record_time(info.known_time) - z_time - times.time_at_1;
    times.time_at_x = record_time(info.unknown_time);
    m_sa_data->keep_signal_level_times(sums.oterm, sums.input_file_id, times, sums);
}
