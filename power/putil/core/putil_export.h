// What every exported header of the library needs: the mark of an exported
// symbol, the base of objects that live in the host's memory and the
// allocator of the containers they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/mem.h"
#include "host/msg.h"

#ifdef __FILE_NAME__
#define PUTIL_SOURCE_NAME __FILE_NAME__
#else
#define PUTIL_SOURCE_NAME __FILE__
#endif

// The shared library is built with hidden visibility; only the factories
// and interface classes carry this mark.
#if defined(__GNUC__)
#define PUTIL_EXPORT __attribute__((visibility("default")))
#else
#define PUTIL_EXPORT
#endif

#define PUTIL_SEGMENT "PUTIL"

// Base of every library object made with new: storage comes from the host
// memory manager. PUTIL_NEW tags the block with the allocating source file;
// a refused allocation makes the new-expression yield null.
class PUTIL_HEAP_OBJECT {
public:
    static void* operator new(std::size_t size) noexcept
    {
        return mem_new_wrapper(size, PUTIL_SEGMENT, "putil", 0);
    }
    static void* operator new(std::size_t size, const char* file, int line) noexcept
    {
        return mem_new_wrapper(size, PUTIL_SEGMENT, file, line);
    }
    static void operator delete(void* object) noexcept { mem_delete_wrapper(object, PUTIL_SEGMENT); }
    static void operator delete(void* object, const char*, int) noexcept
    {
        mem_delete_wrapper(object, PUTIL_SEGMENT);
    }
};

// Allocator for the library's containers, exported classes' included; a
// refused allocation is fatal.
template <class T>
class PUTIL_ALLOCATOR {
public:
    typedef T value_type;
    PUTIL_ALLOCATOR() noexcept = default;
    template <class U>
    PUTIL_ALLOCATOR(const PUTIL_ALLOCATOR<U>&) noexcept
    {
    }
    // A type aligned beyond what the host's blocks are (a record that fills
    // a cache line) gets a block that much larger, aligned within it, with
    // the host's block address kept just before it.
    T* allocate(std::size_t count)
    {
        const std::size_t extra = s_over_aligned ? alignof(T) + sizeof(void*) : 0;
        void* block = mem_malloc_wrapper(count * sizeof(T) + extra, PUTIL_SEGMENT, "putil_allocator", 0);
        if (block == nullptr)
            MSG_INTERNAL_ERROR::report("Out of memory", "PUTIL", PUTIL_SOURCE_NAME, __LINE__);
        if (!s_over_aligned)
            return static_cast<T*>(block);
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(block) + sizeof(void*);
        void** aligned = reinterpret_cast<void**>((start + alignof(T) - 1) & ~(std::uintptr_t(alignof(T)) - 1));
        aligned[-1] = block;
        return static_cast<T*>(static_cast<void*>(aligned));
    }
    void deallocate(T* block, std::size_t) noexcept
    {
        void* start = static_cast<void*>(block);
        mem_free_wrapper(s_over_aligned ? static_cast<void**>(start)[-1] : start, PUTIL_SEGMENT);
    }
    static constexpr bool s_over_aligned = alignof(T) > alignof(std::max_align_t);
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

template <class K, class HASH = std::hash<K>>
using PUTIL_HASH_SET = std::unordered_set<K, HASH, std::equal_to<K>, PUTIL_ALLOCATOR<K>>;

typedef std::basic_string<char, std::char_traits<char>, PUTIL_ALLOCATOR<char>> PUTIL_STRING;
