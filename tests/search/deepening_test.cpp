#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/move_text.h"
#include "position/make_move.h"
#include "search/deepening.h"
#include "search/search_constants.h"
#include "support/board_helpers.h"
#include "support/search_helpers.h"

namespace vargul {

namespace {

constexpr const char* kQueenless = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w KQkq - 0 1";
constexpr const char* kQueenlessBlack = "rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1";

// The events from the first poll on.
std::vector<std::string> after_first_poll(const RecordingReporter& reporter) {
    auto poll = std::find_if(reporter.events.begin(), reporter.events.end(),
                             [](const std::string& e) { return e.rfind("poll ", 0) == 0; });
    return {poll, reporter.events.end()};
}

// "stop" at the very first leaf, below the first root move: no root move of
// the first iteration was searched to the end, so there is no sound score or
// line to report; the best move is still that first move, so the GUI gets a
// legal answer, and no further iteration begins.
TEST(DeepeningStop, BeforeAnyResultAnswersWithoutAReport) {
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
        EXPECT_TRUE(r.iterations.empty()) << c.fen;
        EXPECT_TRUE(r.best_lines.empty()) << c.fen;
        EXPECT_EQ(r.best_moves, std::vector<std::string>{c.best}) << c.fen;
        EXPECT_EQ(r.events.front(), std::string("currmove ") + c.best + " 1 1") << c.fen;
        const std::vector<std::string> rest = after_first_poll(r);
        ASSERT_GE(rest.size(), 2u) << c.fen;
        EXPECT_EQ(rest.front(), "poll stop");
        EXPECT_EQ(rest.back(), std::string("bestmove ") + c.best);
        // Between the stop and the answer only root moves are announced, all as number 1.
        for (std::size_t i = 1; i + 1 < rest.size(); ++i) {
            EXPECT_EQ(rest[i].rfind("currmove ", 0), 0u) << rest[i];
            EXPECT_NE(rest[i].find(" 1 1"), std::string::npos) << rest[i];
        }
        EXPECT_TRUE(r.diagnostics.empty()) << c.fen;
        EXPECT_FALSE(summary.quit);
        EXPECT_EQ(std::string(move_text(summary.best).text), c.best);
        EXPECT_TRUE(same_board(before, board)) << c.fen;
    }
}

// Plays the line's moves (texts joined by blanks) from the position; false at
// the first one that is not a legal move there.
bool legal_line(Board board, const std::string& line) {
    std::size_t at = 0;
    while (at < line.size()) {
        std::size_t blank = line.find(' ', at);
        if (blank == std::string::npos) blank = line.size();
        const std::string text = line.substr(at, blank - at);
        at = blank + 1;
        const MoveList list = all_moves(board);
        const int index = find_move(list, text.c_str());
        if (index < 0) return false;
        play_move(board, list.move[index]);
        // The side that moved must not have left its king attacked.
        if (for_side(opposite(board.side_to_move), [&]<Side S>() { return king_attacked<S>(board) != 0; }))
            return false;
    }
    return true;
}

// "stop" read at every leaf count in turn, wherever it falls: the last report
// is a result the root had established (the last iteration's, or the stored
// best of the one cut short, as its best-line report gave it), its line is
// legal, and the answer is that line's first move.
TEST(DeepeningStop, ReportShowsOnlyAnEstablishedResult) {
    const char* const fens[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 b - - 0 10",
    };
    int cut_short = 0;
    for (const char* fen : fens) {
        for (int leaf = 1; leaf < 4000; leaf += 53) {
            Board board = board_from_fen(fen);
            SearchSetup setup;
            setup.tables.poll_counter = kPollInterval + 1 - leaf;
            setup.reporter.inputs = {InputEvent::stop};
            iterative_deepening(board, {9, -1.0}, no_recent_moves(),
                                {setup.node_count, setup.tables, setup.reporter, setup.clock});
            const RecordingReporter& r = setup.reporter;
            const std::string where = std::string(fen) + " leaf " + std::to_string(leaf);
            ASSERT_EQ(r.polls, 1) << where;
            ASSERT_EQ(r.best_moves.size(), 1u) << where;
            EXPECT_NE(r.best_moves[0], "0000") << where;
            if (r.iterations.empty()) continue;  // stopped before the first result: nothing to show
            const RecordingReporter::Iteration& last = r.iterations.back();

            // The best-line report of the last root move stored before the stop.
            const RecordingReporter::BestLine* stored = nullptr;
            for (const auto& line : r.best_lines)
                if (line.depth == last.depth) stored = &line;
            const bool repeated = r.iterations.size() >= 2 && r.iterations[r.iterations.size() - 2].depth == last.depth;
            if (repeated) {
                const RecordingReporter::Iteration& before = r.iterations[r.iterations.size() - 2];
                EXPECT_EQ(last.score, before.score) << where;
                EXPECT_EQ(last.pv, before.pv) << where;
                ++cut_short;
            } else {
                ASSERT_NE(stored, nullptr) << where;
                EXPECT_EQ(last.score, board.side_to_move == Side::White ? stored->value : -stored->value) << where;
                EXPECT_EQ(last.pv, stored->pv) << where;
            }
            EXPECT_TRUE(legal_line(board, last.pv)) << where << ": " << last.pv;
            EXPECT_EQ(last.pv.substr(0, last.pv.find(' ')), r.best_moves[0]) << where;
            EXPECT_TRUE(r.diagnostics.empty()) << where;
        }
    }
    EXPECT_GT(cut_short, 0) << "some stops should fall before an iteration's first result";
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

}  // namespace vargul
