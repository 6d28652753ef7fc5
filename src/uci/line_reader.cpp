#include "uci/line_reader.h"

#include <cerrno>
#include <unistd.h>

LineReader stdin_reader{0, 0, 0, false, {}};

void reset_line_reader(LineReader& reader, int fd) {
    reader.fd = fd;
    reader.start = 0;
    reader.end = 0;
    reader.ended = false;
}

namespace {

// Refills an empty buffer; false at end of input or on an error.
bool fill(LineReader& reader) {
    if (reader.ended) return false;
    for (;;) {
        ssize_t got = ::read(reader.fd, reader.buffer, sizeof reader.buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            reader.ended = true;
            return false;
        }
        reader.start = 0;
        reader.end = static_cast<std::size_t>(got);
        return true;
    }
}

// Next byte without taking it, or -1 when the input has ended.
int peek(LineReader& reader) {
    if (reader.start == reader.end && !fill(reader)) return -1;
    return static_cast<unsigned char>(reader.buffer[reader.start]);
}

}  // namespace

bool read_line(LineReader& reader, char* line) {
    std::size_t length = 0;
    bool any = false;
    for (;;) {
        int c = peek(reader);
        if (c < 0) break;  // a last line without a line feed still counts
        any = true;
        ++reader.start;
        if (c == '\n') {
            // Text streams elsewhere drop the carriage return of "\r\n"; so do we.
            if (length > 0 && line[length - 1] == '\r') --length;
            break;
        }
        if (length == kMaxLineLength) {
            // A 65,536th character is allowed only as the "\r" of a closing "\r\n".
            if (c == '\r' && peek(reader) == '\n') {
                ++reader.start;
                break;
            }
            // Over-long: the input counts as ended, whatever is left of it.
            reader.ended = true;
            reader.start = reader.end;
            line[length] = '\0';
            return false;
        }
        line[length++] = static_cast<char>(c);
    }
    line[length] = '\0';
    return any;
}
