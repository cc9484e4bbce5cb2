// Tests of the message catalogue: ids, severities, exact texts as the host records them, suppression.
#include <set>
#include <string>

#include "putil_msgs.h"
#include "putil_test_support.h"

namespace {

// Every factory behind one signature; arguments past the message's own are ignored.
typedef const char* ARG;
typedef MSG_OBJECT* (*FACTORY)(ARG, ARG, ARG);

struct MESSAGE_CASE {
    unsigned id;
    MSG_SEVERITY severity;
    const char* identifier;
    FACTORY factory;
    // The text as the user sees it with the arguments "dir/a.vcd", "7", "1500 ns".
    const char* expected_text;
};

void PrintTo(const MESSAGE_CASE& row, std::ostream* out) { *out << row.id; }

const char* const ARG1 = "dir/a.vcd";
const char* const ARG2 = "7";
const char* const ARG3 = "1500 ns";

const MESSAGE_CASE MESSAGE_CASES[] = {
    {222000, MSG_SEVERITY_INFO, "IPUTIL_PUTIL_VCD_READER_STARTING_VCD_TO_TBL_CONVERSION",
     [](ARG a, ARG b, ARG) { return iputil_putil_vcd_reader_starting_vcd_to_tbl_conversion(a, b); },
     "Starting conversion of VCD file dir/a.vcd to TBL file 7"},
    {222001, MSG_SEVERITY_INFO, "IPUTIL_PUTIL_VCD_READER_FINISHED_VCD_TO_TBL_CONVERSION",
     [](ARG a, ARG b, ARG) { return iputil_putil_vcd_reader_finished_vcd_to_tbl_conversion(a, b); },
     "Finished conversion of VCD file dir/a.vcd to TBL file 7"},
    {222002, MSG_SEVERITY_INFO, "IPUTIL_PUTIL_VCD_READER_STARTING_VCD_STATS_COLLECTION",
     [](ARG a, ARG b, ARG c) { return iputil_putil_vcd_reader_starting_vcd_stats_collection(a, b, c); },
     "Starting scan of VCD file dir/a.vcd (7 to 1500 ns) for signal static probabilities and transition densities"},
    {222003, MSG_SEVERITY_INFO, "IPUTIL_PUTIL_VCD_READER_FINISHED_VCD_STATS_COLLECTION",
     [](ARG a, ARG b, ARG c) { return iputil_putil_vcd_reader_finished_vcd_stats_collection(a, b, c); },
     "Finished scan of VCD file dir/a.vcd (7 to 1500 ns) for signal static probabilities and transition densities"},
    {222004, MSG_SEVERITY_ERROR, "EPUTIL_PUTIL_VCD_READER_INVALID_START_END_TIMESTAMP",
     [](ARG, ARG, ARG) { return eputil_putil_vcd_reader_invalid_start_end_timestamp(); },
     "VCD Reader start time cannot be greater than end time"},
    {222005, MSG_SEVERITY_ERROR, "EPUTIL_PUTIL_VCD_READER_FILE_NOT_FOUND",
     [](ARG a, ARG, ARG) { return eputil_putil_vcd_reader_file_not_found(a); },
     "VCD file dir/a.vcd was not found"},
    {222006, MSG_SEVERITY_WARNING, "WPUTIL_PUTIL_VCD_READER_FILE_NOT_FOUND_WARNING",
     [](ARG a, ARG, ARG) { return wputil_putil_vcd_reader_file_not_found_warning(a); },
     "VCD file dir/a.vcd was not found.  No VCD file will be used."},
    {222007, MSG_SEVERITY_ERROR, "EPUTIL_PUTIL_VCD_READER_GENERAL_ERROR",
     [](ARG a, ARG b, ARG) { return eputil_putil_vcd_reader_general_error(a, b); },
     "Parse error in VCD file dir/a.vcd near line 7"},
    {222008, MSG_SEVERITY_ERROR, "EPUTIL_PUTIL_VCD_READER_INVALID_UPSCOPE_COMMAND",
     [](ARG a, ARG b, ARG) { return eputil_putil_vcd_reader_invalid_upscope_command(a, b); },
     "VCD file dir/a.vcd has an invalid upscope command on line 7"},
    {222009, MSG_SEVERITY_ERROR, "EPUTIL_PUTIL_VCD_READER_VCD_TO_EVCD_CONSISTENCY_ERROR",
     [](ARG a, ARG b, ARG) { return eputil_putil_vcd_reader_vcd_to_evcd_consistency_error(a, b); },
     "VCD file \"dir/a.vcd\" has an invalid EVCD command on line 7"},
    {222010, MSG_SEVERITY_ERROR, "EPUTIL_PUTIL_VCD_READER_EVCD_TO_VCD_CONSISTENCY_ERROR",
     [](ARG a, ARG b, ARG) { return eputil_putil_vcd_reader_evcd_to_vcd_consistency_error(a, b); },
     "EVCD file \"dir/a.vcd\" has an invalid VCD command on line 7"},
    {222011, MSG_SEVERITY_ERROR, "EPUTIL_PUTIL_VCD_READER_FAILED_FILE_PARSING",
     [](ARG a, ARG, ARG) { return eputil_putil_vcd_reader_failed_file_parsing(a); },
     "Can't parse VCD file \"dir/a.vcd\""},
    {222012, MSG_SEVERITY_ERROR, "EPUTIL_PUTIL_VCD_READER_NON_POSITIVE_ELAPSED_TIME",
     [](ARG, ARG b, ARG) { return eputil_putil_vcd_reader_non_positive_elapsed_time(b); },
     "VCD file timestamps are not in sequential order on line 7"},
    {222013, MSG_SEVERITY_WARNING, "WPUTIL_PUTIL_NO_CLK_DOMAINS_FOUND",
     [](ARG, ARG, ARG) { return wputil_putil_no_clk_domains_found(); },
     "Relative toggle rates could not be calculated because no clock domain could be identified for some nodes"},
    {222014, MSG_SEVERITY_WARNING, "WPUTIL_PUTIL_MULTIPLE_CLK_DOMAINS_FOUND_MAX_FREQ",
     [](ARG, ARG, ARG) { return wputil_putil_multiple_clk_domains_found_max_freq(); },
     "Relative toggle rates were calculated using fastest clock for nodes in multiple clock domains"},
    {222015, MSG_SEVERITY_WARNING, "WPUTIL_PUTIL_MULTIPLE_OTERM_CLK_DOMAINS_FOUND_MAX_FREQ",
     [](ARG a, ARG, ARG) { return wputil_putil_multiple_oterm_clk_domains_found_max_freq(a); },
     "Using fastest of multiple clock domains found for node \"dir/a.vcd\""},
    {222016, MSG_SEVERITY_WARNING, "WPUTIL_PUTIL_MULTIPLE_CLK_DOMAINS_FOUND_MIN_FREQ",
     [](ARG, ARG, ARG) { return wputil_putil_multiple_clk_domains_found_min_freq(); },
     "Relative toggle rates were calculated using slowest clock for nodes in multiple clock domains"},
    {222017, MSG_SEVERITY_WARNING, "WPUTIL_PUTIL_MULTIPLE_OTERM_CLK_DOMAINS_FOUND_MIN_FREQ",
     [](ARG a, ARG, ARG) { return wputil_putil_multiple_oterm_clk_domains_found_min_freq(a); },
     "Using slowest of multiple clock domains found for node \"dir/a.vcd\""},
    {222018, MSG_SEVERITY_WARNING, "WPUTIL_PUTIL_MULTIPLE_CLK_DOMAINS_FOUND_NO_FREQ",
     [](ARG, ARG, ARG) { return wputil_putil_multiple_clk_domains_found_no_freq(); },
     "Relative toggle rates could not be calculated because no unique clock domain could be identified for some "
     "nodes"},
    {222019, MSG_SEVERITY_WARNING, "WPUTIL_PUTIL_MULTIPLE_REG_CLK_DOMAINS_FOUND_NO_FREQ",
     [](ARG, ARG, ARG) { return wputil_putil_multiple_reg_clk_domains_found_no_freq(); },
     "Relative toggle rates could not be calculated because no unique register clock domain could be identified "
     "for some nodes"},
};

class MESSAGE_FACTORY_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<MESSAGE_CASE> {
};

TEST_P(MESSAGE_FACTORY_TEST, builds_its_id_and_text)
{
    const MESSAGE_CASE& row = GetParam();
    putil_post_message(row.factory(ARG1, ARG2, ARG3));
    ASSERT_EQ(host_posted_messages().size(), 1u);
    const HOST_POSTED_MESSAGE& posted = host_posted_messages().front();
    EXPECT_EQ(posted.id, row.id);
    EXPECT_EQ(posted.severity, row.severity);
    EXPECT_EQ(posted.identifier, row.identifier);
    EXPECT_EQ(posted.text, row.expected_text);
}

// Warnings and information can be switched off by the user; errors cannot.
TEST_P(MESSAGE_FACTORY_TEST, suppression_silences_only_warnings_and_information)
{
    const MESSAGE_CASE& row = GetParam();
    host_suppress_message(row.id);
    putil_post_message(row.factory(ARG1, ARG2, ARG3));
    if (row.severity == MSG_SEVERITY_ERROR) {
        ASSERT_EQ(posted_ids(), std::vector<unsigned>{row.id});
        EXPECT_EQ(host_posted_messages().front().text, row.expected_text);
    } else {
        EXPECT_EQ(posted_ids(), std::vector<unsigned>{});
    }
    EXPECT_EQ(m_messages.str(), row.severity == MSG_SEVERITY_ERROR
                                    ? "putil: error: " + std::string(row.expected_text) + " [" +
                                          std::to_string(row.id) + "]\n"
                                    : "");
}

INSTANTIATE_TEST_SUITE_P(CATALOGUE, MESSAGE_FACTORY_TEST, ::testing::ValuesIn(MESSAGE_CASES),
                         [](const ::testing::TestParamInfo<MESSAGE_CASE>& info) {
                             return std::to_string(info.param.id);
                         });

// The catalogue table itself: contiguous unique ids, unique identifiers
// whose letter is the severity, and as many arguments as placeholders.
TEST(MESSAGE_CATALOGUE, ids_are_contiguous_and_entries_consistent)
{
    ASSERT_EQ(putil_msg_catalogue_size, 20u);
    std::set<std::string> identifiers;
    for (std::size_t i = 0; i < putil_msg_catalogue_size; ++i) {
        const PUTIL_MSG_ENTRY& entry = putil_msg_catalogue[i];
        SCOPED_TRACE(entry.identifier);
        EXPECT_EQ(entry.id, 222000 + i);
        EXPECT_STREQ(entry.identifier, MESSAGE_CASES[i].identifier);
        EXPECT_TRUE(identifiers.insert(entry.identifier).second) << "identifier used twice";
        const std::string text(entry.text);
        int placeholders = 0;
        for (const char* placeholder : {"%1!s!", "%2!s!", "%3!s!"})
            placeholders += text.find(placeholder) != std::string::npos ? 1 : 0;
        EXPECT_EQ(entry.argument_count, placeholders);
    }
}

}  // namespace
