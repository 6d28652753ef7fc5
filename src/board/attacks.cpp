#include "board/attacks.h"

#include "board/tables.h"

namespace {

// The enemy piece (rook-like or bishop-like) that is the first blocker along D, if any.
template <Direction D> inline int slider_hit(const Board& b, const std::int32_t* enemy, int s, int kind_a) {
    int blocker = nearest_blocker<D>(s, b.all_piece);
    if (blocker < 0) return 0;
    int code = enemy[blocker];  // 0 when the blocker is one of ours
    return code == kind_a || code == kQueen ? code : 0;
}

}  // namespace

template <Side S> int king_attacked(const Board& b) {
    constexpr Side Them = other_side<S>;
    const Bitboard king = pieces<S>(b)[kKing];
    if (!king) return kKing;  // a side without a king has lost it: treat as attacked
    const int k = bit_scan_forward(king);
    const std::int32_t* enemy = names<Them>(b);
    const Bitboard* their = pieces<Them>(b);

    if (int c = slider_hit<Direction::north>(b, enemy, k, kRook)) return c;
    if (int c = slider_hit<Direction::west>(b, enemy, k, kRook)) return c;
    if (int c = slider_hit<Direction::south>(b, enemy, k, kRook)) return c;
    if (int c = slider_hit<Direction::east>(b, enemy, k, kRook)) return c;
    if (int c = slider_hit<Direction::north_east>(b, enemy, k, kBishop)) return c;
    if (int c = slider_hit<Direction::north_west>(b, enemy, k, kBishop)) return c;
    if (int c = slider_hit<Direction::south_west>(b, enemy, k, kBishop)) return c;
    if (int c = slider_hit<Direction::south_east>(b, enemy, k, kBishop)) return c;
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
    const std::int32_t* attacker = names<S>(b);
    const Bitboard* their = pieces<S>(b);
    if constexpr (S == Side::Black) {  // squares of rank 1: look up and along it
        if (int c = slider_hit<Direction::north>(b, attacker, s, kRook)) return c;
        if (int c = slider_hit<Direction::west>(b, attacker, s, kRook)) return c;
        if (int c = slider_hit<Direction::east>(b, attacker, s, kRook)) return c;
        if (int c = slider_hit<Direction::north_east>(b, attacker, s, kBishop)) return c;
        if (int c = slider_hit<Direction::north_west>(b, attacker, s, kBishop)) return c;
    } else {  // squares of rank 8: look down and along it
        if (int c = slider_hit<Direction::west>(b, attacker, s, kRook)) return c;
        if (int c = slider_hit<Direction::south>(b, attacker, s, kRook)) return c;
        if (int c = slider_hit<Direction::east>(b, attacker, s, kRook)) return c;
        if (int c = slider_hit<Direction::south_west>(b, attacker, s, kBishop)) return c;
        if (int c = slider_hit<Direction::south_east>(b, attacker, s, kBishop)) return c;
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
