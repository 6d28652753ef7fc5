// Set-up drops the castling rights and the en passant square that the pieces
// cannot use: the generators trust them, and with the king or rook missing
// castling would move pieces that are not there.
#include <gtest/gtest.h>

#include <string>

#include "uci/set_position.h"

namespace vargul {

namespace {

struct RightsCase {
    const char* name;
    const char* line;
    int castling;  // white long, white short, black long, black short as four bits, white long highest
    bool en_passant;
};

int castling_bits(const Board& b) {
    const CastlingRights& r = b.castling_rights;
    return r.white_long << 3 | r.white_short << 2 | r.black_long << 1 | r.black_short;
}

const RightsCase kRights[] = {
    {"initial position keeps all four", "position startpos", 0b1111, 0},
    {"kings only", "position fen 4k3/8/8/8/8/8/8/4K3 w KQkq - 0 1", 0, 0},
    {"each right needs its own rook", "position fen r3k3/8/8/8/8/8/8/4K2R w KQkq - 0 1", 0b0110, 0},
    {"a king off its square takes both rights", "position fen r3k2r/8/8/8/8/8/8/R2K3R w KQkq - 0 1", 0b0011, 0},
    {"the rook must be a rook", "position fen n3k2b/8/8/8/8/8/8/Q3K2B w KQkq - 0 1", 0, 0},
    {"a rook of the other colour does not count", "position fen R3k2R/8/8/8/8/8/8/r3K2r w KQkq - 0 1", 0, 0},
    {"king on a8 as in a corner", "position fen k7/8/8/8/8/8/8/K6q b KQkq - 0 1", 0, 0},
    {"en passant that fits", "position fen 4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", 0, 1},
    {"en passant without the pawn to take", "position fen 4k3/8/8/8/3p4/8/8/4K3 b - e3 0 1", 0, 0},
    {"en passant onto an occupied square", "position fen 4k3/8/8/8/3pP3/4N3/8/4K3 b - e3 0 1", 0, 0},
    {"en passant on the wrong rank", "position fen 4k3/8/8/8/3pP3/8/8/4K3 b - e6 0 1", 0, 0},
    {"en passant for the wrong side", "position fen 4k3/8/8/8/3pP3/8/8/4K3 w - e3 0 1", 0, 0},
    {"a castle lost by the moves stays lost", "position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves h1h8", 0b1010,
     0},
    {"a fitting en passant made by the moves", "position fen 4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1 moves e2e4", 0, 1},
};

TEST(UnfitRights, SetUpKeepsOnlyTheRightsThePiecesCanUse) {
    for (const auto& c : kRights) {
        Board board{};
        ASSERT_EQ(set_position(c.line, board), 0) << c.name;
        EXPECT_EQ(castling_bits(board), c.castling) << c.name;
        EXPECT_EQ(board.en_passant_square != kNoSquare, c.en_passant) << c.name;
    }
}

// The case the fuzzer found: castling "long" from a8 with the king standing in
// the rook's corner, whose unmake wiped the king from the board.
TEST(UnfitRights, NoCastlingIsOfferedWithoutKingAndRook) {
    Board board{};
    EXPECT_EQ(set_position("position fen k7/8/8/8/8/8/8/K6q b KQkq - 0 1 moves a8c8", board), 1)
        << "the castle is refused";
    EXPECT_EQ(board.black_piece_on[56], kKing);
}

}  // namespace

}  // namespace vargul
