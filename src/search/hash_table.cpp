#include "search/hash_table.h"

#include "platform/table_memory.h"

namespace vargul {

std::uint32_t hash_slot_count(std::int32_t megabytes) {
    // Megabytes times 2^20 / 32 in 32-bit arithmetic: exact for 0..4095.
    std::uint32_t limit = (static_cast<std::uint32_t>(megabytes) << 20) >> 5;
    std::uint32_t count = 1;
    while (count <= limit / 2) count *= 2;
    return count;
}

HashTable::~HashTable() { release(); }

bool HashTable::allocate(std::int32_t megabytes) {
    release();
    std::uint32_t slots = hash_slot_count(megabytes);
#ifdef VARGUL_FUZZ
    // The fuzzing build keeps the table small: clearing a large one at every
    // "go" would cost more than the search it serves.
    if (slots > 4096) slots = 4096;
#endif
    const std::size_t bytes = std::size_t{slots} * sizeof(HashEntry);
    void* block = allocate_table_memory(bytes);
    if (block == nullptr) return false;
    slots_ = static_cast<HashEntry*>(block);
    bytes_ = bytes;
    mask_ = slots - 1;
    generation_ = 1;
    return true;
}

void HashTable::release() {
    release_table_memory(slots_, bytes_);
    slots_ = nullptr;
    bytes_ = 0;
    mask_ = 0;
}

void HashTable::clear() {
    if (slots_ == nullptr) return;
    if (++generation_ != 0) return;
    // Once in four billion clears the counter wraps, and slots of the
    // generation coming round again must not come back to life.
    for (std::uint64_t i = 0; i <= mask_; ++i) slots_[i].generation = 0;
    generation_ = 1;
}

void hash_store(HashTable& table, std::int32_t root_depth, int ply, Move move, std::uint64_t key, std::int32_t score,
                Bound flag) {
    HashEntry& slot = hash_slot(table, key);
    if (slot_key(table, slot) != kEmptySlotKey) {
        // Never give way to a weaker bound, nor to a result with less depth left.
        if (flag > slot.flag || root_depth - ply < slot.root_depth - slot.ply) return;
    }
    slot.key = key;
    slot.move = move;
    slot.score = score;
    slot.flag = flag;
    slot.ply = ply;
    slot.root_depth = root_depth;
    slot.generation = table.generation();
}

}  // namespace vargul
