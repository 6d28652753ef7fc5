#include "platform/descriptor_io.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace vargul {

// The C runtime's descriptors stay in text mode, as on every Windows console
// program: _read drops the CR of a CR LF pair and takes byte 0x1A as the end
// of input, _write sends each LF as CR LF.

namespace {

// Standard input when it is a pipe that cannot be peeked, as wine gives a
// host pipe to a Windows program: a look at it would have to read, and the
// read blocks until the next line comes, with the search stopped meanwhile.
// A thread of its own does the blocking reads and holds what it read; the
// search thread takes whole lines from it and stays the only one searching.
// The reads are the runtime's, in text mode, so the bytes are the same as
// those of a read on the engine's own thread.
class PipeReader {
public:
    explicit PipeReader(int fd) : fd_(fd) {
        std::thread([this] { run(); }).detach();
    }
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    int fd() const { return fd_; }

    // Whether a take would return at once.
    bool ready() {
        std::lock_guard lock(mutex_);
        return can_hand_over();
    }

    // Waits for a whole line, a full store or the end; then hands over up to
    // size bytes, ending on a line end where the store holds one, so that a
    // half-sent line never makes a look at the input wait for its rest.
    long take(char* buffer, std::size_t size) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [this] { return can_hand_over(); });
        if (held_size_ == 0) return end_status_;
        std::size_t count = held_size_;
        if (!ended_ && held_size_ < kCapacity) count = line_end() + 1;
        if (count > size) count = size;
        std::memcpy(buffer, held_, count);
        std::memmove(held_, held_ + count, held_size_ - count);
        held_size_ -= count;
        space_.notify_one();
        return static_cast<long>(count);
    }

private:
    static constexpr std::size_t kCapacity = 65536;

    // Where the last line feed held is, or held_size_ when there is none.
    std::size_t line_end() const {
        for (std::size_t at = held_size_; at > 0; --at)
            if (held_[at - 1] == '\n') return at - 1;
        return held_size_;
    }

    bool can_hand_over() const { return ended_ || held_size_ == kCapacity || line_end() < held_size_; }

    void run() {
        for (;;) {
            std::size_t space = 0;
            {
                std::unique_lock lock(mutex_);
                space_.wait(lock, [this] { return held_size_ < kCapacity; });
                space = kCapacity - held_size_;
            }
            // Only this thread adds to the store, so the space can only grow meanwhile.
            const int got = ::_read(fd_, incoming_, static_cast<unsigned>(space));
            std::lock_guard lock(mutex_);
            if (got <= 0) {
                ended_ = true;
                end_status_ = got < 0 ? -1 : 0;
                arrived_.notify_one();
                return;
            }
            std::memcpy(held_ + held_size_, incoming_, static_cast<std::size_t>(got));
            held_size_ += static_cast<std::size_t>(got);
            arrived_.notify_one();
        }
    }

    const int fd_;
    std::mutex mutex_;
    std::condition_variable arrived_;  // bytes or the end came
    std::condition_variable space_;    // the engine took bytes
    char held_[kCapacity];             // read, not yet taken
    std::size_t held_size_ = 0;
    bool ended_ = false;
    long end_status_ = 0;       // what the read at the end answered: 0, or -1 on an error
    char incoming_[kCapacity];  // the reading thread's own
};

// The reader of standard input, once a look has found the pipe unpeekable.
// Process-wide, and never freed, unlike the engine's other state: its
// thread sits in a read that nothing can call off, so it outlives any owner,
// and read_some and descriptor_ready, the only ways to it, name a descriptor
// and no more. There is one standard input, so one reader.
PipeReader* pipe_reader = nullptr;

PipeReader* reader_of(int fd) { return pipe_reader != nullptr && pipe_reader->fd() == fd ? pipe_reader : nullptr; }

}  // namespace

long read_some(int fd, char* buffer, std::size_t size) {
    if (PipeReader* reader = reader_of(fd)) return reader->take(buffer, size);
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
    if (PipeReader* reader = reader_of(fd)) return reader->ready();
    DWORD available = 0;
    if (::PeekNamedPipe(kind.handle, nullptr, 0, nullptr, &available, nullptr)) return available > 0;
    // A pipe whose writer has closed, a file or a device: the read goes ahead
    // and meets the end or the next line at once.
    if (::GetLastError() == ERROR_BROKEN_PIPE || ::GetFileType(kind.handle) != FILE_TYPE_PIPE) return true;
    // An open pipe that cannot be peeked: from now on a thread reads it. (A
    // second such descriptor, which the engine never has, reads as before.)
    if (pipe_reader != nullptr) return true;
    pipe_reader = new PipeReader(fd);
    return pipe_reader->ready();
}

void prepare_standard_streams() {
    ::_setmode(kStandardInput, _O_TEXT);
    ::_setmode(kStandardOutput, _O_TEXT);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
}

int open_discard_output() { return ::_open("NUL", _O_WRONLY | _O_TEXT); }

}  // namespace vargul
