// Reference host device's info objects: basic info tables, supply
// descriptors, pads, and the die's per-block answers.
#include "host_device_data.h"

#include "host_internal_error.h"

namespace {

// What a table query answers for a key without data.
const DEV_2D_INT_DATA s_empty_table;

}  // namespace

int HOST_PAD::get_int_data(int key) const
{
    auto found = m_int_data.find(key);
    return found == m_int_data.end() ? 0 : found->second;
}

bool HOST_BASIC_INFO::is_valid_2d_int_enum(DEV_BASIC_INFO_2D_INT_DATA_ENUM key) const
{
    return m_tables.count(key) != 0;
}

const DEV_2D_INT_DATA& HOST_BASIC_INFO::get_2d_int_data(DEV_BASIC_INFO_2D_INT_DATA_ENUM key) const
{
    auto found = m_tables.find(key);
    return found == m_tables.end() ? s_empty_table : found->second;
}

void HOST_BASIC_INFO::set_2d_int_data(DEV_BASIC_INFO_2D_INT_DATA_ENUM key, DEV_2D_INT_DATA rows)
{
    m_tables[key] = std::move(rows);
}

const DEV_2D_INT_DATA& HOST_POWER_SUPPLY_DESC::get_2d_int_data(DEV_POWER_SUPPLY_DESC_2D_INT_DATA_ENUM key) const
{
    return key == DEV_POWER_SUPPLY_DESC_2D_INT_REGIONS ? m_regions : s_empty_table;
}

const DEV_POWER_SUPPLY_DESC* HOST_PART_INFO::get_power_supply_desc(DEV_POWER_SUPPLY_ENUM supply) const
{
    auto found = m_descs.find(supply);
    return found == m_descs.end() ? nullptr : found->second.get();
}

void HOST_PART_INFO::set_regions(DEV_POWER_SUPPLY_ENUM supply, std::vector<int> regions)
{
    m_descs[supply] = std::make_unique<HOST_POWER_SUPPLY_DESC>(std::move(regions));
}

const DEV_PAD* HOST_PAD_INFO::get_pad_by_global_id(unsigned gid) const
{
    const HOST_BLOCK* block = m_data.block(gid);
    return block == nullptr ? nullptr : block->pad.get();
}

DYGR_DIE_INFO* HOST_DIE::get_dygr_die_info() const
{
    return m_data.view.get();
}

DEV_PHYS_IMPL_ENUM HOST_DIE::get_phys_impl(unsigned gid, int) const
{
    const HOST_BLOCK* block = m_data.block(gid);
    HOST_ASSERT(block != nullptr);
    return block->phys_impl;
}

bool HOST_DIE::get_location(unsigned gid, DEV_LOCATION& location) const
{
    const HOST_BLOCK* block = m_data.block(gid);
    if (block == nullptr)
        return false;
    location[DEV_LOCATION_X] = block->x;
    location[DEV_LOCATION_Y] = block->y;
    return true;
}

const DEV_ELEMENT_DESC* HOST_DIE::get_element_desc(unsigned gid) const
{
    return m_data.block(gid);
}

// The placement part is the placement view's own data: it follows that
// view, not the load and release calls, which are still counted.
bool HOST_DIE::is_data_loaded(int part) const
{
    if (part == DEV_DIE_INFO_TYPE_PLACE)
        return m_data.view != nullptr && m_data.place_loaded;
    return data_part(part).loaded;
}

void HOST_DIE::load_data(int part)
{
    HOST_DATA_PART& state = m_parts[part];
    state.loaded = true;
    ++state.loads;
}

// A release of a part that is not loaded is counted too: the tests check
// that a model releases only what it loaded.
void HOST_DIE::release_data(int part)
{
    HOST_DATA_PART& state = m_parts[part];
    state.loaded = false;
    ++state.releases;
}

HOST_DATA_PART HOST_DIE::data_part(int part) const
{
    auto found = m_parts.find(part);
    return found == m_parts.end() ? HOST_DATA_PART() : found->second;
}

const HOST_BLOCK* HOST_DEVICE::DATA::block(unsigned gid) const
{
    auto found = blocks.find(gid);
    return found == blocks.end() ? nullptr : &found->second;
}
