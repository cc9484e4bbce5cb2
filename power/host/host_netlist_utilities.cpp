// Reference host netlist utilities: pin companion atoms, wire LUTs, PLL
// output periods and transceiver transmit paths, answered from what the
// design file or the builders set.
#include "host_netlist_utilities.h"

#include <climits>
#include <cmath>

#include "host/cut.h"
#include "host/tdb.h"
#include "host_atom.h"
#include "host_atom_parameters.h"
#include "host_memory.h"
#include "host_netlist.h"

namespace {

class HOST_ATOM_IO_UTIL final : public CUT_ATOM_IO, public HOST_HEAP_OBJECT {
public:
    bool has_companion_atom(const CDB_ATOM_NODE* pin) const override { return get_companion_atom(pin) != nullptr; }

    CDB_ATOM_NODE* get_companion_atom(const CDB_ATOM_NODE* pin) const override
    {
        const HOST_ATOM* atom = dynamic_cast<const HOST_ATOM*>(pin);
        return atom == nullptr ? nullptr : atom->netlist()->companion(atom);
    }
};

const HOST_ATOM* as_host_atom(const CDB_ATOM_NODE* node)
{
    return dynamic_cast<const HOST_ATOM*>(node);
}

// A factor that is present and positive.
bool find_factor(const HOST_ATOM* atom, int parameter, long long& factor)
{
    return atom->netlist()->parameters()->find(atom, parameter, factor) && factor > 0;
}

}  // namespace

bool host_pll_factor_parameters(int port_type, int port_index, int& multiply, int& divide)
{
    if (port_index < 0 || port_index > HOST_PLL_MAX_OUTPUT_INDEX)
        return false;
    int offset = 0;
    if (port_type == DB_OPORT_PLL_CLKOUT_2)
        offset = HOST_PLL_SECOND_OUTPUT_OFFSET;
    else if (port_type != DB_OPORT_CLKOUT)
        return false;
    multiply = HOST_PLL_MULTIPLY_PARAMETER + offset + port_index;
    divide = HOST_PLL_DIVIDE_PARAMETER + offset + port_index;
    return true;
}

bool CUT_ATOM_IO::is_available(int family)
{
    return family != HOST_FAMILY_WITHOUT_COMPANIONS;
}

// The utility is a host object under the default segment whatever segment
// is asked for: the caller deletes it with delete.
CUT_ATOM_IO* CUT_ATOM_IO::create_util(MEM_SEGMENT*, int family, bool)
{
    if (!is_available(family))
        return nullptr;
    return new HOST_ATOM_IO_UTIL;
}

bool CUT_LCELL_UTIL::atom_is_wire_lut(const CDB_ATOM_NODE* atom)
{
    const HOST_ATOM* own = as_host_atom(atom);
    return own != nullptr && own->has_flag(HOST_ATOM_WIRE_LUT) &&
           (own->is_lcell_atom() || own->is_lcell_comb_atom() || own->is_lcell_ff_atom());
}

CDB_ATOM_ITERM* CUT_LCELL_UTIL::get_wire_lut_iterm(const CDB_ATOM_NODE* atom)
{
    if (!atom_is_wire_lut(atom) || atom->begin_iterm() == atom->end_iterm())
        return nullptr;
    return *atom->begin_iterm();
}

int CUT_PLL_UTIL::get_real_output_clock_period(const CDB_ATOM_NODE* pll, int port_type, int port_index,
                                               int input_period_ps)
{
    const HOST_ATOM* atom = as_host_atom(pll);
    int multiply_parameter = 0;
    int divide_parameter = 0;
    long long multiply = 0;
    long long divide = 0;
    if (atom == nullptr || !atom->is_pll_atom() || input_period_ps <= 0 ||
        !host_pll_factor_parameters(port_type, port_index, multiply_parameter, divide_parameter) ||
        !find_factor(atom, multiply_parameter, multiply) || !find_factor(atom, divide_parameter, divide))
        return TDC_INT_NOT_SET;
    const double period = std::round(static_cast<double>(input_period_ps) * static_cast<double>(divide) /
                                     static_cast<double>(multiply));
    if (period < 1.0 || period > INT_MAX)
        return TDC_INT_NOT_SET;
    return static_cast<int>(period);
}

// The transmit path is what the design file or the builders linked; an atom
// of another host has none.
CDB_ATOM_NODE* CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::get_tx_ser_via_tx_pcs(const CDB_ATOM_NODE* tx_pcs)
{
    const HOST_ATOM* atom = as_host_atom(tx_pcs);
    return atom == nullptr ? nullptr : atom->netlist()->tx_path_link(atom, HOST_TX_PATH_LINK::SERIALIZER);
}

CDB_ATOM_NODE* CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::get_tx_buf_via_tx_ser(const CDB_ATOM_NODE* tx_ser)
{
    const HOST_ATOM* atom = as_host_atom(tx_ser);
    return atom == nullptr ? nullptr : atom->netlist()->tx_path_link(atom, HOST_TX_PATH_LINK::BUFFER);
}

bool CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY::check_rtc_assignment(const CDB_ATOM_NODE* tx_buf)
{
    const HOST_ATOM* atom = as_host_atom(tx_buf);
    return atom != nullptr && atom->netlist()->rtc_assignment_ok(atom);
}
