#pragma once

#include <cstdint>

#include "board/move.h"
#include "search/exchange_passes.h"
#include "search/pv_line.h"

namespace vargul {

// Latest and previous non-capture moves that cut off at each ply. Never reset:
// they carry over between iterations, searches and games.
struct Killers {
    Move killer_1[kMaxPly];
    Move killer_2[kMaxPly];
};

inline void killers_add(Killers& killers, int ply, Move m) {
    killers.killer_2[ply] = killers.killer_1[ply];
    killers.killer_1[ply] = m;
}

// Exchange sort of entries a .. b-1 by falling score: for each i in turn,
// every later j whose score beats entry i's swaps places with it. Not stable:
// the order among equal scores is the one this exact procedure gives, and the
// search depends on it.
//
// Pass i leaves at i the largest score of entries i .. b-1, and once entry i
// holds that score no later entry can beat it, so the rest of the pass swaps
// nothing. Stopping each pass there makes the same swaps in the same order at
// a fraction of the comparisons: a pass over equal scores, the common case,
// stops at once. The largest score of every tail of the range is kept in
// `tail_max`; a pass changes entries only up to its last swap, so only that
// stretch of it needs working out again. Once the tail from i on is already
// in falling order, no pass from i on swaps anything. The passes themselves
// are in exchange_passes.h, where the search runs them one at a time.
inline void exchange_sort(MoveList& list, int a, int b) {
    std::int32_t tail_max[kMaxMoves];
    ExchangePasses passes = exchange_passes(list, a, b, tail_max);
    settle_through(passes, b - 1);
}

inline void sort_moves(MoveList& list) {
    exchange_sort(list, 0, list.capture_count);
    exchange_sort(list, list.capture_count, list.move_count);
}

// Moves entry i to index p, shifting p .. i-1 up one place in their order.
inline void lift_entry(MoveList& list, int i, int p) {
    Move m = list.move[i];
    std::int32_t s = list.score[i];
    for (int k = i; k > p; --k) {
        list.move[k] = list.move[k - 1];
        list.score[k] = list.score[k - 1];
    }
    list.move[p] = m;
    list.score[p] = s;
}

// Brings the first entry equal to m to index 0; returns whether it was found.
inline bool move_to_front(MoveList& list, Move m) {
    int i = find_move(list, m, 0);
    if (i < 0) return false;
    lift_entry(list, i, 0);
    return true;
}

inline void killers_to_front(const Killers& killers, MoveList& list, int p, int ply) {
    int i = find_move(list, killers.killer_1[ply], p);
    if (i >= 0) lift_entry(list, i, p);
    i = find_move(list, killers.killer_2[ply], p + 1);
    if (i >= 0) lift_entry(list, i, p + 1);
}

}  // namespace vargul
