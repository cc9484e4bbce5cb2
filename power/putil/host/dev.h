// Host device database: the current device, its basic and part info, its
// pads, its die, and the die's placement-and-routing view (block counts and
// global ids, the block hierarchy, block positions, enabled blocks, and the
// routing data the timing component may load).
#pragma once

#include <vector>

#include "host/dev_enums.h"

typedef std::vector<std::vector<int>> DEV_2D_INT_DATA;

// A block's position; fields by DEV_LOCATION_ENUM, all 0 until filled.
class DEV_LOCATION {
public:
    int operator[](DEV_LOCATION_ENUM field) const { return m_fields[field]; }
    int& operator[](DEV_LOCATION_ENUM field) { return m_fields[field]; }

private:
    int m_fields[DEV_LOCATION_ENUM_END] = {};
};

class DEV_BASIC_INFO {
public:
    virtual DEV_FAMILY_ENUM get_family_enum() const = 0;
    virtual int get_device_enum() const = 0;
    virtual bool is_valid_2d_int_enum(DEV_BASIC_INFO_2D_INT_DATA_ENUM key) const = 0;
    // The table of a valid key; an empty table otherwise.
    virtual const DEV_2D_INT_DATA& get_2d_int_data(DEV_BASIC_INFO_2D_INT_DATA_ENUM key) const = 0;

protected:
    virtual ~DEV_BASIC_INFO() = default;
};

// What the device database knows of one power supply.
class DEV_POWER_SUPPLY_DESC {
public:
    // An empty table for a key the descriptor has no data for.
    virtual const DEV_2D_INT_DATA& get_2d_int_data(DEV_POWER_SUPPLY_DESC_2D_INT_DATA_ENUM key) const = 0;

protected:
    virtual ~DEV_POWER_SUPPLY_DESC() = default;
};

class DEV_PART_INFO {
public:
    // The supply's descriptor, or null.
    virtual const DEV_POWER_SUPPLY_DESC* get_power_supply_desc(DEV_POWER_SUPPLY_ENUM supply) const = 0;

protected:
    virtual ~DEV_PART_INFO() = default;
};

class DEV_PAD {
public:
    // Integer data of the pad by number; 0 for a number it has none of.
    virtual int get_int_data(int key) const = 0;

protected:
    virtual ~DEV_PAD() = default;
};

class DEV_PAD_INFO {
public:
    // The pad of a located block, or null when the block has none.
    virtual const DEV_PAD* get_pad_by_global_id(unsigned gid) const = 0;

protected:
    virtual ~DEV_PAD_INFO() = default;
};

// The kind of a located block.
class DEV_ELEMENT_DESC {
public:
    virtual DEV_ELEMENT_ENUM get_element_enum() const = 0;

protected:
    virtual ~DEV_ELEMENT_DESC() = default;
};

class DYGR_ROUTE_INFO {
public:
    virtual bool is_data_loaded() const = 0;

protected:
    virtual ~DYGR_ROUTE_INFO() = default;
};

class DYGR_ROUTE_TIMING_INFO {
public:
    virtual bool is_data_loaded() const = 0;
    // Unloads the routing timing data.
    virtual void destroy_data() = 0;

protected:
    virtual ~DYGR_ROUTE_TIMING_INFO() = default;
};

// The containment tree of the located blocks; every answer is
// DEV_ILLEGAL_GLOBAL_ID when there is no such block.
class DYGR_PLACE_BLOCK_HIERARCHY_INFO {
public:
    virtual unsigned get_parent(unsigned gid) const = 0;
    virtual unsigned get_first_child(unsigned gid) const = 0;
    virtual unsigned get_next_sibling(unsigned gid) const = 0;

protected:
    virtual ~DYGR_PLACE_BLOCK_HIERARCHY_INFO() = default;
};

// One placed block of the placement view.
class DYGR_PLACE_BLOCK {
public:
    virtual int get_x() const = 0;
    virtual int get_y() const = 0;

protected:
    virtual ~DYGR_PLACE_BLOCK() = default;
};

// The placement view: located blocks per kind, their hierarchy and positions.
class DYGR_PLACE_INFO {
public:
    virtual bool is_data_loaded() const = 0;
    // Number of located blocks of a kind; their global ids by index
    // (0 .. number - 1), DEV_ILLEGAL_GLOBAL_ID for an index out of range.
    virtual int get_num_element(DEV_ELEMENT_ENUM kind) const = 0;
    virtual unsigned get_global_id(DEV_ELEMENT_ENUM kind, int index) const = 0;
    virtual const DYGR_PLACE_BLOCK_HIERARCHY_INFO* get_hierarchy_info() const = 0;
    // The die's width in columns.
    virtual int get_nx() const = 0;
    // The placed block of a global id, or null.
    virtual const DYGR_PLACE_BLOCK* get_place_block(unsigned gid) const = 0;
    // An integer attribute of a located block; false when the block has
    // none of that number (value untouched).
    virtual bool get_int_attribute(unsigned gid, int attribute, int* value) const = 0;

protected:
    virtual ~DYGR_PLACE_INFO() = default;
};

// The placement-and-routing view of a die.
class DYGR_DIE_INFO {
public:
    // The placement view, or null when the die has none.
    virtual DYGR_PLACE_INFO* get_place_info() const = 0;
    // The block exists (is bonded out) in this device.
    virtual bool is_global_id_enabled(unsigned gid) const = 0;
    virtual DYGR_ROUTE_INFO* get_route_info() const = 0;
    virtual DYGR_ROUTE_TIMING_INFO* get_route_timing_info() const = 0;

protected:
    virtual ~DYGR_DIE_INFO() = default;
};

class DEV_DIE_INFO {
public:
    // The die's placement-and-routing view, or null when it has none.
    virtual DYGR_DIE_INFO* get_dygr_die_info() const = 0;
    // Physical implementation of a located block (variant 0 is the one the
    // library asks for).
    virtual DEV_PHYS_IMPL_ENUM get_phys_impl(unsigned gid, int variant) const = 0;
    // Fills the block's location; false (location untouched) for an unknown gid.
    virtual bool get_location(unsigned gid, DEV_LOCATION& location) const = 0;
    // The description of a located block's kind, or null for an unknown gid.
    virtual const DEV_ELEMENT_DESC* get_element_desc(unsigned gid) const = 0;
    // Sections of the die's data that are loaded on demand, by
    // DEV_DIE_INFO_TYPE (the transceiver section is what the models of some
    // families read while building).
    virtual bool is_data_loaded(int section) const = 0;
    virtual void load_data(int section) = 0;
    virtual void release_data(int section) = 0;

protected:
    virtual ~DEV_DIE_INFO() = default;
};

class DEV_DEVICE {
public:
    virtual DEV_DIE_INFO* get_die_info() const = 0;
    virtual DEV_BASIC_INFO* get_basic_info() const = 0;
    virtual DEV_PART_INFO* get_part_info() const = 0;
    virtual DEV_PAD_INFO* get_pad_info() const = 0;

protected:
    virtual ~DEV_DEVICE() = default;
};

class DMGR_UTILITY {
public:
    // The device of the current compilation, or null.
    static DEV_DEVICE* get_current_device();
};
