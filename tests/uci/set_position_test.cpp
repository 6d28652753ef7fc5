#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board/fen.h"
#include "platform/line_reader.h"
#include "position/keys.h"
#include "position/make_move.h"
#include "uci/set_position.h"

namespace vargul {

namespace {

const char* const kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

Board from_fen(const char* fen) {
    Board board{};
    parse_fen(("fen " + std::string(fen)).c_str(), board);
    return board;
}

// Everything the set-up decides: pieces, side, castling, en passant. The key
// and the material balance are checked apart.
::testing::AssertionResult same_position(const Board& expected, const Board& actual) {
    auto differs = [](const char* field) { return ::testing::AssertionFailure() << field << " differs"; };
    if (expected.all_piece != actual.all_piece) return differs("all_piece");
    if (expected.all_white_piece != actual.all_white_piece) return differs("all_white_piece");
    if (expected.all_black_piece != actual.all_black_piece) return differs("all_black_piece");
    if (std::memcmp(expected.white_piece, actual.white_piece, sizeof expected.white_piece))
        return differs("white_piece");
    if (std::memcmp(expected.black_piece, actual.black_piece, sizeof expected.black_piece))
        return differs("black_piece");
    if (std::memcmp(expected.white_piece_on, actual.white_piece_on, sizeof expected.white_piece_on))
        return differs("white_piece_on");
    if (std::memcmp(expected.black_piece_on, actual.black_piece_on, sizeof expected.black_piece_on))
        return differs("black_piece_on");
    if (expected.side_to_move != actual.side_to_move) return differs("side_to_move");
    if (expected.castling_rights != actual.castling_rights) return differs("castling_rights");
    if (expected.en_passant_square != actual.en_passant_square) return differs("en_passant_square");
    return ::testing::AssertionSuccess();
}

struct SetupCase {
    const char* line;
    const char* fen;  // the position it must give
    int warnings;
};

}  // namespace

TEST(SetPosition, ResultingPositions) {
    const SetupCase cases[] = {
        {"position startpos", kStart, 0},
        {"position xyz", kStart, 0},
        {"position startpos moves e2e4 e7e5", "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2", 0},
        {"position startpos moves e2e4  e7e5", "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2", 0},
        {"position startpos moves e2e5 e2e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 1},
        {"position startpos moves e7e5", kStart, 1},
        {"position startpos moves  e2e4", kStart, 1},
        {"position startpos moves e2e4q", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 0},
        {"position startpos moves e2e4r", kStart, 1},
        {"position startpos moves e2e4 e7", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 1},
        {"position startpos moves i2i4 e0e1 e2e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 2},
        // The second "moves" is a five-character token that fails; the list goes on.
        {"position startpos moves e2e4 moves e7e5", "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2", 1},
        // "fen " is found anywhere, and "startpos" is never read.
        {"position startpos fen 4k3/8/8/8/8/8/8/4K3 b - - 0 1", "4k3/8/8/8/8/8/8/4K3 b - - 0 1", 0},
        // The promotion letter picks among the pawn's four promotions.
        {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8", "Q3k3/8/8/8/8/8/8/4K3 b - - 0 1", 0},
        {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8q", "Q3k3/8/8/8/8/8/8/4K3 b - - 0 1", 0},
        {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8r", "R3k3/8/8/8/8/8/8/4K3 b - - 0 1", 0},
        {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8b", "B3k3/8/8/8/8/8/8/4K3 b - - 0 1", 0},
        {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8n", "N3k3/8/8/8/8/8/8/4K3 b - - 0 1", 0},
        {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8Q", "4k3/P7/8/8/8/8/8/4K3 w - - 0 1", 1},
        {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8x", "4k3/P7/8/8/8/8/8/4K3 w - - 0 1", 1},
        {"position fen 1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7b8n", "1N2k3/8/8/8/8/8/8/4K3 b - - 0 1", 0},
        {"position fen 1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8r", "Rr2k3/8/8/8/8/8/8/4K3 b - - 0 1", 0},
        {"position fen 4k3/8/8/8/8/8/p7/4K3 b - - 0 1 moves a2a1b", "4k3/8/8/8/8/8/8/b3K3 w - - 0 1", 0},
        // En passant and castling by their text.
        {"position startpos moves e2e4 a7a6 e4e5 d7d5 e5d6",
         "rnbqkbnr/1pp1pppp/p2P4/8/8/8/PPPP1PPP/RNBQKBNR b KQkq - 0 3", 0},
        {"position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves e1g1 e8c8", "2kr3r/8/8/8/8/8/8/R4RK1 w - - 0 2", 0},
        // Moves are not tested for legality: the king stays in check.
        {"position fen 4k3/8/8/8/8/8/8/r3K3 w - - 0 1 moves e1d1", "4k3/8/8/8/8/8/8/r2K4 b - - 0 1", 0},
    };
    for (const auto& c : cases) {
        Board board{};
        EXPECT_EQ(set_position(c.line, board), c.warnings) << c.line;
        EXPECT_TRUE(same_position(from_fen(c.fen), board)) << c.line;
        // Ready to search: the key and the balance of the pieces on the board.
        Board fresh = board;
        compute_hash_key(fresh);
        EXPECT_EQ(board.hash_key, fresh.hash_key) << c.line;
        EXPECT_EQ(board.material_balance, count_material(board)) << c.line;
    }
}

TEST(SetPosition, EnPassantSquareFromFen) {
    Board board{};
    ASSERT_EQ(set_position("position fen rnbqkbnr/pppp1ppp/8/8/4Pp2/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", board), 0);
    EXPECT_EQ(board.side_to_move, Side::Black);
    EXPECT_EQ(board.en_passant_square, square_of(4, 2));
}

TEST(SetPosition, UnknownSideLetterKeepsTheSideToMove) {
    for (Side before : {Side::Black, Side::White}) {
        Board board{};
        board.side_to_move = before;
        ASSERT_EQ(set_position("position fen 4k3/8/8/8/8/8/8/4K3 W - - 0 1", board), 0);
        EXPECT_EQ(board.side_to_move, before);
        EXPECT_EQ(board.all_piece, (1ull << 4) | (1ull << 60));
    }
}

TEST(CopyMoveText, SavesTheTextAfterMoves) {
    struct Case {
        const char* line;
        const char* saved;
    };
    const Case cases[] = {
        {"position startpos", ""},
        {"position startpos moves", ""},
        {"position startpos moves ", ""},
        {"position startpos moves e2e4 e7e5", "e2e4 e7e5"},
        {"position startpos moves  e2e4 ", " e2e4 "},
        {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8n", "a7a8n"},
        {"position startpos moves e2e4 moves e7e5", "e2e4 moves e7e5"},
    };
    static char move_text[kLineCapacity];
    for (const auto& c : cases) {
        std::memset(move_text, 'x', sizeof move_text);  // an earlier, longer text
        copy_move_text(c.line, move_text);
        EXPECT_STREQ(move_text, c.saved) << c.line;
        std::size_t length = std::strlen(c.saved);
        for (std::size_t i = length; i < kLineCapacity; ++i) ASSERT_EQ(move_text[i], '\0') << c.line << " at " << i;
    }
}

// A token that names no move of the side to move changes nothing at all.
TEST(ApplyMoveText, PlaysOnlyAMoveOfTheSideToMove) {
    struct Case {
        const char* token;
        bool played;
    };
    const Case cases[] = {
        {"e2e4", true},  {"g1f3", true},  {"e2e4q", true},  // a letter after a plain move means a queen: ignored
        {"e7e5", false}, {"e2e5", false}, {"e2e4n", false}, {"e2", false},
        {"", false},     {"i2i4", false}, {"e0e1", false},
    };
    for (const Case& c : cases) {
        Board board{};
        ASSERT_EQ(set_position("position startpos", board), 0);
        const Board before = board;
        EXPECT_EQ(apply_move_text(c.token, board), c.played) << c.token;
        if (c.played) {
            EXPECT_EQ(board.side_to_move, Side::Black) << c.token;
        } else {
            EXPECT_TRUE(same_position(before, board)) << c.token;
            EXPECT_EQ(board.hash_key, before.hash_key) << c.token;
            EXPECT_EQ(board.material_balance, before.material_balance) << c.token;
        }
    }
}

}  // namespace vargul
