// Reference host names of the device database's values: a built-in table of
// element kinds, physical implementations, supplies, regions, voltages,
// families and voltage options, used both ways (debug strings, and names in
// device and design files), plus the device families the reference host
// knows.
#pragma once

#include <string>

#include "host/dev_enums.h"

// Families of the transceiver models.
constexpr DEV_FAMILY_ENUM HOST_FAMILY_FENNICK = static_cast<DEV_FAMILY_ENUM>(7);
constexpr DEV_FAMILY_ENUM HOST_FAMILY_HALDORV = static_cast<DEV_FAMILY_ENUM>(8);
constexpr DEV_FAMILY_ENUM HOST_FAMILY_PELLUMV = static_cast<DEV_FAMILY_ENUM>(9);
constexpr DEV_FAMILY_ENUM HOST_FAMILY_BRINDEV = static_cast<DEV_FAMILY_ENUM>(17);
constexpr DEV_FAMILY_ENUM HOST_FAMILY_WOMBLET = static_cast<DEV_FAMILY_ENUM>(42);
constexpr DEV_FAMILY_ENUM HOST_FAMILY_KVB = static_cast<DEV_FAMILY_ENUM>(50);

// The enumerations that have names.
enum class HOST_NAME_KIND : unsigned char { ELEMENT, PHYS_IMPL, SUPPLY, REGION, VOLTAGE, FAMILY, VOLTAGE_OPTION };
constexpr int HOST_NAME_KIND_COUNT = 7;

// The built-in name of a value, or null.
const char* host_builtin_name(HOST_NAME_KIND kind, int value);
// The value of a built-in name; false for a name the table does not have.
bool host_builtin_value(HOST_NAME_KIND kind, const std::string& name, int& value);
// Values of a kind lie in 0 .. limit - 1.
int host_name_kind_limit(HOST_NAME_KIND kind);
// The kind as the device file's "names" section calls it ("element").
const char* host_name_kind_text(HOST_NAME_KIND kind);
