#include "search/limits.h"

#include "search/search_constants.h"

SearchLimits search_limits(const GoParameters& go, std::int32_t colour_move) {
    const double own = colour_move == 1 ? go.wtime : go.btime;
    SearchLimits limits{go.depth, -1.0};
    if (own != -1.0) limits.time_limit = own / kClockShare;
    if (go.movetime != -1.0) limits.time_limit = go.movetime;
    if (limits.time_limit != -1.0) limits.max_depth = kDepthWithClock;
    if (go.infinite) limits.max_depth = kDepthInfinite;
    else if (limits.max_depth == -1) limits.max_depth = 1;
    return limits;
}
