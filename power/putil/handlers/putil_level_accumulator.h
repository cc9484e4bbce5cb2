// The rules that turn one signal's value steps into activity: glitches
// booked under the level before them, unknown intervals bridged by the last
// known value, high impedance counted half, toggles split by the output
// enable. The stats collector applies them to its records, the VWF reader to
// each waveform channel.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

// A time of a record, or a sum of its times: whole ticks of the file's unit
// while every time the record has seen is whole (sums and differences then
// exact to 2^63), else a double, for fractional timestamps and window bounds
// that fall between ticks. Which member holds the value is the owner's to
// know, for all its records at once.
union PUTIL_RECORD_TIME {
    std::int64_t ticks;
    double time;
};

// The running activity of one signal. Times are in the caller's units;
// toggles are counted in half-transitions. A record of another type with
// the same field names (the stats collector's) works too.
struct PUTIL_LEVEL_RECORD {
    double toggle_count = 0.0;
    double enabled_toggle_count = 0.0;   // counted while the output enable was on
    double weighted_high_time = 0.0;     // 2 x time at '1' plus 1 x time at 'Z'
    double known_time = 0.0;
    double unknown_time = 0.0;
    char value = 'X';            // '0', '1', 'Z', or another character: neither
    char previous_value = 'X';
    bool is_unknown = true;      // a signal is unknown until its first value
    bool previous_is_unknown = true;
    // The signal that drives the pad's output enable, or null: toggles count
    // as driven out while its value is not '0'.
    const PUTIL_LEVEL_RECORD* output_enable_info = nullptr;
};

namespace putil_level {

// The class of each value character: '0', '1', 'Z', anything else.
struct CLASSES {
    unsigned char class_of[256] = {};
    constexpr CLASSES()
    {
        for (int c = 0; c < 256; ++c)
            class_of[c] = 3;
        class_of[static_cast<unsigned char>('0')] = 0;
        class_of[static_cast<unsigned char>('1')] = 1;
        class_of[static_cast<unsigned char>('Z')] = 2;
    }
};
inline constexpr CLASSES s_classes;

// The member of a record time that holds values of type TIME; a plain
// double record field is its own.
template <class TIME>
TIME& field(double& time)
{
    static_assert(std::is_same_v<TIME, double>, "a double field holds doubles");
    return time;
}
template <class TIME>
TIME& field(PUTIL_RECORD_TIME& time)
{
    if constexpr (std::is_same_v<TIME, std::int64_t>)
        return time.ticks;
    else
        return time.time;
}

}  // namespace putil_level

// Static steps on such a record, inline: the stats collector applies one for
// every bit of every value change. A step is: filter_glitch (when glitches
// are filtered), measure (when the closed interval counts), then
// start_interval.
class PUTIL_LEVEL_ACCUMULATOR {
public:
    // A pulse narrower than the signal's smallest fanout delay never reaches
    // a sink: the step that ends it books the pulse's time under the value
    // from before it. A pulse that starts at time 0 is the signal's first
    // value, never a glitch. width and min_fanout_delay share a unit.
    template <class RECORD>
    static void filter_glitch(RECORD& record, double width, double min_fanout_delay, double pulse_start)
    {
        if (min_fanout_delay > width && pulse_start > 0) {
            record.value = record.previous_value;
            record.is_unknown = record.previous_is_unknown;
        }
    }

    // Books the interval of length dt that ends now: its time as known or
    // unknown, its high time, and the transition that started it (counted
    // one step late, once the pulse's width is known), also as driven out
    // while the output enable is on. at_z(dt) is called for known time at
    // 'Z', for a caller that keeps it apart. TIME is the type of the
    // record's times (double, or whole ticks).
    template <class RECORD, class TIME, class AT_Z>
    static void measure(RECORD& record, TIME dt, AT_Z at_z)
    {
        using putil_level::field;
        const unsigned level = level_class(record.value);
        if (record.is_unknown) {
            field<TIME>(record.unknown_time) += dt;
        } else {
            field<TIME>(record.known_time) += dt;
            // 2 x dt at 1, dt at Z, nothing otherwise: chosen without a
            // branch on the level (a double time may be infinite, which no
            // weight may multiply).
            if constexpr (std::is_same_v<TIME, std::int64_t>) {
                field<TIME>(record.weighted_high_time) += dt * s_high_weight[level];
            } else {
                const TIME high_time = time_if(level == s_one_class || level == s_z_class, dt);
                field<TIME>(record.weighted_high_time) += high_time + time_if(level == s_one_class, high_time);
            }
            if (level == s_z_class)
                at_z(dt);
        }
        const double counted = s_half_transitions[level_class(record.previous_value)][level];
        record.toggle_count += counted;
        if (record.output_enable_info != nullptr && record.output_enable_info->value != '0')
            record.enabled_toggle_count += counted;
    }
    template <class RECORD, class TIME>
    static void measure(RECORD& record, TIME dt)
    {
        measure(record, dt, [](TIME) {});
    }

    // Starts the next interval at new_value, or, for a hold (a window
    // bound), at the same value. An unknown interval keeps the last known
    // value, so 0 -> X -> 1 still counts as one transition.
    template <class RECORD>
    static void start_interval(RECORD& record, char new_value, bool hold = false)
    {
        record.previous_value = record.value;
        record.previous_is_unknown = record.is_unknown;
        if (hold)
            return;
        const bool unknown = new_value == 'X';
        record.value = unknown ? record.value : new_value;
        record.is_unknown = unknown;
    }

private:
    // By level class ('0', '1', 'Z', other): the weight of time in the
    // weighted high time, and the half-transitions from one class to
    // another: 2 between 0 and 1, 1 between Z and 0 or 1 (a pad letting go
    // moves the line half way), nothing otherwise.
    static constexpr unsigned s_one_class = 1;
    static constexpr unsigned s_z_class = 2;
    static constexpr int s_high_weight[4] = {0, 2, 1, 0};
    static constexpr double s_half_transitions[4][4] = {
        {0.0, 2.0, 1.0, 0.0}, {2.0, 0.0, 1.0, 0.0}, {1.0, 1.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 0.0}};

    // Values are classed by table, not branched on: they change
    // unpredictably, and a mispredicted branch stalls the loads of the
    // records that follow.
    static unsigned level_class(char value)
    {
        return putil_level::s_classes.class_of[static_cast<unsigned char>(value)];
    }

    // time when taken, else +0.0, without a branch; adding +0.0 leaves a sum
    // of times as it is (none is ever -0.0).
    static double time_if(bool taken, double time)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &time, sizeof bits);
        bits &= 0 - static_cast<std::uint64_t>(taken);
        std::memcpy(&time, &bits, sizeof time);
        return time;
    }
};
