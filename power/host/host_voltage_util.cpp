// Reference host voltage utilities: the supplies, regions and voltages of
// the current design's device.
#include "host/cut.h"
#include "host_design.h"
#include "host_device.h"

namespace {

// Without a current design there is no device to ask.
const HOST_DEVICE* current_device()
{
    const HOST_DESIGN* design = host_current_design();
    return design == nullptr ? nullptr : design->device();
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
