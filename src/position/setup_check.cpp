#include "position/setup_check.h"

#include "board/attacks.h"
#include "board/tables.h"

namespace {

constexpr Bitboard kBackRanks = 0xFF000000000000FFULL;

bool has(const std::int32_t* names, int square, int code) { return names[square] == code; }

bool castling_fits(const Board& b) {
    const std::int32_t* white = b.white_name_from_coord;
    const std::int32_t* black = b.black_name_from_coord;
    if ((b.castling_Q || b.castling_K) && !has(white, 4, kKing)) return false;
    if ((b.castling_q || b.castling_k) && !has(black, 60, kKing)) return false;
    if (b.castling_Q && !has(white, 0, kRook)) return false;
    if (b.castling_K && !has(white, 7, kRook)) return false;
    if (b.castling_q && !has(black, 56, kRook)) return false;
    if (b.castling_k && !has(black, 63, kRook)) return false;
    return true;
}

// The square passed over must be empty, on the mover's third rank, with the
// pawn that passed it just beyond.
bool en_passant_fits(const Board& b) {
    if (!b.taking_passage_yes) return true;
    int file = b.taking_passage_x, rank = b.taking_passage_y;
    if (file < 0 || file > 7) return false;
    bool white_to_move = b.colour_move == 1;
    if (rank != (white_to_move ? 5 : 2)) return false;
    int target = square_of(file, rank);
    if (b.all_piece & square_mask[target]) return false;
    return white_to_move ? has(b.black_name_from_coord, target - 8, kPawn)
                         : has(b.white_name_from_coord, target + 8, kPawn);
}

}  // namespace

const char* position_problem(const Board& b) {
    if (bit_count(b.white_piece[kKing]) != 1 || bit_count(b.black_piece[kKing]) != 1)
        return "each side needs exactly one king";
    if ((b.white_piece[kPawn] | b.black_piece[kPawn]) & kBackRanks) return "pawn on the first or last rank";
    if (!castling_fits(b)) return "castling right without its king and rook in place";
    if (!en_passant_fits(b)) return "en passant square does not fit the position";
    bool waiting_side_in_check = b.colour_move == 1 ? black_king_attacked(b) : white_king_attacked(b);
    if (waiting_side_in_check) return "the side not to move is in check";
    return nullptr;
}
