#pragma once

#include <cstdint>

#include "search/limits.h"
#include "search/reporter.h"
#include "search/search_constants.h"
#include "search/search_context.h"

namespace vargul {

// Why a search is ending, in rising order: each level ends all that the one
// before it ends.
enum class StopLevel : std::uint8_t {
    running,
    // "stop" read by a leaf poll: every main search and the root return at
    // once, while the capture search under way runs to its end, so that such
    // a search ends on the same nodes wherever it runs.
    stop,
    // The deadline passed, or "stop" was found away from the leaf polls: the
    // capture search returns at once too, since a leaf poll may be minutes away.
    abort,
    // "quit": as abort, and nothing more is written.
    quit,
};

// The one owner of a search's end: why it ends, when the clock says it must,
// and when the input was last looked at. Built fresh at every "go".
struct StopState {
    StopLevel level = StopLevel::running;
    std::int64_t deadline = kNoDeadline;              // clock reading past which the search aborts
    std::int64_t last_input_check = 0;                // clock reading of the last look at the input
    std::int32_t clock_countdown = kClockCheckNodes;  // nodes until the next clock reading
};

// The question every search asks on entry: has the search reached `level`?
// The main search and the root return at StopLevel::stop, the capture search
// at StopLevel::abort; the driver writes nothing more at StopLevel::quit.
inline bool stopping(const StopState& stop, StopLevel level = StopLevel::stop) { return stop.level >= level; }

// Acts on what a leaf poll found.
inline void take_input(StopState& stop, InputEvent event) {
    if (event == InputEvent::stop && stop.level < StopLevel::stop) stop.level = StopLevel::stop;
    if (event == InputEvent::quit) stop.level = StopLevel::quit;
}

// A "stop" or "quit" found away from the leaf polls, or the deadline passing:
// the search ends as after "stop", the capture search included.
inline void abort_search(StopState& stop, InputEvent event) {
    take_input(stop, event);
    if (stop.level == StopLevel::stop) stop.level = StopLevel::abort;
}

// Reads the clock: aborts the search past its deadline, and looks at the
// input when no look has come for a long time. Out of line: it runs once in
// thousands of nodes.
void check_clock(StopState& stop, const SearchContext& run);

// Counts one main-search or capture-search node toward the next clock reading.
inline void count_clock_node(StopState& stop, const SearchContext& run) {
    if (--stop.clock_countdown <= 0) check_clock(stop, run);
}

// Called at every leaf; every 50,001st call looks at the input. The count
// lives in the run's tables: it runs on from one search to the next.
inline void poll_input(StopState& stop, const SearchContext& run) {
    std::int32_t& counter = run.tables.poll_counter;
    if (counter > kPollInterval) {
        take_input(stop, run.reporter.check_input());
        stop.last_input_check = run.clock.milliseconds();
        counter = 1;
    } else {
        ++counter;
    }
}

}  // namespace vargul
