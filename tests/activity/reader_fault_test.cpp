// Refused allocations: a read with the n-th allocation of the library refused, for every n until the read no longer
// allocates that often, ends in the correct result or the out-of-memory internal error, and frees everything.
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

using READER_FAULT_TEST = PUTIL_TEST;

TEST_F(READER_FAULT_TEST, every_refused_allocation_ends_in_the_result_or_out_of_memory)
{
    const std::string file = write_file("fault.vcd", FAULT_VCD);
    const BIG_TIME end(30000);
    auto reference = putil_make_signal_design(FAULT_SIGNALS);
    reference->input_files()->add_entry(file, nullptr, nullptr, &end);
    ASSERT_TRUE(read(*reference));
    const std::string expected = putil_annotation_bits(*reference);
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
        try {
            std::unique_ptr<PUTIL_VCD_READER> reader(putil_create_putil_vcd_reader(design->facade()));
            completed = reader && reader->read_vcd_files(design->store());
            EXPECT_TRUE(completed || !reader);
        } catch (const HOST_INTERNAL_ERROR& error) {
            EXPECT_TRUE(is_out_of_memory(error)) << error.what();
        }
        const bool refused = !host_memory_failure_pending();
        host_memory_fail_allocation(0);
        ASSERT_EQ(host_memory_live_blocks("PUTIL"), live_blocks) << "leaked after refusing allocation " << n;
        if (!refused) {
            // The read made fewer than n allocations: it is the undisturbed one.
            EXPECT_TRUE(completed);
            EXPECT_EQ(putil_annotation_bits(*design), expected);
            EXPECT_EQ(posted_ids(), expected_ids);
            break;
        }
        ++refusals;
        if (completed) {
            EXPECT_EQ(putil_annotation_bits(*design), expected);
        }
    }
    // Each allocation of the read was refused once: a read makes dozens.
    EXPECT_GT(refusals, 20u);
}

}  // namespace
