// The putil hssi command on the bundled devices and design, and its errors.
#include <algorithm>
#include <nlohmann/json.hpp>

#include "hssi_test_support.h"

namespace {

const std::string EXAMPLES = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples/";
// Two PLLs of a strip on two supplies, with power constants, and a VCD in
// which the CDR PLL's output toggles 1e9 times a second and the LC PLL's
// 2e9 times.
const std::string TWO_PLLS_DESIGN = EXAMPLES + "two_plls_design.json";

int count_of(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

const char* const FAMILIES[] = {"haldorv", "pellumv", "brindev", "kvb", "fennick", "womblet"};

// The base model takes every block whose kind and implementation the
// device's table lists: each bundled device lists all of its blocks.
TEST_F(PUTIL_TEST, hssi_dumps_every_element_of_the_device_then_the_recorded_voltages)
{
    for (const char* family : FAMILIES) {
        const std::string device = EXAMPLES + family + "_device.json";
        const RUN_RESULT device_only = run_putil("hssi --device " + device + " --family base -o dump.txt");
        ASSERT_EQ(device_only.status, 0) << family << device_only.err;
        const std::string dump = putil_read_text(m_folder + "/dump.txt");
        EXPECT_EQ(dump.rfind("ELEMENT_ID : 0\n{\n   GID = ", 0), 0u) << family;
        EXPECT_EQ(count_of(dump, "ELEMENT_ID : "), count_of(putil_read_text(device), "\"gid\"")) << family;
        EXPECT_NE(dump.find("\nPOWER_REGION_VOLTAGES\n{\n}\n"), std::string::npos) << family;
    }

    // The design names its device; its PLL that drives no transceiver
    // block no longer counts as one.
    const RUN_RESULT with_design = run_putil("hssi --design " + EXAMPLES + "haldorv_design.json");
    ASSERT_EQ(with_design.status, 0) << with_design.err;
    EXPECT_EQ(count_of(with_design.out, "IS_HSSI_BLOCK = FALSE"), 1);
}

TEST_F(PUTIL_TEST, hssi_refuses_a_missing_or_second_device)
{
    const RUN_RESULT none = run_putil("hssi");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no device"), std::string::npos);
    const RUN_RESULT other = run_putil("hssi --device " + EXAMPLES + "kvb_device.json --design " + EXAMPLES +
                                       "haldorv_design.json");
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.err.find("the design is placed on the device"), std::string::npos);
    EXPECT_EQ(run_putil("hssi --device " + EXAMPLES + "kvb_device.json --family zork").status, 2);
}

// Every bundled design and device with every model: the model runs, or the
// command line is refused naming the device's family; never an internal
// error.
TEST_F(PUTIL_TEST, HssiEveryModelOnEveryBundledDesignAndDevice)
{
    std::vector<std::string> models(std::begin(FAMILIES), std::end(FAMILIES));
    models.push_back("base");
    for (const char* family : FAMILIES) {
        const std::pair<const char*, const char*> inputs[] = {{"--design ", "_design.json"},
                                                              {"--device ", "_device.json"}};
        for (const auto& [option, suffix] : inputs) {
            const std::string file = EXAMPLES + family + suffix;
            for (const std::string& model : models) {
                const RUN_RESULT run = run_putil("hssi " + std::string(option) + file + " --family " + model +
                                                 " -o dump.txt");
                const bool fits = model == "base" || model == family;
                EXPECT_EQ(run.status, fits ? 0 : 2) << file << " " << model << "\n" << run.err;
                if (!fits) {
                    EXPECT_NE(run.err.find(std::string("whose family is ") + family), std::string::npos) << run.err;
                }
            }
        }
    }
}

// Each family's bundled design: two PLLs start bonding groups 1 and 2, and
// the unused strip's supplies are recorded as powered down.
TEST_F(PUTIL_TEST, hssi_builds_each_familys_model_of_its_bundled_design)
{
    for (const char* family : FAMILIES) {
        const RUN_RESULT run = run_putil(std::string("hssi --design ") + EXAMPLES + family + "_design.json");
        ASSERT_EQ(run.status, 0) << family << run.err;
        EXPECT_GT(count_of(run.out, "   BONDING_INDEX = 1\n"), 0) << family;
        EXPECT_GT(count_of(run.out, "   BONDING_INDEX = 2\n"), 0) << family;
        EXPECT_EQ(count_of(run.out, "   BONDING_INDEX = 3\n"), 0) << family;
        const std::string voltages = run.out.substr(run.out.find("POWER_REGION_VOLTAGES"));
        EXPECT_GE(count_of(voltages, " = 0 mV"), 5) << family << voltages;
    }
}

// Worked by hand from the device's constants and the VCD's rates:
// VCC_HSSI_PLL: static 0.004 (CDR) + 0.006 + 0.003 (LC) = 0.013 W, dynamic
// 2e-12 x 1.5 x 1e9 (CDR) + 2e-12 x 2e9 (LC) = 0.007 W; VCC_HSSI_CLOCK:
// static 0.001 W, dynamic 1e-12 x 1e9 = 0.001 W. Everything lies in the
// left half.
TEST_F(PUTIL_TEST, hssi_power_report_adds_up_each_supplys_power)
{
    const RUN_RESULT run = run_putil("hssi --design " + TWO_PLLS_DESIGN + " --vcd " + EXAMPLES + "two_plls.vcd --format json");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json report = nlohmann::json::parse(run.out);
    struct EXPECTED {
        const char* supply;
        double static_power;
        double dynamic_power;
    };
    const EXPECTED expected[] = {{"VCC_HSSI_PLL", 0.013, 0.007}, {"VCC_HSSI_CLOCK", 0.001, 0.001}};
    ASSERT_EQ(report["supplies"].size(), 2u);
    ASSERT_EQ(report["regions"].size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        for (const nlohmann::json& total : {report["supplies"][i], report["regions"][i]}) {
            EXPECT_EQ(total["supply"], expected[i].supply);
            EXPECT_NEAR(total["static_power"].get<double>(), expected[i].static_power, 1e-12);
            EXPECT_NEAR(total["dynamic_power"].get<double>(), expected[i].dynamic_power, 1e-12);
            EXPECT_NEAR(total["power"].get<double>(), expected[i].static_power + expected[i].dynamic_power, 1e-12);
        }
        EXPECT_EQ(report["regions"][i]["region"], "LEFT_HALF");
    }
    const nlohmann::json& elements = report["elements"];
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[0]["name"], "CDR_PLL@110");
    EXPECT_EQ(elements[1]["millivolts"], 900);
    EXPECT_DOUBLE_EQ(elements[2]["toggle_rate"].get<double>(), 2e9);
    EXPECT_DOUBLE_EQ(elements[2]["dynamic_energy"].get<double>(), 2e-12);

    // Without activity the rates are the store's zeros: static power only.
    const RUN_RESULT idle = run_putil("hssi --design " + TWO_PLLS_DESIGN + " --format csv");
    ASSERT_EQ(idle.status, 0) << idle.err;
    EXPECT_NE(idle.out.find("LC_PLL@111,1,111,LC_PLL,STANDARD,VCC_HSSI_PLL,1000,LEFT_HALF,0.009,2e-12,0,0\n"),
              std::string::npos)
        << idle.out;
}

// The activity that putil activity saved gives the model what reading the
// VCD again gives it, in every format.
TEST_F(PUTIL_TEST, hssi_takes_saved_activity_as_it_takes_the_waveforms)
{
    const std::string design = TWO_PLLS_DESIGN;
    ASSERT_EQ(run_putil("activity --design " + design + " --format json -o activity.json " + EXAMPLES + "two_plls.vcd").status,
              0);
    for (const char* format : {"table", "csv", "json"}) {
        const RUN_RESULT read = run_putil("hssi --design " + design + " --vcd " + EXAMPLES + "two_plls.vcd --format " + format);
        const RUN_RESULT saved =
            run_putil("hssi --design " + design + " --activity " + m_folder + "/activity.json --format " + format);
        ASSERT_EQ(read.status, 0) << read.err;
        ASSERT_EQ(saved.status, 0) << saved.err;
        EXPECT_EQ(read.out, saved.out) << format;
        const RUN_RESULT piped = run_putil("hssi --design " + design + " --activity - --format " + format + " < " +
                                           m_folder + "/activity.json");
        EXPECT_EQ(piped.out, read.out) << format << piped.err;
        EXPECT_NE(read.out.find(std::string(format) == "json" ? "2000000000.0" : "2e+09"), std::string::npos) << format;
    }
    // The dump too sees the rates.
    const RUN_RESULT dump = run_putil("hssi --design " + design + " --activity " + m_folder + "/activity.json");
    EXPECT_NE(dump.out.find("   OUTPUT_TOGGLE_RATE = 2e+09\n"), std::string::npos) << dump.out;
}

TEST_F(PUTIL_TEST, hssi_refuses_activity_it_cannot_use)
{
    const std::string design = " --design " + TWO_PLLS_DESIGN;
    write_file("other.json", "{\"signals\": [{\"name\": \"nowhere\", \"toggle_rate\": 1}]}");
    const RUN_RESULT other = run_putil("hssi" + design + " --activity " + m_folder + "/other.json");
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.err.find("other.json: signals[0].name: the design has no output signal \"nowhere\""),
              std::string::npos)
        << other.err;
    const std::pair<std::string, std::string> usages[] = {
        {" --activity a.json --vcd " + EXAMPLES + "two_plls.vcd", "give one or the other"},
        {" --format csv --dump", "give one"},
    };
    for (const auto& [options, reason] : usages) {
        const RUN_RESULT run = run_putil("hssi" + design + options);
        EXPECT_EQ(run.status, 2) << options;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    }
    EXPECT_EQ(run_putil("hssi --device " + EXAMPLES + "two_plls_device.json --activity a.json").status, 2);
}

// The dump shows the model as the device and design give it: the power
// constants of the bundled devices are the power report's, so the dump's
// sums stay 0, with or without --dump.
TEST_F(PUTIL_TEST, hssi_dump_is_the_default_and_leaves_out_the_power_constants)
{
    for (const char* family : FAMILIES) {
        const std::string design = EXAMPLES + family + "_design.json";
        const RUN_RESULT plain = run_putil("hssi --design " + design);
        const RUN_RESULT dump = run_putil("hssi --dump --design " + design);
        ASSERT_EQ(plain.status, 0) << family << plain.err;
        EXPECT_EQ(plain.out, dump.out) << family;
        EXPECT_GT(count_of(plain.out, "   STATIC_POWER = {"), 0) << family;
        for (std::size_t at = plain.out.find("   STATIC_POWER = {"); at != std::string::npos;
             at = plain.out.find("   STATIC_POWER = {", at + 1)) {
            const std::string line = plain.out.substr(at, plain.out.find('\n', at) - at);
            EXPECT_EQ(line.find_first_of("123456789"), std::string::npos) << family << line;
        }
        const RUN_RESULT power = run_putil("hssi --format table --design " + design);
        ASSERT_EQ(power.status, 0) << family << power.err;
        EXPECT_NE(power.out.find("\nsupplies\nname"), std::string::npos) << family;
    }
}

// A BRINDEV serializer whose TX buffer passes the reference clock check
// counts as unused beside its used buffer: the design is refused, naming
// both atoms; the PELLUMV model and the base model carry it.
TEST_F(PUTIL_TEST, hssi_refuses_a_brindev_channel_that_would_be_used_and_unused)
{
    std::string text = putil_read_text(EXAMPLES + "brindev_design.json");
    const std::string buffer = "{\"name\": \"tx_buf0\", \"kind\": \"other\", \"location\": 126,";
    ASSERT_NE(text.find(buffer), std::string::npos);
    text.replace(text.find(buffer), buffer.size(), buffer + " \"rtc_assignment_ok\": true,");
    const std::string device = "\"brindev_device.json\"";
    text.replace(text.find(device), device.size(), "\"" + EXAMPLES + "brindev_device.json\"");
    write_file("rtc.json", text);
    const RUN_RESULT run = run_putil("hssi --design " + m_folder + "/rtc.json");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("rtc.json: atom tx_buf0: rtc_assignment_ok:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("so tx_ser0 would be unused while tx_buf0 in the same channel (block 120) is used"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("internal error"), std::string::npos) << run.err;
    EXPECT_EQ(run_putil("hssi --family base --design " + m_folder + "/rtc.json -o dump.txt").status, 0);
    EXPECT_EQ(run_putil("hssi --design " + EXAMPLES + "pellumv_design.json -o dump.txt").status, 0);
}

// The tables of the three families with built-in wiring, and none for the
// others; every format of every bundled device.
TEST_F(PUTIL_TEST, supplies_shows_each_bundled_devices_tables)
{
    for (const char* family : FAMILIES) {
        const std::string device = EXAMPLES + family + "_device.json";
        const bool wired = std::string(family) == "kvb" || std::string(family) == "fennick" ||
                           std::string(family) == "womblet";
        const RUN_RESULT json_run = run_putil("supplies --device " + device + " --format json");
        ASSERT_EQ(json_run.status, 0) << family << json_run.err;
        const nlohmann::json report = nlohmann::json::parse(json_run.out);
        EXPECT_EQ(report["kinds"].empty(), !wired) << family;
        EXPECT_EQ(report["voltages"].empty(), !wired) << family;
        EXPECT_EQ(report["matrix"]["table"].get<std::string>().rfind("power_region_voltages", 0), 0u) << family;
        const RUN_RESULT csv = run_putil("supplies --design " + EXAMPLES + family + "_design.json --format csv");
        ASSERT_EQ(csv.status, 0) << family << csv.err;
        EXPECT_EQ(count_of(csv.out, "\n"), 1 + static_cast<int>(report["kinds"].size())) << family;
        const RUN_RESULT table = run_putil("supplies --device " + device);
        ASSERT_EQ(table.status, 0) << family << table.err;
        EXPECT_NE(table.out.find("\npower matrix, flat\npower_region_voltages_row\t"), std::string::npos);
    }
    // Family 42 lists supply 45 twice for kind 697, region WHOLE_DIE (0) at 0
    // mV, and its core supply in region CORE at 900 mV.
    const RUN_RESULT womblet = run_putil("supplies --device " + EXAMPLES + "womblet_device.json --format csv");
    EXPECT_EQ(count_of(womblet.out, "HSSI_AUX_CLOCK_BLOCK,VCC_HSSI_ANALOG,WHOLE_DIE,0\n"), 2) << womblet.out;
    EXPECT_NE(womblet.out.find("HSSI_QUAD,VCC_CORE,CORE,900\n"), std::string::npos);
    // Families 50 and 7 give supplies 19 to 24 no region of the kind.
    const nlohmann::json kvb =
        nlohmann::json::parse(run_putil("supplies --device " + EXAMPLES + "kvb_device.json --format json").out);
    const nlohmann::json pll_left = {{"name", "VCC_HSSI_PLL-LEFT_HALF"}, {"supply", "VCC_HSSI_PLL"},
                                     {"region", "LEFT_HALF"}, {"millivolts", 0}, {"element_kinds", 0}};
    EXPECT_NE(std::find(kvb["voltages"].begin(), kvb["voltages"].end(), pll_left), kvb["voltages"].end());
    EXPECT_NE(kvb["matrix"]["flat_table"].get<std::string>().find("VCC_CORE-CORE-0\tmillivolts\t900\n"),
              std::string::npos);
    EXPECT_EQ(run_putil("supplies").status, 1);
}

}   // namespace
