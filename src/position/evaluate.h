#pragma once

#include <cstdint>

#include "board/bit_counting.h"
#include "board/bitboard.h"
#include "board/board.h"
#include "position/pawn_cache.h"

namespace vargul {

std::int32_t evaluate_plain(const Board& board, PawnCache* pawn_cache);
#if VARGUL_POPCOUNT_DISPATCH
std::int32_t evaluate_with_popcount(const Board& board, PawnCache* pawn_cache);
#endif

// Positional score, White's point of view; the static score is evaluate(board) + board.material_balance.
// The search passes its pawn cache; without one the pawn terms are worked out afresh.
inline std::int32_t evaluate(const Board& board, PawnCache* pawn_cache, BitCounting counting) {
#if VARGUL_POPCOUNT_DISPATCH
    // Laid out for the CPUs that have the instruction, nearly all of them.
    if (counting == BitCounting::popcount_instruction) [[likely]]
        return evaluate_with_popcount(board, pawn_cache);
    return evaluate_plain(board, pawn_cache);
#else
    (void)counting;
    return evaluate_plain(board, pawn_cache);
#endif
}
// Away from the search, which holds the answer, the CPU is asked each time.
inline std::int32_t evaluate(const Board& board, PawnCache* pawn_cache = nullptr) {
    return evaluate(board, pawn_cache, cpu_bit_counting());
}

}  // namespace vargul
