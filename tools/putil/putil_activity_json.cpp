// Reading back a saved activity report.
#include "putil_activity_json.h"

#include <unordered_map>

#include "host_json_fields.h"
#include "putil_host.h"

namespace {

using namespace host_json;

// The value of a member that may be null; false when null or absent.
bool optional_number(const JSON& signal, const char* key, const std::string& where, float& value)
{
    const JSON* member = find_member(signal, key);
    if (member == nullptr || member->is_null())
        return false;
    value = static_cast<float>(read_number_value(*member, member_path(where, key)));
    return true;
}

class ACTIVITY_JSON_READER {
public:
    explicit ACTIVITY_JSON_READER(HOST_DESIGN& design) : m_store(design.store())
    {
        CDB_ATOM_NETLIST* netlist = design.netlist();
        for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node)
            for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term)
                m_terms.emplace((*term)->get_string_hpath(), *term);
    }

    void read(const JSON& root)
    {
        require_object(root, "(top level)");
        if (find_member(root, "signals") == nullptr)
            fail("signals", "missing: not a report of putil activity --format json");
        for_each_element(root, "signals", "", [&](const JSON& signal, const std::string& at) { read_signal(signal, at); });
    }

private:
    void read_signal(const JSON& signal, const std::string& where)
    {
        require_object(signal, where);
        const std::string name = read_string(signal, "name", where, true);
        const auto term = m_terms.find(name);
        if (term == m_terms.end())
            fail(member_path(where, "name"), "the design has no output signal " + in_quotes(name));
        unsigned id = 0;
        if (!m_store->get_unique_id_for_output_signal(term->second, &id))
            return;
        float value = 0.0f;
        if (optional_number(signal, "static_probability", where, value)) {
            PUTIL_OUTPUT_SIGNAL_DATA* data = m_store->get_output_signal_data(id, true);
            data->set_static_probability(value);
            data->set_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED, true);
        }
        if (optional_number(signal, "toggle_rate", where, value))
            set_toggle_rate(m_store->get_output_signal_data(id, true), value);
        if (optional_number(signal, "output_toggle_rate", where, value))
            set_toggle_rate(m_store->get_bidir_padio_output_signal_data(id, true), value);
    }

    static void set_toggle_rate(PUTIL_OUTPUT_SIGNAL_DATA* data, float rate)
    {
        data->set_toggle_rate(rate);
        data->set_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED, true);
    }

    HOST_SA_DATA* m_store;
    std::unordered_map<std::string, CDB_ATOM_OTERM*> m_terms;
};

}  // namespace

bool putil_read_activity_json(const std::string& file, HOST_DESIGN& design, std::string& error)
{
    std::string text;
    if (!read_file_text(file, "activity file", text, error))
        return false;
    return load(text, file, error, [&](const JSON& root) { ACTIVITY_JSON_READER(design).read(root); });
}
