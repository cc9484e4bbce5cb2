// Tests of the VCD reader: line counts, status, entries and messages, merging, pads, name-matching files.
#include "putil_test_support.h"
#include "reader/putil_vcd_reader_main.h"

namespace {

// 0 for 10 ns, then 1 for 30 ns: static probability 0.75, one transition in 40 ns.
const std::string RISE_AT_10 = PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#40\n";
// 1 from 10 to 20 ns of 40: static probability 0.25, two transitions in 40 ns.
const std::string PULSE_AT_10 = PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#20\n0!\n#40\n";

using READER_TEST = PUTIL_TEST;

struct LINE_COUNT_CASE { const char* name; std::string text; std::uint64_t lines; };
void PrintTo(const LINE_COUNT_CASE& row, std::ostream* out) { *out << row.name; }
class READER_LINE_COUNT_TEST : public READER_TEST, public ::testing::WithParamInterface<LINE_COUNT_CASE> {};

// Only line feeds count: a last line without one is not counted.
TEST_P(READER_LINE_COUNT_TEST, counts_line_feeds)
{
    HOST_DESIGN design;
    PUTIL_VCD_READER_MAIN reader(design.facade());
    std::uint64_t lines = 12345;
    ASSERT_TRUE(reader.count_lines_in_file(write_file("lines.vcd", GetParam().text), &lines));
    EXPECT_EQ(lines, GetParam().lines);
    EXPECT_EQ(reader.get_status(), PUTIL_VCD_READER_STATUS_OK);
}

const LINE_COUNT_CASE LINE_COUNT_CASES[] = {
    {"empty_file", "", 0},
    {"two_lines_without_final_line_feed", "#0\n1!", 1},
    {"crlf_counts_once", "#0\r\n1!\r\n", 2},
    {"carriage_returns_alone_do_not_count", "#0\r1!\r", 0},
    // Read in blocks of 65536 bytes: line feeds on both sides of a block end.
    {"more_than_one_block", std::string(65535, 'x') + "\n\n" + std::string(70000, '\n'), 70002},
};

INSTANTIATE_TEST_SUITE_P(FILES, READER_LINE_COUNT_TEST, ::testing::ValuesIn(LINE_COUNT_CASES), row_name);

// The line count drives progress: "#0" on the second line of a file of one line
// feed is 200 percent through it. An empty file (0 lines) is read without progress.
TEST_F(READER_TEST, progress_uses_the_line_count)
{
    for (const auto& [text, progress] : std::vector<std::pair<const char*, std::vector<int>>>{
             {"$enddefinitions $end\n#0", {200}}, {"", {}}}) {
        host_clear_progress_updates();
        auto design = putil_make_signal_design({"top|a"});
        EXPECT_TRUE(read(*design, {write_file("short.vcd", text)}));
        EXPECT_EQ(host_progress_updates(), progress);
    }
}

TEST_F(READER_TEST, status_is_reset_by_each_operation)
{
    auto design = putil_make_signal_design({"top|a"});
    PUTIL_VCD_READER* reader = putil_create_putil_vcd_reader(design->facade());
    design->input_files()->add_entry(m_folder + "/late.vcd", nullptr, nullptr, nullptr);
    EXPECT_FALSE(reader->read_vcd_files(design->store()));
    EXPECT_EQ(reader->get_status(), PUTIL_VCD_READER_STATUS_FILE_NOT_FOUND);
    // Once the file exists the same reader succeeds and its status is clear again.
    write_file("late.vcd", RISE_AT_10);
    EXPECT_TRUE(reader->read_vcd_files(design->store()));
    EXPECT_EQ(reader->get_status(), PUTIL_VCD_READER_STATUS_OK);
    delete reader;
    EXPECT_EQ(posted_ids(), (std::vector<unsigned>{222005, 222002, 222003}));
}

// Three entries with the second missing: the first is read, the second reported, the third not read; the result is
// the host's failure policy.
TEST_F(READER_TEST, stops_at_a_missing_file)
{
    const std::string missing = m_folder + "/missing.vcd";
    const std::vector<std::string> files = {write_file("first.vcd", RISE_AT_10), missing,
                                            write_file("third.vcd", PULSE_AT_10)};
    for (bool continue_on_failure : {false, true}) {
        SCOPED_TRACE(continue_on_failure);
        host_clear_posted_messages();
        host_set_continue_and_warn_on_failure(continue_on_failure);
        auto design = putil_make_signal_design({"top|a"});
        int status = -1;
        EXPECT_EQ(read(*design, files, &status), continue_on_failure);
        EXPECT_EQ(status, PUTIL_VCD_READER_STATUS_FILE_NOT_FOUND);
        ASSERT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003, continue_on_failure ? 222006u : 222005u}));
        EXPECT_EQ(host_posted_messages()[2].text, "VCD file " + missing + " was not found" +
                                                      (continue_on_failure ? ".  No VCD file will be used." : ""));
        putil_expect_signals(*design, {{"top|a", 0.75, 1 / 40e-9}});   // not replaced by the third file's
    }
}

TEST_F(READER_TEST, start_and_finish_messages_name_the_window)
{
    const struct { std::optional<std::int64_t> start_ps, end_ps; const char* text; } cases[] = {
        {{}, {}, "0 ns to End of File"}, {10000, 1500000, "10 ns to 1500 ns"}, {0, {}, "0 ps to End of File"}};
    const std::string file = write_file("w.vcd", RISE_AT_10);
    for (const auto& row : cases) {
        auto design = putil_make_signal_design({"top|a"});
        const BIG_TIME start(row.start_ps.value_or(0)), end(row.end_ps.value_or(0));
        read_file(*design, file, false, row.start_ps ? &start : nullptr, row.end_ps ? &end : nullptr);
        ASSERT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003}));
        const std::string rest = " of VCD file " + file + " (" + row.text +
                                 ") for signal static probabilities and transition densities";
        EXPECT_EQ(host_posted_messages()[0].text, "Starting scan" + rest);
        EXPECT_EQ(host_posted_messages()[1].text, "Finished scan" + rest);
    }
}

// The same signal from two files: the first value is set, the second replaces it, is added to it or is dropped.
TEST_F(READER_TEST, second_file_merges_by_mode)
{
    const struct { PUTIL_MERGE_MODE mode; EXPECTED_SIGNAL a; bool second_entry_annotates; } cases[] = {
        {PUTIL_MERGE_REPLACE, {"top|a", 0.25, 2 / 40e-9}, true}, {PUTIL_MERGE_ADD, {"top|a", 1.0, 3 / 40e-9}, true},
        {PUTIL_MERGE_KEEP, {"top|a", 0.75, 1 / 40e-9}, false}};
    const std::string first_file = write_file("first.vcd", RISE_AT_10);
    const std::string second_file = write_file("second.vcd", PULSE_AT_10);
    for (const auto& row : cases) {
        SCOPED_TRACE(row.mode);
        auto design = putil_make_signal_design({"top|a"});
        HOST_INPUT_FILE_MANAGER* inputs = design->input_files();
        HOST_INPUT_FILE_DATA* first = inputs->add_entry(first_file, nullptr, nullptr, nullptr);
        HOST_INPUT_FILE_DATA* second = inputs->add_entry(second_file, nullptr, nullptr, nullptr);
        inputs->set_merge_mode(row.mode);
        EXPECT_TRUE(read(*design));
        putil_expect_signals(*design, {row.a});
        EXPECT_TRUE(first->is_annotated(putil_find_oterm(*design, "top|a")));
        EXPECT_EQ(second->is_annotated(putil_find_oterm(*design, "top|a")), row.second_entry_annotates);
    }
}

// A pad whose output enable (port 21) is driven by top|oe. The pad makes five transitions in 80 ns (rise 10, fall 20,
// rise 40, fall 50, rise 70), three of them while oe is 1 (0 from 30 to 60 ns). Redundant writes at 25 and 55 ns close
// each pulse before oe changes.
const char* const PAD_VCD =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! oe $end\n$var wire 1 \" pad $end\n$upscope $end\n"
    "$enddefinitions $end\n#0\n1!\n0\"\n#10\n1\"\n#20\n0\"\n#25\n0\"\n#30\n0!\n#40\n1\"\n#50\n0\"\n#55\n0\"\n"
    "#60\n1!\n#70\n1\"\n#80\n";

struct PAD_CASE {
    const char* name;
    HOST_ATOM_KIND kind;
    double pad_toggle_rate;                  // the pad's own record
    std::optional<double> bidir_toggle_rate; // its bidirectional output record
};
void PrintTo(const PAD_CASE& row, std::ostream* out) { *out << row.name; }
class READER_PAD_TEST : public READER_TEST, public ::testing::WithParamInterface<PAD_CASE> {};

TEST_P(READER_PAD_TEST, output_enable_selects_the_counted_toggles)
{
    auto design = std::make_unique<HOST_DESIGN>();
    HOST_OTERM* oe = design->add_output(design->add_atom("oe", HOST_ATOM_KIND::LCELL_COMB), "top|oe", 0, false);
    HOST_ATOM* pad = design->add_atom("pad", GetParam().kind);
    HOST_OTERM* pad_output = design->add_output(pad, "top|pad", CDB_PORT_TYPE_PAD_OUTPUT, false);
    design->add_input(pad, CDB_PORT_TYPE_OUTPUT_ENABLE, oe, true);
    EXPECT_TRUE(read(*design, {write_file("pad.vcd", PAD_VCD)}));
    EXPECT_EQ(posted_ids(), (std::vector<unsigned>{222002, 222003}));
    // pad: high 10 + 10 + 10 ns of 80; oe: high 30 + 20 ns of 80, two transitions.
    putil_expect_signals(*design, {{"top|pad", 0.375, GetParam().pad_toggle_rate}, {"top|oe", 0.625, 2 / 80e-9}});

    unsigned id = 0;
    ASSERT_TRUE(design->store()->get_unique_id_for_output_signal(pad_output, &id));
    PUTIL_OUTPUT_SIGNAL_DATA* bidir = design->store()->get_bidir_padio_output_signal_data(id, false);
    ASSERT_EQ(bidir != nullptr, GetParam().bidir_toggle_rate.has_value());
    if (bidir != nullptr) {
        EXPECT_TRUE(bidir->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED));
        EXPECT_FLOAT_EQ(bidir->get_static_probability(), 0.375f);
        EXPECT_FLOAT_EQ(bidir->get_toggle_rate(), static_cast<float>(*GetParam().bidir_toggle_rate));
    }
}

const PAD_CASE PAD_CASES[] = {
    // The pad record counts every toggle, the output record the enabled ones.
    {"bidir_pad", HOST_ATOM_KIND::BIDIR_PAD, 5 / 80e-9, 3 / 80e-9},
    // A pad without an output record counts only the enabled toggles.
    {"io_pad", HOST_ATOM_KIND::IO_PAD, 3 / 80e-9, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(PADS, READER_PAD_TEST, ::testing::ValuesIn(PAD_CASES), row_name);

// The name-matching files are written to the working directory (the program's, here).
TEST_F(READER_TEST, name_matching_files_list_unmatched_and_silent_signals)
{
    write_file("m.json", R"({"atoms": [
        {"name": "a", "kind": "lcell_ff", "outputs": [{"hpath": "top|a", "registered": true}]},
        {"name": "r", "kind": "lcell_ff", "outputs": [{"hpath": "top|r", "registered": true}]},
        {"name": "m", "kind": "ram", "outputs": [{"hpath": "top|m", "registered": true}]},
        {"name": "o", "kind": "other", "outputs": [{"hpath": "top|o", "registered": true}]},
        {"name": "nd", "kind": "lcell_comb", "outputs": [{"hpath": "top|nd"}]},
        {"name": "clk_in", "kind": "input_pin",
         "outputs": [{"hpath": "clk_in", "port": "combout"}, {"hpath": "clk_in~pad", "port": "pad_output"}]},
        {"name": "rst_in", "kind": "input_pin",
         "outputs": [{"hpath": "rst_in", "port": "combout"}, {"hpath": "rst_in~pad", "port": "pad_output"}]}]})");
    write_file("m.vcd", "$timescale 1ns $end\n$var wire 1 # clk_in $end\n$scope module top $end\n$var wire 1 ! a $end\n"
                        "$var wire 1 \" nd $end\n$upscope $end\n$enddefinitions $end\n#0\n0!\n1#\n#10\n1!\n0#\n#20\n");
    const RUN_RESULT result =
        run_putil("activity --design m.json --set putil_output_vcd_name_matching_info=on -o out.csv m.vcd");
    EXPECT_EQ(result.status, 0) << result.err;

    EXPECT_EQ(putil_read_text(m_folder + "/putil_vcd_unmatched_names_list.txt"),
              "top|r,LCELL\ntop|m,RAM\nrst_in,PIN\n");
    EXPECT_EQ(putil_read_text(m_folder + "/putil_vcd_no_data_list.txt"), "top|nd\n");
    EXPECT_EQ(putil_read_text(m_folder + "/putil_vcd_unmatched_names_summary.txt"),
              "PIN_OTERMS\t2\nPIN_OTERMS_UNMATCHED\t1\nREGISTERED_OTERMS\t4\nREGISTERED_OTERMS_UNMATCHED\t3\n"
              "MAC_MULT_REGISTERED_OTERMS\t0\nMAC_MULT_REGISTERED_OTERMS_UNMATCHED\t0\n"
              "MAC_OUT_REGISTERED_OTERMS\t0\nMAC_OUT_REGISTERED_OTERMS_UNMATCHED\t0\n"
              "LCELL_REGISTERED_OTERMS\t2\nLCELL_REGISTERED_OTERMS_UNMATCHED\t1\n"
              "RAM_REGISTERED_OTERMS\t1\nRAM_REGISTERED_OTERMS_UNMATCHED\t1\n");
}

}  // namespace

namespace {

struct DECLARATIONS_CASE {
    const char* name;
    bool extended;
    std::string text;
    bool read_ok;
    std::vector<std::string> paths;   // levels joined with '|'
};
void PrintTo(const DECLARATIONS_CASE& row, std::ostream* out) { *out << row.name; }
class READER_DECLARATIONS_TEST : public READER_TEST, public ::testing::WithParamInterface<DECLARATIONS_CASE> {};

// Joins each signal's levels and name with '|'.
class PATH_LISTENER : public PUTIL_VCD_SIGNAL_LISTENER {
public:
    void add_signal(const std::string* levels, std::size_t level_count, const std::string& name) override
    {
        std::string path;
        for (std::size_t i = 0; i < level_count; ++i)
            path += levels[i] + "|";
        paths.push_back(path + name);
    }
    std::vector<std::string> paths;
};

// The names come from the reader's own scope rules, every declaration told; the body is never read.
TEST_P(READER_DECLARATIONS_TEST, names_the_declared_signals_in_order)
{
    host_set_setting("putil_vcd_extended_syntax", GetParam().extended ? "on" : "off");
    HOST_DESIGN empty;
    std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(empty.facade()));
    PATH_LISTENER listener;
    EXPECT_EQ(reader->read_vcd_declarations(write_file("d.vcd", GetParam().text), &listener), GetParam().read_ok);
    EXPECT_EQ(listener.paths, GetParam().paths);
}

const DECLARATIONS_CASE DECLARATIONS_CASES[] = {
    {"scopes_blocks_and_repeats", false,
     "$scope module top $end\n$scope begin b $end\n$scope begin c $end\n$var wire 1 ! s $end\n$upscope $end\n"
     "$scope module u $end\n$var wire 2 \" v [1:0] $end\n$upscope $end\n$upscope $end\n$var wire 1 ! s $end\n"
     "$var wire 1 # s $end\n$upscope $end\n$enddefinitions $end\n#0\n1!\n",
     true, {"top|b.c.s", "top|b.u|v[0]", "top|b.u|v[1]", "top|s", "top|s"}},
    // A scope without a name is no level; generate blocks prefix like begin blocks.
    {"extended_scopes", true,
     "$scope module top $end\n$scope module $end\n$var logic 1 ! a $end\n$upscope $end\n"
     "$scope generate g $end\n$var logic 3 \" n $end\n$upscope $end\n$upscope $end\n$enddefinitions $end\n",
     true, {"top|a", "top|g.n[0]", "top|g.n[1]", "top|g.n[2]"}},
    {"body_not_read", false, PUTIL_VCD_TOP_A + "#0\n$garbage\n", true, {"top|a"}},
    {"broken_declarations_keep_what_came_before", false,
     "$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$upscope $end\n$var wire 1 # b $end\n", false,
     {"top|a"}},
};

INSTANTIATE_TEST_SUITE_P(FILES, READER_DECLARATIONS_TEST, ::testing::ValuesIn(DECLARATIONS_CASES), row_name);

}  // namespace
