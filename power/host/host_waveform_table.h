// Reference host vector waveform tables: the TBL text that the library's TBL
// creator writes (docs/waveform-table.md), read into one channel per signal.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/vdb.h"

class HOST_VDB_CHANNEL final : public VDB_CHANNEL {
public:
    explicit HOST_VDB_CHANNEL(std::string name) : m_name(std::move(name)) {}
    ~HOST_VDB_CHANNEL() override = default;

    VDB_TRANSITION_ITERATOR get_begin_transition_iter() const override { return m_transitions.data(); }
    VDB_TRANSITION_ITERATOR get_end_transition_iter() const override
    {
        return m_transitions.data() + m_transitions.size();
    }
    const std::string& get_name() const override { return m_name; }

    // The channel has value from time on (picoseconds, never before the last
    // transition's time). Only a change is a transition; a value set again at
    // the time of the last transition replaces it.
    void set_value(std::int64_t time, VDB_VALUE_NINE_LEVEL value);
    // The waveform ends at time (the table's last row): a last transition
    // there, at the value the channel has, closes its last interval, so that
    // the time up to the end of the table is measured like every other.
    void end_at(std::int64_t time);

private:
    std::string m_name;
    std::vector<VDB_TRANSITION> m_transitions;
};

// The channels of one table, in the order its header first names them.
class HOST_WAVEFORM_TABLE {
public:
    // The channel of that name, made when missing.
    HOST_VDB_CHANNEL* make_channel(const std::string& name);
    // Null when the table has no such signal.
    HOST_VDB_CHANNEL* find_channel(const std::string& name) const;
    std::size_t channel_count() const { return m_channels.size(); }
    const HOST_VDB_CHANNEL& channel(std::size_t index) const { return *m_channels[index]; }

private:
    std::vector<std::unique_ptr<HOST_VDB_CHANNEL>> m_channels;
    std::unordered_map<std::string, HOST_VDB_CHANNEL*> m_by_name;
};

// Reads a table from in into an empty table. False for malformed text, with
// "<file_name>:<line>: <reason>" in error.
bool host_read_waveform_table(std::istream& in, const std::string& file_name, HOST_WAVEFORM_TABLE& table,
                              std::string& error);

// The nine-level value of a table's value character (either case), or
// false for a character that is none.
bool host_nine_level_value(char character, VDB_VALUE_NINE_LEVEL& value);
