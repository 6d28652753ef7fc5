#include <gtest/gtest.h>

#include <sys/resource.h>
#include <climits>
#include <cstdlib>
#include <string>

#include "position/keys.h"
#include "search/hash_table.h"
#include "support/test_engine.h"
#include "uci/command_loop.h"

namespace vargul {

TEST(ParseHashValue, NumberAfterTheKey) {
    struct Case {
        const char* line;
        std::int32_t value;
    };
    const Case cases[] = {
        {"setoption name Hash value 64", 64},
        {"setoption name Hash value 0", 0},
        {"setoption name Hash value -1", -1},
        {"setoption name Hash value", -1},     // the key needs its blank
        {"setoption name hash value 64", -1},  // and its case
        {"setoption name Ponder value true", -1},
        {"setoption name Hash value true", 0},        // no digits
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

// The byte string of the fatal message.
const std::string kNoMemory = "\xEF\xE0\xEC\xFF\xF2\xE8\x20\xED\xE5\xF2\x20\n";

}  // namespace

TEST(CommandLoop, UciAllocatesAtTheCurrentSizeAndComputesTheKey) {
    TestEngine engine;
    engine->hash_megabytes = 1;
    EXPECT_EQ(engine.command("uci"), kCarryOn);
    const HashTable& hash = engine->tables.hash;
    ASSERT_TRUE(hash.allocated());
    EXPECT_EQ(hash.slot_count(), 32768u);
    EXPECT_EQ(slot_key(hash, hash.slot(0)), kEmptySlotKey);
    EXPECT_EQ(engine->board.hash_key, empty_board_key);
}

TEST(CommandLoop, HashOptionSizes) {
    struct Case {
        const char* line;
        std::uint32_t slots;
    };
    const Case cases[] = {
        {"setoption name Hash value 64", 2097152},   {"setoption name Hash value 1", 32768},
        {"setoption name Hash value 0", 1},          {"setoption name Hash value -5", 32768},  // clamped to 1 MB
        {"setoption name Hash value -1", 32768},  // ignored: the size stays
        {"setoption name Ponder value true", 32768}, {"setoption name Hash value 2", 65536},
    };
    TestEngine engine;
    engine->hash_megabytes = 1;
    engine.command("uci");
    const HashTable& hash = engine->tables.hash;
    for (const auto& c : cases) {
        engine.clear_output();
        EXPECT_EQ(engine.command(c.line), kCarryOn) << c.line;
        EXPECT_EQ(engine.output(), "") << c.line;
        EXPECT_EQ(hash.slot_count(), c.slots) << c.line;
        EXPECT_EQ(slot_key(hash, hash.slot(hash.slot_count() - 1)), kEmptySlotKey) << c.line;
    }
}

TEST(CommandLoop, GoBeforeUciAllocatesTheTableAndKeepsIt) {
    TestEngine engine;
    engine->hash_megabytes = 1;
    engine->board.hash_key = 99;
    engine.command("position startpos");
    engine->board.hash_key = 99;
    EXPECT_EQ(engine.command("go depth 0"), kCarryOn);
    const HashTable& hash = engine->tables.hash;
    ASSERT_TRUE(hash.allocated());
    EXPECT_EQ(hash.slot_count(), 32768u);
    EXPECT_EQ(engine->board.hash_key, 0xB5373EA627A9F94Cull) << "the key is computed before the search";
    engine.clear_output();
    EXPECT_EQ(engine.command("setoption name Hash value 2"), kCarryOn) << "a later resize finds the table";
    EXPECT_EQ(engine.output(), "");
    EXPECT_EQ(hash.slot_count(), 65536u);
}

// Some GUIs send their stored size before "uci": it sizes the table, quietly.
TEST(CommandLoop, ResizeBeforeUciAllocatesTheTable) {
    TestEngine engine;
    EXPECT_EQ(engine.command("setoption name Hash value 4"), kCarryOn);
    EXPECT_EQ(engine.output(), "");
    ASSERT_TRUE(engine->tables.hash.allocated());
    EXPECT_EQ(engine->tables.hash.slot_count(), 131072u);
    EXPECT_EQ(engine.command("isready"), kCarryOn);
    EXPECT_EQ(engine.output(), "readyok\n\n");
}

#ifndef __SANITIZE_ADDRESS__  // the sanitizer's allocator aborts instead of failing
TEST(CommandLoop, AllocationFailureSaysNoMemoryAndEnds) {
    // In a child process, so the address-space limit stays there; the child
    // writes to the same output file.
    TestEngine engine;
    engine->hash_megabytes = 1;
    engine.command("uci");
    engine.clear_output();
    EXPECT_EXIT(
        {
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = std::uint64_t{256} << 20;
            ::setrlimit(RLIMIT_AS, &limit);
            std::exit(engine.command("setoption name Hash value 1024") == 1 && !engine->tables.hash.allocated() ? 3
                                                                                                                : 4);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(engine.output(), kNoMemory);
}
#endif

TEST(CommandLoop, QuitEndsWithStatusOneAndNothingWritten) {
    TestEngine engine;
    EXPECT_EQ(engine.commands({"uci", "position startpos"}), kCarryOn);
    engine.clear_output();
    EXPECT_EQ(engine.command("quit"), 1);
    EXPECT_EQ(engine.output(), "");
}

// The loop reads its input to the end, or to the first command that ends the run.
TEST(CommandLoop, RunsTheInputUntilItEndsOrQuits) {
    struct Case {
        const char* input;
        int status;
        const char* output;
    };
    const Case cases[] = {
        {"", 0, ""},
        {"isready\n", 0, "readyok\n\n"},
        {"isready\nquit\nisready\n", 1, "readyok\n\n"},
        {"bogus\r\nquit", 1, "WARNING ! Unknown command\n"},
    };
    for (const Case& c : cases) {
        TestEngine engine(c.input);
        EXPECT_EQ(run_command_loop(*engine), c.status) << c.input;
        EXPECT_EQ(engine.output(), c.output) << c.input;
    }
}

}  // namespace vargul
