#pragma once

#include <gtest/gtest.h>

#include <random>

#include "board/bitboard.h"
#include "board/board.h"
#include "board/move.h"
#include "board/side.h"
#include "position/make_move.h"
#include "support/board_helpers.h"

namespace vargul {

// Random games from each start FEN: `games` of them, each up to `max_plies`
// plies or until only the kings are left, since such positions teach nothing
// more. step.template operator()<S>(board) looks at the position with S to
// move, plays one move and hands the turn over; it returns false when the
// game ends. The first failing game stops the whole run.
template <class Starts, class Step>
void play_random_games(const Starts& starts, int games, int max_plies, Step&& step) {
    for (const char* fen : starts) {
        for (int game = 0; game < games; ++game) {
            Board board = board_from_fen(fen);
            for (int ply = 0; ply < max_plies; ++ply) {
                const bool played =
                    for_side(board.side_to_move, [&]<Side S>() { return step.template operator()<S>(board); });
                if (!played || bit_count(board.all_piece) <= 2) break;
            }
            ASSERT_FALSE(::testing::Test::HasFailure()) << "start " << fen << " game " << game;
        }
    }
}

// One of 0 .. n-1, every one alike.
inline int draw_below(std::mt19937& random, int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

// A step's last act: plays list entry `chosen` for side S and hands the turn over.
template <Side S> bool play_entry(Board& board, const MoveList& list, int chosen) {
    play_move<S>(board, list.move[chosen]);
    return true;
}

}  // namespace vargul
