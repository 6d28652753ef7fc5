#pragma once

#include <cstdint>
#include <cstring>

#include "board/move.h"

namespace vargul {

// Cut-off counts of non-capture moves by [from][to]. The generators read them
// as ordering scores; the search adds to them and zeroes them at every "go".
struct History {
    std::int32_t count[64][64];
};

// Once a counter passes this, every counter is halved, so old cut-offs fade.
inline constexpr std::int32_t kHistoryHalvingLimit = 100000;

inline void history_clear(History& history) { std::memset(history.count, 0, sizeof history.count); }

inline void history_add(History& history, Move m) {
    std::int32_t& counter = history.count[move_from(m)][move_to(m)];
    if (++counter > kHistoryHalvingLimit) {
        for (auto& row : history.count)
            for (auto& c : row) c /= 2;
    }
}

// All zeros, for generation outside a search (set-up, perft), where order is all that matters.
inline constexpr History kNoHistory{};

}  // namespace vargul
