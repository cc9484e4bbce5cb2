// The power supply tables of the current device: the supplies of each kind
// of device element, the power region of each supply of an element, and the
// voltage of each supply in a region, kept for the life of the library.
#pragma once

#include <cstddef>
#include <utility>

#include "host/dev.h"
#include "core/putil_export.h"

// Static only: the host fills the tables with cache_power_supply_data, may
// then override regions of located elements and voltages of the pairs that
// caching created, and the transceiver model reads them. The tables are
// process-wide and unguarded. Every lookup of a key the tables do not hold
// is an internal error: callers ask only for what the tables hold.
class PUTIL_EXPORT PUTIL_POWER_SUPPLY_INFO {
public:
    // Copies nothing: the class has no state of its own.
    PUTIL_POWER_SUPPLY_INFO& operator=(const PUTIL_POWER_SUPPLY_INFO& other);

    // Adds the built-in supply wiring of the device's family (50 and 7 share
    // one, 42 has its own, any other family adds nothing) and remembers the
    // device's die for the gid lookups. Nothing is emptied first: caching the
    // same family twice appends each supply list again.
    static void cache_power_supply_data(DEV_DEVICE* dev_device);

    // The supplies of an element kind, in wiring order.
    static const PUTIL_VECTOR<int>& get_gid_power_supplies(DEV_ELEMENT_ENUM element);
    // The supplies of one located element: its own list when it has one,
    // otherwise its kind's. Needs a cached device.
    static const PUTIL_VECTOR<int>& get_gid_power_supplies(unsigned gid);
    // The region of a supply of an element kind.
    static DEV_POWER_REGION_ENUM get_gid_power_region(DEV_ELEMENT_ENUM element, DEV_POWER_SUPPLY_ENUM supply);
    // The region of a supply of one located element: the region set for the
    // gid when there is one, otherwise its kind's. Needs a cached device.
    static DEV_POWER_REGION_ENUM get_gid_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply);
    // Millivolts of a supply in a region.
    static int get_power_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region);
    // Overwrites the millivolts of a pair that caching created; any other
    // pair is an internal error.
    static void set_power_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, int voltage);
    // Inserts or overwrites the region of a supply of one located element.
    static void set_gid_power_region(unsigned gid, DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region);
    // Does nothing: the tables live until the library unloads.
    static void free_all_objects();

    // Puts the tables back as they were when the library was loaded: empty,
    // with their initial buckets, and no die. No operation of the library
    // calls it; a host that counts its live memory blocks (the tests, after
    // each test) calls it before counting, since the tables otherwise keep
    // their blocks until unload.
    static void reset_tables();

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
    static DEV_ELEMENT_ENUM element_of_gid(unsigned gid);
    static const PUTIL_VECTOR<int>& supplies_of_element(DEV_ELEMENT_ENUM element);
    static DEV_POWER_REGION_ENUM region_of_element(DEV_ELEMENT_ENUM element, DEV_POWER_SUPPLY_ENUM supply);
    // Steps of cache_power_supply_data for one line of the wiring table.
    static void add_voltages(int line);
    static void add_supplies(int line);
    static void add_regions(int line);

    static ELEMENT_SUPPLY_MAP m_element_to_power_type;
    // Nothing in the library fills it; consulted before the element table.
    static GID_SUPPLY_MAP m_gid_to_power_type;
    static ELEMENT_REGION_MAP m_element_to_power_region;
    static GID_REGION_MAP m_gid_to_power_region;
    static VOLTAGE_MAP m_power_region_to_voltage;
    // The die of the device cached last; null until then.
    static DEV_DIE_INFO* s_dev_die_info;
};
