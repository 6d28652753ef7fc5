#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/root.h"
#include "search/score.h"
#include "support/board_helpers.h"
#include "support/search_helpers.h"

namespace vargul {

namespace {

int root_side_to_move(Move& best, Board& b, int depth, SearchState& state) {
    return for_side(b.side_to_move, [&]<Side S>() { return root_search<S>(best, b, depth, state); });
}

TEST(Root, NoLegalMoveMateOrStalemateWritesNothing) {
    struct Case {
        const char* fen;
        int score;
    };
    const Case cases[] = {
        {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", -1000000},
        {"r1bqkbnr/pppp1Qpp/2n5/4p3/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq - 0 4", 1000000},
        {"8/8/8/8/8/5k2/5p2/5K2 w - - 0 1", 0},
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 0},
    };
    for (const Case& c : cases) {
        for (int depth : {1, 3}) {
            Board board = board_from_fen(c.fen);
            SearchSetup setup;
            SearchState state = setup.state();
            state.pv.length = 9;
            const Move earlier = encode_move(kKnight, MoveKind::quiet, 11, 22, 0);
            Move best = earlier;
            EXPECT_EQ(root_side_to_move(best, board, depth, state), c.score) << c.fen;
            EXPECT_EQ(state.pv.length, 0);
            EXPECT_EQ(state.pv.score, c.score);
            EXPECT_EQ(best, earlier);
            EXPECT_TRUE(setup.reporter.events.empty()) << c.fen << ": " << setup.reporter.events.front();
        }
    }
}

TEST(Root, StopFlagOnEntryReturnsZeroAndTouchesNothing) {
    Board board = board_from_fen("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
    const Board before = board;
    SearchSetup setup;
    SearchState state = setup.state();
    state.stop.level = StopLevel::stop;
    Move best = 0;
    state.root_depth = 77;
    EXPECT_EQ(root_search<Side::White>(best, board, 2, state), 0);
    EXPECT_TRUE(setup.reporter.events.empty());
    EXPECT_EQ(state.root_depth, 77);
    EXPECT_EQ(setup.node_count, 0u);
    EXPECT_EQ(best, 0u);
    EXPECT_TRUE(same_board(before, board));
}

// A checking root move is searched one ply deeper, so a mate in one shows at depth 1.
TEST(Root, MateInOneSeenAtDepthOne) {
    struct Case {
        const char* fen;
        int score;
        const char* move;
    };
    const Case cases[] = {
        {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 999000, "a1a8"},
        {"r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", -999000, "a8a1"},
        {"6rk/6pp/8/6N1/8/8/8/6K1 w - - 0 1", 999000, "g5f7"},
    };
    for (const Case& c : cases) {
        Board board = board_from_fen(c.fen);
        SearchSetup setup;
        SearchState state = setup.state();
        Move best = 0;
        EXPECT_EQ(root_side_to_move(best, board, 1, state), c.score) << c.fen;
        ASSERT_EQ(state.pv.length, 1);
        EXPECT_EQ(move_string(state.pv.move[0]), c.move);
        EXPECT_EQ(state.pv.score, c.score);
        EXPECT_EQ(best, state.pv.move[0]);
        EXPECT_TRUE(setup.reporter.diagnostics.empty());
    }
}

// Every root search gives the position back exactly (null moves, en passant
// rights, castling, promotions and the key included) and agrees with itself.
TEST(Root, PositionRestoredAndResultsAgree) {
    const char* fens[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "rnbqkbnr/ppp2ppp/4p3/3pP3/3P4/8/PPP2PPP/RNBQKBNR b KQkq - 0 3",
        "rnbqkbnr/pppp1ppp/8/8/3Pp3/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 2",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "4k3/1P6/8/8/8/8/6p1/4K3 b - - 0 1",
    };
    for (const char* fen : fens) {
        Board board = board_from_fen(fen);
        const Board before = board;
        SearchSetup setup;
        SearchState state = setup.state();
        Move best = 0;
        for (int depth = 1; depth <= 4; ++depth) {
            setup.node_count = 0;
            const int r = root_side_to_move(best, board, depth, state);
            EXPECT_TRUE(same_board(before, board)) << fen << " depth " << depth;
            EXPECT_EQ(state.pv.score, r) << fen << " depth " << depth;
            ASSERT_GE(state.pv.length, 1) << fen;
            EXPECT_EQ(best, state.pv.move[0]) << fen;
            EXPECT_GT(setup.node_count, 0u);
        }
        EXPECT_TRUE(setup.reporter.diagnostics.empty()) << fen << ": " << setup.reporter.diagnostics.front();
    }
}

}  // namespace

}  // namespace vargul
