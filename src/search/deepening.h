#pragma once

#include <cstdint>

#include "board/board.h"
#include "platform/clock.h"
#include "search/all_nodes.h"
#include "search/limits.h"
#include "search/recent_moves.h"
#include "search/reporter.h"
#include "search/search_state.h"

namespace vargul {

// What a "go" leaves behind besides its reports, for the tools and tests.
struct DeepeningSummary {
    Move best;                   // 0 when "bestmove 0000" was reported
    std::uint64_t nodes_summed;  // node_count summed over the iterations
    std::uint64_t all_nodes;     // every node visited (AllNodes::On only)
    std::int32_t iterations;
    bool quit;  // "quit" was read: nothing more was reported
};

// Runs the root search of the side to move at depths 1, 2, 3, ... within the
// limits, reports each iteration and then the best move.
template <AllNodes T = AllNodes::Off> DeepeningSummary iterative_deepening(Board& board, const SearchLimits& limits,
                                                                           const RecentMoves& recent_moves,
                                                                           SearchContext context);

}  // namespace vargul
