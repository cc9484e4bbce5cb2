// Reference host hierarchy names: children by exact unit name through one
// index per tree, descendants depth first, full names joined with "|".
#include "host_hierarchy.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "host_pool.h"

// The storage of a tree's names and the index of children by (parent, unit
// name): open addressing with linear probing, each slot 64 bits, the high
// half a tag of the hash (so most probes read no name) and the low half the
// name's number in the pool plus one (0: empty).
class HOST_INSTANCE_TREE {
public:
    HOST_INSTANCE* find(const HOST_INSTANCE* parent, std::string_view name) const
    {
        if (m_slots.empty())
            return nullptr;
        const std::uint64_t key = hash(parent, name);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = key & mask; m_slots[at] != 0; at = (at + 1) & mask) {
            if ((m_slots[at] ^ key) >> 32 != 0)
                continue;
            HOST_INSTANCE* child = m_names.at((m_slots[at] & LOW_HALF) - 1);
            if (child->m_parent == parent && child->m_unit_name == name)
                return child;
        }
        return nullptr;
    }

    // A new child of parent; parent has none of that name.
    HOST_INSTANCE* add(HOST_INSTANCE* parent, const std::string& name)
    {
        if (4 * (m_names.size() + 1) > 3 * m_slots.size())
            grow();
        const std::size_t number = m_names.size();
        HOST_INSTANCE* child = m_names.make(name, parent, this);
        place(hash(parent, name), number);
        parent->m_children.push_back(child);
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

private:
    static constexpr std::uint64_t LOW_HALF = 0xFFFFFFFFu;

    static std::uint64_t hash(const HOST_INSTANCE* parent, std::string_view name)
    {
        std::uint64_t key = std::hash<std::string_view>()(name) ^
                            (reinterpret_cast<std::uintptr_t>(parent) * 0x9E3779B97F4A7C15ull);
        key ^= key >> 32;
        key *= 0xD6E8FEB86659FD93ull;
        return key ^ (key >> 32);
    }

    void place(std::uint64_t key, std::size_t number)
    {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t at = key & mask;
        while (m_slots[at] != 0)
            at = (at + 1) & mask;
        m_slots[at] = (key & ~LOW_HALF) | (number + 1);
    }

    void grow()
    {
        m_slots.assign(m_slots.empty() ? 64 : 2 * m_slots.size(), 0);
        for (std::size_t number = 0; number < m_names.size(); ++number) {
            const HOST_INSTANCE* name = m_names.at(number);
            place(hash(name->m_parent, name->m_unit_name), number);
        }
    }

    HOST_POOL<HOST_INSTANCE> m_names;
    std::vector<std::uint64_t> m_slots;
    std::unordered_map<const HOST_INSTANCE*, std::vector<HDB_INSTANCE_NAME*>> m_descendants;
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
    HOST_INSTANCE* child = m_tree->find(this, unit_name);
    return child != nullptr ? child : m_tree->add(this, unit_name);
}

HOST_INSTANCE* HOST_INSTANCE::find_path(const std::string& path) const
{
    const HOST_INSTANCE* instance = this;
    for (const std::string& level : host_split_hpath(path)) {
        instance = m_tree->find(instance, level);
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
    return m_tree->find(this, name);
}

HDB_INSTANCE_NAME::ITERATOR HOST_INSTANCE::begin_child() const
{
    return m_children.data();
}

HDB_INSTANCE_NAME::ITERATOR HOST_INSTANCE::end_child() const
{
    return m_children.data() + m_children.size();
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

void* HOST_INSTANCE::get_user_word() const
{
    return m_user_word;
}

void HOST_INSTANCE::set_user_word(void* word)
{
    m_user_word = word;
}

void HOST_INSTANCE::collect_descendants(std::vector<HDB_INSTANCE_NAME*>& list) const
{
    std::vector<std::pair<const HOST_INSTANCE*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        const HOST_INSTANCE* instance = stack.back().first;
        const std::size_t next = stack.back().second++;
        if (next == instance->m_children.size()) {
            stack.pop_back();
            continue;
        }
        HOST_INSTANCE* child = static_cast<HOST_INSTANCE*>(instance->m_children[next]);
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
