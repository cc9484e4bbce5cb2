// Host tool settings: the EDA tools chosen for the compilation.
#pragma once

class HDB_CMP_ACTION_PT_INSTANCE;

class TSET_TOOL {
public:
    virtual bool is_none() const = 0;            // no tool of this category is set
    virtual int get_eda_netlist_type() const = 0;
    virtual int get_enum_value(int setting) const = 0;
    virtual bool get_bool_value(int setting) const = 0;

protected:
    virtual ~TSET_TOOL() = default;
};

class TSET_UTIL {
public:
    explicit TSET_UTIL(HDB_CMP_ACTION_PT_INSTANCE* instance);
    // Never null; a category without a tool answers is_none().
    TSET_TOOL* get_tool(int category) const;

private:
    HDB_CMP_ACTION_PT_INSTANCE* m_instance;
};
