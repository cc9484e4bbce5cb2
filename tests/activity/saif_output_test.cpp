// `putil activity --format saif`: the file parses back, every net's level
// times add up to the duration, and the times match the waveform.
#include <map>
#include <sstream>

#include "putil_test_support.h"

namespace {

// What a small SAIF reader takes from a file: the header's values and each
// net's counts by its instance path ("design/top/u1/q").
struct SAIF_FILE {
    std::map<std::string, std::string> header;
    std::map<std::string, std::map<std::string, long long>> nets;
};

// Tokens: "(", ")", quoted strings (without quotes) and words; a backslash
// escapes the next character of a word.
std::vector<std::string> saif_tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '(' || c == ')') {
            tokens.emplace_back(1, c);
            ++i;
        } else if (c == '"') {
            const std::size_t end = text.find('"', i + 1);
            tokens.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            std::string word;
            for (; i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != '(' &&
                   text[i] != ')';
                 ++i)
                word += text[i] == '\\' ? text[++i] : text[i];
            tokens.push_back(word);
        }
    }
    return tokens;
}

SAIF_FILE parse_saif(const std::string& text)
{
    SAIF_FILE file;
    const std::vector<std::string> t = saif_tokens(text);
    std::vector<std::pair<std::string, int>> scopes;   // instance name, depth of its "("
    std::string net;
    int net_depth = -1;
    int depth = 0;
    for (std::size_t i = 0; i + 2 < t.size(); ++i) {
        if (t[i] == ")") {
            if (!scopes.empty() && scopes.back().second == depth)
                scopes.pop_back();
            net_depth = depth == net_depth ? -1 : net_depth;
            --depth;
            continue;
        }
        if (t[i] != "(")
            continue;
        ++depth;
        const std::string& key = t[i + 1];
        if (key == "INSTANCE") {
            scopes.emplace_back(t[i + 2], depth);
        } else if (key == "NET") {
            net_depth = depth;
        } else if (net_depth > 0 && depth == net_depth + 1) {
            net = key;
        } else if (net_depth > 0) {
            std::string path;
            for (const auto& scope : scopes)
                path += scope.first + "/";
            file.nets[path + net][key] = std::stoll(t[i + 2]);
        } else if (depth == 2) {
            file.header[key] = t[i + 2] + (t[i + 3] != ")" ? " " + t[i + 3] : "");
        }
    }
    return file;
}

class SAIF_OUTPUT_TEST : public PUTIL_TEST {
protected:
    // Runs `putil activity --format saif` and reads its output back; every
    // net's four times must add up to the duration.
    SAIF_FILE run_saif(const std::string& args)
    {
        const RUN_RESULT result = run_putil("activity --format saif " + args);
        EXPECT_EQ(result.status, 0) << result.err;
        m_text = result.out;
        SAIF_FILE saif = parse_saif(result.out);
        EXPECT_EQ(saif.header.count("DURATION"), 1u);
        const long long duration = saif.header.count("DURATION") != 0 ? std::stoll(saif.header["DURATION"]) : -1;
        for (const auto& [name, counts] : saif.nets)
            EXPECT_EQ(counts.at("T0") + counts.at("T1") + counts.at("TX") + counts.at("TZ"), duration) << name;
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
