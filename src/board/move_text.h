#pragma once

#include "board/move.h"

namespace vargul {

// Letter of a piece code: x p n b r q k, a blank for any other code.
char piece_letter(int code);

// A square or a move as the engine writes it, zero-terminated: "e2", "e2e4",
// or "a7a8q" with the promotion letter.
struct MoveText {
    char text[8];
    operator const char*() const { return text; }
};

// One square: "e2".
MoveText square_text(int square);
// Origin and destination square only: "e2e4".
MoveText squares_text(int from, int to);
// The squares and, for a promotion kind, the promoted piece's letter.
MoveText move_text(int from, int to, MoveKind kind);
inline MoveText move_text(Move m) { return move_text(move_from(m), move_to(m), move_kind(m)); }
// The best-line report's form: as move_text, but with a blank in the
// promotion letter's place for any other kind than en passant ("e2e4 ").
MoveText padded_move_text(Move m);

// Index of the first of moves[0, count) written as `text`, or -1.
int find_move(const Move* moves, int count, const char* text);
inline int find_move(const MoveList& list, const char* text) { return find_move(list.move, list.move_count, text); }

}  // namespace vargul
