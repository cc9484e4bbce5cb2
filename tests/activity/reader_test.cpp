// Tests of the VCD reader: line counts, status, entries and messages, merging, pads, name-matching files.
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "putil_test_support.h"
#include "putil_vcd_reader.h"
#include "putil_vcd_reader_main.h"

namespace {

// 0 for 10 ns, then 1 for 30 ns: static probability 0.75, one transition in 40 ns.
const char* const RISE_AT_10 = "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                               "$enddefinitions $end\n#0\n0!\n#10\n1!\n#40\n";
// 1 from 10 to 20 ns of 40: static probability 0.25, two transitions in 40 ns.
const char* const PULSE_AT_10 = "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                                "$enddefinitions $end\n#0\n0!\n#10\n1!\n#20\n0!\n#40\n";

class READER_TEST : public PUTIL_TEST {
protected:
    bool read(HOST_DESIGN& design, int* status = nullptr)
    {
        PUTIL_VCD_READER* reader = putil_create_putil_vcd_reader(design.facade());
        const bool result = reader->read_vcd_files(design.store());
        if (status != nullptr)
            *status = reader->get_status();
        delete reader;
        return result;
    }

    static std::string read_text(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static const CDB_ATOM_OTERM* find_oterm(HOST_DESIGN& design, const std::string& path)
    {
        CDB_ATOM_NETLIST* netlist = design.netlist();
        for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node)
            for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term)
                if ((*term)->get_string_hpath() == path)
                    return *term;
        return nullptr;
    }

    static void expect_activity(HOST_DESIGN& design, const std::string& path, float static_probability,
                                float toggle_rate)
    {
        SCOPED_TRACE(path);
        PUTIL_OUTPUT_SIGNAL_DATA* data = putil_signal_data(design, path);
        ASSERT_TRUE(data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED));
        ASSERT_TRUE(data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED));
        EXPECT_FLOAT_EQ(data->get_static_probability(), static_probability);
        EXPECT_FLOAT_EQ(data->get_toggle_rate(), toggle_rate);
    }
};

struct LINE_COUNT_CASE {
    const char* name;
    std::string text;
    std::uint64_t lines;
};

void PrintTo(const LINE_COUNT_CASE& row, std::ostream* out) { *out << row.name; }

class READER_LINE_COUNT_TEST : public READER_TEST, public ::testing::WithParamInterface<LINE_COUNT_CASE> {
};

// Only line feeds count: a last line without one is not counted.
TEST_P(READER_LINE_COUNT_TEST, counts_line_feeds)
{
    HOST_DESIGN design;
    PUTIL_VCD_READER_MAIN reader(design.facade());
    std::uint64_t lines = 12345;
    ASSERT_TRUE(reader.count_lines_in_file(write_file("lines.vcd", GetParam().text), &lines));
    EXPECT_EQ(lines, GetParam().lines);
    EXPECT_EQ(posted_ids(), std::vector<unsigned>{});
    EXPECT_EQ(reader.get_status(), PUTIL_VCD_READER_STATUS_OK);
}

const LINE_COUNT_CASE LINE_COUNT_CASES[] = {
    {"empty_file", "", 0},
    {"one_line_without_line_feed", "#0", 0},
    {"two_lines_without_final_line_feed", "#0\n1!", 1},
    {"two_lines", "#0\n1!\n", 2},
    {"empty_lines", "\n\n\n", 3},
    {"crlf_counts_once", "#0\r\n1!\r\n", 2},
    {"carriage_returns_alone_do_not_count", "#0\r1!\r", 0},
    // Read in blocks of 65536 bytes: line feeds on both sides of a block end.
    {"more_than_one_block", std::string(65535, 'x') + "\n\n" + std::string(70000, '\n'), 70002},
};

INSTANTIATE_TEST_SUITE_P(FILES, READER_LINE_COUNT_TEST, ::testing::ValuesIn(LINE_COUNT_CASES),
                         [](const ::testing::TestParamInfo<LINE_COUNT_CASE>& info) { return info.param.name; });

// The line count drives progress: "#0" on the second line of a file of
// one line feed is 200 percent through it.
TEST_F(READER_TEST, progress_uses_the_line_count)
{
    auto design = putil_make_signal_design({"top|a"});
    design->input_files()->add_entry(write_file("short.vcd", "$enddefinitions $end\n#0"), nullptr, nullptr, nullptr);
    EXPECT_TRUE(read(*design));
    EXPECT_EQ(host_progress_updates(), std::vector<int>{200});
}

// An empty file is accepted: no progress (0 lines), no error, nothing annotated.
TEST_F(READER_TEST, empty_file_is_read_without_error)
{
    auto design = putil_make_signal_design({"top|a"});
    design->input_files()->add_entry(write_file("empty.vcd", ""), nullptr, nullptr, nullptr);
    int status = -1;
    EXPECT_TRUE(read(*design, &status));
    EXPECT_EQ(status, PUTIL_VCD_READER_STATUS_OK);
    EXPECT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003}));
    EXPECT_EQ(host_progress_updates(), std::vector<int>{});
    EXPECT_FALSE(putil_signal_data(*design, "top|a")->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED));
}

TEST_F(READER_TEST, status_is_reset_by_each_operation)
{
    auto design = putil_make_signal_design({"top|a"});
    const std::string late = m_folder + "/late.vcd";
    design->input_files()->add_entry(late, nullptr, nullptr, nullptr);
    PUTIL_VCD_READER* reader = putil_create_putil_vcd_reader(design->facade());
    EXPECT_EQ(reader->get_status(), PUTIL_VCD_READER_STATUS_OK);
    EXPECT_FALSE(reader->read_vcd_files(design->store()));
    EXPECT_EQ(reader->get_status(), PUTIL_VCD_READER_STATUS_FILE_NOT_FOUND);
    // Once the file exists the same reader succeeds and its status is clear again.
    write_file("late.vcd", RISE_AT_10);
    EXPECT_TRUE(reader->read_vcd_files(design->store()));
    EXPECT_EQ(reader->get_status(), PUTIL_VCD_READER_STATUS_OK);
    delete reader;
    EXPECT_EQ(posted_ids(), (std::vector<unsigned>{222005, 222002, 222003}));
}

TEST_F(READER_TEST, empty_entry_list_is_success_without_messages)
{
    auto design = putil_make_signal_design({"top|a"});
    int status = -1;
    EXPECT_TRUE(read(*design, &status));
    EXPECT_EQ(status, PUTIL_VCD_READER_STATUS_OK);
    EXPECT_EQ(posted_ids(), std::vector<unsigned>{});
}

struct MISSING_FILE_CASE {
    const char* name;
    bool continue_on_failure;
    unsigned not_found_id;
    MSG_SEVERITY not_found_severity;
};

void PrintTo(const MISSING_FILE_CASE& row, std::ostream* out) { *out << row.name; }

class READER_MISSING_FILE_TEST : public READER_TEST, public ::testing::WithParamInterface<MISSING_FILE_CASE> {
};

// Three entries with the second missing: the first is read, the second is
// reported, the third is not read; the result is the host's failure policy.
TEST_P(READER_MISSING_FILE_TEST, stops_at_the_missing_file)
{
    const MISSING_FILE_CASE& row = GetParam();
    host_set_continue_and_warn_on_failure(row.continue_on_failure);
    auto design = putil_make_signal_design({"top|a", "top|b"});
    const std::string first = write_file("first.vcd", RISE_AT_10);
    const std::string missing = m_folder + "/missing.vcd";
    const std::string third =
        write_file("third.vcd", "$scope module top $end\n$var wire 1 ! b $end\n$upscope $end\n"
                                "$enddefinitions $end\n#0\n1!\n#10\n");
    for (const std::string& file : {first, missing, third})
        design->input_files()->add_entry(file, nullptr, nullptr, nullptr);
    int status = -1;
    EXPECT_EQ(read(*design, &status), row.continue_on_failure);
    EXPECT_EQ(status, PUTIL_VCD_READER_STATUS_FILE_NOT_FOUND);
    ASSERT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003, row.not_found_id}));
    const HOST_POSTED_MESSAGE& not_found = host_posted_messages()[2];
    EXPECT_EQ(not_found.severity, row.not_found_severity);
    EXPECT_EQ(not_found.text, row.continue_on_failure
                                  ? "VCD file " + missing + " was not found.  No VCD file will be used."
                                  : "VCD file " + missing + " was not found");
    expect_activity(*design, "top|a", 0.75f, static_cast<float>(1 / 40e-9));
    EXPECT_FALSE(putil_signal_data(*design, "top|b")->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED));
}

const MISSING_FILE_CASE MISSING_FILE_CASES[] = {
    {"error_when_failure_stops", false, 222005, MSG_SEVERITY_ERROR},
    {"warning_when_host_continues", true, 222006, MSG_SEVERITY_WARNING},
};

INSTANTIATE_TEST_SUITE_P(POLICY, READER_MISSING_FILE_TEST, ::testing::ValuesIn(MISSING_FILE_CASES),
                         [](const ::testing::TestParamInfo<MISSING_FILE_CASE>& info) { return info.param.name; });

struct WINDOW_TEXT_CASE {
    const char* name;
    std::optional<std::int64_t> start_ps;
    std::optional<std::int64_t> end_ps;
    const char* window_text;
};

void PrintTo(const WINDOW_TEXT_CASE& row, std::ostream* out) { *out << row.name; }

class READER_WINDOW_TEXT_TEST : public READER_TEST, public ::testing::WithParamInterface<WINDOW_TEXT_CASE> {
};

TEST_P(READER_WINDOW_TEXT_TEST, start_and_finish_messages_name_the_window)
{
    auto design = putil_make_signal_design({"top|a"});
    const std::string file = write_file("w.vcd", RISE_AT_10);
    const BIG_TIME start(GetParam().start_ps.value_or(0));
    const BIG_TIME end(GetParam().end_ps.value_or(0));
    design->input_files()->add_entry(file, nullptr, GetParam().start_ps ? &start : nullptr,
                                     GetParam().end_ps ? &end : nullptr);
    EXPECT_TRUE(read(*design));
    ASSERT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003}));
    const std::string rest = " of VCD file " + file + " (" + GetParam().window_text +
                             ") for signal static probabilities and transition densities";
    EXPECT_EQ(host_posted_messages()[0].text, "Starting scan" + rest);
    EXPECT_EQ(host_posted_messages()[1].text, "Finished scan" + rest);
}

const WINDOW_TEXT_CASE WINDOW_TEXT_CASES[] = {
    {"whole_file", {}, {}, "0 ns to End of File"},
    {"start_and_end", 10000, 1500000, "10 ns to 1500 ns"},
    {"zero_start", 0, {}, "0 ps to End of File"},
};

INSTANTIATE_TEST_SUITE_P(WINDOWS, READER_WINDOW_TEXT_TEST, ::testing::ValuesIn(WINDOW_TEXT_CASES),
                         [](const ::testing::TestParamInfo<WINDOW_TEXT_CASE>& info) { return info.param.name; });

// Several entries: each file is read in order, into the same store.
TEST_F(READER_TEST, several_entries_annotate_their_own_signals)
{
    auto design = putil_make_signal_design({"top|a", "top|b"});
    const std::string first = write_file("a.vcd", RISE_AT_10);
    const std::string second = write_file(
        "b.vcd", "$timescale 10 ns $end\n$scope module top $end\n$var wire 1 ! b $end\n$upscope $end\n"
                 "$enddefinitions $end\n#0\n1!\n#1\n0!\n#4\n");
    design->input_files()->add_entry(first, nullptr, nullptr, nullptr);
    design->input_files()->add_entry(second, nullptr, nullptr, nullptr);
    EXPECT_TRUE(read(*design));
    EXPECT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003, 222002, 222003}));
    expect_activity(*design, "top|a", 0.75f, static_cast<float>(1 / 40e-9));
    // The second file's 10 ns unit: 1 for 10 ns of 40, one fall.
    expect_activity(*design, "top|b", 0.25f, static_cast<float>(1 / 40e-9));
}

struct MERGE_CASE {
    const char* name;
    PUTIL_MERGE_MODE mode;
    float static_probability;
    float toggle_rate;
    bool second_entry_annotates;
};

void PrintTo(const MERGE_CASE& row, std::ostream* out) { *out << row.name; }

class READER_MERGE_TEST : public READER_TEST, public ::testing::WithParamInterface<MERGE_CASE> {
};

// The same signal from two files: the first value is set, the second
// replaces it, is added to it or is dropped.
TEST_P(READER_MERGE_TEST, second_file_merges_by_mode)
{
    auto design = putil_make_signal_design({"top|a"});
    HOST_INPUT_FILE_MANAGER* inputs = design->input_files();
    HOST_INPUT_FILE_DATA* first = inputs->add_entry(write_file("first.vcd", RISE_AT_10), nullptr, nullptr, nullptr);
    HOST_INPUT_FILE_DATA* second =
        inputs->add_entry(write_file("second.vcd", PULSE_AT_10), nullptr, nullptr, nullptr);
    inputs->set_merge_mode(GetParam().mode);
    EXPECT_TRUE(read(*design));
    expect_activity(*design, "top|a", GetParam().static_probability, GetParam().toggle_rate);
    const CDB_ATOM_OTERM* oterm = find_oterm(*design, "top|a");
    EXPECT_TRUE(first->is_annotated(oterm));
    EXPECT_EQ(second->is_annotated(oterm), GetParam().second_entry_annotates);
}

const MERGE_CASE MERGE_CASES[] = {
    {"replace", PUTIL_MERGE_REPLACE, 0.25f, static_cast<float>(2 / 40e-9), true},
    {"add", PUTIL_MERGE_ADD, 1.0f, static_cast<float>(3 / 40e-9), true},
    {"keep", PUTIL_MERGE_KEEP, 0.75f, static_cast<float>(1 / 40e-9), false},
};

INSTANTIATE_TEST_SUITE_P(MODES, READER_MERGE_TEST, ::testing::ValuesIn(MERGE_CASES),
                         [](const ::testing::TestParamInfo<MERGE_CASE>& info) { return info.param.name; });

// A pad whose output enable (port 21) is driven by top|oe. The pad makes
// five transitions in 80 ns (rise 10, fall 20, rise 40, fall 50, rise 70),
// three of them while oe is 1 (0 from 30 to 60 ns). Redundant writes at
// 25 and 55 ns close each pulse before oe changes.
const char* const PAD_VCD =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! oe $end\n$var wire 1 \" pad $end\n$upscope $end\n"
    "$enddefinitions $end\n#0\n1!\n0\"\n#10\n1\"\n#20\n0\"\n#25\n0\"\n#30\n0!\n#40\n1\"\n#50\n0\"\n#55\n0\"\n"
    "#60\n1!\n#70\n1\"\n#80\n";

std::string pad_design_json(const char* kind)
{
    return std::string("{\"atoms\": [{\"name\": \"oe\", \"kind\": \"lcell_comb\", \"outputs\": [{\"hpath\": "
                       "\"top|oe\"}]}, {\"name\": \"pad\", \"kind\": \"") +
           kind +
           "\", \"outputs\": [{\"hpath\": \"top|pad\", \"port\": \"pad_output\"}], \"inputs\": [{\"port\": "
           "\"output_enable\", \"source\": \"top|oe\", \"output_enable\": true}]}]}";
}

struct PAD_CASE {
    const char* kind;
    float pad_toggle_rate;                  // the pad's own record
    std::optional<float> bidir_toggle_rate; // its bidirectional output record
};

void PrintTo(const PAD_CASE& row, std::ostream* out) { *out << row.kind; }

class READER_PAD_TEST : public READER_TEST, public ::testing::WithParamInterface<PAD_CASE> {
};

TEST_P(READER_PAD_TEST, output_enable_selects_the_counted_toggles)
{
    std::string error;
    auto design = host_load_design_text(pad_design_json(GetParam().kind), "pad.json", error);
    ASSERT_TRUE(design) << error;
    design->input_files()->add_entry(write_file("pad.vcd", PAD_VCD), nullptr, nullptr, nullptr);
    EXPECT_TRUE(read(*design));
    EXPECT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003}));
    // High 10 + 10 + 10 ns of 80.
    expect_activity(*design, "top|pad", 0.375f, GetParam().pad_toggle_rate);
    // oe: high 30 + 20 ns of 80, two transitions.
    expect_activity(*design, "top|oe", 0.625f, static_cast<float>(2 / 80e-9));

    unsigned id = 0;
    ASSERT_TRUE(design->store()->get_unique_id_for_output_signal(find_oterm(*design, "top|pad"), &id));
    PUTIL_OUTPUT_SIGNAL_DATA* bidir = design->store()->get_bidir_padio_output_signal_data(id, false);
    ASSERT_EQ(bidir != nullptr, GetParam().bidir_toggle_rate.has_value());
    if (bidir != nullptr) {
        EXPECT_TRUE(bidir->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED));
        EXPECT_FLOAT_EQ(bidir->get_static_probability(), 0.375f);
        EXPECT_FLOAT_EQ(bidir->get_toggle_rate(), *GetParam().bidir_toggle_rate);
    }
}

const PAD_CASE PAD_CASES[] = {
    // The pad record counts every toggle, the output record the enabled ones.
    {"bidir_pad", static_cast<float>(5 / 80e-9), static_cast<float>(3 / 80e-9)},
    // A pad without an output record counts only the enabled toggles.
    {"io_pad", static_cast<float>(3 / 80e-9), std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(PADS, READER_PAD_TEST, ::testing::ValuesIn(PAD_CASES),
                         [](const ::testing::TestParamInfo<PAD_CASE>& info) { return info.param.kind; });

// The name-matching files are written to the working directory.
TEST_F(READER_TEST, name_matching_files_list_unmatched_and_silent_signals)
{
    const char* const design_json = R"({"atoms": [
        {"name": "a", "kind": "lcell_ff", "outputs": [{"hpath": "top|a", "registered": true}]},
        {"name": "r", "kind": "lcell_ff", "outputs": [{"hpath": "top|r", "registered": true}]},
        {"name": "m", "kind": "ram", "outputs": [{"hpath": "top|m", "registered": true}]},
        {"name": "o", "kind": "other", "outputs": [{"hpath": "top|o", "registered": true}]},
        {"name": "nd", "kind": "lcell_comb", "outputs": [{"hpath": "top|nd"}]},
        {"name": "clk_in", "kind": "input_pin", "outputs": [{"hpath": "clk_in", "port": "combout"}]},
        {"name": "rst_in", "kind": "input_pin", "outputs": [{"hpath": "rst_in", "port": "combout"}]}]})";
    std::string error;
    auto design = host_load_design_text(design_json, "matching.json", error);
    ASSERT_TRUE(design) << error;
    host_set_setting("putil_output_vcd_name_matching_info", "on");
    design->input_files()->add_entry(
        write_file("m.vcd", "$timescale 1ns $end\n$var wire 1 # clk_in $end\n$scope module top $end\n"
                            "$var wire 1 ! a $end\n$var wire 1 \" nd $end\n$upscope $end\n$enddefinitions $end\n"
                            "#0\n0!\n1#\n#10\n1!\n0#\n#20\n"),
        nullptr, nullptr, nullptr);

    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(m_folder.c_str()), 0);
    const bool result = read(*design);
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_TRUE(result);

    EXPECT_EQ(read_text(m_folder + "/putil_vcd_unmatched_names_list.txt"), "top|r,LCELL\ntop|m,RAM\nrst_in,PIN\n");
    EXPECT_EQ(read_text(m_folder + "/putil_vcd_no_data_list.txt"), "top|nd\n");
    EXPECT_EQ(read_text(m_folder + "/putil_vcd_unmatched_names_summary.txt"),
              "PIN_OTERMS\t2\nPIN_OTERMS_UNMATCHED\t1\nREGISTERED_OTERMS\t4\nREGISTERED_OTERMS_UNMATCHED\t3\n"
              "MAC_MULT_REGISTERED_OTERMS\t0\nMAC_MULT_REGISTERED_OTERMS_UNMATCHED\t0\n"
              "MAC_OUT_REGISTERED_OTERMS\t0\nMAC_OUT_REGISTERED_OTERMS_UNMATCHED\t0\n"
              "LCELL_REGISTERED_OTERMS\t2\nLCELL_REGISTERED_OTERMS_UNMATCHED\t1\n"
              "RAM_REGISTERED_OTERMS\t1\nRAM_REGISTERED_OTERMS_UNMATCHED\t1\n");
}

}  // namespace
