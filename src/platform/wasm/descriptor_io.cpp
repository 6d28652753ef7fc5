#include "platform/descriptor_io.h"

#include <emscripten.h>

namespace vargul {

// A WebAssembly engine has no descriptors: its host (the Node runner or the
// page's worker) hands it an object with three calls. Input comes from a
// queue in shared memory that the host's other thread fills, so a read can
// block in Atomics.wait while the look for waiting input never does.
EM_JS(int, host_read, (char* buffer, std::size_t size),
      { return Module["vargulHost"].read(HEAPU8.subarray(buffer, buffer + size)); });
EM_JS(int, host_input_ready, (), { return Module["vargulHost"].ready() ? 1 : 0; });
EM_JS(void, host_write, (int fd, const char* data, std::size_t size),
      { Module["vargulHost"].write(fd, HEAPU8.subarray(data, data + size)); });

namespace {

constexpr int kStandardError = 2;
// Any number the host never sees will do: writes to it go nowhere.
constexpr int kDiscardOutput = 3;

}  // namespace

long read_some(int fd, char* buffer, std::size_t size) {
    if (fd != kStandardInput) return -1;
    return host_read(buffer, size);
}

void write_all(int fd, const char* data, std::size_t size) {
    if (size > 0 && (fd == kStandardOutput || fd == kStandardError)) host_write(fd, data, size);
}

bool descriptor_ready(int fd) {
    // Any other descriptor fails its read at once, which ends that input.
    return fd != kStandardInput || host_input_ready() != 0;
}

// Nothing is buffered between the engine and its host.
void prepare_standard_streams() {}

int open_discard_output() { return kDiscardOutput; }

}  // namespace vargul
