// Host hierarchy database: the instance names of the compiled design (module
// instances and, as leaves, the signal names inside them), and the compiler
// facade with the database entries reached through it.
#pragma once

#include <string>

#include "host/dev_enums.h"

class CDB_ATOM_NETLIST;
class CDB_DB_ENTRIES;
class HDB_ACTION_PT_TREE;
class RDB_REPORT;

class HDB_INSTANCE_NAME {
public:
    typedef HDB_INSTANCE_NAME* const* ITERATOR;

    // Direct child with exactly this unit name, or null.
    virtual HDB_INSTANCE_NAME* find_in_children(const std::string& name) const = 0;
    virtual ITERATOR begin_child() const = 0;
    virtual ITERATOR end_child() const = 0;
    // Every instance below this one, depth first.
    virtual ITERATOR begin_descendant() const = 0;
    virtual ITERATOR end_descendant() const = 0;
    virtual HDB_INSTANCE_NAME* get_parent() const = 0;   // null at the root
    virtual const std::string& get_unit_name() const = 0;  // this level's name
    virtual std::string get_full_name() const = 0;         // levels joined by "|"
    // A word the library may use to link the name to something of its own.
    virtual void* get_user_word() const = 0;
    virtual void set_user_word(void* word) = 0;
    // The host's flags of the name (256: the name of a pin that reports are
    // to show).
    virtual bool check_flag(unsigned flag) const = 0;
    // Whether a waveform signal may annotate the term of this name, given
    // the width of its declaration (0: one bit, by itself or as a bit of a
    // vector). A host refuses a name whose design signal has another width
    // or another encoding than the simulation's.
    virtual bool accepts_declaration(int /*declared_width*/) const { return true; }

protected:
    virtual ~HDB_INSTANCE_NAME() = default;
};

class HDB_ACTION_PT_INSTANCE {
public:
    virtual HDB_INSTANCE_NAME* get_m_rooted_at() const = 0;   // root of the design hierarchy
    // The tree of the action point's hierarchy, as the waveform database
    // takes it.
    virtual HDB_ACTION_PT_TREE* get_m_action_pt_tree() const = 0;

protected:
    virtual ~HDB_ACTION_PT_INSTANCE() = default;
};

// The compilation the facade stands for.
class HDB_CMP_ACTION_PT_INSTANCE : public HDB_ACTION_PT_INSTANCE {
};

class CMP_FACADE {
public:
    virtual HDB_CMP_ACTION_PT_INSTANCE* get_action_point_instance() const = 0;
    // Name of the compilation, handed to the EDA hierarchy builder.
    virtual const char* get_name_text() const = 0;
    // The compilation's report, or null.
    virtual RDB_REPORT* get_report_database() const = 0;

protected:
    virtual ~CMP_FACADE() = default;
};

class CDB_ATOM_HIERARCHY_LIST;

class CDB_CHIP_DB_ENTRY {
public:
    virtual CDB_ATOM_NETLIST* get_atom_netlist() const = 0;
    // The device family the user chose.
    virtual int get_user_family_enum() const = 0;
    // Records the voltage in millivolts of a transceiver power region (0: the
    // region is powered down); value is 0 or a pad's data.
    virtual void set_power_region_voltage(DEV_POWER_SUPPLY_ENUM supply, DEV_POWER_REGION_ENUM region,
                                          int voltage, int value) = 0;

protected:
    virtual ~CDB_CHIP_DB_ENTRY() = default;
};

class CDB_HIERARCHY_DB_ENTRY {
public:
    virtual CDB_ATOM_HIERARCHY_LIST* get_atom_hierarchy_list() const = 0;

protected:
    virtual ~CDB_HIERARCHY_DB_ENTRY() = default;
};

class CDB_DB_ENTRIES {
public:
    virtual CDB_CHIP_DB_ENTRY* get_chip_db_entry() const = 0;
    virtual CDB_HIERARCHY_DB_ENTRY* get_hierarchy_db_entry() const = 0;

protected:
    virtual ~CDB_DB_ENTRIES() = default;
};

class CDB_CMP_ENTRY {
public:
    static CDB_DB_ENTRIES* get_db_entries(HDB_CMP_ACTION_PT_INSTANCE* instance);
};

// One project option's value as text.
class HDB_OPTION {
public:
    virtual std::string get_value_str() const = 0;

protected:
    virtual ~HDB_OPTION() = default;
};

// The string options of the current project, by option id
// (ACF_VARIABLE_TYPE_ENUM); null for an option that is not set.
class HDB_STRING_OPTION {
public:
    static const HDB_OPTION* get_string_option(int id);
};
