#include <gtest/gtest.h>

#include <cstdint>

#include "position/keys.h"
#include "support/board_helpers.h"

namespace {

constexpr const char* kInitial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

struct KeyEntry {
    int colour, code, square;
    std::uint64_t value;
};

// The first entry filled, the first White one, and the last of each colour:
// these pin the generator, the fill order and the way the draws are combined.
constexpr KeyEntry kKnownEntries[] = {
    {0, 1, 0, 0x6C118C5F33C24AE1ULL},
    {1, 1, 0, 0xC11B831D29F7DF06ULL},
    {0, 6, 63, 0xC05624D80950F706ULL},
    {1, 6, 63, 0x4FF1BA8C9E9DC8B5ULL},
};

TEST(Keys, KnownTableEntries) {
    ensure_zobrist_keys();
    for (const auto& e : kKnownEntries)
        EXPECT_EQ(zobrist_key[e.colour][e.code][e.square], e.value)
            << "colour " << e.colour << " code " << e.code << " square " << e.square;
}

// No key can equal the all-ones mark of an empty hash slot.
TEST(Keys, Bits30And46AlwaysClear) {
    ensure_zobrist_keys();
    constexpr std::uint64_t kClearBits = (std::uint64_t{1} << 30) | (std::uint64_t{1} << 46);
    EXPECT_EQ(empty_board_key & kClearBits, 0u);
    for (int colour = 0; colour < 2; ++colour)
        for (int code = 0; code < 7; ++code)
            for (int s = 0; s < 64; ++s) EXPECT_EQ(zobrist_key[colour][code][s] & kClearBits, 0u);
}

TEST(Keys, CodeZeroRowsStayEmptyAndFilledEntriesDiffer) {
    ensure_zobrist_keys();
    for (int colour = 0; colour < 2; ++colour)
        for (int s = 0; s < 64; ++s) EXPECT_EQ(zobrist_key[colour][0][s], 0u);
    // A repeated or zero entry would make two placements collide.
    for (int colour = 0; colour < 2; ++colour)
        for (int code = 1; code < 7; ++code)
            for (int s = 0; s < 64; ++s) {
                ASSERT_NE(zobrist_key[colour][code][s], 0u);
                if (s > 0) {
                    ASSERT_NE(zobrist_key[colour][code][s], zobrist_key[colour][code][s - 1]);
                }
            }
}

struct FenKey {
    const char* fen;
    std::uint64_t key;
};

// The key covers the placement only: side, castling rights and en passant do not enter it.
constexpr FenKey kFenKeys[] = {
    {"8/8/8/8/8/8/8/8 w - - 0 1", 0xF3218F1C9510786CULL},
    {kInitial, 0xB5373EA627A9F94CULL},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b - - 0 1", 0xB5373EA627A9F94CULL},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kq e6 0 1", 0xB5373EA627A9F94CULL},
    {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 0x61C4B9272434CE94ULL},
};

TEST(Keys, ComputedFromScratch) {
    ensure_zobrist_keys();
    for (const auto& c : kFenKeys) {
        Board board = board_from_fen(c.fen);
        Board before = board;
        compute_hash_key(board);
        EXPECT_EQ(board.hash_key, c.key) << c.fen;
        before.hash_key = board.hash_key;
        EXPECT_TRUE(same_board(before, board)) << "compute_hash_key wrote more than the key";
    }
}

TEST(Keys, ToggleOfE2E4MatchesTheNewPosition) {
    ensure_zobrist_keys();
    Board board = board_from_fen(kInitial);
    compute_hash_key(board);
    MoveList list = all_moves(board);
    int e2e4 = find_move(list, "e2e4");
    ASSERT_GE(e2e4, 0);
    EXPECT_EQ(list.move[e2e4], 0x0170C040u);
    toggle_move_key(1, list, e2e4, board);
    EXPECT_EQ(board.hash_key, 0x61C4B9272434CE94ULL);
    toggle_move_key(1, list, e2e4, board);
    EXPECT_EQ(board.hash_key, 0xB5373EA627A9F94CULL);
}

struct ToggleCase {
    const char* fen;
    const char* move;
    const char* after;  // the position once the move is made
};

// Every kind the key follows, for both colours: the toggle alone (it reads the
// move, never the board) must land on the key of the position after the move.
constexpr ToggleCase kToggles[] = {
    {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", "r3k2r/8/8/8/8/8/8/2KR3R b kq - 1 1"},
    {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 1 1"},
    {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", "2kr3r/8/8/8/8/8/8/R3K2R w KQ - 1 2"},
    {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", "r4rk1/8/8/8/8/8/8/R3K2R w KQ - 1 2"},
    {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "4k3/8/3P4/8/8/8/8/4K3 b - - 0 1"},
    {"4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", "d4e3", "4k3/8/8/8/8/4p3/8/4K3 w - - 0 1"},
    {"n3k3/8/8/8/8/5B2/8/R3K1nr w - - 0 1", "a1a8", "R3k3/8/8/8/8/5B2/8/4K1nr b - - 0 1"},
    {"n3k3/8/8/8/8/5B2/8/R3K1nr w - - 0 1", "f3e4", "n3k3/8/8/8/4B3/8/8/R3K1nr b - - 1 1"},
    {"n3k3/8/8/8/8/5B2/8/R3K1nr b - - 0 1", "g1f3", "n3k3/8/8/8/8/5n2/8/R3K2r w - - 0 2"},
    {"n3k3/8/8/8/8/5B2/8/R3K1nr b - - 0 1", "h1h4", "n3k3/8/8/8/7r/5B2/8/R3K1n1 w - - 1 2"},
};

TEST(Keys, ToggleMatchesComputedKeyForEveryKind) {
    ensure_zobrist_keys();
    for (const auto& c : kToggles) {
        Board board = board_from_fen(c.fen);
        compute_hash_key(board);
        MoveList list = all_moves(board);
        int index = find_move(list, c.move);
        ASSERT_GE(index, 0) << c.move << " not generated in " << c.fen;
        toggle_move_key(board.colour_move, list, index, board);
        Board after = board_from_fen(c.after);
        compute_hash_key(after);
        EXPECT_EQ(board.hash_key, after.hash_key) << c.move << " in " << c.fen;
    }
}

TEST(Keys, PromotionsLeaveTheKeyAlone) {
    ensure_zobrist_keys();
    Board board = board_from_fen("3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1");
    compute_hash_key(board);
    const std::uint64_t key = board.hash_key;
    MoveList list = all_moves(board);
    for (const char* move : {"e7e8q", "e7e8n", "e7d8q", "e7d8b"}) {
        int index = find_move(list, move);
        ASSERT_GE(index, 0) << move;
        toggle_move_key(1, list, index, board);
        EXPECT_EQ(board.hash_key, key) << move;
    }
}

}  // namespace
