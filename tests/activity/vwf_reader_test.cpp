// Tests of signal activity from vector waveform tables: the measurement per signal, bidirectional pads, trusted
// records, the reader's VWF branch, refused allocations and the program's --vwf.
#include "putil_test_support.h"

namespace {

const std::string TABLE_HEADER = "%\nLegal text\n%\n\nINPUTS;\n";

class VWF_TEST : public PUTIL_TEST {
protected:
    void SetUp() override
    {
        PUTIL_TEST::SetUp();
        host_set_setting("putil_read_vwf_file", "on");
    }

    // A table of outputs only, rows "time> = values" in picoseconds.
    std::string write_table(const std::string& outputs, const std::string& rows) const
    {
        return write_file("t.tbl", TABLE_HEADER + "OUTPUTS " + outputs + ";\nUNIT ps;\nPATTERN\n" + rows + ";\n");
    }
};

struct SIGNAL_CASE {
    const char* name;
    std::string rows;                   // of the one signal top|a, in picoseconds
    int glitch_delay_ps;                // < 0: no glitch filtering
    std::optional<double> static_probability, toggle_rate;
    float unknown_percentage;
};
void PrintTo(const SIGNAL_CASE& row, std::ostream* out) { *out << row.name; }
class VWF_SIGNAL_TEST : public VWF_TEST, public ::testing::WithParamInterface<SIGNAL_CASE> {};

TEST_P(VWF_SIGNAL_TEST, measures_time_and_transitions)
{
    const SIGNAL_CASE& row = GetParam();
    auto design = putil_make_signal_design({"top|a", "top|absent"}, row.glitch_delay_ps);
    host_set_current_design(design.get());
    design->input_files()->set_use_timing_estimator(row.glitch_delay_ps >= 0);
    EXPECT_TRUE(read(*design, {write_table("top|a", row.rows)}));
    EXPECT_EQ(posted_ids(), std::vector<unsigned>{});
    putil_expect_signals(*design, {{"top|a", row.static_probability, row.toggle_rate}, {"top|absent", {}, {}}});
    EXPECT_FLOAT_EQ(design->store()->unknown_percentage().value_or(-1), row.unknown_percentage);
    const float toggling = !row.toggle_rate ? -1 : *row.toggle_rate != 0 ? 100 : 0;
    EXPECT_FLOAT_EQ(design->store()->toggle_percentage().value_or(-1), toggling);
}

const SIGNAL_CASE SIGNAL_CASES[] = {
    // The change at 10000 ps is counted when the interval it starts ends; the one at 40000 ps starts none.
    {"rise_then_fall", "0> = 0\n10000> = 1\n40000> = 0\n", -1, 0.75, 2.5e7, 0},
    // 1, Z, 0 and a last change: two half transitions; Z counts half its time high.
    {"half_transitions_through_z", "0> = 1\n10000> = Z\n20000> = 0\n30000> = 1\n", -1, 0.5, 1e12 / 30000, 0},
    // Nothing is known before the first row.
    {"first_interval_unknown", "10000> = 0\n20000> = 1\n40000> = 0\n", -1, 2.0 / 3, 1e12 / 30000, 25},
    // An unknown interval keeps the level before it: 0 -> X -> 1 is one transition.
    {"unknown_between_levels", "0> = 0\n10000> = X\n20000> = 1\n30000> = 0\n", -1, 0.5, 1e12 / 20000, 100.0f / 3},
    // Weak levels count as driven ones; U is known but neither level.
    {"weak_levels_and_u", "0> = L\n10000> = H\n20000> = U\n30000> = 0\n", -1, 1.0 / 3, 1e12 / 30000, 0},
    // A 100 ps pulse is narrower than the 200 ps fanout delay: no transition, no high time.
    {"glitch_filtered", "0> = 0\n1000> = 1\n1100> = 0\n3000> = 1\n", 200, 0, 0, 0},
    {"glitch_kept_without_filtering", "0> = 0\n1000> = 1\n1100> = 0\n3000> = 1\n", -1, 100.0 / 3000, 2e12 / 3000, 0},
    // A single row gives no known time: nothing is written and the summaries stay unset.
    {"one_row_only", "0> = 1\n", -1, std::nullopt, std::nullopt, -1},
};
INSTANTIATE_TEST_SUITE_P(SIGNALS, VWF_SIGNAL_TEST, ::testing::ValuesIn(SIGNAL_CASES), row_name);

// A bidirectional pad whose output enable (port 21) is driven by top|oe: data changes at 10, 20, 40, 50 and 70 ns,
// oe low from 30 to 60 ns. The changes are counted where their intervals end, each under the output enable in force
// just before: those at 10 and 50 ns while enabled.
// The pad's own channel falls at 40 ns.
const std::string PAD_ROWS = "0> = 1 0 1\n10> = 1 1 1\n20> = 1 0 1\n30> = 0 0 1\n40> = 0 1 0\n50> = 0 0 0\n60> = 1 0 0\n"
                             "70> = 1 1 0\n";

struct PAD_CASE { const char* name; const char* outputs; std::optional<double> pad_sp, pad_rate, bidir_rate; };
void PrintTo(const PAD_CASE& row, std::ostream* out) { *out << row.name; }
class VWF_PAD_TEST : public VWF_TEST, public ::testing::WithParamInterface<PAD_CASE> {};

TEST_P(VWF_PAD_TEST, output_enable_selects_the_counted_toggles)
{
    auto design = std::make_unique<HOST_DESIGN>();
    HOST_OTERM* oe = design->add_output(design->add_atom("oe", HOST_ATOM_KIND::LCELL_COMB), "top|oe", 0, false);
    HOST_ATOM* pad = design->add_atom("pad", HOST_ATOM_KIND::BIDIR_PAD);
    HOST_OTERM* pad_output = design->add_output(pad, "top|pad", CDB_PORT_TYPE_PAD_OUTPUT, false);
    design->add_input(pad, CDB_PORT_TYPE_OUTPUT_ENABLE, oe, true);
    const std::string file = write_file("t.tbl", TABLE_HEADER + "OUTPUTS " + GetParam().outputs +
                                                     ";\nUNIT ns;\nPATTERN\n" + PAD_ROWS + ";\n");
    EXPECT_TRUE(read(*design, {file}));
    putil_expect_signals(*design, {{"top|pad", GetParam().pad_sp, GetParam().pad_rate}});

    unsigned id = 0;
    ASSERT_TRUE(design->store()->get_unique_id_for_output_signal(pad_output, &id));
    PUTIL_OUTPUT_SIGNAL_DATA* bidir = design->store()->get_bidir_padio_output_signal_data(id, false);
    const bool annotated = bidir != nullptr && bidir->get_flag_value(PUTIL_TOGGLE_RATE_ANNOTATED);
    ASSERT_EQ(annotated, GetParam().bidir_rate.has_value());
    if (annotated) {
        EXPECT_FLOAT_EQ(bidir->get_static_probability(), static_cast<float>(*GetParam().pad_sp));
        EXPECT_FLOAT_EQ(bidir->get_toggle_rate(), static_cast<float>(*GetParam().bidir_rate));
    }
}

const PAD_CASE PAD_CASES[] = {
    // The data comes from the result channel, never from the pad's own name.
    {"result_channel", "top|oe top|pad~result top|pad", 20.0 / 70, 4 / 70e-9, 2 / 70e-9},
    // Without an output-enable channel the pad is read like any signal, from its own name.
    // Its fall at 40 ns is counted at 70 ns, where the table ends.
    {"no_output_enable_channel", "top|nope top|pad~result top|pad", 40.0 / 70, 1 / 70e-9, std::nullopt},
    // With one but without a result channel the pad is not measured.
    {"no_result_channel", "top|oe top|nope top|pad", std::nullopt, std::nullopt, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(PADS, VWF_PAD_TEST, ::testing::ValuesIn(PAD_CASES), row_name);

// Values the user gave are kept and leave the summaries: only top|b, which toggles, counts; top|a would add a
// signal that does not toggle and unknown time.
TEST_F(VWF_TEST, trusted_records_contribute_nothing)
{
    auto design = putil_make_signal_design({"top|a", "top|b"});
    PUTIL_OUTPUT_SIGNAL_DATA* a = design->store()->get_output_signal_data(putil_find_oterm(*design, "top|a"));
    a->set_flag_value(PUTIL_STATIC_PROBABILITY_NOT_TO_ANNOTATE, true);
    a->set_flag_value(PUTIL_TOGGLE_RATE_NOT_TO_ANNOTATE, true);
    a->set_static_probability(0.125f);
    EXPECT_TRUE(read(*design, {write_table("top|a top|b", "10000> = 1 0\n25000> = 0 1\n40000> = 0 0\n")}));
    putil_expect_signals(*design, {{"top|b", 0.5, 1e12 / 30000}});
    EXPECT_FLOAT_EQ(a->get_static_probability(), 0.125f);
    EXPECT_FALSE(a->get_flag_value(PUTIL_STATIC_PROBABILITY_ANNOTATED));
    EXPECT_EQ(design->store()->toggle_percentage(), 100.0f);
    EXPECT_EQ(design->store()->unknown_percentage(), 25.0f);
}

// Only the first entry is read, as a table, with no VCD message; a table the database cannot read writes nothing
// and posts nothing, and the result follows the continue-and-warn policy.
TEST_F(VWF_TEST, reads_the_first_entry_only)
{
    const std::string table = write_table("top|a", "0> = 0\n10000> = 1\n40000> = 0\n");
    const std::string vcd = write_file("a.vcd", PUTIL_VCD_TOP_A + "#0\n1!\n#10\n");
    const struct { const char* name; std::vector<std::string> files; bool warn, result; std::optional<double> sp; }
        cases[] = {{"table_then_vcd", {table, vcd}, false, true, 0.75},
                   {"table_then_missing", {table, m_folder + "/none.vcd"}, false, true, 0.75},
                   {"missing_table", {m_folder + "/none.tbl", table}, false, false, std::nullopt},
                   {"malformed_table", {vcd, table}, false, false, std::nullopt},
                   {"malformed_table_warn", {vcd, table}, true, true, std::nullopt}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        host_clear_posted_messages();
        host_set_continue_and_warn_on_failure(row.warn);
        auto design = putil_make_signal_design({"top|a"});
        int status = -1;
        EXPECT_EQ(read(*design, row.files, &status), row.result);
        EXPECT_EQ(status, PUTIL_VCD_READER_STATUS_OK);
        EXPECT_EQ(posted_ids(), std::vector<unsigned>{});
        putil_expect_signals(*design, {{"top|a", row.sp, row.sp ? std::optional<double>(2.5e7) : std::nullopt}});
    }
}

// The collector is the first allocation of the read and the database the second.
TEST_F(VWF_TEST, refused_allocations_are_internal_errors)
{
    const std::string table = write_table("top|a", "0> = 0\n10000> = 1\n");
    for (const auto& [n, source] :
         {std::pair<int, std::string>{1, "putil_vcd_reader_main.cpp"}, {2, "putil_vwf_reader_stats_collector.cpp"}}) {
        auto design = putil_make_signal_design({"top|a"});
        design->input_files()->add_entry(table, nullptr, nullptr, nullptr);
        std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design->facade()));
        host_memory_fail_allocation(n, "PUTIL");
        putil_expect_internal_error(source, [&] { reader->read_vcd_files(design->store()); });
        host_memory_fail_allocation(0);
    }
}

}  // namespace
