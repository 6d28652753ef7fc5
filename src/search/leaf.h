#pragma once

#include "board/board.h"
#include "board/move.h"
#include "board/side.h"
#include "search/all_nodes.h"
#include "search/pv_line.h"
#include "search/quiesce.h"
#include "search/search_constants.h"
#include "search/search_state.h"
#include "search/stop.h"

namespace vargul {

// Whether root move R plays again the first of the game's last four moves
// when those went there and back (one piece away and home, and one of the
// other side likewise). Depends on the root move alone, so every leaf below
// such a root move agrees.
inline bool repeats_game(const RecentMoves& game, Move root_move) {
    const std::int32_t* f = game.from_square;
    const std::int32_t* t = game.to_square;
    return f[0] == t[2] && f[2] == t[0] && f[1] == t[3] && t[1] == f[3] && move_from(root_move) == t[2] &&
           move_to(root_move) == f[2];
}

// Where the full-width search ends: gives the input poll its turn, scores a
// repetition of the game as a draw, and otherwise resolves the captures.
template <Side S, AllNodes T = AllNodes::Off>
inline int leaf(Board& board, int alpha, int beta, int ply, SearchState& state) {
    poll_input(state.stop, state);
    if (repeats_game(state.recent_moves, state.line[0])) {
        count_node<T>(state);
        line_to_pv(state.line, ply, 0, state.pv);
        return 0;
    }
    return quiesce<S, T>(board, alpha, beta, ply, state);
}

}  // namespace vargul
