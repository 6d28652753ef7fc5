#pragma once

#include <bit>
#include <cstdint>

#include "board/bitboard.h"

namespace vargul {

// The pawn terms of the evaluation depend on the two pawn sets alone, and the
// positions of a search share few pawn structures among many: the search keeps
// the terms of recent structures here so that each is worked out once. The
// entry holds both phases, since the phase depends on the other pieces.
struct PawnEntry {
    Bitboard white_pawns;
    Bitboard black_pawns;
    std::int32_t middle[2];  // by side index: 1 White, 0 Black, each from its own point of view
    std::int32_t end[2];
};

inline constexpr int kPawnCacheBits = 12;

// An all-zero entry is the true one for a board without pawns, whose terms are
// all 0, so a zeroed table needs no marks for empty entries.
struct PawnCache {
    PawnEntry entry[1 << kPawnCacheBits]{};
};

inline PawnEntry& pawn_cache_entry(PawnCache& cache, Bitboard white_pawns, Bitboard black_pawns) {
    const Bitboard mixed = (white_pawns ^ std::rotr(black_pawns, 29)) * 0x9E3779B97F4A7C15ULL;
    return cache.entry[mixed >> (64 - kPawnCacheBits)];
}

}  // namespace vargul
