#pragma once

#include <cstdint>

#include "board/side.h"

namespace vargul {

// The parameters of one "go" line; -1 marks a number not given.
struct GoParameters {
    std::int32_t depth = -1;
    double wtime = -1.0;     // seconds
    double btime = -1.0;     // seconds
    double movetime = -1.0;  // seconds
    bool infinite = false;
};

inline constexpr std::int64_t kNoDeadline = -1;

struct SearchLimits {
    std::int32_t max_depth;
    double time_limit;  // seconds; an iteration that took longer ends the deepening; -1 for none
    // Clock reading past which the search ends as if "stop" had come, so that
    // no iteration runs on past what the move was given; kNoDeadline for none.
    std::int64_t deadline = kNoDeadline;
};

// Only the clock of the side to move counts, and a move time replaces it. No deadline.
SearchLimits search_limits(const GoParameters& go, Side side_to_move);

// The ceiling of a search whose "go" line was read at clock reading
// `received_ms`: a move time runs out that many milliseconds later, the own
// clock after a tenth of it; kNoDeadline without either.
std::int64_t search_deadline(const GoParameters& go, Side side_to_move, std::int64_t received_ms);

}  // namespace vargul
