// Host device database enumerations that the library passes around: element
// kinds, physical implementations, power supplies and regions, voltages,
// families, location fields, basic-info keys and the data keys of a
// transceiver block. Only the members the library names are listed; the
// values in between are the database's.
#pragma once

// Global id of a located block; all bits set means none.
constexpr unsigned DEV_ILLEGAL_GLOBAL_ID = 0xFFFFFFFFu;

enum DEV_ELEMENT_ENUM : int {
    DEV_ELEMENT_ENUM_BEGIN = 0,
    DEV_ELEMENT_HSSI_STRIP = 699,
    DEV_ELEMENT_ENUM_END = 1863
};

enum DEV_PHYS_IMPL_ENUM : int {
    DEV_PHYS_IMPL_ENUM_BEGIN = 0,
    // Stands for every implementation of a kind.
    DEV_PHYS_IMPL_ANY = 570,
    DEV_PHYS_IMPL_ENUM_END = 571
};

enum DEV_POWER_SUPPLY_ENUM : int {
    DEV_POWER_SUPPLY_ENUM_BEGIN = 0,
    DEV_POWER_SUPPLY_VCCEHT = 24,
    DEV_POWER_SUPPLY_ENUM_END = 78
};

enum DEV_POWER_REGION_ENUM : int {
    DEV_POWER_REGION_NONE = -1,   // an element whose region was never set
    DEV_POWER_REGION_ENUM_BEGIN = 0,
    DEV_POWER_REGION_ENUM_END = 151
};

// Supply voltages by name (a value stands for a number of millivolts).
enum DEV_VOLTAGE_ENUM : int { DEV_VOLTAGE_ENUM_BEGIN = 0 };

enum DEV_FAMILY_ENUM : int { DEV_FAMILY_NONE = 0 };

// Sections of a die's data that load separately: the placement data, and
// the section some transceiver models read while building.
enum DEV_DIE_INFO_TYPE : int { DEV_DIE_INFO_TYPE_PLACE = 0, DEV_DIE_INFO_TYPE_TRANSCEIVER = 1 };

// Fields of a DEV_LOCATION.
enum DEV_LOCATION_ENUM : int {
    DEV_LOCATION_X = 13,
    DEV_LOCATION_Y = 14,
    DEV_LOCATION_ENUM_END = 16
};

// Keys of the 2d integer tables of a device's basic info.
enum DEV_BASIC_INFO_2D_INT_DATA_ENUM : int {
    // One row per transceiver element kind and implementation the family
    // uses: [DEV_ELEMENT_ENUM, DEV_PHYS_IMPL_ENUM, ...].
    DEV_BASIC_INFO_2D_INT_POWER_HSSI_ELEMENTS = 20,
    DEV_BASIC_INFO_2D_INT_DATA_END = 32
};

// Keys of the 2d integer tables of a power supply descriptor.
enum DEV_POWER_SUPPLY_DESC_2D_INT_DATA_ENUM : int {
    // First row: the regions the supply is split into.
    DEV_POWER_SUPPLY_DESC_2D_INT_REGIONS = 5,
    DEV_POWER_SUPPLY_DESC_2D_INT_DATA_END = 8
};

// Data keys of a transceiver block, one enumeration per value type.
enum DEV_POWER_HSSI_INT_DATA_ENUM : int {
    DEV_POWER_HSSI_INT_DATA_BEGIN = 0,
    DEV_POWER_HSSI_INT_LOCATION_X = 10,
    DEV_POWER_HSSI_INT_LOCATION_Y = 11,
    DEV_POWER_HSSI_INT_BONDING_INDEX = 12,
    DEV_POWER_HSSI_INT_PAD_DATA = 13,   // integer 2 of the block's pad
    DEV_POWER_HSSI_INT_DATA_END = 23
};

enum DEV_POWER_HSSI_BOOL_DATA_ENUM : int {
    DEV_POWER_HSSI_BOOL_DATA_BEGIN = 0,
    DEV_POWER_HSSI_BOOL_ELEMENT_BONDED = 0,
    DEV_POWER_HSSI_BOOL_ELEMENT_POPULATED = 1,
    DEV_POWER_HSSI_BOOL_IS_HSSI_BLOCK = 27,   // counts as a transceiver block for power
    DEV_POWER_HSSI_BOOL_DATA_END = 55
};

enum DEV_POWER_HSSI_DOUBLE_DATA_ENUM : int {
    DEV_POWER_HSSI_DOUBLE_DATA_BEGIN = 0,
    DEV_POWER_HSSI_DOUBLE_DATA_END = 4
};

enum DEV_POWER_HSSI_ENUM_DATA_ENUM : int {
    DEV_POWER_HSSI_ENUM_DATA_BEGIN = 0,
    DEV_POWER_HSSI_ENUM_VCCEHT_VOLTAGE = 7,
    DEV_POWER_HSSI_ENUM_DATA_END = 14
};

enum DEV_POWER_HSSI_2D_INT_DATA_ENUM : int {
    DEV_POWER_HSSI_2D_INT_DATA_BEGIN = 0,
    DEV_POWER_HSSI_2D_INT_POWER_SUPPLIES = 0,
    DEV_POWER_HSSI_2D_INT_DATA_END = 1
};

enum DEV_POWER_HSSI_ATOM_DATA_ENUM : int {
    DEV_POWER_HSSI_ATOM_DATA_BEGIN = 0,
    DEV_POWER_HSSI_ATOM_PLACED = 0,   // the atom placed on the block
    DEV_POWER_HSSI_ATOM_DATA_END = 2
};

enum DEV_POWER_HSSI_ITERM_DATA_ENUM : int {
    DEV_POWER_HSSI_ITERM_DATA_BEGIN = 0,
    DEV_POWER_HSSI_ITERM_DATA_END = 4
};

enum DEV_POWER_HSSI_OTERM_DATA_ENUM : int {
    DEV_POWER_HSSI_OTERM_DATA_BEGIN = 0,
    DEV_POWER_HSSI_OTERM_DATA_END = 1
};

// The user's voltage settings: a value per power type name, and voltage
// options per option type.
enum DEV_POWER_TYPE_NAME_ENUM : int { DEV_POWER_TYPE_NAME_ENUM_BEGIN = 0 };
enum DEV_VOLTAGE_OPTION_TYPE_ENUM : int { DEV_VOLTAGE_OPTION_TYPE_ENUM_BEGIN = 0 };
enum DEV_VOLTAGE_OPTION_ENUM : int { DEV_VOLTAGE_OPTION_ENUM_BEGIN = 0 };
