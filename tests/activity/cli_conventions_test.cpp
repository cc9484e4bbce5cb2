// The conventions every command shares, over commands x formats: the main
// output goes to standard output, to "-o -" alike, or to "-o FILE" with
// nothing on standard output; --quiet leaves out the information lines and
// nothing else; "help CMD" and "CMD --help" show the command's options,
// "-o" among them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "putil_test_support.h"

#define PUTIL_EXAMPLES_DIR PUTIL_TEST_DATA_DIR "/../../examples"

namespace {

const std::string COUNTER = "--design " PUTIL_EXAMPLES_DIR "/counter_design.json " PUTIL_EXAMPLES_DIR "/counter.vcd";
const std::string TWO_CLOCKS =
    "--design " PUTIL_EXAMPLES_DIR "/two_clocks_design.json --sdc " PUTIL_EXAMPLES_DIR "/two_clocks.sdc";

struct CONVENTION_CASE {
    const char* name;
    std::string args;        // after "putil", without -o
    const char* first_line;  // the main output's first line, or a part of it
    bool reads_waveforms;    // posts the information lines of a read
};
void PrintTo(const CONVENTION_CASE& row, std::ostream* out) { *out << row.name; }

class CLI_CONVENTIONS_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<CONVENTION_CASE> {
protected:
    // The SAIF header's date is the same on every run.
    void SetUp() override
    {
        PUTIL_TEST::SetUp();
        ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    }
};

TEST_P(CLI_CONVENTIONS_TEST, output_to_standard_output_or_file_and_quiet)
{
    const CONVENTION_CASE& row = GetParam();
    const RUN_RESULT plain = run_putil(row.args);
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.substr(0, plain.out.find('\n')).find(row.first_line), std::string::npos) << plain.out;
    EXPECT_EQ(plain.err.find("putil: info:") != std::string::npos, row.reads_waveforms) << plain.err;

    const RUN_RESULT dash = run_putil(row.args + " -o -");
    EXPECT_EQ(dash.status, 0) << dash.err;
    EXPECT_EQ(dash.out, plain.out);

    const RUN_RESULT to_file = run_putil(row.args + " -o main.out");
    EXPECT_EQ(to_file.status, 0) << to_file.err;
    EXPECT_EQ(to_file.out, "");
    EXPECT_EQ(putil_read_text(m_folder + "/main.out"), plain.out);

    // --quiet, before or after the command, drops the information lines only.
    for (const std::string& args : {"-q " + row.args, row.args + " --quiet"}) {
        const RUN_RESULT quiet = run_putil(args);
        EXPECT_EQ(quiet.status, 0) << quiet.err;
        EXPECT_EQ(quiet.out, plain.out) << args;
        std::string expected_err;
        for (const std::string& line : putil_lines_of(plain.err)) {
            if (line.rfind("putil: info:", 0) != 0)
                expected_err += line + "\n";
        }
        EXPECT_EQ(quiet.err, expected_err) << args;
    }
}

const CONVENTION_CASE CONVENTION_CASES[] = {
    {"activity_table", "activity " + COUNTER, "name  ", true},
    {"activity_csv", "activity --format csv " + COUNTER, "name,static_probability,toggle_rate", true},
    {"activity_json", "activity --format json " + COUNTER, "{", true},
    {"activity_saif", "activity --format saif " + COUNTER, "(SAIFILE", true},
    {"clocks_table", "clocks " + TWO_CLOCKS, "clock domains (rule: strict)", false},
    {"clocks_csv", "clocks --format csv " + TWO_CLOCKS, "name,clock_domain,", false},
    {"clocks_json", "clocks --format json " + TWO_CLOCKS, "{", false},
    {"tbl", "tbl " + COUNTER, "%", true},
    {"transient", "transient --energies " PUTIL_EXAMPLES_DIR "/counter_energies.csv --voltage 0.9 " + COUNTER,
     "time_s,current_a", false},
    {"signals_table", "signals --count " PUTIL_EXAMPLES_DIR "/counter.vcd", "name  ", false},
    {"signals_csv", "signals --format csv " PUTIL_EXAMPLES_DIR "/counter.vcd", "name,kind,width,code", false},
    {"signals_json", "signals --format json " PUTIL_EXAMPLES_DIR "/counter.vcd", "{", false},
    {"hssi_dump", "hssi --device " PUTIL_EXAMPLES_DIR "/haldorv_device.json", "ELEMENT_ID", false},
    {"hssi_table", "hssi --format table --design " PUTIL_EXAMPLES_DIR "/haldorv_design.json", "name  ", false},
    {"hssi_csv", "hssi --format csv --design " PUTIL_EXAMPLES_DIR "/haldorv_design.json", "name,", false},
    {"hssi_json", "hssi --format json --design " PUTIL_EXAMPLES_DIR "/haldorv_design.json", "{", false},
    {"supplies_table", "supplies --device " PUTIL_EXAMPLES_DIR "/haldorv_device.json", "supplies of the element kinds", false},
    {"supplies_csv", "supplies --format csv --device " PUTIL_EXAMPLES_DIR "/haldorv_device.json", "name,supply,", false},
    {"supplies_json", "supplies --format json --device " PUTIL_EXAMPLES_DIR "/haldorv_device.json", "{", false},
};

INSTANTIATE_TEST_SUITE_P(COMMANDS, CLI_CONVENTIONS_TEST, ::testing::ValuesIn(CONVENTION_CASES), row_name);

// Every command answers "help CMD" and "CMD --help" alike, and offers -o.
TEST_F(PUTIL_TEST, every_command_has_help_and_an_output_option)
{
    for (const char* command : {"activity", "clocks", "hssi", "signals", "supplies", "tbl", "transient"}) {
        const RUN_RESULT help = run_putil(std::string("help ") + command);
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find(std::string("Usage: putil ") + command), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("-o,--output"), std::string::npos) << command << ": " << help.out;
        EXPECT_EQ(run_putil(std::string(command) + " --help").out, help.out) << command;
    }
}

}  // namespace
