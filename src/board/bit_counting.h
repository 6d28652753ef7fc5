#pragma once

#include <cstdint>

namespace vargul {

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

// Which compiled copy of a bit-counting routine runs: with the instruction,
// or the plain copy, the only one outside the portable x86-64 build. Whoever owns the
// search's memory reads the CPU once and keeps the answer there.
enum class BitCounting : std::uint8_t { plain, popcount_instruction };

// The copy this CPU runs best.
BitCounting cpu_bit_counting();

}  // namespace vargul
