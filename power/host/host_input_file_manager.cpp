// Reference host waveform input entries and their manager.
#include "host_input_file_manager.h"

#include <limits>

#include "host_internal_error.h"
#include "host_netlist.h"

HOST_INPUT_FILE_DATA::HOST_INPUT_FILE_DATA(std::uint16_t id, std::string file_name, HDB_INSTANCE_NAME* instance,
                                           const BIG_TIME* start, const BIG_TIME* end, HOST_INPUT_FILE_DATA* primary,
                                           const void* owner)
    : m_id(id), m_file_name(std::move(file_name)), m_instance(instance), m_primary(primary), m_owner(owner)
{
    if (start != nullptr)
        m_start = *start;
    if (end != nullptr)
        m_end = *end;
}

namespace {

// The term as one of owner's design, or null.
const HOST_OTERM* term_of(const void* owner, const CDB_ATOM_OTERM* oterm)
{
    const HOST_OTERM* own = owner == nullptr ? nullptr : dynamic_cast<const HOST_OTERM*>(oterm);
    return own != nullptr && own->atom()->owner() == owner ? own : nullptr;
}

}  // namespace

void HOST_INPUT_FILE_DATA::add_ignored_ascending_range(const std::string& range)
{
    if (m_ignored_ascending_ranges++ == 0)
        m_first_ignored_ascending_range = range;
}

void HOST_INPUT_FILE_DATA::mark_annotated(const CDB_ATOM_OTERM* oterm)
{
    const HOST_OTERM* own = term_of(m_owner, oterm);
    if (own == nullptr) {
        m_annotated_count += m_annotated_others.insert(oterm).second ? 1 : 0;
        return;
    }
    if (m_annotated_numbers.size() <= own->number())
        m_annotated_numbers.resize(own->atom()->netlist()->oterm_count());
    if (m_annotated_numbers[own->number()])
        return;
    m_annotated_numbers[own->number()] = true;
    ++m_annotated_count;
}

bool HOST_INPUT_FILE_DATA::is_annotated(const CDB_ATOM_OTERM* oterm) const
{
    const HOST_OTERM* own = term_of(m_owner, oterm);
    if (own == nullptr)
        return m_annotated_others.count(oterm) != 0;
    return own->number() < m_annotated_numbers.size() && m_annotated_numbers[own->number()];
}

HOST_INPUT_FILE_MANAGER::HOST_INPUT_FILE_MANAGER(HDB_INSTANCE_NAME* default_instance, const void* owner)
    : m_default_instance(default_instance), m_owner(owner)
{
}

HOST_INPUT_FILE_MANAGER::~HOST_INPUT_FILE_MANAGER() = default;

HOST_INPUT_FILE_DATA* HOST_INPUT_FILE_MANAGER::make_entry(const std::string& file, HDB_INSTANCE_NAME* instance,
                                                          const BIG_TIME* start, const BIG_TIME* end,
                                                          HOST_INPUT_FILE_DATA* primary)
{
    HOST_ASSERT(m_entries.size() < std::numeric_limits<std::uint16_t>::max());
    std::uint16_t id = static_cast<std::uint16_t>(m_entries.size() + 1);
    HDB_INSTANCE_NAME* applied_to = instance == nullptr ? m_default_instance : instance;
    m_entries.push_back(std::make_unique<HOST_INPUT_FILE_DATA>(id, file, applied_to, start, end, primary, m_owner));
    return m_entries.back().get();
}

HOST_INPUT_FILE_DATA* HOST_INPUT_FILE_MANAGER::add_entry(const std::string& file, HDB_INSTANCE_NAME* instance,
                                                         const BIG_TIME* start, const BIG_TIME* end)
{
    return make_entry(file, instance, start, end, nullptr);
}

HOST_INPUT_FILE_DATA* HOST_INPUT_FILE_MANAGER::add_related_entry(HOST_INPUT_FILE_DATA* primary,
                                                                 HDB_INSTANCE_NAME* instance)
{
    // Only a primary entry of this manager can be applied again; a chain of
    // related entries would make the group ambiguous.
    HOST_ASSERT(primary != nullptr && find_entry(primary->get_id()) == primary);
    HOST_ASSERT(primary->primary() == nullptr);
    return make_entry(primary->get_file_name(), instance, primary->get_start_time(), primary->get_end_time(),
                      primary);
}

std::vector<HOST_INPUT_FILE_DATA*> HOST_INPUT_FILE_MANAGER::entries() const
{
    std::vector<HOST_INPUT_FILE_DATA*> list;
    for (const auto& entry : m_entries)
        list.push_back(entry.get());
    return list;
}

void HOST_INPUT_FILE_MANAGER::get_waveform_input_entries(int kind, std::vector<PUTIL_INPUT_FILE_DATA*>& entries) const
{
    entries.clear();
    // This host keeps waveform (VCD) entries only: other kinds have none.
    if (kind != 0)
        return;
    for (const auto& entry : m_entries) {
        if (entry->primary() == nullptr)
            entries.push_back(entry.get());
    }
}

void HOST_INPUT_FILE_MANAGER::get_related_entries(const PUTIL_INPUT_FILE_DATA* entry,
                                                  std::vector<PUTIL_INPUT_FILE_DATA*>& related) const
{
    related.clear();
    HOST_ASSERT(entry != nullptr && find_entry(entry->get_id()) == entry);
    HOST_INPUT_FILE_DATA* self = find_entry(entry->get_id());
    HOST_INPUT_FILE_DATA* primary = self->primary() == nullptr ? self : self->primary();
    related.push_back(self);
    for (const auto& other : m_entries) {
        bool in_group = other.get() == primary || other->primary() == primary;
        if (in_group && other.get() != self)
            related.push_back(other.get());
    }
}

int HOST_INPUT_FILE_MANAGER::get_merge_mode(std::uint16_t entry_id, std::uint16_t& owner_id)
{
    std::uint16_t previous = owner_id;
    owner_id = entry_id;
    if (previous == 0 || previous == entry_id)
        return PUTIL_MERGE_REPLACE;
    return m_merge_mode;
}

PUTIL_INPUT_FILE_DATA* HOST_INPUT_FILE_MANAGER::get_input_file_data(std::uint16_t entry_id) const
{
    return find_entry(entry_id);
}

HOST_INPUT_FILE_DATA* HOST_INPUT_FILE_MANAGER::find_entry(std::uint16_t entry_id) const
{
    if (entry_id == 0 || entry_id > m_entries.size())
        return nullptr;
    return m_entries[entry_id - 1].get();
}

void HOST_INPUT_FILE_MANAGER::mark_oterm_annotated(PUTIL_INPUT_FILE_DATA* entry, const CDB_ATOM_OTERM* oterm)
{
    HOST_ASSERT(entry != nullptr && find_entry(entry->get_id()) == entry);
    HOST_ASSERT(oterm != nullptr);
    find_entry(entry->get_id())->mark_annotated(oterm);
}
