#include "uci/input_poll.h"

#include <cstring>

#include "platform/line_reader.h"
#include "uci/engine.h"

InputEvent read_search_command(Engine& engine) {
    if (input_waiting(engine.input) == 0) return InputEvent::none;
    if (!read_line(engine.input, engine.search_line)) return InputEvent::none;
    if (std::strcmp(engine.search_line, "quit") == 0) return InputEvent::quit;
    if (std::strcmp(engine.search_line, "stop") == 0) return InputEvent::stop;
    return InputEvent::none;
}
