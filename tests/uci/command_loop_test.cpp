#include <gtest/gtest.h>

#include <climits>

#include "position/keys.h"
#include "search/hash_table.h"
#include "support/board_helpers.h"
#include "support/fd_helpers.h"
#include "uci/command_loop.h"
#include "uci/line_reader.h"

TEST(ParseHashValue, NumberAfterTheKey) {
    struct Case { const char* line; std::int32_t value; };
    const Case cases[] = {
        {"setoption name Hash value 64", 64},
        {"setoption name Hash value 0", 0},
        {"setoption name Hash value -1", -1},
        {"setoption name Hash value", -1},           // the key needs its blank
        {"setoption name hash value 64", -1},        // and its case
        {"setoption name Ponder value true", -1},
        {"setoption name Hash value true", 0},       // no digits
        {"setoption name Hash value  \t 12abc", 12},  // white space skipped, stops at the first non-digit
        {"setoption name Hash value +7", 7},
        {"setoption name Hash value - 7", 0},
        {"setoption name Hash value 16 Hash value 8", 16},
        {"setoption Hash value 5 name Hash", 5},
        {"setoption name Hash value 2147483647", INT32_MAX},
        {"setoption name Hash value 2147483648", INT32_MAX},
        {"setoption name Hash value 99999999999999999999999", INT32_MAX},
        {"setoption name Hash value -2147483648", INT32_MIN},
        {"setoption name Hash value -99999999999999999999999", INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_hash_value(c.line), c.value) << c.line;
}

TEST(ClampHashMegabytes, IntoTheAnnouncedRange) {
    // The edges only: 0..4095 keep the sizing, -1 never gets here (it is ignored).
    const std::int32_t cases[][2] = {{INT32_MIN, 1}, {-2, 1}, {0, 0}, {4095, 4095}, {4096, 1024}, {INT32_MAX, 1024}};
    for (const auto& c : cases) EXPECT_EQ(clamp_hash_megabytes(c[0]), c[1]) << c[0];
}

namespace {

class CommandLoop : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensure_zobrist_keys(); }
    void SetUp() override {
        saved_megabytes_ = hash_megabytes;
        release_hash_table();
    }
    void TearDown() override {
        release_hash_table();
        hash_megabytes = saved_megabytes_;
    }
    std::string run(const char* line) {
        CapturedOutput output;
        handle_command(line, board_, move_text_, node_count_);
        return output.text();
    }

    Board board_{};
    std::uint64_t node_count_ = 0;
    char move_text_[kLineCapacity] = {};
    std::int32_t saved_megabytes_ = 32;
};

}  // namespace

TEST_F(CommandLoop, UciAllocatesAtTheCurrentSizeAndComputesTheKey) {
    hash_megabytes = 1;
    run("uci");
    ASSERT_NE(hash_table, nullptr);
    EXPECT_EQ(hash_mask, 32767u);
    EXPECT_EQ(hash_table[0].key, kEmptySlotKey);
    EXPECT_EQ(board_.hash_key, empty_board_key);
}

TEST_F(CommandLoop, HashOptionSizes) {
    struct Case { const char* line; std::uint32_t slots; };
    const Case cases[] = {
        {"setoption name Hash value 64", 2097152},
        {"setoption name Hash value 1", 32768},
        {"setoption name Hash value 0", 1},
        {"setoption name Hash value -5", 32768},  // clamped to 1 MB
        {"setoption name Hash value -1", 32768},  // ignored: the size stays
        {"setoption name Ponder value true", 32768},
        {"setoption name Hash value 2", 65536},
    };
    hash_megabytes = 1;
    run("uci");
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.line), "") << c.line;
        EXPECT_EQ(hash_mask + 1, c.slots) << c.line;
        EXPECT_EQ(hash_table[hash_mask].key, kEmptySlotKey) << c.line;
    }
}

TEST_F(CommandLoop, GoBeforeUciAllocatesTheTableAndKeepsIt) {
    hash_megabytes = 1;
    board_.hash_key = 99;
    run("position startpos");
    run("go depth 0");
    ASSERT_NE(hash_table, nullptr);
    EXPECT_EQ(hash_mask, 32767u);
    EXPECT_EQ(board_.hash_key, 0xB5373EA627A9F94Cull) << "the key is computed before the search";
    EXPECT_EQ(run("setoption name Hash value 2"), "") << "a later resize finds the table";
    EXPECT_EQ(hash_mask, 65535u);
}
