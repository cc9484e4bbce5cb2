// Host debug names of the device database's enumerations, for dumps and
// printed tables. A value the host has no name for is named by its number.
#pragma once

#include <string>

#include "host/dev_enums.h"

std::string astr_get_debug_string(DEV_POWER_SUPPLY_ENUM supply);
std::string astr_get_debug_string(DEV_POWER_REGION_ENUM region);
std::string astr_get_debug_string(DEV_POWER_HSSI_INT_DATA_ENUM key);
std::string astr_get_debug_string(DEV_POWER_HSSI_BOOL_DATA_ENUM key);
std::string astr_get_debug_string(DEV_POWER_HSSI_DOUBLE_DATA_ENUM key);
std::string astr_get_debug_string(DEV_POWER_HSSI_ENUM_DATA_ENUM key);
std::string astr_get_debug_string(DEV_POWER_HSSI_2D_INT_DATA_ENUM key);

// The text of a value stored under an enum key (a voltage under the VCCEHT
// key: its name), written to *text.
void astr_get_enum_data_debug_string(DEV_POWER_HSSI_ENUM_DATA_ENUM key, int value, std::string* text);
// The text of entry (row, column) of a 2d table stored under key (a supply
// in column 0 of the supplies table: the supply's name), written to *text.
void astr_get_enum_data_debug_string(DEV_POWER_HSSI_2D_INT_DATA_ENUM key, int row, int column, int value,
                                     std::string* text);
