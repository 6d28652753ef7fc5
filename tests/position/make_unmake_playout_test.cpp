#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "board/attacks.h"
#include "position/keys.h"
#include "position/make_move.h"
#include "support/board_helpers.h"
#include "support/playouts.h"

namespace vargul {

namespace {

// Starting points chosen so that long random games meet every move kind for
// both colours: castling both ways, en passant, promotions with and without
// capture, and captures of rooks on their home squares.
constexpr const char* kStarts[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/1P4P1/8/2pP4/4pP2/8/1p4p1/R3K2R b KQkq f3 0 1",
    "r3k2r/1P4P1/8/2pP4/8/8/1p4p1/R3K2R w KQkq c6 0 1",
    "1n2k1n1/P1P4P/8/8/8/8/p1p4p/1N2K1N1 w - - 0 1",
};

constexpr int kGamesPerStart = 40;
constexpr int kMaxPlies = 160;

struct Coverage {
    int kinds[2][32] = {};  // [colour][kind]
};

// Makes every generated move of the side to move, checks what make leaves
// behind and that unmake gives back the record byte for byte, then plays one
// legal move at random. Returns false when the side to move has no legal move.
template <Side S> bool check_every_move_then_play_one(Board& board, std::mt19937& random, Coverage& coverage) {
    constexpr int colour = side_index<S>;
    compute_hash_key(board);
    const Board before = board;
    MoveList list = all_moves(board);
    int legal[kMaxMoves];
    int legal_count = 0;
    for (int i = 0; i < list.move_count; ++i) {
        Move m = list.move[i];
        const MoveKind kind = move_kind(m);
        MoveUndo undo;
        make_move<S>(board, m, undo);
        EXPECT_TRUE(board_consistent(board)) << move_string(m);
        EXPECT_EQ(board.material_balance, count_material(board)) << move_string(m);
        EXPECT_EQ(board.side_to_move, before.side_to_move) << move_string(m);
        EXPECT_EQ(board.hash_key, before.hash_key) << "make changed the key: " << move_string(m);

        toggle_move_key<S>(board, m);
        Board fresh = board;
        compute_hash_key(fresh);
        if (is_promotion(kind)) {
            EXPECT_EQ(board.hash_key, before.hash_key) << "a promotion must leave the key alone";
        } else {
            EXPECT_EQ(board.hash_key, fresh.hash_key) << "toggled key of " << move_string(m);
        }
        toggle_move_key<S>(board, m);

        if (!king_attacked<S>(board)) legal[legal_count++] = i;
        unmake_move<S>(board, m, undo);
        EXPECT_TRUE(same_board(before, board)) << "after make and unmake of " << move_string(m);
        ++coverage.kinds[colour][kind_number(kind)];
        if (::testing::Test::HasFailure()) return false;
    }
    if (legal_count == 0) return false;
    return play_entry<S>(board, list, legal[draw_below(random, legal_count)]);
}

TEST(MakeUnmake, RandomPlayoutsRestoreEveryField) {
    std::mt19937 random(20240611);
    Coverage coverage;
    play_random_games(kStarts, kGamesPerStart, kMaxPlies,
                      [&]<Side S>(Board& board) { return check_every_move_then_play_one<S>(board, random, coverage); });
    ASSERT_FALSE(HasFailure());
    constexpr MoveKind kAllKinds[] = {MoveKind::quiet,
                                      MoveKind::capture,
                                      MoveKind::castling_long,
                                      MoveKind::castling_short,
                                      MoveKind::en_passant,
                                      MoveKind::promotion_knight,
                                      MoveKind::promotion_bishop,
                                      MoveKind::promotion_rook,
                                      MoveKind::promotion_queen,
                                      MoveKind::capture_promotion_knight,
                                      MoveKind::capture_promotion_bishop,
                                      MoveKind::capture_promotion_rook,
                                      MoveKind::capture_promotion_queen};
    for (int colour : {0, 1})
        for (MoveKind kind : kAllKinds)
            EXPECT_GT(coverage.kinds[colour][kind_number(kind)], 0)
                << "kind " << kind_number(kind) << " never made by colour " << colour;
}

}  // namespace

}  // namespace vargul
