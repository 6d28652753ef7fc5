#pragma once

#include <cstdint>

#include "board/move.h"
#include "search/killers.h"

namespace vargul {

// A node's move order computed the plain way, as the ordering rules state it:
// both ranges sorted whole by the literal exchange sort, then the moves lifted
// by shifting entries. The move picker's lazy order is checked against this.

// For each i, every later j whose score beats entry i's swaps places with it.
// The order it gives among equal scores is what the search depends on.
inline void literal_exchange_sort(MoveList& list, int a, int b) {
    for (int i = a; i < b; ++i) {
        for (int j = i + 1; j < b; ++j) {
            if (list.score[i] < list.score[j]) {
                const Move m = list.move[i];
                list.move[i] = list.move[j];
                list.move[j] = m;
                const std::int32_t s = list.score[i];
                list.score[i] = list.score[j];
                list.score[j] = s;
            }
        }
    }
}

inline void eager_sort_moves(MoveList& list) {
    literal_exchange_sort(list, 0, list.capture_count);
    literal_exchange_sort(list, list.capture_count, list.move_count);
}

// Moves entry i to index p, shifting p .. i-1 up one place in their order.
inline void lift_entry(MoveList& list, int i, int p) {
    const Move m = list.move[i];
    const std::int32_t s = list.score[i];
    for (int k = i; k > p; --k) {
        list.move[k] = list.move[k - 1];
        list.score[k] = list.score[k - 1];
    }
    list.move[p] = m;
    list.score[p] = s;
}

// Brings the first entry equal to m to index 0; whether it was found.
inline bool eager_move_to_front(MoveList& list, Move m) {
    const int i = find_move(list, m, 0);
    if (i < 0) return false;
    lift_entry(list, i, 0);
    return true;
}

// After the sort: killer_1 to index p and killer_2 to p + 1, each sought from
// its own index on, where p is 1 behind a first capture scoring at least 0.
inline void eager_place_killers(MoveList& list, const Killers& killers, int ply) {
    const int p = list.capture_count > 0 && list.score[0] >= 0 ? 1 : 0;
    int i = find_move(list, killers.killer_1[ply], p);
    if (i >= 0) lift_entry(list, i, p);
    i = find_move(list, killers.killer_2[ply], p + 1);
    if (i >= 0) lift_entry(list, i, p + 1);
}

}  // namespace vargul
