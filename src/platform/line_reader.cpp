#include "platform/line_reader.h"

#include <cstring>

#include "platform/descriptor_io.h"

namespace vargul {

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
    const long got = read_some(reader.fd, reader.buffer + kept, sizeof reader.buffer - kept);
    if (got <= 0) {
        reader.ended = true;
        return false;
    }
    reader.end = kept + static_cast<std::size_t>(got);
    return true;
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
            // A text stream drops the carriage return of "\r\n"; where reads are raw, we do.
            if (!kReadDropsCarriageReturn && length > 0 && line[length - 1] == '\r') --length;
            break;
        }
        if (length == kMaxLineLength) {
            // A 65,536th character is allowed only as the "\r" of a closing "\r\n".
            if (!kReadDropsCarriageReturn && c == '\r' && peek(reader, 1) == '\n') {
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

void take_waiting_input(LineReader& reader) {
    if (reader.ended) return;
    if (reader.start > 0) {
        std::memmove(reader.buffer, reader.buffer + reader.start, reader.end - reader.start);
        reader.end -= reader.start;
        reader.start = 0;
    }
    while (reader.end < sizeof reader.buffer && descriptor_ready(reader.fd)) {
        const long got = read_some(reader.fd, reader.buffer + reader.end, sizeof reader.buffer - reader.end);
        if (got <= 0) {
            reader.ended = true;
            return;
        }
        reader.end += static_cast<std::size_t>(got);
    }
}

bool next_buffered_line(const LineReader& reader, std::size_t& offset, char* line) {
    const char* first = reader.buffer + reader.start + offset;
    const char* last = reader.buffer + reader.end;
    if (first >= last) return false;
    const char* feed = static_cast<const char*>(std::memchr(first, '\n', static_cast<std::size_t>(last - first)));
    if (feed == nullptr && !reader.ended) return false;
    const char* text_end = feed ? feed : last;
    std::size_t length = static_cast<std::size_t>(text_end - first);
    if (feed && !kReadDropsCarriageReturn && length > 0 && first[length - 1] == '\r') --length;
    if (length > kMaxLineLength) length = kMaxLineLength;
    std::memcpy(line, first, length);
    line[length] = '\0';
    offset = static_cast<std::size_t>((feed ? feed + 1 : last) - (reader.buffer + reader.start));
    return true;
}

std::uint32_t input_waiting(const LineReader& reader) {
    const std::size_t buffered = buffered_bytes(reader);
    if (buffered > 0) return buffered > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(buffered);
    if (reader.ended) return 1;  // let the caller meet the end
    return descriptor_ready(reader.fd) ? 1 : 0;
}

}  // namespace vargul
