#include "board/attacks.h"

#include "board/tables.h"

namespace vargul {

namespace {

// The first piece along D from s, when it is one of the given enemy sliders.
// The ray is looked at only when such a slider stands on it at all.
template <Direction D> inline int slider_hit(const Board& b, const std::int32_t* enemy, int s, Bitboard sliders) {
    if (!(ray_table<D>()[s] & sliders)) return 0;
    int blocker = nearest_blocker<D>(s, b.all_piece);
    return sliders & square_mask[blocker] ? enemy[blocker] : 0;
}

}  // namespace

template <Side S> int king_attacked(const Board& b) {
    constexpr Side Them = other_side<S>;
    const Bitboard king = pieces<S>(b)[kKing];
    if (!king) return kKing;  // a side without a king has lost it: treat as attacked
    const int k = bit_scan_forward(king);
    const std::int32_t* enemy = piece_on<Them>(b);
    const Bitboard* their = pieces<Them>(b);
    const Bitboard straight = their[kRook] | their[kQueen], diagonal = their[kBishop] | their[kQueen];

    // Most of the time no enemy slider shares a line with the king at all.
    if ((straight & straight_lines[k]) | (diagonal & diagonal_lines[k])) {
        if (int c = slider_hit<Direction::north>(b, enemy, k, straight)) return c;
        if (int c = slider_hit<Direction::west>(b, enemy, k, straight)) return c;
        if (int c = slider_hit<Direction::south>(b, enemy, k, straight)) return c;
        if (int c = slider_hit<Direction::east>(b, enemy, k, straight)) return c;
        if (int c = slider_hit<Direction::north_east>(b, enemy, k, diagonal)) return c;
        if (int c = slider_hit<Direction::north_west>(b, enemy, k, diagonal)) return c;
        if (int c = slider_hit<Direction::south_west>(b, enemy, k, diagonal)) return c;
        if (int c = slider_hit<Direction::south_east>(b, enemy, k, diagonal)) return c;
    }
    if (knight_attack[k] & their[kKnight]) return kKnight;
    if (king_attack[k] & their[kKing]) return kKing;
    const int file = file_of(k);
    if constexpr (S == Side::White) {
        if (k < 56 && ((file != 0 && enemy[k + 7] == kPawn) || (file != 7 && enemy[k + 9] == kPawn))) return kPawn;
    } else {
        if (k >= 8 && ((file != 7 && enemy[k - 7] == kPawn) || (file != 0 && enemy[k - 9] == kPawn))) return kPawn;
    }
    return 0;
}

// s is a castling square on the defender's home rank, never on the a- or h-file.
template <Side S> int square_attacked_by(const Board& b, int s) {
    const std::int32_t* attacker = piece_on<S>(b);
    const Bitboard* their = pieces<S>(b);
    const Bitboard straight = their[kRook] | their[kQueen], diagonal = their[kBishop] | their[kQueen];
    if constexpr (S == Side::Black) {  // squares of rank 1: look up and along it
        if (int c = slider_hit<Direction::north>(b, attacker, s, straight)) return c;
        if (int c = slider_hit<Direction::west>(b, attacker, s, straight)) return c;
        if (int c = slider_hit<Direction::east>(b, attacker, s, straight)) return c;
        if (int c = slider_hit<Direction::north_east>(b, attacker, s, diagonal)) return c;
        if (int c = slider_hit<Direction::north_west>(b, attacker, s, diagonal)) return c;
    } else {  // squares of rank 8: look down and along it
        if (int c = slider_hit<Direction::west>(b, attacker, s, straight)) return c;
        if (int c = slider_hit<Direction::south>(b, attacker, s, straight)) return c;
        if (int c = slider_hit<Direction::east>(b, attacker, s, straight)) return c;
        if (int c = slider_hit<Direction::south_west>(b, attacker, s, diagonal)) return c;
        if (int c = slider_hit<Direction::south_east>(b, attacker, s, diagonal)) return c;
    }
    if (knight_attack[s] & their[kKnight]) return kKnight;
    if (king_attack[s] & their[kKing]) return kKing;
    constexpr int kPawnStep = S == Side::Black ? 7 : -7;
    constexpr int kPawnStepFar = S == Side::Black ? 9 : -9;
    if (attacker[s + kPawnStep] == kPawn || attacker[s + kPawnStepFar] == kPawn) return kPawn;
    return 0;
}

template int king_attacked<Side::White>(const Board&);
template int king_attacked<Side::Black>(const Board&);
template int square_attacked_by<Side::White>(const Board&, int);
template int square_attacked_by<Side::Black>(const Board&, int);

}  // namespace vargul
