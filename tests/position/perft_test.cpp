#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "position/perft.h"
#include "support/board_helpers.h"

namespace vargul {

namespace {

constexpr const char* kInitial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* kCastlingMaze = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
constexpr const char* kRookEndgame = "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1";
constexpr const char* kPromotions = "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1";
// The counts below belong to this position with d2 empty.
constexpr const char* kDiscovered = "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8";
constexpr const char* kSymmetric = "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10";

struct PerftCase {
    const char* fen;
    int depth;
    std::uint64_t nodes;
};

std::uint64_t perft_of(const char* fen, int depth) {
    Board board = board_from_fen(fen);
    Board before = board;
    std::uint64_t nodes = perft(board, depth);
    EXPECT_TRUE(same_board(before, board)) << "perft left the board changed: " << fen;
    return nodes;
}

// Depths that stay fast under the sanitizers.
constexpr PerftCase kPerft[] = {
    {kInitial, 0, 1},
    {kInitial, 1, 20},
    {kInitial, 2, 400},
    {kInitial, 3, 8902},
    {kInitial, 4, 197281},
    {kCastlingMaze, 1, 48},
    {kCastlingMaze, 2, 2039},
    {kCastlingMaze, 3, 97862},
    {kRookEndgame, 1, 14},
    {kRookEndgame, 2, 191},
    {kRookEndgame, 3, 2812},
    {kRookEndgame, 4, 43238},
    {kPromotions, 1, 6},
    {kPromotions, 2, 264},
    {kPromotions, 3, 9467},
    {kDiscovered, 1, 44},
    {kDiscovered, 2, 1486},
    {kDiscovered, 3, 62379},
    {kSymmetric, 1, 46},
    {kSymmetric, 2, 2079},
    {kSymmetric, 3, 89890},
    // The same trees with the colours exchanged: Black's twins must count alike.
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1", 3, 8902},
    {"r3k2r/pppbbppp/2n2q1P/1P2p3/3pn3/BN2PNP1/P1PPQPB1/R3K2R b KQkq - 0 1", 3, 97862},
    {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1", 3, 9467},
};

TEST(Perft, KnownPositions) {
    for (const auto& c : kPerft) EXPECT_EQ(perft_of(c.fen, c.depth), c.nodes) << c.fen << " depth " << c.depth;
}

// The colour image of a position has the image of its tree: White's and
// Black's code paths must count alike.
TEST(Perft, ColourImagesCountAlike) {
    for (const auto& c : kPerft) {
        const std::string image = mirrored_fen(c.fen);
        EXPECT_EQ(perft_of(image.c_str(), c.depth), c.nodes)
            << c.fen << "  mirrored  " << image << " depth " << c.depth;
    }
}

// The deepest counts; kept apart so that the sanitizer run can leave them out.
constexpr PerftCase kPerftDeep[] = {
    {kInitial, 5, 4865609},
    {kCastlingMaze, 4, 4085603},
    {kRookEndgame, 5, 674624},
    {kPromotions, 4, 422333},
};

TEST(PerftDeep, KnownPositions) {
    for (const auto& c : kPerftDeep) EXPECT_EQ(perft_of(c.fen, c.depth), c.nodes) << c.fen << " depth " << c.depth;
}

TEST(PerftDeep, ColourImagesCountAlike) {
    for (const auto& c : kPerftDeep) {
        const std::string image = mirrored_fen(c.fen);
        EXPECT_EQ(perft_of(image.c_str(), c.depth), c.nodes)
            << c.fen << "  mirrored  " << image << " depth " << c.depth;
    }
}

struct DivideRow {
    const char* move;
    std::uint64_t nodes;
};

// Per-move counts of the initial position at depth 3, in generation order
// (knights first, then each pawn's single push before its double push).
constexpr DivideRow kInitialDivide3[] = {
    {"b1a3", 400}, {"b1c3", 440}, {"g1f3", 440}, {"g1h3", 400}, {"a2a3", 380}, {"a2a4", 420}, {"b2b3", 420},
    {"b2b4", 421}, {"c2c3", 420}, {"c2c4", 441}, {"d2d3", 539}, {"d2d4", 560}, {"e2e3", 599}, {"e2e4", 600},
    {"f2f3", 380}, {"f2f4", 401}, {"g2g3", 420}, {"g2g4", 421}, {"h2h3", 380}, {"h2h4", 420},
};

TEST(PerftDivide, InitialPositionInGenerationOrder) {
    Board board = board_from_fen(kInitial);
    PerftDivide divide;
    EXPECT_EQ(perft_divide(board, 3, divide), 8902u);
    ASSERT_EQ(divide.count, 20);
    for (int i = 0; i < divide.count; ++i) {
        EXPECT_EQ(move_string(divide.move[i]), kInitialDivide3[i].move) << "entry " << i;
        EXPECT_EQ(divide.nodes[i], kInitialDivide3[i].nodes) << kInitialDivide3[i].move;
    }
}

// Divide lists only legal moves, and its parts add up to the plain count.
TEST(PerftDivide, SumsToPerftAndSkipsIllegalMoves) {
    for (const char* fen : {kCastlingMaze, kRookEndgame, kPromotions, kDiscovered}) {
        Board board = board_from_fen(fen);
        PerftDivide divide;
        std::uint64_t total = perft_divide(board, 2, divide);
        std::uint64_t sum = 0;
        for (int i = 0; i < divide.count; ++i) sum += divide.nodes[i];
        EXPECT_EQ(sum, total) << fen;
        EXPECT_EQ(total, perft_of(fen, 2)) << fen;
        EXPECT_EQ(static_cast<std::uint64_t>(divide.count), perft_of(fen, 1)) << fen;
    }
}

// Checkmate and stalemate have no legal moves; a side without a king has none either.
TEST(Perft, NoLegalMoves) {
    constexpr PerftCase kCases[] = {
        {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", 1, 0},  // mated
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 1, 0},                                 // stalemated
        {"7k/8/8/8/8/8/8/R7 w - - 0 1", 3, 0},                                    // White has no king
    };
    for (const auto& c : kCases) EXPECT_EQ(perft_of(c.fen, c.depth), c.nodes) << c.fen;
}

}  // namespace

}  // namespace vargul
