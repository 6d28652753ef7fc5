#include <gtest/gtest.h>

#include "search/recent_moves.h"

namespace vargul {

namespace {

struct RecentCase {
    const char* move_text;
    int from[5];
    int to[5];
};

}  // namespace

TEST(RecentMoves, FixedPositionsFromTheEnd) {
    const RecentCase cases[] = {
        {"", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}},
        {"e2e4", {12, 2, 3, 4, 5}, {28, 2, 3, 4, 5}},
        {"e2e4 e7e5", {12, 52, 3, 4, 5}, {28, 36, 3, 4, 5}},
        // 24 characters: start at 5, so the first move drops out.
        {"e2e4 e7e5 g1f3 b8c6 f1b5", {52, 6, 57, 5, 5}, {36, 21, 42, 33, 5}},
        // Exactly 19 characters: four moves from the start.
        {"e2e4 e7e5 g1f3 b8c6", {12, 52, 6, 57, 5}, {28, 36, 21, 42, 5}},
        // Promotions shift the positions: "b8q ", "8f6 ", "7a8q" are read as moves, only g1f3 survives.
        {"b7b8q g8f6 a7a8q g1f3", {57, -9, -9, 6, 5}, {-9, -9, -9, 21, 5}},
        // So does a trailing blank: every entry straddles two tokens.
        {"e2e4 e7e5 g1f3 b8c6 ", {-9, -9, -9, -9, 5}, {-9, -9, -9, -9, 5}},
        // A text shorter than a move: the characters past its end read as "none".
        {"e2", {12, 2, 3, 4, 5}, {-9, 2, 3, 4, 5}},
        {"e2e4 e", {12, -4, 3, 4, 5}, {28, -9, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        RecentMoves recent = read_recent_moves(c.move_text);
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(recent.from_square[k], c.from[k]) << '"' << c.move_text << "\" from " << k;
            EXPECT_EQ(recent.to_square[k], c.to[k]) << '"' << c.move_text << "\" to " << k;
        }
    }
}

}  // namespace vargul
