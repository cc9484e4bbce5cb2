// Reasons for registers and pins without activity, after a read.
#include "host_unmatched.h"

#include "host/cdb_atom.h"
#include "host/putil_lib.h"
#include "host_design.h"
#include "host_hierarchy.h"
#include "host_input_file_manager.h"
#include "host_netlist.h"
#include "host_sa_data.h"

namespace {

struct REASON_NAMES {
    const char* key;
    const char* text;
};

const REASON_NAMES REASON_NAMES_BY_REASON[] = {
    {"width_differs", "width differs"},
    {"recoded", "recoded by synthesis"},
    {"no_known_value", "no known value"},
    {"outside_scope", "outside --scope"},
    {"internal_name", "internal Yosys name"},
    {"ascending_ignored", "ascending range ignored by strict reading"},
    {"not_in_vcd", "not in the VCD"},
};

bool is_below(const HDB_INSTANCE_NAME* name, const HDB_INSTANCE_NAME* scope)
{
    for (; name != nullptr; name = name->get_parent()) {
        if (name == scope)
            return true;
    }
    return false;
}

// What the inputs tell about every term.
class REASON_FINDER {
public:
    explicit REASON_FINDER(const HOST_DESIGN& design)
        : m_entries(design.input_files()->entries()), m_store(design.store())
    {
        for (const HOST_INPUT_FILE_DATA* entry : m_entries) {
            if (entry->read_extent() && entry->read_extent()->ascending_ranges_ignored != 0)
                m_ascending_ignored = true;
        }
    }

    // Activity from a waveform, or from the clock constraints (a clock's
    // rate, which the waveforms then leave alone).
    bool annotated(const CDB_ATOM_OTERM* oterm) const
    {
        for (const HOST_INPUT_FILE_DATA* entry : m_entries) {
            if (entry->is_annotated(oterm))
                return true;
        }
        unsigned id = 0;
        const PUTIL_OUTPUT_SIGNAL_DATA* data =
            m_store->get_unique_id_for_output_signal(oterm, &id) ? m_store->get_output_signal_data(id, false) : nullptr;
        return data != nullptr && data->get_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE);
    }

    HOST_UNMATCHED_REASON reason(const CDB_ATOM_OTERM* oterm) const
    {
        const auto* name = static_cast<const HOST_INSTANCE*>(oterm->get_instance_name());
        switch (name->match()) {
        case HOST_NAME_MATCH::WIDTH_DIFFERS: return HOST_UNMATCHED_REASON::WIDTH_DIFFERS;
        case HOST_NAME_MATCH::RECODED: return HOST_UNMATCHED_REASON::RECODED;
        case HOST_NAME_MATCH::ACCEPTED: return HOST_UNMATCHED_REASON::NO_KNOWN_VALUE;
        case HOST_NAME_MATCH::NONE: break;
        }
        // A re-encoded net matches no declaration, dumped or not.
        const HOST_DESIGN_SIGNAL* signal = name->design_signal();
        if (signal != nullptr && signal->recoded)
            return HOST_UNMATCHED_REASON::RECODED;
        if (!in_scope(name))
            return HOST_UNMATCHED_REASON::OUTSIDE_SCOPE;
        if (name->get_unit_name().rfind('$', 0) == 0)
            return HOST_UNMATCHED_REASON::INTERNAL_NAME;
        if (m_ascending_ignored && signal != nullptr && signal->ascending)
            return HOST_UNMATCHED_REASON::ASCENDING_IGNORED;
        return HOST_UNMATCHED_REASON::NOT_IN_VCD;
    }

private:
    bool in_scope(const HDB_INSTANCE_NAME* name) const
    {
        for (const HOST_INPUT_FILE_DATA* entry : m_entries) {
            if (is_below(name, entry->get_hierarchy_instance()))
                return true;
        }
        return m_entries.empty();
    }

    const std::vector<HOST_INPUT_FILE_DATA*> m_entries;
    HOST_SA_DATA* m_store;
    bool m_ascending_ignored = false;
};

}  // namespace

const char* host_unmatched_reason_key(HOST_UNMATCHED_REASON reason)
{
    return REASON_NAMES_BY_REASON[static_cast<int>(reason)].key;
}

const char* host_unmatched_reason_text(HOST_UNMATCHED_REASON reason)
{
    return REASON_NAMES_BY_REASON[static_cast<int>(reason)].text;
}

HOST_UNMATCHED host_find_unmatched(const HOST_DESIGN& design)
{
    HOST_UNMATCHED unmatched;
    const REASON_FINDER finder(design);
    const CDB_ATOM_NETLIST* netlist = design.netlist();
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
            const CDB_ATOM_OTERM* oterm = *term;
            const bool pin = putil_is_named_pin_side(*node, oterm);
            if (!pin && !oterm->is_registered())
                continue;
            ++(pin ? unmatched.pins : unmatched.registers);
            if (finder.annotated(oterm))
                continue;
            ++(pin ? unmatched.unmatched_pins : unmatched.unmatched_registers);
            const HOST_UNMATCHED_REASON reason = finder.reason(oterm);
            ++unmatched.reason_counts[static_cast<int>(reason)];
            unmatched.terms.push_back(HOST_UNMATCHED_TERM{oterm, pin, reason});
        }
    }
    return unmatched;
}
