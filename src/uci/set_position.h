#pragma once

#include "board/board.h"

namespace vargul {

// "position ..." line: the FEN after the first "fen " (the initial position
// when there is none; "startpos" itself is never read), then each token after
// the first "moves " played in turn; a token that names no move is skipped.
// Returns how many were skipped. The board comes back ready to search: its
// key and material balance are those of its pieces.
[[nodiscard]] int set_position(const char* line, Board& board);

// Plays one zero-terminated move token ("e2e4", "a7a8n") for the side to move
// and flips side_to_move; false (and nothing changed) when it names no move.
bool apply_move_text(const char* token, Board& board);

// Saves what follows the first "moves " of the line into move_text
// (kLineCapacity characters, zero-filled first); empty when there is none.
void copy_move_text(const char* line, char* move_text);

}  // namespace vargul
