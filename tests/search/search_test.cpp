#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "search/move_picker.h"
#include "search/score.h"
#include "search/search.h"
#include "search/search_constants.h"
#include "support/board_helpers.h"
#include "support/search_helpers.h"

namespace vargul {

namespace {

NodeContext plain_node(int ply, int depth) {
    return {.in_check = false,
            .depth = depth,
            .ply = ply,
            .prev_kind = MoveKind::quiet,
            .sub_search = false,
            .parent_index = 0,
            .in_deepening = false};
}

int search_side_to_move(Board& b, SearchState& state, int alpha, int beta, const NodeContext& node) {
    return for_side(b.side_to_move, [&]<Side S>() { return search<S>(b, state, alpha, beta, node); });
}

TEST(Search, NodeWithoutLegalMoveScoresMateOrStalemate) {
    struct Case {
        const char* fen;
        bool in_check;
        int score;
    };
    const Case cases[] = {
        {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", true, -997000},
        {"r1bqkbnr/pppp1Qpp/2n5/4p3/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq - 0 4", true, 997000},
        {"8/8/8/8/8/5k2/5p2/5K2 w - - 0 1", false, 0},
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", false, 0},
    };
    for (const Case& c : cases) {
        Board board = board_from_fen(c.fen);
        SearchSetup setup;
        SearchState state = setup.state();
        for (int i = 0; i < kMaxPly; ++i) state.line[i] = encode_move(kPawn, MoveKind::quiet, i % 64, 63 - i % 64, 0);
        NodeContext node = plain_node(3, 3);
        node.in_check = c.in_check;
        EXPECT_EQ(search_side_to_move(board, state, -kOpenBound, kOpenBound, node), c.score) << c.fen;
        EXPECT_EQ(state.pv.score, c.score);
        ASSERT_EQ(state.pv.length, 3);
        EXPECT_TRUE(std::equal(state.line, state.line + 3, state.pv.move));
        EXPECT_EQ(setup.node_count, 0u);
    }
}

TEST(Search, StopFlagReturnsZeroBeforeAnythingElse) {
    Board board = board_from_fen("r1bqkbnr/pppp1Qpp/2n5/4p3/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq - 0 4");
    const Board before = board;
    SearchSetup setup;
    setup.node_count = 17;
    SearchState state = setup.state();
    state.stop.level = StopLevel::stop;
    state.pv.length = 5;
    state.pv.score = 42;
    setup.tables.poll_counter = kPollInterval + 1;
    EXPECT_EQ(search<Side::Black>(board, state, -kOpenBound, kOpenBound, plain_node(3, 3)), 0);
    EXPECT_EQ(search<Side::White>(board, state, -kOpenBound, kOpenBound, plain_node(0, 0)), 0);  // not even the leaf
    EXPECT_EQ(setup.node_count, 17u);
    EXPECT_EQ(setup.reporter.polls, 0);
    EXPECT_EQ(state.pv.length, 5);
    EXPECT_EQ(state.pv.score, 42);
    EXPECT_TRUE(same_board(before, board));
}

// With a window the first legal move is bound to reach, the node cuts off on
// its first move. Only a cut by a plain capture leaves killers and history alone.
TEST(Search, CutOffUpdatesKillersAndHistoryUnlessByPlainCapture) {
    struct Case {
        const char* fen;
        const char* cutting_move;
        bool remembered;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/3p4/8/3RK3 w - - 0 1", "d1d3", false},   // capture
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", true},   // en passant
        {"8/P7/6k1/8/8/8/8/4K3 w - - 0 1", "a7a8q", true},     // promotion
        {"4k3/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", true},      // castling
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "e1d1", true},       // quiet
        {"4k2r/8/8/8/8/8/8/4K3 b k - 0 1", "e8g8", true},      // Black's castling
        {"4k3/8/8/3r4/8/3P4/8/6K1 b - - 0 1", "d5d3", false},  // Black's capture
    };
    constexpr int kPly = 5;
    const Move older_killer = encode_move(kKnight, MoveKind::quiet, 1, 18, 0);
    for (const Case& c : cases) {
        SearchSetup setup;
        Killers& killers = setup.tables.killers;
        killers.killer_1[kPly] = older_killer;
        Board board = board_from_fen(c.fen);
        SearchState state = setup.state();
        state.root_depth = 1;
        const bool white = board.side_to_move == Side::White;
        const int r = white ? search<Side::White>(board, state, -kOpenBound, -kOpenBound + 1, plain_node(kPly, 1))
                            : search<Side::Black>(board, state, kOpenBound - 1, kOpenBound, plain_node(kPly, 1));
        EXPECT_TRUE(white ? r >= -kOpenBound + 1 : r <= kOpenBound - 1) << c.fen;
        EXPECT_EQ(setup.node_count, 1u) << c.fen;  // the first legal move cut (none gives check)
        EXPECT_EQ(move_string(state.line[kPly]), c.cutting_move) << c.fen;
        const Move m = state.line[kPly];
        const std::int32_t count = setup.tables.history.count[move_from(m)][move_to(m)];
        if (c.remembered) {
            EXPECT_EQ(killers.killer_1[kPly], m) << c.fen;
            EXPECT_EQ(killers.killer_2[kPly], older_killer) << c.fen;
            EXPECT_EQ(count, 1) << c.fen;
        } else {
            EXPECT_EQ(killers.killer_1[kPly], older_killer) << c.fen;
            EXPECT_EQ(killers.killer_2[kPly], Move{0}) << c.fen;
            EXPECT_EQ(count, 0) << c.fen;
        }
    }
}

// Ra8 mates one ply before the leaves; the mate is seen only when the check
// extension lets the mated side's node be searched, which stops once the path
// runs 10 plies past the iteration's depth.
TEST(Search, CheckExtensionStopsTenPliesPastTheRootDepth) {
    struct Case {
        int root_depth;
        bool mate_seen;
    };
    const Case cases[] = {{4, true}, {3, false}, {12, true}, {-20, false}};
    constexpr int kPly = 12;
    for (const Case& c : cases) {
        SearchSetup setup;
        Board board = board_from_fen("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
        SearchState state = setup.state();
        state.root_depth = c.root_depth;
        const int r = search<Side::White>(board, state, -kOpenBound, kOpenBound, plain_node(kPly, 1));
        EXPECT_EQ(r == win_score<Side::White>(kPly + 1), c.mate_seen) << "root depth " << c.root_depth << ": " << r;
    }
}

TEST(LateMoveThreshold, ScaledQuietCountTruncatesTowardZero) {
    struct Case {
        int captures;
        int quiets;
        int threshold;
    };
    const Case cases[] = {
        {3, 30, 15}, {0, 0, 3}, {0, 3, 3}, {0, 4, 4}, {0, 7, 5}, {2, 10, 8}, {1, 33, 13}, {5, 1, 8},
    };
    for (const Case& c : cases) {
        MoveList list;
        list.capture_count = c.captures;
        list.move_count = c.captures + c.quiets;
        EXPECT_EQ(late_move_threshold(list), c.threshold) << c.captures << " + " << c.quiets;
    }
}

// Node move order before the hash move: sorted segments, then the killers.
TEST(NodeOrder, KillersGoBehindAGoodFirstCaptureElseInFront) {
    struct Entry {
        const char* name;
        int score;
    };
    struct Case {
        std::vector<Entry> tactical;
        std::vector<Entry> quiet;
        const char* killer_1;
        const char* killer_2;
        const char* expected;
    };
    const Case cases[] = {
        {{{"t3", 3}, {"t-1", -1}}, {{"q5", 5}, {"k1", 0}, {"q2", 2}, {"k2", 1}}, "k1", "k2", "t3 k1 k2 t-1 q5 q2"},
        {{{"t-1", -1}, {"t-2", -2}}, {{"q5", 5}, {"k1", 0}, {"q2", 2}, {"k2", 1}}, "k1", "k2", "k1 k2 t-1 t-2 q5 q2"},
        {{{"t0", 0}}, {{"q5", 5}, {"k2", 1}, {"k1", 0}}, "k1", "k2", "t0 k1 k2 q5"},
        {{}, {{"q5", 5}, {"k1", 0}, {"q2", 2}, {"k2", 1}}, "k1", "k2", "k1 k2 q5 q2"},
        {{{"t3", 3}}, {{"q5", 5}, {"k1", 0}, {"q2", 2}}, "k1", "k1", "t3 k1 q5 q2"},  // the same move twice
        {{{"t3", 3}}, {{"q5", 5}, {"q2", 2}}, "absent", "q2", "t3 q5 q2"},            // killer 2 already in place
        {{{"t3", 3}}, {{"q5", 5}, {"q2", 2}}, "absent", "absent", "t3 q5 q2"},
        // A killer among the captures is lifted too, but entries before index p are never looked at.
        {{{"t3", 3}, {"t2", 2}, {"t1", 1}}, {{"q5", 5}}, "t1", "t3", "t3 t1 t2 q5"},
    };
    constexpr int kPly = 9;
    for (const Case& c : cases) {
        std::map<std::string, Move> moves;
        std::map<Move, std::string> names;
        auto move_named = [&](const std::string& name) {
            if (!moves.count(name)) {
                const Move m = encode_move(kKnight, MoveKind::quiet, static_cast<int>(moves.size()) + 1, 40, 0);
                moves[name] = m;
                names[m] = name;
            }
            return moves[name];
        };
        MoveList list;
        int n = 0;
        for (const Entry& e : c.tactical) list.move[n] = move_named(e.name), list.score[n++] = e.score;
        list.capture_count = n;
        for (const Entry& e : c.quiet) list.move[n] = move_named(e.name), list.score[n++] = e.score;
        list.move_count = n;
        Killers killers{};
        killers.killer_1[kPly] = move_named(c.killer_1);
        killers.killer_2[kPly] = move_named(c.killer_2);

        MovePicker picker;
        start_move_picker(picker, list);
        place_killers(picker, killers, kPly);
        std::string order;
        for (int i = 0; i < list.move_count; ++i) order += (i ? " " : "") + names[next_move(picker)];
        EXPECT_EQ(order, c.expected);
    }
}

}  // namespace

}  // namespace vargul
