#pragma once

#include <cstdint>

#include "board/move.h"
#include "platform/clock.h"
#include "search/limits.h"
#include "search/pv_line.h"
#include "search/recent_moves.h"
#include "search/reporter.h"
#include "search/search_constants.h"
#include "search/search_tables.h"

namespace vargul {

// Everything a search runs with besides the position and its limits, all of
// it owned by the run: it outlives the search.
struct SearchContext {
    std::uint64_t& node_count;
    SearchTables& tables;
    SearchReporter& reporter;
    Clock& clock;
};

// What one "go" shares with every node of its search: the run's context and
// the state of this "go" alone. The driver builds it zeroed at every "go";
// nodes never clear `line` or `pv`, and copies move only `length` entries, so
// entries past a line's length keep older values that deeper searches may read.
struct SearchState : SearchContext {
    Move line[kMaxPly];  // line[p]: the move played at ply p on the path being searched
    PvLine pv;           // the line that belongs to the result just returned
    RecentMoves recent_moves;
    std::int32_t stop_flag = 0;  // 1 once "stop" is read: every main search returns 0 on entry
    // The capture search returns at once too: set when the deadline passes, on
    // a "stop" read outside the leaf polls, and on "quit". A "stop" read by a
    // leaf poll leaves it alone, so such a search ends exactly as it always has.
    bool abort = false;
    bool quit = false;  // "quit" read: unwind and write nothing more
    // Set by the root: a root move of its iteration was searched to the end
    // and stored, so the iteration's score and line are sound even if "stop"
    // then cut it short.
    bool iteration_has_result = false;
    std::int32_t root_depth = 0;  // depth of the iteration under way; the check extension and hash_store read it
    std::int64_t deadline = kNoDeadline;              // clock reading past which the search stops
    std::int64_t last_input_check = 0;                // clock reading of the last look at the input
    std::int32_t clock_countdown = kClockCheckNodes;  // nodes until the next clock reading
    std::uint64_t tallied_nodes = 0;                  // every node, for the bench's Tally::On searches
};

// Acts on what a leaf poll found.
inline void take_input(SearchState& state, InputEvent event) {
    if (event == InputEvent::stop) state.stop_flag = 1;
    if (event == InputEvent::quit) {
        state.stop_flag = 1;
        state.abort = true;
        state.quit = true;
    }
}

// A "stop" or "quit" found away from the leaf polls, or the deadline passing:
// the search ends as after "stop", the capture search included.
inline void abort_search(SearchState& state, InputEvent event) {
    take_input(state, event);
    if (state.stop_flag == 1) state.abort = true;
}

// Reads the clock: stops the search past its deadline, and looks at the input
// when no look has come for a long time. Out of line: it runs once in
// thousands of nodes.
void check_clock(SearchState& state);

// Counts one main-search or capture-search node toward the next clock reading.
inline void count_clock_node(SearchState& state) {
    if (--state.clock_countdown <= 0) check_clock(state);
}

}  // namespace vargul
