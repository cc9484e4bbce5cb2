// Toggle energies read from CSV text, one clear error line for each kind of mistake; and which pin kinds are inputs.
#include "host_test_fixture.h"

namespace {

using HOST_TOGGLE_ENERGIES_TEST = HOST_TEST;

// Two terms of one path share its lines; the header, blank lines and CR line ends are skipped; a name may hold commas.
TEST_F(HOST_TOGGLE_ENERGIES_TEST, reads_energies_by_path)
{
    HOST_DESIGN design;
    HOST_ATOM* atom = design.add_atom("a", HOST_ATOM_KIND::LCELL_COMB);
    design.add_output(atom, "top|a", 0, false);
    design.add_output(atom, "top|a", 0, false);
    design.add_output(design.add_atom("b", HOST_ATOM_KIND::LCELL_COMB), "top|b,c", 0, false);
    PUTIL_TOGGLE_ENERGY_MAP energies;
    std::string error = "stale";
    ASSERT_TRUE(host_load_toggle_energies_text(
        design, "name,energy_type,energy\r\ntop|a,0,1e-12\r\n\n  \ntop|b,c, 10 , 2.5\ntop|a,-3,4\n", "e.csv", energies,
        error));
    EXPECT_EQ(error, "");
    const std::vector<std::pair<std::int32_t, double>> a = {{0, 1e-12}, {-3, 4.0}};
    EXPECT_EQ(energies, (PUTIL_TOGGLE_ENERGY_MAP{{0, a}, {1, a}, {2, {{10, 2.5}}}}));
}

struct ENERGY_ERROR_CASE {
    const char* name;
    std::string text;
    std::string error;   // after "e.csv:"
};
void PrintTo(const ENERGY_ERROR_CASE& row, std::ostream* out) { *out << row.name; }
class HOST_TOGGLE_ENERGIES_ERROR_TEST : public HOST_TEST, public ::testing::WithParamInterface<ENERGY_ERROR_CASE> {};

// The map keeps what it held: a file is taken whole or not at all.
TEST_P(HOST_TOGGLE_ENERGIES_ERROR_TEST, reports_where_and_what)
{
    HOST_DESIGN design;
    design.add_output(design.add_atom("a", HOST_ATOM_KIND::LCELL_COMB), "top|a", 0, false);
    const PUTIL_TOGGLE_ENERGY_MAP before = {{7, {{0, 1.0}}}};
    PUTIL_TOGGLE_ENERGY_MAP energies = before;
    std::string error;
    EXPECT_FALSE(host_load_toggle_energies_text(design, "top|a,0,1\n" + GetParam().text, "e.csv", energies, error));
    EXPECT_EQ(error, "e.csv:" + GetParam().error);
    EXPECT_EQ(energies, before);
}

const ENERGY_ERROR_CASE ENERGY_ERRORS[] = {
    {"too_few_fields", "top|a,1\n", "2: expected name,energy_type,energy"},
    {"header_not_first", "name,energy_type,energy\n", "2: energy type \"energy_type\" is not a 32-bit integer"},
    {"type_too_large", "top|a,2147483648,1\n", "2: energy type \"2147483648\" is not a 32-bit integer"},
    {"energy_not_a_number", "top|a,0,1e-12x\n", "2: energy \"1e-12x\" is not a finite number"},
    {"infinite_energy", "top|a,0,inf\n", "2: energy \"inf\" is not a finite number"},
    {"unknown_path", "top|z,0,1\n", "2: no output term has the path \"top|z\""},
};

INSTANTIATE_TEST_SUITE_P(LINES, HOST_TOGGLE_ENERGIES_ERROR_TEST, ::testing::ValuesIn(ENERGY_ERRORS), row_name);

// The pins that bring a signal into the device.
TEST_F(HOST_TOGGLE_ENERGIES_TEST, input_pin_kinds)
{
    const std::pair<const char*, bool> kinds[] = {{"input_pin", true}, {"clock_pin", true}, {"io_pad", true},
        {"bidir_pad", true}, {"output_pin", false}, {"lcell_comb", false}, {"pll", false}};
    HOST_DESIGN design;
    for (const auto& [name, input] : kinds) {
        HOST_ATOM_KIND kind = HOST_ATOM_KIND::OTHER;
        ASSERT_TRUE(host_atom_kind_from_name(name, kind));
        EXPECT_EQ(design.add_atom(name, kind)->is_input_pin_atom(), input) << name;
    }
}

}  // namespace
