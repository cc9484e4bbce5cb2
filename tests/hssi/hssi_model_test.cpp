// The transceiver model of a device: the element tree, bonded flags,
// element voltages and power regions.
#include "hssi_test_support.h"

#include "supplies/putil_power_supply_info.h"

namespace {

using KEY = PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY;

std::vector<unsigned> gids_of(const PUTIL_HSSI_ELEMENT::ELEMENT_LIST& elements)
{
    std::vector<unsigned> gids;
    for (const PUTIL_HSSI_ELEMENT* element : elements)
        gids.push_back(element->get_element_gid());
    return gids;
}

TEST_F(HSSI_TEST, the_tree_has_an_element_per_modelled_block_numbered_by_kind)
{
    add_test_blocks();
    PUTIL_HSSI_INFO model;
    for (int build = 0; build < 2; ++build) {
        model.build_hssi_info_from_device_database(m_device);
        EXPECT_EQ(gids_of(model.get_hssi_elements()), (std::vector<unsigned>{10, 11, 13, 14, 20, 30}));
        for (int id = 0; id < model.get_num_hssi_elements(); ++id)
            EXPECT_EQ(model.get_hssi_element(id)->get_element_id(), id);
    }
    EXPECT_FALSE(model.hssi_element_gid_exists(12));
    EXPECT_EQ(gids_of(model.get_hssi_elements_by_type(KEY(PART, 570))), (std::vector<unsigned>{11, 13, 14}));
    EXPECT_EQ(gids_of(model.get_hssi_elements_by_type(KEY(PART, PART_IMPL_B))), (std::vector<unsigned>{14}));
    EXPECT_EQ(model.get_hssi_element_by_type(KEY(PART, 570), 2)->get_element_gid(), 14u);
    putil_expect_internal_error("putil_hssi_info.cpp",
                          [&] { model.get_hssi_element_by_type(KEY(PART, 570), 3); });
    putil_expect_internal_error("putil_hssi_info.cpp",
                          [&] { model.get_hssi_element(6); });
    putil_expect_internal_error("putil_hssi_info.cpp", [&] { model.get_hssi_element_by_gid(12); });

    // Links: the parent first among the associations, then the children in
    // sibling order; a block under an unmodelled one has no parent.
    PUTIL_HSSI_ELEMENT* strip = model.get_hssi_element_by_gid(10);
    PUTIL_HSSI_ELEMENT* part = model.get_hssi_element_by_gid(11);
    EXPECT_EQ(gids_of(strip->get_child_elements()), (std::vector<unsigned>{11, 14, 20}));
    EXPECT_EQ(part->get_parent_element(), strip);
    EXPECT_EQ(gids_of(part->get_associated_elements()), (std::vector<unsigned>{10}));
    EXPECT_EQ(gids_of(part->get_associated_elements(KEY(STRIP, 570))), (std::vector<unsigned>{10}));
    EXPECT_EQ(model.get_hssi_element_by_gid(13)->get_parent_element(), nullptr);
    EXPECT_TRUE(model.get_hssi_element_by_gid(13)->get_associated_elements().empty());

    // Defaults: location, pad data, bonded from the enabled gids, and every
    // block a transceiver block for the host.
    EXPECT_EQ(part->get_int_data(DEV_POWER_HSSI_INT_LOCATION_X), 1);
    EXPECT_EQ(part->get_int_data(DEV_POWER_HSSI_INT_LOCATION_Y), 1);
    EXPECT_EQ(part->get_int_data(DEV_POWER_HSSI_INT_PAD_DATA), 77);
    EXPECT_FALSE(strip->is_valid_int_enum(DEV_POWER_HSSI_INT_PAD_DATA));
    EXPECT_TRUE(part->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED));
    EXPECT_FALSE(model.get_hssi_element_by_gid(14)->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED));
    for (unsigned gid : {10u, 11u, 13u, 14u, 20u, 30u}) {
        EXPECT_TRUE(model.get_hssi_element_by_gid(gid)->get_bool_data(DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK));
        EXPECT_TRUE(m_device->is_hssi_gid(gid)) << gid;
    }
    EXPECT_FALSE(m_device->is_hssi_gid(12));
}

// Each model numbers the types of its own device family: a second model,
// built for another family whose table lists the kinds in the opposite
// order, leaves the first model's lists and lookups as they were.
TEST_F(HSSI_TEST, models_of_two_families_keep_their_own_type_numbers)
{
    add_test_blocks();
    PUTIL_HSSI_INFO first;
    first.build_hssi_info_from_device_database(m_device);
    m_device->set_family(static_cast<DEV_FAMILY_ENUM>(TEST_FAMILY + 1));
    m_device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS,
                                    {{GENERAL_PLL, PLL_IMPL}, {TX_PLL, TX_PLL_IMPL}, {PART, PART_IMPL_B},
                                     {PART, PART_IMPL_A}, {STRIP, STRIP_IMPL}});
    PUTIL_HSSI_INFO second;
    second.build_hssi_info_from_device_database(m_device);

    EXPECT_EQ(first.get_element_types().get_hssi_element_type(KEY(STRIP, STRIP_IMPL)), 0);
    EXPECT_EQ(second.get_element_types().get_hssi_element_type(KEY(STRIP, STRIP_IMPL)), 7);
    EXPECT_EQ(gids_of(second.get_hssi_elements()), (std::vector<unsigned>{30, 20, 11, 13, 14, 10}));
    for (PUTIL_HSSI_INFO* model : {&first, &second}) {
        EXPECT_EQ(gids_of(model->get_hssi_elements_by_type(KEY(PART, 570))), (std::vector<unsigned>{11, 13, 14}));
        EXPECT_EQ(gids_of(model->get_hssi_elements_by_type(KEY(PART, PART_IMPL_B))), (std::vector<unsigned>{14}));
        PUTIL_HSSI_ELEMENT* part = model->get_hssi_element_by_gid(11);
        EXPECT_EQ(gids_of(part->get_associated_elements(KEY(STRIP, 570))), (std::vector<unsigned>{10}));
        KEY key;
        part->get_element_phys_impl_type(key);
        EXPECT_EQ(key, KEY(PART, PART_IMPL_A));
    }
}

TEST_F(HSSI_TEST, an_implementation_listed_as_the_wildcard_is_filed_twice_under_it)
{
    m_device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS, {{STRIP, 570}});
    add(10, STRIP, 570, 0, 0);
    PUTIL_HSSI_INFO model;
    model.build_hssi_info_from_device_database(m_device);
    EXPECT_EQ(gids_of(model.get_hssi_elements_by_type(KEY(STRIP, 570))), (std::vector<unsigned>{10, 10}));
}

TEST_F(HSSI_TEST, a_device_without_transceiver_blocks_gives_an_empty_model)
{
    m_device->set_die_width(4);
    PUTIL_HSSI_INFO model;
    model.build_hssi_info_from_device_database(m_device);
    EXPECT_EQ(model.get_num_hssi_elements(), 0);
    EXPECT_EQ(model.get_num_hssi_elements_by_type(KEY(TX_PLL, 570)), 0);
}

TEST_F(HSSI_TEST, the_build_needs_a_loaded_placement_view)
{
    PUTIL_HSSI_INFO model;
    putil_expect_internal_error("putil_hssi_info.cpp", [&] { model.build_hssi_info_from_device_database(nullptr); });
    putil_expect_internal_error("putil_hssi_info.cpp", [&] { model.build_hssi_info_from_device_database(m_device); });
    add_test_blocks();
    m_device->set_place_data_loaded(false);
    putil_expect_internal_error("putil_hssi_info.cpp",
                          [&] { model.build_hssi_info_from_device_database(m_device); });
}

// A model that exposes the steps the families share.
class EXPOSED_HSSI_INFO : public PUTIL_HSSI_INFO {
public:
    using PUTIL_HSSI_INFO::set_power_region_of_elements_by_die_half;
    using PUTIL_HSSI_INFO::set_up_hssi_element_voltage_data;
};

TEST_F(HSSI_TEST, die_halves_give_regions_one_and_two)
{
    for (int width : {10, 9}) {
        HOST_DESIGN design;
        host_set_current_design(&design);
        HOST_DEVICE* device = design.device();
        device->set_family(static_cast<DEV_FAMILY_ENUM>(TEST_FAMILY));
        device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS, {{PART, PART_IMPL_A}});
        device->set_die_width(width);
        for (int x = 0; x < width; ++x)
            device->add_block(static_cast<unsigned>(x), static_cast<DEV_ELEMENT_ENUM>(PART),
                              static_cast<DEV_PHYS_IMPL_ENUM>(PART_IMPL_A), x, 0);
        EXPOSED_HSSI_INFO model;
        model.build_hssi_info_from_device_database(device);
        model.set_power_region_of_elements_by_die_half();
        std::vector<int> regions;
        for (PUTIL_HSSI_ELEMENT* element : model.get_hssi_elements())
            regions.push_back(element->get_power_region());
        const std::vector<int> expected = width == 10 ? std::vector<int>{1, 1, 1, 1, 1, 2, 2, 2, 2, 2}
                                                      : std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 2};
        EXPECT_EQ(regions, expected) << width;
    }
}

TEST_F(HSSI_TEST, voltages_come_from_the_supply_table_or_the_blocks_vcceht_setting)
{
    const auto supply = [](int s) { return static_cast<DEV_POWER_SUPPLY_ENUM>(s); };
    const auto region = [](int r) { return static_cast<DEV_POWER_REGION_ENUM>(r); };
    // A device of a family with built-in supply tables.
    m_device->set_family(static_cast<DEV_FAMILY_ENUM>(50));
    m_device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS, {{397, 1}, {587, 1}});
    add(40, 397, 1, 0, 0);
    add(41, 587, 1, 1, 0, 40);
    m_device->set_block_supplies(40, {supply(0), supply(24)});
    m_device->set_voltage_millivolts(static_cast<DEV_VOLTAGE_ENUM>(5), 1100);
    PUTIL_POWER_SUPPLY_INFO supplies;
    supplies.cache_power_supply_data(m_device);
    supplies.set_gid_power_region(40, supply(24), region(2));

    EXPOSED_HSSI_INFO model;
    model.set_power_supply_info(&supplies);
    model.build_hssi_info_from_device_database(m_device);
    PUTIL_HSSI_ELEMENT* quad = model.get_hssi_element_by_gid(40);
    PUTIL_HSSI_ELEMENT* cmu = model.get_hssi_element_by_gid(41);
    model.set_up_hssi_element_voltage_data(quad);
    model.set_up_hssi_element_voltage_data(cmu);
    EXPECT_EQ(quad->get_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES),
              (PUTIL_HSSI_ELEMENT::INT_TABLE{{0, 900}, {24, 0}}));
    EXPECT_FALSE(cmu->is_valid_2d_int_enum(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES));
    EXPECT_EQ(quad->get_voltage(supply(0)), 900);

    quad->set_enum_data(DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE, 5);
    model.set_up_hssi_element_voltage_data(quad);
    EXPECT_EQ(quad->get_voltage(DEV_POWER_SUPPLY_VCCEHT), 1100);
    quad->set_enum_data(DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE, 999);
    putil_expect_internal_error("putil_hssi_info.cpp",
                          [&] { model.set_up_hssi_element_voltage_data(quad); });

    // A missing supply or table stops the run, except in a customer release.
    quad->append_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, {7, 800, 1});
    putil_expect_internal_error("putil_hssi_info.cpp", [&] { quad->get_voltage(supply(7)); });
    putil_expect_internal_error("putil_hssi_info.cpp",
                          [&] { cmu->get_voltage(supply(0)); });
    host_set_customer_release(true);
    EXPECT_EQ(quad->get_voltage(supply(7)), 0);
    EXPECT_EQ(cmu->get_voltage(supply(0)), 0);
    host_set_customer_release(false);
}

TEST_F(HSSI_TEST, a_region_comes_from_the_host_then_region_zero_then_the_element)
{
    const auto supply = [](int s) { return static_cast<DEV_POWER_SUPPLY_ENUM>(s); };
    add_test_blocks();
    m_device->set_power_supply_regions(supply(3), {1, 2});
    m_device->set_power_supply_regions(supply(4), {0, 1});
    m_device->set_block_power_region(11, supply(3), static_cast<DEV_POWER_REGION_ENUM>(7));
    PUTIL_HSSI_INFO model;
    model.build_hssi_info_from_device_database(m_device);
    PUTIL_HSSI_ELEMENT* part = model.get_hssi_element_by_gid(11);
    EXPECT_EQ(part->get_power_region_of_element(11, supply(3)), 7);
    EXPECT_EQ(part->get_power_region_of_element(13, supply(4)), 0);
    EXPECT_EQ(part->get_power_region_of_element(13, supply(3)), DEV_POWER_REGION_NONE);
    part->set_power_region_of_element(static_cast<DEV_POWER_REGION_ENUM>(2));
    EXPECT_EQ(part->get_power_region_of_element(13, supply(3)), 2);
    putil_expect_internal_error("putil_hssi_info.cpp", [&] { part->get_power_region_of_element(13, supply(5)); });
}

// A model whose capture marks every block an atom is placed on as used, and
// that exposes the bonding walk.
class CAPTURING_HSSI_INFO : public PUTIL_HSSI_INFO {
public:
    void fill_in_hssi_info_from_cdb_atom(PUTIL_HSSI_ELEMENT* hssi_element, CDB_ATOM_NODE* cdb_atom) override
    {
        fill_in_hssi_info_from_cdb_atom_io(hssi_element, cdb_atom);
    }
    using PUTIL_HSSI_INFO::set_bonding_index_on_fanout;
};

class HSSI_NETLIST_TEST : public HSSI_TEST {
protected:
    // An atom on gid (DEV_ILLEGAL_GLOBAL_ID: unplaced) with the given roles.
    HOST_ATOM* atom(const std::string& name, unsigned gid, std::initializer_list<HOST_ATOM_FLAG> flags = {})
    {
        HOST_ATOM* a = m_design.add_atom(name, HOST_ATOM_KIND::OTHER);
        m_design.set_atom_location(a, gid);
        for (HOST_ATOM_FLAG flag : flags)
            m_design.set_atom_flag(a, flag, true);
        return a;
    }
    HOST_OTERM* output(HOST_ATOM* a, const std::string& name, int usage)
    {
        return m_design.add_output(a, name, usage, false);
    }
    void drive(HOST_OTERM* source, std::initializer_list<HOST_ATOM*> sinks)
    {
        for (HOST_ATOM* sink : sinks)
            m_design.add_input(sink, 0, source);
    }
    int index_of(CAPTURING_HSSI_INFO& model, unsigned gid)
    {
        PUTIL_HSSI_ELEMENT* element = model.get_hssi_element_by_gid(gid);
        return element->is_valid_int_enum(DEV_POWER_HSSI_INT_BONDING_INDEX)
                   ? element->get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX)
                   : -1;
    }
};

TEST_F(HSSI_NETLIST_TEST, a_general_pll_counts_only_when_its_clock_drives_a_transceiver_block)
{
    add_test_blocks();
    add(31, GENERAL_PLL, PLL_IMPL, 9, 3);
    add(32, GENERAL_PLL, PLL_IMPL, 9, 4);
    HOST_ATOM* serving = atom("serving", 30);
    HOST_ATOM* feeding_plls = atom("feeding_plls", 31);
    HOST_ATOM* unconnected = atom("unconnected", 32);
    drive(output(serving, "serving_clk", DB_OPORT_CLKOUT), {feeding_plls, atom("part", 11)});
    drive(output(feeding_plls, "feeding_clk", DB_OPORT_CLKOUT), {unconnected});
    output(unconnected, "unconnected_clk", DB_OPORT_CLKOUT);

    CAPTURING_HSSI_INFO model;
    model.build_hssi_info_from_device_database(m_device);
    model.fill_in_hssi_info_from_cdb_atom_netlist(m_design.netlist(), m_design.store());
    EXPECT_TRUE(model.get_hssi_element_by_gid(11)->get_bool_data(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED));
    EXPECT_FALSE(model.get_hssi_element_by_gid(13)->is_valid_bool_enum(DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED));
    // The transceiver PLL counts unused; of the general PLLs only the one
    // that drives a transceiver block does.
    for (const auto& [gid, counts] : std::vector<std::pair<unsigned, bool>>{{20, true}, {30, true}, {31, false}, {32, false}}) {
        EXPECT_EQ(model.get_hssi_element_by_gid(gid)->get_bool_data(DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK), counts) << gid;
        EXPECT_EQ(m_device->is_hssi_gid(gid), counts) << gid;
    }

    putil_expect_internal_error("putil_hssi_info.cpp",
                          [&] { model.fill_in_hssi_info_from_cdb_atom_netlist(m_design.netlist(), nullptr); });
}

TEST_F(HSSI_NETLIST_TEST, bonding_indices_follow_the_clock_through_relaying_atoms)
{
    add_test_blocks();
    HOST_ATOM* source = atom("source", DEV_ILLEGAL_GLOBAL_ID);
    HOST_ATOM* relay = atom("relay", DEV_ILLEGAL_GLOBAL_ID, {HOST_ATOM_BONDING_MULTI_OUTPUT});
    // Exempt, yet it relays through its clock output as a PLL.
    HOST_ATOM* exempt_pll = atom("exempt_pll", 20, {HOST_ATOM_BONDING_PLL, HOST_ATOM_BONDING_INDEX_EXEMPT});
    HOST_ATOM* loop_a = atom("loop_a", DEV_ILLEGAL_GLOBAL_ID, {HOST_ATOM_BONDING_SECONDARY});
    HOST_ATOM* loop_b = atom("loop_b", DEV_ILLEGAL_GLOBAL_ID, {HOST_ATOM_BONDING_MULTI_OUTPUT});
    HOST_OTERM* clock = output(source, "clock", 3);
    drive(clock, {atom("direct", 11), relay, exempt_pll, loop_a});
    drive(output(relay, "bonding_clock", 385), {atom("through_relay", 14)});
    drive(output(relay, "other_clock", 9), {atom("not_a_bonding_output", 13)});
    drive(output(exempt_pll, "pll_clock", DB_OPORT_CLKOUT), {atom("through_pll", 10)});
    drive(output(loop_a, "loop_a_clock", 669), {loop_b});
    drive(output(loop_b, "loop_b_clock", 4617), {loop_a, atom("after_loop", 30)});
    HOST_ATOM* second_source = atom("second_source", DEV_ILLEGAL_GLOBAL_ID);
    HOST_OTERM* second_clock = output(second_source, "second_clock", 3);
    drive(second_clock, {atom("also_relay_target", 14)});

    CAPTURING_HSSI_INFO model;
    model.build_hssi_info_from_device_database(m_device);
    model.fill_in_hssi_info_from_cdb_atom_netlist(m_design.netlist(), m_design.store());
    model.set_bonding_index_on_fanout(clock, 1);
    EXPECT_EQ(index_of(model, 11), 1);
    EXPECT_EQ(index_of(model, 14), 1);
    EXPECT_EQ(index_of(model, 13), -1);
    EXPECT_EQ(index_of(model, 20), -1);
    EXPECT_EQ(index_of(model, 10), 1);
    EXPECT_EQ(index_of(model, 30), 1);
    // The walk walked last sets the index of a block both reach.
    model.set_bonding_index_on_fanout(second_clock, 2);
    EXPECT_EQ(index_of(model, 14), 2);
    model.set_bonding_index_on_fanout(clock, 3);
    EXPECT_EQ(index_of(model, 14), 3);
    EXPECT_EQ(index_of(model, 30), 3);
}

}   // namespace
