#pragma once

#include <cstdint>

namespace vargul {

// A move is one 32-bit word:
//   bits 0-5 captured, 6-11 kind, 12-17 from, 18-23 to, 24-31 piece.
using Move = std::uint32_t;

enum MoveKind : int {
    quiet = 1,
    capture = 2,
    castling_long = 3,
    castling_short = 4,
    en_passant = 5,
    promotion_knight = 12,
    promotion_bishop = 13,
    promotion_rook = 14,
    promotion_queen = 15,
    capture_promotion_knight = 22,
    capture_promotion_bishop = 23,
    capture_promotion_rook = 24,
    capture_promotion_queen = 25,
};

constexpr Move encode_move(int piece, int kind, int from, int to, int captured) {
    return static_cast<Move>(captured) | static_cast<Move>(kind) << 6 | static_cast<Move>(from) << 12 |
           static_cast<Move>(to) << 18 | static_cast<Move>(piece) << 24;
}

constexpr int move_captured(Move m) { return static_cast<int>(m & 63); }
constexpr int move_kind(Move m) { return static_cast<int>((m >> 6) & 63); }
constexpr int move_from(Move m) { return static_cast<int>((m >> 12) & 63); }
constexpr int move_to(Move m) { return static_cast<int>((m >> 18) & 63); }
constexpr int move_piece(Move m) { return static_cast<int>(m >> 24); }

// Every kind past en passant is a promotion, with or without a capture.
constexpr bool is_promotion(int kind) { return kind > en_passant; }

// The piece a promotion makes, for kinds 12-15 and 22-25.
constexpr int promoted_piece(int kind) { return kind <= 15 ? kind - 10 : kind - 20; }

constexpr int kMaxMoves = 256;

// Captures and promotions first (entries 0 .. capture_count-1), then quiet
// moves up to move_count. The capture generator resets the list.
struct MoveList {
    Move move[kMaxMoves];
    std::int32_t score[kMaxMoves];
    std::int32_t capture_count;
    std::int32_t move_count;
};

}  // namespace vargul
