#pragma once

#include <cstdint>

#include "board/move.h"

namespace vargul {

inline constexpr int kMaxPly = 100;

// A line of play from the root with the score that belongs to it.
struct PvLine {
    Move move[kMaxPly];
    std::int32_t score;
    std::int32_t length;
};

// Copies move only the first `length` entries: the rest of the destination keeps older values.
inline void copy_pv(const PvLine& source, PvLine& destination) {
    for (int i = 0; i < source.length; ++i) destination.move[i] = source.move[i];
    destination.score = source.score;
    destination.length = source.length;
}

// The first n moves of the search path as a line (n is the current ply).
inline void line_to_pv(const Move* line, int n, std::int32_t score, PvLine& destination) {
    for (int i = 0; i < n; ++i) destination.move[i] = line[i];
    destination.score = score;
    destination.length = n;
}

}  // namespace vargul
