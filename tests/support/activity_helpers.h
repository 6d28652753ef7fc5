#pragma once

#include "board/bitboard.h"
#include "board/board.h"
#include "board/slider_attacks.h"
#include "board/tables.h"

namespace vargul {

// The activity evaluate credits the piece on `square` with: the number of
// squares it attacks, a rook its file only. Adds 1 to `attack_count` when
// those squares meet the surroundings of the enemy king on `enemy_king`; 64
// stands for a side without a king, whose surroundings nothing bears on.
inline int activity_of(Bitboard attacked, int enemy_king, int& attack_count) {
    if (enemy_king < 64 && (attacked & king_attack[enemy_king])) ++attack_count;
    return bit_count(attacked);
}
inline int queen_activity(const Board& b, int square, int enemy_king, int& attack_count) {
    return activity_of(queen_attacks(square, b.all_piece), enemy_king, attack_count);
}
inline int rook_activity(const Board& b, int square, int enemy_king, int& attack_count) {
    return activity_of(file_attacks(square, b.all_piece), enemy_king, attack_count);
}
inline int bishop_activity(const Board& b, int square, int enemy_king, int& attack_count) {
    return activity_of(diagonal_attacks(square, b.all_piece), enemy_king, attack_count);
}

}  // namespace vargul
