#pragma once

#include <bit>
#include <cstdint>

namespace vargul {

using Bitboard = std::uint64_t;

// Callers never scan an empty bitboard; they test for zero first. The
// builtins, unlike std::countr_zero, need no extra test for an empty board and
// compile to one bsf or bsr instruction.
inline int bit_scan_forward(Bitboard b) { return __builtin_ctzll(b); }
inline int bit_scan_reverse(Bitboard b) { return 63 ^ __builtin_clzll(b); }

inline int pop_lowest(Bitboard& b) {
    int square = bit_scan_forward(b);
    b &= b - 1;
    return square;
}

inline int bit_count(Bitboard b) { return std::popcount(b); }

}  // namespace vargul
