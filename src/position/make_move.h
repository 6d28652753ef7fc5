#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/move.h"
#include "board/side.h"

namespace vargul {

inline constexpr std::int32_t piece_value[7] = {0, 100, 400, 400, 600, 1100, 90000};

// What unmake needs that the move word does not hold. Each field is written
// only in the case that needs it, and read back only in that case.
struct MoveUndo {
    std::int32_t en_passant_available;
    std::int32_t en_passant_file;
    std::int32_t en_passant_rank;
    std::int32_t castling_Q;
    std::int32_t castling_K;
    std::int32_t castling_q;
    std::int32_t castling_k;
};

template <Side S> void make_move(Board& board, Move m, MoveUndo& undo);
template <Side S> void unmake_move(Board& board, Move m, const MoveUndo& undo);

inline void make_move_white(Board& b, const MoveList& l, int i, MoveUndo& u) {
    make_move<Side::White>(b, l.move[i], u);
}
inline void make_move_black(Board& b, const MoveList& l, int i, MoveUndo& u) {
    make_move<Side::Black>(b, l.move[i], u);
}
inline void unmake_move_white(Board& b, const MoveList& l, int i, const MoveUndo& u) {
    unmake_move<Side::White>(b, l.move[i], u);
}
inline void unmake_move_black(Board& b, const MoveList& l, int i, const MoveUndo& u) {
    unmake_move<Side::Black>(b, l.move[i], u);
}

// Material balance recomputed from the piece bitboards (the reference for `eval`).
std::int32_t count_material(const Board& board);

}  // namespace vargul
