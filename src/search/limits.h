#pragma once

#include <cstdint>

// The parameters of one "go" line; -1 marks a number not given.
struct GoParameters {
    std::int32_t depth = -1;
    double wtime = -1.0;     // seconds
    double btime = -1.0;     // seconds
    double movetime = -1.0;  // seconds
    bool infinite = false;
};

struct SearchLimits {
    std::int32_t max_depth;
    double time_limit;  // seconds; an iteration that took longer ends the deepening; -1 for none
};

// Only the clock of the side to move counts, and a move time replaces it.
SearchLimits search_limits(const GoParameters& go, std::int32_t colour_move);
