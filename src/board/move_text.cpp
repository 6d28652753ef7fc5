#include "board/move_text.h"

namespace vargul {

char piece_letter(int code) {
    static constexpr char kLetters[] = "xpnbrqk";
    return code >= 0 && code <= 6 ? kLetters[code] : ' ';
}

MoveText squares_text(int from, int to) {
    MoveText t{};
    t.text[0] = static_cast<char>('a' + from % 8);
    t.text[1] = static_cast<char>('1' + from / 8);
    t.text[2] = static_cast<char>('a' + to % 8);
    t.text[3] = static_cast<char>('1' + to / 8);
    return t;
}

MoveText move_text(int from, int to, MoveKind kind) {
    MoveText t = squares_text(from, to);
    if (is_promotion(kind)) t.text[4] = piece_letter(promoted_piece(kind));
    return t;
}

}  // namespace vargul
