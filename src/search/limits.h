#pragma once

#include <cstdint>

#include "board/side.h"

namespace vargul {

inline constexpr std::int64_t kNoDeadline = -1;
inline constexpr double kNoTimeLimit = -1.0;

// How deep and how long one search may go.
struct SearchLimits {
    std::int32_t max_depth;
    double time_limit;  // seconds; an iteration that took longer ends the deepening; kNoTimeLimit for none
    // Clock reading past which the search ends as if "stop" had come, so that
    // no iteration runs on past what the move was given; kNoDeadline for none.
    std::int64_t deadline = kNoDeadline;
};

}  // namespace vargul
