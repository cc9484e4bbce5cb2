// Real waveform files of ../shared/vcd-corpus, read in place: every declared bit measured, strict reading as expected.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>

#include "host_waveform_table.h"
#include "putil_derived_design.h"
#include "putil_saif_reader.h"
#include "putil_test_support.h"

namespace {

const std::string CORPUS = PUTIL_CORPUS_DIR;

// How `putil activity --strict` ends on each file: 0 when it reads the file, else the line of the 222007 at the
// first construct beyond strict VCD (the reader's counter takes a run of empty lines as one step, so it can be
// below the file's line number). None reaches 222008, 222009, 222010 or an internal error in strict reading.
struct CORPUS_FILE { const char* name; int strict_line; };
void PrintTo(const CORPUS_FILE& file, std::ostream* stream) { *stream << file.name; }
const CORPUS_FILE CORPUS_FILES[] = {
    {"amaranth-up_counter.vcd", 10},        // "$var string 1 % state": a variable kind outside VCD
    {"ghdl-pcpu.vcd", 566},                 // "bUUUU... F#": nine-level U in a vector (CRLF ends)
    {"icarus-surfer_issue_256.vcd", 44},    // "$dumpall $end": an empty dump block before #0
    {"libsigrok-real-analog.vcd", 28},      // "#0 1! 0\" ...": changes after the timestamp (line 29)
    {"ncsim-ffdiv_32bit_tb.vcd", 309},      // "r1.06e-314 *": a real with an exponent (line 323)
    {"nvc-manytypes2.vcd", 10},             // "$attrbegin misc 03 ...": an attribute command
    {"questasim-rf_bench.vcd", 0},          // scalars with a bit index, module scopes
    {"systemc-specs-tracefile.vcd", 45},    // "r1e-08 aaaai": a real with an exponent (line 50)
    {"treadle-chisel-GCD.vcd", 48},         // "#1" inside "$dumpvars", which is never closed
    {"vcs-processor.vcd", 0},               // named blocks ("begin")
    {"vcs-vhdl-bnn-dump.evcd", 14},         // "$var port [13:0] <2 Z $end": a port of several bits
    {"verilator-vlt_dump.vcd", 0},          // indented declarations
    {"yosys-smtbmc-surfer_issue_315.vcd", 0},   // wide wires without a range: scalars the strict design leaves out
};

#define SKIP_WITHOUT_CORPUS()                  \
    if (!std::filesystem::is_directory(CORPUS)) \
    GTEST_SKIP() << "the VCD corpus is not at " << CORPUS << " (it is not shipped with putil)"

// Reads "[msb:lsb]" exactly.
bool read_range(const std::string& text, long* msb, long* lsb)
{
    char close = 0;
    int used = 0;
    return std::sscanf(text.c_str(), "[%ld:%ld%c%n", msb, lsb, &close, &used) == 3 && close == ']' &&
           static_cast<std::size_t>(used) == text.size();
}

// The bits a file declares, counted from its "$var" lines alone: a range gives a bit per index between its ends,
// written downwards or upwards ("string_signal[1:10]" of nvc-manytypes2.vcd), and none with a negative bit, a wider
// declaration without a readable range its size, any other one bit. A port's range stands in
// place of its size. Each bit counts once under its scope path, however often or under whatever code it is declared.
std::size_t count_declared_bits(const std::string& path)
{
    std::istringstream in(putil_read_text(path));
    std::vector<std::string> scopes;
    std::set<std::string> bits;
    std::string word;
    const auto next = [&in, &word] { return static_cast<bool>(in >> word); };
    const auto skip_to_end = [&] { while (word != "$end" && next()) continue; };
    while (next() && word != "$enddefinitions" && word[0] != '#') {
        if (word == "$scope") {
            std::string kind, name;
            in >> kind >> name;
            name == "$end" ? name.clear() : skip_to_end();
            scopes.push_back(kind + " " + name);
        } else if (word == "$upscope") {
            scopes.pop_back();
            skip_to_end();
        } else if (word == "$var") {
            std::vector<std::string> fields;
            while (next() && word != "$end")
                fields.push_back(word);
            std::string size = fields.at(1), reference = fields.at(3);
            std::string index = fields.size() > 4 ? fields[4] : "";
            if (fields[0] == "port" && size[0] == '[') {
                index = size;
                size = "0";
            }
            if (reference[0] == '\\')
                reference.erase(0, 1);
            std::string prefix;
            for (const std::string& scope : scopes)
                prefix += scope + "/";
            long msb = 0, lsb = 0;
            const std::size_t bracket = reference.rfind('[');
            bool ranged = !index.empty() && read_range(index, &msb, &lsb);
            if (index.empty() && bracket != std::string::npos && read_range(reference.substr(bracket), &msb, &lsb)) {
                reference.erase(bracket);
                ranged = true;
            }
            if (!ranged && std::atol(size.c_str()) > 1) {
                reference += index;
                msb = std::atol(size.c_str()) - 1;
                lsb = 0;
                ranged = true;
            }
            if (!ranged)
                bits.insert(prefix + reference + index);
            const long low = std::min(msb, lsb), high = std::max(msb, lsb);
            for (long bit = low; ranged && low >= 0 && bit <= high; ++bit)
                bits.insert(prefix + reference + "[" + std::to_string(bit) + "]");
        } else if (word[0] == '$' && word != "$end") {
            skip_to_end();
        }
    }
    return bits.size();
}

using CORPUS_TEST = PUTIL_TEST;

TEST_F(CORPUS_TEST, every_file_of_the_folder_is_in_the_table)
{
    SKIP_WITHOUT_CORPUS();
    std::set<std::string> in_folder, in_table;
    for (const auto& entry : std::filesystem::directory_iterator(CORPUS))
        in_folder.insert(entry.path().filename().string());
    in_folder.erase("PROVENANCE.md");
    for (const CORPUS_FILE& file : CORPUS_FILES)
        in_table.insert(file.name);
    EXPECT_EQ(in_folder, in_table);
}

class CORPUS_FILES_TEST : public CORPUS_TEST, public testing::WithParamInterface<CORPUS_FILE> {};

// Matched signals, from the name-matching report: a term of the derived design that got a record either has a value
// in the output or is in the no-data file (never a known level: strings, reals, signals that stay X), never both.
// Strict reading accepts the file or stops at its first extension. Read once more in process, so that the host's
// memory manager can tell that the library frees everything it allocated (checked when the test ends).
TEST_P(CORPUS_FILES_TEST, reads_to_the_end_measures_every_declared_bit_and_frees_its_memory)
{
    SKIP_WITHOUT_CORPUS();
    const std::string path = CORPUS + "/" + GetParam().name;
    RUN_RESULT run =
        run_putil("activity '" + path + "' --set putil_output_vcd_name_matching_info=on --format csv -o out.csv");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("error"), std::string::npos) << run.err;   // neither a message nor an internal error

    std::size_t with_value = 0;
    const std::vector<std::string> rows = putil_lines_of(putil_read_text(m_folder + "/out.csv"));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::size_t first_comma = rows[i].rfind(',', rows[i].rfind(',') - 1);
        if (rows[i][first_comma + 1] != ',')
            ++with_value;
    }
    const std::size_t without_value = putil_lines_of(putil_read_text(m_folder + "/putil_vcd_no_data_list.txt")).size();
    const std::size_t declared = count_declared_bits(path);
    EXPECT_EQ(with_value + without_value, declared) << with_value << " with a value, " << without_value << " without";
    EXPECT_GT(with_value, 0u);
    // In SAIF, every net's times add up to the file's duration, whatever its time unit.
    run = run_putil("activity '" + path + "' --format saif -o out.saif");
    EXPECT_EQ(run.status, 0) << run.err;
    const SAIF_FILE saif = putil_parse_saif(putil_read_text(m_folder + "/out.saif"));
    EXPECT_EQ(saif.nets.size(), with_value);
    EXPECT_EQ(putil_saif_nets_off_duration(saif), std::vector<std::string>{});

    run = run_putil("activity --strict '" + path + "' --format csv -o out.csv");
    std::vector<std::string> errors, posted;
    if (GetParam().strict_line != 0)
        errors = {"putil: error: Parse error in VCD file " + path + " near line " +
                      std::to_string(GetParam().strict_line) + " [222007]",
                  "putil: error: Can't parse VCD file \"" + path + "\" [222011]"};
    EXPECT_EQ(run.status, errors.empty() ? 0 : 1) << run.err;
    for (const std::string& line : putil_lines_of(run.err))
        if (line.find("error") != std::string::npos)
            posted.push_back(line);
    EXPECT_EQ(posted, errors);

    std::string error;
    host_set_setting("putil_vcd_extended_syntax", "on");
    std::unique_ptr<HOST_DESIGN> design = putil_derive_design(path, error);
    ASSERT_NE(design, nullptr) << error;
    EXPECT_EQ(read_file(*design, path, true), std::vector<unsigned>{});
    // Compressed, the file is measured bit for bit alike.
    const std::string measured_plain = putil_annotation_bits(*design);
    std::unique_ptr<HOST_DESIGN> gzip_design = putil_derive_design(path, error);
    read_file(*gzip_design, write_file("compressed.vcd.gz", putil_gzip({putil_read_text(path)})), true);
    EXPECT_EQ(putil_annotation_bits(*gzip_design), measured_plain);
    host_set_current_design(nullptr);
    if (GetParam().strict_line != 0)
        return;
    // A file that strict reading accepts is measured bit for bit alike with the extended syntax on.
    std::string measured[2];
    for (bool extended : {false, true}) {
        host_set_setting("putil_vcd_extended_syntax", "off");
        std::unique_ptr<HOST_DESIGN> strict_design = putil_derive_design(path, error);
        read_file(*strict_design, path, extended);
        measured[extended] = putil_annotation_bits(*strict_design);
        host_set_current_design(nullptr);
    }
    EXPECT_EQ(measured[0], measured[1]);
}

// With exact times, the TBL that `putil tbl` writes reads back as a vector waveform table, unless the program warned
// that the file's time goes back.
TEST_P(CORPUS_FILES_TEST, tbl_with_exact_times_reads_back)
{
    SKIP_WITHOUT_CORPUS();
    const std::string path = CORPUS + "/" + GetParam().name;
    const RUN_RESULT run = run_putil("tbl --exact-times '" + path + "' -o out.tbl");
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream tbl(m_folder + "/out.tbl");
    HOST_WAVEFORM_TABLE table;
    std::string error;
    const bool read = host_read_waveform_table(tbl, "out.tbl", table, error);
    EXPECT_EQ(read, run.err.find("time goes back") == std::string::npos) << error << run.err;
}

// An FST file is measured as the VCD that fst2vcd writes for it: the program streams that text into the reader.
TEST_P(CORPUS_FILES_TEST, fst_reads_as_the_vcd_that_fst2vcd_writes)
{
    SKIP_WITHOUT_CORPUS();
    if (std::system("command -v vcd2fst >/dev/null && command -v fst2vcd >/dev/null") != 0)
        GTEST_SKIP() << "vcd2fst and fst2vcd are not installed (Debian package gtkwave)";
    const std::string path = CORPUS + "/" + GetParam().name;
    const std::string fst = m_folder + "/w.fst", vcd = m_folder + "/w.vcd";
    if (std::system(("vcd2fst '" + path + "' '" + fst + "' >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "vcd2fst cannot convert " << GetParam().name;
    const bool converted = std::system(("fst2vcd '" + fst + "' > '" + vcd + "' 2>/dev/null").c_str()) == 0;
    const RUN_RESULT from_fst = run_putil("activity --format csv w.fst");
    if (!converted) {
        // What vcd2fst wrote, fst2vcd cannot read back: the program says so.
        EXPECT_EQ(from_fst.status, 1);
        EXPECT_NE(from_fst.err.find("w.fst: fst2vcd ended with exit status"), std::string::npos) << from_fst.err;
        return;
    }
    const RUN_RESULT from_vcd = run_putil("activity --format csv w.vcd");
    EXPECT_EQ(from_fst.status, from_vcd.status) << from_fst.err;
    EXPECT_TRUE(putil_same_text(from_vcd.out, from_fst.out));
}

INSTANTIATE_TEST_SUITE_P(CORPUS, CORPUS_FILES_TEST, testing::ValuesIn(CORPUS_FILES), row_name);

}  // namespace
