// What real files hold beyond the extended syntax's table: "#" as an identifier code, any variable kind beside an
// extended-VCD port, vector values that tools write wrongly, UTF-8 names, and cut or corrupt compressed files. Each
// row is read with the scanner's rules and with the fast body path, in extended and in strict reading.
#include "core/putil_msgs.h"
#include "putil_test_support.h"

namespace {

const std::string HEADER = "$timescale 1ns $end\n$scope module top $end\n";
const std::string BODY_START = "$upscope $end\n$enddefinitions $end\n";

struct QUIRK_CASE {
    const char* name;
    std::string declarations;   // inside "$scope module top"
    std::string body;
    std::vector<EXPECTED_SIGNAL> extended;
    std::vector<unsigned> extended_ids;   // every message of the extended read, 222002 and 222003 left out
    int strict_error_line;                // 0: strict reading gives the same
};
void PrintTo(const QUIRK_CASE& row, std::ostream* stream) { *stream << row.name; }
class READER_QUIRKS : public PUTIL_TEST, public testing::WithParamInterface<QUIRK_CASE> {};

std::vector<unsigned> read_messages()
{
    std::vector<unsigned> ids;
    for (const HOST_POSTED_MESSAGE& message : host_posted_messages())
        if (message.id != 222002 && message.id != 222003)
            ids.push_back(message.id);
    return ids;
}

TEST_P(READER_QUIRKS, read_alike_with_and_without_the_fast_body)
{
    const QUIRK_CASE& row = GetParam();
    const std::string file = write_file("quirk.vcd", HEADER + row.declarations + BODY_START + row.body);
    for (const char* fast : {"on", "off"}) {
        SCOPED_TRACE(std::string("fast body ") + fast);
        host_set_setting("putil_vcd_fast_body", fast);
        auto design = putil_make_signal_design(putil_paths_of(row.extended));
        read_file(*design, file, true);
        EXPECT_EQ(read_messages(), row.extended_ids);
        putil_expect_signals(*design, row.extended);
        auto strict = putil_make_signal_design(putil_paths_of(row.extended));
        const std::vector<unsigned> errors = read_file(*strict, file, false);
        if (row.strict_error_line == 0) {
            EXPECT_EQ(putil_annotation_bits(*strict), putil_annotation_bits(*design));
            continue;
        }
        EXPECT_EQ(errors, (std::vector<unsigned>{222007, 222011}));
        EXPECT_EQ(host_posted_messages()[1].text,
                  "Parse error in VCD file " + file + " near line " + std::to_string(row.strict_error_line));
    }
}

const QUIRK_CASE QUIRK_CASES[] = {
    // A change always starts with its value, so "#" after one is a code, never a time: 11 then 00 from 10 ns.
    {"hash_vector_code", "$var wire 8 # data [7:0] $end\n", "#0\nb00000011 #\n#10\nb00000000 #\n#20\n",
     {{"top|data[0]", 0.5, 1 / 20e-9}, {"top|data[1]", 0.5, 1 / 20e-9}, {"top|data[7]", 0.0, 0.0}}, {}, 0},
    {"hash_scalar_code", "$var wire 1 # s $end\n", "#0\n1#\n#10\n0#\n#20\n", {{"top|s", 0.5, 1 / 20e-9}}, {}, 0},
    // "port" with a size and a plain code is a kind like tri1 or wor: p = 01 then 10; t rises, o stays 0.
    {"port_among_other_kinds",
     "$var port 2 3 p[1:0] $end\n$var tri1 1 a t $end\n$var wand 1 b w $end\n$var wor 1 c o $end\n"
     "$var bit 1 d n $end\n$var real 64 e r $end\n",
     "#0\nb01 3\n0a\n1b\n0c\n1d\nr1.5 e\n#10\nb10 3\n1a\n#20\n",
     {{"top|p[0]", 0.5, 1 / 20e-9}, {"top|p[1]", 0.5, 1 / 20e-9}, {"top|t", 0.5, 1 / 20e-9}, {"top|w", 1.0, 0.0},
      {"top|o", 0.0, 0.0}, {"top|n", 1.0, 0.0}, {"top|r[0]", {}, {}}},
     {}, 3},
    // "b H" (no digits) and "b0b00 !" (a stray b) are unknown in every bit, with a warning each. v: 01, x from 10,
    // 11 from 20 ns: v[1] rises across the unknown. w: 0000, x from 20, 1111 from 30 ns.
    {"malformed_vectors", "$var wire 2 H v [1:0] $end\n$var wire 4 ! w [3:0] $end\n",
     "#0\nb01 H\nb0000 !\n#10\nb H\n#20\nb11 H\nb0b00 !\n#30\nb1111 !\n#40\n",
     {{"top|v[0]", 1.0, 0.0}, {"top|v[1]", 2.0 / 3, 1 / 30e-9}, {"top|w[0]", 1.0 / 3, 1 / 30e-9},
      {"top|w[3]", 1.0 / 3, 1 / 30e-9}},
     {222020, 222020}, 11},
    // UTF-8 in a scope name, a signal name and a code.
    {"utf8_names", "$scope module bloc_\xc3\xa9t\xc3\xa9 $end\n$var wire 1 ! donn\xc3\xa9" "es $end\n"
     "$var wire 1 \xc3\xa9 x $end\n$upscope $end\n",
     "#0\n1!\n0\xc3\xa9\n#10\n0!\n1\xc3\xa9\n#40\n",
     {{"top|bloc_\xc3\xa9t\xc3\xa9|donn\xc3\xa9" "es", 0.25, 1 / 40e-9},
      {"top|bloc_\xc3\xa9t\xc3\xa9|x", 0.75, 1 / 40e-9}},
     {}, 3},
};

INSTANTIATE_TEST_SUITE_P(REAL_FILES, READER_QUIRKS, testing::ValuesIn(QUIRK_CASES), row_name);

// The warning names the file, the line and the value as written; messages escape the control bytes they quote.
TEST_F(PUTIL_TEST, malformed_value_warning_and_quoted_text_escaped)
{
    auto design = putil_make_signal_design({"top|a"});
    const std::string file = write_file("w.vcd", PUTIL_VCD_TOP_A + "#0\nb0b !\n#10\n");
    EXPECT_EQ(read_file(*design, file, true), std::vector<unsigned>{});
    ASSERT_EQ(read_messages(), std::vector<unsigned>{222020});
    EXPECT_EQ(host_posted_messages()[1].text,
              "VCD file " + file + " has a malformed value \"b0b\" on line 7: its bits are read as unknown");
    host_clear_posted_messages();
    putil_post_message(eputil_putil_vcd_reader_general_error("\x1b]0;t\x07.vcd", "3"));
    EXPECT_EQ(host_posted_messages()[0].text, "Parse error in VCD file \\x1B]0;t\\x07.vcd near line 3");
}

// A compressed file cut anywhere, or corrupt, is said to be damaged, whatever the cut text looks like (a token
// broken off, a timestamp shortened to an earlier time), in both modes.
TEST_F(PUTIL_TEST, damaged_compressed_file_is_reported_as_such)
{
    std::string text = PUTIL_VCD_TOP_A;
    for (int t = 0; t < 20000; ++t)
        text += "#" + std::to_string(1000 + 10 * t) + "\n" + (t % 2 ? "1!\n" : "0!\n");
    const std::string whole = putil_gzip({text});
    std::vector<std::string> damaged;
    for (int eighth = 1; eighth < 8; ++eighth)
        damaged.push_back(whole.substr(0, whole.size() * eighth / 8 + eighth));
    std::string corrupt = whole;
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x5a);
    damaged.push_back(corrupt);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        const std::string file = write_file("cut" + std::to_string(i) + ".vcd.gz", damaged[i]);
        for (const bool extended : {true, false}) {
            SCOPED_TRACE(file + (extended ? " extended" : " strict"));
            auto design = putil_make_signal_design({"top|a"});
            EXPECT_EQ(read_file(*design, file, extended), (std::vector<unsigned>{222021, 222011}));
            EXPECT_EQ(host_posted_messages()[1].text.rfind("Compressed VCD file " + file + " is truncated or damaged", 0),
                      0u);
        }
    }
}

// The program reads on past malformed values (exit 0) and sums them up per file, listing the first ten only; a
// damaged file fails the run.
TEST_F(PUTIL_TEST, program_counts_malformed_values_and_fails_on_damage)
{
    std::string body = "#0\n";
    for (int i = 1; i <= 12; ++i)
        body += "b !\n#" + std::to_string(10 * i) + "\n";
    write_file("w.vcd", PUTIL_VCD_TOP_A + body);
    const RUN_RESULT malformed = run_putil("activity w.vcd");
    EXPECT_EQ(malformed.status, 0) << malformed.err;
    EXPECT_NE(malformed.err.find("\nputil: warning: w.vcd: 12 malformed values were read as x"), std::string::npos)
        << malformed.err;
    std::size_t listed = 0;
    for (std::size_t at = malformed.err.find("[222020]"); at != std::string::npos;
         at = malformed.err.find("[222020]", at + 1))
        ++listed;
    EXPECT_EQ(listed, 10u) << malformed.err;
    write_file("d.vcd.gz", putil_gzip({PUTIL_VCD_TOP_A + "#0\n1!\n#10\n0!\n"}).substr(0, 60));
    const RUN_RESULT damaged = run_putil("activity d.vcd.gz");
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("Compressed VCD file d.vcd.gz is truncated or damaged"), std::string::npos)
        << damaged.err;
}

}  // namespace
