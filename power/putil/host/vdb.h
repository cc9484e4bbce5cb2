// Host waveform database: reads a vector waveform file into channels, one
// per signal, each an ordered list of value transitions.
#pragma once

#include <cstdint>
#include <string>

class HDB_ACTION_PT_TREE;
class HDB_INSTANCE_NAME;

// A file's path as the host's file services take it.
class FIO_PATH {
public:
    explicit FIO_PATH(const std::string& path);
    const std::string& get_string() const;

private:
    std::string m_path;
};

// Nine-level logic values, by code. Only the codes named here are relied
// on: 0 and 3 are low levels, 1 and 4 high levels, 6 high impedance, 2
// unknown; the others are none of these.
enum VDB_VALUE_NINE_LEVEL : unsigned char {
    VDB_VALUE_0 = 0,    // driven low
    VDB_VALUE_1 = 1,    // driven high
    VDB_VALUE_X = 2,    // unknown
    VDB_VALUE_L = 3,    // weak low
    VDB_VALUE_H = 4,    // weak high
    VDB_VALUE_U = 5,    // uninitialised
    VDB_VALUE_Z = 6,    // high impedance
    VDB_VALUE_W = 7,    // weak unknown
    VDB_VALUE_DC = 8    // don't care
};

// What read_from_disk is asked to read.
enum VDB_FILE_TYPE : int { VDB_FILE_TYPE_VECTOR_TABLE = 9 };
enum VDB_VALUE_TYPE : int { VDB_VALUE_TYPE_NINE_LEVEL = 1 };

// One value change: from time on (picoseconds), the channel has value.
class VDB_TRANSITION {
public:
    VDB_TRANSITION(std::int64_t time, VDB_VALUE_NINE_LEVEL value) : m_time(time), m_value(value) {}
    std::int64_t get_time() const { return m_time; }
    VDB_VALUE_NINE_LEVEL get_value() const { return m_value; }

private:
    std::int64_t m_time;
    VDB_VALUE_NINE_LEVEL m_value;
};

typedef const VDB_TRANSITION* VDB_TRANSITION_ITERATOR;

// The waveform of one signal: its transitions in time order, each a change
// of value; the first one is the signal's first value.
class VDB_CHANNEL {
public:
    virtual VDB_TRANSITION_ITERATOR get_begin_transition_iter() const = 0;
    virtual VDB_TRANSITION_ITERATOR get_end_transition_iter() const = 0;
    virtual const std::string& get_name() const = 0;

protected:
    virtual ~VDB_CHANNEL() = default;
};

// The database of one waveform file. A host class: the caller provides its
// storage (sizeof(VDB_DATA)) and constructs it in place, so that a refused
// allocation is the caller's to report. Channels belong to the database and
// live until it is destroyed or reads again.
class VDB_DATA {
public:
    explicit VDB_DATA(int project_status);
    ~VDB_DATA();
    VDB_DATA(const VDB_DATA&) = delete;
    VDB_DATA& operator=(const VDB_DATA&) = delete;

    // Reads the file, replacing what was read before. False, with nothing
    // read, for a file that is missing, unreadable or malformed, or a file or
    // value type the host does not read. The action-point tree names the
    // design the file's signals belong to.
    bool read_from_disk(const FIO_PATH& path, int file_type, int value_type, HDB_ACTION_PT_TREE* tree);
    // The channel of a hierarchy name (its full path), or of a name given as
    // text; null when the file has none.
    VDB_CHANNEL* find_channel(const HDB_INSTANCE_NAME* instance) const;
    VDB_CHANNEL* find_channel(const std::string& name) const;
    // The boolean test of a value: true for the low levels (0 and 3) only.
    bool is_low(VDB_VALUE_NINE_LEVEL value) const;

private:
    class STORE;   // the host's
    STORE* m_store;
};

// Appended to a bidirectional pad's hierarchy path, it names the channel of
// the value the pad drives out.
extern const char* const PUTIL_BIDIR_PADIO_RESULT_EXTENSION;
