#pragma once

#include <cstddef>
#include <cstdint>

#include "board/move.h"

// Descriptor every reply goes to: standard output, or whatever a tool or test
// points it at.
extern int output_fd;

// Writes all bytes with as many write(2) calls as the pipe needs.
void write_all(const char* data, std::size_t size);

// A reply line composed in a fixed buffer and written with one call, so that a
// reader never sees half a line and nothing is allocated.
class LineWriter {
public:
    static constexpr std::size_t kCapacity = 4096;

    LineWriter& operator<<(const char* text);
    LineWriter& operator<<(char c);
    LineWriter& operator<<(std::int64_t n);
    LineWriter& operator<<(std::uint64_t n);
    LineWriter& operator<<(int n) { return *this << static_cast<std::int64_t>(n); }

    // Appends "\n" and writes the line.
    void end_line();
    // Writes what has been composed, without adding anything.
    void flush();

private:
    char buffer_[kCapacity];
    std::size_t size_ = 0;
};

// "e2e4": origin and destination square.
void append_squares(LineWriter& out, int from, int to);
// The move text of engine output: squares, and the promotion letter for kinds above 5.
void append_move_text(LineWriter& out, Move m);
// Letter of a piece code: x p n b r q k, a blank for any other code.
char piece_letter(int code);
