// The pipe driver itself, checked against ordinary programs whose behaviour is known.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/engine_pipe.h"

namespace vargul {

using driver::EnginePipe;
using driver::run_program;
using driver::Stderr;

TEST(EnginePipe, RunCollectsAllOutputAndStatus) {
    std::string big(1 << 20, 'x');  // larger than any pipe buffer, both ways
    big += '\n';
    driver::ProgramRun run = run_program({"/bin/cat"}, big);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.output, big);

    run = run_program({"/bin/sh", "-c", "exit 3"}, "");
    EXPECT_EQ(run.exit_status, 3);
    EXPECT_EQ(run.output, "");

    run = run_program({"/bin/sh", "-c", "kill -9 $$"}, "");
    EXPECT_EQ(run.exit_status, 128 + 9);

    run = run_program({"/bin/sleep", "5"}, "", 50);
    EXPECT_EQ(run.exit_status, -1) << "killed at the time limit";
}

TEST(EnginePipe, RunKeepsOrMergesOrCapturesTheErrorStream) {
    const std::vector<std::string> both = {"/bin/sh", "-c", "echo out; echo err >&2"};
    driver::ProgramRun merged = run_program(both, "", 5000, Stderr::merge);
    EXPECT_EQ(merged.output, "out\nerr\n");
    driver::ProgramRun captured = run_program(both, "", 5000, Stderr::capture);
    EXPECT_EQ(captured.output, "out\n");
    EXPECT_EQ(captured.errors, "err\n");

    // Both streams far beyond a pipe buffer: neither may block the other.
    const std::vector<std::string> flood = {"/bin/sh", "-c", "head -c 300000 /dev/zero >&2; head -c 300000 /dev/zero"};
    captured = run_program(flood, "", 20000, Stderr::capture);
    EXPECT_EQ(captured.exit_status, 0);
    EXPECT_EQ(captured.output.size(), 300000u);
    EXPECT_EQ(captured.errors.size(), 300000u);
}

TEST(EnginePipe, ArgumentsAndThePathSearch) {
    driver::ProgramRun run = run_program({"echo", "two words", "and more"}, "");
    EXPECT_EQ(run.output, "two words and more\n");
    EXPECT_EQ(run.exit_status, 0);

    EnginePipe p;
    EXPECT_FALSE(p.start({"/no/such/program"}));
    EXPECT_FALSE(p.start({"no-such-program-on-the-path"}));
    EXPECT_FALSE(p.start({}));
    EXPECT_FALSE(p.running());
    EXPECT_EQ(run_program({"/no/such/program"}, "").exit_status, -1);
}

TEST(EnginePipe, InteractiveLinesAndTimeouts) {
    EnginePipe p;
    ASSERT_TRUE(p.start({"cat"}));
    EXPECT_TRUE(p.send("one\ntw"));
    std::string line;
    ASSERT_TRUE(p.read_line(line, 5000));
    EXPECT_EQ(line, "one");
    EXPECT_FALSE(p.read_line(line, 50));  // "tw" has no line feed yet
    EXPECT_FALSE(p.ended());
    p.send("o\n");
    ASSERT_TRUE(p.read_line(line, 5000));
    EXPECT_EQ(line, "two");
    p.close_input();
    EXPECT_FALSE(p.send("three\n"));
    EXPECT_FALSE(p.read_line(line, 5000));  // output ends with the input
    EXPECT_TRUE(p.ended());
    EXPECT_EQ(p.wait_exit(5000), 0);
    EXPECT_FALSE(p.signalled());
    EXPECT_FALSE(p.running());
}

TEST(EnginePipe, AProgramThatStopsReadingOrDies) {
    EnginePipe p;
    ASSERT_TRUE(p.start({"/bin/sh", "-c", "read line; echo \"got $line\"; exit 5"}));
    p.send("first\n");
    std::string line;
    ASSERT_TRUE(p.read_line(line, 5000));
    EXPECT_EQ(line, "got first");
    EXPECT_FALSE(p.read_line(line, 5000));
    EXPECT_TRUE(p.ended());
    // Its input is gone: a send fails instead of killing us with SIGPIPE.
    EXPECT_FALSE(p.send(std::string(1 << 17, 'x')));
    EXPECT_EQ(p.wait_exit(5000), 5);

    ASSERT_TRUE(p.start({"/bin/sh", "-c", "kill -TERM $$"}));
    EXPECT_EQ(p.wait_exit(5000), 128 + 15);
    EXPECT_TRUE(p.signalled());
}

TEST(EnginePipe, WaitKillsAProgramThatDoesNotEnd) {
    EnginePipe p;
    ASSERT_TRUE(p.start({"/bin/cat"}));  // waits for input that never closes
    EXPECT_EQ(p.wait_exit(50), -1);
    EXPECT_FALSE(p.running());
}

TEST(EnginePipe, SplitCommand) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(driver::split_command("/usr/games/stockfish"), Words{"/usr/games/stockfish"});
    EXPECT_EQ(driver::split_command("  prog -a\tb  c "), (Words{"prog", "-a", "b", "c"}));
    EXPECT_EQ(driver::split_command("   "), Words{});
}

}  // namespace vargul
