#pragma once

#include "board/board.h"
#include "board/move.h"
#include "board/side.h"
#include "search/all_nodes.h"
#include "search/pv_line.h"
#include "search/search_state.h"

namespace vargul {

// Searches captures and promotions of side S until the position is quiet.
// Fail-soft; the side to move may always stand pat. The path from the root is
// in state.line; state.pv receives the line of the result. Returns 0
// at once when the search is being aborted.
template <Side S, AllNodes T = AllNodes::Off>
int quiesce(Board& board, int alpha, int beta, int ply, SearchState& state);

}  // namespace vargul
