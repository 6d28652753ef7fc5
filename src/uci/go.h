#pragma once

#include <cstdint>

#include "board/board.h"

// Reads the go parameters, the game's last moves, and runs the search; returns
// after "bestmove" has been written.
void parse_go(const char* line, Board& board, const char* move_text, std::uint64_t& node_count);
