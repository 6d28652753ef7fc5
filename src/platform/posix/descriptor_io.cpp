#include "platform/descriptor_io.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace vargul {

long read_some(int fd, char* buffer, std::size_t size) {
    for (;;) {
        ssize_t got = ::read(fd, buffer, size);
        if (got < 0 && errno == EINTR) continue;
        return static_cast<long>(got);
    }
}

void write_all(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

bool descriptor_ready(int fd) {
    pollfd request{fd, POLLIN, 0};
    int ready = ::poll(&request, 1, 0);
    // An error counts as waiting input too: the read that follows ends the input.
    if (ready < 0) return true;
    return ready > 0 && request.revents != 0;
}

void prepare_standard_streams() {
    // Replies go out with write(2) and input comes in with read(2); stdio is
    // kept unbuffered in case anything ever reaches it.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
}

int open_discard_output() { return ::open("/dev/null", O_WRONLY); }

}  // namespace vargul
