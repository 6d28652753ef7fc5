#pragma once

#include <cstdint>

#include "board/move.h"

namespace vargul {

// The exchange sort exactly as the ordering rules state it: for each i, every
// later j whose score beats entry i's swaps places with it. The order it gives
// among equal scores is what the search depends on; the quick sorts are
// checked against this.
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

}  // namespace vargul
