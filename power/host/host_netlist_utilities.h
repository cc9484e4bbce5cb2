// Reference host netlist utilities: the atom parameters that give a PLL's
// output factors, and the families that have pin companion atoms.
#pragma once

// The factors of a PLL output: output period = input period x divide /
// multiply. A clock output (port type 22) of port index i reads its
// multiply factor from parameter 100 + i and its divide factor from 200 + i;
// a second clock output (350) from 150 + i and 250 + i; i below 50.
constexpr int HOST_PLL_MULTIPLY_PARAMETER = 100;
constexpr int HOST_PLL_DIVIDE_PARAMETER = 200;
constexpr int HOST_PLL_SECOND_OUTPUT_OFFSET = 50;
constexpr int HOST_PLL_MAX_OUTPUT_INDEX = 49;

// The parameter numbers of an output's factors; false for an output that
// has none (another port type, an index out of range).
bool host_pll_factor_parameters(int port_type, int port_index, int& multiply, int& divide);

// Pins have companion atoms in every family but 0.
constexpr int HOST_FAMILY_WITHOUT_COMPANIONS = 0;
