#include <gtest/gtest.h>

#include <cstdint>

#include "position/keys.h"
#include "support/board_helpers.h"

namespace vargul {

namespace {

constexpr const char* kInitial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

struct KeyEntry {
    int colour, code, square;
    std::uint64_t value;
};

// The first entry made, the first White one, and the last of each colour:
// these pin the generator, the order of the draws and the way they are combined.
constexpr KeyEntry kKnownEntries[] = {
    {0, 1, 0, 0x6C118C5F33C24AE1ULL},
    {1, 1, 0, 0xC11B831D29F7DF06ULL},
    {0, 6, 63, 0xC05624D80950F706ULL},
    {1, 6, 63, 0x4FF1BA8C9E9DC8B5ULL},
};

TEST(Keys, KnownTableEntries) {
    for (const auto& e : kKnownEntries)
        EXPECT_EQ(zobrist_key[e.colour][e.code][e.square], e.value)
            << "colour " << e.colour << " code " << e.code << " square " << e.square;
}

// No key can equal the all-ones mark of an empty hash slot.
TEST(Keys, Bits30And46AlwaysClear) {
    constexpr std::uint64_t kClearBits = (std::uint64_t{1} << 30) | (std::uint64_t{1} << 46);
    EXPECT_EQ(empty_board_key & kClearBits, 0u);
    for (int colour = 0; colour < 2; ++colour)
        for (int code = 0; code < 7; ++code)
            for (int s = 0; s < 64; ++s) EXPECT_EQ(zobrist_key[colour][code][s] & kClearBits, 0u);
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
    Board board = board_from_fen(kInitial);
    compute_hash_key(board);
    MoveList list = all_moves(board);
    int e2e4 = find_move(list, "e2e4");
    ASSERT_GE(e2e4, 0);
    toggle_move_key<Side::White>(board, list.move[e2e4]);
    EXPECT_EQ(board.hash_key, 0x61C4B9272434CE94ULL);
    toggle_move_key<Side::White>(board, list.move[e2e4]);
    EXPECT_EQ(board.hash_key, 0xB5373EA627A9F94CULL);
}

}  // namespace

}  // namespace vargul
