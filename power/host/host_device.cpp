// Reference host device, its die's view, and the current device of the
// process.
#include "host_device.h"

#include "host_design.h"
#include "host_device_data.h"
#include "host_internal_error.h"
#include "host_place_info.h"

namespace {

// A block the caller says exists; an unknown gid is a misuse of the builders.
HOST_BLOCK& existing_block(HOST_DEVICE::DATA& data, unsigned gid)
{
    auto found = data.blocks.find(gid);
    HOST_ASSERT(found != data.blocks.end());
    return found->second;
}

}  // namespace

void HOST_ROUTE_TIMING_INFO::destroy_data()
{
    m_loaded = false;
    ++m_destroy_count;
}

HOST_DYGR_DIE_INFO::HOST_DYGR_DIE_INFO(const HOST_DEVICE* device)
    : m_device(device), m_place(std::make_unique<HOST_PLACE_INFO>(device))
{
}

HOST_DYGR_DIE_INFO::~HOST_DYGR_DIE_INFO() = default;

DYGR_ROUTE_INFO* HOST_DYGR_DIE_INFO::get_route_info() const
{
    return const_cast<HOST_ROUTE_INFO*>(&m_route);
}

DYGR_ROUTE_TIMING_INFO* HOST_DYGR_DIE_INFO::get_route_timing_info() const
{
    return const_cast<HOST_ROUTE_TIMING_INFO*>(&m_route_timing);
}

DYGR_PLACE_INFO* HOST_DYGR_DIE_INFO::get_place_info() const
{
    return m_place.get();
}

bool HOST_DYGR_DIE_INFO::is_global_id_enabled(unsigned gid) const
{
    const HOST_BLOCK* block = m_device->data().block(gid);
    return block != nullptr && block->enabled;
}

HOST_DEVICE::HOST_DEVICE() : m_data(std::make_unique<DATA>()) {}

HOST_DEVICE::~HOST_DEVICE() = default;

DEV_DIE_INFO* HOST_DEVICE::get_die_info() const
{
    return &m_data->die;
}

DEV_BASIC_INFO* HOST_DEVICE::get_basic_info() const
{
    return &m_data->basic;
}

DEV_PART_INFO* HOST_DEVICE::get_part_info() const
{
    return &m_data->part;
}

DEV_PAD_INFO* HOST_DEVICE::get_pad_info() const
{
    return &m_data->pads;
}

void HOST_DEVICE::set_route_view(bool present)
{
    if (!present)
        m_data->view.reset();
    else if (!m_data->view)
        m_data->view = std::make_unique<HOST_DYGR_DIE_INFO>(this);
}

HOST_DYGR_DIE_INFO* HOST_DEVICE::route_view() const
{
    return m_data->view.get();
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

void HOST_DEVICE::set_family(DEV_FAMILY_ENUM family)
{
    m_data->basic.set_family(family);
}

void HOST_DEVICE::set_device_enum(int device)
{
    m_data->basic.set_device(device);
}

void HOST_DEVICE::set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_DATA_ENUM key, DEV_2D_INT_DATA rows)
{
    m_data->basic.set_2d_int_data(key, std::move(rows));
}

void HOST_DEVICE::add_block(unsigned gid, DEV_ELEMENT_ENUM kind, DEV_PHYS_IMPL_ENUM phys_impl, int x, int y,
                            unsigned parent_gid)
{
    HOST_ASSERT(gid != DEV_ILLEGAL_GLOBAL_ID);
    HOST_ASSERT(!has_block(gid));
    HOST_ASSERT(parent_gid == DEV_ILLEGAL_GLOBAL_ID || has_block(parent_gid));
    m_data->blocks.try_emplace(gid, kind, phys_impl, x, y, parent_gid);
    m_data->gids_by_kind[kind].push_back(gid);
    if (parent_gid != DEV_ILLEGAL_GLOBAL_ID) {
        HOST_BLOCK& parent = existing_block(*m_data, parent_gid);
        if (parent.last_child == DEV_ILLEGAL_GLOBAL_ID)
            parent.first_child = gid;
        else
            existing_block(*m_data, parent.last_child).next_sibling = gid;
        parent.last_child = gid;
    }
    // A device description's blocks live in the placement view; the routing
    // flags of an existing view stay as they are.
    set_route_view(true);
}

const std::string& HOST_DEVICE::source_file() const
{
    return m_data->source_file;
}

void HOST_DEVICE::set_source_file(std::string path)
{
    m_data->source_file = std::move(path);
}

bool HOST_DEVICE::has_block(unsigned gid) const
{
    return m_data->block(gid) != nullptr;
}

void HOST_DEVICE::set_block_enabled(unsigned gid, bool enabled)
{
    existing_block(*m_data, gid).enabled = enabled;
}

void HOST_DEVICE::set_block_attribute(unsigned gid, int attribute, int value)
{
    existing_block(*m_data, gid).attributes[attribute] = value;
}

void HOST_DEVICE::set_block_supplies(unsigned gid, std::vector<DEV_POWER_SUPPLY_ENUM> supplies)
{
    existing_block(*m_data, gid).supplies = std::move(supplies);
}

void HOST_DEVICE::set_block_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region)
{
    existing_block(*m_data, gid).regions[supply] = region;
}

void HOST_DEVICE::set_pad(unsigned gid, std::map<int, int> int_data)
{
    existing_block(*m_data, gid).pad = std::make_unique<HOST_PAD>(std::move(int_data));
}

void HOST_DEVICE::set_die_width(int nx)
{
    m_data->nx = nx;
    // A die with a width has a placement view, also before (or without) blocks.
    set_route_view(true);
}

void HOST_DEVICE::set_place_data_loaded(bool loaded)
{
    m_data->place_loaded = loaded;
}

void HOST_DEVICE::set_power_supply_regions(DEV_POWER_SUPPLY_ENUM supply, std::vector<int> regions)
{
    m_data->part.set_regions(supply, std::move(regions));
}

void HOST_DEVICE::set_voltage_millivolts(DEV_VOLTAGE_ENUM voltage, int millivolts)
{
    m_data->millivolts[voltage] = millivolts;
}

void HOST_DEVICE::set_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, int millivolts,
                                     int pad)
{
    m_data->region_millivolts[{supply, region, pad}] = millivolts;
}

void HOST_DEVICE::set_power_constants(DEV_ELEMENT_ENUM kind, DEV_POWER_SUPPLY_ENUM supply,
                                      HOST_POWER_CONSTANTS constants)
{
    m_data->power_constants[{kind, supply}] = std::move(constants);
}

const HOST_POWER_CONSTANTS* HOST_DEVICE::power_constants(DEV_ELEMENT_ENUM kind, DEV_POWER_SUPPLY_ENUM supply) const
{
    const auto found = m_data->power_constants.find({kind, supply});
    return found == m_data->power_constants.end() ? nullptr : &found->second;
}

int HOST_DEVICE::data_part_loads(int part) const
{
    return m_data->die.data_part(part).loads;
}

int HOST_DEVICE::data_part_releases(int part) const
{
    return m_data->die.data_part(part).releases;
}

void HOST_DEVICE::set_data_part_loaded(int part, bool loaded)
{
    m_data->die.set_data_part_loaded(part, loaded);
}

bool HOST_DEVICE::is_hssi_gid(unsigned gid) const
{
    auto found = m_data->hssi_marks.find(gid);
    return found != m_data->hssi_marks.end() && found->second;
}

void HOST_DEVICE::set_is_hssi_gid(unsigned gid, bool is_hssi)
{
    m_data->hssi_marks[gid] = is_hssi;
}

int HOST_DEVICE::block_kind(unsigned gid) const
{
    const HOST_BLOCK* block = m_data->block(gid);
    return block == nullptr ? -1 : block->kind;
}

std::vector<DEV_POWER_SUPPLY_ENUM> HOST_DEVICE::block_supplies(unsigned gid) const
{
    const HOST_BLOCK* block = m_data->block(gid);
    return block == nullptr ? std::vector<DEV_POWER_SUPPLY_ENUM>() : block->supplies;
}

DEV_POWER_REGION_ENUM HOST_DEVICE::block_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply) const
{
    const HOST_BLOCK* block = m_data->block(gid);
    if (block == nullptr)
        return DEV_POWER_REGION_ENUM_BEGIN;
    auto found = block->regions.find(supply);
    return found == block->regions.end() ? DEV_POWER_REGION_ENUM_BEGIN : found->second;
}

bool HOST_DEVICE::voltage_millivolts(DEV_VOLTAGE_ENUM voltage, int* millivolts) const
{
    auto found = m_data->millivolts.find(voltage);
    if (found == m_data->millivolts.end())
        return false;
    *millivolts = found->second;
    return true;
}

DEV_VOLTAGE_ENUM HOST_DEVICE::voltage_of_millivolts(int millivolts) const
{
    bool found = false;
    int smallest = 0;
    for (const auto& entry : m_data->millivolts) {
        if (entry.second == millivolts && (!found || entry.first < smallest)) {
            smallest = entry.first;
            found = true;
        }
    }
    return found ? static_cast<DEV_VOLTAGE_ENUM>(smallest) : DEV_VOLTAGE_ENUM_BEGIN;
}

// A pad without an entry of its own takes the region's.
int HOST_DEVICE::region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, int pad) const
{
    const auto& table = m_data->region_millivolts;
    auto found = table.find({supply, region, pad});
    if (found == table.end())
        found = table.find({supply, region, 0});
    return found == table.end() ? 0 : found->second;
}

void HOST_DEVICE::set_debug_name(HOST_NAME_KIND kind, int value, std::string name)
{
    m_data->names[static_cast<int>(kind)][value] = std::move(name);
}

const std::string* HOST_DEVICE::debug_name(HOST_NAME_KIND kind, int value) const
{
    const auto& names = m_data->names[static_cast<int>(kind)];
    auto found = names.find(value);
    return found == names.end() ? nullptr : &found->second;
}

bool HOST_DEVICE::value_of_name(HOST_NAME_KIND kind, const std::string& name, int& value) const
{
    for (const auto& entry : m_data->names[static_cast<int>(kind)]) {
        if (entry.second == name) {
            value = entry.first;
            return true;
        }
    }
    return host_builtin_value(kind, name, value);
}

DEV_DEVICE* DMGR_UTILITY::get_current_device()
{
    HOST_DESIGN* design = host_current_design();
    return design == nullptr ? nullptr : design->device();
}
