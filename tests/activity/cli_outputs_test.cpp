// Every command's outputs and named files under failure: an output replaces
// its file only when the run succeeded, an output that is an input is
// refused, and a missing, folder or unwritable file gives status 1 with the
// path and the reason.
#include <gtest/gtest.h>

#include <filesystem>

#include "putil_test_support.h"

// The bundled examples, beside the test data.
#define PUTIL_EXAMPLES_DIR PUTIL_TEST_DATA_DIR "/../../examples"

namespace {

const std::string GOOD_VCD = PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#40\n";
const std::string BROKEN_VCD = PUTIL_VCD_TOP_A + "#0\n0!\n#10\nnot a value\n";
// A toggle at 0 and at 1000 ns: the transient bins of the first are written.
const std::string LONG_VCD = PUTIL_VCD_TOP_A + "#0\n0!\n1!\n#1000\n0!\n#2000\n";
const std::string PREVIOUS = "previous content\n";
const std::string ENERGIES = "top|a,0,1e-12\n";

// {vcd} and {out} stand for the command's waveform and its output file.
struct OUTPUT_CASE {
    const char* name;
    const char* command;     // after "putil "
    const char* vcd_text;    // written as w.vcd; energies as e.csv
    int status;
    const char* error;       // a part of standard error; empty: none expected
    bool output_replaced;    // out.txt no longer holds PREVIOUS
};
void PrintTo(const OUTPUT_CASE& row, std::ostream* out) { *out << row.name; }

class CLI_OUTPUTS_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<OUTPUT_CASE> {};

TEST_P(CLI_OUTPUTS_TEST, replaces_outputs_only_after_success)
{
    const OUTPUT_CASE& row = GetParam();
    write_file("w.vcd", row.vcd_text);
    write_file("e.csv", ENERGIES);
    write_file("out.txt", PREVIOUS);
    std::filesystem::create_directory(m_folder + "/folder");
    const RUN_RESULT result = run_putil(row.command);
    EXPECT_EQ(result.status, row.status) << result.err;
    if (*row.error != '\0') {
        EXPECT_NE(result.err.find(row.error), std::string::npos) << result.err;
    }
    EXPECT_EQ(putil_read_text(m_folder + "/out.txt") != PREVIOUS, row.output_replaced);
    // Inputs are never written, and no temporary file is left behind.
    EXPECT_EQ(putil_read_text(m_folder + "/w.vcd"), row.vcd_text);
    for (const auto& entry : std::filesystem::directory_iterator(m_folder))
        EXPECT_EQ(entry.path().filename().string().find(".putil-"), std::string::npos) << entry.path();
}

const OUTPUT_CASE OUTPUT_CASES[] = {
    {"activity_done", "activity -o out.txt w.vcd", GOOD_VCD.c_str(), 0, "", true},
    {"activity_parse_error", "activity -o out.txt w.vcd", BROKEN_VCD.c_str(), 1, "[222011]", false},
    {"activity_missing_vcd", "activity -o out.txt nosuch.vcd", GOOD_VCD.c_str(), 1, "[222005]", false},
    {"activity_folder_as_vcd", "activity -o out.txt folder", GOOD_VCD.c_str(), 1, "folder: Is a directory", false},
    {"activity_output_is_input", "activity -o w.vcd w.vcd", GOOD_VCD.c_str(), 2, "is the input w.vcd", false},
    {"activity_output_folder_missing", "activity -o nosuch/x.txt w.vcd", GOOD_VCD.c_str(), 1,
     "cannot write nosuch/x.txt: No such file or directory", false},
    {"activity_output_is_folder", "activity -o folder w.vcd", GOOD_VCD.c_str(), 1,
     "cannot write folder: Is a directory", false},
    {"activity_output_folder_refuses_files", "activity -o /proc/x w.vcd", GOOD_VCD.c_str(), 1,
     "cannot write /proc/x: ", false},
    {"activity_disk_full", "activity -o /dev/full w.vcd", GOOD_VCD.c_str(), 1,
     "cannot write /dev/full: No space left on device", false},
    {"activity_design_is_folder", "activity --design folder -o out.txt w.vcd", GOOD_VCD.c_str(), 1,
     "folder: Is a directory", false},
    {"activity_output_dir_missing", "activity --output-dir nosuch -o out.txt w.vcd", GOOD_VCD.c_str(), 1,
     "--output-dir nosuch: No such file or directory", false},
    {"tbl_done", "tbl w.vcd -o out.txt", GOOD_VCD.c_str(), 0, "", true},
    {"tbl_parse_error", "tbl w.vcd -o out.txt", BROKEN_VCD.c_str(), 1, "[222011]", false},
    {"tbl_arguments_swapped", "tbl out.txt -o w.vcd", GOOD_VCD.c_str(), 1, "[222007]", false},
    {"tbl_same_file", "tbl w.vcd -o w.vcd", GOOD_VCD.c_str(), 2, "is the input w.vcd", false},
    {"tbl_folder_missing", "tbl w.vcd -o nosuch/x.tbl", GOOD_VCD.c_str(), 1,
     "cannot write nosuch/x.tbl: No such file or directory", false},
    {"tbl_disk_full", "tbl w.vcd -o /dev/full", GOOD_VCD.c_str(), 1, "cannot write /dev/full: No space left on device",
     false},
    {"tbl_folder_as_vcd", "tbl folder -o out.txt", GOOD_VCD.c_str(), 1, "folder: Is a directory", false},
    {"tbl_second_argument_is_the_older_output", "tbl w.vcd out.txt", GOOD_VCD.c_str(), 0,
     "putil: warning: the TBL file as a second argument is deprecated: write -o out.txt", true},
    {"tbl_output_given_twice", "tbl w.vcd out.txt -o out.txt", GOOD_VCD.c_str(), 2, "the output is given twice",
     false},
    {"tbl_scope_refused", "tbl --scope top w.vcd -o out.txt", GOOD_VCD.c_str(), 2, "--scope does not apply to tbl",
     false},
    {"tbl_glitch_filter_refused", "tbl --filter-glitches=1ns w.vcd -o out.txt", GOOD_VCD.c_str(), 2,
     "--filter-glitches does not apply to tbl", false},
    {"transient_done", "transient --energies e.csv --voltage 1 -o out.txt w.vcd", GOOD_VCD.c_str(), 0, "", true},
    {"transient_csv_is_the_older_output", "transient --energies e.csv --voltage 1 --csv out.txt w.vcd",
     GOOD_VCD.c_str(), 0, "putil: warning: --csv is deprecated: write -o out.txt", true},
    {"transient_parse_error", "transient --energies e.csv --voltage 1 -o out.txt w.vcd", BROKEN_VCD.c_str(), 1,
     "[222011]", false},
    {"transient_in_a_scope", "transient --energies e.csv --voltage 1 --scope top -o out.txt w.vcd",
     GOOD_VCD.c_str(), 0, "", true},
    {"transient_scope_missing", "transient --energies e.csv --voltage 1 --scope nosuch -o out.txt w.vcd",
     GOOD_VCD.c_str(), 2, "--scope: the design has no instance \"nosuch\"", false},
    {"transient_current_beyond_a_double", "transient --energies e.csv --voltage 1e-320 -o out.txt w.vcd",
     LONG_VCD.c_str(), 1, "--voltage 1e-320 with these energies gives currents beyond the range of a double", false},
    {"transient_energies_folder", "transient --energies folder --voltage 1 -o out.txt w.vcd", GOOD_VCD.c_str(), 1,
     "folder: Is a directory", false},
    {"transient_plot_is_input", "transient --energies e.csv --voltage 1 --plot e.csv -o out.txt w.vcd",
     GOOD_VCD.c_str(), 2, "is the input e.csv", false},
    {"clocks_design_missing", "clocks --design nosuch.json -o out.txt", GOOD_VCD.c_str(), 1,
     "nosuch.json: No such file or directory", false},
    {"hssi_disk_full", "hssi --device " PUTIL_EXAMPLES_DIR "/haldorv_device.json -o /dev/full", GOOD_VCD.c_str(), 1,
     "No space left on device", false},
    {"hssi_done", "hssi --device " PUTIL_EXAMPLES_DIR "/haldorv_device.json -o out.txt", GOOD_VCD.c_str(), 0, "",
     true},
};

INSTANTIATE_TEST_SUITE_P(COMMANDS, CLI_OUTPUTS_TEST, ::testing::ValuesIn(OUTPUT_CASES), row_name);

// A read that succeeds but gives no activity says why, once per file, on
// standard error; the run still succeeds.
struct EMPTY_INPUT_CASE {
    const char* name;
    const char* options;
    std::string vcd_text;
    const char* warning;  // empty: none expected
};

void PrintTo(const EMPTY_INPUT_CASE& row, std::ostream* out) { *out << row.name; }

class EMPTY_INPUT_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<EMPTY_INPUT_CASE> {};

TEST_P(EMPTY_INPUT_TEST, says_why_a_file_gave_nothing)
{
    const EMPTY_INPUT_CASE& row = GetParam();
    write_file("w.vcd", row.vcd_text);
    const RUN_RESULT result = run_putil(std::string("activity ") + row.options + " w.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    if (*row.warning == '\0') {
        EXPECT_EQ(result.err.find("warning"), std::string::npos) << result.err;
    } else {
        EXPECT_NE(result.err.find(std::string("putil: warning: w.vcd") + row.warning), std::string::npos)
            << result.err;
    }
}

const EMPTY_INPUT_CASE EMPTY_INPUT_CASES[] = {
    {"activity_found", "", GOOD_VCD, ""},
    {"no_signals", "", "$timescale 1ns $end\n$enddefinitions $end\n#0\n#10\n", " declares no signals"},
    {"no_time", "", PUTIL_VCD_TOP_A + "#0\n0!\n",
     ": no signal holds a known value for any length of time (the file's last timestamp is 0 ns)"},
    {"window_after_the_end", "--start 100ns", GOOD_VCD,
     ": no signal holds a known value inside the window 100 ns to its end (the file's last timestamp is 40 ns)"},
    {"none_in_the_design", "--design " PUTIL_EXAMPLES_DIR "/counter_design.json", GOOD_VCD,
     ": its one declared signal is not a signal of the design"},
};

INSTANTIATE_TEST_SUITE_P(FILES, EMPTY_INPUT_TEST, ::testing::ValuesIn(EMPTY_INPUT_CASES), row_name);

// Standard output is a stream: "-o -" and no -o print the same text, and
// a shell's ">>" appends to what the file held.
TEST_F(CLI_OUTPUTS_TEST, standard_output_appends)
{
    write_file("w.vcd", GOOD_VCD);
    write_file("log", PREVIOUS);
    const RUN_RESULT plain = run_putil("activity --format csv w.vcd");
    EXPECT_EQ(run_putil("activity --format csv -o - w.vcd").out, plain.out);
    const std::string append = "cd " + m_folder + " && " PUTIL_BINARY " hssi --device " PUTIL_EXAMPLES_DIR
                               "/haldorv_device.json >> log";
    ASSERT_EQ(std::system(append.c_str()), 0);
    const std::string log = putil_read_text(m_folder + "/log");
    EXPECT_EQ(log.rfind(PREVIOUS, 0), 0u);
    EXPECT_NE(log.find("ELEMENT_ID"), std::string::npos);
}

// Side files go to --output-dir and replace what was there only when written.
TEST_F(CLI_OUTPUTS_TEST, side_files_go_to_the_output_folder)
{
    write_file("w.vcd", GOOD_VCD);
    write_file("e.csv", ENERGIES);
    std::filesystem::create_directory(m_folder + "/side");
    const RUN_RESULT result = run_putil("transient --energies e.csv --voltage 1 --dump --output-dir side w.vcd");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(putil_read_text(m_folder + "/side/transient_current_waveform.dump").find("PWL(0 0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_folder + "/transient_current_waveform.dump"));
}

// A token over the 1 MiB cap (a name, an endless line) is a parse error at its
// line, whatever the grammar would make of the cut text; 1 MiB itself reads.
TEST_F(CLI_OUTPUTS_TEST, token_over_the_cap_is_a_parse_error)
{
    const std::string head = "$timescale 1ns $end\n$scope module t $end\n";
    write_file("name.vcd", head + "$var wire 1 ! " + std::string((1 << 20) + 10, 'n') +
                               " $end\n$upscope $end\n$enddefinitions $end\n#0\n1!\n#5\n");
    write_file("line.vcd", head + "$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n#0\n1" +
                               std::string(3 << 20, 'x'));
    write_file("cap.vcd", head + "$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n#0\n1" +
                              std::string((1 << 20) - 1, 'x') + "\n#5\n");
    for (const char* file : {"name.vcd", "line.vcd"}) {
        const RUN_RESULT result = run_putil(std::string("activity --format csv ") + file);
        EXPECT_EQ(result.status, 1) << file;
        EXPECT_NE(result.err.find(std::string("Parse error in VCD file ") + file), std::string::npos) << result.err;
    }
    EXPECT_EQ(run_putil("activity --format csv cap.vcd").status, 0);
}

// A number too large for a double in a JSON file is an input error naming
// the file and the number's place in it, not an abort.
TEST_F(CLI_OUTPUTS_TEST, json_number_overflow_is_an_input_error)
{
    write_file("w.vcd", GOOD_VCD);
    write_file("d.json", R"({"name": "d", "atoms": [{"name": "a", "kind": "input_pin", "x": 1e400}]})");
    const RUN_RESULT result = run_putil("activity --design d.json w.vcd");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("d.json: atoms[0].x: number overflow"), std::string::npos) << result.err;
}

}  // namespace

namespace {

// Every file of the shared corpus read through a pipe, with the design
// derived from the stream itself, gives the results of the plain file.
TEST_F(CLI_OUTPUTS_TEST, corpus_through_a_pipe_reads_like_the_file)
{
    if (!std::filesystem::is_directory(PUTIL_CORPUS_DIR))
        GTEST_SKIP() << "the shared corpus is not at " << PUTIL_CORPUS_DIR;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PUTIL_CORPUS_DIR)) {
        const std::string path = entry.path().string();
        const std::string extension = entry.path().extension().string();
        if (extension != ".vcd" && extension != ".evcd")
            continue;
        ++files;
        const RUN_RESULT plain = run_putil("activity --format csv '" + path + "'");
        const std::string piped_out = m_folder + "/piped.csv";
        const std::string piped = "cat '" + path + "' | " PUTIL_BINARY " activity --format csv - >" + piped_out +
                                  " 2>/dev/null";
        const int raw = std::system(piped.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, plain.status) << path;
        EXPECT_EQ(putil_read_text(piped_out), plain.out) << path;
    }
    EXPECT_GT(files, 0);
}

}  // namespace

namespace {

// FST input through fst2vcd: results as from the VCD, messages naming the FST file, and a conversion that fails
// is an input error that leaves the outputs as they were.
TEST_F(CLI_OUTPUTS_TEST, fst_input_reads_through_fst2vcd)
{
    if (std::system("command -v vcd2fst >/dev/null && command -v fst2vcd >/dev/null") != 0)
        GTEST_SKIP() << "vcd2fst and fst2vcd are not installed (Debian package gtkwave)";
    write_file("w.vcd", GOOD_VCD);
    ASSERT_EQ(std::system(("cd " + m_folder + " && vcd2fst w.vcd w.fst >/dev/null 2>&1").c_str()), 0);
    const RUN_RESULT from_vcd = run_putil("activity --format csv w.vcd");
    for (const char* derived_or_not : {"", "--design " PUTIL_EXAMPLES_DIR "/counter_design.json "}) {
        const RUN_RESULT from_fst = run_putil(std::string("activity --format csv ") + derived_or_not + "w.fst");
        EXPECT_EQ(from_fst.status, 0) << from_fst.err;
        EXPECT_NE(from_fst.err.find("VCD file w.fst"), std::string::npos) << from_fst.err;
        if (*derived_or_not == '\0') {
            EXPECT_EQ(from_fst.out, from_vcd.out);
        }
    }
    EXPECT_EQ(run_putil("tbl w.fst -o out.tbl").status, 0);
    EXPECT_EQ(putil_read_text(m_folder + "/out.tbl").find("PATTERN") != std::string::npos, true);

    // The FST header block, then nothing fst2vcd can read.
    write_file("bad.fst", std::string("\0\0\0\0\0\0\0\1\x49 damaged", 17));
    write_file("out.txt", PREVIOUS);
    write_file("e.csv", "dut|cnt[0],0,1e-12\n");
    for (const char* command : {"activity -o out.txt bad.fst", "tbl bad.fst -o out.txt",
                                "transient --design " PUTIL_EXAMPLES_DIR "/counter_design.json --energies e.csv "
                                "--voltage 1 -o out.txt bad.fst"}) {
        const RUN_RESULT result = run_putil(command);
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_NE(result.err.find("bad.fst: fst2vcd ended with exit status"), std::string::npos) << result.err;
        EXPECT_EQ(putil_read_text(m_folder + "/out.txt"), PREVIOUS) << command;
    }
}

}  // namespace
