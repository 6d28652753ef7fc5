#pragma once

#include <cstdint>

#include "search/all_nodes.h"
#include "search/deepening.h"
#include "search/limits.h"

namespace vargul {

struct Engine;

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

// The limits of the search of a "go" line read at clock reading
// `received_ms`. Only the clock of the side to move counts, and a move time
// replaces it. The ceiling: a move time runs out that many milliseconds
// later, the own clock after a tenth of it; no deadline without either.
SearchLimits search_limits(const GoParameters& go, Side side_to_move, std::int64_t received_ms);

// What "go" does before the search: the hash table allocated if there is none
// yet ("go" before any "uci"), the position key computed, the table emptied.
// False when the table cannot be had.
[[nodiscard]] bool prepare_search(Engine& engine);

// The search of "go": iterative deepening of the engine's position with its
// reports written as UCI lines. `received_ms`, the engine clock's reading when
// the line was read, is where a move time or clock ceiling counts from.
template <AllNodes T = AllNodes::Off>
DeepeningSummary run_search(Engine& engine, const GoParameters& parameters, std::int64_t received_ms);

}  // namespace vargul
