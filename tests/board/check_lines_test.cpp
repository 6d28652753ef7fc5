#include <gtest/gtest.h>

#include <random>

#include "board/attacks.h"
#include "board/check_lines.h"
#include "position/make_move.h"
#include "support/board_helpers.h"
#include "support/playouts.h"

namespace vargul {

namespace {

// Pins, discovered checks, en passant along a rank, castling, promotions, and
// boards the search must never trip over: a missing king, the waiting side in
// check, two kings of one colour.
constexpr const char* kStarts[] = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/1P4P1/8/2pP4/4pP2/8/1p4p1/R3K2R b KQkq f3 0 1",
    "4k3/8/8/K2pP2q/8/8/8/8 w - d6 0 1",
    "3qk3/8/4n3/8/1b2B3/8/3NRN2/2BQK3 b - - 0 1",
    "rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1BNR w - - 0 1",
    "4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1",
    "k6k/8/2q5/8/8/5B2/8/K1R4K b - - 0 1",
};

constexpr int kGamesPerStart = 30;
constexpr int kMaxPlies = 120;

struct Tally {
    int moves = 0;
    int legality_skipped = 0;
    int check_skipped = 0;
};

// Every move of the side to move: the shortcuts must answer as the full tests
// do. Then one move is played, now and then one that leaves the king
// attacked, so kings get lost and the waiting side ends up in check.
template <Side S> bool compare_every_move_then_play_one(Board& board, std::mt19937& random, Tally& tally) {
    constexpr Side Them = other_side<S>;
    const Bitboard exposing = exposing_squares<S>(board);
    const CheckSquares checks = check_squares<S>(board);
    const MoveList list = all_moves(board);
    int legal[kMaxMoves];
    int legal_count = 0;
    for (int i = 0; i < list.move_count; ++i) {
        const Move m = list.move[i];
        MoveUndo undo;
        make_move<S>(board, m, undo);
        const bool attacked = king_attacked<S>(board) != 0;
        const bool checking = king_attacked<Them>(board) != 0;
        EXPECT_EQ(leaves_king_attacked<S>(board, exposing, m), attacked) << move_string(m);
        EXPECT_EQ(gives_check_after<S>(board, checks, m), checking) << move_string(m);
        unmake_move<S>(board, m, undo);
        ++tally.moves;
        if (!(exposing & square_mask[move_from(m)])) ++tally.legality_skipped;
        if (!(checks.uncovering & square_mask[move_from(m)]) && move_kind(m) <= MoveKind::capture)
            ++tally.check_skipped;
        if (!attacked) legal[legal_count++] = i;
        if (::testing::Test::HasFailure()) return false;
    }
    if (list.move_count == 0) return false;
    const bool any_move = legal_count == 0 || random() % 8 == 0;
    return play_entry<S>(board, list,
                         any_move ? draw_below(random, list.move_count) : legal[draw_below(random, legal_count)]);
}

TEST(CheckLines, ShortcutsAnswerAsTheFullTestsOverRandomPlayouts) {
    std::mt19937 random(20261208);
    Tally tally;
    play_random_games(kStarts, kGamesPerStart, kMaxPlies,
                      [&]<Side S>(Board& board) { return compare_every_move_then_play_one<S>(board, random, tally); });
    ASSERT_FALSE(HasFailure());
    // The comparison means something only if the shortcuts are taken, and
    // not everywhere.
    EXPECT_GT(tally.legality_skipped, tally.moves / 2);
    EXPECT_LT(tally.legality_skipped, tally.moves);
    EXPECT_GT(tally.check_skipped, tally.moves / 2);
    EXPECT_LT(tally.check_skipped, tally.moves);
}

}  // namespace

}  // namespace vargul
