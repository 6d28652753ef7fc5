// The harness itself, checked against ordinary programs whose behaviour is known.
#include <gtest/gtest.h>

#include "support/engine_process.h"

TEST(EngineProcess, RunCollectsAllOutputAndStatus) {
    std::string big(1 << 20, 'x');  // larger than any pipe buffer, both ways
    big += '\n';
    EngineRun run = run_engine(big, "/bin/cat");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.output, big);
}

TEST(EngineProcess, InteractiveLinesAndTimeouts) {
    EngineProcess p;
    ASSERT_TRUE(start_engine(p, "/bin/cat"));
    send_text(p, "one\ntw");
    std::string line;
    ASSERT_TRUE(read_line(p, line, 5000));
    EXPECT_EQ(line, "one");
    EXPECT_FALSE(read_line(p, line, 50));  // "tw" has no line feed yet
    send_text(p, "o\n");
    ASSERT_TRUE(read_line(p, line, 5000));
    EXPECT_EQ(line, "two");
    close_input(p);
    EXPECT_FALSE(read_line(p, line, 5000));  // output ends with the input
    EXPECT_EQ(wait_exit(p, 5000), 0);
}

TEST(EngineProcess, WaitKillsAProgramThatDoesNotEnd) {
    EngineProcess p;
    ASSERT_TRUE(start_engine(p, "/bin/cat"));  // waits for input that never closes
    EXPECT_EQ(wait_exit(p, 50), -1);
}
