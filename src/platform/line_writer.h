#pragma once

#include <cstddef>
#include <cstdint>

namespace vargul {

// A reply line composed in a fixed buffer and written with one call, so that a
// reader never sees half a line and nothing is allocated.
class LineWriter {
public:
    static constexpr std::size_t kCapacity = 4096;

    explicit LineWriter(int fd) : fd_(fd) {}

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
    int fd_;
    std::size_t size_ = 0;
    char buffer_[kCapacity];
};

// One whole line of fixed text, its line feed added.
void write_line(int fd, const char* text);

}  // namespace vargul
