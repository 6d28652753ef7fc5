#include "board/fen.h"

#include <cstring>

#include "board/tables.h"

namespace vargul {

namespace {

int piece_code(char c) {
    switch (c) {
        case 'p':
        case 'P': return kPawn;
        case 'n':
        case 'N': return kKnight;
        case 'b':
        case 'B': return kBishop;
        case 'r':
        case 'R': return kRook;
        case 'q':
        case 'Q': return kQueen;
        case 'k':
        case 'K': return kKing;
        default: return kNoPiece;
    }
}

void place(Board& board, bool white, int code, int square) {
    if (white) {
        board.all_white_piece |= square_mask[square];
        board.white_piece[code] |= square_mask[square];
        board.white_piece_on[square] = code;
    } else {
        board.all_black_piece |= square_mask[square];
        board.black_piece[code] |= square_mask[square];
        board.black_piece_on[square] = code;
    }
}

const char* skip_blanks(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

}  // namespace

void parse_fen(const char* text, Board& board) {
    const char* p = text;
    while (*p && *p != ' ') ++p;  // the word "fen"
    parse_fen_fields(p, board);
}

void parse_fen_fields(const char* fields, Board& board) {
    board.all_piece = board.all_white_piece = board.all_black_piece = 0;
    std::memset(board.white_piece, 0, sizeof board.white_piece);
    std::memset(board.black_piece, 0, sizeof board.black_piece);
    std::memset(board.white_piece_on, 0, sizeof board.white_piece_on);
    std::memset(board.black_piece_on, 0, sizeof board.black_piece_on);

    const char* p = skip_blanks(fields);

    // Squares past the eighth file or below the first rank are read but hold nothing.
    int rank_base = 56, file = 0;
    for (; *p && *p != ' '; ++p) {
        char c = *p;
        if (c == '/') {
            rank_base -= 8;
            file = 0;
        } else if (int code = piece_code(c)) {
            if (rank_base >= 0 && file < 8) place(board, c >= 'A' && c <= 'Z', code, rank_base + file);
            ++file;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
        } else {
            ++file;
        }
        if (file > 64) file = 64;  // no overflow on absurdly long ranks
    }
    board.all_piece = board.all_white_piece | board.all_black_piece;

    p = skip_blanks(p);
    if (*p == 'w')
        board.side_to_move = Side::White;
    else if (*p == 'b')
        board.side_to_move = Side::Black;
    // The side letter and exactly one blank.
    for (int step = 0; step < 2 && *p; ++step) ++p;

    board.castling_rights = {};
    for (; *p && *p != ' '; ++p) {
        if (*p == 'K')
            board.castling_rights.white_short = true;
        else if (*p == 'Q')
            board.castling_rights.white_long = true;
        else if (*p == 'k')
            board.castling_rights.black_short = true;
        else if (*p == 'q')
            board.castling_rights.black_long = true;
    }

    p = skip_blanks(p);
    board.en_passant_square = kNoSquare;
    if (*p == 0 || *p == '-') return;
    // A target square outside the board counts as none.
    if (p[0] >= 'a' && p[0] <= 'h' && p[1] >= '1' && p[1] <= '8')
        board.en_passant_square = square_of(p[0] - 'a', p[1] - '1');
}

}  // namespace vargul
