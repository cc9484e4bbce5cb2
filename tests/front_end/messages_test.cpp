// Tests of the message catalogue: ids, identifiers, severities, exact texts as the host records them, suppression.
#include <cctype>
#include <iterator>

#include "core/putil_msgs.h"
#include "putil_test_support.h"

namespace {

// Every factory behind one signature; arguments past the message's own are ignored.
typedef const char* ARG;
typedef MSG_OBJECT* (*FACTORY)(ARG, ARG, ARG);

struct MESSAGE_CASE {
    unsigned id;
    const char* factory_name;   // the identifier in lower case; its first letter gives the severity
    FACTORY factory;
    // The text as the user sees it with the arguments "dir/a.vcd", "7", "1500 ns".
    const char* expected_text;
};
void PrintTo(const MESSAGE_CASE& row, std::ostream* out) { *out << row.id; }

// id, factory name and the arguments it takes of a, b, c.
#define ROW(id, name, args) \
    id, #name, []([[maybe_unused]] ARG a, [[maybe_unused]] ARG b, [[maybe_unused]] ARG c) { return name args; }

const MESSAGE_CASE MESSAGE_CASES[] = {
    {ROW(222000, iputil_putil_vcd_reader_starting_vcd_to_tbl_conversion, (a, b)),
     "Starting conversion of VCD file dir/a.vcd to TBL file 7"},
    {ROW(222001, iputil_putil_vcd_reader_finished_vcd_to_tbl_conversion, (a, b)),
     "Finished conversion of VCD file dir/a.vcd to TBL file 7"},
    {ROW(222002, iputil_putil_vcd_reader_starting_vcd_stats_collection, (a, b, c)),
     "Starting scan of VCD file dir/a.vcd (7 to 1500 ns) for signal static probabilities and transition densities"},
    {ROW(222003, iputil_putil_vcd_reader_finished_vcd_stats_collection, (a, b, c)),
     "Finished scan of VCD file dir/a.vcd (7 to 1500 ns) for signal static probabilities and transition densities"},
    {ROW(222004, eputil_putil_vcd_reader_invalid_start_end_timestamp, ()),
     "VCD Reader start time cannot be greater than end time"},
    {ROW(222005, eputil_putil_vcd_reader_file_not_found, (a)), "VCD file dir/a.vcd was not found"},
    {ROW(222006, wputil_putil_vcd_reader_file_not_found_warning, (a)),
     "VCD file dir/a.vcd was not found.  No VCD file will be used."},
    {ROW(222007, eputil_putil_vcd_reader_general_error, (a, b)), "Parse error in VCD file dir/a.vcd near line 7"},
    {ROW(222008, eputil_putil_vcd_reader_invalid_upscope_command, (a, b)),
     "VCD file dir/a.vcd has an invalid upscope command on line 7"},
    {ROW(222009, eputil_putil_vcd_reader_vcd_to_evcd_consistency_error, (a, b)),
     "VCD file \"dir/a.vcd\" has an invalid EVCD command on line 7"},
    {ROW(222010, eputil_putil_vcd_reader_evcd_to_vcd_consistency_error, (a, b)),
     "EVCD file \"dir/a.vcd\" has an invalid VCD command on line 7"},
    {ROW(222011, eputil_putil_vcd_reader_failed_file_parsing, (a)), "Can't parse VCD file \"dir/a.vcd\""},
    {ROW(222012, eputil_putil_vcd_reader_non_positive_elapsed_time, (b)),
     "VCD file timestamps are not in sequential order on line 7"},
    {ROW(222013, wputil_putil_no_clk_domains_found, ()),
     "Relative toggle rates could not be calculated because no clock domain could be identified for some nodes"},
    {ROW(222014, wputil_putil_multiple_clk_domains_found_max_freq, ()),
     "Relative toggle rates were calculated using fastest clock for nodes in multiple clock domains"},
    {ROW(222015, wputil_putil_multiple_oterm_clk_domains_found_max_freq, (a)),
     "Using fastest of multiple clock domains found for node \"dir/a.vcd\""},
    {ROW(222016, wputil_putil_multiple_clk_domains_found_min_freq, ()),
     "Relative toggle rates were calculated using slowest clock for nodes in multiple clock domains"},
    {ROW(222017, wputil_putil_multiple_oterm_clk_domains_found_min_freq, (a)),
     "Using slowest of multiple clock domains found for node \"dir/a.vcd\""},
    {ROW(222018, wputil_putil_multiple_clk_domains_found_no_freq, ()),
     "Relative toggle rates could not be calculated because no unique clock domain could be identified for some nodes"},
    {ROW(222019, wputil_putil_multiple_reg_clk_domains_found_no_freq, ()),
     "Relative toggle rates could not be calculated because no unique register clock domain could be identified "
     "for some nodes"},
    {ROW(222020, wputil_putil_vcd_reader_malformed_value, (a, b, c)),
     "VCD file dir/a.vcd has a malformed value \"7\" on line 1500 ns: its bits are read as unknown"},
    {ROW(222021, eputil_putil_vcd_reader_damaged_compressed_file, (a, b)),
     "Compressed VCD file dir/a.vcd is truncated or damaged: its text ends near line 7"},
};

class MESSAGE_FACTORY_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<MESSAGE_CASE> {};

// The catalogue's ids run from 222000 without a gap or a repeat, and the table has one factory per entry, in order,
// so that each factory below is checked against its own id.
TEST(MESSAGE_CATALOGUE, ids_are_unique_and_contiguous_with_one_factory_each)
{
    ASSERT_EQ(putil_msg_catalogue_size, std::size(MESSAGE_CASES));
    for (std::size_t i = 0; i < putil_msg_catalogue_size; ++i) {
        EXPECT_EQ(putil_msg_catalogue[i].id, 222000 + i) << putil_msg_catalogue[i].identifier;
        EXPECT_EQ(MESSAGE_CASES[i].id, putil_msg_catalogue[i].id) << MESSAGE_CASES[i].factory_name;
    }
}

// Posted as is, then suppressed: warnings and information can be switched off by the user; errors cannot.
TEST_P(MESSAGE_FACTORY_TEST, builds_its_id_and_text_and_only_errors_survive_suppression)
{
    const MESSAGE_CASE& row = GetParam();
    std::string identifier = row.factory_name;
    for (char& c : identifier)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool error = identifier[0] == 'E';
    putil_post_message(row.factory("dir/a.vcd", "7", "1500 ns"));
    ASSERT_EQ(host_posted_messages().size(), 1u);
    const HOST_POSTED_MESSAGE& posted = host_posted_messages().front();
    EXPECT_EQ(posted.id, row.id);
    EXPECT_EQ(posted.severity,
              error ? MSG_SEVERITY_ERROR : identifier[0] == 'W' ? MSG_SEVERITY_WARNING : MSG_SEVERITY_INFO);
    EXPECT_EQ(posted.identifier, identifier);
    EXPECT_EQ(posted.text, row.expected_text);
    host_clear_posted_messages();
    m_messages.str("");
    host_suppress_message(row.id);
    putil_post_message(row.factory("dir/a.vcd", "7", "1500 ns"));
    EXPECT_EQ(posted_ids(), error ? std::vector<unsigned>{row.id} : std::vector<unsigned>{});
    EXPECT_EQ(m_messages.str(),
              error ? "putil: error: " + std::string(row.expected_text) + " [" + std::to_string(row.id) + "]\n" : "");
}

INSTANTIATE_TEST_SUITE_P(CATALOGUE, MESSAGE_FACTORY_TEST, ::testing::ValuesIn(MESSAGE_CASES),
                         [](const auto& info) { return std::to_string(info.param.id); });

}  // namespace
