#pragma once

#include "board/board.h"
#include "board/side.h"
#include "search/all_nodes.h"
#include "search/search_state.h"

namespace vargul {

// Where a node sits in the tree and what it may prune. Fields as the searches
// pass them down; see search.cpp for how each one is used.
struct NodeContext {
    bool in_check;       // the move that led here gave check
    int depth;           // plies left to the leaves: a node of depth 0 or less is a leaf
    int ply;             // half-moves from the root
    MoveKind prev_kind;  // kind of the move that led here; read only outside sub-searches
    bool sub_search;     // inside a null-move or internal-deepening search
    int parent_index;    // index of the move that led here in the parent's ordered list
    bool in_deepening;   // inside an internal-deepening search
};

// Moves past this index of a node's list get a reduced search first. The
// scaled quiet count is a double truncated toward zero, so 3 captures and 30
// quiet moves give 3 + 3 + 9 = 15.
inline int late_move_threshold(const MoveList& list) {
    const int quiet_count = list.move_count - list.capture_count;
    return list.capture_count + 3 - static_cast<int>(static_cast<double>(quiet_count) * -0.3);
}

// Fail-soft alpha-beta of side S, White maximising and Black minimising in
// the one window.
template <Side S, AllNodes T = AllNodes::Off>
int search(Board& board, SearchState& state, int alpha, int beta, const NodeContext& node);

}  // namespace vargul
