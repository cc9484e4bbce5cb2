// Reference host user settings of a compilation: the voltages the user chose
// per power type, the voltage options per option type, and the project's
// string options by id.
#pragma once

#include <map>
#include <string>

#include "host/dev_enums.h"
#include "host/hdb.h"

// One string option's text.
class HOST_OPTION final : public HDB_OPTION {
public:
    explicit HOST_OPTION(std::string text) : m_text(std::move(text)) {}
    std::string get_value_str() const override { return m_text; }

private:
    std::string m_text;
};

class HOST_USER_SETTINGS {
public:
    // A later setting of the same type or id replaces the earlier one.
    void set_voltage(DEV_POWER_TYPE_NAME_ENUM type, DEV_VOLTAGE_ENUM voltage) { m_voltages[type] = voltage; }
    void set_voltage_option(DEV_VOLTAGE_OPTION_TYPE_ENUM type, DEV_VOLTAGE_OPTION_ENUM option)
    {
        m_voltage_options[type] = option;
    }
    void set_string_option(int id, std::string text);

    const std::map<DEV_POWER_TYPE_NAME_ENUM, DEV_VOLTAGE_ENUM>& voltages() const { return m_voltages; }
    const std::map<DEV_VOLTAGE_OPTION_TYPE_ENUM, DEV_VOLTAGE_OPTION_ENUM>& voltage_options() const
    {
        return m_voltage_options;
    }
    // The option of that id, or null when it is not set.
    const HDB_OPTION* string_option(int id) const;

private:
    std::map<DEV_POWER_TYPE_NAME_ENUM, DEV_VOLTAGE_ENUM> m_voltages;
    std::map<DEV_VOLTAGE_OPTION_TYPE_ENUM, DEV_VOLTAGE_OPTION_ENUM> m_voltage_options;
    std::map<int, HOST_OPTION> m_string_options;
};
