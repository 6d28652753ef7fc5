#pragma once

#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "board/history.h"
#include "board/move.h"
#include "board/move_text.h"

namespace vargul {

// A board set up from plain FEN text (the leading word "fen " is added here),
// with its key computed and `material_balance` set, as a search
// would start. Unlike "position", it keeps rights the pieces cannot use.
Board board_from_fen(const char* fen);

// FEN text, White to move, no rights, of a grid of piece letters indexed by
// square (a1 first), '.' for an empty square.
std::string fen_from_grid(const char grid[64]);

// The colour image of FEN text: ranks flipped, piece letters and the side to
// move swapped, castling rights and the en passant square carried across.
std::string mirrored_fen(const std::string& fen);

// The image of a move under the same flip: squares mirrored rank for rank,
// piece, kind and victim kept.
Move mirrored_move(Move m);

// Captures, then quiet moves, of the side `side_to_move`.
MoveList all_moves(const Board& board, const History& history = kNoHistory);

// The engine's move text ("e2e4", "a7a8q") as a string, for comparisons.
std::string move_string(Move m);
// Move texts of entries [begin, end) joined by single blanks.
std::string moves_text(const MoveList& list, int begin, int end);

// Compares every field of the record byte for byte and names the first that differs.
::testing::AssertionResult same_board(const Board& expected, const Board& actual);
// The record's invariants: occupancy unions, disjoint sides, square arrays in step with the bitboards.
::testing::AssertionResult board_consistent(const Board& board);

}  // namespace vargul
