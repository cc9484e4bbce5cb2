// Host memory manager: every block the library allocates comes from here,
// tagged with a segment name ("PUTIL") and the allocating source file.
#pragma once

#include <cstddef>

class MEM_SEGMENT;

class MEM_MANAGER {
public:
    // The segment new host objects (such as the timing estimator) belong to.
    static MEM_SEGMENT* get_default_segment();
};

// Raw blocks. Both return null when the manager refuses the allocation.
void* mem_malloc_wrapper(std::size_t size, const char* segment, const char* file, int line);
void mem_free_wrapper(void* block, const char* segment);

// Storage for one object; the caller constructs and destroys it in place.
void* mem_new_wrapper(std::size_t size, const char* segment, const char* file, int line);
void mem_delete_wrapper(void* object, const char* segment);
