// TBL vector files from small waveforms: the pattern rows, the signals listed, the conversion's messages and status.
#include "host/gen.h"
#include "putil_test_support.h"

namespace {

// A row of the pattern: the time right-aligned in 11 characters, then the input values, "=" and the output values.
std::string row(const std::string& time, const std::string& values)
{
    return std::string(time.size() < 11 ? 11 - time.size() : 0, ' ') + time + "> " + values + "\n";
}

class TBL_TEST : public PUTIL_TEST {
protected:
    // Converts vcd_text with a new reader, through the scanner's rules and through its fast body path, which must
    // write the same file; answers the TBL file's text.
    std::string convert(HOST_DESIGN& design, const std::string& vcd_text, const BIG_TIME* start = nullptr,
                        const BIG_TIME* end = nullptr)
    {
        std::string texts[2];
        for (int fast = 0; fast < 2; ++fast) {
            host_set_setting("putil_vcd_fast_body", fast ? "on" : "off");
            std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design.facade()));
            reader->convert_vcd_to_tbl_file(write_file("w.vcd", vcd_text), m_folder + "/out.tbl", start, end);
            texts[fast] = putil_read_text(m_folder + "/out.tbl");
        }
        EXPECT_EQ(texts[1], texts[0]) << "fast body path";
        return texts[1];
    }
};

struct TBL_CASE {
    const char* name;
    std::string vcd;
    std::optional<std::int64_t> start_ps, end_ps;
    const char* unit;
    std::string rows;
};
void PrintTo(const TBL_CASE& row, std::ostream* out) { *out << row.name; }
class TBL_ROWS_TEST : public TBL_TEST, public ::testing::WithParamInterface<TBL_CASE> {};

TEST_P(TBL_ROWS_TEST, writes_one_row_per_time_step)
{
    const TBL_CASE& row = GetParam();
    auto design = putil_make_signal_design({"top|a", "top|b", "top|cnt[0]", "top|cnt[1]", "top|cnt[2]", "top|cnt[3]"});
    const BIG_TIME start(row.start_ps.value_or(0)), end(row.end_ps.value_or(0));
    const std::string text = convert(*design, row.vcd, row.start_ps ? &start : nullptr, row.end_ps ? &end : nullptr);
    const std::size_t unit = text.find("UNIT ");
    ASSERT_NE(unit, std::string::npos) << text;
    EXPECT_EQ(text.substr(unit),
              std::string("UNIT ") + row.unit + ";\nRADIX HEXADECIMAL;\nPATTERN\n" + row.rows + ";\n");
}

std::string top(const char* timescale, const char* vars)
{
    return std::string("$timescale ") + timescale + " $end\n$scope module top $end\n" + vars +
           "$upscope $end\n$enddefinitions $end\n";
}
const std::string A_1NS = top("1ns", "$var wire 1 ! a $end\n");

const TBL_CASE TBL_CASES[] = {
    {"declarations_only", A_1NS, {}, {}, "ns", ""},
    // Each row holds the values of the interval that the next timestamp (or the end of the file) closes.
    {"rows_at_0_10_20", A_1NS + "#0\n0!\n#10\n1!\n#20\n", {}, {}, "ns",
     row("0", "= 0") + row("10", "= 1") + row("20", "= 1")},
    // Units below a nanosecond are written in nanoseconds.
    {"picoseconds", top("1ps", "$var wire 1 ! a $end\n") + "#0\n0!\n#1500\n1!\n#3000\n", {}, {}, "ns",
     row("0", "= 0") + row("1.5", "= 1") + row("3", "= 1")},
    {"ten_nanoseconds", top("10ns", "$var wire 1 ! a $end\n") + "#0\n0!\n#3\n", {}, {}, "ns",
     row("0", "= 0") + row("30", "= 0")},
    {"microseconds", top("1us", "$var wire 1 ! a $end\n") + "#0\n0!\n#2\n", {}, {}, "us",
     row("0", "= 0") + row("2", "= 0")},
    // The interval from 0 is cut at the start, the one from 10 at the end; the end of the file lies outside.
    {"window_5_to_25", A_1NS + "#0\n0!\n#10\n1!\n#30\n", 5000, 25000, "ns", row("5", "= 0") + row("25", "= 1")},
    {"start_without_end_is_no_window", A_1NS + "#0\n0!\n#10\n", 5000, {}, "ns", row("0", "= 0") + row("10", "= 0")},
    // A repeated or earlier timestamp writes nothing and becomes the last time.
    {"timestamps_repeat_and_go_back", A_1NS + "#0\n0!\n#10\n1!\n#10\n#5\n0!\n#20\n", {}, {}, "ns",
     row("0", "= 0") + row("5", "= 0") + row("20", "= 0")},
    // b1 clears the bits left of it, x extends with x; bits are listed lsb first.
    {"vector_digits", top("1ns", "$var reg 4 # cnt [3:0] $end\n") + "#0\nb1 #\n#10\nbz #\n#20\nbx0 #\n#30\n", {}, {},
     "ns", row("0", "= 1 0 0 0") + row("10", "= Z Z Z Z") + row("20", "= 0 X X X") + row("30", "= 0 X X X")},
    {"port_states",
     top("1ns", "$var port 1 <0 a $end\n") + "#0\n$dumpports\npD 6 0 <0\n$end\n#10\npU 6 0 <0\n#20\npF 0 0 <0\n#30\n",
     {}, {}, "ns", row("0", "= 0") + row("10", "= 1") + row("20", "= Z") + row("30", "= Z")},
    // A code declared again reaches only its newest signal: a keeps its X.
    {"redeclared_code", top("1ns", "$var wire 1 ! a $end\n$var wire 1 ! b $end\n") + "#0\n1!\n#10\n", {}, {}, "ns",
     row("0", "= X 1") + row("10", "= X 1")},
};

INSTANTIATE_TEST_SUITE_P(FILES, TBL_ROWS_TEST, ::testing::ValuesIn(TBL_CASES), row_name);

// Exact times: every digit in the file's own unit, whole ticks as integers, fractions as the shortest text; the
// rows past a million units stay apart, and a 1 ps file keeps its unit.
TEST_F(TBL_TEST, exact_times_keep_every_digit_in_the_files_unit)
{
    auto design = putil_make_signal_design({"top|a"});
    host_set_setting("putil_tbl_exact_times", "on");
    host_set_setting("putil_vcd_extended_syntax", "on");
    const struct { const char* name; std::string vcd; const char* unit; std::string rows; } cases[] = {
        {"beyond_a_million_units", A_1NS + "#0\n0!\n#1000001\n1!\n#1000002\n0!\n#1000003\n",
         "ns", row("0", "= 0") + row("1000001", "= 1") + row("1000002", "= 0") + row("1000003", "= 0")},
        {"fraction_of_a_unit", A_1NS + "#0\n0!\n#3.25\n1!\n#10\n", "ns",
         row("0", "= 0") + row("3.25", "= 1") + row("10", "= 1")},
        {"picosecond_file", top("10ps", "$var wire 1 ! a $end\n") + "#0\n0!\n#7\n1!\n#9\n", "ps",
         row("0", "= 0") + row("70", "= 1") + row("90", "= 1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = convert(*design, c.vcd);
        const std::size_t unit = text.find("UNIT ");
        ASSERT_NE(unit, std::string::npos) << text;
        EXPECT_EQ(text.substr(unit), std::string("UNIT ") + c.unit + ";\nRADIX HEXADECIMAL;\nPATTERN\n" + c.rows + ";\n");
    }
}

// A timestamp that goes back writes no row, but the next row goes back: the conversion warns once.
TEST_F(TBL_TEST, time_going_back_is_reported_once)
{
    auto design = putil_make_signal_design({"top|a"});
    convert(*design, A_1NS + "#0\n0!\n#20\n1!\n#5\n0!\n#3\n#30\n");
    ASSERT_EQ(host_library_warnings().size(), 2u);   // once per conversion: the fast body path's and the rules'
    EXPECT_NE(host_library_warnings()[0].find(":10: time goes back (#5 after #20)"), std::string::npos)
        << host_library_warnings()[0];
}

// An ascending vector: with the extended syntax its bits are listed lowest index first and the leftmost digit is the
// left index (b1 sets cnt[3]); strict reading lists none of them.
TEST_F(TBL_TEST, ascending_vector_only_with_the_extended_syntax)
{
    auto design = putil_make_signal_design({"top|cnt[0]", "top|cnt[1]", "top|cnt[2]", "top|cnt[3]"});
    const std::string vcd = top("1ns", "$var reg 4 # cnt [0:3] $end\n") + "#0\nb1 #\n#10\nb1100 #\n#20\n";
    host_set_setting("putil_vcd_extended_syntax", "on");
    const std::string extended = convert(*design, vcd);
    EXPECT_NE(extended.find("OUTPUTS top|cnt[0] top|cnt[1] top|cnt[2] top|cnt[3];\n"), std::string::npos) << extended;
    EXPECT_NE(extended.find("PATTERN\n" + row("0", "= 0 0 0 1") + row("10", "= 1 1 0 0") + row("20", "= 1 1 0 0")),
              std::string::npos)
        << extended;
    host_set_setting("putil_vcd_extended_syntax", "off");
    const std::string strict = convert(*design, vcd);
    EXPECT_NE(strict.find("OUTPUTS;\n"), std::string::npos) << strict;
}

// Pins whose output carries a signal into the device are inputs; a bidirectional pad is listed on both sides. With
// "print_only_inputs_to_tbl_file" (read per conversion) only input pins are kept.
class TBL_PINS_TEST : public TBL_TEST, public ::testing::WithParamInterface<bool> {};

TEST_P(TBL_PINS_TEST, lists_input_pins_and_outputs)
{
    const bool only_inputs = GetParam();
    host_set_setting("print_only_inputs_to_tbl_file", only_inputs ? "on" : "off");
    HOST_DESIGN design;
    // A clock pin's dedicated clock output is no input.
    const std::tuple<const char*, HOST_ATOM_KIND, int> pins[] = {
        {"din", HOST_ATOM_KIND::INPUT_PIN, CDB_PORT_TYPE_PIN_COMBOUT},
        {"led", HOST_ATOM_KIND::BIDIR_PAD, CDB_PORT_TYPE_PAD_OUTPUT},
        {"pad", HOST_ATOM_KIND::IO_PAD, CDB_PORT_TYPE_PAD_OUTPUT},
        {"dout", HOST_ATOM_KIND::OUTPUT_PIN, CDB_PORT_TYPE_PIN_COMBOUT},
        {"clk", HOST_ATOM_KIND::CLOCK_PIN, CDB_PORT_TYPE_PIN_CLKOUT}};
    std::string vcd;
    for (const auto& [name, kind, port] : pins) {
        design.add_output(design.add_atom(name, kind), name, port, false);
        vcd += "$var wire 1 " + std::string(name) + " " + name + " $end\n";
    }
    const std::string text = convert(design, vcd + "$enddefinitions $end\n#0\n1din\n0led\n1pad\n0dout\n1clk\n");
    const std::string outputs = only_inputs ? "led" : "led dout clk";
    EXPECT_NE(text.find("INPUTS din led pad;\nOUTPUTS " + outputs + ";\n"), std::string::npos) << text;
    EXPECT_NE(text.find(row("0", only_inputs ? "1 0 1 = 0" : "1 0 1 = 0 0 1")), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(SETTING, TBL_PINS_TEST, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "inputs_only" : "all_signals"; });

TEST_F(TBL_TEST, writes_the_whole_file)
{
    HOST_DESIGN design;
    design.add_output(design.add_atom("din", HOST_ATOM_KIND::INPUT_PIN), "din", CDB_PORT_TYPE_PIN_COMBOUT, false);
    design.add_output(design.add_atom("a", HOST_ATOM_KIND::LCELL_COMB), "top|a", 0, false);
    const std::string text = convert(design, "$var wire 1 \" din $end\n" + A_1NS + "#0\n1\"\n#10\n0!\n#12\n");
    EXPECT_EQ(text, std::string("%\n") + gen_get_legal_text(nullptr) + "%\n\nINPUTS din;\nOUTPUTS top|a;\nUNIT ns;\n"
                    "RADIX HEXADECIMAL;\nPATTERN\n          0> 1 = X\n         10> 1 = 0\n         12> 1 = 0\n;\n");
}

struct TBL_MESSAGES_CASE {
    const char* name;
    const char* vcd;
    std::int64_t start_ps, end_ps;
    bool result;
    int status;
    std::vector<unsigned> ids;
};
void PrintTo(const TBL_MESSAGES_CASE& row, std::ostream* out) { *out << row.name; }
class TBL_MESSAGES_TEST : public TBL_TEST, public ::testing::WithParamInterface<TBL_MESSAGES_CASE> {};

TEST_P(TBL_MESSAGES_TEST, posts_the_conversion_messages)
{
    const TBL_MESSAGES_CASE& row = GetParam();
    auto design = putil_make_signal_design({"top|a"});
    const BIG_TIME start(row.start_ps), end(row.end_ps);
    const std::string tbl = m_folder + "/out.tbl", vcd = write_file("w.vcd", row.vcd);
    std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design->facade()));
    EXPECT_EQ(reader->convert_vcd_to_tbl_file(vcd, tbl, &start, &end), row.result);
    EXPECT_EQ(reader->get_status(), row.status);
    EXPECT_EQ(posted_ids(), row.ids);
    // An inverted window reads nothing; a failed parse writes nothing.
    EXPECT_EQ(std::filesystem::exists(tbl), row.result);
    if (row.result) {
        const std::string files = " of VCD file " + vcd + " to TBL file " + tbl;
        EXPECT_EQ(host_posted_messages().front().text, "Starting conversion" + files);
        EXPECT_EQ(host_posted_messages().back().text, "Finished conversion" + files);
    }
}

const TBL_MESSAGES_CASE TBL_MESSAGES_CASES[] = {
    {"start_after_end", "$enddefinitions $end\n", 20000, 10000, false, PUTIL_VCD_READER_STATUS_START_AFTER_END,
     {222004}},
    {"equal_times", "$enddefinitions $end\n", 10000, 10000, true, PUTIL_VCD_READER_STATUS_OK, {222000, 222001}},
    // A failed parse writes no TBL file, so the conversion does not finish.
    {"parse_fails", "$var wire 1 ! a\n", 0, 10000, false, PUTIL_VCD_READER_STATUS_OK, {222000, 222007, 222011}},
};

INSTANTIATE_TEST_SUITE_P(FILES, TBL_MESSAGES_TEST, ::testing::ValuesIn(TBL_MESSAGES_CASES), row_name);

}  // namespace
