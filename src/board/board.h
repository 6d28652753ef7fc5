#pragma once

#include <cstdint>

#include "board/bitboard.h"
#include "board/side.h"

// Piece codes, the same for both colours.
enum PieceCode : int { kNoPiece = 0, kPawn = 1, kKnight = 2, kBishop = 3, kRook = 4, kQueen = 5, kKing = 6 };

// The position record. Field order is part of the design (the root search's
// snapshot compares it field by field).
struct Board {
    Bitboard all_piece;
    Bitboard all_white_piece;
    Bitboard all_black_piece;
    Bitboard white_piece[7];
    Bitboard black_piece[7];
    std::int32_t white_name_from_coord[64];
    std::int32_t black_name_from_coord[64];
    std::int32_t colour_move;
    std::int32_t taking_passage_yes;
    std::int32_t taking_passage_x;
    std::int32_t taking_passage_y;
    std::int32_t castling_Q;
    std::int32_t castling_K;
    std::int32_t castling_q;
    std::int32_t castling_k;
    std::uint64_t hash_key;
    std::int32_t eval;
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
template <Side S> inline std::int32_t* names(Board& b) {
    if constexpr (S == Side::White)
        return b.white_name_from_coord;
    else
        return b.black_name_from_coord;
}
template <Side S> inline const std::int32_t* names(const Board& b) {
    if constexpr (S == Side::White)
        return b.white_name_from_coord;
    else
        return b.black_name_from_coord;
}

constexpr int square_of(int file, int rank) { return file + 8 * rank; }
constexpr int file_of(int square) { return square & 7; }
constexpr int rank_of(int square) { return square >> 3; }
