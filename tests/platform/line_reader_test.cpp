#include <gtest/gtest.h>

#include <unistd.h>
#include <string>
#include <utility>
#include <vector>

#include "platform/line_reader.h"
#include "support/fd_helpers.h"

namespace vargul {

namespace {

using Lines = std::vector<std::string>;

// The lines the reader hands out up to its first failed read, and then those
// it hands out after that failure (the rest of an over-long line and what
// follows it) up to the end of the input.
std::pair<Lines, Lines> all_lines(const std::string& input) {
    static LineReader reader;
    static char line[kLineCapacity];
    int fd = descriptor_with(input);
    reset_line_reader(reader, fd);
    Lines before, after;
    while (read_line(reader, line)) before.emplace_back(line);
    while (read_line(reader, line)) after.emplace_back(line);
    EXPECT_FALSE(read_line(reader, line)) << "the end is final";
    ::close(fd);
    return {before, after};
}

struct ReaderCase {
    const char* name;
    std::string input;
    Lines lines;
    Lines after_failure = {};
};

}  // namespace

TEST(LineReader, LinesAndTheirEnds) {
    const std::string longest(kMaxLineLength, 'a');
    const ReaderCase cases[] = {
        {"nothing", "", {}},
        {"one empty line", "\n", {""}},
        {"last line without a line feed", "uci\nisready", {"uci", "isready"}},
        {"blanks are kept", " go \n", {" go "}},
        {"CR LF", "uci\r\nquit\r\n", {"uci", "quit"}},
        {"only the CR before the LF goes", "a\r\r\n", {"a\r"}},
        {"CR in the middle", "a\rb\n", {"a\rb"}},
        {"CR at the end of input stays", "a\r", {"a\r"}},
        {"CR alone on a line", "\r\n", {""}},
        {"zero byte ends the text", std::string("stop\0tail\nnext\n", 15), {"stop", "next"}},
        {"longest line", longest + "\nb\n", {longest, "b"}},
        {"longest line with CR LF", longest + "\r\nb\n", {longest, "b"}},
        {"longest line at the end of input", longest, {longest}},
        // An over-long line fails the read; its rest is the next line.
        {"one character too many", "a\n" + longest + "x\nb\n", {"a"}, {"x", "b"}},
        {"a CR not before a LF counts", longest + "\rx\nb\n", {}, {"\rx", "b"}},
        {"CR as the 65,536th character at the end", longest + "\r", {}, {"\r"}},
    };
    for (const auto& c : cases) {
        const auto [lines, after_failure] = all_lines(c.input);
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(after_failure, c.after_failure) << c.name;
    }
}

TEST(LineReader, ReadsAheadOnlyIntoItsOwnBuffer) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    static LineReader reader;
    static char line[kLineCapacity];
    reset_line_reader(reader, fds[0]);
    ASSERT_EQ(::write(fds[1], "uci\nstop\n", 9), 9);
    ASSERT_TRUE(read_line(reader, line));
    EXPECT_STREQ(line, "uci");
    EXPECT_EQ(buffered_bytes(reader), 5u);  // "stop\n" waits in the buffer, not in the pipe
    ASSERT_TRUE(read_line(reader, line));
    EXPECT_STREQ(line, "stop");
    EXPECT_EQ(buffered_bytes(reader), 0u);
    // A line split across writes is put together.
    ASSERT_EQ(::write(fds[1], "is", 2), 2);
    ASSERT_EQ(::write(fds[1], "ready\n", 6), 6);
    ASSERT_TRUE(read_line(reader, line));
    EXPECT_STREQ(line, "isready");
    ::close(fds[1]);
    EXPECT_FALSE(read_line(reader, line));
    ::close(fds[0]);
}

}  // namespace vargul
