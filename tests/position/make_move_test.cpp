#include <gtest/gtest.h>

#include <cstdint>

#include "position/make_move.h"
#include "support/board_helpers.h"

namespace vargul {

namespace {

struct MakeCase {
    const char* name;
    const char* fen;
    const char* move;
    const char* after;  // pieces, castling rights and en passant square after the move
    int material_change;
};

constexpr MakeCase kMakes[] = {
    {"double push", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e2e4",
     "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 0},
    {"Black double push", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "e7e5",
     "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2", 0},
    {"a move after a double push clears the square", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
     "g8f6", "rnbqkb1r/pppppppp/5n2/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 1 2", 0},
    {"White castles short", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 1 1", 0},
    {"White castles long", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", "r3k2r/8/8/8/8/8/8/2KR3R b kq - 1 1", 0},
    {"Black castles short", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", "r4rk1/8/8/8/8/8/8/R3K2R w KQ - 1 2", 0},
    {"Black castles long", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", "2kr3r/8/8/8/8/8/8/R3K2R w KQ - 1 2", 0},
    {"rook leaves a1", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "a1b1", "r3k2r/8/8/8/8/8/8/1R2K2R b Kkq - 1 1", 0},
    {"rook leaves h1", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "h1g1", "r3k2r/8/8/8/8/8/8/R3K1R1 b Qkq - 1 1", 0},
    {"king steps", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1e2", "r3k2r/8/8/8/8/8/4K3/R6R b kq - 1 1", 0},
    {"rook away from home keeps the rights", "r3k2r/8/8/8/8/8/R7/4K2R w Kkq - 0 1", "a2a1",
     "r3k2r/8/8/8/8/8/8/R3K2R b Kkq - 1 1", 0},
    {"Black rook leaves a8", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "a8b8", "1r2k2r/8/8/8/8/8/8/R3K2R w KQk - 1 2", 0},
    {"Black king steps", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8d7", "r6r/3k4/8/8/8/8/8/R3K2R w KQ - 1 2", 0},
    {"White takes the h8 rook", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "h1h8", "r3k2R/8/8/8/8/8/8/R3K3 b Qq - 0 1",
     600},
    {"White takes a knight on h8", "r3k2n/8/8/8/8/8/8/R3K2R w KQq - 0 1", "h1h8", "r3k2R/8/8/8/8/8/8/R3K3 b Qq - 0 1",
     400},
    {"Black takes the a1 rook", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "a8a1", "4k2r/8/8/8/8/8/8/r3K2R w Kk - 0 2",
     -600},
    {"White promotes to a queen", "4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7a8q", "Q3k3/8/8/8/8/8/8/4K3 b - - 0 1", 1000},
    {"White promotes to a knight", "4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7a8n", "N3k3/8/8/8/8/8/8/4K3 b - - 0 1", 300},
    {"White takes a rook promoting", "1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7b8q", "1Q2k3/8/8/8/8/8/8/4K3 b - - 0 1",
     1600},
    {"White takes the a8 rook promoting", "r3k3/1P6/8/8/8/8/8/4K3 w q - 0 1", "b7a8r", "R3k3/8/8/8/8/8/8/4K3 b - - 0 1",
     1100},
    {"Black promotes to a queen", "4k3/8/8/8/8/8/p7/4K3 b - - 0 1", "a2a1q", "4k3/8/8/8/8/8/8/q3K3 w - - 0 2", -1000},
    {"Black promotes to a bishop", "4k3/8/8/8/8/8/p7/4K3 b - - 0 1", "a2a1b", "4k3/8/8/8/8/8/8/b3K3 w - - 0 2", -300},
    {"Black takes the h1 rook promoting", "4k3/8/8/8/8/8/6p1/4K2R b K - 0 1", "g2h1q", "4k3/8/8/8/8/8/8/4K2q w - - 0 2",
     -1600},
    {"White takes en passant", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "4k3/8/3P4/8/8/8/8/4K3 b - - 0 1", 100},
    {"Black takes en passant", "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", "d4e3", "4k3/8/8/8/8/4p3/8/4K3 w - - 0 2", -100},
};

// Make must give the position of the "after" text; unmake must give back the
// record byte for byte.
TEST(MakeMove, Cases) {
    for (const auto& c : kMakes) {
        Board board = board_from_fen(c.fen);
        const Board before = board;
        MoveList list = all_moves(board);
        int index = find_move(list, c.move);
        ASSERT_GE(index, 0) << c.name;
        MoveUndo undo;
        for_side(board.side_to_move, [&]<Side S>() { make_move<S>(board, list.move[index], undo); });

        Board expected = board_from_fen(c.after);
        // Make leaves the side to move and the key alone.
        expected.side_to_move = before.side_to_move;
        expected.hash_key = before.hash_key;
        expected.material_balance = before.material_balance + c.material_change;
        EXPECT_TRUE(same_board(expected, board)) << c.name;
        EXPECT_EQ(board.material_balance, count_material(board)) << c.name;

        for_side(before.side_to_move, [&]<Side S>() { unmake_move<S>(board, list.move[index], undo); });
        EXPECT_TRUE(same_board(before, board)) << c.name << ", after unmake";
    }
}

struct MaterialCase {
    const char* fen;
    std::int32_t material;
};

// One king term a side, however many kings the bitboard holds.
constexpr MaterialCase kMaterial[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0},
    {"4k3/8/8/8/8/8/8/3QK3 w - - 0 1", 1100},
    {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", 600},
    {"4k3/pppp4/8/8/8/8/8/NB2K3 w - - 0 1", 400},
    {"4k3/8/8/8/8/8/8/8 w - - 0 1", -90000},
    {"4k3/8/8/8/8/8/8/K6K w - - 0 1", 0},
};

TEST(MakeMove, CountMaterial) {
    for (const auto& c : kMaterial) EXPECT_EQ(count_material(board_from_fen(c.fen)), c.material) << c.fen;
}

}  // namespace

}  // namespace vargul
