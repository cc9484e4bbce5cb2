// `putil activity --format saif`: the file parses back, every net's level
// times add up to the duration, and the times match the waveform.
#include <regex>

#include "putil_saif_reader.h"
#include "putil_test_support.h"

namespace {

class SAIF_OUTPUT_TEST : public PUTIL_TEST {
protected:
    // Runs `putil activity --format saif` and reads its output back; every
    // net's four times must add up to the duration.
    SAIF_FILE run_saif(const std::string& args)
    {
        const RUN_RESULT result = run_putil("activity --format saif " + args);
        EXPECT_EQ(result.status, 0) << result.err;
        m_text = result.out;
        SAIF_FILE saif = putil_parse_saif(result.out);
        EXPECT_EQ(putil_saif_nets_off_duration(saif), std::vector<std::string>{});
        return saif;
    }

    std::string m_text;
};

// q: X 5 ns, 0 10 ns, 1 10 ns, Z 15 ns; bus bit d[0] of u1 is 1 throughout.
const char* const LEVELS_VCD =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! q $end\n$scope module u1 $end\n"
    "$var wire 2 # d [1:0] $end\n$var wire 1 $ a~b $end\n$upscope $end\n$upscope $end\n$enddefinitions $end\n"
    "#0\nb01 #\n0$\n#5\n0!\n#15\n1!\n#25\nz!\n#40\n";

TEST_F(SAIF_OUTPUT_TEST, nets_follow_the_hierarchy_with_their_level_times)
{
    write_file("levels.vcd", LEVELS_VCD);
    SAIF_FILE saif = run_saif("levels.vcd");
    EXPECT_EQ(saif.header["SAIFVERSION"], "2.0");
    EXPECT_EQ(saif.header["DIRECTION"], "backward");
    EXPECT_EQ(saif.header["TIMESCALE"], "1 ns");
    EXPECT_EQ(saif.header["DURATION"], "40");
    const std::string top = saif.header["DESIGN"] + "/top/";
    const std::map<std::string, long long> q = {{"T0", 10}, {"T1", 10}, {"TX", 5}, {"TZ", 15}, {"TC", 1}};
    EXPECT_EQ(saif.nets[top + "q"], q);
    EXPECT_EQ(saif.nets[top + "u1/d[0]"]["T1"], 40);
    EXPECT_EQ(saif.nets[top + "u1/a~b"]["T0"], 40);
    // The escaped name keeps its backslash in the file.
    EXPECT_NE(m_text.find("(a\\~b"), std::string::npos);
    EXPECT_EQ(saif.nets.size(), 4u);
    // A femtosecond unit, which the reader holds in single precision, over
    // 4 us: whole femtoseconds still.
    const std::string fs_vcd = std::regex_replace(LEVELS_VCD, std::regex("1ns"), "1fs");
    write_file("levels_fs.vcd", std::regex_replace(fs_vcd, std::regex("#40\n"), "#4000000000\n"));
    saif = run_saif("levels_fs.vcd");
    EXPECT_EQ(saif.header["TIMESCALE"], "1 fs");
    EXPECT_EQ(saif.nets[top + "q"]["TZ"], 4000000000 - 25);
}

// A window that starts between two ticks is written in a unit fine enough
// for whole numbers: 100 ps here.
TEST_F(SAIF_OUTPUT_TEST, window_between_ticks_refines_the_unit)
{
    write_file("levels.vcd", LEVELS_VCD);
    SAIF_FILE saif = run_saif("--start 2.5ns --end 30ns levels.vcd");
    EXPECT_EQ(saif.header["TIMESCALE"], "100 ps");
    EXPECT_EQ(saif.header["DURATION"], "275");
    auto& q = saif.nets[saif.header["DESIGN"] + "/top/q"];
    EXPECT_EQ(q["TX"], 25);
    EXPECT_EQ(q["TZ"], 50);
}

// Window bounds on whole picoseconds are exact on 1 ps and 10 ps files too,
// although the activity's unit factor is single precision: the duration is
// the window's, every net's times add up to it (run_saif checks).
TEST_F(SAIF_OUTPUT_TEST, windows_on_fine_units_have_their_exact_duration)
{
    const std::string examples = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples/";
    write_file("levels_10ps.vcd", std::regex_replace(std::regex_replace(LEVELS_VCD, std::regex("1ns"), "10ps"),
                                                     std::regex("#40\n"), "#100000\n"));
    const struct {
        std::string file, window, duration;
    } ROWS[] = {
        {examples + "counter.vcd", "--start 1us --end 2us", "1000000"},
        {examples + "counter.vcd", "--start 1us --end 4us", "3000000"},
        {examples + "sync_counter.vcd", "--start 333ns --end 1.5us", "1167000"},
        {examples + "bidir_port.vcd", "--start 100ns --end 1.2us", "1100000"},
        {"levels_10ps.vcd", "--start 100.005ns --end 1us", "899995"},
    };
    for (const auto& row : ROWS) {
        SCOPED_TRACE(row.file + " " + row.window);
        SAIF_FILE saif = run_saif(row.window + " " + row.file);
        EXPECT_EQ(saif.header["TIMESCALE"], "1 ps");
        EXPECT_EQ(saif.header["DURATION"], row.duration);
    }
}

// The synthesized examples: every measured net; transitions as the toggle
// rates give them; the bus is at Z for 5 ns at each of the 48 hand-overs.
TEST_F(SAIF_OUTPUT_TEST, synthesized_examples_nets_cover_the_duration)
{
    const std::string examples = std::string(PUTIL_TEST_DATA_DIR) + "/../../examples/";
    SAIF_FILE saif = run_saif("--design " + examples + "sync_counter.json " + examples + "sync_counter.vcd");
    EXPECT_EQ(saif.nets.size(), 12u);
    EXPECT_EQ(saif.nets["sync_counter/clk_a"]["TC"], 400);
    saif = run_saif("--design " + examples + "bidir_port.json " + examples + "bidir_port.vcd");
    EXPECT_EQ(saif.nets.size(), 20u);
    EXPECT_EQ(saif.header["TIMESCALE"], "1 ps");
    EXPECT_EQ(saif.nets["bidir_port/bus[0]"]["TZ"], 48 * 5000);
    EXPECT_EQ(saif.nets["bidir_port/bus[0]"]["TC"], 120);
}

// Times that a 64-bit count can hold stay exact in the file's unit; beyond it the run fails and writes nothing,
// rather than wrapping.
TEST_F(SAIF_OUTPUT_TEST, times_at_the_top_of_the_range)
{
    const std::string header = "$timescale 1s $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                               "$enddefinitions $end\n#0\n0!\n";
    write_file("large.vcd", header + "#4611686018427387\n1!\n#4611686018427388\n");
    SAIF_FILE saif = run_saif("large.vcd");
    EXPECT_EQ(saif.header["TIMESCALE"], "1 s");
    EXPECT_EQ(saif.nets[saif.header["DESIGN"] + "/top/a"]["T0"], 4611686018427387);
    write_file("huge.vcd", header + "#4611686018427387904\n1!\n#4611686018427387905\n");
    write_file("out.saif", "earlier\n");
    const RUN_RESULT result = run_putil("activity --format saif -o out.saif huge.vcd");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("SAIF cannot hold the file's times"), std::string::npos) << result.err;
    EXPECT_EQ(putil_read_text(m_folder + "/out.saif"), "earlier\n");
}

TEST_F(SAIF_OUTPUT_TEST, needs_exactly_one_vcd_file)
{
    write_file("levels.vcd", LEVELS_VCD);
    for (const char* inputs : {"levels.vcd levels.vcd", "--vwf table.tbl --design d.json"}) {
        const RUN_RESULT result = run_putil(std::string("activity --format saif ") + inputs);
        EXPECT_EQ(result.status, 2) << inputs;
        EXPECT_NE(result.err.find("--format saif takes exactly one VCD file"), std::string::npos) << result.err;
    }
}

}  // namespace
