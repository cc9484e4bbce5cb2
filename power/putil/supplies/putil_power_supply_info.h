// The power supply tables of one device: the supplies of each kind of
// device element, the power region of each supply of an element, and the
// voltage of each supply in a region.
#pragma once

#include <cstddef>
#include <utility>

#include "host/dev.h"
#include "core/putil_export.h"

// The host fills the tables of a device with cache_power_supply_data, may
// then override regions of located elements and voltages of the pairs that
// caching created, and hands them to the transceiver model of that device
// (PUTIL_HSSI_INFO::set_power_supply_info), which reads them. Each device's
// tables are an object of their own, so models of several devices live side
// by side. Every lookup of a key the tables do not hold is an internal
// error: callers ask only for what the tables hold.
class PUTIL_EXPORT PUTIL_POWER_SUPPLY_INFO : public PUTIL_HEAP_OBJECT {
public:
    // Empty tables, no die.
    PUTIL_POWER_SUPPLY_INFO();

    // Adds the built-in supply wiring of the device's family (50 and 7 share
    // one, 42 has its own, any other family adds nothing) and remembers the
    // device's die for the gid lookups. Nothing is emptied first: caching the
    // same family twice appends each supply list again.
    void cache_power_supply_data(DEV_DEVICE* dev_device);

    // The supplies of an element kind, in wiring order.
    const PUTIL_VECTOR<int>& get_gid_power_supplies(DEV_ELEMENT_ENUM element) const;
    // The supplies of one located element: its own list when it has one,
    // otherwise its kind's. Needs a cached device.
    const PUTIL_VECTOR<int>& get_gid_power_supplies(unsigned gid) const;
    // The region of a supply of an element kind.
    DEV_POWER_REGION_ENUM get_gid_power_region(DEV_ELEMENT_ENUM element, DEV_POWER_SUPPLY_ENUM supply) const;
    // The region of a supply of one located element: the region set for the
    // gid when there is one, otherwise its kind's. Needs a cached device.
    DEV_POWER_REGION_ENUM get_gid_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply) const;
    // Millivolts of a supply in a region.
    int get_power_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region) const;
    // Overwrites the millivolts of a pair that caching created; any other
    // pair is an internal error.
    void set_power_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, int voltage);
    // Inserts or overwrites the region of a supply of one located element.
    void set_gid_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region);
    // Does nothing: the tables live as long as this object.
    void free_all_objects();

    // What the tables hold, so that a host can show them: the element kinds
    // that have a supply list and the (supply, region) pairs that have a
    // voltage, each in increasing order, and whether a supply of an element
    // kind has a region.
    PUTIL_VECTOR<DEV_ELEMENT_ENUM> get_element_kinds() const;
    PUTIL_VECTOR<std::pair<DEV_POWER_SUPPLY_ENUM, DEV_POWER_REGION_ENUM>> get_power_region_voltage_keys() const;
    bool has_power_region(DEV_ELEMENT_ENUM element, DEV_POWER_SUPPLY_ENUM supply) const;

    // The hashes of the keys: an integer as itself, a pair (a, b) as
    // a * 7 + b; the container takes them modulo its bucket count.
    struct INT_HASH {
        template <class T>
        std::size_t operator()(T key) const
        {
            return static_cast<std::size_t>(key);
        }
    };
    struct PAIR_HASH {
        template <class A, class B>
        std::size_t operator()(const std::pair<A, B>& key) const
        {
            return static_cast<std::size_t>(key.first) * 7 + static_cast<std::size_t>(key.second);
        }
    };

private:
    typedef PUTIL_HASH_MAP<DEV_ELEMENT_ENUM, PUTIL_VECTOR<int>, INT_HASH> ELEMENT_SUPPLY_MAP;
    typedef PUTIL_HASH_MAP<unsigned, PUTIL_VECTOR<int>, INT_HASH> GID_SUPPLY_MAP;
    typedef std::pair<DEV_ELEMENT_ENUM, DEV_POWER_SUPPLY_ENUM> ELEMENT_SUPPLY;
    typedef std::pair<unsigned, DEV_POWER_SUPPLY_ENUM> GID_SUPPLY;
    typedef std::pair<DEV_POWER_SUPPLY_ENUM, DEV_POWER_REGION_ENUM> SUPPLY_REGION;
    typedef PUTIL_HASH_MAP<ELEMENT_SUPPLY, DEV_POWER_REGION_ENUM, PAIR_HASH> ELEMENT_REGION_MAP;
    typedef PUTIL_HASH_MAP<GID_SUPPLY, DEV_POWER_REGION_ENUM, PAIR_HASH> GID_REGION_MAP;
    typedef PUTIL_HASH_MAP<SUPPLY_REGION, int, PAIR_HASH> VOLTAGE_MAP;

    // The kind of a located element of the cached die.
    DEV_ELEMENT_ENUM element_of_gid(unsigned gid) const;
    const PUTIL_VECTOR<int>& supplies_of_element(DEV_ELEMENT_ENUM element) const;
    DEV_POWER_REGION_ENUM region_of_element(DEV_ELEMENT_ENUM element, DEV_POWER_SUPPLY_ENUM supply) const;
    // Steps of cache_power_supply_data for one line of the wiring table.
    void add_voltages(int line);
    void add_supplies(int line);
    void add_regions(int line);

    ELEMENT_SUPPLY_MAP m_element_to_power_type;
    // Nothing in the library fills it; consulted before the element table.
    GID_SUPPLY_MAP m_gid_to_power_type;
    ELEMENT_REGION_MAP m_element_to_power_region;
    GID_REGION_MAP m_gid_to_power_region;
    VOLTAGE_MAP m_power_region_to_voltage;
    // The die of the device cached last; null until then.
    DEV_DIE_INFO* m_dev_die_info;
};
