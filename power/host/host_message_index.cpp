// Reference host message index: the warning and information ids the user
// has suppressed. Errors are never suppressed.
#include <unordered_set>

#include "host_messages.h"

namespace {

class HOST_MESSAGE_INDEX final : public MSG_INDEX {
public:
    bool is_suppressed(unsigned id) const override { return m_suppressed.count(id) != 0; }
    void suppress(unsigned id) { m_suppressed.insert(id); }
    void clear() { m_suppressed.clear(); }

private:
    std::unordered_set<unsigned> m_suppressed;
};

HOST_MESSAGE_INDEX& default_index()
{
    static HOST_MESSAGE_INDEX s_index;
    return s_index;
}

}  // namespace

MSG_INDEX* MSG_INDEX::get_default_index()
{
    return &default_index();
}

void host_suppress_message(unsigned id)
{
    default_index().suppress(id);
}

void host_clear_suppressions()
{
    default_index().clear();
}
