#pragma once

#include "board/board.h"

namespace vargul {

// Why a set-up position lies outside what the generators and make/unmake
// assume (one king a side, no pawn on a back rank, castling rights and the en
// passant square that fit the pieces, the side not to move not in check), or
// nullptr when it is fine. For tools that take positions from users; the
// engine itself accepts whatever it is given.
const char* position_problem(const Board& board);

// Drops the castling rights whose king or rook is not on its home square and
// an en passant square that does not fit (occupied, or no pawn to take): they
// could never be used, and the generators and make move trust them.
void drop_unfit_rights(Board& board);

}  // namespace vargul
