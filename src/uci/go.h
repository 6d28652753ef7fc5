#pragma once

#include <cstdint>

#include "board/board.h"

// Reads the go parameters, the game's last moves, and runs the search; returns
// after "bestmove" has been written.
void parse_go(const char* line, Board& board, const char* move_text, std::uint64_t& node_count);

// The parameters of one "go" line; -1 marks a number not given.
struct GoParameters {
    std::int32_t depth = -1;
    double wtime = -1.0;     // seconds
    double btime = -1.0;     // seconds
    double movetime = -1.0;  // seconds
    bool infinite = false;
};

// Tokens are split at blanks only. The token after a keyword that takes a
// number is always consumed as that number, even when it is a keyword itself;
// such a keyword as the last token counts as absent.
GoParameters parse_go_parameters(const char* line);

// The decimal reading of a token: an optional sign, then digits up to the
// first other character (none give 0), clamped to the signed 32-bit range. No
// white space is skipped.
std::int32_t token_integer(const char* token);

struct SearchLimits {
    std::int32_t max_depth;
    double time_limit;  // seconds; -1 for none
};

// Only the clock of the side to move counts, and a move time replaces it.
SearchLimits search_limits(const GoParameters& go, std::int32_t colour_move);
