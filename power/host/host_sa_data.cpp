// Reference host signal-activity store: dense ids and records per output term.
#include "host_sa_data.h"

#include "host_input_file_manager.h"
#include "host_internal_error.h"
#include "host_netlist.h"

HOST_SA_DATA::HOST_SA_DATA(HOST_NETLIST* netlist, HOST_INPUT_FILE_MANAGER* manager,
                           CDB_CHIP_DB_ENTRY* chip_db_entry, HDB_ACTION_PT_INSTANCE* action_pt_instance)
    : m_netlist(netlist), m_manager(manager), m_chip_db_entry(chip_db_entry), m_action_pt_instance(action_pt_instance)
{
}

HOST_SA_DATA::~HOST_SA_DATA() = default;

void HOST_SA_DATA::assign_ids() const
{
    if (m_ids_assigned)
        return;
    m_ids_assigned = true;
    m_netlist->freeze();
    const std::size_t count = m_netlist->oterm_count();
    HOST_ASSERT(count < HOST_OTERM::s_no_signal_id);
    m_oterms.reserve(count);
    m_has_bidir_record.reserve(count);
    for (auto node = m_netlist->begin_node_list(); node != m_netlist->end_node_list(); ++node) {
        for (auto oterm = (*node)->begin_oterm(); oterm != (*node)->end_oterm(); ++oterm) {
            static_cast<HOST_OTERM*>(*oterm)->set_signal_id(static_cast<std::uint32_t>(m_oterms.size()));
            m_oterms.push_back(*oterm);
            m_has_bidir_record.push_back((*node)->has_padio_output_data() &&
                                         (*oterm)->is_used_as(CDB_PORT_TYPE_PAD_OUTPUT));
        }
    }
    m_records.resize(m_oterms.size());
}

CDB_ATOM_NETLIST* HOST_SA_DATA::get_atom_netlist() const
{
    return m_netlist;
}

PUTIL_INPUT_FILE_MANAGER* HOST_SA_DATA::get_input_file_manager() const
{
    return m_manager;
}

bool HOST_SA_DATA::get_unique_id_for_output_signal(const CDB_ATOM_OTERM* oterm, unsigned* id) const
{
    assign_ids();
    const HOST_OTERM* own = dynamic_cast<const HOST_OTERM*>(oterm);
    if (own == nullptr || id == nullptr)
        return false;
    const std::uint32_t signal_id = own->signal_id();
    if (signal_id >= m_oterms.size() || m_oterms[signal_id] != oterm)
        return false;
    *id = signal_id;
    return true;
}

unsigned HOST_SA_DATA::get_output_signal_id_array_size() const
{
    assign_ids();
    return static_cast<unsigned>(m_oterms.size());
}

PUTIL_OUTPUT_SIGNAL_DATA* HOST_SA_DATA::get_output_signal_data(const CDB_ATOM_OTERM* oterm)
{
    unsigned id = 0;
    return get_unique_id_for_output_signal(oterm, &id) ? &m_records[id] : nullptr;
}

PUTIL_OUTPUT_SIGNAL_DATA* HOST_SA_DATA::get_output_signal_data(unsigned id, bool)
{
    assign_ids();
    return id < m_records.size() ? &m_records[id] : nullptr;
}

PUTIL_OUTPUT_SIGNAL_DATA* HOST_SA_DATA::get_bidir_padio_output_signal_data(unsigned id, bool create)
{
    assign_ids();
    if (id >= m_records.size() || !m_has_bidir_record[id])
        return nullptr;
    auto found = m_bidir_records.find(id);
    if (found != m_bidir_records.end())
        return found->second.get();
    if (!create)
        return nullptr;
    return m_bidir_records.emplace(id, std::make_unique<PUTIL_OUTPUT_SIGNAL_DATA>()).first->second.get();
}

float HOST_SA_DATA::get_toggle_rate_of_term(const CDB_ATOM_ITERM* iterm)
{
    return iterm == nullptr ? 0.0f : get_toggle_rate_of_term(iterm->get_source());
}

float HOST_SA_DATA::get_toggle_rate_of_term(const CDB_ATOM_OTERM* oterm)
{
    const PUTIL_OUTPUT_SIGNAL_DATA* record = oterm == nullptr ? nullptr : get_output_signal_data(oterm);
    return record == nullptr ? 0.0f : record->get_toggle_rate();
}

const CDB_ATOM_OTERM* HOST_SA_DATA::oterm_of(unsigned id) const
{
    assign_ids();
    return id < m_oterms.size() ? m_oterms[id] : nullptr;
}

void HOST_SA_DATA::keep_signal_level_times(const CDB_ATOM_OTERM* oterm, std::uint16_t,
                                           const PUTIL_SIGNAL_LEVEL_TIMES& times, const PUTIL_RECORD_SUMS& sums)
{
    if (m_keeping_level_times)
        set_signal_level_times(oterm, times);
    if (m_keeping_record_sums)
        m_kept_records.push_back(KEPT_RECORD{sums, times});
}

void HOST_SA_DATA::set_signal_level_times(const CDB_ATOM_OTERM* oterm, const PUTIL_SIGNAL_LEVEL_TIMES& times)
{
    unsigned id = 0;
    if (get_unique_id_for_output_signal(oterm, &id))
        m_level_times[id] = times;
}

const PUTIL_SIGNAL_LEVEL_TIMES* HOST_SA_DATA::level_times_of(const CDB_ATOM_OTERM* oterm) const
{
    unsigned id = 0;
    if (!get_unique_id_for_output_signal(oterm, &id))
        return nullptr;
    auto found = m_level_times.find(id);
    return found == m_level_times.end() ? nullptr : &found->second;
}
