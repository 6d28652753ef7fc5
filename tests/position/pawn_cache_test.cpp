// The pawn cache must never change a score: every evaluation through it has to
// equal the one that works the pawn terms out afresh, whatever the cache held.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "board/board.h"
#include "board/fen.h"
#include "position/evaluate.h"
#include "position/pawn_cache.h"

namespace vargul {

namespace {

Board board_from(const std::string& fen) {
    Board board{};
    parse_fen(("fen " + fen).c_str(), board);
    return board;
}

// Pieces scattered over an empty board, pawns off the first and last rank:
// from bare kings to full armies, so both phases come up, with far more pawn
// structures than the cache has entries.
std::string random_fen(std::mt19937& rng) {
    char grid[64];
    for (char& c : grid) c = '.';
    auto place = [&](char piece, int low, int high) {
        for (int tries = 0; tries < 100; ++tries) {
            const int s = low + static_cast<int>(rng() % static_cast<unsigned>(high - low));
            if (grid[s] == '.') {
                grid[s] = piece;
                return;
            }
        }
    };
    place('K', 0, 64);
    place('k', 0, 64);
    const char kOfficers[] = "NBRQnbrq";
    for (int i = static_cast<int>(rng() % 15); i > 0; --i) place(kOfficers[rng() % 8], 0, 64);
    for (int i = static_cast<int>(rng() % 17); i > 0; --i) place(rng() % 2 ? 'P' : 'p', 8, 56);
    std::string fen;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const char c = grid[8 * rank + file];
            if (c == '.') {
                ++empty;
                continue;
            }
            if (empty) fen += static_cast<char>('0' + empty);
            empty = 0;
            fen += c;
        }
        if (empty) fen += static_cast<char>('0' + empty);
        if (rank) fen += '/';
    }
    return fen + " w - - 0 1";
}

// Each position twice through one cache: the first look may store, the second
// reads what was stored; both must match the evaluation without a cache.
TEST(PawnCache, RandomPositionsScoreAsWithoutIt) {
    auto cache = std::make_unique<PawnCache>();
    std::mt19937 rng(4471);
    for (int trial = 0; trial < 30000; ++trial) {
        const std::string fen = random_fen(rng);
        const Board board = board_from(fen);
        const int fresh = evaluate(board);
        ASSERT_EQ(evaluate(board, cache.get()), fresh) << fen;
        ASSERT_EQ(evaluate(board, cache.get()), fresh) << fen << " (second look)";
    }
}

// One pawn structure met first in one phase and then in the other: the entry
// stored for the first must still give the second phase's terms.
TEST(PawnCache, SamePawnsInBothPhases) {
    const char* const kPairs[][2] = {
        // Full armies (middle game), then bare kings (end game) behind the same pawns.
        {"rnbqkbnr/pp3ppp/8/2pp4/3P4/4P3/PP3PPP/RNBQKBNR w - - 0 1", "4k3/pp3ppp/8/2pp4/3P4/4P3/PP3PPP/4K3 w - - 0 1"},
        // Passed and doubled pawns, end game first this time.
        {"6k1/8/3P4/8/1p6/1p6/6P1/6K1 w - - 0 1", "r2q2k1/8/3P4/8/1p6/1p6/6P1/R2Q2K1 w - - 0 1"},
        // Only one side past the threshold.
        {"3qk3/2p5/8/3P4/8/8/5P2/4K3 w - - 0 1", "3qk3/2p5/8/3P4/8/8/5P2/3QK3 w - - 0 1"},
    };
    for (const auto& pair : kPairs) {
        auto cache = std::make_unique<PawnCache>();
        for (const char* fen : pair) {
            const Board board = board_from(fen);
            EXPECT_EQ(evaluate(board, cache.get()), evaluate(board)) << fen;
        }
    }
}

// A fresh cache is all zeros, which must read as the entry of a board without
// pawns, and of nothing else.
TEST(PawnCache, FreshCacheServesPawnlessAndPawnBoards) {
    auto cache = std::make_unique<PawnCache>();
    for (const char* fen :
         {"4k3/8/8/3q4/8/8/8/3QK2R w - - 0 1", "4k3/8/8/8/8/8/6P1/4K3 w - - 0 1", "4k3/1p6/8/8/8/8/8/4K3 w - - 0 1"}) {
        const Board board = board_from(fen);
        EXPECT_EQ(evaluate(board, cache.get()), evaluate(board)) << fen;
    }
}

}  // namespace

}  // namespace vargul
