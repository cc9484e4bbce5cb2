// Reference host EDA tool settings: the simulation tool chosen for the
// compilation (category 2), its netlist type and numbered settings.
#pragma once

#include <unordered_map>

#include "host/tset.h"

// Tool category of the EDA simulation tool.
constexpr int HOST_TOOL_CATEGORY_SIMULATION = 2;

class HOST_EDA_TOOL final : public TSET_TOOL {
public:
    // A tool that is not set answers is_none() and netlist type 0.
    HOST_EDA_TOOL() = default;

    void set_netlist_type(int netlist_type);
    // Enum and bool settings share one table: a bool reads as value != 0.
    void set_setting(int setting, int value) { m_settings[setting] = value; }

    bool is_none() const override { return !m_set; }
    int get_eda_netlist_type() const override { return m_netlist_type; }
    // 0 (false) for a setting that was never given.
    int get_enum_value(int setting) const override;
    bool get_bool_value(int setting) const override;

private:
    bool m_set = false;
    int m_netlist_type = 0;
    std::unordered_map<int, int> m_settings;
};
