#include "uci/line_writer.h"

#include <cerrno>
#include <unistd.h>

int output_fd = 1;

void write_all(const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(output_fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // the reader has gone; nothing sensible is left to do with the bytes
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

LineWriter& LineWriter::operator<<(const char* text) {
    while (*text) *this << *text++;
    return *this;
}

LineWriter& LineWriter::operator<<(char c) {
    if (size_ == kCapacity) flush();
    buffer_[size_++] = c;
    return *this;
}

LineWriter& LineWriter::operator<<(std::uint64_t n) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n);
    while (count) *this << digits[--count];
    return *this;
}

LineWriter& LineWriter::operator<<(std::int64_t n) {
    if (n < 0) {
        *this << '-';
        return *this << (~static_cast<std::uint64_t>(n) + 1);
    }
    return *this << static_cast<std::uint64_t>(n);
}

void LineWriter::end_line() {
    *this << '\n';
    flush();
}

void LineWriter::flush() {
    write_all(buffer_, size_);
    size_ = 0;
}

char piece_letter(int code) {
    static constexpr char kLetters[] = "xpnbrqk";
    return code >= 0 && code <= 6 ? kLetters[code] : ' ';
}

void append_squares(LineWriter& out, int from, int to) {
    out << static_cast<char>('a' + from % 8) << static_cast<char>('1' + from / 8)
        << static_cast<char>('a' + to % 8) << static_cast<char>('1' + to / 8);
}

void append_move_text(LineWriter& out, Move m) {
    append_squares(out, move_from(m), move_to(m));
    int kind = move_kind(m);
    if (kind > 5) out << piece_letter(promoted_piece(kind));
}
