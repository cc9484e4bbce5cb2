// What every exported header of the library needs: the mark of an exported
// symbol and the base of objects that live in the host's memory.
#pragma once

#include <cstddef>

#include "host/mem.h"

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
