#pragma once

#include <cstdint>

#include "board/bitboard.h"
#include "board/side.h"

namespace vargul {

// Piece codes, the same for both colours.
enum PieceCode : int { kNoPiece = 0, kPawn = 1, kKnight = 2, kBishop = 3, kRook = 4, kQueen = 5, kKing = 6 };

// What each side may still castle to; a right is given up for good.
struct CastlingRights {
    bool white_long;
    bool white_short;
    bool black_long;
    bool black_short;
    bool operator==(const CastlingRights&) const = default;
};

inline constexpr std::int32_t kNoSquare = 64;

// The position record. The search never changes side_to_move: below the root
// the side is the template argument of the routine called.
struct Board {
    Bitboard all_piece;
    Bitboard all_white_piece;
    Bitboard all_black_piece;
    Bitboard white_piece[7];  // by piece code
    Bitboard black_piece[7];
    std::int32_t white_piece_on[64];  // piece code on each square, kNoPiece if empty of White
    std::int32_t black_piece_on[64];
    Side side_to_move;
    std::int32_t en_passant_square;  // the square passed over by a double push, or kNoSquare
    CastlingRights castling_rights;
    std::int32_t material_balance;  // White's material less Black's, kept up by make_move
    std::uint64_t hash_key;
};

// Side-indexed views of the record, so a template over the side reads the
// same for both colours.
template <Side S> inline Bitboard& occupancy(Board& b) {
    if constexpr (S == Side::White)
        return b.all_white_piece;
    else
        return b.all_black_piece;
}
template <Side S> inline Bitboard occupancy(const Board& b) {
    if constexpr (S == Side::White)
        return b.all_white_piece;
    else
        return b.all_black_piece;
}
template <Side S> inline Bitboard* pieces(Board& b) {
    if constexpr (S == Side::White)
        return b.white_piece;
    else
        return b.black_piece;
}
template <Side S> inline const Bitboard* pieces(const Board& b) {
    if constexpr (S == Side::White)
        return b.white_piece;
    else
        return b.black_piece;
}
template <Side S> inline std::int32_t* piece_on(Board& b) {
    if constexpr (S == Side::White)
        return b.white_piece_on;
    else
        return b.black_piece_on;
}
template <Side S> inline const std::int32_t* piece_on(const Board& b) {
    if constexpr (S == Side::White)
        return b.white_piece_on;
    else
        return b.black_piece_on;
}

constexpr int square_of(int file, int rank) { return file + 8 * rank; }
constexpr int file_of(int square) { return square & 7; }
constexpr int rank_of(int square) { return square >> 3; }

}  // namespace vargul
