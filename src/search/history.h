#pragma once

#include <cstdint>

#include "board/move.h"

// Cut-off counts of non-capture moves by [from][to]; the generators read them
// as ordering scores. Zeroed at every "go".
extern std::int32_t history[64][64];

inline constexpr std::int32_t kHistoryHalvingLimit = 100000;

void history_clear();

inline void history_add(Move m) {
    std::int32_t& counter = history[move_from(m)][move_to(m)];
    if (++counter > kHistoryHalvingLimit) {
        for (auto& row : history)
            for (auto& c : row) c /= 2;
    }
}
