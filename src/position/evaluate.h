#pragma once

#include <cstdint>

#include "board/board.h"

// Positional score, White's point of view; the static score is evaluate(board) + board.eval.
std::int32_t evaluate(const Board& board);
