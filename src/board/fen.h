#pragma once

#include "board/board.h"

namespace vargul {

// Rebuilds the pieces, side, castling and en passant fields from FEN text that
// begins with one word to skip ("fen"). Never reads past the text's zero
// terminator and never places a piece off the board.
void parse_fen(const char* text, Board& board);

}  // namespace vargul
