// The reference host's hierarchy names: lookups on both sides of the point where children get an index, full names
// with empty levels, depth-first lists that follow the tree's growth. Atoms' terms by type are checked through the
// design loader's tests.
#include "host_test_fixture.h"

namespace {

using HOST_HIERARCHY_TEST = HOST_TEST;

// Children are compared one by one up to eight, then found through an index that grows; every child is found
// by its name, in creation order, and a missing name is not.
TEST_F(HOST_HIERARCHY_TEST, finds_every_child_by_name_at_any_count)
{
    for (int count : {1, 8, 9, 24, 25, 5000}) {
        SCOPED_TRACE(count);
        HOST_INSTANCE root;
        std::vector<HOST_INSTANCE*> made;
        for (int i = 0; i < count; ++i)
            made.push_back(root.make_child("s" + std::to_string(i)));
        ASSERT_EQ(root.end_child() - root.begin_child(), count);
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(root.begin_child()[i], made[i]);
            ASSERT_EQ(root.find_in_children("s" + std::to_string(i)), made[i]);
            ASSERT_EQ(root.make_child("s" + std::to_string(i)), made[i]);
            ASSERT_EQ(made[i]->get_parent(), &root);
        }
        EXPECT_EQ(root.find_in_children("s" + std::to_string(count)), nullptr);
        EXPECT_EQ(root.find_in_children("s"), nullptr);
        EXPECT_EQ(made[0]->begin_child(), made[0]->end_child());
        EXPECT_EQ(made[0]->find_in_children("s0"), nullptr);
    }
}

struct FULL_NAME_CASE {
    const char* name;
    const char* root;
    std::vector<std::string> levels;
    const char* full_name;
};

// Levels join with "|"; empty names above the first non-empty one add nothing, below it they keep their separator.
class HOST_FULL_NAME_TEST : public HOST_TEST, public ::testing::WithParamInterface<FULL_NAME_CASE> {};

TEST_P(HOST_FULL_NAME_TEST, joins_the_levels_from_the_root)
{
    HOST_INSTANCE root(GetParam().root);
    HOST_INSTANCE* instance = &root;
    for (const std::string& level : GetParam().levels)
        instance = instance->make_child(level);
    EXPECT_EQ(instance->get_full_name(), GetParam().full_name);
}

const FULL_NAME_CASE FULL_NAME_CASES[] = {
    {"named_root", "r", {}, "r"},
    {"leading_empty_levels", "", {"", "", "x"}, "x"},
    {"empty_level_inside", "", {"a", "", "c"}, "a||c"},
    {"empty_leaf", "", {"a", ""}, "a|"},
};
INSTANTIATE_TEST_SUITE_P(NAMES, HOST_FULL_NAME_TEST, ::testing::ValuesIn(FULL_NAME_CASES), row_name);

std::vector<std::string> unit_names(HDB_INSTANCE_NAME::ITERATOR begin, HDB_INSTANCE_NAME::ITERATOR end)
{
    std::vector<std::string> names;
    for (auto it = begin; it != end; ++it)
        names.push_back((*it)->get_unit_name());
    return names;
}

// Depth first in creation order, from any instance; a name added later shows in the next list.
TEST_F(HOST_HIERARCHY_TEST, descendants_are_depth_first_and_follow_growth)
{
    HOST_INSTANCE root;
    root.make_path("a|b");
    root.make_path("c");
    HOST_INSTANCE* a = root.find_path("a");
    root.make_path("a|d|e");
    EXPECT_EQ(unit_names(root.begin_descendant(), root.end_descendant()),
              (std::vector<std::string>{"a", "b", "d", "e", "c"}));
    EXPECT_EQ(unit_names(a->begin_descendant(), a->end_descendant()), (std::vector<std::string>{"b", "d", "e"}));
    root.make_path("a|b|f");
    EXPECT_EQ(unit_names(root.begin_descendant(), root.end_descendant()),
              (std::vector<std::string>{"a", "b", "f", "d", "e", "c"}));
    HOST_INSTANCE* leaf = root.find_path("c");
    EXPECT_EQ(leaf->begin_descendant(), leaf->end_descendant());
}

// An alias is found like a name and answers its target's word; it never takes a path that names something, a
// real name or an earlier alias, and a refused alias makes no scope on its way.
TEST_F(HOST_HIERARCHY_TEST, aliases_answer_their_target_and_never_replace_a_name)
{
    HOST_INSTANCE root;
    HOST_INSTANCE* q = root.make_path("u1|q");
    HOST_INSTANCE* y = root.make_path("y");
    int word = 0;
    q->set_user_word(&word);
    ASSERT_TRUE(root.add_alias({"lane[0]", "r"}, q));
    const HDB_INSTANCE_NAME* scope = root.find_in_children("lane[0]");
    ASSERT_NE(scope, nullptr);
    EXPECT_TRUE(static_cast<const HOST_INSTANCE*>(scope)->is_alias_scope());
    const auto* alias = static_cast<const HOST_INSTANCE*>(scope->find_in_children("r"));
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(alias->alias_target(), q);
    EXPECT_EQ(alias->get_user_word(), &word);
    EXPECT_EQ(alias->get_full_name(), "lane[0]|r");

    EXPECT_FALSE(root.add_alias({"y"}, q));             // a real name
    EXPECT_FALSE(root.add_alias({"lane[0]", "r"}, y));  // an earlier alias
    EXPECT_FALSE(root.add_alias({"lane[0]", "r", "s"}, y));  // below an alias
    EXPECT_FALSE(root.add_alias({"u1", "q", "t"}, y));  // below a real name: none is made
    EXPECT_EQ(q->begin_child(), q->end_child());
    EXPECT_EQ(y->alias_target(), nullptr);
    EXPECT_FALSE(root.find_path("u1")->is_alias_scope());
}

}  // namespace
