// One located transceiver block of the device as the transceiver power model
// sees it: typed data with validity flags, containment and association
// links, power and energy records, its supplies' voltages and its power
// region. Its type numbers are those of its model's element type map.
#pragma once

#include <fstream>
#include <vector>

#include "host/dev_enums.h"
#include "core/putil_export.h"
#include "hssi/putil_hssi_element_type_map.h"

class DEV_DEVICE;
class CDB_ATOM_NODE;
class CDB_ATOM_ITERM;
class CDB_ATOM_OTERM;
class PUTIL_SA_DATA;

typedef int PUTIL_HSSI_ELEMENT_ID;

// A power (or energy) term of a block on one supply: constant x multiplier.
struct PUTIL_HSSI_POWER_CONSTANT_DATA {
    double constant;
    double multiplier;
    PUTIL_STRING name;
};
struct PUTIL_HSSI_ENERGY_CONSTANT_DATA {
    double constant;
    double multiplier;
    PUTIL_STRING name;
};

class PUTIL_EXPORT PUTIL_HSSI_ELEMENT : public PUTIL_HEAP_OBJECT {
public:
    typedef PUTIL_VECTOR<PUTIL_HSSI_ELEMENT*> ELEMENT_LIST;
    typedef PUTIL_VECTOR<int> INT_ROW;
    typedef PUTIL_VECTOR<INT_ROW> INT_TABLE;
    typedef PUTIL_HASH_MAP<int, PUTIL_VECTOR<PUTIL_HSSI_POWER_CONSTANT_DATA>> STATIC_POWER_MAP;
    typedef PUTIL_HASH_MAP<int, PUTIL_VECTOR<PUTIL_HSSI_ENERGY_CONSTANT_DATA>> DYNAMIC_ENERGY_MAP;

    // An element of the block gid, at place id of its model's list, typed by
    // the model's map element_types (which must outlive it). Builds the map
    // first when the device's family is not the one it was built for; the
    // key must be in the map.
    PUTIL_HSSI_ELEMENT(PUTIL_HSSI_ELEMENT_TYPE_MAP& element_types, DEV_DEVICE* device, unsigned gid, int id,
                       PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key);
    PUTIL_HSSI_ELEMENT(const PUTIL_HSSI_ELEMENT& other);
    PUTIL_HSSI_ELEMENT& operator=(const PUTIL_HSSI_ELEMENT& other);
    virtual ~PUTIL_HSSI_ELEMENT();

    // Typed data. Setters and is_valid check the key's range; getters also
    // that the value was set.
    void set_int_data(DEV_POWER_HSSI_INT_DATA_ENUM key, int value);
    int get_int_data(DEV_POWER_HSSI_INT_DATA_ENUM key) const;
    bool is_valid_int_enum(DEV_POWER_HSSI_INT_DATA_ENUM key) const;
    void set_bool_data(DEV_POWER_HSSI_BOOL_DATA_ENUM key, bool value);
    bool get_bool_data(DEV_POWER_HSSI_BOOL_DATA_ENUM key) const;
    bool is_valid_bool_enum(DEV_POWER_HSSI_BOOL_DATA_ENUM key) const;
    void set_double_data(DEV_POWER_HSSI_DOUBLE_DATA_ENUM key, double value);
    double get_double_data(DEV_POWER_HSSI_DOUBLE_DATA_ENUM key) const;
    bool is_valid_double_enum(DEV_POWER_HSSI_DOUBLE_DATA_ENUM key) const;
    void set_enum_data(DEV_POWER_HSSI_ENUM_DATA_ENUM key, int value);
    int get_enum_data(DEV_POWER_HSSI_ENUM_DATA_ENUM key) const;
    bool is_valid_enum_enum(DEV_POWER_HSSI_ENUM_DATA_ENUM key) const;
    void set_2d_int_data(DEV_POWER_HSSI_2D_INT_DATA_ENUM key, const std::vector<std::vector<int>>& table);
    void append_2d_int_data(DEV_POWER_HSSI_2D_INT_DATA_ENUM key, const std::vector<int>& row);
    const INT_TABLE& get_2d_int_data(DEV_POWER_HSSI_2D_INT_DATA_ENUM key) const;
    bool is_valid_2d_int_enum(DEV_POWER_HSSI_2D_INT_DATA_ENUM key) const;
    void set_atom_data(DEV_POWER_HSSI_ATOM_DATA_ENUM key, CDB_ATOM_NODE* const value);
    CDB_ATOM_NODE* get_atom_data(DEV_POWER_HSSI_ATOM_DATA_ENUM key) const;
    bool is_valid_atom_enum(DEV_POWER_HSSI_ATOM_DATA_ENUM key) const;
    void set_iterm_data(DEV_POWER_HSSI_ITERM_DATA_ENUM key, CDB_ATOM_ITERM* const value);
    CDB_ATOM_ITERM* get_iterm_data(DEV_POWER_HSSI_ITERM_DATA_ENUM key) const;
    bool is_valid_iterm_enum(DEV_POWER_HSSI_ITERM_DATA_ENUM key) const;
    void set_oterm_data(DEV_POWER_HSSI_OTERM_DATA_ENUM key, CDB_ATOM_OTERM* const value);
    CDB_ATOM_OTERM* get_oterm_data(DEV_POWER_HSSI_OTERM_DATA_ENUM key) const;
    bool is_valid_oterm_enum(DEV_POWER_HSSI_OTERM_DATA_ENUM key) const;

    // Identity.
    PUTIL_HSSI_ELEMENT_ID get_element_id() const { return m_element_id; }
    unsigned get_element_gid() const { return m_element_gid; }
    PUTIL_HSSI_ELEMENT_TYPE get_element_type() const { return m_element_type; }
    const PUTIL_HSSI_ELEMENT_TYPE_MAP& get_element_types() const { return *m_element_types; }
    void get_element_phys_impl_type(PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key) const;

    // Links. The element points to its parent, children and associated
    // elements but owns none of them; nothing checks for duplicates.
    void set_parent_element(PUTIL_HSSI_ELEMENT* parent) { m_parent_element = parent; }
    PUTIL_HSSI_ELEMENT* get_parent_element() const { return m_parent_element; }
    // Into the child's own type list, then the child list.
    void add_child_element(PUTIL_HSSI_ELEMENT* child);
    // Into the type list of key only.
    void add_child_element(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key, PUTIL_HSSI_ELEMENT* child);
    void add_associated_element(PUTIL_HSSI_ELEMENT* element);
    void add_associated_element(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key, PUTIL_HSSI_ELEMENT* element);
    ELEMENT_LIST& get_child_elements() { return m_child_elements; }
    ELEMENT_LIST& get_associated_elements() { return m_associated_elements; }
    ELEMENT_LIST& get_child_elements(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key);
    ELEMENT_LIST& get_associated_elements(const PUTIL_HSSI_ELEMENT_PHYS_IMPL_KEY& key);

    // Power and energy records, filled by the power analyzer.
    void append_static_power(DEV_POWER_SUPPLY_ENUM supply, double constant, double multiplier,
                             const std::string& name);
    void append_dynamic_energy(DEV_POWER_SUPPLY_ENUM supply, double constant, double multiplier,
                               const std::string& name);
    const STATIC_POWER_MAP& get_static_power() const { return m_static_power; }
    const DYNAMIC_ENERGY_MAP& get_dynamic_energy() const { return m_dynamic_energy; }
    // The sums of constant x multiplier over a supply's records (0 without
    // records): the static power and the dynamic energy per toggle that the
    // power analyzer reads back.
    double get_static_power_sum(DEV_POWER_SUPPLY_ENUM supply) const;
    double get_dynamic_energy_sum(DEV_POWER_SUPPLY_ENUM supply) const;
    // The toggle rate that dynamic energy is multiplied by: the store's rate
    // of the block's input terminal (iterm 0) when it has one, else of its
    // output terminal (oterm 0). false, with rate 0, without a store or
    // without either terminal; from_input says which terminal gave it.
    bool get_terminal_toggle_rate(PUTIL_SA_DATA* sa_data, double& rate, bool& from_input) const;

    // Voltage in millivolts of one of the block's supplies, from its
    // supplies table. A missing table or supply is an internal error, or 0
    // in a customer release.
    int get_voltage(DEV_POWER_SUPPLY_ENUM supply) const;
    // The block's region on a supply: the host's answer, else region 0 when
    // the supply has such a region, else the element's own region.
    DEV_POWER_REGION_ENUM get_power_region_of_element(unsigned gid, DEV_POWER_SUPPLY_ENUM supply) const;
    void set_power_region_of_element(DEV_POWER_REGION_ENUM region) { m_power_region = region; }
    DEV_POWER_REGION_ENUM get_power_region() const { return m_power_region; }

    // Forgets every value and every link except the parent; keeps the power
    // records and the region.
    void invalidate_all_data();

    // A readable description of the element, its data and links; nothing
    // when out is null or not open. sa_data (may be null) gives the toggle
    // rate of the block's terminal.
    void write_debug_info(std::ofstream* out, PUTIL_SA_DATA* sa_data) const;

private:
    void allocate_type_lists();
    ELEMENT_LIST& type_list(PUTIL_VECTOR<ELEMENT_LIST>& lists, PUTIL_HSSI_ELEMENT_TYPE element_type);

    const PUTIL_HSSI_ELEMENT_TYPE_MAP* m_element_types;   // the model's; not owned
    PUTIL_HSSI_ELEMENT_TYPE m_element_type;
    PUTIL_HSSI_ELEMENT_ID m_element_id;
    unsigned m_element_gid;
    PUTIL_VECTOR<ELEMENT_LIST> m_associated_elements_by_type;
    ELEMENT_LIST m_associated_elements;
    PUTIL_HSSI_ELEMENT* m_parent_element = nullptr;
    PUTIL_VECTOR<ELEMENT_LIST> m_child_elements_by_type;
    ELEMENT_LIST m_child_elements;

    int m_int_data[DEV_POWER_HSSI_INT_DATA_END] = {};
    bool m_int_data_is_valid[DEV_POWER_HSSI_INT_DATA_END] = {};
    bool m_bool_data[DEV_POWER_HSSI_BOOL_DATA_END] = {};
    bool m_bool_data_is_valid[DEV_POWER_HSSI_BOOL_DATA_END] = {};
    double m_double_data[DEV_POWER_HSSI_DOUBLE_DATA_END] = {};
    bool m_double_data_is_valid[DEV_POWER_HSSI_DOUBLE_DATA_END] = {};
    int m_enum_data[DEV_POWER_HSSI_ENUM_DATA_END] = {};
    bool m_enum_data_is_valid[DEV_POWER_HSSI_ENUM_DATA_END] = {};
    INT_TABLE m_2d_int_data[DEV_POWER_HSSI_2D_INT_DATA_END];
    bool m_2d_int_data_is_valid[DEV_POWER_HSSI_2D_INT_DATA_END] = {};
    CDB_ATOM_NODE* m_atom_data[DEV_POWER_HSSI_ATOM_DATA_END] = {};
    bool m_atom_data_is_valid[DEV_POWER_HSSI_ATOM_DATA_END] = {};
    CDB_ATOM_ITERM* m_iterm_data[DEV_POWER_HSSI_ITERM_DATA_END] = {};
    bool m_iterm_data_is_valid[DEV_POWER_HSSI_ITERM_DATA_END] = {};
    CDB_ATOM_OTERM* m_oterm_data[DEV_POWER_HSSI_OTERM_DATA_END] = {};
    bool m_oterm_data_is_valid[DEV_POWER_HSSI_OTERM_DATA_END] = {};

    STATIC_POWER_MAP m_static_power;
    DYNAMIC_ENERGY_MAP m_dynamic_energy;
    DEV_POWER_REGION_ENUM m_power_region = DEV_POWER_REGION_NONE;
};
