#pragma once

#include "board/board.h"
#include "board/history.h"
#include "board/move.h"
#include "board/side.h"

namespace vargul {

// Tactical moves (captures, promotions, en passant) of side S, written from
// entry 0; sets capture_count and move_count. Always runs first: it resets the
// list. Promotions, en passant and quiet moves score with their history count.
template <Side S> void generate_captures(const Board& board, MoveList& list, const History& history);

// Quiet moves and castling of side S, appended after move_count.
template <Side S> void generate_quiet(const Board& board, MoveList& list, const History& history);

// Every pseudo-legal move of side S: the tactical range, then the quiet one.
template <Side S> void generate_all(const Board& board, MoveList& list, const History& history) {
    generate_captures<S>(board, list, history);
    generate_quiet<S>(board, list, history);
}

}  // namespace vargul
