// Supply current waveforms from small waveforms whose toggles, bins and steps are worked out by hand in each row.
#include "putil_test_support.h"

namespace {

typedef std::vector<std::pair<double, double>> POINTS;   // (seconds, amperes)

// The nanoseconds of a 10 ps file unit as the reader's single-precision time-unit factor holds them.
const double F_10PS = 0.001f * 10.0f;

void expect_points(const POINTS& points, const POINTS& expected)
{
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_DOUBLE_EQ(points[i].first, expected[i].first) << "point " << i;
        EXPECT_DOUBLE_EQ(points[i].second, expected[i].second) << "point " << i;
    }
}

class TRANSIENT_TEST : public PUTIL_TEST {
protected:
    // The dump goes to the working directory: the scratch folder during the test.
    void SetUp() override
    {
        PUTIL_TEST::SetUp();
        m_directory = std::filesystem::current_path();
        std::filesystem::current_path(m_folder);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_directory);
        PUTIL_TEST::TearDown();
    }

    // Runs the generator over the design's entries with the energies of a CSV text; answers the points.
    static POINTS generate(HOST_DESIGN& design, const std::string& energies_csv, double voltage, bool* result = nullptr)
    {
        PUTIL_TOGGLE_ENERGY_MAP energies;
        std::string error;
        EXPECT_TRUE(host_load_toggle_energies_text(design, energies_csv, "e.csv", energies, error)) << error;
        std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design.facade()));
        std::vector<double> times, currents;
        const bool generated =
            reader->generate_transient_current(design.store(), energies, &voltage, nullptr, &times, &currents, true);
        if (result != nullptr)
            *result = generated;
        EXPECT_EQ(times.size(), currents.size());
        POINTS points;
        for (std::size_t i = 0; i < times.size() && i < currents.size(); ++i)
            points.emplace_back(times[i], currents[i]);
        return points;
    }

    std::filesystem::path m_directory;
};

struct TRANSIENT_CASE {
    const char* name;
    std::string vcd;
    const char* energies;   // CSV
    double voltage;
    std::optional<std::int64_t> start_ps, end_ps;
    POINTS points;
    double total_energy;
};
void PrintTo(const TRANSIENT_CASE& row, std::ostream* out) { *out << row.name; }
class TRANSIENT_CURRENT_TEST : public TRANSIENT_TEST, public ::testing::WithParamInterface<TRANSIENT_CASE> {};

// The same points whether changes are applied as read, held back in batches, or (a setting the generator ignores)
// on a second thread.
TEST_P(TRANSIENT_CURRENT_TEST, steps_the_current_at_each_change_of_bin_energy)
{
    const TRANSIENT_CASE& row = GetParam();
    auto design = putil_make_signal_design({"top|a", "top|b", "top|c", "top|v[0]", "top|v[1]"});
    const BIG_TIME start(row.start_ps.value_or(0)), end(row.end_ps.value_or(0));
    design->input_files()->add_entry(write_file("w.vcd", row.vcd), nullptr, row.start_ps ? &start : nullptr,
                                     row.end_ps ? &end : nullptr);
    const std::pair<const char*, const char*> modes[] = {{"on", "off"}, {"off", "off"}, {"on", "on"}};
    for (const auto& [fast_body, apply_thread] : modes) {
        SCOPED_TRACE(std::string("fast body ") + fast_body + ", apply thread " + apply_thread);
        host_set_setting("putil_vcd_fast_body", fast_body);
        host_set_setting("putil_vcd_apply_thread", apply_thread);
        expect_points(generate(*design, row.energies, row.voltage), row.points);
        const std::string dump = putil_read_text(m_folder + "/transient_current_waveform.dump");
        const std::size_t total = dump.rfind(": ");
        ASSERT_NE(total, std::string::npos) << dump;
        EXPECT_DOUBLE_EQ(std::stod(dump.substr(total + 2)), row.total_energy);
    }
    EXPECT_TRUE(host_posted_messages().empty());
}

std::string top(const char* timescale, const char* body)
{
    return std::string("$timescale ") + timescale +
           " $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 1 \" b $end\n$var wire 1 % c $end\n"
           "$var wire 2 # v [1:0] $end\n$upscope $end\n$enddefinitions $end\n" + body;
}

// a is 0 and toggles at 0; b, without energy, toggles at 1000.
const char* const ONE_TOGGLE = "#0\n0!\n0\"\n1!\n#1000\n1\"\n";

const TRANSIENT_CASE TRANSIENT_CASES[] = {
    // 1e-12 over 500 bins is 2e-15 per 1 ns: 2e-6 A. The bins are written when b's toggle lies 500 units past them;
    // after the quiet stretch the current returns to zero.
    {"one_toggle_then_quiet", top("1ns", ONE_TOGGLE), "top|a,0,1e-12\n", 1.0, {}, {},
     {{0, 0}, {0, 0}, {1e-10, 2e-6}, {5e-7, 2e-6}, {5.001e-7, 0}}, 1e-12},
    // The hold steps at the window's bounds raise no toggles, and toggles outside the window still count.
    {"window_changes_nothing", top("1ns", ONE_TOGGLE), "top|a,0,1e-12\n", 1.0, 200000, 700000,
     {{0, 0}, {0, 0}, {1e-10, 2e-6}, {5e-7, 2e-6}, {5.001e-7, 0}}, 1e-12},
    {"timescale_and_voltage", top("10ps", ONE_TOGGLE), "top|a,0,1e-12\n", 2.0, {}, {},
     {{0, 0}, {0, 0}, {0.1 * F_10PS * 1e-9, 2e-15 / (F_10PS * 2e-9)}, {500 * F_10PS * 1e-9, 2e-15 / (F_10PS * 2e-9)},
      {500.1 * F_10PS * 1e-9, 0}}, 1e-12},
    // At 10 a toggles twice (counted once) and b once: 2e-15 + 4e-15 per bin (b's types 0 and 10; type 3 is not
    // counted). At 12 a adds 2e-15 to every bin; the two bins left behind come back empty as 510 and 511, so the
    // current falls at 510.
    {"same_time_toggles", top("1ns", "#0\n0!\n0\"\n0%\n#10\n1!\n0!\n1\"\n#12\n1!\n#2000\n1%\n"),
     "top|a,0,1e-12\ntop|b,0,1.5e-12\ntop|b,10,0.5e-12\ntop|b,3,100\n", 1.0, {}, {},
     {{0, 0}, {10e-9, 0}, {10.1e-9, 6e-6}, {12e-9, 6e-6}, {12.1e-9, 8e-6}, {510e-9, 8e-6}, {510.1e-9, 2e-6},
      {512e-9, 2e-6}, {512.1e-9, 0}}, 4e-12},
    // 0 to 0 at 5 is a toggle, to x at 7 is none; the x interval keeps the 0, so 1 at 600 toggles from it.
    {"repeated_and_unknown_values", top("1ns", "#0\n0!\n#5\n0!\n#7\nx!\n#600\n1!\n#1200\n0!\n"), "top|a,0,1e-12\n", 1.0,
     {}, {},
     {{0, 0}, {5e-9, 0}, {5.1e-9, 2e-6}, {505e-9, 2e-6}, {505.1e-9, 0}, {600e-9, 0}, {600.1e-9, 2e-6},
      {1100e-9, 2e-6}, {1100.1e-9, 0}}, 3e-12},
    // b exactly 500 units after a restarts the bins at 500 with its own energy; c 501 units after that is too soon
    // for a return to zero.
    {"toggle_500_units_later", top("1ns", "#0\n0!\n0\"\n0%\n1!\n#500\n1\"\n#1001\n1%\n"),
     "top|a,0,1e-12\ntop|b,0,2e-12\n", 1.0, {}, {}, {{0, 0}, {0, 0}, {1e-10, 2e-6}, {500e-9, 2e-6}, {500.1e-9, 4e-6}},
     3e-12},
    // Both bits toggle at 3; at 700 v[1] stays 1, which is a toggle too.
    {"vector_bits", top("1ns", "#0\nb00 #\n#3\nb11 #\n#700\nb10 #\n"), "top|v[0],0,1e-12\ntop|v[1],0,3e-12\n", 1.0,
     {}, {}, {{0, 0}, {3e-9, 0}, {3.1e-9, 8e-6}, {503e-9, 8e-6}, {503.1e-9, 0}}, 8e-12},
};

INSTANTIATE_TEST_SUITE_P(FILES, TRANSIENT_CURRENT_TEST, ::testing::ValuesIn(TRANSIENT_CASES), row_name);

// From 2^54 units on, adding one unit to a time changes nothing: the bins still move on and the run ends with every
// toggle counted.
TEST_F(TRANSIENT_TEST, ends_at_times_beyond_exact_units)
{
    auto design = putil_make_signal_design({"top|a", "top|b", "top|c", "top|v[0]", "top|v[1]"});
    design->input_files()->add_entry(
        write_file("w.vcd", top("1ns", "#18014398509481984\n0!\n1!\n#18014398509481988\n0!\n#18014398509481992\n")),
        nullptr, nullptr, nullptr);
    const POINTS points = generate(*design, "top|a,0,1e-12\n", 1.0);
    ASSERT_FALSE(points.empty());
    EXPECT_NEAR(points.back().first, 18014398509481984e-9, 1e-6);
    const std::string dump = putil_read_text(m_folder + "/transient_current_waveform.dump");
    EXPECT_DOUBLE_EQ(std::stod(dump.substr(dump.rfind(": ") + 2)), 2e-12);
}

// Times and currents with 20 significant digits, each step ending its line with the continuation mark; the total
// energy at the stream's precision, the default 6 digits when no step was written.
TEST_F(TRANSIENT_TEST, dump_text)
{
    const std::pair<std::string, std::string> cases[] = {
        {ONE_TOGGLE,
         " 0 0 1.0000000000000001657e-10 1.9999999999999999095e-06 \n+ 5.0000000000000008325e-07 "
         "1.9999999999999999095e-06 5.0010000000000009077e-07 0 \n+)\n\n\n\nTotal chip energy is: "
         "9.9999999999999997989e-13\n"},
        {"#0\n0!\n1!\n", ")\n\n\n\nTotal chip energy is: 1e-12\n"}};
    for (const auto& [body, text] : cases) {
        auto design = putil_make_signal_design({"top|a", "top|b"});
        design->input_files()->add_entry(write_file("w.vcd", top("1ns", body.c_str())), nullptr, nullptr, nullptr);
        generate(*design, "top|a,0,1e-12\n", 1.0);
        EXPECT_EQ(putil_read_text(m_folder + "/transient_current_waveform.dump"), "idietran die d_gnd PWL(0 0" + text);
    }
}

// A file that does not parse ends the run without start or finish messages; the next file is not read. The bins
// carry on from one file to the next.
TEST_F(TRANSIENT_TEST, files_in_order_until_one_fails)
{
    auto design = putil_make_signal_design({"top|a", "top|b"});
    design->input_files()->add_entry(write_file("1.vcd", top("1ns", "#0\n0!\n0\"\n1!\n")), nullptr, nullptr, nullptr);
    design->input_files()->add_entry(write_file("2.vcd", top("1ns", "#0\n0!\n#1000\n1!\n#900\n0!\n")), nullptr, nullptr,
                                     nullptr);
    design->input_files()->add_entry(write_file("3.vcd", top("1ns", "#0\n0!\n#3000\n1!\n")), nullptr, nullptr, nullptr);
    for (const bool continue_on_failure : {false, true}) {
        host_clear_posted_messages();
        host_set_continue_and_warn_on_failure(continue_on_failure);
        bool result = !continue_on_failure;
        // File 1 fills the bins at 0; file 2 writes them at its toggle at 1000, then goes back in time.
        expect_points(generate(*design, "top|a,0,1e-12\n", 1.0, &result),
                      {{0, 0}, {0, 0}, {1e-10, 2e-6}, {5e-7, 2e-6}, {5.001e-7, 0}});
        EXPECT_EQ(result, continue_on_failure);
        EXPECT_EQ(posted_ids(), (std::vector<unsigned>{222012, 222011}));
    }
}

}  // namespace
