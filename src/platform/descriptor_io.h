#pragma once

#include <cstddef>

namespace vargul {

// Raw reads and writes on the process's descriptors, with the platform's own
// line-end handling (none on POSIX; text mode on Windows).
inline constexpr int kStandardInput = 0;
inline constexpr int kStandardOutput = 1;

// Whether read_some hands over text with the CR of each CR LF already
// dropped, as a text-mode stream does; where it does not, the line reader
// drops it, so that either way exactly one CR goes.
#ifdef _WIN32
inline constexpr bool kReadDropsCarriageReturn = true;
#else
inline constexpr bool kReadDropsCarriageReturn = false;
#endif

// Bytes read (0 at the end of input), or -1 on an error; retried on interrupts.
long read_some(int fd, char* buffer, std::size_t size);

// Writes all bytes with as many calls as the pipe needs; gives up silently
// when the reader has gone, as nothing sensible is left to do with them.
void write_all(int fd, const char* data, std::size_t size);

// Whether unread bytes wait on the descriptor, or the input has ended (so the
// caller reads and meets the end). Never blocks. On Windows, a pipe that
// cannot be peeked at counts as waiting only once a whole line has come.
bool descriptor_ready(int fd);

// Standard input and output as the engine needs them: no stream buffering
// that would hide waiting input from descriptor_ready.
void prepare_standard_streams();

// A descriptor that swallows whatever is written to it, or -1.
int open_discard_output();

}  // namespace vargul
