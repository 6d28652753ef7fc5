#include <gtest/gtest.h>

#include <string>

#include "board/side.h"

namespace vargul {

namespace {

template <Side S> std::string side_name() { return S == Side::White ? "White" : "Black"; }

// The runtime side reaches the instantiation of the same side, the callee's
// result comes back, and a callee that returns nothing works too.
TEST(ForSide, CallsTheSideToMovesInstantiation) {
    struct Case {
        Side side;
        const char* name;
        Side other;
    };
    const Case cases[] = {{Side::White, "White", Side::Black}, {Side::Black, "Black", Side::White}};
    for (const Case& c : cases) {
        EXPECT_EQ(for_side(c.side, []<Side S>() { return side_name<S>(); }), c.name);
        EXPECT_EQ(for_side(c.side, []<Side S>() { return other_side<S>; }), c.other);
        EXPECT_EQ(opposite(c.side), c.other);
        int calls = 0;
        Side seen = c.other;
        for_side(c.side, [&]<Side S>() {
            ++calls;
            seen = S;
        });
        EXPECT_EQ(calls, 1) << c.name;
        EXPECT_EQ(seen, c.side) << c.name;
    }
}

}  // namespace

}  // namespace vargul
