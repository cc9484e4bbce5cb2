// Allocator for the library's containers: storage comes from the host
// memory manager under the segment "PUTIL". Exported because the library's
// exported classes hold such containers.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/mem.h"
#include "host/msg.h"
#include "putil_export.h"

// Allocator for the library's containers; a refused allocation is fatal.
template <class T>
class PUTIL_ALLOCATOR {
public:
    typedef T value_type;
    PUTIL_ALLOCATOR() noexcept = default;
    template <class U>
    PUTIL_ALLOCATOR(const PUTIL_ALLOCATOR<U>&) noexcept
    {
    }
    T* allocate(std::size_t count)
    {
        void* block = mem_malloc_wrapper(count * sizeof(T), PUTIL_SEGMENT, "putil_allocator", 0);
        if (block == nullptr)
            MSG_INTERNAL_ERROR::report("Out of memory", "PUTIL", "putil_allocator.h", __LINE__);
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t) noexcept { mem_free_wrapper(block, PUTIL_SEGMENT); }
    template <class U>
    bool operator==(const PUTIL_ALLOCATOR<U>&) const noexcept
    {
        return true;
    }
    template <class U>
    bool operator!=(const PUTIL_ALLOCATOR<U>&) const noexcept
    {
        return false;
    }
};

template <class T>
using PUTIL_VECTOR = std::vector<T, PUTIL_ALLOCATOR<T>>;

template <class K, class V, class HASH = std::hash<K>>
using PUTIL_HASH_MAP = std::unordered_map<K, V, HASH, std::equal_to<K>, PUTIL_ALLOCATOR<std::pair<const K, V>>>;

typedef std::basic_string<char, std::char_traits<char>, PUTIL_ALLOCATOR<char>> PUTIL_STRING;
