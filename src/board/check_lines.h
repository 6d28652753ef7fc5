#pragma once

#include "board/attacks.h"
#include "board/board.h"
#include "board/move.h"
#include "board/side.h"
#include "board/tables.h"

namespace vargul {

// Most moves can neither expose their own king nor give check, and both are
// seen from where the move starts and ends. The squares below are worked out
// once before a position's moves are made; a move they do not clear falls
// back to the full king_attacked test, so the answer is always the same.

// From-squares whose piece's move may leave side S's king attacked: the rays
// from the king up to an enemy slider that could move along them, the kings
// themselves and the pawns that may take en passant. Every square when S is
// in check already or has no king.
template <Side S> Bitboard exposing_squares(const Board& before);

// After S's move m has been made: is S's king attacked?
template <Side S> inline bool leaves_king_attacked(const Board& after, Bitboard exposing, Move m) {
    return (exposing & square_mask[move_from(m)]) && king_attacked<S>(after);
}

// Where side S's pieces give check to the other king, seen before the move.
struct CheckSquares {
    Bitboard uncovering;   // from-squares whose move may uncover a check; every square when the test cannot be trusted
    Bitboard by_piece[7];  // by piece code: to-squares from which that piece attacks the king
};

template <Side S> CheckSquares check_squares(const Board& before);

// After S's move m has been made: is the other king attacked? Castling, en
// passant and promotions move more than the one piece and take the full test.
template <Side S> inline bool gives_check_after(const Board& after, const CheckSquares& checks, Move m) {
    if ((checks.uncovering & square_mask[move_from(m)]) || move_kind(m) > MoveKind::capture)
        return king_attacked<other_side<S>>(after) != 0;
    return (checks.by_piece[move_piece(m)] & square_mask[move_to(m)]) != 0;
}

}  // namespace vargul
