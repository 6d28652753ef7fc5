#include "platform/table_memory.h"

#include <windows.h>

namespace vargul {

void* allocate_table_memory(std::size_t bytes) {
    // Committed pages come zero-filled.
    return ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void release_table_memory(void* block, std::size_t) {
    if (block != nullptr) ::VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace vargul
