#pragma once

#include <bit>
#include <cstdint>

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

// For a routine that counts bits in its inner loops. The portable x86-64
// build has no population-count instruction and would call a library routine
// for every count; this compiles the routine (with everything it calls folded
// in) a second time for CPUs that have the instruction, and the loader picks
// the copy that fits the machine.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__POPCNT__) && \
    !defined(__SANITIZE_ADDRESS__)
#define VARGUL_HOT_POPCOUNT __attribute__((flatten, target_clones("popcnt", "default")))
#else
#define VARGUL_HOT_POPCOUNT __attribute__((flatten))
#endif
