// Reference host memory manager: live-block accounting per segment and
// deliberate allocation failures, behind the library's mem.h wrappers.
#pragma once

#include <cstddef>
#include <string>

#include "host/mem.h"

// A named accounting bucket; the library allocates under "PUTIL", the host's
// own objects (the timing estimator) under the default segment "HOST".
class MEM_SEGMENT {
public:
    explicit MEM_SEGMENT(std::string name) : m_name(std::move(name)) {}
    const std::string& name() const { return m_name; }
    std::size_t live_blocks() const { return m_live_blocks; }
    std::size_t live_bytes() const { return m_live_bytes; }

    void add_block(std::size_t size);
    void remove_block(std::size_t size);

private:
    std::string m_name;
    std::size_t m_live_blocks = 0;
    std::size_t m_live_bytes = 0;
};

// The segment of that name, made on first use; never null, never freed.
MEM_SEGMENT* host_memory_segment(const char* segment);

// Host objects that the library deletes with delete (report tables and rows,
// the I/O utility): allocated from the manager under the default segment
// "HOST", so that a test can count them or refuse them. new gives null when
// the manager refuses.
class HOST_HEAP_OBJECT {
public:
    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* block);
};

// Blocks (and their requested bytes) allocated under segment and not yet freed.
std::size_t host_memory_live_blocks(const char* segment);
std::size_t host_memory_live_bytes(const char* segment);

// Makes the n-th allocation from now (1 = the next one) return null; the
// countdown then stops. 0 cancels a pending failure. With a segment name,
// only that segment's allocations count.
void host_memory_fail_allocation(std::size_t n, const char* segment = nullptr);

// Whether a failure asked for has not happened yet.
bool host_memory_failure_pending();

// Allocations attempted since the process started, refused ones included;
// a test that fails each allocation in turn uses it to know when to stop.
std::size_t host_memory_allocation_count();

// Frees that were ignored because the block was not live (double free, or a
// pointer this manager never returned), plus frees made with the wrong
// wrapper or segment name (those blocks are still released).
std::size_t host_memory_bad_frees();
