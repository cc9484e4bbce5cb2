// Reference host placement view of a die: the device's located blocks by
// kind, their containment tree, positions and integer attributes, read
// straight from the device's block records.
#pragma once

#include "host_device.h"

// The view is its own hierarchy info: every query is one hash lookup.
class HOST_PLACE_INFO final : public DYGR_PLACE_INFO, public DYGR_PLACE_BLOCK_HIERARCHY_INFO {
public:
    explicit HOST_PLACE_INFO(const HOST_DEVICE* device) : m_device(device) {}

    bool is_data_loaded() const override;
    int get_num_element(DEV_ELEMENT_ENUM kind) const override;
    unsigned get_global_id(DEV_ELEMENT_ENUM kind, int index) const override;
    const DYGR_PLACE_BLOCK_HIERARCHY_INFO* get_hierarchy_info() const override { return this; }
    int get_nx() const override;
    const DYGR_PLACE_BLOCK* get_place_block(unsigned gid) const override;
    bool get_int_attribute(unsigned gid, int attribute, int* value) const override;

    unsigned get_parent(unsigned gid) const override;
    unsigned get_first_child(unsigned gid) const override;
    unsigned get_next_sibling(unsigned gid) const override;

private:
    const std::vector<unsigned>* gids_of(DEV_ELEMENT_ENUM kind) const;

    const HOST_DEVICE* m_device;
};
