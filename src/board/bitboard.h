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

// The portable x86-64 build has no population-count instruction and calls a
// library routine for every count. A routine that counts bits in its inner
// loops is compiled twice instead, once for CPUs with the instruction, and
// one of the two is chosen at start-up from the CPU's feature bits (no
// loader support needed, so Windows does it the same way).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__POPCNT__) && \
    !defined(__SANITIZE_ADDRESS__)
#define VARGUL_POPCOUNT_DISPATCH 1
#define VARGUL_WITH_POPCOUNT __attribute__((flatten, target("popcnt")))
#else
#define VARGUL_POPCOUNT_DISPATCH 0
#endif
#define VARGUL_PORTABLE_COUNT __attribute__((flatten))

}  // namespace vargul
