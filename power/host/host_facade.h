// Reference host compiler facade: the compilation of one design and the
// database entries reached through it (netlist, hierarchy list).
#pragma once

#include <string>
#include <vector>

#include "host/hdb.h"

class HOST_DESIGN;
class HOST_INSTANCE;

// The atom hierarchy list handed to the EDA hierarchy builder: the root of
// the design's hierarchy names.
class CDB_ATOM_HIERARCHY_LIST {
public:
    explicit CDB_ATOM_HIERARCHY_LIST(HOST_INSTANCE* root) : m_root(root) {}
    HOST_INSTANCE* root() const { return m_root; }

private:
    HOST_INSTANCE* m_root;
};

// One set_power_region_voltage call.
struct HOST_POWER_REGION_VOLTAGE {
    DEV_POWER_SUPPLY_ENUM supply;
    DEV_POWER_REGION_ENUM region;
    int voltage;
    int value;
};

class HOST_CHIP_DB_ENTRY final : public CDB_CHIP_DB_ENTRY {
public:
    explicit HOST_CHIP_DB_ENTRY(CDB_ATOM_NETLIST* netlist) : m_netlist(netlist) {}
    CDB_ATOM_NETLIST* get_atom_netlist() const override { return m_netlist; }
    int get_user_family_enum() const override { return m_family; }
    void set_family(int family) { m_family = family; }
    // Recorded, not applied: the reference host has no power analyzer that
    // would read the voltages back.
    void set_power_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region, int voltage,
                                  int value) override
    {
        m_power_region_voltages.push_back(HOST_POWER_REGION_VOLTAGE{supply, region, voltage, value});
    }
    // Every call so far, in call order.
    const std::vector<HOST_POWER_REGION_VOLTAGE>& power_region_voltages() const { return m_power_region_voltages; }
    // The calls of putil_lib_force_chip_db_entry_voltage_from_ini for this
    // entry: counted, since the reference host has no settings file whose
    // voltages would override the recorded ones.
    void force_voltage_from_ini() { ++m_forced_from_ini_count; }
    int forced_from_ini_count() const { return m_forced_from_ini_count; }

private:
    CDB_ATOM_NETLIST* m_netlist;
    int m_family = 0;
    int m_forced_from_ini_count = 0;
    std::vector<HOST_POWER_REGION_VOLTAGE> m_power_region_voltages;
};

// The action point's hierarchy tree handed to the waveform database: the
// root of the design's hierarchy names.
class HDB_ACTION_PT_TREE {
public:
    explicit HDB_ACTION_PT_TREE(HOST_INSTANCE* root) : m_root(root) {}
    HOST_INSTANCE* root() const { return m_root; }

private:
    HOST_INSTANCE* m_root;
};

class HOST_HIERARCHY_DB_ENTRY final : public CDB_HIERARCHY_DB_ENTRY {
public:
    explicit HOST_HIERARCHY_DB_ENTRY(HOST_INSTANCE* root) : m_list(root) {}
    CDB_ATOM_HIERARCHY_LIST* get_atom_hierarchy_list() const override
    {
        return const_cast<CDB_ATOM_HIERARCHY_LIST*>(&m_list);
    }

private:
    CDB_ATOM_HIERARCHY_LIST m_list;
};

class HOST_DB_ENTRIES final : public CDB_DB_ENTRIES {
public:
    HOST_DB_ENTRIES(CDB_ATOM_NETLIST* netlist, HOST_INSTANCE* root) : m_chip(netlist), m_hierarchy(root) {}
    CDB_CHIP_DB_ENTRY* get_chip_db_entry() const override { return const_cast<HOST_CHIP_DB_ENTRY*>(&m_chip); }
    CDB_HIERARCHY_DB_ENTRY* get_hierarchy_db_entry() const override
    {
        return const_cast<HOST_HIERARCHY_DB_ENTRY*>(&m_hierarchy);
    }

private:
    HOST_CHIP_DB_ENTRY m_chip;
    HOST_HIERARCHY_DB_ENTRY m_hierarchy;
};

// The compilation: knows its design so that host services given only the
// action point (tool settings, database entries) can reach it.
class HOST_ACTION_POINT final : public HDB_CMP_ACTION_PT_INSTANCE {
public:
    HOST_ACTION_POINT(HOST_DESIGN* design, HOST_INSTANCE* root, CDB_ATOM_NETLIST* netlist);
    HDB_INSTANCE_NAME* get_m_rooted_at() const override;
    HDB_ACTION_PT_TREE* get_m_action_pt_tree() const override { return const_cast<HDB_ACTION_PT_TREE*>(&m_tree); }
    HOST_DESIGN* design() const { return m_design; }
    HOST_DB_ENTRIES* db_entries() const { return const_cast<HOST_DB_ENTRIES*>(&m_db_entries); }

private:
    HOST_DESIGN* m_design;
    HOST_INSTANCE* m_root;
    HOST_DB_ENTRIES m_db_entries;
    HDB_ACTION_PT_TREE m_tree;
};

class HOST_FACADE final : public CMP_FACADE {
public:
    // The report belongs to the design and must outlive the facade.
    HOST_FACADE(HOST_DESIGN* design, HOST_INSTANCE* root, CDB_ATOM_NETLIST* netlist, RDB_REPORT* report,
                std::string name);
    HDB_CMP_ACTION_PT_INSTANCE* get_action_point_instance() const override;
    const char* get_name_text() const override { return m_name.c_str(); }
    RDB_REPORT* get_report_database() const override { return m_report; }
    void set_name(std::string name) { m_name = std::move(name); }
    HOST_CHIP_DB_ENTRY* chip_db_entry() const
    {
        return static_cast<HOST_CHIP_DB_ENTRY*>(m_action_point.db_entries()->get_chip_db_entry());
    }

private:
    HOST_ACTION_POINT m_action_point;
    RDB_REPORT* m_report;
    std::string m_name;
};

// The design behind a compilation of this host, or null (null instance, or
// one this host did not make).
HOST_DESIGN* host_design_of(const HDB_CMP_ACTION_PT_INSTANCE* instance);
