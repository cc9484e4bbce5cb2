// Library-wide helpers: the internal-error check, allocation from the host
// memory manager under the segment "PUTIL", and an allocator for containers.
#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/mem.h"
#include "host/msg.h"

#define PUTIL_SEGMENT "PUTIL"

#ifdef __FILE_NAME__
#define PUTIL_SOURCE_NAME __FILE_NAME__
#else
#define PUTIL_SOURCE_NAME __FILE__
#endif

// A broken invariant of host data or of the library's own state: reported
// with the expression text, and the run stops. Never used for user input.
#define PUTIL_ASSERT(expression)                                                         \
    do {                                                                                 \
        if (!(expression))                                                               \
            MSG_INTERNAL_ERROR::report(#expression, "PUTIL", PUTIL_SOURCE_NAME, __LINE__); \
    } while (0)

// An internal error whose text is not an expression ("Out of memory").
#define PUTIL_INTERNAL_ERROR(text) MSG_INTERNAL_ERROR::report(text, "PUTIL", PUTIL_SOURCE_NAME, __LINE__)

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
#define PUTIL_NEW new (PUTIL_SOURCE_NAME, __LINE__)

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
            PUTIL_INTERNAL_ERROR("Out of memory");
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

template <class K, class V>
using PUTIL_HASH_MAP = std::unordered_map<K, V, std::hash<K>, std::equal_to<K>, PUTIL_ALLOCATOR<std::pair<const K, V>>>;

class CMP_FACADE;
class CDB_ATOM_NETLIST;
class HDB_CMP_ACTION_PT_INSTANCE;

// The atom netlist of the compilation behind m_facade, and its action-point
// instance in m_cap_inst: facade, instance, database entries, chip entry and
// netlist must all exist (internal errors name the missing one).
CDB_ATOM_NETLIST* putil_atom_netlist_of_facade(CMP_FACADE* m_facade, HDB_CMP_ACTION_PT_INSTANCE*& m_cap_inst);

// A NUL-terminated heap copy of text[0..length) from the host allocator, as
// the scanner hands strings to the handlers; the receiver frees it with
// putil_free_text.
char* putil_copy_text(const char* text, std::size_t length, const char* file, int line);
inline void putil_free_text(char* text)
{
    if (text != nullptr)
        mem_free_wrapper(text, PUTIL_SEGMENT);
}
