#pragma once

#include "board/move.h"

namespace vargul {

// Letter of a piece code: x p n b r q k, a blank for any other code.
char piece_letter(int code);

// A move as the engine writes it, zero-terminated: "e2e4", or "a7a8q" with the
// promotion letter.
struct MoveText {
    char text[8];
    operator const char*() const { return text; }
};

// Origin and destination square only: "e2e4".
MoveText squares_text(int from, int to);
// The squares and, for a promotion kind, the promoted piece's letter.
MoveText move_text(int from, int to, MoveKind kind);
inline MoveText move_text(Move m) { return move_text(move_from(m), move_to(m), move_kind(m)); }

}  // namespace vargul
