#include <gtest/gtest.h>

#include "board/bitboard.h"
#include "board/move.h"
#include "board/tables.h"

namespace vargul {

namespace {

Bitboard squares(std::initializer_list<int> list) {
    Bitboard b = 0;
    for (int s : list) b |= Bitboard{1} << s;
    return b;
}

constexpr int a1 = 0, b1 = 1, c1 = 2, a2 = 8, b2 = 9, c2 = 10, b3 = 17, c3 = 18, d4 = 27;

TEST(Tables, WorkedEntries) {
    EXPECT_EQ(king_attack[a1], squares({a2, b1, b2}));
    EXPECT_EQ(knight_attack[a1], squares({b3, c2}));
    EXPECT_EQ(ray_north[d4], squares({35, 43, 51, 59}));
    EXPECT_EQ(ray_south_west[d4], squares({a1, b2, c3}));
    EXPECT_EQ(white_pawn_attack[d4], squares({34, 36}));
    EXPECT_EQ(black_pawn_attack[a2], squares({b1}));
    EXPECT_EQ(ray_east[31], 0u);   // h4
    EXPECT_EQ(ray_north[60], 0u);  // e8
    EXPECT_EQ(white_pawn_attack[c1], 0u);
    EXPECT_EQ(black_pawn_attack[60], 0u);
}

TEST(Tables, PatternSizes) {
    EXPECT_EQ(bit_count(king_attack[0]), 3);
    EXPECT_EQ(bit_count(king_attack[4]), 5);
    EXPECT_EQ(bit_count(king_attack[d4]), 8);
    EXPECT_EQ(bit_count(knight_attack[d4]), 8);
    for (int s = 0; s < 64; ++s) EXPECT_EQ(square_mask[s], Bitboard{1} << s);
}

TEST(Tables, NearestBlockerAndFreeSquares) {
    Bitboard occupied = squares({d4, 51});  // d4, d7
    EXPECT_EQ(nearest_blocker<Direction::north>(d4, occupied), 51);
    EXPECT_EQ(free_squares<Direction::north>(d4, occupied), squares({35, 43}));
    occupied = squares({d4, 25, 24});  // d4, b4, a4: west descends, so the reverse scan finds b4
    EXPECT_EQ(nearest_blocker<Direction::west>(d4, occupied), 25);
    EXPECT_EQ(free_squares<Direction::west>(d4, occupied), squares({26}));
    EXPECT_EQ(nearest_blocker<Direction::east>(d4, occupied), -1);
}

TEST(Tables, BitScans) {
    EXPECT_EQ(bit_scan_forward(Bitboard{1} << 32), 32);
    EXPECT_EQ(bit_scan_reverse(Bitboard{1} << 32), 32);
    Bitboard ends = squares({0, 63});
    EXPECT_EQ(bit_scan_forward(ends), 0);
    EXPECT_EQ(bit_scan_reverse(ends), 63);
}

TEST(Move, Encoding) {
    EXPECT_EQ(encode_move(1, MoveKind::quiet, 12, 28, 0), 0x0170C040u);
    Move castle = encode_move(6, MoveKind::castling_short, 4, 6, 0);
    EXPECT_EQ(move_from(castle), 4);
    EXPECT_EQ(move_to(castle), 6);
    EXPECT_EQ(move_kind(castle), MoveKind::castling_short);
    EXPECT_EQ(move_piece(castle), 6);
    EXPECT_EQ(move_captured(castle), 0);
}

}  // namespace

}  // namespace vargul
