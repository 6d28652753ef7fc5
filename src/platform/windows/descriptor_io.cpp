#include "platform/descriptor_io.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <climits>
#include <cstdio>

// The C runtime's descriptors stay in text mode, as on every Windows console
// program: _read drops the CR of a CR LF pair and takes byte 0x1A as the end
// of input, _write sends each LF as CR LF.

long read_some(int fd, char* buffer, std::size_t size) {
    const unsigned count = size > INT_MAX ? INT_MAX : static_cast<unsigned>(size);
    return ::_read(fd, buffer, count);
}

void write_all(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const unsigned count = size > INT_MAX ? INT_MAX : static_cast<unsigned>(size);
        // The count is of our bytes, not of the CRs the runtime adds.
        const int written = ::_write(fd, data, count);
        if (written <= 0) return;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

namespace {

// What the first look at a handle found out, kept for the calls after it.
struct InputKind {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool console = false;
};

InputKind inspect(HANDLE handle) {
    InputKind kind;
    kind.handle = handle;
    DWORD mode = 0;
    kind.console = ::GetConsoleMode(kind.handle, &mode) != 0;
    if (kind.console) {
        // Window and mouse events would count as typed input; keep them out,
        // and drop whatever was typed before the engine started looking.
        ::SetConsoleMode(kind.handle, mode & ~static_cast<DWORD>(ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT));
        ::FlushConsoleInputBuffer(kind.handle);
    }
    return kind;
}

}  // namespace

bool descriptor_ready(int fd) {
    // The engine only ever asks about its standard input; tests ask about
    // pipes and files of their own, hence the look-up each time.
    static InputKind kind;
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle != kind.handle) kind = inspect(handle);
    if (kind.console) {
        // A typed key brings a key-down and a key-up event: one alone is no
        // keystroke yet.
        DWORD events = 0;
        if (!::GetNumberOfConsoleInputEvents(kind.handle, &events)) return false;
        return events >= 2;
    }
    // A pipe or a file. Peeking fails on a file (and on a broken pipe): then
    // the read goes ahead and meets the next line or the end.
    DWORD available = 0;
    if (!::PeekNamedPipe(kind.handle, nullptr, 0, nullptr, &available, nullptr)) return true;
    return available > 0;
}

void prepare_standard_streams() {
    ::_setmode(kStandardInput, _O_TEXT);
    ::_setmode(kStandardOutput, _O_TEXT);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
}

int open_discard_output() { return ::_open("NUL", _O_WRONLY | _O_TEXT); }
