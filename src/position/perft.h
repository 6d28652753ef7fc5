#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/move.h"

namespace vargul {

// Leaf count of the legal move tree below the position, for the side
// `side_to_move`. Depth 0 counts the position itself. The board comes back
// unchanged.
std::uint64_t perft(Board& board, int depth);

// The count split by legal root move, in generation order.
struct PerftDivide {
    Move move[kMaxMoves];
    std::uint64_t nodes[kMaxMoves];
    int count;
};

// Fills `divide` and returns the total; at depth 0 there are no entries.
std::uint64_t perft_divide(Board& board, int depth, PerftDivide& divide);

}  // namespace vargul
