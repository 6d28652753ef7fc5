#include <gtest/gtest.h>

#include <string>

#include "position/setup_check.h"
#include "support/board_helpers.h"

namespace vargul {

namespace {

struct SetupCase {
    const char* fen;
    const char* problem;  // a word of the reason given, or nullptr when the position is fine
};

constexpr SetupCase kSetups[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", nullptr},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", nullptr},
    {"rnbqkbnr/pppp1ppp/8/8/4Pp2/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", nullptr},
    {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", nullptr},
    {"4k3/8/8/8/8/8/8/8 w - - 0 1", "king"},
    {"4k3/8/8/8/8/8/8/3KK3 w - - 0 1", "king"},
    {"4k2k/8/8/8/8/8/8/4K3 w - - 0 1", "king"},
    {"4k2P/8/8/8/8/8/8/4K3 w - - 0 1", "pawn"},
    {"4k3/8/8/8/8/8/8/p3K3 w - - 0 1", "pawn"},
    {"4k3/8/8/8/8/8/8/4K3 w K - 0 1", "castling"},
    {"4k3/8/8/8/8/8/8/R4K1R w Q - 0 1", "castling"},
    {"r3k3/8/8/8/8/8/8/4K3 w k - 0 1", "castling"},
    {"4k3/8/8/3pP3/8/8/8/4K3 w - e6 0 1", "passant"},    // no pawn passed e6
    {"4k3/8/8/3pP3/8/8/8/4K3 w - d3 0 1", "passant"},    // wrong rank for White to move
    {"4k3/8/3n4/3pP3/8/8/8/4K3 w - d6 0 1", "passant"},  // the square passed over is taken
    {"4k3/8/8/8/8/8/8/4K2r b - - 0 1", "check"},
    {"4k3/8/8/8/8/8/8/4K2r w - - 0 1", nullptr},  // the side to move may be in check
};

TEST(SetupCheck, Reasons) {
    for (const auto& c : kSetups) {
        const char* problem = position_problem(board_from_fen(c.fen));
        if (!c.problem) {
            EXPECT_EQ(problem, nullptr) << c.fen << ": " << problem;
        } else {
            ASSERT_NE(problem, nullptr) << c.fen;
            EXPECT_NE(std::string(problem).find(c.problem), std::string::npos) << c.fen << ": " << problem;
        }
    }
}

}  // namespace

}  // namespace vargul
