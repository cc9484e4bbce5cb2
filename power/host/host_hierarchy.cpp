// Reference host hierarchy names: children by exact unit name through a
// hash map, descendants depth first, full names joined with "|".
#include "host_hierarchy.h"

HOST_INSTANCE::HOST_INSTANCE(std::string unit_name, HOST_INSTANCE* parent)
    : m_unit_name(std::move(unit_name)), m_parent(parent)
{
}

HOST_INSTANCE::~HOST_INSTANCE() = default;

HOST_INSTANCE* HOST_INSTANCE::make_child(const std::string& unit_name)
{
    auto it = m_child_index.find(unit_name);
    if (it != m_child_index.end())
        return it->second;
    m_owned_children.push_back(std::make_unique<HOST_INSTANCE>(unit_name, this));
    HOST_INSTANCE* child = m_owned_children.back().get();
    m_children.push_back(child);
    m_child_index.emplace(unit_name, child);
    invalidate_descendants();
    return child;
}

HOST_INSTANCE* HOST_INSTANCE::find_path(const std::string& path) const
{
    const HOST_INSTANCE* instance = this;
    for (const std::string& level : host_split_hpath(path)) {
        auto it = instance->m_child_index.find(level);
        if (it == instance->m_child_index.end())
            return nullptr;
        instance = it->second;
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
    auto it = m_child_index.find(name);
    return it == m_child_index.end() ? nullptr : it->second;
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
    if (!m_descendants_valid) {
        m_descendants.clear();
        collect_descendants(m_descendants);
        m_descendants_valid = true;
    }
    return m_descendants.data();
}

HDB_INSTANCE_NAME::ITERATOR HOST_INSTANCE::end_descendant() const
{
    return begin_descendant() + m_descendants.size();
}

HDB_INSTANCE_NAME* HOST_INSTANCE::get_parent() const
{
    return m_parent;
}

const std::string& HOST_INSTANCE::get_unit_name() const
{
    return m_unit_name;
}

std::string HOST_INSTANCE::get_full_name() const
{
    if (m_parent == nullptr)
        return m_unit_name;
    std::string parent_name = m_parent->get_full_name();
    return parent_name.empty() ? m_unit_name : parent_name + "|" + m_unit_name;
}

void* HOST_INSTANCE::get_user_word() const
{
    return m_user_word;
}

void HOST_INSTANCE::set_user_word(void* word)
{
    m_user_word = word;
}

void HOST_INSTANCE::invalidate_descendants()
{
    for (HOST_INSTANCE* instance = this; instance != nullptr; instance = instance->m_parent)
        instance->m_descendants_valid = false;
}

void HOST_INSTANCE::collect_descendants(std::vector<HDB_INSTANCE_NAME*>& list) const
{
    for (const auto& child : m_owned_children) {
        list.push_back(child.get());
        child->collect_descendants(list);
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
