#pragma once

#include <cstdint>

namespace vargul {

// A move is one 32-bit word:
//   bits 0-5 captured, 6-11 kind, 12-17 from, 18-23 to, 24-31 piece.
using Move = std::uint32_t;

// The kind's number is what the move word holds in bits 6-11; `none` is no
// move at all (a best move not yet found, the move before the root).
enum class MoveKind : int {
    none = 0,
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

constexpr int kind_number(MoveKind kind) { return static_cast<int>(kind); }

constexpr Move encode_move(int piece, MoveKind kind, int from, int to, int captured) {
    return static_cast<Move>(captured) | static_cast<Move>(kind_number(kind)) << 6 | static_cast<Move>(from) << 12 |
           static_cast<Move>(to) << 18 | static_cast<Move>(piece) << 24;
}

constexpr int move_captured(Move m) { return static_cast<int>(m & 63); }
constexpr MoveKind move_kind(Move m) { return static_cast<MoveKind>((m >> 6) & 63); }
constexpr int move_from(Move m) { return static_cast<int>((m >> 12) & 63); }
constexpr int move_to(Move m) { return static_cast<int>((m >> 18) & 63); }
constexpr int move_piece(Move m) { return static_cast<int>(m >> 24); }

// Every kind past en passant is a promotion, with or without a capture.
constexpr bool is_promotion(MoveKind kind) { return kind > MoveKind::en_passant; }

// The piece a promotion makes, for the eight promotion kinds.
constexpr int promoted_piece(MoveKind kind) {
    const int n = kind_number(kind);
    return n <= kind_number(MoveKind::promotion_queen) ? n - 10 : n - 20;
}

// The four promotions of one pawn step or capture, in the order they are generated.
inline constexpr MoveKind kPromotions[] = {MoveKind::promotion_queen, MoveKind::promotion_rook,
                                           MoveKind::promotion_bishop, MoveKind::promotion_knight};
inline constexpr MoveKind kCapturePromotions[] = {MoveKind::capture_promotion_queen, MoveKind::capture_promotion_rook,
                                                  MoveKind::capture_promotion_bishop,
                                                  MoveKind::capture_promotion_knight};

constexpr int kMaxMoves = 256;

// Captures and promotions first (entries 0 .. capture_count-1), then quiet
// moves up to move_count. The capture generator resets the list.
struct MoveList {
    Move move[kMaxMoves];
    std::int32_t score[kMaxMoves];
    std::int32_t capture_count;
    std::int32_t move_count;
};

// Index of the first entry from `start` on equal to m, or -1.
inline int find_move(const MoveList& list, Move m, int start = 0) {
    for (int i = start; i < list.move_count; ++i)
        if (list.move[i] == m) return i;
    return -1;
}

}  // namespace vargul
