// Compressed waveforms: a gzip file, whatever its name, reads exactly as its text; damage is reported as such.
#include "putil_test_support.h"

namespace {

const std::string PULSES = PUTIL_VCD_TOP_A + "#0\n0!\n#10\n1!\n#20\n0!\n#25\n1!\n#40\n";

struct GZIP_CASE {
    const char* name;
    std::string file;                      // as written to disk
    std::string same_as;                   // the text whose reading it must equal
    std::vector<unsigned> error_ids;
};
void PrintTo(const GZIP_CASE& row, std::ostream* out) { *out << row.name; }
class READER_GZIP_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<GZIP_CASE> {};

TEST_P(READER_GZIP_TEST, reads_as_the_text)
{
    auto plain = putil_make_signal_design({"top|a"});
    read_file(*plain, write_file("plain.vcd", GetParam().same_as));
    auto compressed = putil_make_signal_design({"top|a"});
    EXPECT_EQ(read_file(*compressed, write_file("wave.vcd", GetParam().file)), GetParam().error_ids);
    EXPECT_EQ(putil_annotation_bits(*compressed), putil_annotation_bits(*plain));
}

const GZIP_CASE GZIP_CASES[] = {
    {"one_member", putil_gzip({PULSES}), PULSES, {}},
    // Members written one after another, split inside a line.
    {"members_in_sequence", putil_gzip({PULSES.substr(0, 90), PULSES.substr(90)}), PULSES, {}},
    // A file cut in its trailer has all its text, yet is reported; what came before is measured.
    {"truncated", putil_gzip({PULSES}).substr(0, putil_gzip({PULSES}).size() - 8), PULSES, {222021, 222011}},
    {"corrupt", putil_gzip({PULSES}).substr(0, 20) + std::string(40, '\x55'), "", {222021, 222011}},
};

INSTANTIATE_TEST_SUITE_P(FILES, READER_GZIP_TEST, ::testing::ValuesIn(GZIP_CASES), row_name);

// The lines of a compressed file are not counted; the bar follows the compressed bytes read, up to the end.
TEST_F(PUTIL_TEST, compressed_progress_follows_the_bytes_read)
{
    std::string text = PUTIL_VCD_TOP_A;
    for (int t = 0; t < 200000; ++t)
        text += "#" + std::to_string(t) + "\n" + (t % 2 ? "1!\n" : "0!\n");
    auto design = putil_make_signal_design({"top|a"});
    EXPECT_EQ(read_file(*design, write_file("long.vcd.gz", putil_gzip({text}))), std::vector<unsigned>{});
    const std::vector<int>& updates = host_progress_updates();
    ASSERT_GT(updates.size(), 2u);
    EXPECT_TRUE(std::is_sorted(updates.begin(), updates.end()));
    EXPECT_GE(updates.back(), 90);
    EXPECT_LE(updates.back(), 100);
}

}  // namespace
