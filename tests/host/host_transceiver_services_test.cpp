// Reference host services of the transceiver family models: the transmit
// path and its check, atom queries and parameters, supply voltages per
// region, the user's voltage settings, and the loader keys behind them (their
// mistakes are rows of the loaders' error tables). The die's data parts are
// counted by the KVB line's channel tests.
#include <unordered_map>

#include "host_test_fixture.h"

namespace {

// A TX PCS, its serializer and the serializer's TX buffer, whose check
// passes; a clock generation block; the user's settings.
const char* const DESIGN = R"({
  "atoms": [
    {"name": "pcs", "kind": "other", "tx_ser": "ser"},
    {"name": "ser", "kind": "hssi_pma_tx_ser", "tx_buf": "buf", "outputs": [{"hpath": "dout", "port": "dataout"}]},
    {"name": "buf", "kind": "other", "rtc_assignment_ok": true, "inputs": [{"port": 6335, "source": "dout"}]},
    {"name": "cgb", "kind": "hssi_pma_tx_cgb", "parameters": {"4999": 10}},
    {"name": "rx", "kind": "other", "parameters": {"0": "0101111100", "2": [true, 0, 1, false], "5": 3}}
  ],
  "voltage_settings": {"voltages": {"4": "VOLTAGE_900_MV", "0": 7}, "options": {"0": "ON", "3": "2"},
                       "string_options": {"1403": "ON"}}
})";

// Two voltages of 1000 mV, VCCEHT per region with a pad of its own.
const char* const DEVICE = R"({
  "family": "PELLUMV",
  "voltages": {"VOLTAGE_1050_MV": 1000, "VOLTAGE_1000_MV": 1000, "VOLTAGE_1030_MV": 1030},
  "region_voltages": [
    {"supply": "VCCEHT", "region": "LEFT_HALF", "millivolts": 1000},
    {"supply": "VCCEHT", "region": "LEFT_HALF", "pad": 2, "millivolts": 1030},
    {"supply": 23, "region": 2, "millivolts": 900}
  ]
})";

DEV_POWER_SUPPLY_ENUM supply(int value) { return static_cast<DEV_POWER_SUPPLY_ENUM>(value); }
DEV_POWER_REGION_ENUM region(int value) { return static_cast<DEV_POWER_REGION_ENUM>(value); }
DEV_POWER_TYPE_NAME_ENUM type(int value) { return static_cast<DEV_POWER_TYPE_NAME_ENUM>(value); }
DEV_VOLTAGE_ENUM voltage(int value) { return static_cast<DEV_VOLTAGE_ENUM>(value); }
DEV_VOLTAGE_OPTION_TYPE_ENUM option_type(int value) { return static_cast<DEV_VOLTAGE_OPTION_TYPE_ENUM>(value); }
DEV_VOLTAGE_OPTION_ENUM option(int value) { return static_cast<DEV_VOLTAGE_OPTION_ENUM>(value); }

using VOLTAGES = std::unordered_map<DEV_POWER_TYPE_NAME_ENUM, DEV_VOLTAGE_ENUM>;
using OPTIONS = std::unordered_map<DEV_VOLTAGE_OPTION_TYPE_ENUM, DEV_VOLTAGE_OPTION_ENUM>;
using LEGALITY = CUT_PELLUMV_HSSI_PCS_CORECLK_LEGALITY;

class HOST_TRANSCEIVER_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        std::string error;
        m_design = host_load_design_text(DESIGN, "d.json", error);
        ASSERT_NE(m_design, nullptr) << error;
        ASSERT_TRUE(host_load_device_text(DEVICE, "v.json", *m_design->device(), error)) << error;
        host_set_current_design(m_design.get());
    }

    HOST_ATOM* atom(const char* name) const { return m_design->host_netlist()->find_atom(name); }

    std::unique_ptr<HOST_DESIGN> m_design;
};

TEST_F(HOST_TRANSCEIVER_TEST, follows_the_transmit_path_and_answers_its_check)
{
    HOST_ATOM* pcs = atom("pcs");
    HOST_ATOM* ser = atom("ser");
    HOST_ATOM* buf = atom("buf");
    EXPECT_EQ(LEGALITY::get_tx_ser_via_tx_pcs(pcs), ser);
    EXPECT_EQ(LEGALITY::get_tx_buf_via_tx_ser(ser), buf);
    EXPECT_EQ(LEGALITY::get_tx_ser_via_tx_pcs(ser), nullptr);
    EXPECT_TRUE(LEGALITY::check_rtc_assignment(buf) && !LEGALITY::check_rtc_assignment(ser));
    m_design->set_rtc_assignment_ok(buf, false);
    m_design->set_tx_buf_via_tx_ser(ser, nullptr);
    EXPECT_FALSE(LEGALITY::check_rtc_assignment(buf));
    EXPECT_EQ(LEGALITY::get_tx_buf_via_tx_ser(ser), nullptr);
    // Only a serializer sits behind a TX PCS or in front of a TX buffer.
    EXPECT_THROW(m_design->set_tx_ser_via_tx_pcs(pcs, buf), HOST_INTERNAL_ERROR);
    EXPECT_THROW(m_design->set_tx_buf_via_tx_ser(pcs, buf), HOST_INTERNAL_ERROR);
}

// The capture tests read atom kinds, usages and enum data; these are the misses and names they do not reach.
TEST_F(HOST_TRANSCEIVER_TEST, answers_atom_queries)
{
    int value = -1;
    EXPECT_TRUE(cga_current_interface()->get_enum_data(atom("cgb"), 4999, &value));
    EXPECT_EQ(value, 10);
    EXPECT_FALSE(cga_current_interface()->get_enum_data(atom("cgb"), 5000, &value));
    EXPECT_EQ(value, 10);
    EXPECT_EQ(cdb_get_atom_type_name(CDB_ATOM_TYPE_CDR_PLL_B), "CDR_PLL_B");
    EXPECT_EQ(cdb_get_atom_type_name(12), "12");
}

TEST_F(HOST_TRANSCEIVER_TEST, answers_text_and_bit_vector_parameters)
{
    const CGA_INTERFACE* cga = cga_current_interface();
    HOST_ATOM* rx = atom("rx");
    std::string text = "unset";
    std::vector<bool> bits;
    int number = -1;
    cga->get_string_parameter(rx, 0, text);
    cga->get_bit_vector_parameter(rx, 2, bits);
    // Read as another type, or absent, a parameter leaves the caller's value.
    cga->get_int_parameter(rx, 0, number);
    cga->get_string_parameter(rx, 5, text);
    cga->get_bit_vector_parameter(rx, 9, bits);
    EXPECT_FALSE(cga->get_enum_data(rx, 2, &number));
    EXPECT_EQ(text, "0101111100");
    EXPECT_EQ(bits, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(number, -1);
    // Setting a number again replaces its value, whatever the type.
    m_design->set_atom_string_parameter(rx, 5, "");
    m_design->set_atom_bit_vector_parameter(rx, 0, {});
    cga->get_string_parameter(rx, 5, text);
    cga->get_int_parameter(rx, 5, number);
    cga->get_bit_vector_parameter(rx, 0, bits);
    EXPECT_EQ(text, "");
    EXPECT_EQ(number, -1);
    EXPECT_TRUE(bits.empty());
}

// How a pad's voltage falls back to its region's is read back through the transceiver models' supply tests.
TEST_F(HOST_TRANSCEIVER_TEST, answers_supply_voltages_per_region_and_pad)
{
    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_voltage(m_design->facade(), DEV_POWER_SUPPLY_VCCEHT, region(1), 2), 1030);
    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_voltage(nullptr, supply(23), region(2), 0), 900);
    // 1000 mV is both VOLTAGE_1000_MV (4) and VOLTAGE_1050_MV (6): the smaller wins.
    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_voltage_enum(1000), 4);
    // Another design's facade reads that design's device.
    HOST_DESIGN other;
    other.device()->set_region_voltage(supply(23), region(2), 850);
    EXPECT_EQ(CUT_VOLTAGE_UTIL::get_voltage(other.facade(), supply(23), region(2), 0), 850);
}

TEST_F(HOST_TRANSCEIVER_TEST, answers_the_users_voltage_settings)
{
    VOLTAGES voltages{{type(9), voltage(1)}, {type(0), voltage(1)}};
    EXPECT_TRUE(CUT_VOLTAGE_UTIL::read_voltages_from_acf(m_design->facade(), voltages));
    EXPECT_EQ(voltages, (VOLTAGES{{type(9), voltage(1)}, {type(4), voltage(2)}, {type(0), voltage(7)}}));
    OPTIONS options;
    EXPECT_TRUE(CUT_VOLTAGE_UTIL::read_voltage_options_from_acf(nullptr, options));
    EXPECT_EQ(options, (OPTIONS{{option_type(0), option(1)}, {option_type(3), option(2)}}));
    ASSERT_NE(HDB_STRING_OPTION::get_string_option(1403), nullptr);
    EXPECT_EQ(HDB_STRING_OPTION::get_string_option(1403)->get_value_str(), "ON");
    EXPECT_EQ(HDB_STRING_OPTION::get_string_option(1404), nullptr);
    EXPECT_TRUE(dstr_exists_dev_voltage_option_enum_by_string("OFF"));
    EXPECT_FALSE(dstr_exists_dev_voltage_option_enum_by_string("AUTO"));
    EXPECT_EQ(dstr_get_dev_voltage_option_enum_by_string("ON"), 1);
    putil_lib_force_chip_db_entry_voltage_from_ini();
    EXPECT_EQ(m_design->chip_db_entry()->forced_from_ini_count(), 1);

    // Without a current design a null facade reads no settings, and
    // forcing the settings file's voltages has no entry to count on.
    host_set_current_design(nullptr);
    putil_lib_force_chip_db_entry_voltage_from_ini();
    EXPECT_EQ(m_design->chip_db_entry()->forced_from_ini_count(), 1);
    VOLTAGES none;
    OPTIONS no_options;
    EXPECT_FALSE(CUT_VOLTAGE_UTIL::read_voltages_from_acf(nullptr, none));
    EXPECT_FALSE(CUT_VOLTAGE_UTIL::read_voltage_options_from_acf(nullptr, no_options));
    EXPECT_TRUE(none.empty() && no_options.empty());
    EXPECT_EQ(HDB_STRING_OPTION::get_string_option(1403), nullptr);
}

}  // namespace
