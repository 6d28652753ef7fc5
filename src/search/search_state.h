#pragma once

#include <cstdint>

#include "board/move.h"
#include "search/pv_line.h"
#include "uci/recent_moves.h"

// What one "go" shares with every node of its search. The driver owns it (the
// node counter excepted, which the command loop owns) and builds it zeroed at
// every "go"; nodes never clear `line` or `pv`, and copies move only `length`
// entries, so entries past a line's length keep older values that deeper
// searches may read.
struct SearchState {
    std::uint64_t& node_count;
    Move line[kMaxPly];  // line[p]: the move played at ply p on the path being searched
    PvLine pv;           // the line that belongs to the result just returned
    RecentMoves recent_moves;
    std::int32_t stop_flag;  // set to 1 by the input poll on "stop"
};
