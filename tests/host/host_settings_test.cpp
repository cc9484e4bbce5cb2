// Settings store and time text of the reference host. Reads of unset settings give the library's defaults, which
// its tests rely on throughout.
#include "host_test_fixture.h"

namespace {

struct SETTING_CASE { const char* name; const char* value; bool accepted; std::string error; };
class SETTING_TEST : public HOST_TEST, public ::testing::WithParamInterface<SETTING_CASE> {};

TEST_P(SETTING_TEST, parses_by_the_settings_kind)
{
    std::string error;
    EXPECT_EQ(host_set_setting(GetParam().name, GetParam().value, &error), GetParam().accepted);
    EXPECT_EQ(error, GetParam().error);
}

const char* const ON_OFF = "putil_clock_domain_dump";
const char* const NUMBER = "putil_vcd_stop_after_percent";
const std::string NOT_A_NUMBER = "setting \"putil_vcd_stop_after_percent\" takes a decimal integer, not ";
const std::string OUT_OF_RANGE = "setting \"putil_vcd_stop_after_percent\" takes a decimal integer, ";
const SETTING_CASE SETTING_CASES[] = {
    {ON_OFF, "on", true, ""}, {ON_OFF, "FALSE", true, ""}, {NUMBER, "1", true, ""}, {NUMBER, "+25", true, ""},
    {NUMBER, "100", true, ""},
    {NUMBER, "-1", false, "setting \"putil_vcd_stop_after_percent\" takes 1 to 100, not -1"},
    {NUMBER, "101", false, "setting \"putil_vcd_stop_after_percent\" takes 1 to 100, not 101"},
    {ON_OFF, "yes", false, "setting \"putil_clock_domain_dump\" takes on or off, not \"yes\""},
    {NUMBER, "5x", false, NOT_A_NUMBER + "\"5x\""}, {NUMBER, "99999999999x", false, NOT_A_NUMBER + "\"99999999999x\""},
    {NUMBER, "99999999999", false, OUT_OF_RANGE + "\"99999999999\" is out of range"},
    {NUMBER, "", false, NOT_A_NUMBER + "\"\""}, {"no_such", "on", false, "unknown setting \"no_such\""}};
INSTANTIATE_TEST_SUITE_P(STORE, SETTING_TEST, ::testing::ValuesIn(SETTING_CASES));

TEST(HOST_BIG_TIME, shows_the_largest_whole_unit)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 ps"},          {1, "1 ps"},           {10000, "10 ns"},  {1500000, "1500 ns"}, {2000000, "2 us"},
        {3000000000, "3 ms"}, {5000000000000, "5 s"}, {1001, "1001 ps"}, {-20000, "-20 ns"}};
    for (const auto& [picoseconds, text] : cases) {
        EXPECT_EQ(BIG_TIME(picoseconds).get_storage_number(), picoseconds);
        EXPECT_EQ(BIG_TIME(picoseconds).to_string(0), text);
    }
}

}  // namespace
