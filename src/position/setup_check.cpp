#include "position/setup_check.h"

#include "board/attacks.h"
#include "board/tables.h"

namespace vargul {

namespace {

constexpr Bitboard kBackRanks = 0xFF000000000000FFULL;

bool has(const std::int32_t* names, int square, int code) { return names[square] == code; }

// Whether the king and the rook of a castling right stand on their home squares.
bool right_fits(const std::int32_t* names, int king_square, int rook_square) {
    return has(names, king_square, kKing) && has(names, rook_square, kRook);
}

bool castling_fits(const Board& b) {
    const std::int32_t* white = b.white_piece_on;
    const std::int32_t* black = b.black_piece_on;
    if (b.castling_Q && !right_fits(white, 4, 0)) return false;
    if (b.castling_K && !right_fits(white, 4, 7)) return false;
    if (b.castling_q && !right_fits(black, 60, 56)) return false;
    if (b.castling_k && !right_fits(black, 60, 63)) return false;
    return true;
}

// The square passed over must be empty, on the mover's third rank, with the
// pawn that passed it just beyond.
bool en_passant_fits(const Board& b) {
    if (!b.en_passant_available) return true;
    int file = b.en_passant_file, rank = b.en_passant_rank;
    if (file < 0 || file > 7) return false;
    bool white_to_move = b.side_to_move == 1;
    if (rank != (white_to_move ? 5 : 2)) return false;
    int target = square_of(file, rank);
    if (b.all_piece & square_mask[target]) return false;
    return white_to_move ? has(b.black_piece_on, target - 8, kPawn) : has(b.white_piece_on, target + 8, kPawn);
}

}  // namespace

void drop_unfit_rights(Board& b) {
    if (!right_fits(b.white_piece_on, 4, 0)) b.castling_Q = 0;
    if (!right_fits(b.white_piece_on, 4, 7)) b.castling_K = 0;
    if (!right_fits(b.black_piece_on, 60, 56)) b.castling_q = 0;
    if (!right_fits(b.black_piece_on, 60, 63)) b.castling_k = 0;
    if (!en_passant_fits(b)) b.en_passant_available = b.en_passant_file = b.en_passant_rank = 0;
}

const char* position_problem(const Board& b) {
    if (bit_count(b.white_piece[kKing]) != 1 || bit_count(b.black_piece[kKing]) != 1)
        return "each side needs exactly one king";
    if ((b.white_piece[kPawn] | b.black_piece[kPawn]) & kBackRanks) return "pawn on the first or last rank";
    if (!castling_fits(b)) return "castling right without its king and rook in place";
    if (!en_passant_fits(b)) return "en passant square does not fit the position";
    bool waiting_side_in_check = b.side_to_move == 1 ? black_king_attacked(b) : white_king_attacked(b);
    if (waiting_side_in_check) return "the side not to move is in check";
    return nullptr;
}

}  // namespace vargul
