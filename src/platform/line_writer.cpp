#include "platform/line_writer.h"

#include "platform/decimal.h"
#include "platform/descriptor_io.h"

namespace vargul {

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
    const int count = write_decimal(n, digits);
    for (int i = 0; i < count; ++i) *this << digits[i];
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
    write_all(fd_, buffer_, size_);
    size_ = 0;
}

void write_line(int fd, const char* text) {
    LineWriter out(fd);
    out << text;
    out.end_line();
}

}  // namespace vargul
