#include <gtest/gtest.h>

#include "uci/go.h"

namespace vargul {

namespace {

TEST(GoParameters, ReadingAndLimits) {
    struct Case {
        const char* line;
        Side side_to_move;
        int depth;  // the parameter as read
        bool infinite;
        int max_depth;
        double time_limit;
    };
    constexpr Side W = Side::White, B = Side::Black;
    const Case cases[] = {
        {"go", W, -1, false, 1, -1.0},
        {"go depth 6", W, 6, false, 6, -1.0},
        {"go wtime 300000 btime 300000", W, -1, false, 20, 3.0},
        {"go wtime 300000 btime 1000 winc 2000 binc 2000 movestogo 40", B, -1, false, 20, 0.01},
        {"go wtime 300000", B, -1, false, 1, -1.0},  // only the side to move's clock counts
        {"go movetime 5000", W, -1, false, 20, 5.0},
        {"go wtime 60000 movetime 500", W, -1, false, 20, 0.5},
        {"go depth 7 movetime 1000", W, 7, false, 20, 1.0},
        {"go infinite", W, -1, true, 50, -1.0},
        {"go infinite depth 5", B, 5, true, 50, -1.0},
        {"go ponder depth 3", W, 3, false, 3, -1.0},
        {"go depth 0", W, 0, false, 0, -1.0},
        {"go depth -4", W, -4, false, -4, -1.0},
        {"go depth 60", W, 60, false, 60, -1.0},  // the driver stops at 50
        {"go   depth    9  ", W, 9, false, 9, -1.0},
        {"go depth 3 depth 4", W, 4, false, 4, -1.0},
        {"go depth +8", W, 8, false, 8, -1.0},
        {"go depth 5x", W, 5, false, 5, -1.0},
        {"go depth x5", W, 0, false, 0, -1.0},
        {"go depth \t5", W, 0, false, 0, -1.0},       // a tab is no blank: the token reads 0
        {"go\tdepth 5", W, -1, false, 1, -1.0},       // "go\tdepth" is the command word
        {"go depth infinite", W, 0, false, 0, -1.0},  // the keyword is taken as the number
        {"go winc depth 5", W, -1, false, 1, -1.0},
        {"go depth", W, -1, false, 1, -1.0},  // no number: absent
        {"go depth 5 depth", W, 5, false, 5, -1.0},
        {"go movetime", W, -1, false, 1, -1.0},
        {"go nodes 5 mate 2 depth 3", W, 3, false, 3, -1.0},
        {"go searchmoves e2e4 d2d4 depth 2", W, 2, false, 2, -1.0},
        {"gone", W, -1, false, 1, -1.0},
        {"go depth 99999999999", W, 2147483647, false, 2147483647, -1.0},
        {"go depth -99999999999", W, -2147483647 - 1, false, -2147483647 - 1, -1.0},
        {"go movetime 99999999999", W, -1, false, 20, 2147483.647},
        {"go wtime -1000", W, -1, false, 1, -1.0},  // reads as "no clock"
        {"go wtime 0", W, -1, false, 20, 0.0},
    };
    for (const Case& c : cases) {
        const GoParameters go = parse_go_parameters(c.line);
        EXPECT_EQ(go.depth, c.depth) << c.line;
        EXPECT_EQ(go.infinite, c.infinite) << c.line;
        const SearchLimits limits = search_limits(go, c.side_to_move, 0);
        EXPECT_EQ(limits.max_depth, c.max_depth) << c.line;
        EXPECT_DOUBLE_EQ(limits.time_limit, c.time_limit) << c.line;
    }
}

TEST(GoParameters, DeadlineFromMoveTimeOrATenthOfTheOwnClockOrNone) {
    struct Case {
        GoParameters go;
        Side side;
        std::int64_t deadline;
    };
    constexpr Side W = Side::White, B = Side::Black;
    const Case cases[] = {
        {{.movetime = 0.1}, W, 5100},
        {{.wtime = 10.0, .btime = 20.0}, W, 6000},
        {{.wtime = 10.0, .btime = 20.0}, B, 7000},
        {{.wtime = 10.0, .btime = 20.0, .movetime = 0.25}, W, 5250},  // a move time wins over the clock
        {{.btime = 20.0}, W, kNoDeadline},                            // only the own clock counts
        {{.depth = 9}, W, kNoDeadline},
        {{.infinite = true}, B, kNoDeadline},
        {{}, W, kNoDeadline},
    };
    for (const Case& c : cases) EXPECT_EQ(search_limits(c.go, c.side, 5000).deadline, c.deadline);
}

TEST(GoParameters, TokenInteger) {
    struct Case {
        const char* token;
        int value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"-17", -17},
        {"+3", 3},
        {"", 0},
        {"-", 0},
        {"abc", 0},
        {"12ab", 12},
        {" 5", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", -2147483647 - 1},
        {"000000000000000000000007", 7},
        {"99999999999999999999999999", 2147483647},
    };
    for (const Case& c : cases) EXPECT_EQ(token_integer(c.token), c.value) << '"' << c.token << '"';
}

}  // namespace

}  // namespace vargul
