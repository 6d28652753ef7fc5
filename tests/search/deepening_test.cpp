#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board/move_text.h"
#include "search/deepening.h"
#include "search/search_constants.h"
#include "support/board_helpers.h"
#include "support/search_helpers.h"

namespace {

constexpr const char* kQueenless = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w KQkq - 0 1";
constexpr const char* kQueenlessBlack = "rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1";

// The events from the first poll on.
std::vector<std::string> after_first_poll(const RecordingReporter& reporter) {
    auto poll = std::find_if(reporter.events.begin(), reporter.events.end(),
                             [](const std::string& e) { return e.rfind("poll ", 0) == 0; });
    return {poll, reporter.events.end()};
}

// "stop" at the very first leaf, below the first root move: the iteration
// under way still reports, naming that move, and the best move follows; no
// further iteration begins and no best line is reported after the stop.
TEST(DeepeningStop, InterruptedIterationReportsAndAnswers) {
    struct Case {
        const char* fen;
        const char* best;
    };
    const Case cases[] = {
        {kQueenless, "e1d1"},
        {kQueenlessBlack, "e8d8"},
    };
    for (const Case& c : cases) {
        Board board = board_from_fen(c.fen);
        const Board before = board;
        SearchSetup setup;
        setup.tables.poll_counter = kPollInterval + 1;  // the first leaf polls
        setup.reporter.inputs = {InputEvent::stop};
        const DeepeningSummary summary = iterative_deepening(
            board, {5, -1.0}, no_recent_moves(), {setup.node_count, setup.tables, setup.reporter, setup.clock});
        const RecordingReporter& r = setup.reporter;

        EXPECT_EQ(r.polls, 1) << c.fen;
        ASSERT_EQ(r.iterations.size(), 1u) << c.fen;
        EXPECT_EQ(r.iterations[0].depth, 1);
        EXPECT_EQ(r.iterations[0].pv, c.best) << c.fen;
        EXPECT_EQ(r.best_moves, std::vector<std::string>{c.best}) << c.fen;
        EXPECT_EQ(r.events.front(), std::string("currmove ") + c.best + " 1 1") << c.fen;
        const std::vector<std::string> rest = after_first_poll(r);
        ASSERT_GE(rest.size(), 3u) << c.fen;
        EXPECT_EQ(rest.front(), "poll stop");
        EXPECT_EQ(rest.back(), std::string("bestmove ") + c.best);
        EXPECT_EQ(rest[rest.size() - 2].rfind("iteration 1 ", 0), 0u) << rest[rest.size() - 2];
        // Between the stop and the report only root moves are announced, all as number 1.
        for (std::size_t i = 1; i + 2 < rest.size(); ++i) {
            EXPECT_EQ(rest[i].rfind("currmove ", 0), 0u) << rest[i];
            EXPECT_NE(rest[i].find(" 1 1"), std::string::npos) << rest[i];
        }
        EXPECT_TRUE(r.diagnostics.empty()) << c.fen;
        EXPECT_FALSE(summary.quit);
        EXPECT_EQ(summary.iterations, 1);
        EXPECT_EQ(std::string(move_text(summary.best.from, summary.best.to, summary.best.kind).text), c.best);
        EXPECT_TRUE(same_board(before, board)) << c.fen;
    }
}

// "quit" unwinds the search at once: nothing at all is reported after it, not
// even the best move, and the position is given back as it was.
TEST(DeepeningQuit, NothingReportedAfterTheQuit) {
    struct Case {
        const char* fen;
        int polls_before;
    };
    const Case cases[] = {
        {kQueenless, 0},
        {kQueenlessBlack, 0},
        // Later in the search: the second poll, in a deeper iteration.
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 1},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq - 0 1", 1},
    };
    for (const Case& c : cases) {
        Board board = board_from_fen(c.fen);
        const Board before = board;
        SearchSetup setup;
        setup.tables.poll_counter = kPollInterval + 1;
        for (int i = 0; i < c.polls_before; ++i) setup.reporter.inputs.push_back(InputEvent::none);
        setup.reporter.inputs.push_back(InputEvent::quit);
        const DeepeningSummary summary = iterative_deepening(
            board, {8, -1.0}, no_recent_moves(), {setup.node_count, setup.tables, setup.reporter, setup.clock});
        const RecordingReporter& r = setup.reporter;

        ASSERT_EQ(r.polls, c.polls_before + 1) << c.fen << ": the search ended before the quit was read";
        EXPECT_EQ(r.events.back(), "poll quit") << c.fen;
        EXPECT_TRUE(r.best_moves.empty()) << c.fen;
        EXPECT_TRUE(r.diagnostics.empty()) << c.fen;
        EXPECT_TRUE(summary.quit) << c.fen;
        EXPECT_EQ(summary.iterations, static_cast<int>(r.iterations.size())) << c.fen;
        EXPECT_TRUE(same_board(before, board)) << c.fen;
    }
}

}  // namespace
