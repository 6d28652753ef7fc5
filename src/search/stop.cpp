#include "search/stop.h"

namespace vargul {

void check_clock(StopState& stop, const SearchContext& run) {
    stop.clock_countdown = kClockCheckNodes;
    const std::int64_t now = run.clock.milliseconds();
    if (stop.deadline != kNoDeadline && now > stop.deadline) {
        abort_search(stop, InputEvent::stop);
        return;
    }
    if (now - stop.last_input_check >= kInputFallbackMs) {
        stop.last_input_check = now;
        abort_search(stop, run.reporter.look_for_stop());
    }
}

}  // namespace vargul
