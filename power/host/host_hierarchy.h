// Reference host hierarchy names: one tree of instance names per design,
// made from the "|"-separated paths of the signals.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/hdb.h"

class HOST_INSTANCE_TREE;
template <class T>
class HOST_POOL;

// Flag of a name that reports are to show (pin names); every name has it
// unless the design clears it.
constexpr unsigned HOST_NAME_FLAG_REPORTED = 256;

// The design signal behind a name, as a netlist describes it: its width,
// whether its range ascends, and whether synthesis re-encoded it (a state
// register recoded one-hot keeps its name but not its bits' meaning).
struct HOST_DESIGN_SIGNAL {
    int width = 1;
    bool ascending = false;
    bool recoded = false;
};

// What the waveform lookup made of a name: nothing yet, a declaration it
// accepted, or only declarations it refused.
enum class HOST_NAME_MATCH : unsigned char { NONE, ACCEPTED, WIDTH_DIFFERS, RECODED };

// A design of a million signals has millions of names: each is small (a
// leaf has no list of children), and the root owns the storage of every
// name below it.
class HOST_INSTANCE final : public HDB_INSTANCE_NAME {
public:
    // A root: no parent. A design's root has an empty unit name.
    explicit HOST_INSTANCE(std::string unit_name = std::string());
    ~HOST_INSTANCE() override;
    HOST_INSTANCE(const HOST_INSTANCE&) = delete;
    HOST_INSTANCE& operator=(const HOST_INSTANCE&) = delete;

    // The child of that unit name, made when missing.
    HOST_INSTANCE* make_child(const std::string& unit_name);
    // The child of that unit name, null when missing.
    HOST_INSTANCE* find_child(const std::string& unit_name) const;
    // The instance at path below this one ("top|u1"); "" is this instance;
    // null when a level is missing.
    HOST_INSTANCE* find_path(const std::string& path) const;
    // Same, making every missing level.
    HOST_INSTANCE* make_path(const std::string& path);
    // Whether both instances are names of one tree.
    bool shares_tree_with(const HOST_INSTANCE* other) const { return m_tree == other->m_tree; }
    // Another name of target's signal at levels below this instance: the
    // lookup finds it, and its user word is target's. Missing scopes are
    // made. False, with nothing made, when that path names something
    // already (a real name, or an alias added before, wins) or passes
    // through an alias or a leaf (a signal's name).
    bool add_alias(const std::vector<std::string>& levels, HOST_INSTANCE* target);
    // The instance an alias stands for; null for a real name.
    HOST_INSTANCE* alias_target() const;
    // Whether add_alias made this scope, rather than a real name.
    bool is_alias_scope() const;

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
    // Whether every bit of flag is set.
    bool check_flag(unsigned flag) const override;
    void set_flag(unsigned flag, bool value);
    // A name with a design signal accepts a declaration of a whole vector
    // only at that signal's width, and none once the signal was re-encoded;
    // other names accept every declaration. Each answer is recorded.
    bool accepts_declaration(int declared_width) const override;
    void set_design_signal(const HOST_DESIGN_SIGNAL& signal);
    // Null when the name has none.
    const HOST_DESIGN_SIGNAL* design_signal() const;
    // The lookup's answers for this name, and for the aliases of it.
    HOST_NAME_MATCH match() const;

private:
    friend class HOST_INSTANCE_TREE;
    friend class HOST_POOL<HOST_INSTANCE>;
    class CHILDREN;
    HOST_INSTANCE(std::string unit_name, HOST_INSTANCE* parent, HOST_INSTANCE_TREE* tree);

    // Every instance below this one, depth first.
    void collect_descendants(std::vector<HDB_INSTANCE_NAME*>& list) const;

    std::string m_unit_name;
    HOST_INSTANCE* m_parent;
    HOST_INSTANCE_TREE* m_tree;   // the root's, which owns it
    void* m_user_word = nullptr;
    std::unique_ptr<CHILDREN> m_children;   // null while there are none
};

// A path split at "|"; "" gives no levels. Empty levels are kept so that
// callers can reject "top||q".
std::vector<std::string> host_split_hpath(const std::string& path);
// True when path has at least one level and none of them is empty.
bool host_is_valid_hpath(const std::string& path);
