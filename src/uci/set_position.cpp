#include "uci/set_position.h"

#include <cstring>

#include "board/fen.h"
#include "board/generate.h"
#include "board/square_text.h"
#include "platform/line_reader.h"
#include "position/keys.h"
#include "position/make_move.h"
#include "position/setup_check.h"

namespace vargul {

namespace {

// How far past the queen promotion the letter's piece stands in the list
// (queen, rook, bishop, knight), or -1 for a letter that names no promotion.
int promotion_offset(char letter) {
    switch (letter) {
        case '\0':
        case 'q': return 0;
        case 'r': return 1;
        case 'b': return 2;
        case 'n': return 3;
        default: return -1;
    }
}

template <Side S> bool apply_move(Board& board, int from, int to, char letter) {
    MoveList list;
    generate_all<S>(board, list, kNoHistory);

    int found = -1;
    for (int i = 0; i < list.move_count; ++i) {
        if (move_from(list.move[i]) == from && move_to(list.move[i]) == to) {
            found = i;
            break;
        }
    }
    int offset = promotion_offset(letter);
    if (found < 0 || offset < 0) return false;
    if (offset > 0) {
        // "r", "b", "n" choose among one pawn's four promotions and mean nothing after another move.
        int chosen = found + offset;
        if (!is_promotion(move_kind(list.move[found])) || chosen >= list.move_count ||
            move_from(list.move[chosen]) != from || move_to(list.move[chosen]) != to)
            return false;
        found = chosen;
    }
    play_move<S>(board, list.move[found]);
    return true;
}

}  // namespace

bool apply_move_text(const char* token, Board& board) {
    // Every square character is checked before a square is computed, and a
    // short token is never read past its end.
    int file_from = -1, rank_from = -1, file_to = -1, rank_to = -1;
    if (token[0] && token[1] && token[2] && token[3]) {
        file_from = file_from_char(token[0]);
        rank_from = rank_from_char(token[1]);
        file_to = file_from_char(token[2]);
        rank_to = rank_from_char(token[3]);
    }
    if (file_from < 0 || rank_from < 0 || file_to < 0 || rank_to < 0) return false;
    int from = square_of(file_from, rank_from);
    int to = square_of(file_to, rank_to);
    char letter = token[4];
    return for_side(board.side_to_move, [&]<Side S>() { return apply_move<S>(board, from, to, letter); });
}

int set_position(const char* line, Board& board) {
    const char* fen = std::strstr(line, "fen ");
    const char* moves = std::strstr(line, "moves ");
    if (fen)
        parse_fen(fen, board);
    else
        parse_fen_fields(kStartFen, board);
    // Rights the pieces cannot use would have the generators move absent pieces.
    drop_unfit_rights(board);

    int skipped = 0;
    const char* p = moves ? moves + 6 : "";
    while (*p) {
        // Four characters, and a fifth when it is neither a blank nor the end.
        char token[6] = {};
        int length = 0;
        while (length < 4 && p[length]) {
            token[length] = p[length];
            ++length;
        }
        if (length == 4 && p[4] && p[4] != ' ') token[length++] = p[4];
        if (!apply_move_text(token, board)) ++skipped;
        p += length;
        while (*p == ' ') ++p;
    }
    compute_hash_key(board);
    board.material_balance = count_material(board);
    return skipped;
}

void copy_move_text(const char* line, char* move_text) {
    std::memset(move_text, 0, kLineCapacity);
    const char* moves = std::strstr(line, "moves ");
    if (!moves) return;
    // The line holds at most 65,535 characters, so the rest always fits with its zero.
    std::strncpy(move_text, moves + 6, kMaxLineLength);
}

}  // namespace vargul
