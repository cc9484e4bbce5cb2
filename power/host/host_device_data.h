// Reference host device's data: the located blocks of the die, kept by gid
// with per-kind gid lists and O(1) hierarchy links, and the small info
// objects the device hands out (basic, part and pad info, the die).
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host_device.h"

class HOST_PAD final : public DEV_PAD {
public:
    explicit HOST_PAD(std::map<int, int> int_data) : m_int_data(std::move(int_data)) {}
    int get_int_data(int key) const override;

private:
    std::map<int, int> m_int_data;
};

// One located block: its kind answers DEV_ELEMENT_DESC, its position
// DYGR_PLACE_BLOCK. Children form a singly linked list in the order they
// were added.
class HOST_BLOCK final : public DYGR_PLACE_BLOCK, public DEV_ELEMENT_DESC {
public:
    HOST_BLOCK(DEV_ELEMENT_ENUM block_kind, DEV_PHYS_IMPL_ENUM block_phys_impl, int block_x, int block_y,
               unsigned parent_gid)
        : kind(block_kind), phys_impl(block_phys_impl), x(block_x), y(block_y), parent(parent_gid)
    {
    }
    int get_x() const override { return x; }
    int get_y() const override { return y; }
    DEV_ELEMENT_ENUM get_element_enum() const override { return kind; }

    DEV_ELEMENT_ENUM kind;
    DEV_PHYS_IMPL_ENUM phys_impl;
    int x;
    int y;
    unsigned parent;
    unsigned first_child = DEV_ILLEGAL_GLOBAL_ID;
    unsigned last_child = DEV_ILLEGAL_GLOBAL_ID;
    unsigned next_sibling = DEV_ILLEGAL_GLOBAL_ID;
    bool enabled = true;
    std::unordered_map<int, int> attributes;
    std::vector<DEV_POWER_SUPPLY_ENUM> supplies;
    std::unordered_map<int, DEV_POWER_REGION_ENUM> regions;   // by supply
    std::unique_ptr<HOST_PAD> pad;
};

class HOST_BASIC_INFO final : public DEV_BASIC_INFO {
public:
    DEV_FAMILY_ENUM get_family_enum() const override { return m_family; }
    int get_device_enum() const override { return m_device; }
    bool is_valid_2d_int_enum(DEV_BASIC_INFO_2D_INT_DATA_ENUM key) const override;
    const DEV_2D_INT_DATA& get_2d_int_data(DEV_BASIC_INFO_2D_INT_DATA_ENUM key) const override;

    void set_family(DEV_FAMILY_ENUM family) { m_family = family; }
    void set_device(int device) { m_device = device; }
    void set_2d_int_data(DEV_BASIC_INFO_2D_INT_DATA_ENUM key, DEV_2D_INT_DATA rows);

private:
    DEV_FAMILY_ENUM m_family = DEV_FAMILY_NONE;
    int m_device = 0;
    std::unordered_map<int, DEV_2D_INT_DATA> m_tables;
};

// A supply's descriptor: its regions are the first row of table 5.
class HOST_POWER_SUPPLY_DESC final : public DEV_POWER_SUPPLY_DESC {
public:
    explicit HOST_POWER_SUPPLY_DESC(std::vector<int> regions) : m_regions{std::move(regions)} {}
    const DEV_2D_INT_DATA& get_2d_int_data(DEV_POWER_SUPPLY_DESC_2D_INT_DATA_ENUM key) const override;

private:
    DEV_2D_INT_DATA m_regions;
};

class HOST_PART_INFO final : public DEV_PART_INFO {
public:
    const DEV_POWER_SUPPLY_DESC* get_power_supply_desc(DEV_POWER_SUPPLY_ENUM supply) const override;
    void set_regions(DEV_POWER_SUPPLY_ENUM supply, std::vector<int> regions);

private:
    std::unordered_map<int, std::unique_ptr<HOST_POWER_SUPPLY_DESC>> m_descs;
};

class HOST_PAD_INFO final : public DEV_PAD_INFO {
public:
    explicit HOST_PAD_INFO(const HOST_DEVICE::DATA& data) : m_data(data) {}
    const DEV_PAD* get_pad_by_global_id(unsigned gid) const override;

private:
    const HOST_DEVICE::DATA& m_data;
};

// A loadable section of the die's data: whether it is loaded, and the load
// and release calls so far.
struct HOST_DATA_PART {
    bool loaded = false;
    int loads = 0;
    int releases = 0;
};

class HOST_DIE final : public DEV_DIE_INFO {
public:
    explicit HOST_DIE(const HOST_DEVICE::DATA& data) : m_data(data) {}
    DYGR_DIE_INFO* get_dygr_die_info() const override;
    // An unknown gid is an internal error: the caller has it from the view.
    DEV_PHYS_IMPL_ENUM get_phys_impl(unsigned gid, int variant) const override;
    bool get_location(unsigned gid, DEV_LOCATION& location) const override;
    const DEV_ELEMENT_DESC* get_element_desc(unsigned gid) const override;
    // Any part number is a part; each starts unloaded, except the placement
    // part (DEV_DIE_INFO_TYPE_PLACE), which is loaded when the placement
    // view is there and says its data is loaded.
    bool is_data_loaded(int part) const override;
    void load_data(int part) override;
    void release_data(int part) override;

    // The part's state; a part never touched is unloaded, without calls.
    HOST_DATA_PART data_part(int part) const;
    void set_data_part_loaded(int part, bool loaded) { m_parts[part].loaded = loaded; }

private:
    const HOST_DEVICE::DATA& m_data;
    std::unordered_map<int, HOST_DATA_PART> m_parts;
};

struct HOST_DEVICE::DATA {
    // The block of a gid, or null.
    const HOST_BLOCK* block(unsigned gid) const;

    HOST_BASIC_INFO basic;
    HOST_PART_INFO part;
    HOST_PAD_INFO pads{*this};
    HOST_DIE die{*this};
    std::unique_ptr<HOST_DYGR_DIE_INFO> view;
    std::unordered_map<unsigned, HOST_BLOCK> blocks;
    std::unordered_map<int, std::vector<unsigned>> gids_by_kind;
    int nx = 0;
    bool place_loaded = true;
    std::unordered_map<unsigned, bool> hssi_marks;
    std::unordered_map<int, int> millivolts;   // by voltage
    std::map<std::array<int, 3>, int> region_millivolts;   // by supply, region and pad
    std::map<std::pair<int, int>, HOST_POWER_CONSTANTS> power_constants;   // by kind and supply
    std::unordered_map<int, std::string> names[HOST_NAME_KIND_COUNT];
    std::string source_file;   // the device file it was loaded from, if any
};
