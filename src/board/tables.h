#pragma once

#include <array>

#include "board/bitboard.h"

namespace vargul {

// Constant attack and ray tables, built at compile time from the rule that
// defines each of them.
using SquareTable = std::array<Bitboard, 64>;

namespace table_rules {

constexpr bool on_board(int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; }

constexpr Bitboard bit(int file, int rank) { return Bitboard{1} << (file + 8 * rank); }

// Every square reached by repeating one step (df, dr) from the square, up to the edge.
constexpr SquareTable ray(int df, int dr) {
    SquareTable t{};
    for (int s = 0; s < 64; ++s) {
        for (int f = s % 8 + df, r = s / 8 + dr; on_board(f, r); f += df, r += dr) t[s] |= bit(f, r);
    }
    return t;
}

// The squares reached by one of the given steps.
template <int N> constexpr SquareTable leaper(const int (&steps)[N][2]) {
    SquareTable t{};
    for (int s = 0; s < 64; ++s) {
        for (const auto& step : steps) {
            int f = s % 8 + step[0], r = s / 8 + step[1];
            if (on_board(f, r)) t[s] |= bit(f, r);
        }
    }
    return t;
}

constexpr int kKingSteps[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
constexpr int kKnightSteps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};

// Pawns on the first and last rank attack nothing.
constexpr SquareTable pawn_attack(int forward) {
    SquareTable t{};
    for (int s = 8; s < 56; ++s) {
        int f = s % 8, r = s / 8 + forward;
        if (f > 0) t[s] |= bit(f - 1, r);
        if (f < 7) t[s] |= bit(f + 1, r);
    }
    return t;
}

constexpr SquareTable single_squares() {
    SquareTable t{};
    for (int s = 0; s < 64; ++s) t[s] = Bitboard{1} << s;
    return t;
}

}  // namespace table_rules

inline constexpr SquareTable square_mask = table_rules::single_squares();
inline constexpr SquareTable king_attack = table_rules::leaper(table_rules::kKingSteps);
inline constexpr SquareTable knight_attack = table_rules::leaper(table_rules::kKnightSteps);
inline constexpr SquareTable white_pawn_attack = table_rules::pawn_attack(+1);
inline constexpr SquareTable black_pawn_attack = table_rules::pawn_attack(-1);

// North, east, north-east and north-west run to higher squares (the nearest
// blocker is the lowest bit); the other four run to lower squares.
inline constexpr SquareTable ray_north = table_rules::ray(0, 1);
inline constexpr SquareTable ray_south = table_rules::ray(0, -1);
inline constexpr SquareTable ray_east = table_rules::ray(1, 0);
inline constexpr SquareTable ray_west = table_rules::ray(-1, 0);
inline constexpr SquareTable ray_north_east = table_rules::ray(1, 1);
inline constexpr SquareTable ray_north_west = table_rules::ray(-1, 1);
inline constexpr SquareTable ray_south_east = table_rules::ray(1, -1);
inline constexpr SquareTable ray_south_west = table_rules::ray(-1, -1);

namespace table_rules {
constexpr SquareTable join(const SquareTable& a, const SquareTable& b, const SquareTable& c, const SquareTable& d) {
    SquareTable t{};
    for (int s = 0; s < 64; ++s) t[s] = a[s] | b[s] | c[s] | d[s];
    return t;
}
}  // namespace table_rules

// All four rays of each kind from a square, as on an empty board.
inline constexpr SquareTable straight_lines = table_rules::join(ray_north, ray_south, ray_east, ray_west);
inline constexpr SquareTable diagonal_lines =
    table_rules::join(ray_north_east, ray_north_west, ray_south_east, ray_south_west);

enum class Direction { north, west, south, east, north_east, north_west, south_west, south_east };

template <Direction D> constexpr const SquareTable& ray_table() {
    if constexpr (D == Direction::north)
        return ray_north;
    else if constexpr (D == Direction::south)
        return ray_south;
    else if constexpr (D == Direction::east)
        return ray_east;
    else if constexpr (D == Direction::west)
        return ray_west;
    else if constexpr (D == Direction::north_east)
        return ray_north_east;
    else if constexpr (D == Direction::north_west)
        return ray_north_west;
    else if constexpr (D == Direction::south_east)
        return ray_south_east;
    else
        return ray_south_west;
}

template <Direction D> constexpr bool ascending =
    D == Direction::north || D == Direction::east || D == Direction::north_east || D == Direction::north_west;

// Nearest occupied square along the ray from s, or -1 when the ray is empty.
template <Direction D> inline int nearest_blocker(int s, Bitboard occupied) {
    Bitboard hits = ray_table<D>()[s] & occupied;
    if (!hits) return -1;
    if constexpr (ascending<D>)
        return bit_scan_forward(hits);
    else
        return bit_scan_reverse(hits);
}

// The empty squares strictly between s and the nearest blocker (or the edge).
template <Direction D> inline Bitboard free_squares(int s, Bitboard occupied) {
    const SquareTable& r = ray_table<D>();
    int b = nearest_blocker<D>(s, occupied);
    return b < 0 ? r[s] : r[s] ^ r[b] ^ square_mask[b];
}

}  // namespace vargul
