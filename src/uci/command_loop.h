#pragma once

#include <cstdint>

#include "board/board.h"

// Acts on one command line. "quit" does not return: it ends the process with status 1.
void handle_command(const char* line, Board& board, char* move_text, std::uint64_t& node_count);

// The number after the first "Hash value " of the line (white space skipped,
// optional sign, digits; no digits read 0, values past the 32-bit range are
// clamped to it), or -1 when the line has no "Hash value ".
std::int32_t parse_hash_value(const char* line);

// A "Hash value" brought into the range the table sizing handles: below 0
// gives 1, above 4095 gives 1024, the rest is kept.
std::int32_t clamp_hash_megabytes(std::int32_t value);
