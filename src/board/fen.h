#pragma once

#include "board/board.h"

namespace vargul {

// The initial position.
inline constexpr char kStartFen[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Rebuilds the pieces, side, castling and en passant fields from FEN text.
// Never reads past the text's zero terminator and never places a piece off
// the board.
void parse_fen_fields(const char* fields, Board& board);
// The same for text that begins with one word to skip ("fen").
void parse_fen(const char* text, Board& board);

}  // namespace vargul
