#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "search/exchange_passes.h"
#include "support/eager_order.h"

namespace vargul {

namespace {

// Every pass of entries a .. b-1 at once, as a node that tries all its moves runs them.
void exchange_sort(MoveList& list, int a, int b) {
    std::int32_t tail_max[kMaxMoves];
    ExchangePasses passes = exchange_passes(list, a, b, tail_max);
    sort_through(passes, b - 1);
}

// Entries 0 .. end-1; a few past the sorted range catch a sort that strays.
bool same_lists(const MoveList& x, const MoveList& y, int end) {
    for (int i = 0; i < end && i < kMaxMoves; ++i)
        if (x.move[i] != y.move[i] || x.score[i] != y.score[i]) return false;
    return true;
}

// A list shaped like the search's: a distinct move word per entry, so the
// comparison sees where each entry went, and scores drawn to give ties often.
struct ListMaker {
    std::mt19937_64 random{20240613};

    int below(int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); }

    std::int32_t draw_score(int shape, int i, int length) {
        switch (shape) {
            case 0: return below(2);                              // two values
            case 1: return below(5) - 2;                          // a few values, negatives too
            case 2: return below(8) == 0 ? below(50) : 0;         // mostly zeros, like fresh history counts
            case 3: return below(100000);                         // nearly all distinct
            case 4: return i;                                     // rising: the longest passes
            case 5: return length - i;                            // already falling: no swaps
            case 6: return (i * 7) % 5;                           // repeating runs of ties
            default: return below(3) == 0 ? -1000000 : below(4);  // far apart and close together
        }
    }

    // Entries from length on (up to `filled`) hold a marker score the sort must not reach.
    MoveList make(int length, int shape, int filled = kMaxMoves) {
        MoveList list;
        for (int i = 0; i < filled && i < kMaxMoves; ++i) {
            list.move[i] = encode_move(1 + i % 6, MoveKind::quiet, i % 64, (i * 5) % 64, i / 64);
            list.score[i] = i < length ? draw_score(shape, i, length) : -7;
        }
        list.capture_count = 0;
        list.move_count = length;
        return list;
    }
};

// Millions of lists of every shape, ties included: the quick sort must leave
// the same entries in the same places as the literal procedure, every time.
TEST(ExchangeSort, SameOrderAsTheLiteralProcedure) {
    ListMaker maker;
    int lists = 0;
    for (int round = 0; round < 250000; ++round) {
        for (int shape = 0; shape < 8; ++shape) {
            const int length = round % 64 == 0 ? maker.below(kMaxMoves + 1) : maker.below(48);
            MoveList quick = maker.make(length, shape, length + 8);
            MoveList literal = quick;
            exchange_sort(quick, 0, length);
            literal_exchange_sort(literal, 0, length);
            ++lists;
            ASSERT_TRUE(same_lists(quick, literal, length + 8))
                << "shape " << shape << " length " << length << " round " << round;
        }
    }
    EXPECT_EQ(lists, 2000000);
}

// The search sorts the captures and the quiet moves as two ranges of one
// list: a range that starts past 0 sorts the same way and leaves the rest be.
TEST(ExchangeSort, RangeInsideTheListLeavesTheRestAlone) {
    ListMaker maker;
    for (int round = 0; round < 20000; ++round) {
        const int length = maker.below(kMaxMoves + 1);
        const int a = maker.below(length + 1);
        const int b = a + maker.below(length - a + 1);
        MoveList quick = maker.make(length, round % 8);
        MoveList literal = quick;
        exchange_sort(quick, a, b);
        literal_exchange_sort(literal, a, b);
        ASSERT_TRUE(same_lists(quick, literal, kMaxMoves)) << "range " << a << ".." << b << " of " << length;
    }
}

// Orders whose ties come out of the procedure unstably, worked by hand.
TEST(ExchangeSort, UnstableTiesAsTheProcedureLeavesThem) {
    MoveList list;
    const std::int32_t scores[] = {2, 2, 3};
    for (int i = 0; i < 3; ++i) {
        list.move[i] = static_cast<Move>(i + 1);
        list.score[i] = scores[i];
    }
    exchange_sort(list, 0, 3);
    // The 3 swaps with the first 2, which lands behind the second.
    EXPECT_EQ(list.move[0], 3u);
    EXPECT_EQ(list.move[1], 2u);
    EXPECT_EQ(list.move[2], 1u);
}

}  // namespace

}  // namespace vargul
