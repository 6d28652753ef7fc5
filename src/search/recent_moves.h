#pragma once

#include <cstdint>

namespace vargul {

// The game's last moves, taken from the saved move text at every "go"; the
// leaves compare entries 0..3 with the search path to spot a repetition.
struct RecentMoves {
    std::int32_t from_square[100];
    std::int32_t to_square[100];
};

}  // namespace vargul
