#include "position/perft.h"

#include "board/check_lines.h"
#include "board/generate.h"
#include "position/make_move.h"

namespace vargul {

namespace {

// Every leaf is made, tested and unmade, so the count measures the same
// work as the search's legality filter, not a bulk count of the last ply.
template <Side S> std::uint64_t count_leaves(Board& board, int depth) {
    MoveList list;
    generate_all<S>(board, list, kNoHistory);
    const Bitboard exposing = exposing_squares<S>(board);
    std::uint64_t nodes = 0;
    for (int i = 0; i < list.move_count; ++i) {
        MoveUndo undo;
        make_move<S>(board, list.move[i], undo);
        if (!leaves_king_attacked<S>(board, exposing, list.move[i]))
            nodes += depth > 1 ? count_leaves<other_side<S>>(board, depth - 1) : 1;
        unmake_move<S>(board, list.move[i], undo);
    }
    return nodes;
}

template <Side S> std::uint64_t divide_root(Board& board, int depth, PerftDivide& divide) {
    divide.count = 0;
    if (depth <= 0) return 1;
    MoveList list;
    generate_all<S>(board, list, kNoHistory);
    const Bitboard exposing = exposing_squares<S>(board);
    std::uint64_t total = 0;
    for (int i = 0; i < list.move_count; ++i) {
        MoveUndo undo;
        make_move<S>(board, list.move[i], undo);
        if (!leaves_king_attacked<S>(board, exposing, list.move[i])) {
            std::uint64_t nodes = depth > 1 ? count_leaves<other_side<S>>(board, depth - 1) : 1;
            divide.move[divide.count] = list.move[i];
            divide.nodes[divide.count] = nodes;
            ++divide.count;
            total += nodes;
        }
        unmake_move<S>(board, list.move[i], undo);
    }
    return total;
}

}  // namespace

std::uint64_t perft(Board& board, int depth) {
    if (depth <= 0) return 1;
    return for_side(board.side_to_move, [&]<Side S>() { return count_leaves<S>(board, depth); });
}

std::uint64_t perft_divide(Board& board, int depth, PerftDivide& divide) {
    return for_side(board.side_to_move, [&]<Side S>() { return divide_root<S>(board, depth, divide); });
}

}  // namespace vargul
