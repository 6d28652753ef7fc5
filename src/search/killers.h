#pragma once

#include "board/move.h"
#include "search/pv_line.h"

namespace vargul {

// Latest and previous non-capture moves that cut off at each ply. Never reset:
// they carry over between iterations, searches and games.
struct Killers {
    Move killer_1[kMaxPly];
    Move killer_2[kMaxPly];
};

// Even a move that already is killer_1 shifts it down: killer_2 then repeats it.
inline void killers_add(Killers& killers, int ply, Move m) {
    killers.killer_2[ply] = killers.killer_1[ply];
    killers.killer_1[ply] = m;
}

}  // namespace vargul
