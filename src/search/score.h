#pragma once

#include "board/side.h"

namespace vargul {

// Every score is in centipawns from White's point of view: White maximises,
// Black minimises, and no score is ever negated between plies.
inline constexpr int kOpenBound = 9999999;
inline constexpr int kMateScore = 1000000;
inline constexpr int kMatePlyStep = 1000;
// Scores beyond this are wins found in the tree (a mate, or the king taken),
// reported as mates; every other score is centipawns.
inline constexpr int kMateThreshold = 900000;

// Where side S's best score starts: the open bound against it.
template <Side S> inline constexpr int worst_score = S == Side::White ? -kOpenBound : kOpenBound;

// Side S wins at `ply` (mates, or takes the king): nearer wins weigh more.
template <Side S> constexpr int win_score(int ply) {
    const int s = kMateScore - kMatePlyStep * ply;
    return S == Side::White ? s : -s;
}

// Side S is mated at `ply`.
template <Side S> constexpr int mated_score(int ply) { return win_score<other_side<S>>(ply); }

// a is strictly better than b for side S.
template <Side S> constexpr bool better(int a, int b) { return S == Side::White ? a > b : a < b; }

// a is at least as good as b for side S.
template <Side S> constexpr bool at_least(int a, int b) { return S == Side::White ? a >= b : a <= b; }

}  // namespace vargul
