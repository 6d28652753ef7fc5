// The time ceiling and the input fallback, driven by a fake clock so that no
// test sleeps: a deadline ends the search as "stop" would, capture search
// included; a deadline that never passes changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "search/deepening.h"
#include "search/search_constants.h"
#include "support/board_helpers.h"
#include "support/search_helpers.h"

namespace vargul {

namespace {

struct SearchRun {
    DeepeningSummary summary;
    Board board_before;
    Board board_after;
};

// A deep search of the position with a huge per-iteration budget, so only a
// deadline or the input can end it early. The leaf poll starts far from its
// next turn, so every look at the input here is the fallback's.
SearchRun search_with(const char* fen, std::int64_t deadline, SearchSetup& setup, int max_depth = 20) {
    SearchRun run{};
    run.board_before = board_from_fen(fen);
    run.board_after = run.board_before;
    setup.clock.now = 1000;
    const SearchLimits limits{max_depth, 1e9, deadline};
    run.summary = iterative_deepening<AllNodes::On>(run.board_after, limits, no_recent_moves(),
                                                    {setup.node_count, setup.tables, setup.reporter, setup.clock});
    return run;
}

bool ends_with_iteration_then_best_move(const std::vector<std::string>& events) {
    const std::size_t n = events.size();
    return n >= 2 && events[n - 2].rfind("iteration ", 0) == 0 && events[n - 1].rfind("bestmove ", 0) == 0;
}

// Cut short inside the first iteration, before any root move was searched to
// the end: no score or line is sound, so none is reported, but a move is given.
bool answers_without_a_report(const std::vector<std::string>& events) {
    for (const std::string& e : events)
        if (e.rfind("iteration ", 0) == 0) return false;
    return !events.empty() && events.back().rfind("bestmove ", 0) == 0 && events.back() != "bestmove 0000";
}

// Queens for both sides on every promotion square: the capture search below
// a single leaf runs for minutes.
constexpr const char* kExplosive = "8/PPPPPPPP/8/2k5/8/8/pppppppp/4K3 w - - 0 1";
constexpr const char* kMiddlegame = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

TEST(SearchDeadline, AnUnreachedDeadlineChangesNothing) {
    SearchSetup free_setup, bound_setup;
    free_setup.clock.step = bound_setup.clock.step = 1;
    const SearchRun a = search_with(kMiddlegame, kNoDeadline, free_setup, 5);
    const SearchRun b = search_with(kMiddlegame, 1000000000, bound_setup, 5);
    EXPECT_EQ(a.summary.nodes_summed, b.summary.nodes_summed);
    EXPECT_EQ(a.summary.all_nodes, b.summary.all_nodes);
    EXPECT_EQ(free_setup.reporter.events, bound_setup.reporter.events);
}

TEST(SearchDeadline, PassingItEndsTheSearchAsStopDoes) {
    SearchSetup setup;
    setup.clock.step = 1;
    // The deadline passes at the first clock reading inside the search.
    const SearchRun run = search_with(kMiddlegame, 1000, setup, 7);
    const RecordingReporter& r = setup.reporter;
    ASSERT_FALSE(r.iterations.empty());
    EXPECT_LT(r.iterations.back().depth, 7);
    // The interrupted iteration is reported, then the best move, and nothing else starts.
    EXPECT_TRUE(ends_with_iteration_then_best_move(r.events));
    EXPECT_NE(run.summary.best, 0u);
    EXPECT_TRUE(r.diagnostics.empty());
    EXPECT_EQ(0, std::memcmp(&run.board_before, &run.board_after, sizeof(Board)));
}

TEST(SearchDeadline, EndsTheCaptureSearchToo) {
    SearchSetup setup;
    setup.clock.step = 1;
    const SearchRun run = search_with(kExplosive, 1010, setup);
    // A few clock readings' worth of nodes, not the minutes this position takes.
    EXPECT_LT(run.summary.all_nodes, std::uint64_t{20} * kClockCheckNodes);
    EXPECT_TRUE(answers_without_a_report(setup.reporter.events));
    EXPECT_EQ(0, std::memcmp(&run.board_before, &run.board_after, sizeof(Board)));
}

TEST(InputFallback, LooksAtTheInputWhenNoPollCameForLong) {
    // Time runs fast: every clock reading is a quarter of a second on.
    SearchSetup setup;
    setup.clock.step = kInputFallbackMs;
    setup.reporter.inputs = {InputEvent::stop};
    const SearchRun run = search_with(kExplosive, kNoDeadline, setup);
    EXPECT_GE(setup.reporter.polls, 1);
    EXPECT_LT(run.summary.all_nodes, std::uint64_t{20} * kClockCheckNodes);
    EXPECT_TRUE(answers_without_a_report(setup.reporter.events));

    SearchSetup quitting;
    quitting.clock.step = kInputFallbackMs;
    quitting.reporter.inputs = {InputEvent::quit};
    const SearchRun quit_run = search_with(kExplosive, kNoDeadline, quitting);
    EXPECT_TRUE(quit_run.summary.quit);
    // Nothing is reported after the poll that read "quit".
    ASSERT_FALSE(quitting.reporter.events.empty());
    EXPECT_EQ(quitting.reporter.events.back(), "poll quit");
    EXPECT_EQ(0, std::memcmp(&quit_run.board_before, &quit_run.board_after, sizeof(Board)));
}

TEST(InputFallback, StaysQuietWhileTimeStandsStill) {
    SearchSetup setup;
    setup.reporter.inputs = {InputEvent::stop};
    search_with(kMiddlegame, kNoDeadline, setup, 4);
    EXPECT_EQ(setup.reporter.polls, 0);
    EXPECT_EQ(setup.reporter.iterations.size(), 4u);
}

}  // namespace

}  // namespace vargul
