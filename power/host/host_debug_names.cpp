// Reference host debug names: the built-in name tables, and the debug-string
// services of the device database, which prefer the names the current
// design's device adds and fall back to the value's decimal number.
#include "host_debug_names.h"

#include <climits>
#include <cstring>

#include "host/astr.h"
#include "host/dstr.h"
#include "host_design.h"
#include "host_device.h"

namespace {

struct NAMED_VALUE {
    int value;
    const char* name;
};

const NAMED_VALUE s_element_names[] = {
    {50, "PLL"},
    {163, "IO"},
    {194, "HSSI_PLL"},
    {397, "HSSI_QUAD"},
    {587, "HSSI_CMU"},
    {589, "HSSI_CALIBRATION_BLOCK"},
    {691, "HSSI_RX_PCS"},
    {692, "HSSI_RX_PMA"},
    {693, "HSSI_TX_PCS"},
    {694, "HSSI_TX_PMA"},
    {695, "HSSI_PCIE_HIP"},
    {696, "HSSI_CLOCK_DIVIDER"},
    {697, "HSSI_AUX_CLOCK_BLOCK"},
    {698, "HSSI_10G_BLOCK"},
    {699, "HSSI_STRIP"},
    {779, "HSSI_CHANNEL"},
    {812, "LC_PLL"},
    {815, "HSSI_PMA_CONTROL"},
    {816, "HSSI_PCS_CONTROL"},
    {817, "HSSI_CHANNEL_CONTROL"},
    {819, "HSSI_STRIP_CONTAINER"},
    {820, "HSSI_STRIP_SEGMENT"},
    {821, "HSSI_PCIE_HIP_CONTAINER"},
    {822, "HSSI_PMA_CHANNEL"},
    {823, "HSSI_PCS_CHANNEL"},
    {825, "HSSI_10G_RX_PCS"},
    {826, "HSSI_AUX_RX_PCS"},
    {828, "HSSI_10G_TX_PCS"},
    {829, "HSSI_AUX_TX_PCS"},
    {1058, "HSSI_CLOCK_NETWORK"},
    {1105, "HSSI_PMA_INT"},
    {1743, "CDR_PLL"},
    {1746, "HSSI_PCIE_HIP_TOP"},
    {1773, "HSSI_COMMON_PMA"},
    {1774, "HSSI_8G_RX_PCS"},
    {1775, "HSSI_8G_TX_PCS"},
    {1776, "HSSI_COMMON_PCS"},
    {1777, "HSSI_TX_PCS_CONTAINER"},
    {1778, "HSSI_RX_PCS_CONTAINER"},
    {1779, "HSSI_PCS_AUX"},
    {1780, "HSSI_PMA_CDR_REFCLK_SELECT_MUX"},
    {1781, "HSSI_PMA_RX_BUF"},
    {1782, "HSSI_PMA_RX_DESER"},
    {1783, "HSSI_PMA_TX_BUF"},
    {1784, "HSSI_PMA_TX_CGB"},
    {1785, "HSSI_PMA_TX_SER"},
    {1786, "HSSI_REFCLK_DIVIDER"},
    {1787, "HSSI_RX_PCS_PMA_INTERFACE"},
    {1788, "HSSI_RX_PLD_PCS_INTERFACE"},
    {1789, "HSSI_COMMON_PCS_PMA_INTERFACE"},
    {1790, "HSSI_TX_PLD_PCS_INTERFACE"},
    {1794, "PLL_DPA_OUTPUT"},
    {1836, "HSSI_CONFIG_CONTAINER"},
    {1841, "HSSI_PMA_LC_REFCLK_SELECT_MUX"},
    {1854, "HSSI_PCIE_HARD_IP"},
    {1857, "HSSI_PMA_CDR_ATT"},
    {1858, "HSSI_PMA_DESER_ATT"},
    {1859, "HSSI_PMA_RX_ATT"},
    {1860, "HSSI_PMA_SER_ATT"},
    {1861, "HSSI_PMA_TX_ATT"},
};

// Strip variants carry "HSSI_STRIP" in their names: that is how the strip
// types of the HALDORV line of families are found.
const NAMED_VALUE s_phys_impl_names[] = {
    {1, "STANDARD"},
    {120, "HSSI_STRIP_PCIE"},
    {121, "HSSI_STRIP_BASIC"},
    {122, "HSSI_STRIP_10G"},
    {123, "HSSI_STRIP_LOW_POWER"},
    {458, "HSSI_CHANNEL_A"},
    {459, "HSSI_CHANNEL_B"},
    {460, "HSSI_CHANNEL_10G"},
    {469, "HSSI_PLL_AUX_A"},
    {473, "HSSI_PLL_AUX_B"},
    {558, "PLL_NEAR_HSSI"},
    {570, "ANY"},
};

const NAMED_VALUE s_supply_names[] = {
    {0, "VCC_CORE"},         {10, "VCC_PERIPHERY"},   {11, "VCC_AUX"},          {12, "VCC_BACKUP"},
    {19, "VCC_PCIE_HIP"},    {20, "VCC_HSSI_PLL"},    {21, "VCC_HSSI_DIGITAL"}, {22, "VCC_HSSI_CLOCK"},
    {23, "VCC_HSSI_RX"},     {24, "VCCEHT"},          {45, "VCC_HSSI_ANALOG"},  {48, "VCCEHT_AUX"},
    {51, "VCC_HSSI_AUX_1"},  {52, "VCC_HSSI_AUX_2"},  {53, "VCC_HSSI_AUX_3"},   {62, "VCCEHT_2"},
    {63, "VCC_HSSI_RX_2"},
};

const NAMED_VALUE s_region_names[] = {
    {0, "WHOLE_DIE"},
    {1, "LEFT_HALF"},
    {2, "RIGHT_HALF"},
    {14, "CORE"},
};

const NAMED_VALUE s_voltage_names[] = {
    {1, "VOLTAGE_850_MV"},   {2, "VOLTAGE_900_MV"},   {3, "VOLTAGE_950_MV"},   {4, "VOLTAGE_1000_MV"},
    {5, "VOLTAGE_1030_MV"},  {6, "VOLTAGE_1050_MV"},  {7, "VOLTAGE_1100_MV"},  {8, "VOLTAGE_1200_MV"},
    {9, "VOLTAGE_1500_MV"},  {10, "VOLTAGE_1800_MV"}, {11, "VOLTAGE_2500_MV"}, {12, "VOLTAGE_3000_MV"},
};

const NAMED_VALUE s_family_names[] = {
    {HOST_FAMILY_FENNICK, "FENNICK"}, {HOST_FAMILY_HALDORV, "HALDORV"}, {HOST_FAMILY_PELLUMV, "PELLUMV"},
    {HOST_FAMILY_BRINDEV, "BRINDEV"}, {HOST_FAMILY_WOMBLET, "WOMBLET"}, {HOST_FAMILY_KVB, "KVB"},
};

// The settings a voltage option takes ("ON" keeps a supply powered).
const NAMED_VALUE s_voltage_option_names[] = {
    {0, "OFF"},
    {1, "ON"},
};

// Data keys of a transceiver block by number; null where a key has no name.
const char* const s_int_key_names[DEV_POWER_HSSI_INT_DATA_END] = {
    "NUM_LANES", "NUM_VIRTUAL_CHANNELS", "CORE_CLOCK_DIVISION", "PLL_FACTOR", "PCS_DATA_WIDTH",
    "TX_DRIVER_SETTING_1", "TX_DRIVER_SETTING_2", "TX_DRIVER_SETTING_3", "TX_DRIVER_SETTING_4",
    "PMA_SERIAL_SETTING", "LOCATION_X", "LOCATION_Y", "BONDING_INDEX", "PAD_DATA", "SERIALIZER_FACTOR",
    "TX_VCM_CURRENT_ADD", "RX_DATA_OUT_SELECT", "RX_EQUALIZER_BANDWIDTH", "RX_INPUT_VCM_SELECT",
    "RX_VCM_CURRENT_ADD", "RX_BYPASS_EQUALIZER_STAGES", nullptr, "PCIE_PROTOCOL",
};

const char* const s_bool_key_names[DEV_POWER_HSSI_BOOL_DATA_END] = {
    "ELEMENT_BONDED", "ELEMENT_POPULATED", "PCIE_LANE_RATE_MODE", "PCIE_HIP_SETTING_1", "PCIE_HIP_SETTING_2",
    "BYTE_SERIALIZER", "REFCLK_DIVIDER_SETTING", "CALIBRATION_SETTING_1", "CALIBRATION_SETTING_2",
    "CALIBRATION_SETTING_3", "WORD_ALIGNER", "WORD_ALIGNER_SETTING", "RATE_MATCH_FIFO", "ENCODER_8B10B",
    "BYTE_ORDER", "PCS_MODE_SETTING", "HIP_MODE", "PMA_SETTING", "ADAPTIVE_EQUALIZATION", "SERIAL_LOOPBACK",
    "TX_PMA_SETTING", "RX_BUF_SETTING", "PCS_USED", "IS_PCIE_HIP", "CALIBRATION_BLOCK_IN_CHARGE",
    "BOTH_PMAS_USED", "BOTH_PCSS_USED", "IS_HSSI_BLOCK", "RX_PMA_SETTING", "TX_PMA_SETTING_2",
    "WORD_ALIGNER_BOUNDARY_LOCK", "PCS_BASIC_MODE", "WRITE_FIFO_CLOCK_ENABLE", "READ_FIFO_CLOCK_ENABLE",
    "FRAME_GENERATOR_CLOCK_ENABLE", "CRC_GENERATOR_CLOCK_ENABLE", "ENCODER_64B66B_CLOCK_ENABLE",
    "SCRAMBLER_CLOCK_ENABLE", "DISPARITY_GENERATOR_CLOCK_ENABLE", "PRBS_CLOCK_ENABLE",
    "SQUARE_WAVE_GENERATOR_CLOCK_ENABLE", "GEARBOX_REDUCTION_CLOCK_ENABLE", "TX_FIFO_MODE", "BITSLIP",
    "CRC_CHECKER_CLOCK_ENABLE", "RANDOMIZER_CLOCK_ENABLE", "BER_MONITOR_CLOCK_ENABLE",
    "DECODER_64B66B_CLOCK_ENABLE", "FRAME_SYNC_CLOCK_ENABLE", "DESCRAMBLER_CLOCK_ENABLE",
    "DISPARITY_CHECKER_CLOCK_ENABLE", "BLOCK_SYNC_CLOCK_ENABLE", "GEARBOX_EXPANSION_CLOCK_ENABLE",
    "TX_CGB_SOURCED_BY_X6_XN", "RTC_ASSIGNED",
};

const char* const s_double_key_names[DEV_POWER_HSSI_DOUBLE_DATA_END] = {
    "PCLK_TO_CORE_CLOCK_RATIO", "CORE_CLOCK_RATIO", "PLD_CLOCK_TO_CORE_CLOCK_RATIO", "PLL_OUTPUT_TOGGLE_RATE",
};

const char* const s_enum_key_names[DEV_POWER_HSSI_ENUM_DATA_END] = {
    "PROTOCOL_MODE", "CLOCK_DIVIDER_TYPE", "PLL_TYPE", "REVERSE_SERIAL_LOOPBACK", "PMA_CHANNEL_TYPE",
    "RX_COMMON_MODE", "VCC_HSSI_RX_VOLTAGE", "VCCEHT_VOLTAGE", "DEVICE", "STRIP_IMPLEMENTATION",
    "OUTPUT_SUPPLY", "PLL_BANDWIDTH_TYPE", "AUX_SUPPLY", "CHANNEL_BONDING_MODE",
};

const char* const s_2d_int_key_names[DEV_POWER_HSSI_2D_INT_DATA_END] = {"POWER_SUPPLIES"};

struct KIND_TABLE {
    const NAMED_VALUE* begin;
    const NAMED_VALUE* end;
    int limit;
    const char* text;
};

template <std::size_t N>
KIND_TABLE table_of(const NAMED_VALUE (&names)[N], int limit, const char* text)
{
    return KIND_TABLE{names, names + N, limit, text};
}

KIND_TABLE kind_table(HOST_NAME_KIND kind)
{
    switch (kind) {
    case HOST_NAME_KIND::ELEMENT:
        return table_of(s_element_names, DEV_ELEMENT_ENUM_END, "element");
    case HOST_NAME_KIND::PHYS_IMPL:
        return table_of(s_phys_impl_names, DEV_PHYS_IMPL_ENUM_END, "phys_impl");
    case HOST_NAME_KIND::SUPPLY:
        return table_of(s_supply_names, DEV_POWER_SUPPLY_ENUM_END, "supply");
    case HOST_NAME_KIND::REGION:
        return table_of(s_region_names, DEV_POWER_REGION_ENUM_END, "region");
    case HOST_NAME_KIND::VOLTAGE:
        return table_of(s_voltage_names, INT_MAX, "voltage");
    case HOST_NAME_KIND::VOLTAGE_OPTION:
        return table_of(s_voltage_option_names, INT_MAX, "voltage_option");
    case HOST_NAME_KIND::FAMILY:
        break;
    }
    return table_of(s_family_names, INT_MAX, "family");
}

// The current design's device's name, the built-in one, or the number.
std::string value_name(HOST_NAME_KIND kind, int value)
{
    const HOST_DESIGN* design = host_current_design();
    if (design != nullptr) {
        if (const std::string* name = design->device()->debug_name(kind, value))
            return *name;
    }
    const char* name = host_builtin_name(kind, value);
    return name != nullptr ? std::string(name) : std::to_string(value);
}

template <std::size_t N>
std::string key_name(const char* const (&names)[N], int key)
{
    if (key >= 0 && key < static_cast<int>(N) && names[key] != nullptr)
        return names[key];
    return std::to_string(key);
}

}  // namespace

const char* host_builtin_name(HOST_NAME_KIND kind, int value)
{
    const KIND_TABLE table = kind_table(kind);
    for (const NAMED_VALUE* entry = table.begin; entry != table.end; ++entry) {
        if (entry->value == value)
            return entry->name;
    }
    return nullptr;
}

bool host_builtin_value(HOST_NAME_KIND kind, const std::string& name, int& value)
{
    const KIND_TABLE table = kind_table(kind);
    for (const NAMED_VALUE* entry = table.begin; entry != table.end; ++entry) {
        if (name == entry->name) {
            value = entry->value;
            return true;
        }
    }
    return false;
}

int host_name_kind_limit(HOST_NAME_KIND kind)
{
    return kind_table(kind).limit;
}

const char* host_name_kind_text(HOST_NAME_KIND kind)
{
    return kind_table(kind).text;
}

std::string dstr_get_debug_string(DEV_ELEMENT_ENUM kind)
{
    return value_name(HOST_NAME_KIND::ELEMENT, kind);
}

std::string dstr_get_debug_string(DEV_PHYS_IMPL_ENUM phys_impl)
{
    return value_name(HOST_NAME_KIND::PHYS_IMPL, phys_impl);
}

bool dstr_exists_dev_voltage_option_enum_by_string(const std::string& text)
{
    int value = 0;
    return host_builtin_value(HOST_NAME_KIND::VOLTAGE_OPTION, text, value);
}

// An unknown text reads as the first option; callers ask whether it exists
// first.
DEV_VOLTAGE_OPTION_ENUM dstr_get_dev_voltage_option_enum_by_string(const std::string& text)
{
    int value = DEV_VOLTAGE_OPTION_ENUM_BEGIN;
    host_builtin_value(HOST_NAME_KIND::VOLTAGE_OPTION, text, value);
    return static_cast<DEV_VOLTAGE_OPTION_ENUM>(value);
}

std::string astr_get_debug_string(DEV_POWER_SUPPLY_ENUM supply)
{
    return value_name(HOST_NAME_KIND::SUPPLY, supply);
}

std::string astr_get_debug_string(DEV_POWER_REGION_ENUM region)
{
    return value_name(HOST_NAME_KIND::REGION, region);
}

std::string astr_get_debug_string(DEV_POWER_HSSI_INT_DATA_ENUM key)
{
    return key_name(s_int_key_names, key);
}

std::string astr_get_debug_string(DEV_POWER_HSSI_BOOL_DATA_ENUM key)
{
    return key_name(s_bool_key_names, key);
}

std::string astr_get_debug_string(DEV_POWER_HSSI_DOUBLE_DATA_ENUM key)
{
    return key_name(s_double_key_names, key);
}

std::string astr_get_debug_string(DEV_POWER_HSSI_ENUM_DATA_ENUM key)
{
    return key_name(s_enum_key_names, key);
}

std::string astr_get_debug_string(DEV_POWER_HSSI_2D_INT_DATA_ENUM key)
{
    return key_name(s_2d_int_key_names, key);
}

// Enum keys 6 and 7 hold voltages, 9 a strip's implementation, 10 and 12
// supplies; the others hold values without names.
void astr_get_enum_data_debug_string(DEV_POWER_HSSI_ENUM_DATA_ENUM key, int value, std::string* text)
{
    switch (static_cast<int>(key)) {
    case 6:
    case DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE:
        *text = value_name(HOST_NAME_KIND::VOLTAGE, value);
        return;
    case 9:
        *text = value_name(HOST_NAME_KIND::PHYS_IMPL, value);
        return;
    case 10:
    case 12:
        *text = value_name(HOST_NAME_KIND::SUPPLY, value);
        return;
    default:
        *text = std::to_string(value);
    }
}

// The supplies table's rows are [supply, millivolts].
void astr_get_enum_data_debug_string(DEV_POWER_HSSI_2D_INT_DATA_ENUM key, int, int column, int value,
                                     std::string* text)
{
    if (key == DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES && column == 0)
        *text = value_name(HOST_NAME_KIND::SUPPLY, value);
    else
        *text = std::to_string(value);
}
