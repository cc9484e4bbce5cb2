// Partial results and `putil merge`: the per-file partials of a run, merged in
// file order, give what one run over all the files gives, in every merge mode
// and output format; partials that do not agree are refused, naming both.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "putil_test_support.h"

#define PUTIL_EXAMPLES_DIR PUTIL_TEST_DATA_DIR "/../../examples"

namespace {

const std::string CORPUS = PUTIL_CORPUS_DIR;
const char* const MODES[] = {"replace", "add", "keep", "concatenate"};

// Files of one design: the same declarations, different activity.
std::string vcd(const std::string& timescale, const std::string& body)
{
    return "$timescale " + timescale +
           " $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 4 \" b [3:0] $end\n"
           "$var wire 1 # c $end\n$upscope $end\n$enddefinitions $end\n" +
           body;
}

struct MULTI_FILE_CASE {
    const char* name;
    std::vector<std::string> texts;   // written as f0.vcd, f1.vcd, ...
    const char* options;              // before the files, for both the run and the partials
};
void PrintTo(const MULTI_FILE_CASE& row, std::ostream* out) { *out << row.name; }

const MULTI_FILE_CASE MULTI_FILE_CASES[] = {
    {"one_unit",
     {vcd("1ns", "#0\n0!\nb0000 \"\nx#\n#10\n1!\nb0101 \"\n1#\n#40\n0!\n#50\n"),
      vcd("1ns", "#0\n1!\nb1111 \"\n0#\n#5\n0!\nb0x01 \"\n#30\n1!\n#35\n"),
      vcd("1ns", "#0\n0!\nbz \"\n#20\n1!\nb1 #\n#80\n")},
     ""},
    // Units of three sizes; the last file ends before anything is known of c.
    {"mixed_units",
     {vcd("1ns", "#0\n0!\nb0000 \"\n0#\n#10\n1!\n1#\n#20\n"), vcd("10ps", "#0\n1!\nb1010 \"\n1#\n#700\n0!\n#1000\n"),
      vcd("1ps", "#0\n0!\nb0001 \"\n#1500\n1!\n#2500\n")},
     ""},
    // Fractional timestamps: times as doubles.
    {"fractional_times",
     {vcd("1ns", "#0\n0!\nb0000 \"\n0#\n#2.5\n1!\n#7.25\n0!\n1#\n#10\n"),
      vcd("1ns", "#0\n1!\nb1100 \"\n1#\n#10\n0!\n#15\n")},
     ""},
    {"window",
     {vcd("1ns", "#0\n0!\nb0000 \"\n0#\n#10\n1!\n#20\n0!\n1#\n#30\n1!\n#40\n"),
      vcd("1ns", "#0\n1!\nb0011 \"\n1#\n#12\n0!\n#28\n1!\n#33\n")},
     "--start 5ns --end 30ns "},
    // A design file that names signals no file declares.
    {"design_file",
     {vcd("1ns", "#0\n0!\nb0000 \"\n0#\n#10\n1!\n#20\n"), vcd("1ns", "#0\n1!\nb0110 \"\n1#\n#10\n0!\n#20\n")},
     "--design d.json "},
};

const char* const DESIGN_JSON = R"({"name": "d", "atoms": [
  {"name": "a", "kind": "input_pin", "outputs": [{"hpath": "top|a", "port": "combout"}, {"hpath": "a", "port": "pad_output"}]},
  {"name": "c", "kind": "input_pin", "outputs": [{"hpath": "top|c", "port": "combout"}, {"hpath": "c", "port": "pad_output"}]},
  {"name": "z", "kind": "input_pin", "outputs": [{"hpath": "top|z", "port": "combout"}, {"hpath": "z", "port": "pad_output"}]}]})";

class PARTIAL_MERGE_TEST : public PUTIL_TEST {
protected:
    // The SAIF header's date is the same on every run, however slow.
    void SetUp() override
    {
        PUTIL_TEST::SetUp();
        ::setenv("SOURCE_DATE_EPOCH", "0", 1);
    }

    // The run over files, and the merge of one partial per file, in each
    // format; JSON without the unmatched reasons, which come from the read's
    // name lookups.
    void expect_merge_equals_run(const std::string& options, const std::vector<std::string>& files,
                                 const std::string& mode, const std::vector<std::string>& formats)
    {
        std::string partials;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string partial = "p" + std::to_string(i) + ".json";
            const RUN_RESULT made = run_putil("activity " + options + "--format partial -o " + partial + " " + files[i]);
            ASSERT_EQ(made.status, 0) << made.err;
            partials += " " + partial;
        }
        for (const std::string& format : formats) {
            SCOPED_TRACE(mode + " " + format);
            std::string files_text;
            for (const std::string& file : files)
                files_text += " " + file;
            const RUN_RESULT run = run_putil("activity " + options + "--merge " + mode + " --format " + format + files_text);
            ASSERT_EQ(run.status, 0) << run.err;
            const RUN_RESULT merged = run_putil("merge --merge " + mode + " --format " + format + partials);
            ASSERT_EQ(merged.status, 0) << merged.err;
            if (format != "json") {
                EXPECT_TRUE(putil_same_text(run.out, merged.out));
                continue;
            }
            nlohmann::json expected = nlohmann::json::parse(run.out);
            nlohmann::json got = nlohmann::json::parse(merged.out);
            expected.erase("unmatched");
            got.erase("unmatched");
            EXPECT_EQ(got, expected);
        }
    }
};

class MULTI_FILE_MERGE_TEST : public PARTIAL_MERGE_TEST, public ::testing::WithParamInterface<MULTI_FILE_CASE> {};

TEST_P(MULTI_FILE_MERGE_TEST, merge_of_partials_equals_one_run)
{
    const MULTI_FILE_CASE& row = GetParam();
    write_file("d.json", DESIGN_JSON);
    std::vector<std::string> files;
    for (std::size_t i = 0; i < row.texts.size(); ++i)
        files.push_back(std::filesystem::path(write_file("f" + std::to_string(i) + ".vcd", row.texts[i]))
                            .filename()
                            .string());
    for (const char* mode : MODES)
        expect_merge_equals_run(row.options, files, mode, {"csv", "json", "table"});
}

INSTANTIATE_TEST_SUITE_P(cases, MULTI_FILE_MERGE_TEST, ::testing::ValuesIn(MULTI_FILE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// Real files, each once and twice over (a derived design is the same for
// both), in every mode; a single file in SAIF too.
TEST_F(PARTIAL_MERGE_TEST, corpus_files_merge_as_one_run)
{
    if (!std::filesystem::is_directory(CORPUS))
        GTEST_SKIP() << "the VCD corpus is not at " << CORPUS << " (it is not shipped with putil)";
    for (const char* name : {"questasim-rf_bench.vcd", "vcs-processor.vcd", "verilator-vlt_dump.vcd",
                             "treadle-chisel-GCD.vcd", "ghdl-pcpu.vcd"}) {
        SCOPED_TRACE(name);
        const std::string file = CORPUS + "/" + name;
        expect_merge_equals_run("", {file}, "replace", {"csv", "json", "saif"});
        for (const char* mode : MODES)
            expect_merge_equals_run("", {file, file}, mode, {"csv"});
    }
}

// Two runs of 40 ns: a is high 10 ns with 2 transitions in the first, 30 ns
// with 1 in the second; concatenated it is high 40 of 80 ns with 3
// transitions: 0.5 and 3 / 80 ns.
TEST_F(PARTIAL_MERGE_TEST, concatenate_weights_by_time)
{
    write_file("r1.vcd", PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#20\n0!\n#40\n");
    write_file("r2.vcd", PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#40\n");
    ASSERT_EQ(run_putil("activity --format partial -o p1.json r1.vcd").status, 0);
    ASSERT_EQ(run_putil("activity --format partial -o p2.json r2.vcd").status, 0);
    const RUN_RESULT merged = run_putil("merge --merge concatenate --format csv p1.json p2.json");
    ASSERT_EQ(merged.status, 0) << merged.err;
    const auto rows = putil_csv_rows(merged.out);
    ASSERT_EQ(rows.count("top|a"), 1u) << merged.out;
    EXPECT_FLOAT_EQ(std::stof(rows.at("top|a")[0]), 0.5f);
    EXPECT_FLOAT_EQ(std::stof(rows.at("top|a")[1]), 3.0f / 80e-9f);
    const auto added = putil_csv_rows(run_putil("merge --merge add --format csv p1.json p2.json").out);
    EXPECT_FLOAT_EQ(std::stof(added.at("top|a")[0]), 0.25f + 0.75f);
    // A partial read from standard input is read like its file.
    EXPECT_EQ(run_putil("merge --merge concatenate --format csv - p2.json < p1.json").out, merged.out);
}

struct REFUSAL_CASE {
    const char* name;
    const char* second;   // how the second partial is made, "{}" standing for its file
    const char* error;    // a part of the message, after both partials' names
};
void PrintTo(const REFUSAL_CASE& row, std::ostream* out) { *out << row.name; }

class REFUSED_MERGE_TEST : public PARTIAL_MERGE_TEST, public ::testing::WithParamInterface<REFUSAL_CASE> {};

TEST_P(REFUSED_MERGE_TEST, partials_that_disagree_are_refused)
{
    const REFUSAL_CASE& row = GetParam();
    write_file("w.vcd", PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#40\n");
    write_file("other.vcd", "$scope module top $end\n$var wire 1 ! q $end\n$upscope $end\n$enddefinitions $end\n#0\n0!\n#9\n");
    write_file("d.json", DESIGN_JSON);
    ASSERT_EQ(run_putil("activity --format partial -o first.json w.vcd").status, 0);
    std::string second = row.second;
    second.replace(second.find("{}"), 2, "-o second.json");
    ASSERT_EQ(run_putil("activity --format partial " + second).status, 0);
    const RUN_RESULT merged = run_putil("merge first.json second.json");
    EXPECT_EQ(merged.status, 1);
    EXPECT_NE(merged.err.find("cannot merge second.json with first.json: "), std::string::npos) << merged.err;
    EXPECT_NE(merged.err.find(row.error), std::string::npos) << merged.err;
}

const REFUSAL_CASE REFUSAL_CASES[] = {
    {"design", "{} other.vcd", "their designs differ"},
    {"design_file", "--design d.json {} w.vcd", "their design"},
    {"window", "--end 20ns {} w.vcd", "their windows differ"},
    {"scope", "--scope top {} w.vcd", "their options differ (scope"},
    {"strict", "--strict {} w.vcd", "their options differ (strict"},
};

INSTANTIATE_TEST_SUITE_P(cases, REFUSED_MERGE_TEST, ::testing::ValuesIn(REFUSAL_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// A file that is no partial result, and one of another version, name the file.
TEST_F(PARTIAL_MERGE_TEST, other_files_are_refused_by_name)
{
    write_file("w.vcd", PUTIL_VCD_TOP_A + "#0\n0!\n#10\n");
    ASSERT_EQ(run_putil("activity --format partial -o p.json w.vcd").status, 0);
    nlohmann::json future = nlohmann::json::parse(putil_read_text(m_folder + "/p.json"));
    future["version"] = 99;
    write_file("future.json", future.dump());
    write_file("text.json", "not json");
    const struct {
        const char* file;
        const char* error;
    } cases[] = {{"text.json", "text.json: not a partial result: not JSON"},
                 {"future.json", "future.json: partial result of format version 99"}};
    for (const auto& c : cases) {
        const RUN_RESULT merged = run_putil(std::string("merge p.json ") + c.file);
        EXPECT_EQ(merged.status, 1);
        EXPECT_NE(merged.err.find(c.error), std::string::npos) << merged.err;
    }
}

}  // namespace
