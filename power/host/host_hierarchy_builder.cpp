// Reference host EDA hierarchy builder: every output term is named by its
// given EDA name or by its hierarchy path; pins by their given pin name or
// the atom name; instance paths are the proper prefixes of signal names.
#include "host_hierarchy_builder.h"

#include <cctype>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host_atom.h"
#include "host_hierarchy.h"

class WSC_HIERARCHY_BUILDER_DATA {
public:
    HOST_HIERARCHY_BUILDER_ARGUMENTS arguments;
    bool built = false;
    std::unordered_map<const CDB_ATOM_NODE*, WSC_ATOM_INFO> pins;
    // Signal names as levels, so that any separator can join them.
    std::unordered_map<const CDB_ATOM_OTERM*, std::vector<std::string>> signals;
    // Instance paths with every level followed by "/".
    std::unordered_set<std::string> instance_paths;
};

namespace {

// Reads of several designs on threads of their own make and delete
// builders at once: the records below change under this lock.
std::mutex s_record_lock;
std::size_t s_builders_made = 0;
std::optional<HOST_HIERARCHY_BUILDER_ARGUMENTS> s_last_arguments;

// The builder's data is private to it; live builders are found here.
std::unordered_map<const WSC_HIERARCHY_BUILDER*, const WSC_HIERARCHY_BUILDER_DATA*>& live_builders()
{
    static std::unordered_map<const WSC_HIERARCHY_BUILDER*, const WSC_HIERARCHY_BUILDER_DATA*> s_live;
    return s_live;
}

std::vector<std::string> split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> levels;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type at = separator.empty() ? std::string::npos : text.find(separator, start);
        levels.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return levels;
        start = at + separator.size();
    }
}

std::string join(const std::vector<std::string>& levels, std::size_t count, const std::string& separator)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i == 0 ? "" : separator) + levels[i];
    return text;
}

std::vector<std::string> signal_levels(const CDB_ATOM_OTERM* oterm)
{
    const HOST_OTERM* host_oterm = dynamic_cast<const HOST_OTERM*>(oterm);
    const std::optional<std::string> eda_name = host_oterm != nullptr ? host_oterm->eda_name() : std::nullopt;
    if (eda_name)
        return split(*eda_name, "/");
    return host_split_hpath(oterm->get_string_hpath());
}

std::string pin_name(const CDB_ATOM_NODE* atom)
{
    const HOST_ATOM* host_atom = dynamic_cast<const HOST_ATOM*>(atom);
    if (host_atom == nullptr)
        return std::string();
    return host_atom->eda_pin_name().value_or(host_atom->name());
}

bool is_identifier_char(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

// Length of a trailing bit index "[digits]", or 0.
std::size_t bit_index_length(const std::string& name)
{
    if (name.empty() || name.back() != ']')
        return 0;
    std::string::size_type open = name.rfind('[');
    if (open == std::string::npos || open + 2 >= name.size())
        return 0;
    for (std::size_t i = open + 1; i + 1 < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return 0;
    }
    return name.size() - open;
}

bool is_plain_level(const std::string& level)
{
    if (level.empty() || std::isdigit(static_cast<unsigned char>(level[0])))
        return false;
    for (char c : level) {
        if (!is_identifier_char(c))
            return false;
    }
    return true;
}

}  // namespace

std::string host_escape_eda_name(const std::string& name, const char* separator)
{
    std::size_t index_length = bit_index_length(name);
    std::string base = name.substr(0, name.size() - index_length);
    std::string index = name.substr(base.size());
    bool plain = true;
    for (const std::string& level : split(base, separator == nullptr ? "" : separator))
        plain = plain && is_plain_level(level);
    if (plain)
        return name;
    return "\\" + base + " " + index;
}

WSC_HIERARCHY_BUILDER::WSC_HIERARCHY_BUILDER(CMP_FACADE* facade, const char* name_text, CDB_ATOM_NETLIST* netlist,
                                             CDB_ATOM_HIERARCHY_LIST* hierarchy_list, int netlist_type, bool flat,
                                             bool flag1, bool flag2, bool flag3, bool flag4, bool verbose)
    : m_data(new WSC_HIERARCHY_BUILDER_DATA)
{
    m_data->arguments = HOST_HIERARCHY_BUILDER_ARGUMENTS{
        facade, name_text == nullptr ? "" : name_text, netlist, hierarchy_list, netlist_type, flat, flag1, flag2,
        flag3, flag4, verbose};
    const std::lock_guard<std::mutex> lock(s_record_lock);
    ++s_builders_made;
    s_last_arguments = m_data->arguments;
    live_builders()[this] = m_data;
}

WSC_HIERARCHY_BUILDER::~WSC_HIERARCHY_BUILDER()
{
    {
        const std::lock_guard<std::mutex> lock(s_record_lock);
        live_builders().erase(this);
    }
    delete m_data;
}

void WSC_HIERARCHY_BUILDER::build()
{
    m_data->built = true;
    CDB_ATOM_NETLIST* netlist = m_data->arguments.netlist;
    if (netlist == nullptr)
        return;
    for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
        if ((*node)->is_pin_atom())
            m_data->pins.emplace(*node, WSC_ATOM_INFO(pin_name(*node)));
        for (auto oterm = (*node)->begin_oterm(); oterm != (*node)->end_oterm(); ++oterm) {
            std::vector<std::string> levels = signal_levels(*oterm);
            for (std::size_t count = 1; count < levels.size(); ++count)
                m_data->instance_paths.insert(join(levels, count, "/") + "/");
            m_data->signals[*oterm] = std::move(levels);
        }
    }
}

bool WSC_HIERARCHY_BUILDER::is_built_successfully() const
{
    return m_data->built;
}

const WSC_ATOM_INFO* WSC_HIERARCHY_BUILDER::find_atom_info(const CDB_ATOM_NODE* atom) const
{
    auto it = m_data->pins.find(atom);
    return it == m_data->pins.end() ? nullptr : &it->second;
}

std::string WSC_HIERARCHY_BUILDER::get_pin_name(const CDB_ATOM_NODE* atom) const
{
    const WSC_ATOM_INFO* info = find_atom_info(atom);
    return info == nullptr ? std::string() : info->pin_name();
}

bool WSC_HIERARCHY_BUILDER::get_signal_hierarchical_name(const CDB_ATOM_OTERM* oterm, std::string& name,
                                                         const char* separator, bool escaped) const
{
    auto it = m_data->signals.find(oterm);
    if (it == m_data->signals.end())
        return false;
    std::string joiner = separator == nullptr ? "" : separator;
    name = join(it->second, it->second.size(), joiner);
    if (escaped)
        name = host_escape_eda_name(name, joiner.c_str());
    return true;
}

bool WSC_HIERARCHY_BUILDER::is_valid_hierarchy_name(const std::string& name, const char* separator) const
{
    std::string joiner = separator == nullptr ? "" : separator;
    if (joiner.empty() || name.size() < joiner.size() ||
        name.compare(name.size() - joiner.size(), joiner.size(), joiner) != 0)
        return false;
    std::vector<std::string> levels = split(name.substr(0, name.size() - joiner.size()), joiner);
    return m_data->instance_paths.count(join(levels, levels.size(), "/") + "/") != 0;
}

const HOST_HIERARCHY_BUILDER_ARGUMENTS& host_hierarchy_builder_arguments(const WSC_HIERARCHY_BUILDER& builder)
{
    const std::lock_guard<std::mutex> lock(s_record_lock);
    return live_builders().at(&builder)->arguments;
}

std::size_t host_hierarchy_builders_made()
{
    return s_builders_made;
}

const HOST_HIERARCHY_BUILDER_ARGUMENTS* host_last_hierarchy_builder_arguments()
{
    return s_last_arguments ? &*s_last_arguments : nullptr;
}

void host_clear_hierarchy_builder_record()
{
    s_builders_made = 0;
    s_last_arguments.reset();
}
