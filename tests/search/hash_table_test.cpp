#include <gtest/gtest.h>

#include <cstdint>
#include <sys/resource.h>

#include "search/hash_table.h"
#include "support/fd_helpers.h"
#include "search/root_depth.h"

namespace {

// A table of `megabytes`, freshly allocated and cleared, released afterwards.
class SmallTable : public ::testing::Test {
protected:
    void SetUp() override {
        saved_megabytes_ = hash_megabytes;
        hash_megabytes = 1;
        allocate_hash_table();
        hash_clear();
        root_depth = 0;
    }
    void TearDown() override {
        release_hash_table();
        hash_megabytes = saved_megabytes_;
    }

    std::int32_t saved_megabytes_ = 32;
};

MoveList list_of(std::initializer_list<Move> moves) {
    MoveList list{};
    for (Move m : moves) {
        list.score[list.move_count] = 100 + list.move_count;
        list.move[list.move_count++] = m;
    }
    return list;
}

Move move_number(int n) { return encode_move(1, quiet, n, n + 8, 0); }

}  // namespace

TEST(HashSizing, SlotCounts) {
    struct Case { std::int32_t megabytes; std::uint32_t slots; };
    const Case cases[] = {
        {0, 1}, {1, 32768}, {2, 65536}, {3, 65536}, {31, 524288}, {32, 1048576}, {33, 1048576},
        {64, 2097152}, {100, 2097152}, {1024, 33554432}, {4095, 67108864},
    };
    for (const auto& c : cases) EXPECT_EQ(hash_slot_count(c.megabytes), c.slots) << c.megabytes;
}

TEST(HashSizing, EnsureAllocatesOnlyWhenMissing) {
    const std::int32_t saved = hash_megabytes;
    hash_megabytes = 1;
    ensure_hash_table();  // "go" before any "uci"
    ASSERT_NE(hash_table, nullptr);
    EXPECT_EQ(hash_mask, 0x7FFFu);
    HashEntry* table = hash_table;
    hash_megabytes = 2;
    ensure_hash_table();
    EXPECT_EQ(hash_table, table) << "an existing table is kept";
    EXPECT_EQ(hash_mask, 0x7FFFu);
    release_hash_table();
    hash_megabytes = saved;
}

TEST(HashFailures, ResizeWithoutTableSaysNothingToRelease) {
    CapturedOutput output;
    EXPECT_EXIT(
        {
            release_hash_table();
            resize_hash_table();
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(output.text(), "\xEE\xF1\xE2\xEE\xE1\xEE\xE6\xE4\xE0\xF2\xFC\x20\xED\xE5\xF7\xE5\xE3\xEE\x20\n");
}

#ifndef __SANITIZE_ADDRESS__  // the sanitizer's allocator aborts instead of failing
TEST(HashFailures, AllocationFailureSaysNoMemory) {
    CapturedOutput output;
    EXPECT_EXIT(
        {
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = std::uint64_t{256} << 20;
            ::setrlimit(RLIMIT_AS, &limit);
            hash_megabytes = 1024;
            allocate_hash_table();
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(output.text(), "\xEF\xE0\xEC\xFF\xF2\xE8\x20\xED\xE5\xF2\x20\n");
}
#endif

TEST_F(SmallTable, ClearEmptiesEverySlot) {
    MoveList list = list_of({move_number(1)});
    for (std::uint64_t key = 0; key <= hash_mask; key += 97) hash_store(0, 0, key, list, 0, 1);
    hash_clear();
    for (std::uint64_t i = 0; i <= hash_mask; ++i) ASSERT_EQ(hash_table[i].key, kEmptySlotKey) << i;
}

TEST_F(SmallTable, StoreWritesEveryField) {
    MoveList list = list_of({move_number(1), move_number(2)});
    root_depth = 7;
    hash_store(3, 1, 0x1234, list, -55, 2);
    const HashEntry& slot = hash_table[0x1234 & hash_mask];
    EXPECT_EQ(slot.key, 0x1234u);
    EXPECT_EQ(slot.move, move_number(2));
    EXPECT_EQ(slot.score, -55);
    EXPECT_EQ(slot.flag, 2);
    EXPECT_EQ(slot.ply, 3);
    EXPECT_EQ(slot.root_depth, 7);
    EXPECT_TRUE(hash_hit(0x1234));
}

TEST_F(SmallTable, ReplacementRule) {
    struct Stored { std::int32_t flag, root_depth, ply; };
    struct Case { Stored old_entry, new_entry; bool replaced; };
    const Case cases[] = {
        {{1, 5, 1}, {2, 5, 1}, false},  // exact is never replaced by a weaker bound...
        {{1, 5, 1}, {3, 9, 0}, false},  // ...whatever the depth left
        {{1, 5, 1}, {1, 5, 1}, true},
        {{2, 5, 1}, {2, 5, 1}, true},
        {{2, 5, 1}, {3, 5, 1}, false},
        {{3, 5, 1}, {3, 5, 1}, true},   // equal depth left
        {{3, 5, 2}, {3, 5, 1}, true},   // more depth left
        {{3, 5, 1}, {1, 5, 2}, false},  // depth left 3 does not replace 4
        {{3, 3, 1}, {1, 5, 2}, true},   // but does replace 2, from an earlier iteration
        {{2, 3, 1}, {2, 5, 2}, true},
        {{2, 3, 1}, {3, 5, 2}, false},
    };
    const std::uint64_t key = 0xABCDEF;
    const std::uint64_t other_key = key + (std::uint64_t{hash_mask} + 1);  // same slot, other position
    for (const auto& c : cases) {
        hash_clear();
        MoveList list = list_of({move_number(1), move_number(2)});
        root_depth = c.old_entry.root_depth;
        hash_store(c.old_entry.ply, 0, key, list, 10, c.old_entry.flag);
        root_depth = c.new_entry.root_depth;
        hash_store(c.new_entry.ply, 1, other_key, list, 20, c.new_entry.flag);
        const HashEntry& slot = hash_table[key & hash_mask];
        EXPECT_EQ(slot.key, c.replaced ? other_key : key)
            << c.old_entry.flag << "/" << c.old_entry.root_depth << "/" << c.old_entry.ply << " <- "
            << c.new_entry.flag << "/" << c.new_entry.root_depth << "/" << c.new_entry.ply;
        EXPECT_EQ(slot.move, c.replaced ? move_number(2) : move_number(1));
        EXPECT_EQ(hash_hit(key), !c.replaced) << "the full key tells the two positions apart";
    }
}

TEST_F(SmallTable, HashMoveToFront) {
    MoveList list = list_of({move_number(0), move_number(1), move_number(2), move_number(3), move_number(4),
                             move_number(5), move_number(6), move_number(7)});
    MoveList before = list;
    hash_store(0, 5, 42, list, 0, 1);

    MoveList missing = list_of({move_number(9), move_number(10)});
    MoveList missing_before = missing;
    EXPECT_EQ(hash_move_to_front(missing, 42), 0);
    for (int i = 0; i < missing.move_count; ++i) EXPECT_EQ(missing.move[i], missing_before.move[i]);

    EXPECT_EQ(hash_move_to_front(list, 42), 1);
    const int order[] = {5, 0, 1, 2, 3, 4, 6, 7};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(list.move[i], before.move[order[i]]) << i;
        EXPECT_EQ(list.score[i], before.score[order[i]]) << "scores travel with their moves, " << i;
    }
}
