// The pruning rules of the main search, each seen from outside: a pruned node
// returns its far bound without searching a move (the node count stays at 0),
// an unpruned one searches moves. Switching a rule off by construction (check,
// a capture before, one of the parent's first moves) must keep every move.
#include <gtest/gtest.h>

#include <string>

#include "position/evaluate.h"
#include "search/score.h"
#include "search/search.h"
#include "search/search_constants.h"
#include "support/board_helpers.h"
#include "support/search_helpers.h"

namespace vargul {

namespace {

int static_score(const Board& b) { return evaluate(b) + b.material_balance; }

// A node at ply 0 with `left` plies to the leaves, which may prune unless the
// case switches a condition off.
NodeContext node_with(int left) {
    return {.in_check = false,
            .depth = left,
            .ply = 0,
            .prev_kind = MoveKind::quiet,
            .sub_search = false,
            .parent_index = kLeastPrunedIndex,
            .in_deepening = false};
}

struct PruneCase {
    const char* name;
    const char* fen;
    int left;
    // The window: the far bound (beta for White, alpha for Black), as an
    // offset from the static score or as it stands; the near bound next to it.
    bool far_from_static;
    int far_offset;
    void (*adjust)(NodeContext&);
    bool pruned;
};

void none(NodeContext&) {}
void in_check(NodeContext& n) { n.in_check = true; }
void after_capture(NodeContext& n) { n.prev_kind = MoveKind::capture; }
void early_in_parent(NodeContext& n) { n.parent_index = kLeastPrunedIndex - 1; }
void inside_sub_search(NodeContext& n) { n.sub_search = true; }

constexpr const char* kWhiteUp = "4k3/8/8/8/8/8/8/3QK3 w - - 0 1";
constexpr const char* kBlackUp = "3qk3/8/8/8/8/8/8/4K3 b - - 0 1";
constexpr const char* kWhiteDown = "3qk3/8/8/8/8/8/8/4K3 w - - 0 1";
constexpr const char* kBlackDown = "4k3/8/8/8/8/8/8/3QK3 b - - 0 1";
// The side to move stands a rook up, in check.
constexpr const char* kWhiteUpInCheck = "4k3/8/8/8/8/8/3Q4/r3K3 w - - 0 1";
constexpr const char* kBlackUpInCheck = "R3k3/3q4/8/8/8/8/8/4K3 b - - 0 1";

const PruneCase kCases[] = {
    // Null move: two plies or more left; the far bound is 0, which the side
    // a queen up passes even when it lets the other side move twice.
    {"null move, White ahead", kWhiteUp, 2, false, 0, none, true},
    {"null move, Black ahead", kBlackUp, 2, false, 0, none, true},
    {"null move, three plies left", kWhiteUp, 3, false, 0, none, true},
    {"null move fails for White behind", kWhiteDown, 2, false, 0, none, false},
    {"null move fails for Black behind", kBlackDown, 2, false, 0, none, false},
    // The node knows of a check only by its flag (a real check would fail the
    // null move anyway: the king is taken).
    {"no null move in check", kWhiteUp, 2, false, 0, in_check, false},
    {"no null move for Black in check", kBlackUp, 2, false, 0, in_check, false},
    {"no null move after a capture", kWhiteUp, 2, false, 0, after_capture, false},
    {"no null move on the parent's first moves", kBlackUp, 2, false, 0, early_in_parent, false},
    {"no null move inside a sub-search", kWhiteUp, 2, false, 0, inside_sub_search, false},
    // Futility: one ply left, the static score a full margin past the far bound.
    {"futility, White at the margin", kWhiteUp, 1, true, -kFutilityMargin, none, true},
    {"futility, White inside the margin", kWhiteUp, 1, true, -kFutilityMargin + 1, none, false},
    {"futility, Black at the margin", kBlackUp, 1, true, kFutilityMargin, none, true},
    {"futility, Black inside the margin", kBlackUp, 1, true, kFutilityMargin - 1, none, false},
    {"futility, White behind", kWhiteDown, 1, true, -kFutilityMargin, none, true},
    {"futility, Black behind", kBlackDown, 1, true, kFutilityMargin, none, true},
    {"futility misses a check the node was not told of", kWhiteUpInCheck, 1, true, -kFutilityMargin, none, true},
    {"no futility in check", kWhiteUpInCheck, 1, true, -kFutilityMargin, in_check, false},
    {"no futility for Black in check", kBlackUpInCheck, 1, true, kFutilityMargin, in_check, false},
    {"no futility after a capture", kBlackUp, 1, true, kFutilityMargin, after_capture, false},
    {"no futility on the parent's first moves", kWhiteUp, 1, true, -kFutilityMargin, early_in_parent, false},
    {"no futility inside a sub-search", kBlackUp, 1, true, kFutilityMargin, inside_sub_search, false},
};

TEST(Pruning, NullMoveAndFutility) {
    for (const PruneCase& c : kCases) {
        Board board = board_from_fen(c.fen);
        const Board before = board;
        const bool white = board.side_to_move == Side::White;
        const int stand = static_score(board);
        int far = c.far_from_static ? stand + c.far_offset : c.far_offset;
        // A zero window at the far bound: the near bound sits one short of it.
        const int alpha = white ? far - 1 : far;
        const int beta = white ? far : far + 1;
        NodeContext node = node_with(c.left);
        c.adjust(node);
        SearchSetup setup;
        SearchState state = setup.state();
        const int r =
            for_side(board.side_to_move, [&]<Side S>() { return search<S>(board, state, alpha, beta, node); });
        if (c.pruned) {
            EXPECT_EQ(r, far) << c.name;
            EXPECT_EQ(setup.node_count, 0u) << c.name << ": moves were searched";
        } else {
            EXPECT_GT(setup.node_count, 0u) << c.name << ": the node was pruned";
        }
        EXPECT_TRUE(same_board(before, board)) << c.name;
    }
}

// White mates in two with the quiet g5-g6 and Ra8, but g5-g6 comes last of
// twelve quiet moves, past the late-move threshold: its first look is one
// ply short, and in that look the reply's null move hides the mate, so no
// full search follows. As this ply's killer it is searched first, whole.
TEST(Pruning, LateQuietMoveGetsAReducedLookUnlessItIsTheKiller) {
    struct Case {
        const char* name;
        int left;
        bool killer;
        bool mate_seen;
    };
    const Case cases[] = {
        {"reduced: the mate is missed", 6, false, false},
        {"one ply more and the reduced look sees it", 7, false, true},
        {"the killer goes first", 6, true, true},
    };
    const char* fen = "7k/6p1/8/6P1/8/8/8/RK6 w - - 0 1";
    for (const Case& c : cases) {
        Board board = board_from_fen(fen);
        MoveList list = all_moves(board);
        const int key = find_move(list, "g5g6");
        ASSERT_GT(key, late_move_threshold(list));
        SearchSetup setup;
        if (c.killer) setup.tables.killers.killer_1[0] = list.move[key];
        SearchState state = setup.state();
        state.root_depth = c.left;  // a node at the root of its iteration: checks extend
        // Parent index 1: neither pruned itself nor deepened internally.
        const NodeContext node{.in_check = false,
                               .depth = c.left,
                               .ply = 0,
                               .prev_kind = MoveKind::quiet,
                               .sub_search = false,
                               .parent_index = 1,
                               .in_deepening = false};
        const int r = search<Side::White>(board, state, 5000, 5001, node);
        if (c.mate_seen) {
            EXPECT_EQ(r, win_score<Side::White>(3)) << c.name;
        } else {
            EXPECT_LE(r, 5000) << c.name;
        }
        // First, the killer needs no other move: g5-g6, Kg8, Ra8 mate.
        if (c.killer) {
            EXPECT_EQ(setup.node_count, 3u) << c.name;
        }
    }
}

}  // namespace

}  // namespace vargul
