#include "platform/table_memory.h"

#include <sys/mman.h>

namespace vargul {

void* allocate_table_memory(std::size_t bytes) {
    // Fresh anonymous pages come zero-filled. Huge pages, where the system
    // grants them, make the first clear fault a few dozen times instead of
    // thousands and spare the search most of its TLB misses on probes.
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(block, bytes, MADV_HUGEPAGE);
#endif
    return block;
}

void release_table_memory(void* block, std::size_t bytes) {
    if (block != nullptr) ::munmap(block, bytes);
}

}  // namespace vargul
