#pragma once

#include <cstdint>

#include "board/move.h"
#include "search/pv_line.h"
#include "search/recent_moves.h"
#include "search/search_constants.h"
#include "search/search_context.h"
#include "search/stop.h"

namespace vargul {

// What one "go" shares with every node of its search: the run's context and
// the state of this "go" alone. The driver builds it zeroed at every "go";
// nodes never clear `line` or `pv`, and copies move only `length` entries, so
// entries past a line's length keep older values that deeper searches may read.
struct SearchState : SearchContext {
    Move line[kMaxPly];  // line[p]: the move played at ply p on the path being searched
    PvLine pv;           // the line that belongs to the result just returned
    RecentMoves recent_moves;
    StopState stop{};  // why and when the search ends
    // Set by the root: a root move of its iteration was searched to the end
    // and stored, so the iteration's score and line are sound even if "stop"
    // then cut it short.
    bool iteration_has_result = false;
    std::int32_t root_depth = 0;  // depth of the iteration under way; the check extension and hash_store read it
    std::uint64_t all_nodes = 0;  // every node, for the bench's AllNodes::On searches
};

}  // namespace vargul
