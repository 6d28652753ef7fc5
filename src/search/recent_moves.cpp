#include "search/recent_moves.h"

#include <cstring>

#include "board/square_text.h"

namespace vargul {

RecentMoves read_recent_moves(const char* move_text) {
    RecentMoves recent{};
    for (int k = 0; k <= 4; ++k) recent.from_square[k] = recent.to_square[k] = k + 1;

    const std::size_t n = std::strlen(move_text);
    // Characters past the end read as the zero fill of the move text buffer.
    auto at = [&](std::size_t i) { return i < n ? move_text[i] : '\0'; };
    // The last four moves of a list of four-character tokens fill its last 19 characters.
    const std::size_t start = n >= 20 ? n - 19 : 0;
    for (int j = 0; j < 4 && start + 5 * j < n; ++j) {
        std::size_t p = start + 5 * j;
        recent.from_square[j] = file_from_char(at(p)) + 8 * rank_from_char(at(p + 1));
        recent.to_square[j] = file_from_char(at(p + 2)) + 8 * rank_from_char(at(p + 3));
    }
    return recent;
}

}  // namespace vargul
