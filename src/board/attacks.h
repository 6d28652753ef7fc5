#pragma once

#include "board/board.h"
#include "board/side.h"

namespace vargul {

// Is the king of side S attacked by the other side? Returns 0 or the code of
// the first attacker found. A side without a king counts as attacked.
template <Side S> int king_attacked(const Board& board);

// Is home-rank square s attacked by side S (a castling square of the other side)?
template <Side S> int square_attacked_by(const Board& board, int s);

inline int white_king_attacked(const Board& b) { return king_attacked<Side::White>(b); }
inline int black_king_attacked(const Board& b) { return king_attacked<Side::Black>(b); }
inline int square_attacked_by_black(const Board& b, int s) { return square_attacked_by<Side::Black>(b, s); }
inline int square_attacked_by_white(const Board& b, int s) { return square_attacked_by<Side::White>(b, s); }

}  // namespace vargul
