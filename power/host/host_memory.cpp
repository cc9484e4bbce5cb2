// Reference host memory manager: each block carries a small header with its
// size, segment and wrapper kind; a set of live blocks lets a double free or
// a foreign pointer be ignored without reading memory that is not ours.
#include "host_memory.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// Which wrapper made a block, so that a mismatched free is noticed.
constexpr std::uint32_t BLOCK_FROM_MALLOC = 1;
constexpr std::uint32_t BLOCK_FROM_NEW = 2;

// Sits right before the caller's block; its alignment keeps the block
// aligned for any type.
struct alignas(std::max_align_t) BLOCK_HEADER {
    std::size_t size;
    std::uint32_t segment_index;
    std::uint32_t mark;
};

// Segments live for the whole process: blocks refer to them by index.
class SEGMENT_TABLE {
public:
    std::uint32_t index_of(const char* name)
    {
        if (name == nullptr)
            name = "";
        // The library passes the same literal every time: try the last hit first.
        if (m_last < m_segments.size() && m_segments[m_last]->name() == name)
            return m_last;
        for (std::uint32_t i = 0; i < m_segments.size(); ++i) {
            if (m_segments[i]->name() == name) {
                m_last = i;
                return i;
            }
        }
        m_segments.push_back(std::make_unique<MEM_SEGMENT>(name));
        m_last = static_cast<std::uint32_t>(m_segments.size() - 1);
        return m_last;
    }
    MEM_SEGMENT* at(std::uint32_t index) { return m_segments[index].get(); }

private:
    std::vector<std::unique_ptr<MEM_SEGMENT>> m_segments;
    std::uint32_t m_last = 0;
};

// The tables are never destroyed: objects freed by static destructors at
// exit still find them.
SEGMENT_TABLE& segments()
{
    static SEGMENT_TABLE* s_segments = new SEGMENT_TABLE;
    return *s_segments;
}

// The addresses of live blocks, one bit per 16-byte granule (blocks start
// on one), kept per 1 MiB region of the address space: blocks made one after
// another share a few cache lines of bits, and the bits cost 1/128 of the
// memory they describe, where a hash set of addresses cost more than the
// small blocks themselves.
class LIVE_BLOCK_SET {
public:
    void insert(const void* block)
    {
        const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(block);
        REGION& region = region_of(address >> s_region_shift);
        const std::size_t granule = (address & s_region_mask) / s_granule;
        region.bits[granule / 64] |= std::uint64_t(1) << (granule % 64);
        ++region.live;
    }

    // False when block is not in the set.
    bool erase(const void* block)
    {
        const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(block);
        if (address % s_granule != 0)
            return false;
        REGION* region = find_region(address >> s_region_shift);
        if (region == nullptr)
            return false;
        const std::size_t granule = (address & s_region_mask) / s_granule;
        const std::uint64_t bit = std::uint64_t(1) << (granule % 64);
        if ((region->bits[granule / 64] & bit) == 0)
            return false;
        region->bits[granule / 64] &= ~bit;
        --region->live;
        return true;
    }

private:
    static constexpr unsigned s_region_shift = 20;
    static constexpr std::uintptr_t s_region_mask = (std::uintptr_t(1) << s_region_shift) - 1;
    static constexpr std::size_t s_granule = alignof(std::max_align_t);
    static constexpr std::size_t s_region_words = (std::size_t(1) << s_region_shift) / s_granule / 64;

    struct REGION {
        std::uint64_t bits[s_region_words] = {};
        std::size_t live = 0;
    };

    REGION* find_region(std::uintptr_t number)
    {
        if (m_last != nullptr && number == m_last_number)
            return m_last;
        auto found = m_regions.find(number);
        if (found == m_regions.end())
            return nullptr;
        remember(number, found->second.get());
        return m_last;
    }

    REGION& region_of(std::uintptr_t number)
    {
        if (REGION* region = find_region(number))
            return *region;
        std::unique_ptr<REGION>& made = m_regions[number];
        made = std::make_unique<REGION>();
        remember(number, made.get());
        return *m_last;
    }

    // The region used last is kept even when it empties, so that a block
    // made and freed over and over costs no region each time; another
    // region that has emptied is released when it stops being the last.
    void remember(std::uintptr_t number, REGION* region)
    {
        if (m_last != nullptr && m_last->live == 0)
            m_regions.erase(m_last_number);
        m_last_number = number;
        m_last = region;
    }

    std::unordered_map<std::uintptr_t, std::unique_ptr<REGION>> m_regions;
    std::uintptr_t m_last_number = 0;
    REGION* m_last = nullptr;
};

LIVE_BLOCK_SET& live_blocks()
{
    static LIVE_BLOCK_SET* s_live_blocks = new LIVE_BLOCK_SET;
    return *s_live_blocks;
}

// Reads of several designs may run on threads of their own: every
// allocation, free and count goes through this lock. Like the tables, it
// outlives every static object that frees blocks at exit.
std::mutex& memory_lock()
{
    static std::mutex* s_lock = new std::mutex;
    return *s_lock;
}

std::size_t s_fail_countdown = 0;
std::string s_fail_segment;   // empty: allocations of every segment count down
std::size_t s_allocation_count = 0;
std::size_t s_bad_frees = 0;

bool refuse_this_allocation(const char* segment)
{
    ++s_allocation_count;
    if (s_fail_countdown == 0)
        return false;
    if (!s_fail_segment.empty() && s_fail_segment != (segment == nullptr ? "" : segment))
        return false;
    return --s_fail_countdown == 0;
}

void* allocate_block(std::size_t size, const char* segment, std::uint32_t mark)
{
    const std::lock_guard<std::mutex> lock(memory_lock());
    if (refuse_this_allocation(segment))
        return nullptr;
    if (size > SIZE_MAX - sizeof(BLOCK_HEADER))
        return nullptr;
    void* raw = std::malloc(sizeof(BLOCK_HEADER) + size);
    if (raw == nullptr)
        return nullptr;
    BLOCK_HEADER* header = static_cast<BLOCK_HEADER*>(raw);
    header->size = size;
    header->segment_index = segments().index_of(segment);
    header->mark = mark;
    segments().at(header->segment_index)->add_block(size);
    live_blocks().insert(header + 1);
    return header + 1;
}

void free_block(void* block, const char* segment, std::uint32_t expected_mark)
{
    if (block == nullptr)
        return;
    const std::lock_guard<std::mutex> lock(memory_lock());
    if (!live_blocks().erase(block)) {
        ++s_bad_frees;
        return;
    }
    BLOCK_HEADER* header = static_cast<BLOCK_HEADER*>(block) - 1;
    MEM_SEGMENT* owner = segments().at(header->segment_index);
    if (header->mark != expected_mark || owner->name() != (segment == nullptr ? "" : segment))
        ++s_bad_frees;
    owner->remove_block(header->size);
    std::free(header);
}

}  // namespace

void MEM_SEGMENT::add_block(std::size_t size)
{
    ++m_live_blocks;
    m_live_bytes += size;
}

void MEM_SEGMENT::remove_block(std::size_t size)
{
    --m_live_blocks;
    m_live_bytes -= size;
}

MEM_SEGMENT* host_memory_segment(const char* segment)
{
    const std::lock_guard<std::mutex> lock(memory_lock());
    return segments().at(segments().index_of(segment));
}

MEM_SEGMENT* MEM_MANAGER::get_default_segment()
{
    return host_memory_segment("HOST");
}

std::size_t host_memory_live_blocks(const char* segment)
{
    MEM_SEGMENT* counted = host_memory_segment(segment);
    const std::lock_guard<std::mutex> lock(memory_lock());
    return counted->live_blocks();
}

std::size_t host_memory_live_bytes(const char* segment)
{
    MEM_SEGMENT* counted = host_memory_segment(segment);
    const std::lock_guard<std::mutex> lock(memory_lock());
    return counted->live_bytes();
}

void host_memory_fail_allocation(std::size_t n, const char* segment)
{
    s_fail_countdown = n;
    s_fail_segment = segment == nullptr ? "" : segment;
}

bool host_memory_failure_pending() { return s_fail_countdown != 0; }

std::size_t host_memory_allocation_count()
{
    return s_allocation_count;
}

std::size_t host_memory_bad_frees()
{
    return s_bad_frees;
}

void* mem_malloc_wrapper(std::size_t size, const char* segment, const char*, int)
{
    return allocate_block(size, segment, BLOCK_FROM_MALLOC);
}

void mem_free_wrapper(void* block, const char* segment)
{
    free_block(block, segment, BLOCK_FROM_MALLOC);
}

void* mem_new_wrapper(std::size_t size, const char* segment, const char*, int)
{
    return allocate_block(size, segment, BLOCK_FROM_NEW);
}

void mem_delete_wrapper(void* object, const char* segment)
{
    free_block(object, segment, BLOCK_FROM_NEW);
}

void* HOST_HEAP_OBJECT::operator new(std::size_t size) noexcept
{
    return mem_new_wrapper(size, MEM_MANAGER::get_default_segment()->name().c_str(), __FILE__, __LINE__);
}

void HOST_HEAP_OBJECT::operator delete(void* block)
{
    if (block == nullptr)
        return;
    mem_delete_wrapper(block, MEM_MANAGER::get_default_segment()->name().c_str());
}
