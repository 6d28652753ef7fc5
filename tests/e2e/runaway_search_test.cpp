// Positions where the capture search explodes: a full rank of pawns about to
// promote on each side, so no leaf poll comes for minutes. The engine must
// still keep a move time and hear "stop" and "quit" there. The bounds are
// generous seconds, not the milliseconds the reply-time check measures: they
// tell an engine that answers from one that searches on for minutes.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/processes.h"

namespace vargul {

namespace {

const char* const kExplodingPositions[] = {
    "8/PPPPPPPP/8/2k5/8/8/pppppppp/4K3 w - - 0 1",
    "8/PPPPPPPP/8/2k5/8/8/pppppppp/4K3 b - - 0 1",
};
constexpr int kAnswerBoundMs = 5000;

using Clock = std::chrono::steady_clock;

long long ms_since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Reads until a "bestmove" line or the bound; true when one came in time.
bool bestmove_within(driver::EnginePipe& engine, Clock::time_point start, std::string& bestmove) {
    std::string line;
    while (ms_since(start) < kAnswerBoundMs) {
        if (!engine.read_line(line, static_cast<int>(kAnswerBoundMs - ms_since(start)) + 1)) return false;
        if (line.rfind("bestmove ", 0) == 0) {
            bestmove = line;
            return ms_since(start) < kAnswerBoundMs;
        }
    }
    return false;
}

// A real move within the bound from `start`, then a clean end when the input closes.
void expect_bestmove_and_clean_exit(driver::EnginePipe& engine, Clock::time_point start) {
    std::string bestmove;
    EXPECT_TRUE(bestmove_within(engine, start, bestmove)) << "no bestmove within " << kAnswerBoundMs << " ms";
    EXPECT_NE(bestmove, "bestmove 0000");
    engine.close_input();
    EXPECT_EQ(engine.wait_exit(kAnswerBoundMs), 0);
}

// Starts an unbounded search and lets it sink into the capture search.
void start_infinite_search(driver::EnginePipe& engine, const char* fen) {
    ASSERT_TRUE(start_engine(engine));
    ASSERT_TRUE(engine.send(std::string("position fen ") + fen + "\ngo infinite\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

TEST(RunawaySearch, KeepsTheMoveTime) {
    for (const char* fen : kExplodingPositions) {
        SCOPED_TRACE(fen);
        driver::EnginePipe engine;
        ASSERT_TRUE(start_engine(engine));
        const Clock::time_point start = Clock::now();
        ASSERT_TRUE(engine.send(std::string("position fen ") + fen + "\ngo movetime 50\n"));
        expect_bestmove_and_clean_exit(engine, start);
    }
}

TEST(RunawaySearch, HearsStop) {
    for (const char* fen : kExplodingPositions) {
        SCOPED_TRACE(fen);
        driver::EnginePipe engine;
        start_infinite_search(engine, fen);
        const Clock::time_point sent = Clock::now();
        ASSERT_TRUE(engine.send("stop\n"));
        expect_bestmove_and_clean_exit(engine, sent);
    }
}

TEST(RunawaySearch, HearsQuit) {
    driver::EnginePipe engine;
    start_infinite_search(engine, kExplodingPositions[0]);
    ASSERT_TRUE(engine.send("quit\n"));
    EXPECT_EQ(engine.wait_exit(kAnswerBoundMs), 1);
}

}  // namespace

}  // namespace vargul
