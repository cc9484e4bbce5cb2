// Host time value, stored in picoseconds.
#pragma once

#include <cstdint>
#include <string>

class BIG_TIME {
public:
    explicit BIG_TIME(std::int64_t picoseconds = 0);
    std::int64_t get_storage_number() const;
    // Text for messages, e.g. "10 ns"; format 0 is the only one the library uses.
    std::string to_string(int format) const;

private:
    std::int64_t m_picoseconds;
};
