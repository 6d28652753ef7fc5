#pragma once

#include "search/reporter.h"

struct Engine;

// Reads the waiting line, if any, during a search: "quit" and "stop" are
// returned, anything else is dropped without a reply.
InputEvent read_search_command(Engine& engine);
