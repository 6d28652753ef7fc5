#include <gtest/gtest.h>

#include "board/board.h"
#include "board/history.h"

namespace vargul {

namespace {

constexpr Move kCounted = encode_move(kKnight, MoveKind::quiet, 6, 21, 0);  // g1f3
constexpr Move kOther = encode_move(kPawn, MoveKind::quiet, 12, 28, 0);     // e2e4

// A counter may reach the limit; only passing it halves every counter.
TEST(History, HalvesEveryCounterOnlyPastTheLimit) {
    History history{};
    history.count[12][28] = 7;
    history.count[63][0] = 1;
    history.count[6][21] = kHistoryHalvingLimit - 1;
    history_add(history, kCounted);
    EXPECT_EQ(history.count[6][21], kHistoryHalvingLimit) << "at the limit nothing is halved";
    EXPECT_EQ(history.count[12][28], 7);
    EXPECT_EQ(history.count[63][0], 1);

    history_add(history, kCounted);
    EXPECT_EQ(history.count[6][21], (kHistoryHalvingLimit + 1) / 2);
    EXPECT_EQ(history.count[12][28], 3);
    EXPECT_EQ(history.count[63][0], 0);

    history_add(history, kOther);
    EXPECT_EQ(history.count[12][28], 4) << "an ordinary count adds one";
}

}  // namespace

}  // namespace vargul
