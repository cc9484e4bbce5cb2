// Settings store, time text and progress record of the reference host.
#include "host_test_fixture.h"

namespace {

struct SETTING_CASE {
    const char* name;
    const char* value;
    bool accepted;
    const char* error;
};

class SETTING_TEST : public HOST_TEST, public ::testing::WithParamInterface<SETTING_CASE> {};

TEST_P(SETTING_TEST, ParsesByTheSettingsKind)
{
    const SETTING_CASE& c = GetParam();
    std::string error;
    EXPECT_EQ(host_set_setting(c.name, c.value, &error), c.accepted);
    EXPECT_EQ(error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Store, SETTING_TEST,
    ::testing::Values(SETTING_CASE{"putil_clock_domain_dump", "on", true, ""},
                      SETTING_CASE{"putil_clock_domain_dump", "FALSE", true, ""},
                      SETTING_CASE{"putil_clock_domain_dump", "1", true, ""},
                      SETTING_CASE{"putil_clock_domain_dump", "yes", false,
                                   "setting \"putil_clock_domain_dump\" takes on or off, not \"yes\""},
                      SETTING_CASE{"putil_vcd_stop_after_percent", "50", true, ""},
                      SETTING_CASE{"putil_vcd_stop_after_percent", "-1", true, ""},
                      SETTING_CASE{"putil_vcd_stop_after_percent", "5x", false,
                                   "setting \"putil_vcd_stop_after_percent\" takes a decimal integer, not \"5x\""},
                      SETTING_CASE{"putil_vcd_stop_after_percent", "99999999999", false,
                                   "setting \"putil_vcd_stop_after_percent\" takes a decimal integer, not "
                                   "\"99999999999\""},
                      SETTING_CASE{"putil_vcd_stop_after_percent", "", false,
                                   "setting \"putil_vcd_stop_after_percent\" takes a decimal integer, not \"\""},
                      SETTING_CASE{"no_such_setting", "on", false, "unknown setting \"no_such_setting\""}));

using HOST_SETTINGS_TEST = HOST_TEST;

TEST_F(HOST_SETTINGS_TEST, UnsetAndWrongKindReadsGiveTheDefault)
{
    EXPECT_TRUE(cfg_is_on("putil_read_vwf_file", true));
    EXPECT_EQ(cfg_get_int_value("putil_vcd_stop_after_percent", -1), -1);
    ASSERT_TRUE(host_set_setting("putil_read_vwf_file", "on"));
    ASSERT_TRUE(host_set_setting("putil_vcd_stop_after_percent", "+25"));
    EXPECT_TRUE(cfg_is_on("putil_read_vwf_file", false));
    EXPECT_EQ(cfg_get_int_value("putil_vcd_stop_after_percent", -1), 25);
    EXPECT_EQ(cfg_get_int_value("putil_read_vwf_file", 7), 7);
    EXPECT_FALSE(cfg_is_on("putil_vcd_stop_after_percent", false));
}

TEST_F(HOST_SETTINGS_TEST, RejectedValueLeavesThePreviousOne)
{
    ASSERT_TRUE(host_set_setting("putil_ignore_clock_settings", "on"));
    EXPECT_FALSE(host_set_setting("putil_ignore_clock_settings", "maybe"));
    EXPECT_TRUE(cfg_is_on("putil_ignore_clock_settings", false));
    host_clear_settings();
    EXPECT_FALSE(cfg_is_on("putil_ignore_clock_settings", false));
}

struct TIME_CASE {
    std::int64_t picoseconds;
    const char* text;
};

class BIG_TIME_TEST : public ::testing::TestWithParam<TIME_CASE> {};

TEST_P(BIG_TIME_TEST, ShowsTheLargestWholeUnit)
{
    BIG_TIME time(GetParam().picoseconds);
    EXPECT_EQ(time.get_storage_number(), GetParam().picoseconds);
    EXPECT_EQ(time.to_string(0), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Text, BIG_TIME_TEST,
                         ::testing::Values(TIME_CASE{0, "0 ps"}, TIME_CASE{1, "1 ps"}, TIME_CASE{10000, "10 ns"},
                                           TIME_CASE{1500000, "1500 ns"}, TIME_CASE{2000000, "2 us"},
                                           TIME_CASE{3000000000, "3 ms"}, TIME_CASE{5000000000000, "5 s"},
                                           TIME_CASE{1001, "1001 ps"}, TIME_CASE{-20000, "-20 ns"}),
                         [](const ::testing::TestParamInfo<TIME_CASE>& info) { return std::to_string(info.index); });

TEST_F(HOST_SETTINGS_TEST, ProgressRecordsStateZeroOnly)
{
    putil_lib_update_progress_bar(0, 10);
    putil_lib_update_progress_bar(1, 20);
    putil_lib_update_progress_bar(0, 100);
    host_progress_finish();
    EXPECT_EQ(host_progress_updates(), (std::vector<int>{10, 100}));
    host_clear_progress_updates();
    EXPECT_TRUE(host_progress_updates().empty());
}

TEST_F(HOST_SETTINGS_TEST, LibraryUtilities)
{
    std::string text = "Top|U1|Q[3]";
    stl_tolower(text);
    EXPECT_EQ(text, "top|u1|q[3]");
    EXPECT_TRUE(FIO_FILE_SYSTEM::exists(PUTIL_TEST_DATA_DIR "/.."));
    EXPECT_FALSE(FIO_FILE_SYSTEM::exists(PUTIL_TEST_DATA_DIR "/no_such_file.vcd"));
    EXPECT_FALSE(putil_lib_get_continue_and_warn_on_failure());
    host_set_continue_and_warn_on_failure(true);
    EXPECT_TRUE(putil_lib_get_continue_and_warn_on_failure());
}

}  // namespace
