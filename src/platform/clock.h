#pragma once

#include <cstdint>

namespace vargul {

// Wall time in whole milliseconds. Only differences of two readings are ever
// used, so the origin does not matter; a processor-time clock would not do,
// as a search waiting on a half-written input line must count too.
std::int64_t now_milliseconds();

// Where the search reads the time, so tests can drive it with a fake clock.
class Clock {
public:
    virtual std::int64_t milliseconds() = 0;

protected:
    ~Clock() = default;
};

class SystemClock final : public Clock {
public:
    std::int64_t milliseconds() override { return now_milliseconds(); }
};

}  // namespace vargul
