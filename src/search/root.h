#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/side.h"
#include "search/all_nodes.h"
#include "search/reporter.h"
#include "search/search_state.h"

namespace vargul {

// One iteration of the deepening at `depth` for side S to move. Returns the
// best score (White's point of view), leaves the best line in state.pv, and
// updates `best` whenever a root move improves on it.
template <Side S, AllNodes T = AllNodes::Off> int root_search(Move& best, Board& board, int depth, SearchState& state);

}  // namespace vargul
