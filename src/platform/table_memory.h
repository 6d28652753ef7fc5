#pragma once

#include <cstddef>

namespace vargul {

// Zero-filled memory for the hash table, straight from the system, or
// nullptr when it cannot be had.
void* allocate_table_memory(std::size_t bytes);
void release_table_memory(void* block, std::size_t bytes);

}  // namespace vargul
