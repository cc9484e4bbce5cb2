// Reference host hierarchy names: one tree of instance names per design,
// made from the "|"-separated paths of the signals.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/hdb.h"

class HOST_INSTANCE final : public HDB_INSTANCE_NAME {
public:
    // The root has no parent and an empty unit name.
    HOST_INSTANCE(std::string unit_name, HOST_INSTANCE* parent);
    ~HOST_INSTANCE() override;
    HOST_INSTANCE(const HOST_INSTANCE&) = delete;
    HOST_INSTANCE& operator=(const HOST_INSTANCE&) = delete;

    // The child of that unit name, made when missing.
    HOST_INSTANCE* make_child(const std::string& unit_name);
    // The instance at path below this one ("top|u1"); "" is this instance;
    // null when a level is missing.
    HOST_INSTANCE* find_path(const std::string& path) const;
    // Same, making every missing level.
    HOST_INSTANCE* make_path(const std::string& path);

    HDB_INSTANCE_NAME* find_in_children(const std::string& name) const override;
    ITERATOR begin_child() const override;
    ITERATOR end_child() const override;
    ITERATOR begin_descendant() const override;
    ITERATOR end_descendant() const override;
    HDB_INSTANCE_NAME* get_parent() const override;
    const std::string& get_unit_name() const override;
    std::string get_full_name() const override;
    void* get_user_word() const override;
    void set_user_word(void* word) override;

private:
    void invalidate_descendants();
    void collect_descendants(std::vector<HDB_INSTANCE_NAME*>& list) const;

    std::string m_unit_name;
    HOST_INSTANCE* m_parent;
    void* m_user_word = nullptr;
    std::vector<std::unique_ptr<HOST_INSTANCE>> m_owned_children;
    std::vector<HDB_INSTANCE_NAME*> m_children;
    std::unordered_map<std::string, HOST_INSTANCE*> m_child_index;
    // Depth-first list, rebuilt on demand after the tree below has grown.
    mutable std::vector<HDB_INSTANCE_NAME*> m_descendants;
    mutable bool m_descendants_valid = false;
};

// A path split at "|"; "" gives no levels. Empty levels are kept so that
// callers can reject "top||q".
std::vector<std::string> host_split_hpath(const std::string& path);
// True when path has at least one level and none of them is empty.
bool host_is_valid_hpath(const std::string& path);
