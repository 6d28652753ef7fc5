#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "search/hash_table.h"
#include "support/fd_helpers.h"
#include "uci/input_poll.h"
#include "uci/line_reader.h"

namespace {

// Standard input's reader pointed at a pipe for one test, then given back.
class PipedInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::pipe(fds_), 0);
        reset_line_reader(stdin_reader, fds_[0]);
        poll_counter = 0;
    }
    void TearDown() override {
        close_writer();
        ::close(fds_[0]);
        reset_line_reader(stdin_reader, 0);
    }
    void send(const std::string& text) {
        ASSERT_EQ(::write(fds_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    void close_writer() {
        if (fds_[1] >= 0) ::close(fds_[1]);
        fds_[1] = -1;
    }
    // The next call of poll_input reads.
    static void poll_now(std::int32_t* stop_flag) {
        poll_counter = kPollInterval + 1;
        poll_input(stop_flag);
    }

    int fds_[2] = {-1, -1};
};

}  // namespace

TEST_F(PipedInput, NothingWaitingAnswersZero) { EXPECT_EQ(input_waiting(), 0u); }

TEST_F(PipedInput, WaitingLineIsSeen) {
    send("stop\n");
    EXPECT_NE(input_waiting(), 0u);
}

TEST_F(PipedInput, ClosedInputAnswersNonZero) {
    close_writer();
    EXPECT_NE(input_waiting(), 0u);
    std::int32_t stop_flag = 0;
    poll_now(&stop_flag);  // reads the end, drops it, and the search goes on
    EXPECT_EQ(stop_flag, 0);
    EXPECT_NE(input_waiting(), 0u);
}

TEST(InputWaiting, RegularFileAlwaysAnswersNonZero) {
    static LineReader reader;
    int fd = descriptor_with("");
    reset_line_reader(reader, fd);
    EXPECT_NE(input_waiting(reader), 0u);
    ::close(fd);
}

TEST_F(PipedInput, BufferedInputCounts) {
    // The command loop's read took both lines from the pipe; the second must still count.
    send("isready\nstop\n");
    static char line[kLineCapacity];
    ASSERT_TRUE(read_line(stdin_reader, line));
    EXPECT_EQ(input_waiting(), 5u);
    std::int32_t stop_flag = 0;
    poll_now(&stop_flag);
    EXPECT_EQ(stop_flag, 1);
    EXPECT_EQ(input_waiting(), 0u);
}

TEST_F(PipedInput, PollsOnEvery50001stCall) {
    send("stop\n");
    std::int32_t stop_flag = 0;
    for (int call = 1; call <= 50001; ++call) poll_input(&stop_flag);
    EXPECT_EQ(stop_flag, 0) << "the first poll is the 50,002nd call";
    poll_input(&stop_flag);
    EXPECT_EQ(stop_flag, 1);
    EXPECT_EQ(poll_counter, 1);
    poll_now(&stop_flag);  // nothing waiting: the count restarts all the same
    EXPECT_EQ(poll_counter, 1);

    send("stop\n");
    stop_flag = 0;
    for (int call = 1; call <= 50000; ++call) poll_input(&stop_flag);
    EXPECT_EQ(stop_flag, 0);
    poll_input(&stop_flag);  // then every 50,001st
    EXPECT_EQ(stop_flag, 1);
}

TEST_F(PipedInput, OnlyExactStopSetsTheFlag) {
    const char* dropped[] = {"stop \n", "Stop\n", "isready\n", "stop\r\r\n", "\n", " stop\n"};
    for (const char* text : dropped) {
        send(text);
        std::int32_t stop_flag = 0;
        poll_now(&stop_flag);
        EXPECT_EQ(stop_flag, 0) << text;
        EXPECT_EQ(input_waiting(), 0u) << "the line is consumed: " << text;
    }
    send("isready\nstop\r\n");  // one line per poll
    std::int32_t stop_flag = 0;
    poll_now(&stop_flag);
    EXPECT_EQ(stop_flag, 0);
    poll_now(&stop_flag);
    EXPECT_EQ(stop_flag, 1);
}

TEST(InputPoll, OverLongLineLeavesItsRestForTheNextPoll) {
    // A file, since the line does not fit in a pipe without a reader draining it.
    const int fd = descriptor_with(std::string(kMaxLineLength, 's') + "x\nstop\n");
    reset_line_reader(stdin_reader, fd);
    std::int32_t stop_flag = 0;
    const int flags_after_each_poll[] = {0, 0, 1};  // the head, its rest "x", then "stop"
    for (int expected : flags_after_each_poll) {
        poll_counter = kPollInterval + 1;
        poll_input(&stop_flag);
        EXPECT_EQ(stop_flag, expected);
    }
    reset_line_reader(stdin_reader, 0);
    ::close(fd);
}

TEST_F(PipedInput, QuitEndsTheProcessWithStatusOneAndNoOutput) {
    send("quit\n");
    CapturedOutput output;  // the forked child writes to the same file
    EXPECT_EXIT(
        {
            allocate_hash_table();
            std::int32_t stop_flag = 0;
            poll_now(&stop_flag);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(output.text(), "");
}
