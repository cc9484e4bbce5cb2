// Host netlist utilities: I/O companion atoms, wire LUTs, PLL output
// periods, and the supplies and voltages of located blocks. Their rules
// belong to the host.
#pragma once

#include <unordered_map>
#include <vector>

#include "host/dev_enums.h"

class MEM_SEGMENT;
class CMP_FACADE;
class CDB_ATOM_NODE;
class CDB_ATOM_ITERM;

// The companion atom of a pin (a second atom that carries the pin's other
// side), for the families that have them.
class CUT_ATOM_IO {
public:
    static bool is_available(int family);
    // A new utility owned by the caller (delete it), or null.
    static CUT_ATOM_IO* create_util(MEM_SEGMENT* segment, int family, bool flag);
    virtual ~CUT_ATOM_IO() = default;

    virtual bool has_companion_atom(const CDB_ATOM_NODE* pin) const = 0;
    // The companion atom of the pin, or null.
    virtual CDB_ATOM_NODE* get_companion_atom(const CDB_ATOM_NODE* pin) const = 0;
};

// Logic cells that only pass one input through.
class CUT_LCELL_UTIL {
public:
    static bool atom_is_wire_lut(const CDB_ATOM_NODE* atom);
    // The input a wire LUT passes through, or null.
    static CDB_ATOM_ITERM* get_wire_lut_iterm(const CDB_ATOM_NODE* atom);
};

class CUT_PLL_UTIL {
public:
    // Period in picoseconds of the PLL's output (port type and index of the
    // output term) for an input clock of input_period_ps;
    // TDC_INT_NOT_SET (0x80000001) when it cannot be computed.
    static int get_real_output_clock_period(const CDB_ATOM_NODE* pll, int port_type, int port_index,
                                            int input_period_ps);
};

// Supplies, regions and voltages of located blocks.
class CUT_VOLTAGE_UTIL {
public:
    // The supplies of a block, in the database's order; empty for a block
    // without supplies.
    static std::vector<DEV_POWER_SUPPLY_ENUM> get_power_supplies_of_element(unsigned gid);
    // The block's region on a supply; 0 when the host has none for it.
    static DEV_POWER_REGION_ENUM get_power_region_of_element(unsigned gid, DEV_POWER_SUPPLY_ENUM supply);
    // Millivolts of a voltage enumeration; false when it has no voltage.
    static bool get_int_voltage_from_dev_enum(DEV_VOLTAGE_ENUM voltage, int* millivolts);
    // The voltage enumeration of a number of millivolts (DEV_VOLTAGE_ENUM_BEGIN
    // when none has it).
    static DEV_VOLTAGE_ENUM get_voltage_enum(int millivolts);
    // Millivolts of a supply in a region for the compilation behind the
    // facade; pad is 0 or a pad's data (some supplies differ per pad).
    static int get_voltage(CMP_FACADE* facade, DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, int pad);
    // The user's voltages and voltage options of that compilation, added
    // to the maps; false when the compilation's settings are not found.
    static bool read_voltages_from_acf(CMP_FACADE* facade,
                                       std::unordered_map<DEV_POWER_TYPE_NAME_ENUM, DEV_VOLTAGE_ENUM>& voltages);
    static bool read_voltage_options_from_acf(
        CMP_FACADE* facade, std::unordered_map<DEV_VOLTAGE_OPTION_TYPE_ENUM, DEV_VOLTAGE_OPTION_ENUM>& options);
};

// What the transmit path of a transceiver channel is made of, and whether a
// transmit buffer's reference clock assignment passes the host's check.
class CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY {
public:
    // The serializer atom behind a TX PCS atom, the TX buffer atom behind a
    // serializer; null when there is none.
    static CDB_ATOM_NODE* get_tx_ser_via_tx_pcs(const CDB_ATOM_NODE* tx_pcs);
    static CDB_ATOM_NODE* get_tx_buf_via_tx_ser(const CDB_ATOM_NODE* tx_ser);
    static bool check_rtc_assignment(const CDB_ATOM_NODE* tx_buf);
};
