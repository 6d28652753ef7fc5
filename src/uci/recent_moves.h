#pragma once

#include "search/recent_moves.h"

namespace vargul {

// Reads up to four moves at fixed positions from the end of move_text (five
// characters apart, as single blanks give). Entries without a move keep the
// defaults k + 1, which never look like a repetition.
RecentMoves read_recent_moves(const char* move_text);

}  // namespace vargul
