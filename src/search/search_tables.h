#pragma once

#include <cstdint>

#include "board/history.h"
#include "position/evaluate.h"
#include "position/pawn_cache.h"
#include "search/hash_table.h"
#include "search/killers.h"

namespace vargul {

// The search's memory that outlives one "go": the transposition table, the
// ordering tables, the evaluation's pawn cache and its copy for this CPU, and
// the leaf calls counted toward the next input poll (search/stop.h).
struct SearchTables {
    HashTable hash;
    History history;
    Killers killers;
    PawnCache pawn_cache;
    BitCounting bit_counting = cpu_bit_counting();  // read from the CPU once, for every evaluation
    std::int32_t poll_counter = 0;                  // leaf calls since the last input poll, kept across searches
};

}  // namespace vargul
