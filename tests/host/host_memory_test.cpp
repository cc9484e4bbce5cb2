// Memory manager of the reference host: accounting per segment, refused
// allocations, and frees that must not corrupt the accounting.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "host_test_fixture.h"

namespace {

using HOST_MEMORY_TEST = HOST_TEST;

TEST_F(HOST_MEMORY_TEST, counts_live_blocks_and_bytes_per_segment)
{
    std::size_t blocks = host_memory_live_blocks("TEST_A");
    void* first = mem_malloc_wrapper(10, "TEST_A", "f", 1);
    void* second = mem_new_wrapper(32, "TEST_A", "f", 2);
    void* other = mem_malloc_wrapper(7, "TEST_B", "f", 3);
    EXPECT_EQ(host_memory_live_blocks("TEST_A"), blocks + 2);
    EXPECT_EQ(host_memory_live_bytes("TEST_A"), 42u);
    EXPECT_EQ(host_memory_live_bytes("TEST_B"), 7u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % alignof(std::max_align_t), 0u);
    mem_free_wrapper(first, "TEST_A");
    EXPECT_EQ(host_memory_live_bytes("TEST_A"), 32u);
    mem_delete_wrapper(second, "TEST_A");
    mem_free_wrapper(other, "TEST_B");
    EXPECT_EQ(host_memory_live_blocks("TEST_A"), 0u);
    EXPECT_EQ(host_memory_live_bytes("TEST_B"), 0u);
    EXPECT_EQ(MEM_MANAGER::get_default_segment(), host_memory_segment("HOST"));
    EXPECT_EQ(host_memory_segment("HOST")->name(), "HOST");
}

// Every attempt counts, the refused one included.
TEST_F(HOST_MEMORY_TEST, fails_exactly_the_nth_allocation_from_now)
{
    const std::size_t attempts = host_memory_allocation_count();
    host_memory_fail_allocation(3);
    void* const blocks[] = {mem_malloc_wrapper(8, "TEST_FAIL", "f", 1), mem_new_wrapper(8, "TEST_FAIL", "f", 2),
                            mem_malloc_wrapper(8, "TEST_FAIL", "f", 3), mem_malloc_wrapper(8, "TEST_FAIL", "f", 4)};
    EXPECT_TRUE(blocks[0] != nullptr && blocks[1] != nullptr && blocks[3] != nullptr);
    EXPECT_EQ(blocks[2], nullptr);
    EXPECT_EQ(host_memory_live_blocks("TEST_FAIL"), 3u);
    EXPECT_EQ(host_memory_allocation_count(), attempts + 4);
    mem_free_wrapper(blocks[0], "TEST_FAIL");
    mem_delete_wrapper(blocks[1], "TEST_FAIL");
    mem_free_wrapper(blocks[3], "TEST_FAIL");
    // Zero cancels a pending failure.
    host_memory_fail_allocation(1);
    host_memory_fail_allocation(0);
    void* block = mem_new_wrapper(8, "TEST_FAIL", "f", 5);
    EXPECT_NE(block, nullptr);
    mem_delete_wrapper(block, "TEST_FAIL");
}

// A null free is nothing; a free of another segment releases against the owning one and counts as bad, as does a
// pointer that is no block.
TEST_F(HOST_MEMORY_TEST, ignores_and_counts_bad_frees)
{
    const std::size_t bad = host_memory_bad_frees();
    mem_free_wrapper(nullptr, "TEST_BAD");
    mem_delete_wrapper(nullptr, "TEST_BAD");
    int on_stack = 0;
    mem_free_wrapper(&on_stack, "TEST_BAD");
    mem_free_wrapper(mem_new_wrapper(24, "TEST_OWNER", "f", 1), "TEST_BAD");
    EXPECT_EQ(host_memory_bad_frees(), bad + 2);
    EXPECT_EQ(host_memory_live_bytes("TEST_OWNER"), 0u);
}

// Live blocks are recorded by address in regions of the address space: large blocks each in a region of their own,
// small ones sharing regions, freed in any order, each once. A pointer into a live block or off its alignment is no
// block: the free is bad and the block stays live.
TEST_F(HOST_MEMORY_TEST, records_blocks_across_regions_by_their_exact_address)
{
    const std::size_t bad = host_memory_bad_frees();
    std::vector<void*> blocks;
    for (int i = 0; i < 600; ++i)
        blocks.push_back(mem_malloc_wrapper(i % 3 == 0 ? 300000 : 24, "TEST_REGIONS", "f", 1));
    void* kept = blocks.back();
    mem_free_wrapper(static_cast<char*>(kept) + 16, "TEST_REGIONS");
    mem_free_wrapper(static_cast<char*>(kept) + 1, "TEST_REGIONS");
    EXPECT_EQ(host_memory_bad_frees(), bad + 2);
    EXPECT_EQ(host_memory_live_blocks("TEST_REGIONS"), blocks.size());
    std::shuffle(blocks.begin(), blocks.end(), std::mt19937(777));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        mem_free_wrapper(blocks[i], "TEST_REGIONS");
        ASSERT_EQ(host_memory_live_blocks("TEST_REGIONS"), blocks.size() - i - 1);
    }
    for (void* block : blocks)
        mem_free_wrapper(block, "TEST_REGIONS");
    EXPECT_EQ(host_memory_bad_frees(), bad + 2 + blocks.size());
    // Regions emptied and made again record new blocks.
    void* again = mem_malloc_wrapper(300000, "TEST_REGIONS", "f", 2);
    mem_free_wrapper(again, "TEST_REGIONS");
    EXPECT_EQ(host_memory_live_bytes("TEST_REGIONS"), 0u);
    EXPECT_EQ(host_memory_bad_frees(), bad + 2 + blocks.size());
}

}  // namespace
