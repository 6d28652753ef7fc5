#include "platform/table_memory.h"

#include <cstdlib>

namespace vargul {

// WebAssembly memory only grows, and there are no pages to map: the table
// comes from the heap, which grows the linear memory when it must.
void* allocate_table_memory(std::size_t bytes) { return std::calloc(bytes, 1); }

void release_table_memory(void* block, std::size_t) { std::free(block); }

}  // namespace vargul
