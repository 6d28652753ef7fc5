#include "board/check_lines.h"

#include "board/slider_attacks.h"

namespace vargul {

namespace {

// The squares from s up to the nearest of the sliders along D, when there is one.
template <Direction D> inline Bitboard up_to_slider(int s, Bitboard sliders) {
    const SquareTable& ray = ray_table<D>();
    const int nearest = nearest_blocker<D>(s, sliders);
    return nearest < 0 ? 0 : ray[s] ^ ray[nearest];
}

// The lines from side S's king that an enemy slider could move along, with
// the kings; every square when the king is missing or attacked.
template <Side S> Bitboard lines_to_king(const Board& b) {
    const Bitboard kings = pieces<S>(b)[kKing];
    if (!kings || king_attacked<S>(b)) return ~Bitboard{0};
    const int k = bit_scan_forward(kings);
    const Bitboard* their = pieces<other_side<S>>(b);
    const Bitboard straight = (their[kRook] | their[kQueen]) & straight_lines[k];
    const Bitboard diagonal = (their[kBishop] | their[kQueen]) & diagonal_lines[k];
    Bitboard lines = kings;
    if (straight) {
        lines |= up_to_slider<Direction::north>(k, straight) | up_to_slider<Direction::south>(k, straight) |
                 up_to_slider<Direction::east>(k, straight) | up_to_slider<Direction::west>(k, straight);
    }
    if (diagonal) {
        lines |= up_to_slider<Direction::north_east>(k, diagonal) | up_to_slider<Direction::north_west>(k, diagonal) |
                 up_to_slider<Direction::south_east>(k, diagonal) | up_to_slider<Direction::south_west>(k, diagonal);
    }
    return lines;
}

}  // namespace

template <Side S> Bitboard exposing_squares(const Board& before) {
    Bitboard exposing = lines_to_king<S>(before);
    // Taking en passant empties a square beside the pawn's path as well.
    if (before.en_passant_square != kNoSquare) {
        const int e = before.en_passant_square;
        exposing |= (S == Side::White ? black_pawn_attack[e] : white_pawn_attack[e]) & pieces<S>(before)[kPawn];
    }
    return exposing;
}

template <Side S> CheckSquares check_squares(const Board& before) {
    constexpr Side Them = other_side<S>;
    CheckSquares checks{};
    checks.uncovering = lines_to_king<Them>(before);
    if (!~checks.uncovering) return checks;
    const int k = bit_scan_forward(pieces<Them>(before)[kKing]);
    const int file = file_of(k);
    // The same squares king_attacked looks at for a pawn, edges included.
    Bitboard pawn = 0;
    if constexpr (S == Side::White) {
        if (k >= 8) pawn = (file != 7 ? square_mask[k - 7] : 0) | (file != 0 ? square_mask[k - 9] : 0);
    } else {
        if (k < 56) pawn = (file != 0 ? square_mask[k + 7] : 0) | (file != 7 ? square_mask[k + 9] : 0);
    }
    const Bitboard diagonal = diagonal_attacks(k, before.all_piece);
    const Bitboard straight = straight_attacks(k, before.all_piece);
    checks.by_piece[kPawn] = pawn;
    checks.by_piece[kKnight] = knight_attack[k];
    checks.by_piece[kBishop] = diagonal;
    checks.by_piece[kRook] = straight;
    checks.by_piece[kQueen] = diagonal | straight;
    checks.by_piece[kKing] = king_attack[k];
    return checks;
}

template Bitboard exposing_squares<Side::White>(const Board&);
template Bitboard exposing_squares<Side::Black>(const Board&);
template CheckSquares check_squares<Side::White>(const Board&);
template CheckSquares check_squares<Side::Black>(const Board&);

}  // namespace vargul
