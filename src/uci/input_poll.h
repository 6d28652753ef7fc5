#pragma once

#include "search/reporter.h"

namespace vargul {

struct Engine;

// Reads the waiting line, if any, during a search: "quit" and "stop" are
// returned, anything else is dropped without a reply.
InputEvent read_search_command(Engine& engine);

// The look that comes when no regular one has for a long time: acts only on
// "stop" or "quit" among the lines that have arrived. When it finds one, the
// lines before it are dropped, as the regular looks would have dropped them;
// when not, every line it saw waits, unread, for the regular look or the
// command loop, so what the engine does never depends on when it looked.
InputEvent look_for_stop_or_quit(Engine& engine);

}  // namespace vargul
