// Reference host placement view: counts, gids, links and positions of the
// device's located blocks.
#include "host_place_info.h"

#include "host_device_data.h"

bool HOST_PLACE_INFO::is_data_loaded() const
{
    return m_device->data().place_loaded;
}

const std::vector<unsigned>* HOST_PLACE_INFO::gids_of(DEV_ELEMENT_ENUM kind) const
{
    const auto& gids_by_kind = m_device->data().gids_by_kind;
    auto found = gids_by_kind.find(kind);
    return found == gids_by_kind.end() ? nullptr : &found->second;
}

int HOST_PLACE_INFO::get_num_element(DEV_ELEMENT_ENUM kind) const
{
    const std::vector<unsigned>* gids = gids_of(kind);
    return gids == nullptr ? 0 : static_cast<int>(gids->size());
}

unsigned HOST_PLACE_INFO::get_global_id(DEV_ELEMENT_ENUM kind, int index) const
{
    const std::vector<unsigned>* gids = gids_of(kind);
    if (gids == nullptr || index < 0 || index >= static_cast<int>(gids->size()))
        return DEV_ILLEGAL_GLOBAL_ID;
    return (*gids)[index];
}

int HOST_PLACE_INFO::get_nx() const
{
    return m_device->data().nx;
}

const DYGR_PLACE_BLOCK* HOST_PLACE_INFO::get_place_block(unsigned gid) const
{
    return m_device->data().block(gid);
}

bool HOST_PLACE_INFO::get_int_attribute(unsigned gid, int attribute, int* value) const
{
    const HOST_BLOCK* block = m_device->data().block(gid);
    if (block == nullptr)
        return false;
    auto found = block->attributes.find(attribute);
    if (found == block->attributes.end())
        return false;
    *value = found->second;
    return true;
}

unsigned HOST_PLACE_INFO::get_parent(unsigned gid) const
{
    const HOST_BLOCK* block = m_device->data().block(gid);
    return block == nullptr ? DEV_ILLEGAL_GLOBAL_ID : block->parent;
}

unsigned HOST_PLACE_INFO::get_first_child(unsigned gid) const
{
    const HOST_BLOCK* block = m_device->data().block(gid);
    return block == nullptr ? DEV_ILLEGAL_GLOBAL_ID : block->first_child;
}

unsigned HOST_PLACE_INFO::get_next_sibling(unsigned gid) const
{
    const HOST_BLOCK* block = m_device->data().block(gid);
    return block == nullptr ? DEV_ILLEGAL_GLOBAL_ID : block->next_sibling;
}
