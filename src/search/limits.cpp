#include "search/limits.h"

#include <cmath>

#include "search/search_constants.h"

namespace vargul {

namespace {

std::int64_t whole_milliseconds(double seconds) { return std::llround(seconds * 1000.0); }

}  // namespace

SearchLimits search_limits(const GoParameters& go, Side side_to_move) {
    const double own = side_to_move == Side::White ? go.wtime : go.btime;
    SearchLimits limits{go.depth, -1.0, kNoDeadline};
    if (own != -1.0) limits.time_limit = own / kClockShare;
    if (go.movetime != -1.0) limits.time_limit = go.movetime;
    if (limits.time_limit != -1.0) limits.max_depth = kDepthWithClock;
    if (go.infinite)
        limits.max_depth = kDepthInfinite;
    else if (limits.max_depth == -1)
        limits.max_depth = 1;
    return limits;
}

std::int64_t search_deadline(const GoParameters& go, Side side_to_move, std::int64_t received_ms) {
    const double own = side_to_move == Side::White ? go.wtime : go.btime;
    // A move time is the longest the move may take. A clock allows ten times
    // an iteration's share, so only a runaway iteration meets the ceiling.
    if (go.movetime != -1.0) return received_ms + whole_milliseconds(go.movetime);
    if (own != -1.0) return received_ms + whole_milliseconds(own) / kCeilingShare;
    return kNoDeadline;
}

}  // namespace vargul
