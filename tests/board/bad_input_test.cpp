#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/generate.h"
#include "support/board_helpers.h"

namespace vargul {

namespace {

Bitboard squares(std::initializer_list<int> list) {
    Bitboard b = 0;
    for (int s : list) b |= Bitboard{1} << s;
    return b;
}

// The side, castling and en passant fields hold values a previous position
// left, so that the test sees which ones the reader resets.
Board stale_board() {
    Board board{};
    board.side_to_move = Side::Black;
    board.castling_rights = {true, true, true, true};
    board.en_passant_square = square_of(3, 5);
    board.white_piece[kQueen] = board.all_white_piece = board.all_piece = squares({27});
    board.white_piece_on[27] = kQueen;
    return board;
}

struct FenCase {
    const char* name;
    const char* text;  // as handed to the reader, with its leading word
    Bitboard white, black;
    Side side_to_move;
    int castling;  // white long, white short, black long, black short as four bits, white long highest
    int en_passant_square;
};

constexpr Bitboard kRank8 = 0xFF00000000000000ULL;

constexpr Side W = Side::White, B = Side::Black;

// Squares past the eighth file or below the first rank are read and hold
// nothing; every field stops at the end of the text.

const FenCase kFens[] = {
    {"ten pieces on one rank", "fen KQQQQQQQQQ/8/8/8/8/8/8/7k w - - 0 1", kRank8, squares({7}), W, 0, kNoSquare},
    {"digits past the rank's end", "fen 7K8p/8/8/8/8/8/8/k7 w - - 0 1", squares({63}), squares({0}), W, 0, kNoSquare},
    {"ten ranks", "fen 8/8/8/8/8/8/8/4K3/4k3/pppppppp w - - 0 1", squares({4}), 0, W, 0, kNoSquare},
    {"many digits", "fen 88888888888888888888888888888888888888888888888888888888888888888888Q w - - 0 1", 0, 0, W, 0,
     kNoSquare},
    {"text ends inside the placement", "fen 4k3/8", squares({}), squares({60}), B, 0, kNoSquare},
    {"text ends after the placement", "fen 4k3/8/8/8/8/8/8/4K3", squares({4}), squares({60}), B, 0, kNoSquare},
    {"text ends after the side", "fen 4k3/8/8/8/8/8/8/4K3 w", squares({4}), squares({60}), W, 0, kNoSquare},
    {"text ends inside the castling field", "fen 4k3/8/8/8/8/8/8/4K3 w Kq", squares({4}), squares({60}), W, 0b0110,
     kNoSquare},
    {"unknown side letter keeps the side", "fen 4k3/8/8/8/8/8/8/4K3 W KQkq - 0 1", squares({4}), squares({60}), B,
     0b1111, kNoSquare},
    {"en passant square given", "fen 4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", squares({4, 28}), squares({60, 27}), B, 0, 20},
    {"only the word", "fen", 0, 0, B, 0, kNoSquare},
    {"nothing at all", "", 0, 0, B, 0, kNoSquare},
};

TEST(BadInput, FenReaderStaysOnTheBoardAndInTheText) {
    for (const auto& c : kFens) {
        // A copy on the heap of exactly the text's size, so that reading past
        // its end is caught by the address sanitizer.
        std::size_t size = std::strlen(c.text) + 1;
        char* text = new char[size];
        std::memcpy(text, c.text, size);
        Board board = stale_board();
        parse_fen(text, board);
        delete[] text;

        EXPECT_TRUE(board_consistent(board)) << c.name;
        EXPECT_EQ(board.all_white_piece, c.white) << c.name;
        EXPECT_EQ(board.all_black_piece, c.black) << c.name;
        EXPECT_EQ(board.side_to_move, c.side_to_move) << c.name;
        const CastlingRights& r = board.castling_rights;
        int castling = r.white_long << 3 | r.white_short << 2 | r.black_long << 1 | r.black_short;
        EXPECT_EQ(castling, c.castling) << c.name;
        EXPECT_EQ(board.en_passant_square, c.en_passant_square) << c.name;
    }
}

// A cut-short, off-board or wrong-rank en passant field gives no capture; the
// file tests keep a pawn on the edge from reaching round to the other side.
TEST(BadInput, BrokenEnPassantFieldGivesNoCapture) {
    for (const char* fen :
         {"4k3/8/8/3pP3/8/8/8/4K3 w - d", "4k3/8/8/3pP3/8/8/8/4K3 w - d9 0 1", "4k3/8/8/3pP3/8/8/8/4K3 w - z6 0 1",
          "4k3/p7/8/7P/8/8/8/4K3 w - a7 0 1", "4k3/8/8/8/p7/8/7P/4K3 b - h2 0 1"}) {
        Board board = board_from_fen(fen);
        MoveList list = all_moves(board);
        for (int i = 0; i < list.move_count; ++i)
            EXPECT_NE(move_kind(list.move[i]), MoveKind::en_passant) << fen << ": " << move_string(list.move[i]);
    }
}

struct StuckPawnCase {
    const char* fen;
    int square;
};

// A pawn on the far rank has no square ahead and attacks nothing.
constexpr StuckPawnCase kStuckPawns[] = {
    {"3rPr1k/8/8/8/8/8/8/K7 w - - 0 1", 60}, {"k6P/8/8/8/8/8/8/K7 w - - 0 1", 63},
    {"P6k/1r6/8/8/8/8/8/K7 w - - 0 1", 56},  {"K7/8/8/8/8/8/8/3RpR1k b - - 0 1", 4},
    {"K7/8/8/8/8/8/8/p6k b - - 0 1", 0},     {"K7/8/8/8/8/8/6R1/k6p b - - 0 1", 7},
};

TEST(BadInput, PawnOnTheLastRankNeverMoves) {
    for (const auto& c : kStuckPawns) {
        MoveList list = all_moves(board_from_fen(c.fen));
        for (int i = 0; i < list.move_count; ++i)
            EXPECT_NE(move_from(list.move[i]), c.square) << c.fen << ": " << move_string(list.move[i]);
    }
}

// Twenty-six queens round the edge give 279 moves; the list keeps the first
// 256 in generation order and writes nothing beyond them.
TEST(BadInput, MoveListNeverOverflows) {
    struct {
        MoveList list;
        std::uint32_t guard[16];
    } guarded;
    std::memset(&guarded, 0xA5, sizeof guarded);
    for (const char* fen : {"QQQQQQQk/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/KQQQQQQQ w - - 0 1",
                            "kqqqqqqq/q6q/q6q/q6q/q6q/q6q/q6q/qqqqqqqK b - - 0 1"}) {
        Board board = board_from_fen(fen);
        for_side(board.side_to_move, [&]<Side S>() { generate_all<S>(board, guarded.list, kNoHistory); });
        EXPECT_EQ(guarded.list.capture_count, 2) << fen;  // the two queens next to the enemy king
        EXPECT_EQ(guarded.list.move_count, kMaxMoves) << fen;
        for (std::uint32_t word : guarded.guard) EXPECT_EQ(word, 0xA5A5A5A5u) << fen;
        // A move written past the end of `move` would land in `score`.
        for (int i = 0; i < kMaxMoves; ++i) {
            ASSERT_GE(guarded.list.score[i], -6) << fen << " entry " << i;
            ASSERT_LE(guarded.list.score[i], 6) << fen << " entry " << i;
        }
    }
}

// A side without a king has no legal move: every move leaves it "attacked".
TEST(BadInput, SideWithoutKingCountsAsAttacked) {
    Board white_missing = board_from_fen("4k3/8/8/8/8/8/8/R7 w - - 0 1");
    EXPECT_NE(king_attacked<Side::White>(white_missing), 0);
    EXPECT_EQ(king_attacked<Side::Black>(white_missing), 0);
    Board black_missing = board_from_fen("8/8/8/8/8/8/r7/4K3 b - - 0 1");
    EXPECT_NE(king_attacked<Side::Black>(black_missing), 0);
    EXPECT_EQ(king_attacked<Side::White>(black_missing), 0);
    Board empty = board_from_fen("8/8/8/8/8/8/8/8 w - - 0 1");
    EXPECT_NE(king_attacked<Side::White>(empty), 0);
    EXPECT_NE(king_attacked<Side::Black>(empty), 0);
    MoveList list = all_moves(empty);
    EXPECT_EQ(list.move_count, 0);
}

}  // namespace

}  // namespace vargul
