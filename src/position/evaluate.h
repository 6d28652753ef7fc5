#pragma once

#include <cstdint>

#include "board/bitboard.h"
#include "board/board.h"
#include "position/pawn_cache.h"

namespace vargul {

// Positional score, White's point of view; the static score is evaluate(board) + board.material_balance.
// The search passes its pawn cache; without one the pawn terms are worked out afresh.
#if VARGUL_POPCOUNT_DISPATCH
// The same evaluation twice, with and without the population-count
// instruction; evaluate_uses_popcount is set once, before main, from the CPU.
std::int32_t evaluate_with_popcount(const Board& board, PawnCache* pawn_cache);
std::int32_t evaluate_portable(const Board& board, PawnCache* pawn_cache);
extern bool evaluate_uses_popcount;

inline std::int32_t evaluate(const Board& board, PawnCache* pawn_cache) {
    return evaluate_uses_popcount ? evaluate_with_popcount(board, pawn_cache) : evaluate_portable(board, pawn_cache);
}
#else
std::int32_t evaluate(const Board& board, PawnCache* pawn_cache);
#endif
inline std::int32_t evaluate(const Board& board) { return evaluate(board, nullptr); }

}  // namespace vargul
