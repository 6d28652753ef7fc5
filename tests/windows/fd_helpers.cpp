// The Windows twin of tests/support/fd_helpers.cpp, on temporary files that
// the system deletes when their descriptor closes.
#include "support/fd_helpers.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>

namespace vargul {

namespace {

int open_temporary(int mode) {
    char folder[MAX_PATH], path[MAX_PATH];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "vgt", 0, path)) return -1;
    return ::_open(path, _O_RDWR | _O_CREAT | _O_TRUNC | _O_TEMPORARY | mode, _S_IREAD | _S_IWRITE);
}

}  // namespace

int descriptor_with(const std::string& bytes) {
    const int fd = open_temporary(_O_BINARY);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int n = ::_write(fd, bytes.data() + done, static_cast<unsigned>(bytes.size() - done));
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::_lseek(fd, 0, SEEK_SET);
    // Read as the engine reads its standard input: in text mode.
    ::_setmode(fd, _O_TEXT);
    return fd;
}

// Binary, so text() holds the engine's own bytes; the runtime's LF to CR LF
// on standard output is checked end to end (tests/windows/pipe_driver.cpp).
OutputFile::OutputFile() : fd_(open_temporary(_O_BINARY)) {}

OutputFile::~OutputFile() { ::_close(fd_); }

std::string OutputFile::text() const {
    std::string result;
    const long end = ::_lseek(fd_, 0, SEEK_CUR);
    ::_lseek(fd_, 0, SEEK_SET);
    char chunk[4096];
    for (;;) {
        const int n = ::_read(fd_, chunk, sizeof chunk);
        if (n <= 0) break;
        result.append(chunk, static_cast<std::size_t>(n));
    }
    ::_lseek(fd_, end, SEEK_SET);
    return result;
}

void OutputFile::clear() {
    if (::_chsize(fd_, 0) == 0) ::_lseek(fd_, 0, SEEK_SET);
}

}  // namespace vargul
