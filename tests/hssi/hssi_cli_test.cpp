// The putil hssi command on the bundled devices and design, and its errors.
#include "hssi_test_support.h"

namespace {

const std::string EXAMPLES = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples/";

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

}   // namespace
