#include "position/setup_check.h"

#include "board/attacks.h"
#include "board/castling.h"
#include "board/tables.h"

namespace vargul {

namespace {

constexpr Bitboard kBackRanks = 0xFF000000000000FFULL;

bool has(const std::int32_t* names, int square, int code) { return names[square] == code; }

// Whether the king and the rook of a castling right stand on their home squares.
bool right_fits(const std::int32_t* names, int king_square, int rook_square) {
    return has(names, king_square, kKing) && has(names, rook_square, kRook);
}

// The king and both rooks of side S stand where its rights need them.
template <Side S> bool long_right_fits(const Board& b) {
    using C = CastlingSquares<S>;
    return right_fits(piece_on<S>(b), C::king_from, C::long_rook_from);
}
template <Side S> bool short_right_fits(const Board& b) {
    using C = CastlingSquares<S>;
    return right_fits(piece_on<S>(b), C::king_from, C::short_rook_from);
}

bool castling_fits(const Board& b) {
    const CastlingRights& r = b.castling_rights;
    if (r.white_long && !long_right_fits<Side::White>(b)) return false;
    if (r.white_short && !short_right_fits<Side::White>(b)) return false;
    if (r.black_long && !long_right_fits<Side::Black>(b)) return false;
    if (r.black_short && !short_right_fits<Side::Black>(b)) return false;
    return true;
}

// The square passed over must be empty, on the mover's third rank, with the
// pawn that passed it just beyond.
bool en_passant_fits(const Board& b) {
    const int target = b.en_passant_square;
    if (target == kNoSquare) return true;
    const bool white_to_move = b.side_to_move == Side::White;
    if (rank_of(target) != (white_to_move ? 5 : 2)) return false;
    if (b.all_piece & square_mask[target]) return false;
    return white_to_move ? has(b.black_piece_on, target - 8, kPawn) : has(b.white_piece_on, target + 8, kPawn);
}

}  // namespace

void drop_unfit_rights(Board& b) {
    CastlingRights& r = b.castling_rights;
    if (!long_right_fits<Side::White>(b)) r.white_long = false;
    if (!short_right_fits<Side::White>(b)) r.white_short = false;
    if (!long_right_fits<Side::Black>(b)) r.black_long = false;
    if (!short_right_fits<Side::Black>(b)) r.black_short = false;
    if (!en_passant_fits(b)) b.en_passant_square = kNoSquare;
}

const char* position_problem(const Board& b) {
    if (bit_count(b.white_piece[kKing]) != 1 || bit_count(b.black_piece[kKing]) != 1)
        return "each side needs exactly one king";
    if ((b.white_piece[kPawn] | b.black_piece[kPawn]) & kBackRanks) return "pawn on the first or last rank";
    if (!castling_fits(b)) return "castling right without its king and rook in place";
    if (!en_passant_fits(b)) return "en passant square does not fit the position";
    const bool waiting_side_in_check =
        for_side(b.side_to_move, [&]<Side S>() { return king_attacked<other_side<S>>(b) != 0; });
    if (waiting_side_in_check) return "the side not to move is in check";
    return nullptr;
}

}  // namespace vargul
