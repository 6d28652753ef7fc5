#pragma once

#include <cstddef>
#include <cstdint>

namespace vargul {

// Size of every command-line buffer: 65,535 characters and the terminating zero.
inline constexpr std::size_t kLineCapacity = 65536;
inline constexpr std::size_t kMaxLineLength = kLineCapacity - 1;

// Lines of one input descriptor, read into the reader's own
// buffer. Bytes taken from the descriptor but not yet handed out as a line are
// counted by buffered_bytes, so a test for waiting input can see them.
struct LineReader {
    int fd;
    std::size_t start;  // first unread byte of buffer
    std::size_t end;    // one past the last byte read
    bool ended;         // end of input or a read error: nothing more comes from fd
    char buffer[kLineCapacity];
};

void reset_line_reader(LineReader& reader, int fd);

// Reads one line into `line` (kLineCapacity characters), without its line feed
// and without a carriage return directly before it. False when the input ended
// before a character of a new line, and when the line holds more than 65,535
// characters: then the first 65,535 are stored and the rest of the line is
// left for the next read (the command loop stops there; a poll during a
// search drops the head and meets the rest at its next read). A last line
// without a line feed is still returned. A zero byte inside the line ends its
// text, since the line is a zero-terminated string.
bool read_line(LineReader& reader, char* line);

// Moves the bytes waiting on the descriptor into the buffer behind the unread
// ones, as far as it has room, without blocking and without taking any line.
void take_waiting_input(LineReader& reader);

// The next whole line already in the buffer at or after `offset` (an index
// past `start`), copied into `line` as read_line would hand it out; `offset`
// moves past it. False when the buffer holds no further whole line. After the
// end of input, unread bytes without a line feed count as a last line.
bool next_buffered_line(const LineReader& reader, std::size_t& offset, char* line);

inline std::size_t buffered_bytes(const LineReader& reader) { return reader.end - reader.start; }

// Non-zero when a line should be read: bytes wait in the reader's buffer or
// on its descriptor, or the input has ended (so the end gets read). Never blocks.
std::uint32_t input_waiting(const LineReader& reader);

}  // namespace vargul
