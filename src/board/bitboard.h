#pragma once

#include <bit>
#include <cstdint>

using Bitboard = std::uint64_t;

// Callers never scan an empty bitboard; they test for zero first.
inline int bit_scan_forward(Bitboard b) { return std::countr_zero(b); }
inline int bit_scan_reverse(Bitboard b) { return 63 - std::countl_zero(b); }

inline int pop_lowest(Bitboard& b) {
    int square = bit_scan_forward(b);
    b &= b - 1;
    return square;
}

inline int bit_count(Bitboard b) { return std::popcount(b); }
