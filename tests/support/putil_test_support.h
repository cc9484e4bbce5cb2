// Shared test support: a fixture that records the host's messages, checks that the library frees what it allocates,
// writes waveform files into a scratch folder and runs the reader or the program; design builders and value checks.
#pragma once

#include <sys/wait.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "host/host_test_fixture.h"
#include "reader/putil_vcd_reader.h"

// The declarations of one wire top|a with a 1 ns unit.
inline const std::string PUTIL_VCD_TOP_A =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n";

inline std::string putil_read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The gzip members of each text, one after the other as one file's bytes.
inline std::string putil_gzip(const std::vector<std::string>& members)
{
    std::string file;
    for (const std::string& text : members) {
        z_stream zlib{};
        deflateInit2(&zlib, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::string out(deflateBound(&zlib, text.size()) + 32, '\0');
        zlib.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        zlib.avail_in = static_cast<uInt>(text.size());
        zlib.next_out = reinterpret_cast<Bytef*>(out.data());
        zlib.avail_out = static_cast<uInt>(out.size());
        deflate(&zlib, Z_FINISH);
        out.resize(zlib.total_out);
        deflateEnd(&zlib);
        file += out;
    }
    return file;
}

inline std::vector<std::string> putil_lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Two program outputs compared line by line, naming the first line that
// differs: gtest's own diff of two long texts takes time and memory of the
// product of their line counts.
inline ::testing::AssertionResult putil_same_text(const std::string& expected, const std::string& got)
{
    if (expected == got)
        return ::testing::AssertionSuccess();
    const std::vector<std::string> left = putil_lines_of(expected), right = putil_lines_of(got);
    std::size_t line = 0;
    while (line < left.size() && line < right.size() && left[line] == right[line])
        ++line;
    const auto at = [line](const std::vector<std::string>& lines) {
        return line < lines.size() ? "\"" + lines[line] + "\"" : std::string("(no line: ") +
                                                                    std::to_string(lines.size()) + " lines)";
    };
    return ::testing::AssertionFailure() << "the texts differ first at line " << line + 1 << ": expected "
                                         << at(left) << ", got " << at(right);
}

// The rows of a CSV report by their first field (a signal's name): the
// fields after it, an empty last one included. Lines starting with '#' are
// comments; the header is a row like the others.
inline std::map<std::string, std::vector<std::string>> putil_csv_rows(const std::string& csv)
{
    std::map<std::string, std::vector<std::string>> rows;
    for (const std::string& line : putil_lines_of(csv)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::stringstream in(line);
        for (std::string field; std::getline(in, field, ',');)
            fields.push_back(field);
        if (line.back() == ',')
            fields.push_back("");
        rows[fields.front()] = std::vector<std::string>(fields.begin() + 1, fields.end());
    }
    return rows;
}

// What a user sees of a broken invariant: that the library stopped with an
// internal error (tag "PUTIL") and the source file that reports it, as
// "internal error in FILE"; "no internal error" when body returns. The text
// of a failed check is the code's own and is left out.
template <class BODY>
std::string putil_internal_error_of(BODY body)
{
    try {
        body();
    } catch (const HOST_INTERNAL_ERROR& error) {
        return (error.tag == "PUTIL" ? "internal error in " : error.tag + " internal error in ") + error.file;
    }
    return "no internal error";
}

// Expects body to stop with the library's internal error, reported from
// source (a file's base name).
template <class BODY>
void putil_expect_internal_error(const std::string& source, BODY body)
{
    EXPECT_EQ(putil_internal_error_of(body), "internal error in " + source);
}

// The same for a report that names its cause in a message of its own.
template <class BODY>
void putil_expect_internal_error(const std::string& source, const std::string& message, BODY body)
{
    std::string seen = "no internal error";
    try {
        body();
    } catch (const HOST_INTERNAL_ERROR& error) {
        seen = error.tag + " " + error.file + ": " + error.expression;
    }
    EXPECT_EQ(seen, "PUTIL " + source + ": " + message);
}

class PUTIL_TEST : public HOST_TEST {
protected:
    void SetUp() override
    {
        HOST_TEST::SetUp();
        char folder[] = "/tmp/putil_test_XXXXXX";
        m_folder = mkdtemp(folder);
        m_live_blocks = host_memory_live_blocks("PUTIL");
    }
    void TearDown() override
    {
        EXPECT_EQ(host_memory_live_blocks("PUTIL"), m_live_blocks) << "the library leaked memory";
        host_set_current_design(nullptr);
        HOST_TEST::TearDown();
        std::filesystem::remove_all(m_folder);
    }

    // Writes text into the scratch folder; answers the file's path.
    std::string write_file(const std::string& name, const std::string& text) const
    {
        const std::string path = m_folder + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Adds an entry for each file (the whole file, from the root) and runs a new reader over the design's entries.
    static bool read(HOST_DESIGN& design, const std::vector<std::string>& files = {}, int* status = nullptr)
    {
        for (const std::string& file : files)
            design.input_files()->add_entry(file, nullptr, nullptr, nullptr);
        PUTIL_VCD_READER* reader = putil_create_putil_vcd_reader(design.facade());
        const bool result = reader->read_vcd_files(design.store());
        if (status != nullptr)
            *status = reader->get_status();
        delete reader;
        return result;
    }

    static std::vector<unsigned> posted_ids(bool errors_only = false)
    {
        std::vector<unsigned> ids;
        for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
            if (!errors_only || message.severity == MSG_SEVERITY_ERROR)
                ids.push_back(message.id);
        return ids;
    }

    // Reads one file into the design, made current, from its root, with the
    // extended syntax on or off; answers the ids of the errors this posted.
    static std::vector<unsigned> read_file(HOST_DESIGN& design, const std::string& file, bool extended = false,
                                           const BIG_TIME* start = nullptr, const BIG_TIME* end = nullptr)
    {
        host_clear_posted_messages();
        host_set_setting("putil_vcd_extended_syntax", extended ? "on" : "off");
        host_set_current_design(&design);
        design.input_files()->add_entry(file, design.root(), start, end);
        read(design);
        return posted_ids(true);
    }

    struct RUN_RESULT { int status; std::string out, err; };

    // Runs the program with args (already quoted where needed) in the scratch folder.
    RUN_RESULT run_putil(const std::string& args) const
    {
        const std::string out = m_folder + "/stdout.txt", err = m_folder + "/stderr.txt";
        const std::string command = "cd " + m_folder + " && " + PUTIL_BINARY + " " + args + " >" + out + " 2>" + err;
        const int raw = std::system(command.c_str());
        return RUN_RESULT{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, putil_read_text(out), putil_read_text(err)};
    }

    std::string m_folder;
    std::size_t m_live_blocks = 0;
};

// A design with one combinational atom per signal path, each driving one
// sink (delay_ps on that connection when >= 0).
inline std::unique_ptr<HOST_DESIGN> putil_make_signal_design(const std::vector<std::string>& paths,
                                                              int delay_ps = -1)
{
    auto design = std::make_unique<HOST_DESIGN>();
    HOST_ATOM* sink = design->add_atom("sink", HOST_ATOM_KIND::OTHER);
    for (const std::string& path : paths) {
        HOST_ATOM* atom = design->add_atom(path, HOST_ATOM_KIND::LCELL_COMB);
        design->add_input(sink, 0, design->add_output(atom, path, 0, false), false, delay_ps);
    }
    return design;
}

// The first output term of that path.
inline const CDB_ATOM_OTERM* putil_find_oterm(HOST_DESIGN& design, const std::string& path)
{
    for (unsigned id = 0; id < design.store()->get_output_signal_id_array_size(); ++id)
        if (design.store()->oterm_of(id)->get_string_hpath() == path)
            return design.store()->oterm_of(id);
    return nullptr;
}

struct EXPECTED_SIGNAL {
    const char* path;
    std::optional<double> static_probability;   // nullopt: not annotated
    std::optional<double> toggle_rate;
};

inline std::vector<std::string> putil_paths_of(const std::vector<EXPECTED_SIGNAL>& signals)
{
    std::vector<std::string> paths(signals.size());
    std::transform(signals.begin(), signals.end(), paths.begin(), [](const EXPECTED_SIGNAL& s) { return s.path; });
    return paths;
}

// Checks each signal's annotation flags and its values as single floats; a record never annotated holds 0.
inline void putil_expect_signals(HOST_DESIGN& design, const std::vector<EXPECTED_SIGNAL>& expected)
{
    for (const EXPECTED_SIGNAL& signal : expected) {
        SCOPED_TRACE(signal.path);
        const CDB_ATOM_OTERM* oterm = putil_find_oterm(design, signal.path);
        ASSERT_NE(oterm, nullptr);
        PUTIL_OUTPUT_SIGNAL_DATA* data = design.store()->get_output_signal_data(oterm);
        ASSERT_EQ(data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED), signal.static_probability.has_value());
        ASSERT_EQ(data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED), signal.toggle_rate.has_value());
        EXPECT_FLOAT_EQ(data->get_static_probability(), static_cast<float>(signal.static_probability.value_or(0)));
        EXPECT_FLOAT_EQ(data->get_toggle_rate(), static_cast<float>(signal.toggle_rate.value_or(0)));
    }
}

// Every term's annotated values as the bits of their floats, one line per term ("path sp=<bits> tr=<bits>", a value
// only when annotated), then each entry's percentages.
inline std::string putil_annotation_bits(HOST_DESIGN& design)
{
    const auto bits = [](float value) {
        std::uint32_t word;
        std::memcpy(&word, &value, sizeof word);
        return std::to_string(word);
    };
    std::string text;
    for (unsigned id = 0; id < design.store()->get_output_signal_id_array_size(); ++id) {
        PUTIL_OUTPUT_SIGNAL_DATA* data = design.store()->get_output_signal_data(id, false);
        text += design.store()->oterm_of(id)->get_string_hpath();
        if (data->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED))
            text += " sp=" + bits(data->get_static_probability());
        if (data->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED))
            text += " tr=" + bits(data->get_toggle_rate());
        text += "\n";
    }
    for (const HOST_INPUT_FILE_DATA* entry : design.input_files()->entries())
        text += "toggling=" + bits(entry->toggle_percentage()) + " unknown=" + bits(entry->unknown_percentage()) + "\n";
    return text;
}
