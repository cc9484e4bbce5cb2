// Reference host time value: picoseconds, shown in the largest unit that
// keeps the value a whole number.
#include "host/big_time.h"

BIG_TIME::BIG_TIME(std::int64_t picoseconds) : m_picoseconds(picoseconds) {}

std::int64_t BIG_TIME::get_storage_number() const
{
    return m_picoseconds;
}

std::string BIG_TIME::to_string(int) const
{
    struct UNIT {
        std::int64_t picoseconds;
        const char* name;
    };
    static const UNIT s_units[] = {
        {1000000000000, "s"}, {1000000000, "ms"}, {1000000, "us"}, {1000, "ns"}, {1, "ps"}};
    // Zero is shown in the storage unit rather than as "0 s".
    if (m_picoseconds == 0)
        return "0 ps";
    for (const UNIT& unit : s_units) {
        if (m_picoseconds % unit.picoseconds == 0)
            return std::to_string(m_picoseconds / unit.picoseconds) + " " + unit.name;
    }
    return std::to_string(m_picoseconds) + " ps";
}
