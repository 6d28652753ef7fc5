#pragma once

#include <cstdint>

#include "board/board.h"
#include "board/move.h"
#include "board/side.h"

namespace vargul {

struct ZobristKeys {
    std::uint64_t key[2][7][64];
};

// The keys from a fixed linear congruential sequence, so every run has the
// same ones; each key is five 15-bit draws folded together.
constexpr ZobristKeys make_zobrist_keys() {
    ZobristKeys keys{};
    std::uint32_t state = 1;
    auto draw = [&state] {
        state = state * 214013u + 2531011u;
        return (state >> 16) & 0x7FFF;
    };
    for (int colour = 0; colour < 2; ++colour) {
        for (int code = 1; code <= 6; ++code) {
            for (int square = 0; square < 64; ++square) {
                std::uint64_t k = draw();
                k = (k << 12) ^ draw();
                k = (k << 16) ^ draw();
                k = (k << 16) ^ draw();
                k = (k << 15) ^ draw();
                keys.key[colour][code][square] = k;
            }
        }
    }
    return keys;
}

inline constexpr ZobristKeys kZobristKeys = make_zobrist_keys();

// [colour][piece code][square]; colour 1 is White.
inline constexpr const auto& zobrist_key = kZobristKeys.key;

inline constexpr std::uint64_t empty_board_key = 0xF3218F1C9510786CULL;

void compute_hash_key(Board& board);

// XORs into hash_key what move m of side S changes; applying it twice restores the key.
template <Side S> void toggle_move_key(Board& board, Move m);

}  // namespace vargul
