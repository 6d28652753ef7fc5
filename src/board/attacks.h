#pragma once

#include "board/board.h"
#include "board/side.h"

namespace vargul {

// Is the king of side S attacked by the other side? Returns 0 or the code of
// the first attacker found. A side without a king counts as attacked.
template <Side S> int king_attacked(const Board& board);

// Is home-rank square s attacked by side S (a castling square of the other side)?
template <Side S> int square_attacked_by(const Board& board, int s);

}  // namespace vargul
