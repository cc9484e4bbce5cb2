// The reference host's design model: activity store, waveform entries,
// estimator, EDA names. The hierarchy, atom kinds, facade and hierarchy
// builder are exercised through the reader's tests.
#include "host_test_fixture.h"

namespace {

using HOST_DESIGN_TEST = HOST_TEST;

// A small design: a bidirectional pad with output enable, a register, a pad.
class STORE_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        HOST_ATOM* pad = m_design.add_atom("pad", HOST_ATOM_KIND::BIDIR_PAD);
        m_oterms[0] = m_design.add_output(pad, "top|io", CDB_PORT_TYPE_PIN_COMBOUT, false);
        m_oterms[1] = m_design.add_output(pad, "top|io~out", CDB_PORT_TYPE_PAD_OUTPUT, false);
        m_ff = m_design.add_atom("ff", HOST_ATOM_KIND::LCELL_FF);
        m_oterms[2] = m_design.add_output(m_ff, "top|u1|q", 0, true);
        m_design.add_input(pad, CDB_PORT_TYPE_OUTPUT_ENABLE, m_oterms[2], true, 80);
        m_oterms[3] = m_design.add_output(m_design.add_atom("io", HOST_ATOM_KIND::IO_PAD), "top|o",
                                          CDB_PORT_TYPE_PAD_OUTPUT, false);
    }

    HOST_DESIGN m_design;
    HOST_ATOM* m_ff = nullptr;
    HOST_OTERM* m_oterms[4] = {};
};

TEST_F(STORE_TEST, IdsAreDenseInNetlistOrder)
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
    // The netlist is frozen once ids are given.
    EXPECT_THROW(m_design.add_atom("late", HOST_ATOM_KIND::LCELL), HOST_INTERNAL_ERROR);
    EXPECT_THROW(m_design.add_output(m_ff, "top|late", 0, false), HOST_INTERNAL_ERROR);
    EXPECT_EQ(m_design.host_netlist()->atom_count(), 3u);
    // Flags are 0..3.
    EXPECT_THROW(store->get_output_signal_data(0u, false)->set_flag_value(4, true), HOST_INTERNAL_ERROR);
    EXPECT_THROW(store->get_output_signal_data(0u, false)->get_flag_value(-1), HOST_INTERNAL_ERROR);
}

TEST_F(STORE_TEST, BidirRecordOnlyForThePadOutputOfABidirectionalPad)
{
    HOST_SA_DATA* store = m_design.store();
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(1, false), nullptr);
    PUTIL_OUTPUT_SIGNAL_DATA* bidir = store->get_bidir_padio_output_signal_data(1, true);
    ASSERT_NE(bidir, nullptr);
    EXPECT_NE(bidir, store->get_output_signal_data(1, false));
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(1, false), bidir);
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(0, true), nullptr);  // combout of the pad
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(3, true), nullptr);  // pad output, not bidirectional
    EXPECT_EQ(store->get_bidir_padio_output_signal_data(9, true), nullptr);
}

TEST_F(STORE_TEST, BuildersRejectAtomsOfAnotherDesignAndBadPaths)
{
    HOST_DESIGN other;
    HOST_ATOM* foreign = other.add_atom("f", HOST_ATOM_KIND::LCELL);
    EXPECT_THROW(m_design.add_output(foreign, "top|f", 0, false), HOST_INTERNAL_ERROR);
    EXPECT_THROW(m_design.add_input(m_ff, 0, other.add_output(foreign, "f", 0, false)), HOST_INTERNAL_ERROR);
    EXPECT_THROW(m_design.add_output(m_ff, "top||q", 0, false), HOST_INTERNAL_ERROR);
    EXPECT_THROW(m_design.add_output(m_ff, "", 0, false), HOST_INTERNAL_ERROR);
}

// Listing and applying entries is measured through the reader; these misuses are internal errors.
TEST_F(HOST_DESIGN_TEST, EntriesOfRelatedEntriesAndOfOtherDesignsAreRejected)
{
    HOST_DESIGN design;
    HOST_OTERM* out = design.add_output(design.add_atom("a", HOST_ATOM_KIND::LCELL), "top|a", 0, false);
    HOST_INPUT_FILE_MANAGER* manager = design.input_files();
    HOST_INPUT_FILE_DATA* related = manager->add_related_entry(manager->add_entry("a.vcd", nullptr, nullptr, nullptr),
                                                               design.find_instance("top"));
    EXPECT_THROW(manager->add_related_entry(related, nullptr), HOST_INTERNAL_ERROR);
    HOST_DESIGN other;
    HOST_INPUT_FILE_DATA* foreign = other.input_files()->add_entry("x.vcd", nullptr, nullptr, nullptr);
    EXPECT_THROW(manager->mark_oterm_annotated(foreign, out), HOST_INTERNAL_ERROR);
    EXPECT_EQ(manager->get_input_file_data(3), nullptr);
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

// Delays and the fixed width are measured through the reader's glitch filter.
TEST_F(HOST_DESIGN_TEST, EstimatorNeedsACurrentDesignAndIsFreed)
{
    EXPECT_EQ(TIM_ADVANCED_ESTIMATOR::create_advanced_estimator(MEM_MANAGER::get_default_segment(), false), nullptr);
    HOST_DESIGN design;
    host_set_current_design(&design);
    const std::size_t blocks = host_memory_live_blocks("HOST");
    TIM_ADVANCED_ESTIMATOR* estimator =
        TIM_ADVANCED_ESTIMATOR::create_advanced_estimator(MEM_MANAGER::get_default_segment(), false);
    ASSERT_NE(estimator, nullptr);
    TIM_ADVANCED_ESTIMATOR::destroy_advanced_estimator(estimator);
    EXPECT_EQ(host_memory_live_blocks("HOST"), blocks);
    {
        HOST_DESIGN temporary;
        host_set_current_design(&temporary);
    }
    EXPECT_EQ(host_current_design(), nullptr);   // a destroyed design is no longer current
}

TEST(HOST_EDA_NAME, EscapesNamesThatAreNotPlainIdentifiers)
{
    const std::pair<const char*, const char*> cases[] = {{"top/u1/q", "top/u1/q"},      {"a/b[12]", "a/b[12]"},
                                                         {"a/q~reg0", "\\a/q~reg0 "},   {"a/b[x]", "\\a/b[x] "},
                                                         {"u1/3state", "\\u1/3state "}, {"$root/_x", "$root/_x"}};
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(host_escape_eda_name(name, "/"), expected);
}

}  // namespace
