#pragma once

#include <cstdint>

#include "board/board.h"
#include "position/pawn_cache.h"

// Positional score, White's point of view; the static score is evaluate(board) + board.eval.
// The search passes its pawn cache; without one the pawn terms are worked out afresh.
std::int32_t evaluate(const Board& board, PawnCache* pawn_cache);
inline std::int32_t evaluate(const Board& board) { return evaluate(board, nullptr); }

// The activity of the piece on `square`: the number of squares it attacks.
// Adds 1 to `attack_count` when the piece bears on the squares around the
// enemy king on `enemy_king`; 64 stands for a side without a king, whose
// surroundings nothing bears on. They serve evaluate.
int queen_activity(const Board& board, int square, int enemy_king, int& attack_count);
int rook_activity(const Board& board, int square, int enemy_king, int& attack_count);
int bishop_activity(const Board& board, int square, int enemy_king, int& attack_count);
