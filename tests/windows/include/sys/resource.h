// Test builds for Windows only: the declarations of the address-space limit,
// which Windows does not have. setrlimit always fails, so a test that needs
// the limit must stay out of Windows builds.
#pragma once

#include <cerrno>
#include <cstdint>

using rlim_t = std::uint64_t;

struct rlimit {
    rlim_t rlim_cur;
    rlim_t rlim_max;
};

inline constexpr int RLIMIT_AS = 9;

inline int setrlimit(int, const rlimit*) {
    errno = ENOSYS;
    return -1;
}
