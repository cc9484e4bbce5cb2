// The reference host's design model: annotated terms of input file entries and merge modes. The hierarchy, atom
// kinds, facade, activity store, waveform entries, estimator, EDA names and hierarchy builder are exercised through
// the library's tests.
#include "host_test_fixture.h"

namespace {

// Each term counts once however often it is marked; terms of another design are told apart from this design's
// terms of the same number, also by an entry whose manager knows no design.
TEST_F(HOST_TEST, entries_count_each_annotated_term_once)
{
    HOST_DESIGN design, other;
    HOST_OTERM* own[3];
    for (int i = 0; i < 3; ++i)
        own[i] = design.add_output(design.add_atom("a", HOST_ATOM_KIND::LCELL), "a" + std::to_string(i), 0, false);
    HOST_ATOM* atom = other.add_atom("x", HOST_ATOM_KIND::LCELL);
    other.add_output(atom, "x0", 0, false);
    HOST_OTERM* foreign = other.add_output(atom, "x1", 0, false);
    HOST_INPUT_FILE_MANAGER unowned(nullptr);
    for (HOST_INPUT_FILE_MANAGER* manager : {design.input_files(), &unowned}) {
        HOST_INPUT_FILE_DATA* entry = manager->add_entry("a.vcd", nullptr, nullptr, nullptr);
        for (HOST_OTERM* oterm : {own[0], own[2], own[0], foreign, foreign})
            manager->mark_oterm_annotated(entry, oterm);
        EXPECT_EQ(entry->annotated_count(), 3u);
        EXPECT_TRUE(entry->is_annotated(own[0]) && entry->is_annotated(own[2]));
        EXPECT_TRUE(entry->is_annotated(foreign));
        EXPECT_FALSE(entry->is_annotated(own[1]));   // the number of the foreign term
    }
}

struct MERGE_CASE { PUTIL_MERGE_MODE configured; std::uint16_t entry; std::uint16_t owner; int expected; };
class MERGE_MODE_TEST : public ::testing::TestWithParam<MERGE_CASE> {};

TEST_P(MERGE_MODE_TEST, replaces_own_and_unowned_values_else_the_configured_mode)
{
    const MERGE_CASE& c = GetParam();
    HOST_INPUT_FILE_MANAGER manager(nullptr);
    manager.set_merge_mode(c.configured);
    std::uint16_t owner = c.owner;
    EXPECT_EQ(manager.get_merge_mode(c.entry, owner), c.expected);
    EXPECT_EQ(owner, c.entry);
}

const MERGE_CASE MERGE_CASES[] = {
    {PUTIL_MERGE_KEEP, 2, 0, PUTIL_MERGE_REPLACE}, {PUTIL_MERGE_KEEP, 2, 2, PUTIL_MERGE_REPLACE},
    {PUTIL_MERGE_KEEP, 2, 1, PUTIL_MERGE_KEEP},    {PUTIL_MERGE_ADD, 1, 3, PUTIL_MERGE_ADD},
    {PUTIL_MERGE_ADD, 3, 3, PUTIL_MERGE_REPLACE},  {PUTIL_MERGE_REPLACE, 2, 1, PUTIL_MERGE_REPLACE}};
INSTANTIATE_TEST_SUITE_P(MODES, MERGE_MODE_TEST, ::testing::ValuesIn(MERGE_CASES));

}  // namespace
