#include "search/hash_table.h"

#include "platform/table_memory.h"
#include "search/ordering.h"

namespace vargul {

std::uint32_t hash_slot_count(std::int32_t megabytes) {
    // Megabytes times 2^20 / 32 in 32-bit arithmetic: exact for 0..4095.
    std::uint32_t limit = (static_cast<std::uint32_t>(megabytes) << 20) >> 5;
    std::uint32_t count = 1;
    while (count <= limit / 2) count *= 2;
    return count;
}

bool allocate_hash_table(HashTable& table) {
    release_hash_table(table);
    std::uint32_t slots = hash_slot_count(table.megabytes);
#ifdef VARGUL_FUZZ
    // The fuzzing build keeps the table small: clearing a large one at every
    // "go" would cost more than the search it serves.
    if (slots > 4096) slots = 4096;
#endif
    const std::size_t bytes = std::size_t{slots} * sizeof(HashEntry);
    void* block = allocate_table_memory(bytes);
    if (block == nullptr) return false;
    table.slots = static_cast<HashEntry*>(block);
    table.bytes = bytes;
    table.mask = slots - 1;
    table.generation = 1;
    return true;
}

void release_hash_table(HashTable& table) {
    release_table_memory(table.slots, table.bytes);
    table.slots = nullptr;
    table.bytes = 0;
}

void hash_clear(HashTable& table) {
    if (table.slots == nullptr) return;
    if (++table.generation != 0) return;
    // Once in four billion clears the counter wraps, and slots of the
    // generation coming round again must not come back to life.
    for (std::uint64_t i = 0; i <= table.mask; ++i) table.slots[i].generation = 0;
    table.generation = 1;
}

bool hash_move_to_front(const HashTable& table, MoveList& list, std::uint64_t key) {
    return move_to_front(list, hash_slot(table, key).move);
}

void hash_store_move(HashTable& table, std::int32_t root_depth, int ply, Move move, std::uint64_t key,
                     std::int32_t score, Bound flag) {
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
    slot.generation = table.generation;
}

}  // namespace vargul
