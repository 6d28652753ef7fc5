#include "board/bit_counting.h"

namespace vargul {

#if VARGUL_POPCOUNT_DISPATCH
BitCounting cpu_bit_counting() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") ? BitCounting::popcount_instruction : BitCounting::plain;
}
#else
BitCounting cpu_bit_counting() { return BitCounting::plain; }
#endif

}  // namespace vargul
