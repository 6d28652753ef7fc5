#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "position/evaluate.h"
#include "search/leaf.h"
#include "search/quiesce.h"
#include "search/recent_moves.h"
#include "search/score.h"
#include "search/search_state.h"
#include "support/board_helpers.h"
#include "support/search_helpers.h"
#include "uci/set_position.h"

namespace vargul {

namespace {

constexpr Move kSentinel = 0x7777;

// A search path of distinct moves and a pv full of marks, to see what a routine writes.
void mark_path(SearchState& state) {
    for (int i = 0; i < kMaxPly; ++i) state.line[i] = encode_move(kPawn, MoveKind::quiet, i % 64, (i + 8) % 64, 0);
    std::fill(std::begin(state.pv.move), std::end(state.pv.move), kSentinel);
    state.pv.score = 12345;
    state.pv.length = 77;
}

int static_score(const Board& b) { return evaluate(b) + b.material_balance; }

int quiesce_side_to_move(Board& b, int alpha, int beta, int ply, SearchState& state) {
    return for_side(b.side_to_move, [&]<Side S>() { return quiesce<S>(b, alpha, beta, ply, state); });
}

TEST(Quiesce, StandPatReachingTheFarBoundReturnsAtOnce) {
    for (const char* fen : {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "4k3/8/8/3p4/4P3/8/8/4K3 b - - 0 1"}) {
        Board board = board_from_fen(fen);
        const Board before = board;
        const int stand = static_score(board);
        SearchSetup setup;
        SearchState state = setup.state();
        mark_path(state);
        // White's far bound is beta, Black's is alpha; the stand pat sits exactly on it.
        const int r = board.side_to_move == Side::White ? quiesce_side_to_move(board, stand - 50, stand, 3, state)
                                                        : quiesce_side_to_move(board, stand, stand + 50, 3, state);
        EXPECT_EQ(r, stand) << fen;
        EXPECT_EQ(state.pv.length, 77) << fen;
        EXPECT_EQ(state.pv.score, 12345) << fen;
        EXPECT_TRUE(same_board(before, board)) << fen;
    }
}

TEST(Quiesce, KingCaptureEndsTheLineBeforeTheCapture) {
    struct Case {
        const char* fen;
        int score;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/8/4RK2 w - - 0 1", 993000},
        {"4k3/8/8/8/8/8/8/4K2r b - - 0 1", -993000},
    };
    for (const Case& c : cases) {
        Board board = board_from_fen(c.fen);
        const Board before = board;
        SearchSetup setup;
        SearchState state = setup.state();
        mark_path(state);
        EXPECT_EQ(quiesce_side_to_move(board, -kOpenBound, kOpenBound, 7, state), c.score) << c.fen;
        EXPECT_EQ(state.pv.score, c.score);
        ASSERT_EQ(state.pv.length, 7);
        EXPECT_TRUE(std::equal(state.line, state.line + 7, state.pv.move));
        EXPECT_EQ(move_captured(state.line[7]), kKing);
        EXPECT_TRUE(same_board(before, board)) << c.fen;
    }
}

// The side to move has one capture, of an undefended victim; it is searched
// only while the stand pat lies no further than the victim's margin below the
// bound. Searched, the capture gains material, so the result leaves the stand pat.
TEST(Quiesce, SmallVictimsDropOutBeyondTheirMargins) {
    struct Case {
        const char* fen;
        int margin;
        bool searched;
    };
    const Case cases[] = {
        {"7k/8/8/p7/8/8/8/R6K w - - 0 1", 390, true},   {"7k/8/8/p7/8/8/8/R6K w - - 0 1", 391, false},
        {"7k/8/8/n7/8/8/8/R6K w - - 0 1", 400, true},   {"7k/8/8/n7/8/8/8/R6K w - - 0 1", 590, true},
        {"7k/8/8/n7/8/8/8/R6K w - - 0 1", 591, false},  {"7k/8/8/b7/8/8/8/R6K w - - 0 1", 590, true},
        {"7k/8/8/b7/8/8/8/R6K w - - 0 1", 591, false},  {"7k/8/8/r7/8/8/8/R6K w - - 0 1", 1090, true},
        {"7k/8/8/r7/8/8/8/R6K w - - 0 1", 1091, false}, {"7k/8/8/q7/8/8/8/R6K w - - 0 1", 5000, true},
        {"r6k/8/8/8/P7/8/8/7K b - - 0 1", 390, true},   {"r6k/8/8/8/P7/8/8/7K b - - 0 1", 391, false},
        {"r6k/8/8/8/R7/8/8/7K b - - 0 1", 1091, false}, {"r6k/8/8/8/Q7/8/8/7K b - - 0 1", 5000, true},
    };
    for (const Case& c : cases) {
        Board board = board_from_fen(c.fen);
        const Board before = board;
        const int stand = static_score(board);
        SearchSetup setup;
        SearchState state = setup.state();
        mark_path(state);
        const int r = board.side_to_move == Side::White
                          ? quiesce_side_to_move(board, stand + c.margin, kOpenBound, 2, state)
                          : quiesce_side_to_move(board, -kOpenBound, stand - c.margin, 2, state);
        EXPECT_EQ(r != stand, c.searched) << c.fen << " margin " << c.margin;
        // The occupancy thinned for the generator is whole again.
        EXPECT_TRUE(same_board(before, board)) << c.fen;
    }
}

TEST(Quiesce, StandsPatAtTheLastPlyOfTheLine) {
    Board board = board_from_fen("7k/8/8/p7/8/8/8/R6K w - - 0 1");
    const int stand = static_score(board);
    SearchSetup setup;
    SearchState state = setup.state();
    mark_path(state);
    EXPECT_EQ(quiesce<Side::White>(board, -kOpenBound, kOpenBound, kMaxPly, state), stand);
    EXPECT_EQ(state.pv.length, kMaxPly);
    EXPECT_TRUE(std::equal(state.line, state.line + kMaxPly, state.pv.move));

    // One ply earlier the capture is still made, and the reply stands pat.
    SearchState earlier = setup.state();
    mark_path(earlier);
    const int r = quiesce<Side::White>(board, -kOpenBound, kOpenBound, kMaxPly - 1, earlier);
    EXPECT_GT(r, stand + 50);
    EXPECT_EQ(earlier.pv.length, kMaxPly);
    EXPECT_EQ(earlier.pv.score, r);
    EXPECT_EQ(move_string(earlier.pv.move[kMaxPly - 1]), "a1a5");
}

TEST(Leaf, RootMoveRepeatingTheGameScoresADraw) {
    struct Case {
        const char* game_moves;
        const char* root_move;
        bool draw;
    };
    const Case cases[] = {
        {"g1f3 b8c6 f3g1 c6b8", "g1f3", true},
        {"e2e4 e7e5 g1f3 b8c6 f3g1 c6b8", "g1f3", true},  // only the last four count
        {"g1f3 b8c6 f3g1 c6b8", "g1h3", false},
        {"g1f3 b8c6 f3g1 c6b8", "e2e4", false},
        {"g1f3 b8c6 f3g1 c6a5", "g1f3", false},  // Black's knight did not come back
        {"g1f3 b8c6 f3h4 c6b8", "g1f3", false},  // nor White's
        {"", "a1a1", false},                     // the defaults never match
    };
    // Black to move at the leaf, in a position whose quiet score is not 0.
    Board start{};
    ASSERT_EQ(set_position("position startpos moves e2e4", start), 0);
    for (const Case& c : cases) {
        SearchSetup setup;
        SearchState state = setup.state(read_recent_moves(c.game_moves));
        const int from = (c.root_move[0] - 'a') + 8 * (c.root_move[1] - '1');
        const int to = (c.root_move[2] - 'a') + 8 * (c.root_move[3] - '1');
        state.line[0] = encode_move(kKnight, MoveKind::quiet, from, to, 0);
        state.line[1] = encode_move(kPawn, MoveKind::quiet, 52, 36, 0);

        Board quiet_board = start;
        SearchState quiet_state = setup.state();
        std::copy(std::begin(state.line), std::end(state.line), quiet_state.line);
        const int quiet_score = quiesce<Side::Black>(quiet_board, -kOpenBound, kOpenBound, 2, quiet_state);
        ASSERT_NE(quiet_score, 0);

        Board board = start;
        const int r = leaf<Side::Black>(board, -kOpenBound, kOpenBound, 2, state);
        EXPECT_EQ(r, c.draw ? 0 : quiet_score) << c.game_moves << " / " << c.root_move;
        if (c.draw) {
            EXPECT_EQ(state.pv.score, 0);
            EXPECT_EQ(state.pv.length, 2);
            EXPECT_TRUE(std::equal(state.line, state.line + 2, state.pv.move));
        }
    }
}

// The game went there and back: White A->B, Black C->D, White B->A, Black
// D->C; the root move A->B plays its first move again. Each square comparison
// broken on its own must spoil the repetition.
TEST(Leaf, RepetitionNeedsEverySquareToMatch) {
    constexpr int A = 6, B = 21, C = 57, D = 42, elsewhere = 35;  // g1 f3 b8 c6, d5
    struct Case {
        const char* name;
        int game[4][2];
        int root[2];
        bool repeats;
    };
    const Case cases[] = {
        {"there and back", {{A, B}, {C, D}, {B, A}, {D, C}}, {A, B}, true},
        {"White's first move came from elsewhere", {{elsewhere, B}, {C, D}, {B, A}, {D, C}}, {A, B}, false},
        {"White's first move went elsewhere", {{A, elsewhere}, {C, D}, {B, A}, {D, C}}, {A, B}, false},
        {"Black's first move came from elsewhere", {{A, B}, {elsewhere, D}, {B, A}, {D, C}}, {A, B}, false},
        {"Black's first move went elsewhere", {{A, B}, {C, elsewhere}, {B, A}, {D, C}}, {A, B}, false},
        {"the root move starts elsewhere", {{A, B}, {C, D}, {B, A}, {D, C}}, {elsewhere, B}, false},
        {"the root move ends elsewhere", {{A, B}, {C, D}, {B, A}, {D, C}}, {A, elsewhere}, false},
    };
    for (const Case& c : cases) {
        RecentMoves game = no_recent_moves();
        for (int k = 0; k < 4; ++k) {
            game.from_square[k] = c.game[k][0];
            game.to_square[k] = c.game[k][1];
        }
        EXPECT_EQ(repeats_game(game, encode_move(kKnight, MoveKind::quiet, c.root[0], c.root[1], 0)), c.repeats)
            << c.name;
    }
}

}  // namespace

}  // namespace vargul
