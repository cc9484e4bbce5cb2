// Reference host device: the device of a design with its basic info (family,
// transceiver element kinds), part info (power supply descriptors), pads, its
// die with the located blocks (kind, implementation, location, parent,
// enabled, attributes, supplies and regions) and its loadable data sections, the
// die's placement view and its routing state, the voltage table and the
// supply voltages per region. Loaded from a device description
// (docs/device-format.md) or built by the tests with the builders below.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/dev.h"
#include "host_debug_names.h"

class HOST_ROUTE_INFO final : public DYGR_ROUTE_INFO {
public:
    bool is_data_loaded() const override { return m_loaded; }
    void set_loaded(bool loaded) { m_loaded = loaded; }

private:
    bool m_loaded = false;
};

class HOST_ROUTE_TIMING_INFO final : public DYGR_ROUTE_TIMING_INFO {
public:
    bool is_data_loaded() const override { return m_loaded; }
    void destroy_data() override;
    void set_loaded(bool loaded) { m_loaded = loaded; }
    // Calls of destroy_data, whether or not data was loaded.
    int destroy_count() const { return m_destroy_count; }

private:
    bool m_loaded = false;
    int m_destroy_count = 0;
};

class HOST_DEVICE;
class HOST_PLACE_INFO;

// A static power (watts) or dynamic energy (joules per transition) constant
// that the power analyzer appends to a transceiver element: the element's
// value is the sum of constant x multiplier over its records.
struct HOST_POWER_CONSTANT {
    double constant;
    double multiplier;
    std::string name;
};

// The constants of one element kind on one of its supplies.
struct HOST_POWER_CONSTANTS {
    std::vector<HOST_POWER_CONSTANT> static_power;
    std::vector<HOST_POWER_CONSTANT> dynamic_energy;
};

class HOST_DYGR_DIE_INFO final : public DYGR_DIE_INFO {
public:
    explicit HOST_DYGR_DIE_INFO(const HOST_DEVICE* device);
    ~HOST_DYGR_DIE_INFO() override;
    DYGR_ROUTE_INFO* get_route_info() const override;
    DYGR_ROUTE_TIMING_INFO* get_route_timing_info() const override;
    DYGR_PLACE_INFO* get_place_info() const override;
    bool is_global_id_enabled(unsigned gid) const override;
    HOST_ROUTE_INFO& route() { return m_route; }
    HOST_ROUTE_TIMING_INFO& route_timing() { return m_route_timing; }

private:
    const HOST_DEVICE* m_device;
    HOST_ROUTE_INFO m_route;
    HOST_ROUTE_TIMING_INFO m_route_timing;
    std::unique_ptr<HOST_PLACE_INFO> m_place;
};

// Every design has a device. The die's view exists only after
// set_route_view (a design that asks for it) or after the first block is
// added (a device description).
class HOST_DEVICE final : public DEV_DEVICE {
public:
    HOST_DEVICE();
    ~HOST_DEVICE() override;
    HOST_DEVICE(const HOST_DEVICE&) = delete;
    HOST_DEVICE& operator=(const HOST_DEVICE&) = delete;

    DEV_DIE_INFO* get_die_info() const override;
    DEV_BASIC_INFO* get_basic_info() const override;
    DEV_PART_INFO* get_part_info() const override;
    DEV_PAD_INFO* get_pad_info() const override;

    // Routing state of the view.
    // Makes the view (nothing loaded) or drops it.
    void set_route_view(bool present);
    // The view, or null.
    HOST_DYGR_DIE_INFO* route_view() const;
    // The loaded flags; false without a view. Setting one needs the view.
    bool route_data_loaded() const;
    bool route_timing_data_loaded() const;
    void set_route_data_loaded(bool loaded);
    void set_route_timing_data_loaded(bool loaded);
    // What building a timing netlist does to the device: the view's routing
    // timing data is loaded; without a view nothing happens.
    void load_route_timing_data();

    // Basic info.
    void set_family(DEV_FAMILY_ENUM family);
    void set_device_enum(int device);
    void set_basic_2d_int_data(DEV_BASIC_INFO_2D_INT_DATA_ENUM key, DEV_2D_INT_DATA rows);

    // Located blocks. add_block makes the view when there is none; the
    // placement view then reports its data loaded. A gid may be added once
    // (internal error otherwise) and must not be DEV_ILLEGAL_GLOBAL_ID;
    // the parent must have been added before (or be DEV_ILLEGAL_GLOBAL_ID:
    // a top block). Children are listed in the order they were added.
    // Blocks are enabled, without pad, attributes, supplies or regions.
    void add_block(unsigned gid, DEV_ELEMENT_ENUM kind, DEV_PHYS_IMPL_ENUM phys_impl, int x, int y,
                   unsigned parent_gid = DEV_ILLEGAL_GLOBAL_ID);
    bool has_block(unsigned gid) const;
    void set_block_enabled(unsigned gid, bool enabled);
    void set_block_attribute(unsigned gid, int attribute, int value);
    // The block's supplies, in order, for CUT_VOLTAGE_UTIL.
    void set_block_supplies(unsigned gid, std::vector<DEV_POWER_SUPPLY_ENUM> supplies);
    // What CUT_VOLTAGE_UTIL::get_power_region_of_element answers (0 unless set).
    void set_block_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region);
    // A pad on the block with its integer data by number.
    void set_pad(unsigned gid, std::map<int, int> int_data);
    // Makes the view too, like add_block.
    void set_die_width(int nx);
    // Whether the placement view says its data is loaded (default once it
    // exists: true); the die's placement data section answers
    // the same.
    void set_place_data_loaded(bool loaded);

    // Part info: a supply's descriptor with the regions it is split into.
    void set_power_supply_regions(DEV_POWER_SUPPLY_ENUM supply, std::vector<int> regions);
    // Millivolts of a voltage enumeration value.
    void set_voltage_millivolts(DEV_VOLTAGE_ENUM voltage, int millivolts);
    // The supply's millivolts in a region, for blocks whose pad data is pad
    // (0: every block), what CUT_VOLTAGE_UTIL::get_voltage answers.
    void set_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, int millivolts, int pad = 0);

    // The power analyzer's constants of an element kind on a supply
    // (replacing earlier ones); null when the device has none.
    void set_power_constants(DEV_ELEMENT_ENUM kind, DEV_POWER_SUPPLY_ENUM supply, HOST_POWER_CONSTANTS constants);
    const HOST_POWER_CONSTANTS* power_constants(DEV_ELEMENT_ENUM kind, DEV_POWER_SUPPLY_ENUM supply) const;

    // The die's loadable data sections (DEV_DIE_INFO::load_data and
    // release_data): the calls so far per section, and the loaded state as a
    // test wants it (no call is counted). The placement section's state is
    // set_place_data_loaded's, not this.
    int data_part_loads(int part) const;
    int data_part_releases(int part) const;
    void set_data_part_loaded(int part, bool loaded);

    // What the library told the host: the blocks marked as transceiver
    // blocks by putil_lib_set_is_hssi_gid (the last mark of each gid wins).
    bool is_hssi_gid(unsigned gid) const;
    void set_is_hssi_gid(unsigned gid, bool is_hssi);

    // Read by the reference host's own services (voltage utilities, atoms).
    // The block's kind, or -1 for an unknown gid.
    int block_kind(unsigned gid) const;
    std::vector<DEV_POWER_SUPPLY_ENUM> block_supplies(unsigned gid) const;
    DEV_POWER_REGION_ENUM block_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply) const;
    // false when the voltage has no millivolts.
    bool voltage_millivolts(DEV_VOLTAGE_ENUM voltage, int* millivolts) const;
    // The smallest voltage enumeration of these millivolts;
    // DEV_VOLTAGE_ENUM_BEGIN when none has them.
    DEV_VOLTAGE_ENUM voltage_of_millivolts(int millivolts) const;
    // The entry of (supply, region, pad), else of (supply, region, 0), else 0.
    int region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, int pad) const;

    // Names the device adds to the built-in table (a device file's "names");
    // the debug-string services prefer them while the device's design is
    // current.
    void set_debug_name(HOST_NAME_KIND kind, int value, std::string name);
    // The device's own name of a value, or null.
    const std::string* debug_name(HOST_NAME_KIND kind, int value) const;
    // The value of a name, the device's names first, then the built-in ones;
    // false for an unknown name.
    bool value_of_name(HOST_NAME_KIND kind, const std::string& name, int& value) const;

    // The device file it was loaded from; empty for a built device.
    const std::string& source_file() const;
    void set_source_file(std::string path);

    struct DATA;
    const DATA& data() const { return *m_data; }

private:
    std::unique_ptr<DATA> m_data;
};

// The customer-release flag of the reference host's settings class
// (PUTIL_VELDRA_INI); false at start.
void host_set_customer_release(bool on);
