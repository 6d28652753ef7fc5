#pragma once

#include <cstdint>

namespace vargul {

// The game's last moves, taken from the saved move text at every "go"; the
// leaves compare entries 0..3 with the search path to spot a repetition.
struct RecentMoves {
    std::int32_t from_square[100];
    std::int32_t to_square[100];
};

// Reads up to four moves at fixed positions from the end of the game's move
// text ("e2e4 e7e5 ...", five characters apart, as single blanks give).
// Entries without a move keep the defaults k + 1, which never look like a
// repetition.
RecentMoves read_recent_moves(const char* move_text);

}  // namespace vargul
