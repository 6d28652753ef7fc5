#pragma once

#include <cstdint>

#include "board/move.h"
#include "platform/clock.h"
#include "search/pv_line.h"
#include "search/recent_moves.h"
#include "search/reporter.h"
#include "search/search_tables.h"

// What one "go" shares with every node of its search. The driver builds it
// zeroed at every "go"; nodes never clear `line` or `pv`, and copies move only
// `length` entries, so entries past a line's length keep older values that
// deeper searches may read.
struct SearchState {
    std::uint64_t& node_count;  // owned by the run: it outlives the search
    SearchTables& tables;
    SearchReporter& reporter;
    Clock& clock;
    Move line[kMaxPly];  // line[p]: the move played at ply p on the path being searched
    PvLine pv;           // the line that belongs to the result just returned
    RecentMoves recent_moves;
    std::int32_t stop_flag = 0;  // 1 once "stop" is read: every main search returns 0 on entry
    bool abort = false;          // the capture search returns at once too (after "quit")
    bool quit = false;           // "quit" read: unwind and write nothing more
    std::uint64_t tallied_nodes = 0;  // every node, for the bench's Tally::On searches
};

// Acts on what a look at the input found.
inline void take_input(SearchState& state, InputEvent event) {
    if (event == InputEvent::stop) state.stop_flag = 1;
    if (event == InputEvent::quit) {
        state.stop_flag = 1;
        state.abort = true;
        state.quit = true;
    }
}
