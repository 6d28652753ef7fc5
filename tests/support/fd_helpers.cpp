#include "support/fd_helpers.h"

#include <sys/mman.h>
#include <unistd.h>

namespace vargul {

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

OutputFile::OutputFile() : fd_(::memfd_create("vargul-test-output", 0)) {}

OutputFile::~OutputFile() { ::close(fd_); }

std::string OutputFile::text() const {
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

void OutputFile::clear() {
    if (::ftruncate(fd_, 0) == 0) ::lseek(fd_, 0, SEEK_SET);
}

}  // namespace vargul
