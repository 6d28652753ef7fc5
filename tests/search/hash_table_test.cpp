#include <gtest/gtest.h>

#include <sys/resource.h>
#include <cstdint>

#include "search/hash_table.h"

namespace vargul {

namespace {

// A table of one megabyte, freshly allocated and cleared.
class SmallTable : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(table_.allocate(1));
        table_.clear();
    }

    HashTable table_;
};

MoveList list_of(std::initializer_list<Move> moves) {
    MoveList list{};
    for (Move m : moves) {
        list.score[list.move_count] = 100 + list.move_count;
        list.move[list.move_count++] = m;
    }
    return list;
}

Move move_number(int n) { return encode_move(1, MoveKind::quiet, n, n + 8, 0); }

}  // namespace

TEST(HashSizing, SlotCounts) {
    struct Case {
        std::int32_t megabytes;
        std::uint32_t slots;
    };
    const Case cases[] = {
        {0, 1},        {1, 32768},    {2, 65536},     {3, 65536},       {31, 524288},     {32, 1048576},
        {33, 1048576}, {64, 2097152}, {100, 2097152}, {1024, 33554432}, {4095, 67108864},
    };
    for (const auto& c : cases) EXPECT_EQ(hash_slot_count(c.megabytes), c.slots) << c.megabytes;
}

TEST(HashSizing, AllocationReplacesTheTable) {
    HashTable table;
    EXPECT_FALSE(table.allocated());
    ASSERT_TRUE(table.allocate(1));
    EXPECT_EQ(table.slot_count(), 0x8000u);
    ASSERT_TRUE(table.allocate(2));
    EXPECT_EQ(table.slot_count(), 0x10000u);
    table.clear();
    EXPECT_EQ(slot_key(table, table.slot(0xFFFF)), kEmptySlotKey);
}

#ifndef __SANITIZE_ADDRESS__  // the sanitizer's allocator aborts instead of failing
TEST(HashSizing, AllocationFailureLeavesNoTable) {
    // In a child process, so the address-space limit stays there.
    EXPECT_EXIT(
        {
            HashTable table;
            const bool small = table.allocate(1);
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = std::uint64_t{256} << 20;
            ::setrlimit(RLIMIT_AS, &limit);
            const bool large = table.allocate(1024);
            std::exit(small && !large && !table.allocated() ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
}

// A table gives its memory back when it is replaced and when it goes: under
// an address-space limit with room for one large table, many come and go.
TEST(HashSizing, AllocationFailureNeverForTablesGone) {
    EXPECT_EXIT(
        {
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = std::uint64_t{256} << 20;
            ::setrlimit(RLIMIT_AS, &limit);
            bool all = true;
            {
                HashTable replaced;
                for (int i = 0; i < 8; ++i) all = replaced.allocate(128) && all;
            }
            for (int i = 0; i < 8; ++i) {
                HashTable passing;
                all = passing.allocate(128) && all;
            }
            std::exit(all ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
}
#endif

TEST_F(SmallTable, ClearEmptiesEverySlot) {
    MoveList list = list_of({move_number(1)});
    for (std::uint64_t key = 0; key < table_.slot_count(); key += 97)
        hash_store(table_, 0, 0, list.move[0], key, 0, Bound::exact);
    table_.clear();
    for (std::uint64_t i = 0; i < table_.slot_count(); ++i)
        ASSERT_EQ(slot_key(table_, table_.slot(i)), kEmptySlotKey) << i;
}

// The clear is a new generation; when the counter wraps, slots stored four
// billion clears ago must not read as current again.
TEST_F(SmallTable, ClearAcrossTheGenerationWrapEmptiesEverySlot) {
    MoveList list = list_of({move_number(1)});
    table_.set_generation(1);
    hash_store(table_, 0, 0, list.move[0], 5, 0, Bound::exact);
    table_.set_generation(~std::uint32_t{0});
    hash_store(table_, 0, 0, list.move[0], 6, 0, Bound::exact);
    table_.clear();
    EXPECT_EQ(table_.generation(), 1u);
    EXPECT_FALSE(hash_hit(table_, 5));
    EXPECT_FALSE(hash_hit(table_, 6));
    hash_store(table_, 0, 0, list.move[0], 5, 0, Bound::exact);
    EXPECT_TRUE(hash_hit(table_, 5));
}

// An empty slot reads as key all ones, as the old full clear wrote it, so a
// position whose key is all ones finds the stale move there.
TEST_F(SmallTable, AClearedSlotReadsAsKeyAllOnes) {
    MoveList list = list_of({move_number(1)});
    hash_store(table_, 0, 0, list.move[0], kEmptySlotKey, 0, Bound::exact);
    table_.clear();
    EXPECT_TRUE(hash_hit(table_, kEmptySlotKey));
    EXPECT_EQ(hash_slot(table_, kEmptySlotKey).move, move_number(1));
}

TEST_F(SmallTable, StoreWritesEveryField) {
    MoveList list = list_of({move_number(1), move_number(2)});
    hash_store(table_, 7, 3, list.move[1], 0x1234, -55, Bound::fail_low);
    const HashEntry& slot = table_.slot(0x1234);
    EXPECT_EQ(slot.key, 0x1234u);
    EXPECT_EQ(slot.move, move_number(2));
    EXPECT_EQ(slot.score, -55);
    EXPECT_EQ(slot.flag, Bound::fail_low);
    EXPECT_EQ(slot.ply, 3);
    EXPECT_EQ(slot.root_depth, 7);
    EXPECT_TRUE(hash_hit(table_, 0x1234));
}

TEST_F(SmallTable, ReplacementRule) {
    struct Stored {
        Bound flag;
        std::int32_t root_depth, ply;
    };
    struct Case {
        Stored old_entry, new_entry;
        bool replaced;
    };
    constexpr Bound exact = Bound::exact, fail_low = Bound::fail_low, fail_high = Bound::fail_high;
    const Case cases[] = {
        {{exact, 5, 1}, {fail_low, 5, 1}, false},   // exact is never replaced by a weaker bound...
        {{exact, 5, 1}, {fail_high, 9, 0}, false},  // ...whatever the depth left
        {{exact, 5, 1}, {exact, 5, 1}, true},         {{fail_low, 5, 1}, {fail_low, 5, 1}, true},
        {{fail_low, 5, 1}, {fail_high, 5, 1}, false}, {{fail_high, 5, 1}, {fail_high, 5, 1}, true},  // equal depth left
        {{fail_high, 5, 2}, {fail_high, 5, 1}, true},                                                // more depth left
        {{fail_high, 5, 1}, {exact, 5, 2}, false},  // depth left 3 does not replace 4
        {{fail_high, 3, 1}, {exact, 5, 2}, true},   // but does replace 2, from an earlier iteration
        {{fail_low, 3, 1}, {fail_low, 5, 2}, true},   {{fail_low, 3, 1}, {fail_high, 5, 2}, false},
    };
    const std::uint64_t key = 0xABCDEF;
    const std::uint64_t other_key = key + table_.slot_count();  // same slot, other position
    for (const auto& c : cases) {
        table_.clear();
        MoveList list = list_of({move_number(1), move_number(2)});
        hash_store(table_, c.old_entry.root_depth, c.old_entry.ply, list.move[0], key, 10, c.old_entry.flag);
        hash_store(table_, c.new_entry.root_depth, c.new_entry.ply, list.move[1], other_key, 20, c.new_entry.flag);
        const HashEntry& slot = hash_slot(table_, key);
        const auto described = [](const Stored& s) {
            return std::to_string(static_cast<int>(s.flag)) + "/" + std::to_string(s.root_depth) + "/" +
                   std::to_string(s.ply);
        };
        EXPECT_EQ(slot.key, c.replaced ? other_key : key) << described(c.old_entry) << " <- " << described(c.new_entry);
        EXPECT_EQ(slot.move, c.replaced ? move_number(2) : move_number(1));
        EXPECT_EQ(hash_hit(table_, key), !c.replaced) << "the full key tells the two positions apart";
    }
}

}  // namespace vargul
