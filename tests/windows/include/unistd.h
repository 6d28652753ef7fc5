// Test builds for Windows only: the runtime's own unistd.h, plus pipe(),
// which it lacks. The reading end is in text mode, like the engine's
// standard input; the writing end passes the test's bytes on unchanged.
#pragma once

#include_next <unistd.h>

#include <fcntl.h>
#include <io.h>

inline int pipe(int fds[2]) {
    if (::_pipe(fds, 1 << 16, _O_TEXT) != 0) return -1;
    ::_setmode(fds[1], _O_BINARY);
    return 0;
}
