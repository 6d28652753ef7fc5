#include "platform/clock.h"

#include <chrono>

namespace vargul {

std::int64_t now_milliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace vargul
