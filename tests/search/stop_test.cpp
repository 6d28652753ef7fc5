#include <gtest/gtest.h>

#include "search/stop.h"
#include "support/search_helpers.h"

namespace vargul {

namespace {

constexpr StopLevel running = StopLevel::running, stop = StopLevel::stop, abort_ = StopLevel::abort,
                    quit = StopLevel::quit;

// A level only rises; a leaf poll's "stop" leaves the capture search running,
// anything found away from the polls ends it too.
TEST(StopState, LevelsOnlyRise) {
    struct Case {
        StopLevel before;
        InputEvent event;
        bool at_leaf_poll;
        StopLevel after;
    };
    const Case cases[] = {
        {running, InputEvent::none, true, running}, {running, InputEvent::stop, true, stop},
        {running, InputEvent::quit, true, quit},    {abort_, InputEvent::stop, true, abort_},
        {quit, InputEvent::stop, true, quit},       {running, InputEvent::none, false, running},
        {running, InputEvent::stop, false, abort_}, {running, InputEvent::quit, false, quit},
        {stop, InputEvent::none, false, abort_},  // a leaf's "stop" seen again by the clock's look
        {quit, InputEvent::none, false, quit},
    };
    for (const Case& c : cases) {
        StopState s;
        s.level = c.before;
        if (c.at_leaf_poll)
            take_input(s, c.event);
        else
            abort_search(s, c.event);
        EXPECT_EQ(s.level, c.after) << static_cast<int>(c.before) << " " << static_cast<int>(c.event) << " "
                                    << c.at_leaf_poll;
    }
}

// The clock is read once in kClockCheckNodes nodes; past the deadline the
// search aborts, and after a long quiet spell the input gets a look.
TEST(StopState, ClockReadingsAbortPastTheDeadlineAndLookAtTheInput) {
    SearchSetup setup;
    const SearchContext run{setup.node_count, setup.tables, setup.reporter, setup.clock};
    StopState s;
    s.deadline = 100;
    setup.clock.now = 100;
    for (int n = 0; n < kClockCheckNodes; ++n) count_clock_node(s, run);
    EXPECT_EQ(setup.clock.readings, 1);
    EXPECT_EQ(s.level, running) << "a reading at the deadline is still in time";
    setup.clock.now = 101;
    for (int n = 0; n < kClockCheckNodes; ++n) count_clock_node(s, run);
    EXPECT_EQ(s.level, abort_);

    StopState looked;
    setup.reporter.inputs.push_back(InputEvent::stop);
    setup.clock.now = kInputFallbackMs - 1;
    check_clock(looked, run);
    EXPECT_EQ(looked.level, running) << "the input was looked at recently enough";
    setup.clock.now = kInputFallbackMs;
    check_clock(looked, run);
    EXPECT_EQ(looked.level, abort_);
    EXPECT_EQ(looked.last_input_check, kInputFallbackMs);
}

}  // namespace

}  // namespace vargul
