#pragma once

#include "board/board.h"
#include "search/reporter.h"

namespace vargul {

// White's root search copies the board before its move loop and compares
// after it: one diagnostic for every field of `board` that differs from
// `snapshot`, so a make or unmake that forgets a field shows at once.
void report_unrestored_fields(const Board& snapshot, const Board& board, SearchReporter& reporter);

}  // namespace vargul
