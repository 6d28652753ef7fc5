#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/move.h"
#include "board/side.h"

// [colour][piece code][square]; colour 1 is White. Filled once at start-up.
extern std::uint64_t zobrist_key[2][7][64];

inline constexpr std::uint64_t empty_board_key = 0xF3218F1C9510786CULL;

void fill_zobrist_keys();
void compute_hash_key(Board& board);

// XORs into hash_key what move m of side S changes; applying it twice restores the key.
template <Side S> void toggle_move_key(Board& board, Move m);

inline void toggle_move_key(int side, const MoveList& list, int index, Board& board) {
    if (side == 1) toggle_move_key<Side::White>(board, list.move[index]);
    else toggle_move_key<Side::Black>(board, list.move[index]);
}
