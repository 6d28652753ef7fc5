#pragma once

#include <array>

#include "board/bitboard.h"
#include "board/board.h"
#include "board/tables.h"

namespace vargul {

// Slider attack sets: the empty squares up to the nearest blocker on each ray
// and the blocker's square itself, whoever stands there. One multiplication folds the occupancy of a whole line through
// the square into the six bits of its inner squares, and that index reads the line's attack pattern from a small table:
// no bit scans and no branches, where tracing each ray to its blocker costs a scan and a hard-to-predict branch per
// ray.
inline constexpr Bitboard kFileA = 0x0101010101010101ULL;
inline constexpr Bitboard kFileB = 0x0202020202020202ULL;
// Moves ranks 2 to 7 of the a-file to bits 58 to 63 with no two partial
// products overlapping, so no carry disturbs them.
inline constexpr Bitboard kFileAToTopBits = 0x0004081020408000ULL;

using LinePatterns = std::array<std::array<Bitboard, 64>, 8>;

namespace slider_rules {

constexpr SquareTable make_line(const SquareTable& one_way, const SquareTable& other_way) {
    SquareTable t{};
    for (int s = 0; s < 64; ++s) t[s] = one_way[s] | other_way[s];
    return t;
}

// The squares of an eight-square line seen from position p, the first
// occupied one each way included; bit i of `inner` tells whether square i + 1
// is occupied. The end squares never block anything beyond them, so their
// occupancy does not matter, nor does p's own.
constexpr unsigned line_pattern(int p, unsigned inner) {
    unsigned seen = 0;
    for (int q = p + 1; q < 8; ++q) {
        seen |= 1u << q;
        if (q < 7 && (inner >> (q - 1)) & 1) break;
    }
    for (int q = p - 1; q >= 0; --q) {
        seen |= 1u << q;
        if (q > 0 && (inner >> (q - 1)) & 1) break;
    }
    return seen;
}

// By file and inner occupancy: the attacked files copied onto every rank, to
// be masked by a rank or diagonal (which hold one square per file).
constexpr LinePatterns make_rank_fill() {
    LinePatterns t{};
    for (int f = 0; f < 8; ++f)
        for (unsigned i = 0; i < 64; ++i) t[f][i] = line_pattern(f, i) * kFileA;
    return t;
}

// By rank and inner occupancy: the attacked ranks as squares of the a-file.
constexpr LinePatterns make_a_file_attacks() {
    LinePatterns t{};
    for (int r = 0; r < 8; ++r)
        for (unsigned i = 0; i < 64; ++i) {
            const unsigned ranks = line_pattern(r, i);
            for (int q = 0; q < 8; ++q)
                if ((ranks >> q) & 1) t[r][i] |= Bitboard{1} << (8 * q);
        }
    return t;
}

}  // namespace slider_rules

inline constexpr LinePatterns rank_fill = slider_rules::make_rank_fill();
inline constexpr LinePatterns a_file_attacks = slider_rules::make_a_file_attacks();

inline constexpr SquareTable rank_line = slider_rules::make_line(ray_east, ray_west);
inline constexpr SquareTable diagonal_line = slider_rules::make_line(ray_north_east, ray_south_west);
inline constexpr SquareTable anti_diagonal_line = slider_rules::make_line(ray_north_west, ray_south_east);

// `line` holds one square per file: the occupancy gathers into the top byte by file.
inline Bitboard line_attacks(int s, Bitboard line, Bitboard occupied) {
    const unsigned index = static_cast<unsigned>(((line & occupied) * kFileB) >> 58);
    return line & rank_fill[file_of(s)][index];
}

// North and south together.
inline Bitboard file_attacks(int s, Bitboard occupied) {
    const unsigned index = static_cast<unsigned>((((occupied >> file_of(s)) & kFileA) * kFileAToTopBits) >> 58);
    return a_file_attacks[rank_of(s)][index] << file_of(s);
}

inline Bitboard diagonal_attacks(int s, Bitboard occupied) {
    return line_attacks(s, diagonal_line[s], occupied) | line_attacks(s, anti_diagonal_line[s], occupied);
}

inline Bitboard straight_attacks(int s, Bitboard occupied) {
    return file_attacks(s, occupied) | line_attacks(s, rank_line[s], occupied);
}

inline Bitboard queen_attacks(int s, Bitboard occupied) {
    return straight_attacks(s, occupied) | diagonal_attacks(s, occupied);
}

}  // namespace vargul
