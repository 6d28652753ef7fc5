#pragma once

#include <cstdint>

#include "board/move.h"

// One slot of the transposition table (32 bytes). The table only orders moves:
// no stored score ever ends a search.
struct HashEntry {
    std::uint64_t key;  // all ones marks an empty slot
    Move move;
    std::int32_t score;
    std::int32_t flag;  // 1 exact, 2 no improvement, 3 cut-off
    std::int32_t ply;
    std::int32_t root_depth;
};
static_assert(sizeof(HashEntry) == 32);

inline constexpr std::uint64_t kEmptySlotKey = ~std::uint64_t{0};

extern HashEntry* hash_table;
extern std::uint32_t hash_mask;
extern std::int32_t hash_megabytes;

// Addressed slots for a size in megabytes: the largest power of two not above
// megabytes * 32768, and 1 below that.
std::uint32_t hash_slot_count(std::int32_t megabytes);

// Sizing and allocation ("uci", "setoption"); fatal failures end the process.
void allocate_hash_table();
void resize_hash_table();
void release_hash_table();
// Allocates at the current size when no table exists yet ("go" before "uci").
void ensure_hash_table();

void hash_clear();

inline bool hash_hit(std::uint64_t key) { return hash_table[key & hash_mask].key == key; }

// Brings the move stored in key's slot to the front of the list; 1 if it was in the list.
int hash_move_to_front(MoveList& list, std::uint64_t key);

void hash_store(int ply, int index, std::uint64_t key, const MoveList& list, std::int32_t score, std::int32_t flag);
