// Reference host voltage utilities: the supplies, regions and voltages of
// the current design's device, and the user's voltage settings of a
// compilation.
#include "host/cut.h"
#include "host_design.h"
#include "host_device.h"
#include "host_facade.h"
#include "host_user_settings.h"

namespace {

// Without a current design there is no device to ask.
const HOST_DEVICE* current_device()
{
    const HOST_DESIGN* design = host_current_design();
    return design == nullptr ? nullptr : design->device();
}

// The design whose compilation the facade stands for; the current design
// for a null facade or one this host did not make. Null when neither is
// there: the compilation's settings are not found.
const HOST_DESIGN* design_of(const CMP_FACADE* facade)
{
    const HOST_DESIGN* design = facade == nullptr ? nullptr : host_design_of(facade->get_action_point_instance());
    return design != nullptr ? design : host_current_design();
}

}  // namespace

std::vector<DEV_POWER_SUPPLY_ENUM> CUT_VOLTAGE_UTIL::get_power_supplies_of_element(unsigned gid)
{
    const HOST_DEVICE* device = current_device();
    return device == nullptr ? std::vector<DEV_POWER_SUPPLY_ENUM>() : device->block_supplies(gid);
}

DEV_POWER_REGION_ENUM CUT_VOLTAGE_UTIL::get_power_region_of_element(unsigned gid, DEV_POWER_SUPPLY_ENUM supply)
{
    const HOST_DEVICE* device = current_device();
    return device == nullptr ? DEV_POWER_REGION_ENUM_BEGIN : device->block_power_region(gid, supply);
}

bool CUT_VOLTAGE_UTIL::get_int_voltage_from_dev_enum(DEV_VOLTAGE_ENUM voltage, int* millivolts)
{
    const HOST_DEVICE* device = current_device();
    return device != nullptr && device->voltage_millivolts(voltage, millivolts);
}

DEV_VOLTAGE_ENUM CUT_VOLTAGE_UTIL::get_voltage_enum(int millivolts)
{
    const HOST_DEVICE* device = current_device();
    return device == nullptr ? DEV_VOLTAGE_ENUM_BEGIN : device->voltage_of_millivolts(millivolts);
}

int CUT_VOLTAGE_UTIL::get_voltage(CMP_FACADE* facade, DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region,
                                  int pad)
{
    const HOST_DESIGN* design = design_of(facade);
    return design == nullptr ? 0 : design->device()->region_voltage(supply, region, pad);
}

bool CUT_VOLTAGE_UTIL::read_voltages_from_acf(CMP_FACADE* facade,
                                              std::unordered_map<DEV_POWER_TYPE_NAME_ENUM, DEV_VOLTAGE_ENUM>& voltages)
{
    const HOST_DESIGN* design = design_of(facade);
    if (design == nullptr)
        return false;
    for (const auto& entry : design->user_settings().voltages())
        voltages[entry.first] = entry.second;
    return true;
}

bool CUT_VOLTAGE_UTIL::read_voltage_options_from_acf(
    CMP_FACADE* facade, std::unordered_map<DEV_VOLTAGE_OPTION_TYPE_ENUM, DEV_VOLTAGE_OPTION_ENUM>& options)
{
    const HOST_DESIGN* design = design_of(facade);
    if (design == nullptr)
        return false;
    for (const auto& entry : design->user_settings().voltage_options())
        options[entry.first] = entry.second;
    return true;
}
