#include "board/move_text.h"

#include <cstring>

namespace vargul {

char piece_letter(int code) {
    static constexpr char kLetters[] = "xpnbrqk";
    return code >= 0 && code <= 6 ? kLetters[code] : ' ';
}

MoveText square_text(int square) {
    MoveText t{};
    t.text[0] = static_cast<char>('a' + square % 8);
    t.text[1] = static_cast<char>('1' + square / 8);
    return t;
}

MoveText squares_text(int from, int to) {
    MoveText t = square_text(from);
    t.text[2] = static_cast<char>('a' + to % 8);
    t.text[3] = static_cast<char>('1' + to / 8);
    return t;
}

MoveText move_text(int from, int to, MoveKind kind) {
    MoveText t = squares_text(from, to);
    if (is_promotion(kind)) t.text[4] = piece_letter(promoted_piece(kind));
    return t;
}

MoveText padded_move_text(Move m) {
    MoveText t = move_text(m);
    if (!is_promotion(move_kind(m)) && move_kind(m) != MoveKind::en_passant) t.text[4] = ' ';
    return t;
}

int find_move(const Move* moves, int count, const char* text) {
    for (int i = 0; i < count; ++i)
        if (std::strcmp(move_text(moves[i]), text) == 0) return i;
    return -1;
}

}  // namespace vargul
