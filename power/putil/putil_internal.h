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
#include "putil_export.h"

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

// Texts that the scanner hands out are linked into a list of the scanner's
// live texts, so that a parse stopped by an internal error can free the
// texts it dropped on the way. A text made without a list is linked to
// itself.
struct PUTIL_TEXT_LINK {
    PUTIL_TEXT_LINK* prev;
    PUTIL_TEXT_LINK* next;
};

// A NUL-terminated heap copy of text[0..length) from the host allocator, as
// the scanner hands strings to the handlers, linked after list when one is
// given; the receiver frees it with putil_free_text. A refused allocation
// is the internal error "Out of memory".
char* putil_copy_text(const char* text, std::size_t length, const char* file, int line,
                      PUTIL_TEXT_LINK* list = nullptr);
// Unlinks and frees a text of putil_copy_text; null is ignored.
void putil_free_text(char* text);
// Makes every text of list self-linked (the list's owner goes away, the
// texts' owners keep them), or frees them all.
void putil_detach_texts(PUTIL_TEXT_LINK* list);
void putil_free_texts(PUTIL_TEXT_LINK* list);
