#pragma once

#include "board/board.h"
#include "board/move.h"
#include "board/side.h"
#include "search/node_tally.h"
#include "search/pv_line.h"

// Searches captures and promotions of side S until the position is quiet.
// Fail-soft; the side to move may always stand pat. `line` is the path from
// the root (kMaxPly entries); `pv` receives the line of the result.
template <Side S, Tally T = Tally::Off>
int quiesce(Board& board, int alpha, int beta, int ply, Move* line, PvLine& pv);

inline int white_quiesce(Board& b, int alpha, int beta, int ply, Move* line, PvLine& pv) {
    return quiesce<Side::White>(b, alpha, beta, ply, line, pv);
}
inline int black_quiesce(Board& b, int alpha, int beta, int ply, Move* line, PvLine& pv) {
    return quiesce<Side::Black>(b, alpha, beta, ply, line, pv);
}
