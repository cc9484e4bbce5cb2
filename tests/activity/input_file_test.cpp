// The scanner's input: NUL bytes reach it as 0x01, plain or compressed, whichever way it reads; a file with NULs
// reads exactly as the same file with 0x01 in their place.
#include "putil_test_support.h"
#include "vcd/putil_vcd_input_file.h"

using namespace std::string_literals;

namespace {

// NULs alone, in runs across the 64 KiB blocks of the test's reads, and next to every other byte value.
std::string nul_text()
{
    std::string text = "\0a\0\0b"s + std::string(200000, '\0') + "\n$end";
    for (int byte = 0; byte < 256; ++byte)
        text += static_cast<char>(byte) + "\0"s;
    return text;
}

std::string without_nuls(std::string text)
{
    std::replace(text.begin(), text.end(), '\0', '\x01');
    return text;
}

struct INPUT_CASE { const char* name; bool compressed; bool by_char; };
void PrintTo(const INPUT_CASE& row, std::ostream* out) { *out << row.name; }
class INPUT_FILE_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<INPUT_CASE> {};

TEST_P(INPUT_FILE_TEST, hands_on_nul_bytes_as_0x01)
{
    const std::string text = nul_text();
    const std::string path = write_file("nul.vcd", GetParam().compressed ? putil_gzip({text}) : text);
    std::string read;
    {
        PUTIL_VCD_INPUT_FILE file;
        ASSERT_TRUE(file.open(path));
        EXPECT_EQ(file.is_compressed(), GetParam().compressed);
        std::istream& stream = file.stream();
        if (GetParam().by_char) {
            for (int c = stream.get(); c != std::char_traits<char>::eof(); c = stream.get())
                read += static_cast<char>(c);
        } else {
            std::string block(65536, ' ');
            while (stream.read(&block[0], static_cast<std::streamsize>(block.size())) || stream.gcount() > 0)
                read.append(block, 0, static_cast<std::size_t>(stream.gcount()));
        }
    }
    EXPECT_EQ(read, without_nuls(text));
}

const INPUT_CASE INPUT_CASES[] = {
    {"plain_blocks", false, false},
    {"plain_by_char", false, true},
    {"compressed_blocks", true, false},
    {"compressed_by_char", true, true},
};
INSTANTIATE_TEST_SUITE_P(FILES, INPUT_FILE_TEST, ::testing::ValuesIn(INPUT_CASES), row_name);

struct NUL_CASE { const char* name; std::string text; std::string same_as; const char* error; };
void PrintTo(const NUL_CASE& row, std::ostream* out) { *out << row.name; }
class READER_NUL_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<NUL_CASE> {};

// NULs in a comment are skipped, however long their runs; elsewhere a NUL is outside the language: a parse error on
// its line, what came before still measured. Both syntaxes.
TEST_P(READER_NUL_TEST, skips_nul_comments_and_stops_at_other_nuls)
{
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended);
        auto expected = putil_make_signal_design({"top|a"});
        read_file(*expected, write_file("same.vcd", GetParam().same_as), extended);
        auto design = putil_make_signal_design({"top|a"});
        const std::string path = write_file("nul.vcd", GetParam().text);
        const std::vector<unsigned> errors = read_file(*design, path, extended);
        EXPECT_EQ(putil_annotation_bits(*design), putil_annotation_bits(*expected));
        if (*GetParam().error == '\0') {
            EXPECT_EQ(errors, std::vector<unsigned>{});
            continue;
        }
        EXPECT_EQ(errors, (std::vector<unsigned>{222007, 222011}));
        EXPECT_EQ(host_posted_messages()[1].text, "Parse error in VCD file " + path + " " + GetParam().error);
    }
}

const std::string NUL_FREE = PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#40\n";

const NUL_CASE NUL_CASES[] = {
    {"comment_of_nuls", PUTIL_VCD_TOP_A + "#0\n0!\n$comment\n" + std::string(300000, '\0') + "\n" +
                            std::string(70000, '\0') + "$end\n#10\n1!\n#40\n", NUL_FREE, ""},
    {"nul_in_the_body", PUTIL_VCD_TOP_A + "#0\n0!\n#10\n\0\n#20\n"s, PUTIL_VCD_TOP_A + "#0\n0!\n#10\n",
     "near line 9"},
};
INSTANTIATE_TEST_SUITE_P(FILES, READER_NUL_TEST, ::testing::ValuesIn(NUL_CASES), row_name);

}  // namespace
