#include "support/fd_helpers.h"

#include <sys/mman.h>
#include <unistd.h>

#include "uci/line_writer.h"

int descriptor_with(const std::string& bytes) {
    int fd = ::memfd_create("vargul-test-input", 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

CapturedOutput::CapturedOutput() : fd_(::memfd_create("vargul-test-output", 0)), saved_(output_fd) {
    output_fd = fd_;
}

CapturedOutput::~CapturedOutput() {
    output_fd = saved_;
    ::close(fd_);
}

std::string CapturedOutput::text() const {
    std::string result;
    char chunk[4096];
    for (off_t at = 0;;) {
        ssize_t n = ::pread(fd_, chunk, sizeof chunk, at);
        if (n <= 0) break;
        result.append(chunk, static_cast<std::size_t>(n));
        at += n;
    }
    return result;
}
