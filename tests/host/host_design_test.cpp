// The reference host's design model: activity store and merge modes. The hierarchy, atom kinds, facade, waveform
// entries, estimator, EDA names and hierarchy builder are exercised through the library's tests.
#include "host_test_fixture.h"

namespace {

// A small design: a bidirectional pad with output enable, a register, a pad.
class STORE_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        HOST_ATOM* pad = m_design.add_atom("pad", HOST_ATOM_KIND::BIDIR_PAD);
        m_oterms[0] = m_design.add_output(pad, "top|io", CDB_PORT_TYPE_PIN_COMBOUT, false);
        m_oterms[1] = m_design.add_output(pad, "top|io~out", CDB_PORT_TYPE_PAD_OUTPUT, false);
        m_oterms[2] = m_design.add_output(m_design.add_atom("ff", HOST_ATOM_KIND::LCELL_FF), "top|u1|q", 0, true);
        m_design.add_input(pad, CDB_PORT_TYPE_OUTPUT_ENABLE, m_oterms[2], true, 80);
        m_oterms[3] = m_design.add_output(m_design.add_atom("io", HOST_ATOM_KIND::IO_PAD), "top|o",
                                          CDB_PORT_TYPE_PAD_OUTPUT, false);
    }

    HOST_DESIGN m_design;
    HOST_OTERM* m_oterms[4] = {};
};

TEST_F(STORE_TEST, IdsAreDenseInNetlistOrderAndBidirRecordsOnlyForBidirPads)
{
    HOST_SA_DATA* store = m_design.store();
    EXPECT_EQ(store->get_output_signal_id_array_size(), 4u);
    unsigned id = 99;
    for (unsigned i = 0; i < 4; ++i) {
        ASSERT_TRUE(store->get_unique_id_for_output_signal(m_oterms[i], &id));
        EXPECT_EQ(id, i);
        EXPECT_EQ(store->oterm_of(i), m_oterms[i]);
        EXPECT_EQ(store->get_output_signal_data(m_oterms[i]), store->get_output_signal_data(i, false));
    }
    HOST_DESIGN other;
    HOST_OTERM* foreign = other.add_output(other.add_atom("x", HOST_ATOM_KIND::LCELL), "x", 0, false);
    EXPECT_FALSE(store->get_unique_id_for_output_signal(foreign, &id));
    EXPECT_EQ(store->get_output_signal_data(foreign), nullptr);
    EXPECT_EQ(store->get_output_signal_data(4, true), nullptr);
    // The bidirectional record exists only for the pad output of a bidirectional pad, once asked for.
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(1, false), nullptr);
    PUTIL_OUTPUT_SIGNAL_DATA* bidir = store->get_bidir_padio_output_signal_data(1, true);
    ASSERT_NE(bidir, nullptr);
    EXPECT_NE(bidir, store->get_output_signal_data(1, false));
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(1, false), bidir);
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(0, true), nullptr);  // combout of the pad
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(3, true), nullptr);  // pad output, not bidirectional
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(9, true), nullptr);
}

// Each term counts once however often it is marked; terms of another design are told apart from this design's
// terms of the same number, also by an entry whose manager knows no design.
TEST_F(STORE_TEST, EntriesCountEachAnnotatedTermOnce)
{
    HOST_DESIGN other;
    HOST_ATOM* atom = other.add_atom("x", HOST_ATOM_KIND::LCELL);
    other.add_output(atom, "x0", 0, false);
    HOST_OTERM* foreign = other.add_output(atom, "x1", 0, false);
    HOST_INPUT_FILE_MANAGER unowned(nullptr);
    for (HOST_INPUT_FILE_MANAGER* manager : {m_design.input_files(), &unowned}) {
        HOST_INPUT_FILE_DATA* entry = manager->add_entry("a.vcd", nullptr, nullptr, nullptr);
        for (HOST_OTERM* oterm : {m_oterms[0], m_oterms[3], m_oterms[0], foreign, foreign})
            manager->mark_oterm_annotated(entry, oterm);
        EXPECT_EQ(entry->annotated_count(), 3u);
        EXPECT_TRUE(entry->is_annotated(m_oterms[0]) && entry->is_annotated(m_oterms[3]));
        EXPECT_TRUE(entry->is_annotated(foreign));
        EXPECT_FALSE(entry->is_annotated(m_oterms[1]));   // the number of the foreign term
        EXPECT_FALSE(entry->is_annotated(m_oterms[2]));
    }
}

struct MERGE_CASE { PUTIL_MERGE_MODE configured; std::uint16_t entry; std::uint16_t owner; int expected; };
class MERGE_MODE_TEST : public ::testing::TestWithParam<MERGE_CASE> {};

TEST_P(MERGE_MODE_TEST, ReplacesOwnAndUnownedValuesElseTheConfiguredMode)
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
INSTANTIATE_TEST_SUITE_P(Modes, MERGE_MODE_TEST, ::testing::ValuesIn(MERGE_CASES));

}  // namespace
