#include <gtest/gtest.h>

#include "board/attacks.h"
#include "support/board_helpers.h"

namespace vargul {

namespace {

struct KingCase {
    const char* name;
    const char* fen;
    int white_attacked;  // the code of the first attacker found, 0 for none
};

// Lines are searched N W S E, then the diagonals, then knights, king, pawns.
constexpr KingCase kWhiteKing[] = {
    {"queen on the open file", "k3q3/8/8/8/8/8/8/4K3 w - - 0 1", 5},
    {"own pawn blocks the file", "k3q3/8/8/8/8/8/4P3/4K3 w - - 0 1", 0},
    {"rook off every line", "k7/8/8/r7/8/8/8/4K3 w - - 0 1", 0},
    {"bishop on the diagonal", "k7/8/8/b7/8/8/8/4K3 w - - 0 1", 3},
    {"bishop on a file is no attacker", "k3b3/8/8/8/8/8/8/4K3 w - - 0 1", 0},
    {"a knight on the file stands in the way", "k3r3/8/8/8/4n3/8/8/4K3 w - - 0 1", 0},
    {"knight", "k7/8/8/8/8/3n4/8/4K3 w - - 0 1", 2},
    {"king next to the king", "k7/8/8/8/8/8/4k3/4K3 w - - 0 1", 6},
    {"pawn attacks diagonally forward", "k7/8/8/3p4/4K3/8/8/8 w - - 0 1", 1},
    {"pawn in front does not attack", "k7/8/8/4p3/4K3/8/8/8 w - - 0 1", 0},
    {"pawn behind does not attack", "k7/8/8/8/4K3/3p4/8/8 w - - 0 1", 0},
    {"no wrap from file a to file h", "k7/8/8/8/K6p/8/8/8 w - - 0 1", 0},
    {"no wrap from file h to file a", "k7/8/p7/8/7K/8/8/8 w - - 0 1", 0},
    {"rook along the rank", "k7/8/8/8/r3K3/8/8/8 w - - 0 1", 4},
    {"queen along the rank east", "k7/8/8/8/4K2q/8/8/8 w - - 0 1", 5},
    {"queen on the south-west diagonal", "k7/8/8/8/4K3/8/2q5/8 w - - 0 1", 5},
    // The lines come first: with a knight and a rook both giving check, the rook is named.
    {"first attacker in search order", "k7/8/8/8/r3K3/2n5/8/8 w - - 0 1", 4},
    {"knight found before the king", "8/8/8/8/8/3n4/4k3/4K3 w - - 0 1", 2},
    {"king found before a pawn", "8/8/8/8/8/8/3pk3/4K3 w - - 0 1", 6},
    // On rank 8 the pawn squares lie beyond the board; whatever lies beyond
    // the square arrays (here castling rights of 1) must not be read.
    {"king on h8 with rights set", "7K/8/8/8/8/8/8/k7 w KQkq - 0 1", 0},
    {"king on g8 with rights set", "6K1/8/8/8/8/8/8/k7 w KQkq - 0 1", 0},
    {"no White king counts as attacked", "k7/8/8/8/8/8/8/8 w - - 0 1", -1},
};

TEST(KingAttacked, WhiteKing) {
    for (const auto& c : kWhiteKing) {
        Board board = board_from_fen(c.fen);
        Board before = board;
        int result = king_attacked<Side::White>(board);
        if (c.white_attacked < 0) {
            EXPECT_NE(result, 0) << c.name;
        } else {
            EXPECT_EQ(result, c.white_attacked) << c.name;
        }
        EXPECT_TRUE(same_board(before, board)) << c.name;
    }
}

struct BlackKingCase {
    const char* name;
    const char* fen;
    int black_attacked;
};

constexpr BlackKingCase kBlackKing[] = {
    {"queen on the open file", "4k3/8/8/8/8/8/8/K3Q3 b - - 0 1", 5},
    {"bishop on the diagonal", "4k3/8/8/8/B7/8/8/K7 b - - 0 1", 3},
    {"knight", "4k3/8/3N4/8/8/8/8/K7 b - - 0 1", 2},
    {"pawn attacks diagonally forward", "8/8/8/8/4k3/3P4/8/K7 b - - 0 1", 1},
    {"pawn in front does not attack", "8/8/8/8/4k3/4P3/8/K7 b - - 0 1", 0},
    {"no wrap from file h to file a", "8/8/8/8/P6k/8/8/K7 b - - 0 1", 0},
    {"no wrap from file a to file h", "8/8/8/8/k7/8/7P/K7 b - - 0 1", 0},
    // On rank 1 the pawn squares lie before the board; what lies before the
    // square arrays (here the Black rook's bitboard) must not be read.
    {"king on b1 next to its rook", "K7/8/8/8/8/8/8/rk6 b - - 0 1", 0},
    {"no Black king counts as attacked", "8/8/8/8/8/8/8/K7 b - - 0 1", -1},
};

TEST(KingAttacked, BlackKing) {
    for (const auto& c : kBlackKing) {
        Board board = board_from_fen(c.fen);
        int result = king_attacked<Side::Black>(board);
        if (c.black_attacked < 0) {
            EXPECT_NE(result, 0) << c.name;
        } else {
            EXPECT_EQ(result, c.black_attacked) << c.name;
        }
    }
}

struct SquareCase {
    const char* name;
    const char* fen;
    const char* square;
    int attacker;
};

int square_index(const char* text) { return (text[0] - 'a') + 8 * (text[1] - '1'); }

// Home-rank squares looked at from the home rank: only the directions that
// leave it matter.
constexpr SquareCase kBySide[] = {
    {"rook down the file", "k4r2/8/8/8/8/8/8/4K3 w - - 0 1", "f1", 4},
    {"rook along the rank", "k7/8/8/8/8/8/8/r3K3 w - - 0 1", "c1", 4},
    {"rook along the rank from the east", "k7/8/8/8/8/8/8/4K2r w - - 0 1", "f1", 4},
    {"queen on a diagonal", "k7/8/8/8/8/7q/8/4K3 w - - 0 1", "f1", 5},
    {"bishop on a diagonal", "k7/8/b7/8/8/8/8/4K3 w - - 0 1", "f1", 3},
    {"knight", "k7/8/8/8/8/8/4n3/4K3 w - - 0 1", "g1", 2},
    {"king", "k7/8/8/8/8/8/2k5/4K3 w - - 0 1", "d1", 6},
    {"pawn", "k7/8/8/8/8/8/4p3/4K3 w - - 0 1", "d1", 1},
    {"pawn straight ahead does not attack", "k7/8/8/8/8/8/3p4/4K3 w - - 0 1", "d1", 0},
    {"own piece shields", "k4r2/8/8/8/8/8/5P2/4K3 w - - 0 1", "f1", 0},
    {"free square", "k7/8/8/8/8/8/8/R3K2R w KQ - 0 1", "d1", 0},
};

constexpr SquareCase kByWhite[] = {
    {"rook up the file", "4k3/8/8/8/8/8/8/K4R2 b - - 0 1", "f8", 4},
    {"rook along the rank", "R3k3/8/8/8/8/8/8/K7 b - - 0 1", "c8", 4},
    {"bishop on the long diagonal", "4k3/8/8/8/8/8/B7/K7 b - - 0 1", "g8", 3},
    {"knight", "4k3/8/3N4/8/8/8/8/K7 b - - 0 1", "c8", 2},
    {"pawn", "4k3/5P2/8/8/8/8/8/K7 b - - 0 1", "g8", 1},
    {"king", "4k3/2K5/8/8/8/8/8/8 b - - 0 1", "d8", 6},
};

TEST(SquareAttacked, ByBlackOnRankOne) {
    for (const auto& c : kBySide) {
        Board board = board_from_fen(c.fen);
        EXPECT_EQ(square_attacked_by<Side::Black>(board, square_index(c.square)), c.attacker) << c.name;
    }
}

TEST(SquareAttacked, ByWhiteOnRankEight) {
    for (const auto& c : kByWhite) {
        Board board = board_from_fen(c.fen);
        EXPECT_EQ(square_attacked_by<Side::White>(board, square_index(c.square)), c.attacker) << c.name;
    }
}

}  // namespace

}  // namespace vargul
