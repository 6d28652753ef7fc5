#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "search/move_picker.h"
#include "support/eager_order.h"

namespace vargul {

namespace {

constexpr int kPly = 3;

// One node's list and what the search lifts in it: the killers, the hash
// move when the table has the position, and the deepening's move when it runs.
struct NodeCase {
    MoveList list;
    Killers killers;
    bool hash_hit;
    Move hash_move;
    bool deepening;
    Move deepening_move;
};

struct CaseMaker {
    std::mt19937_64 random{20240721};

    int below(int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); }

    // Ties are what make the order depend on the exact procedure, so most
    // shapes draw from a few values; capture scores go below 0 too, which
    // moves the killers in front of the captures.
    std::int32_t draw_score(int shape, int i) {
        switch (shape) {
            case 0: return below(2);
            case 1: return below(5) - 2;
            case 2: return below(8) == 0 ? below(50) : 0;
            case 3: return below(100000) - 50000;
            case 4: return i;
            default: return (i * 7) % 5 - 1;
        }
    }

    // A move of the list (a capture or a quiet one), one not in it, or none.
    Move draw_move(const MoveList& list) {
        const int pick = below(5);
        if (pick == 0 || list.move_count == 0) return pick == 1 ? 0 : encode_move(6, MoveKind::quiet, 63, 62, 0);
        if (pick == 1 && list.capture_count > 0) return list.move[below(list.capture_count)];
        return list.move[below(list.move_count)];
    }

    NodeCase make() {
        NodeCase c{};
        const int length = below(16) == 0 ? below(219) : below(60);
        const int captures = below(4) == 0 ? below(length + 1) : below(length / 3 + 1);
        const int shape = below(6);
        for (int i = 0; i < length; ++i) {
            c.list.move[i] = encode_move(1 + i % 6, static_cast<MoveKind>(1 + i / 64), i % 64, 0, 0);
            c.list.score[i] = draw_score(shape, i);
        }
        c.list.capture_count = captures;
        c.list.move_count = length;
        c.killers.killer_1[kPly] = draw_move(c.list);
        c.killers.killer_2[kPly] = below(6) == 0 ? c.killers.killer_1[kPly] : draw_move(c.list);
        c.hash_hit = below(2) == 0;
        c.hash_move = draw_move(c.list);
        c.deepening = below(3) == 0;
        c.deepening_move = draw_move(c.list);
        return c;
    }
};

// The eager order: both ranges sorted whole by the literal procedure, then
// the lifts on the sorted list, in the search's sequence.
MoveList eager_order(const NodeCase& c, Move& first_before_deepening) {
    MoveList list = c.list;
    eager_sort_moves(list);
    eager_place_killers(list, c.killers, kPly);
    if (c.hash_hit) eager_move_to_front(list, c.hash_move);
    first_before_deepening = list.move[0];
    if (c.deepening) eager_move_to_front(list, c.deepening_move);
    return list;
}

// Lists of every length up to the most a position has, with ties, killers in
// either range, repeated or missing, and lifts of moves already lifted: the
// lazy order must hand out the eager order's moves one by one.
TEST(MovePicker, SameSequenceAsTheEagerSortAndLifts) {
    CaseMaker maker;
    for (int round = 0; round < 200000; ++round) {
        const NodeCase c = maker.make();
        Move expected_first = 0;
        const MoveList expected = eager_order(c, expected_first);

        MoveList list = c.list;
        MovePicker picker;
        start_move_picker(picker, list);
        place_killers(picker, c.killers, kPly);
        bool found = false;
        if (c.hash_hit) found = move_to_front(picker, c.hash_move);
        ASSERT_EQ(found, c.hash_hit && find_move(c.list, c.hash_move, 0) >= 0) << "round " << round;
        if (c.list.move_count > 0) {
            ASSERT_EQ(first_move(picker), expected_first) << "round " << round;
        }
        if (c.deepening) move_to_front(picker, c.deepening_move);
        for (int i = 0; i < c.list.move_count; ++i)
            ASSERT_EQ(next_move(picker), expected.move[i]) << "round " << round << " entry " << i;
    }
}

// The stored move comes first and the rest keep their order; a move the list
// lacks, or a position the table lacks, leaves the order alone.
TEST(MovePicker, HashMoveToFront) {
    HashTable table;
    ASSERT_TRUE(table.allocate(1));
    table.clear();
    MoveList list{};
    for (int n = 0; n < 8; ++n) list.move[list.move_count++] = encode_move(1, MoveKind::quiet, n, n + 8, 0);
    list.capture_count = 0;  // equal scores: the sort leaves the list as it stands
    const MoveList before = list;
    auto order_after = [&](std::uint64_t key, bool& found) {
        MoveList copy = before;
        MovePicker picker;
        start_move_picker(picker, copy);
        found = hash_move_to_front(picker, table, key);
        std::vector<Move> order;
        for (int i = 0; i < copy.move_count; ++i) order.push_back(next_move(picker));
        return order;
    };
    const std::vector<Move> unchanged(before.move, before.move + 8);
    bool found = true;
    EXPECT_EQ(order_after(42, found), unchanged);
    EXPECT_FALSE(found) << "nothing stored";

    hash_store(table, 0, 0, before.move[5], 42, 0, Bound::exact);
    const int expected[] = {5, 0, 1, 2, 3, 4, 6, 7};
    const std::vector<Move> order = order_after(42, found);
    EXPECT_TRUE(found);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(order[i], before.move[expected[i]]) << i;

    hash_store(table, 0, 0, encode_move(1, MoveKind::quiet, 40, 48, 0), 43, 0, Bound::exact);
    EXPECT_EQ(order_after(43, found), unchanged);
    EXPECT_FALSE(found) << "a stored move the list lacks";
}

}  // namespace

}  // namespace vargul
