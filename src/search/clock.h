#pragma once

#include <chrono>
#include <cstdint>

// Monotonic wall clock in whole milliseconds. Only differences of two readings
// are ever used, so the origin does not matter; a processor-time clock would
// not do, as a search waiting on a half-written input line must count too.
inline std::int64_t now_milliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
