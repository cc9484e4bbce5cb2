// Host debug names of device element kinds and physical implementations. A
// value the host has no name for is named by its number.
#pragma once

#include <string>

#include "host/dev_enums.h"

std::string dstr_get_debug_string(DEV_ELEMENT_ENUM kind);
std::string dstr_get_debug_string(DEV_PHYS_IMPL_ENUM phys_impl);

// Voltage options by name ("ON", ...): whether a text names one, and which.
bool dstr_exists_dev_voltage_option_enum_by_string(const std::string& text);
DEV_VOLTAGE_OPTION_ENUM dstr_get_dev_voltage_option_enum_by_string(const std::string& text);
