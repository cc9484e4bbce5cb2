// Reference host hierarchy names: children by exact unit name (through an
// index of their own past a few), descendants depth first, full names joined
// with "|".
#include "host_hierarchy.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "host_pool.h"

// The children of one instance in the order they were made, and for more
// than a few an index by unit name: open addressing with linear probing,
// each 64-bit slot the high half of the name's hash (so that most probes
// read no name) and the child's place in the list plus one (0: empty).
// Names are looked up scope by scope, so one instance's index stays in the
// cache while its children are read.
class HOST_INSTANCE::CHILDREN {
public:
    HOST_INSTANCE* find(std::string_view name) const
    {
        if (m_slots.empty()) {
            for (HDB_INSTANCE_NAME* child : m_list) {
                if (unit_name(child) == name)
                    return static_cast<HOST_INSTANCE*>(child);
            }
            return nullptr;
        }
        const std::uint64_t key = hash(name);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = key & mask; m_slots[at] != 0; at = (at + 1) & mask) {
            if ((m_slots[at] ^ key) >> 32 != 0)
                continue;
            HDB_INSTANCE_NAME* child = m_list[(m_slots[at] & s_low_half) - 1];
            if (unit_name(child) == name)
                return static_cast<HOST_INSTANCE*>(child);
        }
        return nullptr;
    }

    void add(HOST_INSTANCE* child)
    {
        m_list.push_back(child);
        if (m_list.size() <= s_scanned)
            return;
        if (4 * m_list.size() > 3 * m_slots.size()) {
            m_slots.assign(std::max<std::size_t>(4 * s_scanned, 2 * m_slots.size()), 0);
            for (std::size_t place = 0; place < m_list.size(); ++place)
                index(place);
            return;
        }
        index(m_list.size() - 1);
    }

    const std::vector<HDB_INSTANCE_NAME*>& list() const { return m_list; }

private:
    // Up to this many children are compared one by one.
    static constexpr std::size_t s_scanned = 8;
    static constexpr std::uint64_t s_low_half = 0xFFFFFFFFu;

    static std::uint64_t hash(std::string_view name) { return std::hash<std::string_view>()(name); }
    static const std::string& unit_name(const HDB_INSTANCE_NAME* child)
    {
        return static_cast<const HOST_INSTANCE*>(child)->m_unit_name;
    }

    void index(std::size_t place)
    {
        const std::uint64_t key = hash(unit_name(m_list[place]));
        const std::size_t mask = m_slots.size() - 1;
        std::size_t at = key & mask;
        while (m_slots[at] != 0)
            at = (at + 1) & mask;
        m_slots[at] = (key & ~s_low_half) | (place + 1);
    }

    std::vector<HDB_INSTANCE_NAME*> m_list;
    std::vector<std::uint64_t> m_slots;
};

// The storage of a tree's names, and the depth-first lists asked for.
class HOST_INSTANCE_TREE {
public:
    // A new child of parent; parent has none of that name.
    HOST_INSTANCE* add(HOST_INSTANCE* parent, const std::string& name)
    {
        HOST_INSTANCE* child = m_names.make(name, parent, this);
        if (!parent->m_children)
            parent->m_children = std::make_unique<HOST_INSTANCE::CHILDREN>();
        parent->m_children->add(child);
        m_descendants.clear();
        return child;
    }

    // Every instance below of, depth first; kept until the tree grows.
    const std::vector<HDB_INSTANCE_NAME*>& descendants(const HOST_INSTANCE* of)
    {
        auto found = m_descendants.find(of);
        if (found != m_descendants.end())
            return found->second;
        std::vector<HDB_INSTANCE_NAME*>& list = m_descendants[of];
        of->collect_descendants(list);
        return list;
    }

    // Names keep no flag word of their own: few differ from the default.
    unsigned flags(const HOST_INSTANCE* name) const
    {
        auto found = m_flags.find(name);
        return found == m_flags.end() ? s_default_flags : found->second;
    }
    void set_flags(const HOST_INSTANCE* name, unsigned flags)
    {
        if (flags == s_default_flags)
            m_flags.erase(name);
        else
            m_flags[name] = flags;
    }

    // Aliases and the scopes made for them; most trees have none, and
    // their names pay no lookup for them.
    HOST_INSTANCE* alias_target(const HOST_INSTANCE* name) const
    {
        if (m_alias_targets.empty())
            return nullptr;
        auto found = m_alias_targets.find(name);
        return found == m_alias_targets.end() ? nullptr : found->second;
    }
    void set_alias_target(const HOST_INSTANCE* name, HOST_INSTANCE* target) { m_alias_targets[name] = target; }
    bool is_alias_scope(const HOST_INSTANCE* name) const { return m_alias_scopes.count(name) != 0; }

    const HOST_DESIGN_SIGNAL* design_signal(const HOST_INSTANCE* name) const
    {
        auto found = m_design_signals.find(name);
        return found == m_design_signals.end() ? nullptr : &found->second;
    }
    void set_design_signal(const HOST_INSTANCE* name, const HOST_DESIGN_SIGNAL& signal)
    {
        m_design_signals[name] = signal;
    }

    HOST_NAME_MATCH match(const HOST_INSTANCE* name) const
    {
        auto found = m_matches.find(name);
        return found == m_matches.end() ? HOST_NAME_MATCH::NONE : found->second;
    }
    // An accepted declaration stays the answer; a refusal replaces none.
    void record_match(const HOST_INSTANCE* name, HOST_NAME_MATCH match)
    {
        HOST_NAME_MATCH& recorded = m_matches[name];
        if (recorded == HOST_NAME_MATCH::NONE || match == HOST_NAME_MATCH::ACCEPTED)
            recorded = match;
    }
    void add_alias_scope(const HOST_INSTANCE* name) { m_alias_scopes.insert(name); }

private:
    static constexpr unsigned s_default_flags = HOST_NAME_FLAG_REPORTED;

    HOST_POOL<HOST_INSTANCE> m_names;
    std::unordered_map<const HOST_INSTANCE*, std::vector<HDB_INSTANCE_NAME*>> m_descendants;
    std::unordered_map<const HOST_INSTANCE*, unsigned> m_flags;
    std::unordered_map<const HOST_INSTANCE*, HOST_INSTANCE*> m_alias_targets;
    std::unordered_set<const HOST_INSTANCE*> m_alias_scopes;
    std::unordered_map<const HOST_INSTANCE*, HOST_DESIGN_SIGNAL> m_design_signals;
    std::unordered_map<const HOST_INSTANCE*, HOST_NAME_MATCH> m_matches;
};

HOST_INSTANCE::HOST_INSTANCE(std::string unit_name)
    : m_unit_name(std::move(unit_name)), m_parent(nullptr), m_tree(new HOST_INSTANCE_TREE)
{
}

HOST_INSTANCE::HOST_INSTANCE(std::string unit_name, HOST_INSTANCE* parent, HOST_INSTANCE_TREE* tree)
    : m_unit_name(std::move(unit_name)), m_parent(parent), m_tree(tree)
{
}

HOST_INSTANCE::~HOST_INSTANCE()
{
    if (m_parent == nullptr)
        delete m_tree;
}

HOST_INSTANCE* HOST_INSTANCE::make_child(const std::string& unit_name)
{
    HOST_INSTANCE* child = m_children ? m_children->find(unit_name) : nullptr;
    return child != nullptr ? child : m_tree->add(this, unit_name);
}

HOST_INSTANCE* HOST_INSTANCE::find_child(const std::string& unit_name) const
{
    return m_children ? m_children->find(unit_name) : nullptr;
}

bool HOST_INSTANCE::add_alias(const std::vector<std::string>& levels, HOST_INSTANCE* target)
{
    if (levels.empty() || target == nullptr || !shares_tree_with(target))
        return false;
    // The path must end in a new name below scopes that are neither
    // aliases nor leaves: a signal's name stays a leaf.
    const HOST_INSTANCE* scope = this;
    for (std::size_t i = 0; scope != nullptr && i < levels.size(); ++i) {
        if (scope->alias_target() != nullptr || (i > 0 && !scope->m_children))
            return false;
        scope = scope->find_child(levels[i]);
    }
    if (scope != nullptr)
        return false;
    HOST_INSTANCE* instance = this;
    for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
        HOST_INSTANCE* child = instance->find_child(levels[i]);
        if (child == nullptr) {
            child = m_tree->add(instance, levels[i]);
            m_tree->add_alias_scope(child);
        }
        instance = child;
    }
    m_tree->set_alias_target(m_tree->add(instance, levels.back()), target);
    return true;
}

HOST_INSTANCE* HOST_INSTANCE::alias_target() const
{
    return m_tree->alias_target(this);
}

bool HOST_INSTANCE::is_alias_scope() const
{
    return m_tree->is_alias_scope(this);
}

HOST_INSTANCE* HOST_INSTANCE::find_path(const std::string& path) const
{
    const HOST_INSTANCE* instance = this;
    for (const std::string& level : host_split_hpath(path)) {
        instance = static_cast<const HOST_INSTANCE*>(instance->find_in_children(level));
        if (instance == nullptr)
            return nullptr;
    }
    return const_cast<HOST_INSTANCE*>(instance);
}

HOST_INSTANCE* HOST_INSTANCE::make_path(const std::string& path)
{
    HOST_INSTANCE* instance = this;
    for (const std::string& level : host_split_hpath(path))
        instance = instance->make_child(level);
    return instance;
}

HDB_INSTANCE_NAME* HOST_INSTANCE::find_in_children(const std::string& name) const
{
    return m_children ? m_children->find(name) : nullptr;
}

HDB_INSTANCE_NAME::ITERATOR HOST_INSTANCE::begin_child() const
{
    return m_children ? m_children->list().data() : nullptr;
}

HDB_INSTANCE_NAME::ITERATOR HOST_INSTANCE::end_child() const
{
    return m_children ? m_children->list().data() + m_children->list().size() : nullptr;
}

HDB_INSTANCE_NAME::ITERATOR HOST_INSTANCE::begin_descendant() const
{
    return m_tree->descendants(this).data();
}

HDB_INSTANCE_NAME::ITERATOR HOST_INSTANCE::end_descendant() const
{
    const std::vector<HDB_INSTANCE_NAME*>& list = m_tree->descendants(this);
    return list.data() + list.size();
}

HDB_INSTANCE_NAME* HOST_INSTANCE::get_parent() const
{
    return m_parent;
}

const std::string& HOST_INSTANCE::get_unit_name() const
{
    return m_unit_name;
}

// The unit names from the root down, joined with "|"; empty names above the
// first non-empty one add nothing, not even a separator.
std::string HOST_INSTANCE::get_full_name() const
{
    const HOST_INSTANCE* top = nullptr;   // the highest level with a non-empty name
    std::size_t length = 0;
    std::size_t levels = 0;
    for (const HOST_INSTANCE* level = this; level != nullptr; level = level->m_parent) {
        length += level->m_unit_name.size();
        ++levels;
        if (!level->m_unit_name.empty()) {
            top = level;
            length += levels - 1;   // the separators below this level
            levels = 1;
        }
    }
    std::string name(length, '|');
    std::size_t end = name.size();
    for (const HOST_INSTANCE* level = this; top != nullptr; level = level->m_parent) {
        end -= level->m_unit_name.size();
        name.replace(end, level->m_unit_name.size(), level->m_unit_name);
        if (level == top)
            break;
        --end;   // the separator stays
    }
    return name;
}

// An alias answers its target's word: the library links each term to its
// own name only.
void* HOST_INSTANCE::get_user_word() const
{
    const HOST_INSTANCE* target = alias_target();
    return target != nullptr ? target->m_user_word : m_user_word;
}

void HOST_INSTANCE::set_user_word(void* word)
{
    m_user_word = word;
}

bool HOST_INSTANCE::check_flag(unsigned flag) const
{
    return (m_tree->flags(this) & flag) == flag;
}

void HOST_INSTANCE::set_flag(unsigned flag, bool value)
{
    const unsigned flags = m_tree->flags(this);
    m_tree->set_flags(this, value ? flags | flag : flags & ~flag);
}

bool HOST_INSTANCE::accepts_declaration(int declared_width) const
{
    const HOST_DESIGN_SIGNAL* signal = design_signal();
    HOST_NAME_MATCH match = HOST_NAME_MATCH::ACCEPTED;
    if (signal != nullptr && signal->recoded)
        match = HOST_NAME_MATCH::RECODED;
    else if (signal != nullptr && declared_width > 0 && declared_width != signal->width)
        match = HOST_NAME_MATCH::WIDTH_DIFFERS;
    // An alias's answers count for the name it stands for.
    const HOST_INSTANCE* target = alias_target();
    m_tree->record_match(target != nullptr ? target : this, match);
    return match == HOST_NAME_MATCH::ACCEPTED;
}

void HOST_INSTANCE::set_design_signal(const HOST_DESIGN_SIGNAL& signal)
{
    m_tree->set_design_signal(this, signal);
}

const HOST_DESIGN_SIGNAL* HOST_INSTANCE::design_signal() const
{
    return m_tree->design_signal(this);
}

HOST_NAME_MATCH HOST_INSTANCE::match() const
{
    return m_tree->match(this);
}

void HOST_INSTANCE::collect_descendants(std::vector<HDB_INSTANCE_NAME*>& list) const
{
    std::vector<std::pair<const HOST_INSTANCE*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        const HOST_INSTANCE* instance = stack.back().first;
        const std::size_t next = stack.back().second++;
        if (!instance->m_children || next == instance->m_children->list().size()) {
            stack.pop_back();
            continue;
        }
        HOST_INSTANCE* child = static_cast<HOST_INSTANCE*>(instance->m_children->list()[next]);
        list.push_back(child);
        stack.emplace_back(child, 0);
    }
}

std::vector<std::string> host_split_hpath(const std::string& path)
{
    std::vector<std::string> levels;
    if (path.empty())
        return levels;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type bar = path.find('|', start);
        levels.push_back(path.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return levels;
        start = bar + 1;
    }
}

bool host_is_valid_hpath(const std::string& path)
{
    std::vector<std::string> levels = host_split_hpath(path);
    if (levels.empty())
        return false;
    for (const std::string& level : levels) {
        if (level.empty())
            return false;
    }
    return true;
}
