#include "search/history.h"

#include <cstring>

std::int32_t history[64][64];

void history_clear() { std::memset(history, 0, sizeof history); }
