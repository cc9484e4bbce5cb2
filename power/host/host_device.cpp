// Reference host device and the current device of the process.
#include "host_device.h"

#include "host_design.h"
#include "host_internal_error.h"

void HOST_ROUTE_TIMING_INFO::destroy_data()
{
    m_loaded = false;
    ++m_destroy_count;
}

DYGR_ROUTE_INFO* HOST_DYGR_DIE_INFO::get_route_info() const
{
    return const_cast<HOST_ROUTE_INFO*>(&m_route);
}

DYGR_ROUTE_TIMING_INFO* HOST_DYGR_DIE_INFO::get_route_timing_info() const
{
    return const_cast<HOST_ROUTE_TIMING_INFO*>(&m_route_timing);
}

DEV_DIE_INFO* HOST_DEVICE::get_die_info() const
{
    return const_cast<HOST_DIE*>(&m_die);
}

void HOST_DEVICE::set_route_view(bool present)
{
    if (!present)
        m_die.m_view.reset();
    else if (!m_die.m_view)
        m_die.m_view = std::make_unique<HOST_DYGR_DIE_INFO>();
}

bool HOST_DEVICE::route_data_loaded() const
{
    return route_view() != nullptr && route_view()->route().is_data_loaded();
}

bool HOST_DEVICE::route_timing_data_loaded() const
{
    return route_view() != nullptr && route_view()->route_timing().is_data_loaded();
}

void HOST_DEVICE::set_route_data_loaded(bool loaded)
{
    HOST_ASSERT(route_view() != nullptr);
    route_view()->route().set_loaded(loaded);
}

void HOST_DEVICE::set_route_timing_data_loaded(bool loaded)
{
    HOST_ASSERT(route_view() != nullptr);
    route_view()->route_timing().set_loaded(loaded);
}

void HOST_DEVICE::load_route_timing_data()
{
    if (route_view() != nullptr)
        route_view()->route_timing().set_loaded(true);
}

DEV_DEVICE* DMGR_UTILITY::get_current_device()
{
    HOST_DESIGN* design = host_current_design();
    return design == nullptr ? nullptr : design->device();
}
