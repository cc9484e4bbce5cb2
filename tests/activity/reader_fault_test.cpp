// Refused allocations: a read with the n-th allocation of the library refused, for every n until the read no longer
// allocates that often, ends in the correct result or the out-of-memory internal error, and frees everything.
#include <iomanip>

#include "putil_test_support.h"

namespace {

// Scopes, a named block, a vector, an alias, a dump block and a window cover the allocating paths of a read.
const char* const FAULT_VCD =
    "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 1 ! alias $end\n"
    "$scope begin blk $end\n$var wire 1 \" s $end\n$upscope $end\n$var wire 2 # v [1:0] $end\n$upscope $end\n"
    "$enddefinitions $end\n$dumpvars\n0!\n1\"\nb01 #\n$end\n#10\n1!\nb10 #\n#20\n0\"\n#40\n";

const std::vector<std::string> FAULT_SIGNALS = {"top|a", "top|alias", "top|blk.s", "top|v[0]", "top|v[1]"};

// Flex reports a refused buffer in its own words.
bool is_out_of_memory(const HOST_INTERNAL_ERROR& error)
{
    return error.expression == "Out of memory" || error.expression.rfind("out of dynamic memory", 0) == 0;
}

// One operation of a fresh reader over the file (the design's only entry, ending at 30 ns): whether it completed, and
// its result as text.
struct FAULT_CASE {
    const char* name;
    bool (*run)(PUTIL_VCD_READER& reader, HOST_DESIGN& design, const std::string& folder, std::string& result);
};
void PrintTo(const FAULT_CASE& row, std::ostream* out) { *out << row.name; }
class READER_FAULT_TEST : public PUTIL_TEST, public ::testing::WithParamInterface<FAULT_CASE> {};

TEST_P(READER_FAULT_TEST, every_refused_allocation_ends_in_the_result_or_out_of_memory)
{
    const std::string file = write_file("fault.vcd", FAULT_VCD);
    const BIG_TIME end(30000);
    std::string expected;
    auto reference = putil_make_signal_design(FAULT_SIGNALS);
    reference->input_files()->add_entry(file, nullptr, nullptr, &end);
    std::unique_ptr<PUTIL_VCD_READER> reference_reader(putil_create_putil_vcd_reader(reference->facade()));
    ASSERT_TRUE(GetParam().run(*reference_reader, *reference, m_folder, expected));
    const std::vector<unsigned> expected_ids = posted_ids();

    std::size_t refusals = 0;
    for (std::size_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        auto design = putil_make_signal_design(FAULT_SIGNALS);
        design->input_files()->add_entry(file, nullptr, nullptr, &end);
        host_clear_posted_messages();
        const std::size_t live_blocks = host_memory_live_blocks("PUTIL");
        host_memory_fail_allocation(n, "PUTIL");
        bool completed = false;
        std::string result;
        try {
            std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design->facade()));
            completed = reader && GetParam().run(*reader, *design, m_folder, result);
            EXPECT_TRUE(completed || !reader);
        } catch (const HOST_INTERNAL_ERROR& error) {
            EXPECT_TRUE(is_out_of_memory(error)) << error.what();
        }
        const bool refused = !host_memory_failure_pending();
        host_memory_fail_allocation(0);
        ASSERT_EQ(host_memory_live_blocks("PUTIL"), live_blocks) << "leaked after refusing allocation " << n;
        if (!refused) {
            // The operation made fewer than n allocations: it is the undisturbed one.
            EXPECT_TRUE(completed);
            EXPECT_EQ(result, expected);
            EXPECT_EQ(posted_ids(), expected_ids);
            break;
        }
        ++refusals;
        if (completed) {
            EXPECT_EQ(result, expected);
        }
    }
    // Each allocation of the operation was refused once: an operation makes dozens.
    EXPECT_GT(refusals, 20u);
}

const FAULT_CASE FAULT_CASES[] = {
    {"activity",
     [](PUTIL_VCD_READER& reader, HOST_DESIGN& design, const std::string&, std::string& result) {
         const bool read = reader.read_vcd_files(design.store());
         result = putil_annotation_bits(design);
         return read;
     }},
    {"tbl_file",
     [](PUTIL_VCD_READER& reader, HOST_DESIGN& design, const std::string& folder, std::string& result) {
         const BIG_TIME start(5000), end(30000);
         const std::string& vcd = design.input_files()->entries().front()->get_file_name();
         const bool converted = reader.convert_vcd_to_tbl_file(vcd, folder + "/fault.tbl", &start, &end);
         result = putil_read_text(folder + "/fault.tbl");
         return converted;
     }},
    {"transient_current",
     [](PUTIL_VCD_READER& reader, HOST_DESIGN& design, const std::string&, std::string& result) {
         unsigned a = 0, v1 = 0;
         design.store()->get_unique_id_for_output_signal(putil_find_oterm(design, "top|a"), &a);
         design.store()->get_unique_id_for_output_signal(putil_find_oterm(design, "top|v[1]"), &v1);
         const PUTIL_TOGGLE_ENERGY_MAP energies = {{a, {{0, 1e-12}}}, {v1, {{10, 2e-12}, {1, 5.0}}}};
         const double voltage = 1.0;
         std::vector<double> times, currents;
         const bool generated =
             reader.generate_transient_current(design.store(), energies, &voltage, nullptr, &times, &currents, false);
         std::ostringstream points;
         for (std::size_t i = 0; i < times.size(); ++i)
             points << std::setprecision(17) << times[i] << " " << currents[i] << "\n";
         result = points.str();
         return generated;
     }},
};

INSTANTIATE_TEST_SUITE_P(OPERATIONS, READER_FAULT_TEST, ::testing::ValuesIn(FAULT_CASES), row_name);

}  // namespace
