// Heap copies of scanner texts from the host allocator.
#include "putil_internal.h"

#include <cstring>

char* putil_copy_text(const char* text, std::size_t length, const char* file, int line)
{
    char* copy = static_cast<char*>(mem_malloc_wrapper(length + 1, PUTIL_SEGMENT, file, line));
    if (copy == nullptr)
        PUTIL_INTERNAL_ERROR("Out of memory");
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}
