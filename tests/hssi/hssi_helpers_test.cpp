// Moving one data key up and down the element tree.
#include "hssi_test_support.h"

namespace {

using HELPERS = PUTIL_HSSI_INFO_HELPERS;
constexpr auto KEY = static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(9);
constexpr auto FLAG = static_cast<DEV_POWER_HSSI_BOOL_DATA_ENUM>(20);

// A root (0) with children 1, 2, 3 and grandchildren 4 (under 2) and 5
// (under 3), elements owned by the test.
class HSSI_HELPERS_TEST : public HSSI_TEST {
protected:
    void SetUp() override
    {
        HSSI_TEST::SetUp();
        PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY key(PART, PART_IMPL_A);
        for (int id = 0; id < 6; ++id)
            m_elements.push_back(std::make_unique<PUTIL_HSSI_ELEMENT>(m_element_types, m_device, 100 + id, id, key));
        link(0, 1);
        link(0, 2);
        link(0, 3);
        link(2, 4);
        link(3, 5);
    }
    void TearDown() override
    {
        m_elements.clear();
        HSSI_TEST::TearDown();
    }
    void link(int parent, int child)
    {
        e(parent)->add_child_element(e(child));
        e(child)->set_parent_element(e(parent));
    }
    PUTIL_HSSI_ELEMENT* e(int id) { return m_elements[static_cast<std::size_t>(id)].get(); }
    // The value of KEY per element, -1 where it has none.
    std::vector<int> values()
    {
        std::vector<int> result;
        for (auto& element : m_elements)
            result.push_back(element->is_valid_enum_enum(KEY) ? element->get_enum_data(KEY) : -1);
        return result;
    }
    std::vector<int> flags()
    {
        std::vector<int> result;
        for (auto& element : m_elements)
            result.push_back(element->is_valid_bool_enum(FLAG) ? element->get_bool_data(FLAG) : -1);
        return result;
    }

    std::vector<std::unique_ptr<PUTIL_HSSI_ELEMENT>> m_elements;
};

TEST_F(HSSI_HELPERS_TEST, match_upwards_gives_each_element_the_value_its_descendants_agree_on)
{
    EXPECT_FALSE(HELPERS::propagate_and_match_enum_data_upwards(e(1), KEY));
    EXPECT_FALSE(HELPERS::propagate_and_match_enum_data_upwards(e(0), KEY));
    EXPECT_EQ(values(), (std::vector<int>{-1, -1, -1, -1, -1, -1}));

    e(1)->set_enum_data(KEY, 3);
    e(4)->set_enum_data(KEY, 3);
    EXPECT_TRUE(HELPERS::propagate_and_match_enum_data_upwards(e(0), KEY));
    EXPECT_EQ(values(), (std::vector<int>{3, 3, 3, -1, 3, -1}));
}

TEST_F(HSSI_HELPERS_TEST, match_upwards_stops_on_disagreement_unless_a_value_above_hides_it)
{
    e(1)->set_enum_data(KEY, 3);
    e(5)->set_enum_data(KEY, 4);
    e(0)->set_enum_data(KEY, 5);
    int value = 0;
    EXPECT_TRUE(HELPERS::propagate_and_match_enum_data_upwards_recursive_helper(e(0), KEY, value));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(values(), (std::vector<int>{5, 3, -1, -1, -1, 4}));

    m_elements[0]->invalidate_all_data();
    link(0, 1);
    link(0, 2);
    link(0, 3);
    putil_expect_internal_error("putil_hssi_info_helpers.cpp",
                          [&] { HELPERS::propagate_and_match_enum_data_upwards(e(0), KEY); });
}

TEST_F(HSSI_HELPERS_TEST, match_upwards_of_ints_and_flags_follows_the_same_rule)
{
    const auto index = DEV_POWER_HSSI_INT_BONDING_INDEX;
    e(4)->set_int_data(index, 2);
    e(5)->set_int_data(index, 2);
    EXPECT_TRUE(HELPERS::propagate_and_match_int_data_upwards(e(0), index));
    EXPECT_EQ(e(0)->get_int_data(index), 2);
    e(4)->set_bool_data(FLAG, false);
    EXPECT_TRUE(HELPERS::propagate_and_match_bool_data_upwards(e(0), FLAG));
    EXPECT_EQ(flags(), (std::vector<int>{0, -1, 0, -1, 0, -1}));
}

TEST_F(HSSI_HELPERS_TEST, true_spreads_up_through_elements_without_a_value_and_stops_at_false)
{
    HELPERS::propagate_true_bool_data_upwards(e(0), FLAG);
    EXPECT_EQ(flags(), (std::vector<int>{-1, -1, -1, -1, -1, -1}));

    e(1)->set_bool_data(FLAG, false);
    e(4)->set_bool_data(FLAG, true);
    e(5)->set_bool_data(FLAG, true);
    HELPERS::propagate_true_bool_data_upwards(e(0), FLAG);
    // Child 3 comes after the first true child and is not visited.
    EXPECT_EQ(flags(), (std::vector<int>{1, 0, 1, -1, 1, 1}));

    EXPECT_FALSE(HELPERS::propagate_true_bool_data_upwards_recursive_helper(e(1), FLAG));
}

TEST_F(HSSI_HELPERS_TEST, downwards_overwrites_the_whole_subtree)
{
    putil_expect_internal_error("putil_hssi_info_helpers.cpp",
                          [&] { HELPERS::propagate_enum_data_downwards(e(0), KEY); });
    putil_expect_internal_error("putil_hssi_info_helpers.cpp",
                          [&] { HELPERS::propagate_int_data_downwards(e(0), DEV_POWER_HSSI_INT_BONDING_INDEX); });
    e(5)->set_enum_data(KEY, 1);
    e(0)->set_enum_data(KEY, 7);
    HELPERS::propagate_enum_data_downwards(e(0), KEY);
    EXPECT_EQ(values(), (std::vector<int>{7, 7, 7, 7, 7, 7}));
    putil_expect_internal_error("putil_hssi_info.cpp",
                          [&] { HELPERS::propagate_enum_data_downwards(e(0), DEV_POWER_HSSI_ENUM_DATA_END); });
}

}   // namespace
