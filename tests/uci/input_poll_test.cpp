#include <gtest/gtest.h>

#include <unistd.h>
#include <memory>
#include <string>

#include "platform/line_reader.h"
#include "search/search_constants.h"
#include "search/stop.h"
#include "support/board_helpers.h"
#include "support/fd_helpers.h"
#include "support/search_helpers.h"
#include "support/test_engine.h"
#include "uci/command_loop.h"
#include "uci/input_poll.h"
#include "uci/reports.h"

namespace vargul {

namespace {

// An engine whose input is a pipe the test writes to, and a search state
// that polls it through the engine's own reporter.
class PipedInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::pipe(fds_), 0);
        reset_line_reader(engine_->input, fds_[0]);
    }
    void TearDown() override {
        close_writer();
        ::close(fds_[0]);
    }
    void send(const std::string& text) {
        ASSERT_EQ(::write(fds_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void close_writer() {
        if (fds_[1] >= 0) ::close(fds_[1]);
        fds_[1] = -1;
    }
    std::uint32_t waiting() { return input_waiting(engine_->input); }
    // The next call of poll_input reads.
    void poll_now() {
        engine_->tables.poll_counter = kPollInterval + 1;
        poll_input(state_.stop, state_);
    }

    TestEngine engine_;
    UciReporter reporter_{*engine_};
    SearchState state_{{engine_->node_count, engine_->tables, reporter_, *engine_->clock}, {}, {}, no_recent_moves()};
    int fds_[2] = {-1, -1};
};

}  // namespace

TEST_F(PipedInput, NothingWaitingAnswersZero) { EXPECT_EQ(waiting(), 0u); }

TEST_F(PipedInput, WaitingLineIsSeen) {
    send("stop\n");
    EXPECT_NE(waiting(), 0u);
}

TEST_F(PipedInput, ClosedInputAnswersNonZero) {
    close_writer();
    EXPECT_NE(waiting(), 0u);
    poll_now();  // reads the end, drops it, and the search goes on
    EXPECT_EQ(state_.stop.level, StopLevel::running);
    EXPECT_NE(waiting(), 0u);
}

TEST(InputWaiting, RegularFileAlwaysAnswersNonZero) {
    auto reader = std::make_unique<LineReader>();
    int fd = descriptor_with("");
    reset_line_reader(*reader, fd);
    EXPECT_NE(input_waiting(*reader), 0u);
    ::close(fd);
}

TEST_F(PipedInput, BufferedInputCounts) {
    // The command loop's read took both lines from the pipe; the second must still count.
    send("isready\nstop\n");
    ASSERT_TRUE(read_line(engine_->input, engine_->input_line));
    EXPECT_EQ(waiting(), 5u);
    poll_now();
    EXPECT_EQ(state_.stop.level, StopLevel::stop);
    EXPECT_EQ(waiting(), 0u);
}

TEST_F(PipedInput, PollsOnEvery50001stCall) {
    std::int32_t& counter = engine_->tables.poll_counter;
    send("stop\n");
    for (int call = 1; call <= 50001; ++call) poll_input(state_.stop, state_);
    EXPECT_EQ(state_.stop.level, StopLevel::running) << "the first poll is the 50,002nd call";
    poll_input(state_.stop, state_);
    EXPECT_EQ(state_.stop.level, StopLevel::stop);
    EXPECT_EQ(counter, 1);
    poll_now();  // nothing waiting: the count restarts all the same
    EXPECT_EQ(counter, 1);

    send("stop\n");
    state_.stop.level = StopLevel::running;
    for (int call = 1; call <= 50000; ++call) poll_input(state_.stop, state_);
    EXPECT_EQ(state_.stop.level, StopLevel::running);
    poll_input(state_.stop, state_);  // then every 50,001st
    EXPECT_EQ(state_.stop.level, StopLevel::stop);
}

TEST_F(PipedInput, OnlyExactStopOrQuitCounts) {
    const char* dropped[] = {"stop \n", "Stop\n", "isready\n", "stop\r\r\n", "\n", " stop\n", "quit \n", "go\n"};
    for (const char* text : dropped) {
        send(text);
        EXPECT_EQ(read_search_command(*engine_), InputEvent::none) << text;
        EXPECT_EQ(waiting(), 0u) << "the line is consumed: " << text;
    }
    send("isready\nstop\r\nquit\n");  // one line per poll
    EXPECT_EQ(read_search_command(*engine_), InputEvent::none);
    EXPECT_EQ(read_search_command(*engine_), InputEvent::stop);
    EXPECT_EQ(read_search_command(*engine_), InputEvent::quit);
    EXPECT_EQ(read_search_command(*engine_), InputEvent::none) << "nothing waiting";
    EXPECT_EQ(engine_.output(), "") << "a dropped line gets no reply";
}

TEST_F(PipedInput, QuitStopsAndAbortsTheSearch) {
    send("quit\n");
    poll_now();
    EXPECT_EQ(state_.stop.level, StopLevel::quit);
    EXPECT_TRUE(stopping(state_.stop, StopLevel::abort)) << "the capture search returns too";
    EXPECT_EQ(engine_.output(), "");
}

TEST(InputPoll, OverLongLineLeavesItsRestForTheNextPoll) {
    // A file, since the line does not fit in a pipe without a reader draining it.
    TestEngine engine(std::string(kMaxLineLength, 's') + "x\nstop\n");
    const InputEvent after_each_poll[] = {InputEvent::none, InputEvent::none,
                                          InputEvent::stop};  // the head, its rest "x", then "stop"
    for (InputEvent expected : after_each_poll) EXPECT_EQ(read_search_command(*engine), expected);
}

// "quit" read during a search unwinds it: nothing more is written, not even
// "bestmove", and the run ends with status 1.
TEST(InputPoll, QuitDuringASearchEndsTheRunWithNothingMoreWritten) {
    TestEngine engine("quit\n");
    engine.command("position startpos");
    engine->tables.poll_counter = kPollInterval + 1;  // the first leaf polls
    const Board before = engine->board;
    EXPECT_EQ(engine.command("go depth 5"), 1);
    EXPECT_EQ(engine.output(), "info currmove b1a3 currmovenumber 1 depth 1\n");
    EXPECT_TRUE(same_board(before, engine->board)) << "the position is put back";
}

// The fallback look acts on "stop" or "quit" alone: lines before one are
// dropped as the regular looks would drop them; without one, nothing is taken,
// and the next reads see every line as if no look had come.
TEST(InputFallbackLook, ActsOnlyOnStopOrQuit) {
    struct Case {
        const char* input;
        InputEvent found;
        const char* next_line;  // what the command loop reads afterwards, or nullptr for the end
    };
    const Case cases[] = {
        {"isready\nposition startpos\n", InputEvent::none, "isready"},
        {"isready\nstop\ngo depth 2\n", InputEvent::stop, "go depth 2"},
        {"setoption name Hash value 2\nquit\n", InputEvent::quit, nullptr},
        {"stop\r\nisready\n", InputEvent::stop, "isready"},
        {"stop \nStop\nisready\n", InputEvent::none, "stop "},
        {"go\nstop", InputEvent::stop, nullptr},  // a last line without its line feed
        {"", InputEvent::none, nullptr},
    };
    for (const Case& c : cases) {
        TestEngine engine(c.input);
        EXPECT_EQ(look_for_stop_or_quit(*engine), c.found) << c.input;
        char line[kLineCapacity];
        const bool got = read_line(engine->input, line);
        EXPECT_EQ(got, c.next_line != nullptr) << c.input;
        if (got && c.next_line) {
            EXPECT_STREQ(line, c.next_line) << c.input;
        }
    }
}

// Half a line on a pipe is no command yet: it waits, whole, for later reads.
TEST_F(PipedInput, FallbackLookLeavesAHalfLineWaiting) {
    send("isready\nsto");
    EXPECT_EQ(look_for_stop_or_quit(*engine_), InputEvent::none);
    send("p\n");
    EXPECT_EQ(look_for_stop_or_quit(*engine_), InputEvent::stop);
    EXPECT_EQ(waiting(), 0u);
}

// A script piped in at once gives the same replies however slow the engine
// is: here every clock reading jumps 300 ms, so the fallback looks at every
// chance, and nothing it sees may be lost.
TEST(InputFallbackLook, ScriptedOutputDoesNotDependOnSpeed) {
    const std::string script =
        "uci\nsetoption name Hash value 1\n"
        "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1\ngo depth 4\n"
        "setoption name Hash value 64\ngo depth 4\nsetoption name Hash value 0\ngo depth 4\n"
        "setoption name Hash value 16\ngo depth 4\nsetoption name Foo Hash value 2\ngo depth 4\n";
    std::string outputs[2];
    const std::int64_t steps[2] = {0, 300};
    for (int i = 0; i < 2; ++i) {
        TestEngine engine(script);
        FakeClock clock;
        clock.step = steps[i];
        engine->clock = &clock;
        EXPECT_EQ(run_command_loop(*engine), 0);
        outputs[i] = mask_nps(engine.output());
    }
    int searches = 0;
    for (const std::string& line : lines_of(outputs[1])) searches += line.rfind("bestmove ", 0) == 0;
    EXPECT_EQ(searches, 5);
    EXPECT_TRUE(outputs[0] == outputs[1]) << "a slow clock changed the replies";
}

}  // namespace vargul
