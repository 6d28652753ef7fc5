#pragma once

#include <cstdint>

#include "board/board.h"
#include "search/node_tally.h"
#include "search/root.h"
#include "uci/go.h"
#include "uci/recent_moves.h"

// What a "go" leaves behind besides its output, for the tools and tests.
struct DeepeningSummary {
    BestMove best;               // kind 0 when "bestmove 0000" was written
    std::uint64_t nodes_summed;  // node_count summed over the iterations
    std::int32_t iterations;
};

// Runs the root search of the side to move at depths 1, 2, 3, ... within the
// limits of `go`, writes one "info" line per iteration and then "bestmove".
template <Tally T = Tally::Off>
DeepeningSummary deepen(const GoParameters& go, Board& board, const RecentMoves& recent_moves,
                        std::uint64_t& node_count);

inline DeepeningSummary iterative_deepening(const GoParameters& go, Board& board, const RecentMoves& recent_moves,
                                            std::uint64_t& node_count) {
    return deepen<Tally::Off>(go, board, recent_moves, node_count);
}
