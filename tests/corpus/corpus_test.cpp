// Real waveform files of ../shared/vcd-corpus, read in place: every declared bit measured, strict reading as expected.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "putil_derived_design.h"
#include "putil_test_support.h"
#include "putil_vcd_reader.h"

namespace {

const std::string CORPUS = PUTIL_CORPUS_DIR;

// How `putil activity --strict` ends on each file. Strict reading stops with
// 222007 at the first construct beyond strict VCD. The line is that of the
// reader's counter, which counts a run of empty lines as one line step, so it
// can be below the line number of the file.
//
// | file                              | --strict              | why                                                     |
// |-----------------------------------|-----------------------|---------------------------------------------------------|
// | amaranth-up_counter.vcd           | 222007 at line 10     | "$var string 1 % state": a variable kind outside VCD    |
// | ghdl-pcpu.vcd                     | 222007 at line 566    | "bUUUU... F#": nine-level U in a vector (CRLF ends)     |
// | icarus-surfer_issue_256.vcd       | 222007 at line 44     | "$dumpall $end": an empty dump block before #0          |
// | libsigrok-real-analog.vcd         | 222007 at line 28     | "#0 1! 0\" ...": changes after the timestamp (line 29)  |
// | ncsim-ffdiv_32bit_tb.vcd          | 222007 at line 309    | "r1.06e-314 *": a real with an exponent (line 323)      |
// | nvc-manytypes2.vcd                | 222007 at line 10     | "$attrbegin misc 03 ...": an attribute command          |
// | questasim-rf_bench.vcd            | reads, status 0       | strict VCD: scalars with a bit index, module scopes     |
// | systemc-specs-tracefile.vcd       | 222007 at line 45     | "r1e-08 aaaai": a real with an exponent (line 50)       |
// | treadle-chisel-GCD.vcd            | 222007 at line 48     | "#1" inside "$dumpvars", which is never closed          |
// | vcs-processor.vcd                 | reads, status 0       | strict VCD with named blocks ("begin")                  |
// | vcs-vhdl-bnn-dump.evcd            | 222007 at line 14     | "$var port [13:0] <2 Z $end": a port of several bits    |
// | verilator-vlt_dump.vcd            | reads, status 0       | strict VCD, indented declarations                       |
// | yosys-smtbmc-surfer_issue_315.vcd | reads, status 0       | strict grammar; its wide wires without a range are      |
// |                                   |                       | scalars in strict reading, which the strict derived     |
// |                                   |                       | design leaves out                                       |
//
// None of them reaches 222008 (upscope), 222009 or 222010 (VCD and EVCD
// mixed) in strict reading, nor an internal error.
struct CORPUS_FILE {
    const char* name;
    int strict_line;   // 0: strict reading accepts the file
};

void PrintTo(const CORPUS_FILE& file, std::ostream* stream) { *stream << file.name; }

const CORPUS_FILE CORPUS_FILES[] = {
    {"amaranth-up_counter.vcd", 10},
    {"ghdl-pcpu.vcd", 566},
    {"icarus-surfer_issue_256.vcd", 44},
    {"libsigrok-real-analog.vcd", 28},
    {"ncsim-ffdiv_32bit_tb.vcd", 309},
    {"nvc-manytypes2.vcd", 10},
    {"questasim-rf_bench.vcd", 0},
    {"systemc-specs-tracefile.vcd", 45},
    {"treadle-chisel-GCD.vcd", 48},
    {"vcs-processor.vcd", 0},
    {"vcs-vhdl-bnn-dump.evcd", 14},
    {"verilator-vlt_dump.vcd", 0},
    {"yosys-smtbmc-surfer_issue_315.vcd", 0},
};

bool corpus_present() { return std::filesystem::is_directory(CORPUS); }

#define SKIP_WITHOUT_CORPUS()                                                                      \
    if (!corpus_present())                                                                         \
    GTEST_SKIP() << "the VCD corpus is not at " << CORPUS << " (it is not shipped with putil)"

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Reads "[msb:lsb]" exactly.
bool read_range(const std::string& text, long* msb, long* lsb)
{
    char close = 0;
    int used = 0;
    return std::sscanf(text.c_str(), "[%ld:%ld%c%n", msb, lsb, &close, &used) == 3 && close == ']' &&
           static_cast<std::size_t>(used) == text.size();
}

// The bits a file declares, counted from its "$var" lines alone: a range
// gives msb - lsb + 1 bits (a range written upwards or with a negative bit,
// such as nvc's "string_signal[1:10]", is measured by no reader mode and gives
// none), a wider declaration without a readable range gives its size, any
// other one bit. A port's range stands in place of its size. Each bit is
// counted once under its scope path, so a name declared again in a reopened
// scope, or under a second identifier code, is one bit.
std::size_t count_declared_bits(const std::string& path)
{
    std::istringstream in(read_text(path));
    std::vector<std::string> scopes;
    std::set<std::string> bits;
    std::string word;
    const auto next = [&in, &word] { return static_cast<bool>(in >> word); };
    const auto skip_to_end = [&] {
        while (word != "$end" && next()) {
        }
    };
    while (next() && word != "$enddefinitions" && word[0] != '#') {
        if (word == "$scope") {
            std::string kind, name;
            in >> kind >> name;
            if (name == "$end")
                name.clear();
            else
                skip_to_end();
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
            for (long bit = lsb; ranged && lsb >= 0 && bit <= msb; ++bit)
                bits.insert(prefix + reference + "[" + std::to_string(bit) + "]");
        } else if (word[0] == '$' && word != "$end") {
            skip_to_end();
        }
    }
    return bits.size();
}

struct RUN_RESULT {
    int status;
    std::string err;
};

class CORPUS_TEST : public PUTIL_TEST {
protected:
    // Runs the program in the scratch folder; standard output goes to out.csv.
    RUN_RESULT run_putil(const std::string& arguments) const
    {
        const std::string command = "cd '" + m_folder + "' && '" + PUTIL_BINARY + "' activity " + arguments +
                                    " --format csv -o out.csv 2> err.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_text(m_folder + "/err.txt")};
    }

    // Reads a file in process into the design derived from it; answers
    // each output term's annotation flags and the bits of its two values.
    std::vector<std::string> read_in_process(const std::string& path, bool extended_design, bool extended_reading)
    {
        std::string error;
        std::unique_ptr<HOST_DESIGN> design = putil_derive_design(path, extended_design, error);
        EXPECT_NE(design, nullptr) << error;
        host_set_setting("putil_vcd_extended_syntax", extended_reading ? "on" : "off");
        host_clear_posted_messages();
        host_set_current_design(design.get());
        design->input_files()->add_entry(path, design->root(), nullptr, nullptr);
        PUTIL_VCD_READER* reader = putil_create_putil_vcd_reader(design->facade());
        EXPECT_TRUE(reader->read_vcd_files(design->store()));
        delete reader;
        host_set_current_design(nullptr);
        std::vector<std::string> results;
        CDB_ATOM_NETLIST* netlist = design->netlist();
        for (auto node = netlist->begin_node_list(); node != netlist->end_node_list(); ++node) {
            for (auto term = (*node)->begin_oterm(); term != (*node)->end_oterm(); ++term) {
                PUTIL_OUTPUT_SIGNAL_DATA* data = design->store()->get_output_signal_data(*term);
                const float values[2] = {data->get_static_probability(), data->get_toggle_rate()};
                std::uint32_t bits[2];
                std::memcpy(bits, values, sizeof bits);
                results.push_back(std::to_string(data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED)) +
                                  std::to_string(data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED)) + " " +
                                  std::to_string(bits[0]) + " " + std::to_string(bits[1]));
            }
        }
        return results;
    }
};

TEST_F(CORPUS_TEST, every_file_of_the_folder_is_in_the_table)
{
    SKIP_WITHOUT_CORPUS();
    std::set<std::string> in_folder, in_table;
    for (const auto& entry : std::filesystem::directory_iterator(CORPUS)) {
        const std::string name = entry.path().filename().string();
        if (name != "PROVENANCE.md")
            in_folder.insert(name);
    }
    for (const CORPUS_FILE& file : CORPUS_FILES)
        in_table.insert(file.name);
    EXPECT_EQ(in_folder, in_table);
}

class CORPUS_FILES_TEST : public CORPUS_TEST, public testing::WithParamInterface<CORPUS_FILE> {};

// Matched signals, from the name-matching report: a term of the derived
// design that got a record either has a value in the output (some known
// time) or is listed in the no-data file (never a known level: strings,
// reals, signals that stay X). The two are disjoint, and a term without a
// record is in neither.
TEST_P(CORPUS_FILES_TEST, reads_to_the_end_and_measures_every_declared_bit)
{
    SKIP_WITHOUT_CORPUS();
    const std::string path = CORPUS + "/" + GetParam().name;
    const RUN_RESULT run = run_putil("'" + path + "' --set putil_output_vcd_name_matching_info=on");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("error"), std::string::npos) << run.err;   // neither a message nor an internal error

    std::size_t with_value = 0;
    const std::vector<std::string> rows = lines_of(read_text(m_folder + "/out.csv"));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::size_t first_comma = rows[i].rfind(',', rows[i].rfind(',') - 1);
        if (rows[i][first_comma + 1] != ',')
            ++with_value;
    }
    const std::size_t without_value = lines_of(read_text(m_folder + "/putil_vcd_no_data_list.txt")).size();
    const std::size_t declared = count_declared_bits(path);
    std::printf("[ CORPUS   ] %-34s %7zu declared bits, %7zu matched (%zu with a value, %zu without)\n",
                GetParam().name, declared, with_value + without_value, with_value, without_value);
    EXPECT_EQ(with_value + without_value, declared);
    EXPECT_GT(with_value, 0u);
}

TEST_P(CORPUS_FILES_TEST, strict_reading_accepts_or_stops_at_the_first_extension)
{
    SKIP_WITHOUT_CORPUS();
    const std::string path = CORPUS + "/" + GetParam().name;
    const RUN_RESULT run = run_putil("--strict '" + path + "'");
    if (GetParam().strict_line == 0) {
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find("error"), std::string::npos) << run.err;
        return;
    }
    EXPECT_EQ(run.status, 1) << run.err;
    const std::vector<std::string> errors = {
        "putil: error: Parse error in VCD file " + path + " near line " + std::to_string(GetParam().strict_line) +
            " [222007]",
        "putil: error: Can't parse VCD file \"" + path + "\" [222011]"};
    std::vector<std::string> posted;
    for (const std::string& line : lines_of(run.err))
        if (line.find("error") != std::string::npos)
            posted.push_back(line);
    EXPECT_EQ(posted, errors);
}

// In process, so that the host's memory manager can tell that the library
// frees everything it allocated (checked when the test ends). A file that
// strict reading accepts is measured bit for bit alike with the extended
// syntax on, in the design that strict derivation gives.
TEST_P(CORPUS_FILES_TEST, leaves_no_memory_behind_and_reads_strict_files_alike)
{
    SKIP_WITHOUT_CORPUS();
    const std::string path = CORPUS + "/" + GetParam().name;
    read_in_process(path, true, true);
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        EXPECT_NE(message.severity, MSG_SEVERITY_ERROR) << message.id << " " << message.text;
    if (GetParam().strict_line != 0)
        return;
    const std::vector<std::string> strict = read_in_process(path, false, false);
    EXPECT_NE(std::count_if(strict.begin(), strict.end(), [](const std::string& term) { return term[0] == '1'; }), 0);
    EXPECT_EQ(read_in_process(path, false, true), strict);
}

INSTANTIATE_TEST_SUITE_P(CORPUS, CORPUS_FILES_TEST, testing::ValuesIn(CORPUS_FILES),
                         [](const testing::TestParamInfo<CORPUS_FILE>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

}  // namespace
