#pragma once

namespace vargul {

// Reading squares from UCI move text: "a".."h" are files 0..7, "1".."8" ranks
// 0..7, any other character -1.
constexpr int file_from_char(char c) { return c >= 'a' && c <= 'h' ? c - 'a' : -1; }
constexpr int rank_from_char(char c) { return c >= '1' && c <= '8' ? c - '1' : -1; }

}  // namespace vargul
