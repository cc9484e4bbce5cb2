// The reference host's design model: hierarchy names, netlist, activity
// store, waveform entries, timing estimator, tool settings and EDA names.
#include "host_test_fixture.h"

namespace {

std::vector<std::string> full_names(HDB_INSTANCE_NAME::ITERATOR begin, HDB_INSTANCE_NAME::ITERATOR end)
{
    std::vector<std::string> names;
    for (auto it = begin; it != end; ++it)
        names.push_back((*it)->get_full_name());
    return names;
}

using HOST_DESIGN_TEST = HOST_TEST;

TEST_F(HOST_DESIGN_TEST, OutputsBuildTheHierarchyFromTheirPaths)
{
    HOST_DESIGN design;
    HOST_ATOM* ff = design.add_atom("u1", HOST_ATOM_KIND::LCELL_FF);
    HOST_OTERM* q = design.add_output(ff, "top|u1|q", 0, true);
    design.add_output(ff, "top|u2|q", 0, false);
    HOST_OTERM* again = design.add_output(ff, "top|u1|q", 1, false);
    design.add_output(ff, "top|clk", 0, false);

    EXPECT_EQ(q->get_string_hpath(), "top|u1|q");
    EXPECT_EQ(q->get_instance_name()->get_unit_name(), "q");
    EXPECT_EQ(again->get_instance_name(), q->get_instance_name());
    EXPECT_EQ(design.find_instance(""), design.root());
    EXPECT_EQ(design.find_instance("top|u1"), q->get_instance_name()->get_parent());
    EXPECT_EQ(design.find_instance("top|u3"), nullptr);
    HDB_INSTANCE_NAME* top = design.find_instance("top");
    EXPECT_EQ(top->find_in_children("u1"), design.find_instance("top|u1"));
    EXPECT_EQ(top->find_in_children("U1"), nullptr);
    EXPECT_EQ(full_names(top->begin_child(), top->end_child()),
              (std::vector<std::string>{"top|u1", "top|u2", "top|clk"}));
    EXPECT_EQ(full_names(design.root()->begin_descendant(), design.root()->end_descendant()),
              (std::vector<std::string>{"top", "top|u1", "top|u1|q", "top|u2", "top|u2|q", "top|clk"}));
    EXPECT_EQ(design.root()->get_full_name(), "");
    EXPECT_EQ(design.root()->get_parent(), nullptr);
}

TEST_F(HOST_DESIGN_TEST, DescendantsFollowLaterGrowth)
{
    HOST_DESIGN design;
    HOST_ATOM* atom = design.add_atom("a", HOST_ATOM_KIND::LCELL_COMB);
    design.add_output(atom, "top|a", 0, false);
    HDB_INSTANCE_NAME* top = design.find_instance("top");
    EXPECT_EQ(top->end_descendant() - top->begin_descendant(), 1);
    design.add_output(atom, "top|sub|b", 0, false);
    EXPECT_EQ(full_names(top->begin_descendant(), top->end_descendant()),
              (std::vector<std::string>{"top|a", "top|sub", "top|sub|b"}));
    int word = 0;
    top->set_user_word(&word);
    EXPECT_EQ(top->get_user_word(), &word);
}

TEST_F(HOST_DESIGN_TEST, FanoutListsConnectionsInOrder)
{
    HOST_DESIGN design;
    HOST_ATOM* driver = design.add_atom("d", HOST_ATOM_KIND::LCELL_COMB);
    HOST_ATOM* sink = design.add_atom("s", HOST_ATOM_KIND::LCELL_FF);
    HOST_OTERM* out = design.add_output(driver, "top|d", 9, false);
    HOST_OTERM* unused = design.add_output(driver, "top|e", 9, false);
    HOST_ITERM* first = design.add_input(sink, 0, out);
    HOST_ITERM* second = design.add_input(sink, 21, out, true, 150);
    HOST_ITERM* open = design.add_input(sink, 1, nullptr);

    EXPECT_EQ(out->begin_iterm_fanout(), first);
    EXPECT_EQ(first->get_next_fanout(), second);
    EXPECT_EQ(second->get_next_fanout(), out->end_iterm_fanout());
    EXPECT_TRUE(cdb_is_connected(out));
    EXPECT_FALSE(cdb_is_connected(unused));
    EXPECT_EQ(open->get_source(), nullptr);
    EXPECT_TRUE(second->get_output_enable_flag());
    EXPECT_EQ(sink->get_input_term_by_type(21, 0), second);
    EXPECT_EQ(sink->get_input_term_by_type(21, 1), nullptr);
    EXPECT_EQ(driver->get_output_term_by_type(9, 1), unused);
    EXPECT_EQ(out->get_any_usage_as(), 9);
    EXPECT_EQ(out->get_my_node(), driver);
    EXPECT_EQ(sink->end_iterm() - sink->begin_iterm(), 3);
}

struct KIND_CASE {
    HOST_ATOM_KIND kind;
    const char* name;
    bool pin, padio, bidir, pll, lcell, lcell_comb, lcell_ff, ram, mac_mult, mac_out;
};

class ATOM_KIND_TEST : public ::testing::TestWithParam<KIND_CASE> {};

TEST_P(ATOM_KIND_TEST, PredicatesFollowTheKind)
{
    const KIND_CASE& c = GetParam();
    HOST_ATOM atom(nullptr, "a", c.kind);
    EXPECT_EQ(atom.is_pin_atom(), c.pin);
    EXPECT_EQ(atom.is_padio_pin_atom(), c.padio);
    EXPECT_EQ(atom.has_padio_output_data(), c.bidir);
    EXPECT_EQ(atom.is_pll_atom(), c.pll);
    EXPECT_EQ(atom.is_lcell_atom(), c.lcell);
    EXPECT_EQ(atom.is_lcell_comb_atom(), c.lcell_comb);
    EXPECT_EQ(atom.is_lcell_ff_atom(), c.lcell_ff);
    EXPECT_EQ(atom.is_ram_atom(), c.ram);
    EXPECT_EQ(atom.is_mac_mult_atom(), c.mac_mult);
    EXPECT_EQ(atom.is_mac_out_atom(), c.mac_out);
    HOST_ATOM_KIND parsed = HOST_ATOM_KIND::OTHER;
    EXPECT_TRUE(host_atom_kind_from_name(c.name, parsed));
    EXPECT_EQ(parsed, c.kind);
    EXPECT_STREQ(host_atom_kind_name(c.kind), c.name);
}

using K = HOST_ATOM_KIND;
INSTANTIATE_TEST_SUITE_P(
    Kinds, ATOM_KIND_TEST,
    ::testing::Values(KIND_CASE{K::LCELL, "lcell", 0, 0, 0, 0, 1, 0, 0, 0, 0, 0},
                      KIND_CASE{K::LCELL_COMB, "lcell_comb", 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
                      KIND_CASE{K::LCELL_FF, "lcell_ff", 0, 0, 0, 0, 0, 0, 1, 0, 0, 0},
                      KIND_CASE{K::INPUT_PIN, "input_pin", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                      KIND_CASE{K::OUTPUT_PIN, "output_pin", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                      KIND_CASE{K::CLOCK_PIN, "clock_pin", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                      KIND_CASE{K::IO_PAD, "io_pad", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
                      KIND_CASE{K::BIDIR_PAD, "bidir_pad", 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                      KIND_CASE{K::PLL, "pll", 0, 0, 0, 1, 0, 0, 0, 0, 0, 0},
                      KIND_CASE{K::RAM, "ram", 0, 0, 0, 0, 0, 0, 0, 1, 0, 0},
                      KIND_CASE{K::MAC_MULT, "mac_mult", 0, 0, 0, 0, 0, 0, 0, 0, 1, 0},
                      KIND_CASE{K::MAC_OUT, "mac_out", 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
                      KIND_CASE{K::OTHER, "other", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<KIND_CASE>& info) { return std::string(info.param.name); });

// A small design: a bidirectional pad with output enable, a register, a PLL.
class STORE_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        m_pad = m_design.add_atom("pad", HOST_ATOM_KIND::BIDIR_PAD);
        m_pad_in = m_design.add_output(m_pad, "top|io", CDB_PORT_TYPE_PIN_COMBOUT, false);
        m_pad_out = m_design.add_output(m_pad, "top|io~out", CDB_PORT_TYPE_PAD_OUTPUT, false);
        m_ff = m_design.add_atom("ff", HOST_ATOM_KIND::LCELL_FF);
        m_q = m_design.add_output(m_ff, "top|u1|q", 0, true);
        m_design.add_input(m_pad, CDB_PORT_TYPE_OUTPUT_ENABLE, m_q, true, 80);
        m_io = m_design.add_atom("io", HOST_ATOM_KIND::IO_PAD);
        m_io_out = m_design.add_output(m_io, "top|o", CDB_PORT_TYPE_PAD_OUTPUT, false);
    }

    HOST_DESIGN m_design;
    HOST_ATOM* m_pad = nullptr;
    HOST_OTERM* m_pad_in = nullptr;
    HOST_OTERM* m_pad_out = nullptr;
    HOST_ATOM* m_ff = nullptr;
    HOST_OTERM* m_q = nullptr;
    HOST_ATOM* m_io = nullptr;
    HOST_OTERM* m_io_out = nullptr;
};

TEST_F(STORE_TEST, IdsAreDenseInNetlistOrder)
{
    HOST_SA_DATA* store = m_design.store();
    EXPECT_EQ(store->get_output_signal_id_array_size(), 4u);
    unsigned id = 99;
    const HOST_OTERM* expected[] = {m_pad_in, m_pad_out, m_q, m_io_out};
    for (unsigned i = 0; i < 4; ++i) {
        ASSERT_TRUE(store->get_unique_id_for_output_signal(expected[i], &id));
        EXPECT_EQ(id, i);
        EXPECT_EQ(store->oterm_of(i), expected[i]);
        EXPECT_EQ(store->get_output_signal_data(expected[i]), store->get_output_signal_data(i, false));
    }
    HOST_DESIGN other;
    HOST_OTERM* foreign = other.add_output(other.add_atom("x", HOST_ATOM_KIND::LCELL), "x", 0, false);
    EXPECT_FALSE(store->get_unique_id_for_output_signal(foreign, &id));
    EXPECT_EQ(store->get_output_signal_data(foreign), nullptr);
    EXPECT_EQ(store->get_output_signal_data(4, true), nullptr);
    EXPECT_EQ(store->get_atom_netlist(), m_design.netlist());
    EXPECT_EQ(store->get_input_file_manager(), m_design.input_files());
}

TEST_F(STORE_TEST, RecordsStartClear)
{
    PUTIL_OUTPUT_SIGNAL_DATA* data = m_design.store()->get_output_signal_data(m_q);
    EXPECT_EQ(data->get_static_probability(), 0.0f);
    EXPECT_EQ(data->get_toggle_rate(), 0.0f);
    EXPECT_EQ(data->static_probability_file_id, 0);
    EXPECT_EQ(data->toggle_rate_file_id, 0);
    for (int flag = 0; flag < 4; ++flag)
        EXPECT_FALSE(data->get_flag_value(flag));
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

TEST_F(STORE_TEST, NetlistIsFrozenOnceIdsAreGiven)
{
    m_design.store()->get_output_signal_id_array_size();
    EXPECT_THROW(m_design.add_atom("late", HOST_ATOM_KIND::LCELL), HOST_INTERNAL_ERROR);
    EXPECT_THROW(m_design.add_output(m_ff, "top|late", 0, false), HOST_INTERNAL_ERROR);
    EXPECT_EQ(m_design.host_netlist()->atom_count(), 3u);
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

struct FLAG_CASE {
    int flag;
    bool trusted_probability;
    bool trusted_density;
};

class SIGNAL_FLAG_TEST : public ::testing::TestWithParam<FLAG_CASE> {};

TEST_P(SIGNAL_FLAG_TEST, TrustFollowsTheFlags)
{
    PUTIL_OUTPUT_SIGNAL_DATA data;
    data.set_flag_value(GetParam().flag, true);
    EXPECT_TRUE(data.get_flag_value(GetParam().flag));
    EXPECT_EQ(data.is_trusted_static_probability(), GetParam().trusted_probability);
    EXPECT_EQ(data.is_trusted_transition_density(), GetParam().trusted_density);
    data.set_flag_value(GetParam().flag, false);
    EXPECT_FALSE(data.is_trusted_static_probability() || data.is_trusted_transition_density());
}

INSTANTIATE_TEST_SUITE_P(Flags, SIGNAL_FLAG_TEST,
                         ::testing::Values(FLAG_CASE{0, false, true}, FLAG_CASE{1, true, false},
                                           FLAG_CASE{2, false, true}, FLAG_CASE{3, true, false}));

TEST(HOST_SIGNAL_DATA, ValuesSetAndAddAndUnknownFlagsAreInternalErrors)
{
    PUTIL_OUTPUT_SIGNAL_DATA data;
    data.set_static_probability(0.25f);
    data.add_static_probability(0.5f);
    data.set_toggle_rate(1000.0f);
    data.add_toggle_rate(24.0f);
    EXPECT_EQ(data.get_static_probability(), 0.75f);
    EXPECT_EQ(data.get_toggle_rate(), 1024.0f);
    std::ostringstream quiet;
    host_set_message_stream(&quiet);
    EXPECT_THROW(data.set_flag_value(4, true), HOST_INTERNAL_ERROR);
    EXPECT_THROW(data.get_flag_value(-1), HOST_INTERNAL_ERROR);
    host_set_message_stream(&std::cerr);
}

TEST_F(HOST_DESIGN_TEST, EntriesListRelatedEntriesAfterTheirPrimary)
{
    HOST_DESIGN design;
    design.add_output(design.add_atom("a", HOST_ATOM_KIND::LCELL), "top|u1|a", 0, false);
    HOST_INPUT_FILE_MANAGER* manager = design.input_files();
    BIG_TIME start(1000), end(9000);
    HOST_INPUT_FILE_DATA* first = manager->add_entry("a.vcd", nullptr, &start, &end);
    HOST_INPUT_FILE_DATA* second = manager->add_entry("b.vcd", design.find_instance("top"), nullptr, nullptr);
    HOST_INPUT_FILE_DATA* again = manager->add_related_entry(first, design.find_instance("top|u1"));

    EXPECT_EQ(first->get_id(), 1);
    EXPECT_EQ(second->get_id(), 2);
    EXPECT_EQ(again->get_id(), 3);
    EXPECT_EQ(first->get_hierarchy_instance(), design.root());
    EXPECT_EQ(again->get_file_name(), "a.vcd");
    ASSERT_NE(again->get_end_time(), nullptr);
    EXPECT_EQ(again->get_end_time()->get_storage_number(), 9000);
    EXPECT_EQ(second->get_start_time(), nullptr);

    std::vector<PUTIL_INPUT_FILE_DATA*> list;
    manager->get_waveform_input_entries(0, list);
    EXPECT_EQ(list, (std::vector<PUTIL_INPUT_FILE_DATA*>{first, second}));
    manager->get_waveform_input_entries(1, list);
    EXPECT_TRUE(list.empty());
    manager->get_related_entries(first, list);
    EXPECT_EQ(list, (std::vector<PUTIL_INPUT_FILE_DATA*>{first, again}));
    manager->get_related_entries(again, list);
    EXPECT_EQ(list, (std::vector<PUTIL_INPUT_FILE_DATA*>{again, first}));
    manager->get_related_entries(second, list);
    EXPECT_EQ(list, (std::vector<PUTIL_INPUT_FILE_DATA*>{second}));
    EXPECT_EQ(manager->get_input_file_data(3), again);
    EXPECT_EQ(manager->get_input_file_data(0), nullptr);
    EXPECT_EQ(manager->get_input_file_data(4), nullptr);
    EXPECT_THROW(manager->add_related_entry(again, nullptr), HOST_INTERNAL_ERROR);
}

TEST_F(HOST_DESIGN_TEST, EntriesKeepWhatTheLibraryReports)
{
    HOST_DESIGN design;
    HOST_OTERM* out = design.add_output(design.add_atom("a", HOST_ATOM_KIND::LCELL), "a", 0, false);
    HOST_INPUT_FILE_MANAGER* manager = design.input_files();
    HOST_INPUT_FILE_DATA* entry = manager->add_entry("a.vcd", nullptr, nullptr, nullptr);
    EXPECT_FALSE(entry->has_toggle_percentage());
    entry->set_toggle_percentage(37.5f);
    entry->set_unknown_percentage(2.0f);
    manager->mark_oterm_annotated(entry, out);
    manager->mark_oterm_annotated(entry, out);
    EXPECT_TRUE(entry->has_toggle_percentage());
    EXPECT_EQ(entry->toggle_percentage(), 37.5f);
    EXPECT_EQ(entry->unknown_percentage(), 2.0f);
    EXPECT_EQ(entry->annotated_count(), 1u);
    EXPECT_TRUE(entry->is_annotated(out));
    HOST_DESIGN other;
    HOST_INPUT_FILE_DATA* foreign = other.input_files()->add_entry("x.vcd", nullptr, nullptr, nullptr);
    EXPECT_THROW(manager->mark_oterm_annotated(foreign, out), HOST_INTERNAL_ERROR);
}

struct MERGE_CASE {
    PUTIL_MERGE_MODE configured;
    std::uint16_t entry;
    std::uint16_t owner;
    int expected;
};

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

INSTANTIATE_TEST_SUITE_P(Modes, MERGE_MODE_TEST,
                         ::testing::Values(MERGE_CASE{PUTIL_MERGE_KEEP, 2, 0, PUTIL_MERGE_REPLACE},
                                           MERGE_CASE{PUTIL_MERGE_KEEP, 2, 2, PUTIL_MERGE_REPLACE},
                                           MERGE_CASE{PUTIL_MERGE_KEEP, 2, 1, PUTIL_MERGE_KEEP},
                                           MERGE_CASE{PUTIL_MERGE_ADD, 1, 3, PUTIL_MERGE_ADD},
                                           MERGE_CASE{PUTIL_MERGE_ADD, 3, 3, PUTIL_MERGE_REPLACE},
                                           MERGE_CASE{PUTIL_MERGE_REPLACE, 2, 1, PUTIL_MERGE_REPLACE}));

TEST_F(HOST_DESIGN_TEST, EstimatorNeedsACurrentDesignAndPrefersTheFixedWidth)
{
    EXPECT_EQ(TIM_ADVANCED_ESTIMATOR::create_advanced_estimator(MEM_MANAGER::get_default_segment(), false), nullptr);
    HOST_DESIGN design;
    HOST_ATOM* driver = design.add_atom("d", HOST_ATOM_KIND::LCELL_COMB);
    HOST_ATOM* sink = design.add_atom("s", HOST_ATOM_KIND::LCELL_FF);
    HOST_OTERM* out = design.add_output(driver, "d", 0, false);
    HOST_ITERM* slow = design.add_input(sink, 0, out, false, 120);
    HOST_ITERM* unknown = design.add_input(sink, 1, out);
    host_set_current_design(&design);
    std::size_t blocks = host_memory_live_blocks("HOST");
    TIM_ADVANCED_ESTIMATOR* estimator =
        TIM_ADVANCED_ESTIMATOR::create_advanced_estimator(MEM_MANAGER::get_default_segment(), false);
    ASSERT_NE(estimator, nullptr);
    EXPECT_EQ(host_memory_live_blocks("HOST"), blocks + 1);
    EXPECT_EQ(estimator->estimate_delay(out, slow), 120);
    EXPECT_EQ(estimator->estimate_delay(out, unknown), 0);
    design.set_fixed_glitch_width(500);
    EXPECT_EQ(estimator->estimate_delay(out, slow), 500);
    design.set_fixed_glitch_width(-1);
    EXPECT_EQ(estimator->estimate_delay(out, unknown), 0);
    TIM_ADVANCED_ESTIMATOR::destroy_advanced_estimator(estimator);
    EXPECT_EQ(host_memory_live_blocks("HOST"), blocks);
}

TEST_F(HOST_DESIGN_TEST, FacadeReachesTheDatabasesOfItsDesign)
{
    HOST_DESIGN design("counter");
    EXPECT_EQ(putil_lib_get_cmp_facade(), nullptr);
    host_set_current_design(&design);
    CMP_FACADE* facade = putil_lib_get_cmp_facade();
    ASSERT_EQ(facade, design.facade());
    EXPECT_STREQ(facade->get_name_text(), "counter");
    HDB_CMP_ACTION_PT_INSTANCE* instance = facade->get_action_point_instance();
    EXPECT_EQ(instance->get_m_rooted_at(), design.root());
    CDB_DB_ENTRIES* entries = CDB_CMP_ENTRY::get_db_entries(instance);
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(entries->get_chip_db_entry()->get_atom_netlist(), design.netlist());
    EXPECT_EQ(entries->get_hierarchy_db_entry()->get_atom_hierarchy_list()->root(), design.root());
    EXPECT_EQ(CDB_CMP_ENTRY::get_db_entries(nullptr), nullptr);
    {
        HOST_DESIGN temporary;
        host_set_current_design(&temporary);
    }
    EXPECT_EQ(host_current_design(), nullptr);
}

TEST_F(HOST_DESIGN_TEST, ParametersAndPowerMembershipOfTheCurrentDesign)
{
    HOST_DESIGN design;
    HOST_ATOM* pll = design.add_atom("pll", HOST_ATOM_KIND::PLL);
    HOST_ATOM* off = design.add_atom("off", HOST_ATOM_KIND::LCELL);
    HOST_OTERM* clk = design.add_output(pll, "pll|_clk0", 0, false);
    HOST_OTERM* dead = design.add_output(off, "off", 0, false);
    HOST_ITERM* sink = design.add_input(off, 0, clk);
    design.set_atom_parameter(pll, 12, 3);
    design.set_atom_parameter(pll, 13, 5000000000LL);
    design.set_power_valid(off, false);

    int value = -1;
    bool flag = false;
    long long time = -1;
    cga_current_interface()->get_int_parameter(pll, 12, value);
    EXPECT_EQ(value, -1);  // no current design: every parameter is absent
    host_set_current_design(&design);
    cga_current_interface()->get_enum_parameter(pll, 12, value);
    cga_current_interface()->get_bool_parameter(pll, 12, flag);
    cga_current_interface()->get_time_parameter(pll, 13, time);
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(flag);
    EXPECT_EQ(time, 5000000000LL);
    cga_current_interface()->get_int_parameter(pll, 99, value);
    EXPECT_EQ(value, 3);

    EXPECT_TRUE(putil_is_valid_power_atom(pll));
    EXPECT_FALSE(putil_is_valid_power_atom(off));
    EXPECT_FALSE(putil_is_valid_power_atom(nullptr));
    EXPECT_FALSE(putil_is_valid_power_term(sink));
    EXPECT_TRUE(putil_is_valid_power_term(clk, false));
    EXPECT_FALSE(putil_is_valid_power_term(dead, true));
}

TEST_F(HOST_DESIGN_TEST, SimulationToolIsNoneUntilSet)
{
    HOST_DESIGN design;
    TSET_UTIL tools(design.facade()->get_action_point_instance());
    EXPECT_TRUE(tools.get_tool(HOST_TOOL_CATEGORY_SIMULATION)->is_none());
    design.set_eda_tool_setting(996, 334);
    design.set_eda_tool_setting(979, 1);
    design.set_eda_tool(3);
    TSET_TOOL* tool = tools.get_tool(HOST_TOOL_CATEGORY_SIMULATION);
    EXPECT_FALSE(tool->is_none());
    EXPECT_EQ(tool->get_eda_netlist_type(), 3);
    EXPECT_EQ(tool->get_enum_value(996), 334);
    EXPECT_TRUE(tool->get_bool_value(979));
    EXPECT_FALSE(tool->get_bool_value(976));
    EXPECT_TRUE(tools.get_tool(1)->is_none());
    EXPECT_TRUE(TSET_UTIL(nullptr).get_tool(HOST_TOOL_CATEGORY_SIMULATION)->is_none());
}

class BUILDER_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        m_pin = m_design.add_atom("clk_pin", HOST_ATOM_KIND::CLOCK_PIN);
        m_clk = m_design.add_output(m_pin, "clk", CDB_PORT_TYPE_PIN_CLKOUT, false);
        m_pad = m_design.add_atom("pad", HOST_ATOM_KIND::IO_PAD);
        m_design.set_eda_pin_name(m_pad, "data_out");
        m_ff = m_design.add_atom("ff", HOST_ATOM_KIND::LCELL_FF);
        m_q = m_design.add_output(m_ff, "top|u1|q", 0, true);
        m_reg = m_design.add_output(m_ff, "top|u1|q~reg[3]", 0, true);
        m_renamed = m_design.add_output(m_ff, "top|u2|x", 0, false);
        m_design.set_eda_name(m_renamed, "top/core/u2/x");
    }

    HOST_DESIGN m_design;
    HOST_ATOM* m_pin = nullptr;
    HOST_OTERM* m_clk = nullptr;
    HOST_ATOM* m_pad = nullptr;
    HOST_ATOM* m_ff = nullptr;
    HOST_OTERM* m_q = nullptr;
    HOST_OTERM* m_reg = nullptr;
    HOST_OTERM* m_renamed = nullptr;
};

TEST_F(BUILDER_TEST, RecordsItsConstructionArguments)
{
    WSC_HIERARCHY_BUILDER builder(m_design.facade(), "counter", m_design.netlist(), nullptr, 9, true, true, false,
                                  true, false, false);
    EXPECT_EQ(host_hierarchy_builders_made(), 1u);
    const HOST_HIERARCHY_BUILDER_ARGUMENTS& arguments = host_hierarchy_builder_arguments(builder);
    EXPECT_EQ(arguments.facade, m_design.facade());
    EXPECT_EQ(arguments.name_text, "counter");
    EXPECT_EQ(arguments.netlist_type, 9);
    EXPECT_TRUE(arguments.flat);
    EXPECT_TRUE(arguments.flag1);
    EXPECT_FALSE(arguments.flag2);
    EXPECT_TRUE(arguments.flag3);
    EXPECT_FALSE(arguments.flag4);
    EXPECT_FALSE(arguments.verbose);
    ASSERT_NE(host_last_hierarchy_builder_arguments(), nullptr);
    EXPECT_EQ(host_last_hierarchy_builder_arguments()->netlist_type, 9);
    EXPECT_FALSE(builder.is_built_successfully());
    builder.build();
    EXPECT_TRUE(builder.is_built_successfully());
}

TEST_F(BUILDER_TEST, NamesSignalsAndPins)
{
    WSC_HIERARCHY_BUILDER builder(m_design.facade(), "counter", m_design.netlist(), nullptr, 3, true, false, false,
                                  false, false, false);
    builder.build();
    std::string name;
    ASSERT_TRUE(builder.get_signal_hierarchical_name(m_q, name, "/", true));
    EXPECT_EQ(name, "top/u1/q");
    ASSERT_TRUE(builder.get_signal_hierarchical_name(m_q, name, ".", false));
    EXPECT_EQ(name, "top.u1.q");
    ASSERT_TRUE(builder.get_signal_hierarchical_name(m_reg, name, "/", true));
    EXPECT_EQ(name, "\\top/u1/q~reg [3]");
    ASSERT_TRUE(builder.get_signal_hierarchical_name(m_reg, name, "/", false));
    EXPECT_EQ(name, "top/u1/q~reg[3]");
    ASSERT_TRUE(builder.get_signal_hierarchical_name(m_renamed, name, "/", true));
    EXPECT_EQ(name, "top/core/u2/x");
    HOST_DESIGN other;
    HOST_OTERM* foreign = other.add_output(other.add_atom("x", HOST_ATOM_KIND::LCELL), "x", 0, false);
    EXPECT_FALSE(builder.get_signal_hierarchical_name(foreign, name, "/", true));

    EXPECT_NE(builder.find_atom_info(m_pin), nullptr);
    EXPECT_EQ(builder.get_pin_name(m_pin), "clk_pin");
    EXPECT_EQ(builder.get_pin_name(m_pad), "data_out");
    EXPECT_EQ(builder.find_atom_info(m_ff), nullptr);
    EXPECT_EQ(builder.get_pin_name(m_ff), "");
}

struct PATH_CASE {
    const char* name;
    const char* separator;
    bool valid;
};

class BUILDER_PATH_TEST : public BUILDER_TEST, public ::testing::WithParamInterface<PATH_CASE> {};

TEST_P(BUILDER_PATH_TEST, InstancePathsAreProperPrefixesOfSignalNames)
{
    WSC_HIERARCHY_BUILDER builder(m_design.facade(), "counter", m_design.netlist(), nullptr, 3, true, false, false,
                                  false, false, false);
    builder.build();
    EXPECT_EQ(builder.is_valid_hierarchy_name(GetParam().name, GetParam().separator), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Paths, BUILDER_PATH_TEST,
                         ::testing::Values(PATH_CASE{"top/", "/", true}, PATH_CASE{"top/u1/", "/", true},
                                           PATH_CASE{"top/core/u2/", "/", true}, PATH_CASE{"top.u1.", ".", true},
                                           PATH_CASE{"top/u1/q/", "/", false}, PATH_CASE{"top/u2/", "/", false},
                                           PATH_CASE{"top", "/", false}, PATH_CASE{"clk/", "/", false},
                                           PATH_CASE{"", "/", false}));

struct ESCAPE_CASE {
    const char* name;
    const char* expected;
};

class ESCAPE_TEST : public ::testing::TestWithParam<ESCAPE_CASE> {};

TEST_P(ESCAPE_TEST, EscapesNamesThatAreNotPlainIdentifiers)
{
    EXPECT_EQ(host_escape_eda_name(GetParam().name, "/"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, ESCAPE_TEST,
                         ::testing::Values(ESCAPE_CASE{"top/u1/q", "top/u1/q"}, ESCAPE_CASE{"a/b[12]", "a/b[12]"},
                                           ESCAPE_CASE{"a/q~reg0", "\\a/q~reg0 "}, ESCAPE_CASE{"a/b[x]", "\\a/b[x] "},
                                           ESCAPE_CASE{"u1/3state", "\\u1/3state "},
                                           ESCAPE_CASE{"$root/_x", "$root/_x"}));

}  // namespace
