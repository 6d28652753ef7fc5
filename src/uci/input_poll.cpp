#include "uci/input_poll.h"

#include <cstring>

#include "platform/line_reader.h"
#include "uci/engine.h"

namespace vargul {

namespace {

InputEvent search_command(const char* line) {
    if (std::strcmp(line, "quit") == 0) return InputEvent::quit;
    if (std::strcmp(line, "stop") == 0) return InputEvent::stop;
    return InputEvent::none;
}

}  // namespace

InputEvent read_search_command(Engine& engine) {
    if (input_waiting(engine.input) == 0) return InputEvent::none;
    if (!read_line(engine.input, engine.search_line)) return InputEvent::none;
    return search_command(engine.search_line);
}

InputEvent look_for_stop_or_quit(Engine& engine) {
    LineReader& input = engine.input;
    take_waiting_input(input);
    std::size_t offset = 0;
    int lines_before = 0;
    InputEvent found = InputEvent::none;
    while (found == InputEvent::none && next_buffered_line(input, offset, engine.search_line)) {
        found = search_command(engine.search_line);
        if (found == InputEvent::none) ++lines_before;
    }
    if (found == InputEvent::none) return found;
    // Whole lines are buffered, so these reads neither block nor fail short.
    for (int i = 0; i <= lines_before; ++i) read_line(input, engine.search_line);
    return found;
}

}  // namespace vargul
