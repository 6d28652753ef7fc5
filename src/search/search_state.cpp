#include "search/search_state.h"

namespace vargul {

void check_clock(SearchState& state) {
    state.clock_countdown = kClockCheckNodes;
    const std::int64_t now = state.clock.milliseconds();
    if (state.deadline != kNoDeadline && now > state.deadline) {
        abort_search(state, InputEvent::stop);
        return;
    }
    if (now - state.last_input_check >= kInputFallbackMs) {
        state.last_input_check = now;
        abort_search(state, state.reporter.look_for_stop());
    }
}

}  // namespace vargul
