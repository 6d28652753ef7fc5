#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/move.h"
#include "board/side.h"

namespace vargul {

inline constexpr std::int32_t piece_value[7] = {0, 100, 400, 400, 600, 1100, 90000};

// What unmake needs that the move word does not hold. The en passant square
// is always saved; a castling right only when the move may give it up, and
// it is read back only in that case.
struct MoveUndo {
    std::int32_t en_passant_square;
    CastlingRights castling_rights;
};

// m must come from the generator for this very board: the moving and the
// taken piece are read from the move word, not looked up again.
template <Side S> void make_move(Board& board, Move m, MoveUndo& undo);
template <Side S> void unmake_move(Board& board, Move m, const MoveUndo& undo);

// Plays m for good and hands the turn over. make_move leaves the side to move
// alone: the search knows whose turn it is from its template.
template <Side S> void play_move(Board& board, Move m) {
    MoveUndo undo;
    make_move<S>(board, m, undo);
    board.side_to_move = opposite(board.side_to_move);
}
inline void play_move(Board& board, Move m) {
    for_side(board.side_to_move, [&]<Side S>() { play_move<S>(board, m); });
}

// Material balance recomputed from the piece bitboards (the reference for `material_balance`).
std::int32_t count_material(const Board& board);

}  // namespace vargul
