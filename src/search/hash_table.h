#pragma once

#include <cstddef>
#include <cstdint>

#include "board/move.h"

namespace vargul {

// What a stored score says about the node, in terms of its side to move:
// exact, fail-low (no move raised the side's bound: an upper bound on its
// score) or fail-high (a move reached the opponent's bound: a lower bound).
// The replacement rule compares these values: a slot never gives way to a
// bound with a greater value, so their order is part of the design.
enum class Bound : std::int32_t { exact = 1, fail_low = 2, fail_high = 3 };

// One slot of the transposition table (32 bytes). The table only orders moves:
// no stored score ever ends a search.
struct HashEntry {
    std::uint64_t key;  // all ones marks an empty slot
    Move move;
    std::int32_t score;
    Bound flag;
    std::int32_t ply;
    std::int32_t root_depth;
    std::uint32_t generation;  // the clear it was stored after; an older one reads as empty
};
static_assert(sizeof(HashEntry) == 32);

inline constexpr std::uint64_t kEmptySlotKey = ~std::uint64_t{0};
inline constexpr std::int32_t kDefaultHashMegabytes = 32;

// Addressed slots for a size in megabytes: the largest power of two not above
// megabytes * 32768, and 1 below that.
std::uint32_t hash_slot_count(std::int32_t megabytes);

// The transposition table: it owns its memory and gives it back when it goes,
// so it is never copied.
//
// Emptying the table at every "go" costs one increment: a slot written before
// the latest clear reads as if its key were all ones, exactly what the clear
// once wrote into every slot. Fresh pages are zeros, generation 0, which no
// allocated table uses.
class HashTable {
public:
    HashTable() = default;  // no memory until allocate()
    ~HashTable();
    HashTable(const HashTable&) = delete;
    HashTable& operator=(const HashTable&) = delete;

    // Gives back the memory held and takes a fresh table of `megabytes`;
    // false (and no table) when the memory cannot be had.
    [[nodiscard]] bool allocate(std::int32_t megabytes);
    bool allocated() const { return slots_ != nullptr; }
    // Every slot reads as empty afterwards.
    void clear();

    std::uint32_t slot_count() const { return mask_ + 1; }
    std::uint32_t generation() const { return generation_; }
    HashEntry& slot(std::uint64_t key) const { return slots_[key & mask_]; }

    // Sets the clear counter, so that tests reach its wrap without four billion clears.
    void set_generation(std::uint32_t generation) { generation_ = generation; }

private:
    void release();

    HashEntry* slots_ = nullptr;
    std::uint32_t mask_ = 0;  // slot count - 1
    std::uint32_t generation_ = 1;
    std::size_t bytes_ = 0;  // mapped size, for the release
};

inline HashEntry& hash_slot(const HashTable& table, std::uint64_t key) { return table.slot(key); }

// Starts loading key's slot into the cache: the probe comes after the moves
// are generated, by when a miss in a large table has had time to resolve.
inline void hash_prefetch(const HashTable& table, std::uint64_t key) { __builtin_prefetch(&hash_slot(table, key)); }

// The slot's key as the search sees it: all ones when it predates the latest clear.
inline std::uint64_t slot_key(const HashTable& table, const HashEntry& slot) {
    return slot.generation == table.generation() ? slot.key : kEmptySlotKey;
}

inline bool hash_hit(const HashTable& table, std::uint64_t key) {
    return slot_key(table, hash_slot(table, key)) == key;
}

// Stores a node's best move with its score, unless the slot holds a result
// that is a stronger bound or has more depth left (root_depth - ply).
void hash_store(HashTable& table, std::int32_t root_depth, int ply, Move move, std::uint64_t key, std::int32_t score,
                Bound flag);

}  // namespace vargul
