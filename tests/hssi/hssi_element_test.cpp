// Transceiver elements: the type map, guarded typed data, links and power
// records, and the debug dump.
#include "hssi_test_support.h"

#include <functional>

#include "host/astr.h"
#include "host/dstr.h"

namespace {

using KEY = PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY;

std::vector<std::pair<int, int>> type_vector(const PUTIL_HSSI_ELEMENT_TYPE_MAP& element_types)
{
    std::vector<std::pair<int, int>> types;
    for (const KEY& key : element_types.get_element_phys_impl_vector())
        types.emplace_back(key.element, key.phys_impl);
    return types;
}

TEST_F(HSSI_TEST, types_are_numbered_by_first_appearance_with_each_kinds_wildcard_after_it)
{
    m_device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS,
                                    {{5, 1, 42}, {5, 2}, {6, 3}, {7}, {5, 1}, {8, 570}});
    m_element_types.create_element_type_map(m_device);
    const std::vector<std::pair<int, int>> expected = {{5, 1}, {5, 570}, {5, 2}, {6, 3}, {6, 570}, {8, 570}};
    EXPECT_EQ(type_vector(m_element_types), expected);
    EXPECT_EQ(m_element_types.get_num_element_types(), 6);
    EXPECT_EQ(m_element_types.get_hssi_element_type(KEY(6, 3)), 3);
    EXPECT_FALSE(m_element_types.element_phys_impl_key_exists(KEY(7, 570)));
    EXPECT_TRUE(m_element_types.hssi_element_type_exists(5));
    EXPECT_FALSE(m_element_types.hssi_element_type_exists(6));
    EXPECT_FALSE(m_element_types.hssi_element_type_exists(-1));
    putil_expect_internal_error("putil_hssi_element_type_map.cpp",
                                [&] { m_element_types.get_hssi_element_type(KEY(7, 1)); });
    putil_expect_internal_error("putil_hssi_element_type_map.cpp",
                                [&] {
                              KEY key;
                              m_element_types.get_element_phys_impl_key(key, 6);
                          });

    // The same family keeps its map, whatever its table says now; another
    // family renumbers.
    m_device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS, {{9, 9}});
    m_element_types.create_element_type_map(m_device);
    EXPECT_EQ(type_vector(m_element_types), expected);
    m_device->set_family(static_cast<DEV_FAMILY_ENUM>(TEST_FAMILY + 1));
    m_element_types.create_element_type_map(m_device);
    EXPECT_EQ(type_vector(m_element_types), (std::vector<std::pair<int, int>>{{9, 9}, {9, 570}}));
}

TEST_F(HSSI_TEST, families_with_named_strips_get_a_strip_type_per_named_implementation)
{
    std::vector<std::pair<int, int>> expected = {{PART, PART_IMPL_A}, {PART, 570}};
    for (int impl = 2; impl <= 570; ++impl) {
        if (dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(impl)).find("HSSI_STRIP") == std::string::npos)
            continue;
        expected.emplace_back(STRIP, impl);
        if (expected.size() == 3)
            expected.emplace_back(STRIP, 570);
    }
    ASSERT_GE(expected.size(), 5u) << "the host names at least two strip implementations";
    m_device->set_family(static_cast<DEV_FAMILY_ENUM>(8));
    m_device->set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS, {{PART, PART_IMPL_A}});
    m_element_types.create_element_type_map(m_device);
    EXPECT_EQ(type_vector(m_element_types), expected);
}

TEST_F(HSSI_TEST, a_family_without_the_element_table_is_an_internal_error)
{
    HOST_DESIGN bare;
    bare.device()->set_family(static_cast<DEV_FAMILY_ENUM>(TEST_FAMILY + 2));
    putil_expect_internal_error("putil_hssi_element_type_map.cpp",
                                [&] { PUTIL_HSSI_ELEMENT_TYPE_MAP().create_element_type_map(bare.device()); });
}

// One row per value kind: its keys' end and what each accessor does there.
struct KIND_ROW {
    const char* name;
    int end;
    std::function<void(PUTIL_HSSI_ELEMENT&, int)> set;
    std::function<void(PUTIL_HSSI_ELEMENT&, int)> get;
    std::function<bool(PUTIL_HSSI_ELEMENT&, int)> is_valid;
};

#define PUTIL_KIND_ROW(NAME, X, ENUM, VALUE)                                                             \
    KIND_ROW{NAME, ENUM##_END,                                                                           \
             [](PUTIL_HSSI_ELEMENT& e, int k) { e.set_##X##_data(static_cast<ENUM##_ENUM>(k), VALUE); }, \
             [](PUTIL_HSSI_ELEMENT& e, int k) { e.get_##X##_data(static_cast<ENUM##_ENUM>(k)); },        \
             [](PUTIL_HSSI_ELEMENT& e, int k) { return e.is_valid_##X##_enum(static_cast<ENUM##_ENUM>(k)); }}

const KIND_ROW KIND_ROWS[] = {
    PUTIL_KIND_ROW("int", int, DEV_POWER_HSSI_INT_DATA, 5),
    PUTIL_KIND_ROW("bool", bool, DEV_POWER_HSSI_BOOL_DATA, false),
    PUTIL_KIND_ROW("double", double, DEV_POWER_HSSI_DOUBLE_DATA, 0.5),
    PUTIL_KIND_ROW("enum", enum, DEV_POWER_HSSI_ENUM_DATA, 3),
    PUTIL_KIND_ROW("atom", atom, DEV_POWER_HSSI_ATOM_DATA, nullptr),
    PUTIL_KIND_ROW("iterm", iterm, DEV_POWER_HSSI_ITERM_DATA, nullptr),
    PUTIL_KIND_ROW("oterm", oterm, DEV_POWER_HSSI_OTERM_DATA, nullptr),
    KIND_ROW{"2d_int", DEV_POWER_HSSI_2D_INT_DATA_END,
             [](PUTIL_HSSI_ELEMENT& e, int k) {
                 e.append_2d_int_data(static_cast<DEV_POWER_HSSI_2D_INT_DATA_ENUM>(k), {1, 2});
             },
             [](PUTIL_HSSI_ELEMENT& e, int k) { e.get_2d_int_data(static_cast<DEV_POWER_HSSI_2D_INT_DATA_ENUM>(k)); },
             [](PUTIL_HSSI_ELEMENT& e, int k) {
                 return e.is_valid_2d_int_enum(static_cast<DEV_POWER_HSSI_2D_INT_DATA_ENUM>(k));
             }},
};

class HSSI_KIND_TEST : public HSSI_TEST, public ::testing::WithParamInterface<KIND_ROW> {};

// Every key of a kind starts invalid and unreadable, becomes valid when set
// (also to a zero value); the end key fails in all three accessors.
TEST_P(HSSI_KIND_TEST, keys_are_checked_for_range_and_validity)
{
    const KIND_ROW& row = GetParam();
    KEY key(STRIP, STRIP_IMPL);
    PUTIL_HSSI_ELEMENT element(m_element_types, m_device, 10, 0, key);
    for (int k = 0; k < row.end; ++k)
        EXPECT_FALSE(row.is_valid(element, k)) << k;
    const char* const ELEMENT = "putil_hssi_info.cpp";
    putil_expect_internal_error(ELEMENT, [&] { row.get(element, row.end - 1); });
    row.set(element, row.end - 1);
    EXPECT_TRUE(row.is_valid(element, row.end - 1));
    row.get(element, row.end - 1);
    putil_expect_internal_error(ELEMENT, [&] { row.set(element, row.end); });
    putil_expect_internal_error(ELEMENT, [&] { row.get(element, row.end); });
    putil_expect_internal_error(ELEMENT, [&] { row.is_valid(element, row.end); });
    putil_expect_internal_error(ELEMENT, [&] { row.is_valid(element, -1); });
}

INSTANTIATE_TEST_SUITE_P(KINDS, HSSI_KIND_TEST, ::testing::ValuesIn(KIND_ROWS), row_name);

TEST_F(HSSI_TEST, links_records_and_invalidation)
{
    KEY strip_key(STRIP, STRIP_IMPL), part_key(PART, PART_IMPL_A);
    PUTIL_HSSI_ELEMENT strip(m_element_types, m_device, 10, 0, strip_key);
    PUTIL_HSSI_ELEMENT part(m_element_types, m_device, 11, 1, part_key);
    PUTIL_HSSI_ELEMENT other(m_element_types, m_device, 12, 2, part_key);
    part.set_parent_element(&strip);
    part.add_child_element(&other);
    part.add_child_element(&other);   // nothing stops a second entry
    part.add_child_element(part_key.any_implementation(), &strip);
    part.add_associated_element(&strip);
    EXPECT_EQ(ids_of(part.get_child_elements()), (std::vector<int>{2, 2}));
    EXPECT_EQ(ids_of(part.get_child_elements(part_key)), (std::vector<int>{2, 2}));
    EXPECT_EQ(ids_of(part.get_child_elements(part_key.any_implementation())), (std::vector<int>{0}));
    EXPECT_EQ(ids_of(part.get_associated_elements(strip_key)), (std::vector<int>{0}));
    putil_expect_internal_error("putil_hssi_element_type_map.cpp",
                          [&] { part.get_child_elements(KEY(PART, UNMODELLED_IMPL)); });

    part.append_static_power(static_cast<DEV_POWER_SUPPLY_ENUM>(3), 2.0, 0.5, "a");
    part.append_static_power(static_cast<DEV_POWER_SUPPLY_ENUM>(3), 4.0, 1.0, "b");
    part.append_dynamic_energy(static_cast<DEV_POWER_SUPPLY_ENUM>(4), 1.0, 1.0, "c");
    ASSERT_EQ(part.get_static_power().at(3).size(), 2u);
    EXPECT_EQ(part.get_static_power().at(3)[1].name, "b");

    part.set_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX, 2);
    part.set_power_region_of_element(static_cast<DEV_POWER_REGION_ENUM>(2));
    PUTIL_HSSI_ELEMENT copy(part);
    part.invalidate_all_data();
    EXPECT_FALSE(part.is_valid_int_enum(DEV_POWER_HSSI_INT_BONDING_INDEX));
    EXPECT_TRUE(part.get_child_elements().empty());
    EXPECT_TRUE(part.get_child_elements(part_key).empty());
    EXPECT_EQ(part.get_parent_element(), &strip);
    EXPECT_EQ(part.get_power_region(), 2);
    EXPECT_EQ(part.get_static_power().at(3).size(), 2u);
    // The copy kept its own lists and values.
    EXPECT_EQ(copy.get_int_data(DEV_POWER_HSSI_INT_BONDING_INDEX), 2);
    EXPECT_EQ(ids_of(copy.get_child_elements()), (std::vector<int>{2, 2}));
    EXPECT_EQ(PUTIL_HSSI_ELEMENT(m_element_types, m_device, 10, 0, strip_key).get_power_region(),
              DEV_POWER_REGION_NONE);
}

std::string dump_of(const PUTIL_HSSI_ELEMENT& element, PUTIL_SA_DATA* sa_data, const std::string& path)
{
    {
        std::ofstream out(path);
        element.write_debug_info(&out, sa_data);
    }
    return putil_read_text(path);
}

std::string names_of(int kind, int impl)
{
    return dstr_get_debug_string(static_cast<DEV_ELEMENT_ENUM>(kind)) + "::" +
           dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(impl));
}

TEST_F(HSSI_TEST, dump_of_a_new_element_has_only_its_identity)
{
    KEY key(STRIP, STRIP_IMPL);
    PUTIL_HSSI_ELEMENT element(m_element_types, m_device, DEV_ILLEGAL_GLOBAL_ID, 4, key);
    EXPECT_EQ(dump_of(element, nullptr, m_folder + "/new.txt"),
              "ELEMENT_ID : 4\n{\n   GID = DEV_ILLEGAL_GLOBAL_ID\n   DEV_ELEMENT_ENUM = " +
                  dstr_get_debug_string(DEV_ELEMENT_HSSI_STRIP) + "\n   DEV_PHYS_IMPL_ENUM = " +
                  dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(STRIP_IMPL)) +
                  "\n\n\n\n\n\n\n   PARENT_ELEMENT = NULL\n\n}\n\n");
    std::ofstream closed;
    element.write_debug_info(&closed, nullptr);
    element.write_debug_info(nullptr, nullptr);
}

TEST_F(HSSI_TEST, dump_of_a_populated_element_names_every_value_and_link)
{
    add_test_blocks();
    PUTIL_HSSI_INFO model;
    model.build_hssi_info_from_device_database(m_device);
    PUTIL_HSSI_ELEMENT* strip = model.get_hssi_element_by_gid(10);
    strip->set_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, {{0, 900}, {24, 1000}});
    strip->append_static_power(static_cast<DEV_POWER_SUPPLY_ENUM>(0), 2.0, 3.0, "leakage");
    strip->append_static_power(static_cast<DEV_POWER_SUPPLY_ENUM>(0), 0.5, 2.0, "bias");
    strip->append_dynamic_energy(DEV_POWER_SUPPLY_VCCEHT, 1.5, 2.0, "serial");
    strip->set_double_data(static_cast<DEV_POWER_HSSI_DOUBLE_DATA_ENUM>(1), 2.5);
    strip->set_enum_data(static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(2), 6);

    std::string supply_row[2][2];
    const int supplies[2][2] = {{0, 900}, {24, 1000}};
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            astr_get_enum_data_debug_string(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, row, column,
                                            supplies[row][column], &supply_row[row][column]);
    std::string enum_value;
    astr_get_enum_data_debug_string(static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(2), 6, &enum_value);
    const auto name = [](auto key) { return "   " + astr_get_debug_string(key) + " = "; };
    const std::string expected =
        "ELEMENT_ID : 0\n{\n   GID = 10\n   DEV_ELEMENT_ENUM = " + dstr_get_debug_string(DEV_ELEMENT_HSSI_STRIP) +
        "\n   DEV_PHYS_IMPL_ENUM = " + dstr_get_debug_string(static_cast<DEV_PHYS_IMPL_ENUM>(STRIP_IMPL)) +
        "\n\n   DYNAMIC_ENERGY = { 0 3 }\n\n   DYNAMIC_POWER = { 0 0 }\n\n   STATIC_POWER = { 7 0 }\n\n" +
        name(DEV_POWER_HSSI_INT_LOCATION_X) + "1\n" + name(DEV_POWER_HSSI_INT_LOCATION_Y) + "0\n\n" +
        name(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES) + "{ { " + supply_row[0][0] + " " + supply_row[0][1] + " } { " +
        supply_row[1][0] + " " + supply_row[1][1] + " } }\n\n" +
        name(static_cast<DEV_POWER_HSSI_DOUBLE_DATA_ENUM>(1)) + "2.5\n\n" +
        name(static_cast<DEV_POWER_HSSI_ENUM_DATA_ENUM>(2)) + enum_value + "\n\n" +
        name(DEV_POWER_HSSI_BOOL_ELEMENT_BONDED) + "TRUE\n" + name(DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK) + "TRUE\n\n" +
        "   PARENT_ELEMENT = NULL\n\n   CHILD_ELEMENTS = { 1 3 4 }\n\n   CHILD_ELEMENTS_BY_TYPE\n   {\n      " +
        names_of(PART, PART_IMPL_A) + " = { 1 }\n      " + names_of(PART, 570) + " = { 1 3 }\n      " +
        names_of(PART, PART_IMPL_B) + " = { 3 }\n      " + names_of(TX_PLL, TX_PLL_IMPL) + " = { 4 }\n      " +
        names_of(TX_PLL, 570) + " = { 4 }\n   }\n\n   ASSOCIATED_ELEMENTS = { 1 3 4 }\n\n" +
        "   ASSOCIATED_ELEMENTS_BY_TYPE\n   {\n      " + names_of(PART, PART_IMPL_A) + " = { 1 }\n      " +
        names_of(PART, 570) + " = { 1 3 }\n      " + names_of(PART, PART_IMPL_B) + " = { 3 }\n      " +
        names_of(TX_PLL, TX_PLL_IMPL) + " = { 4 }\n      " + names_of(TX_PLL, 570) + " = { 4 }\n   }\n\n}\n\n";
    EXPECT_EQ(dump_of(*strip, nullptr, m_folder + "/strip.txt"), expected);

    strip->append_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, {1, 2, 3});
    putil_expect_internal_error("putil_hssi_info.cpp",
                          [&] { dump_of(*strip, nullptr, m_folder + "/bad.txt"); });
}

TEST_F(HSSI_TEST, dump_gives_the_input_terms_toggle_rate_and_its_dynamic_power)
{
    HOST_ATOM* source = m_design.add_atom("source", HOST_ATOM_KIND::OTHER);
    HOST_ATOM* block = m_design.add_atom("block", HOST_ATOM_KIND::OTHER);
    HOST_OTERM* in_signal = m_design.add_output(source, "in", 0, false);
    HOST_ITERM* input = m_design.add_input(block, 0, in_signal);
    HOST_OTERM* output = m_design.add_output(block, "out", 0, false);
    m_design.add_input(source, 0, output);
    m_design.store()->get_output_signal_data(in_signal)->set_toggle_rate(2.5e9f);
    m_design.store()->get_output_signal_data(output)->set_toggle_rate(1.0e6f);

    KEY key(STRIP, STRIP_IMPL);
    PUTIL_HSSI_ELEMENT element(m_element_types, m_device, 10, 0, key);
    element.set_2d_int_data(DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES, {{24, 1000}});
    element.append_dynamic_energy(DEV_POWER_SUPPLY_VCCEHT, 1.5, 2.0, "serial");
    element.set_oterm_data(static_cast<DEV_POWER_HSSI_OTERM_DATA_ENUM>(0), output);
    const std::string output_only = dump_of(element, m_design.store(), m_folder + "/out.txt");
    EXPECT_NE(output_only.find("\n   OUTPUT_TOGGLE_RATE = 1e+06\n   DYNAMIC_ENERGY = { 3 }\n\n"
                               "   DYNAMIC_POWER = { 3e+06 }\n"), std::string::npos) << output_only;
    element.set_iterm_data(static_cast<DEV_POWER_HSSI_ITERM_DATA_ENUM>(0), input);
    const std::string both = dump_of(element, m_design.store(), m_folder + "/both.txt");
    EXPECT_NE(both.find("\n   INPUT_TOGGLE_RATE = 2.5e+09\n"), std::string::npos) << both;
    EXPECT_NE(both.find("\n   DYNAMIC_POWER = { 7.5e+09 }\n"), std::string::npos) << both;
    EXPECT_NE(dump_of(element, nullptr, m_folder + "/none.txt").find("\n   DYNAMIC_POWER = { 0 }\n"),
              std::string::npos);
}

}   // namespace
