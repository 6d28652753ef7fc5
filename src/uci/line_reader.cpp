#include "uci/line_reader.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

LineReader stdin_reader{0, 0, 0, false, {}};

void reset_line_reader(LineReader& reader, int fd) {
    reader.fd = fd;
    reader.start = 0;
    reader.end = 0;
    reader.ended = false;
}

namespace {

// Reads more input behind the unread bytes, which move to the front of the
// buffer first; false at end of input or on an error.
bool fill(LineReader& reader) {
    if (reader.ended) return false;
    const std::size_t kept = reader.end - reader.start;
    std::memmove(reader.buffer, reader.buffer + reader.start, kept);
    reader.start = 0;
    reader.end = kept;
    for (;;) {
        ssize_t got = ::read(reader.fd, reader.buffer + kept, sizeof reader.buffer - kept);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            reader.ended = true;
            return false;
        }
        reader.end = kept + static_cast<std::size_t>(got);
        return true;
    }
}

// The byte `ahead` places past the next unread one, without taking anything,
// or -1 when the input ends before it.
int peek(LineReader& reader, std::size_t ahead = 0) {
    while (reader.end - reader.start <= ahead)
        if (!fill(reader)) return -1;
    return static_cast<unsigned char>(reader.buffer[reader.start + ahead]);
}

}  // namespace

bool read_line(LineReader& reader, char* line) {
    std::size_t length = 0;
    bool any = false;
    for (;;) {
        int c = peek(reader);
        if (c < 0) break;  // a last line without a line feed still counts
        any = true;
        if (c == '\n') {
            ++reader.start;
            // Text streams elsewhere drop the carriage return of "\r\n"; so do we.
            if (length > 0 && line[length - 1] == '\r') --length;
            break;
        }
        if (length == kMaxLineLength) {
            // A 65,536th character is allowed only as the "\r" of a closing "\r\n".
            if (c == '\r' && peek(reader, 1) == '\n') {
                reader.start += 2;
                break;
            }
            // Over-long: the read fails with 65,535 characters stored, and the
            // rest of the line waits, unread, for the next read.
            line[length] = '\0';
            return false;
        }
        ++reader.start;
        line[length++] = static_cast<char>(c);
    }
    line[length] = '\0';
    return any;
}
