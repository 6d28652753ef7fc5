#include "search/root.h"

#include "board/attacks.h"
#include "board/generate.h"
#include "position/keys.h"
#include "position/make_move.h"
#include "search/diagnostic_texts.h"
#include "search/hash_table.h"
#include "search/move_picker.h"
#include "search/score.h"
#include "search/search.h"
#include "search/search_constants.h"
#include "search/self_checks.h"

namespace vargul {

namespace {

// The iteration's best so far, as the root's move loop keeps it.
struct RootProgress {
    int best;
    bool legal_move_searched = false;
    bool best_line_set = false;
    int number = 1;      // of the next legal root move, for "info currmove"
    PvLine best_line{};  // the best line of this iteration so far
};

// The root's moves in order: the hash move first, or failing it the move an
// internal iterative deepening names. False when "quit" came meanwhile.
template <Side S, AllNodes T> bool order_root_moves(Board& board, SearchState& state, int depth, MovePicker& picker) {
    if (hash_move_to_front(picker, state.tables.hash, board.hash_key) || depth < kDeepeningLeastDepth) return true;
    const std::uint64_t saved_nodes = state.node_count;
    search<S, T>(board, state, -kOpenBound, kOpenBound,
                 {.in_check = false,
                  .depth = depth - kDeepeningReduction,
                  .ply = 0,
                  .prev_kind = picker.list->move_count > 0 ? move_kind(first_move(picker)) : MoveKind::none,
                  .sub_search = true,
                  .parent_index = 0,
                  .in_deepening = true});
    state.node_count = saved_nodes;
    if (stopping(state.stop, StopLevel::quit)) return false;
    move_to_front(picker, state.pv.move[0]);
    return true;
}

// Searches the legal root move m, already made, with the full window from
// the best score so far, and takes it back; `seconds` is the time it took.
// A move that gives check is searched a ply deeper (the check extension), and
// the key the child search gives back is checked.
template <Side S, AllNodes T> int search_root_move(Board& board, SearchState& state, Move m, const MoveUndo& undo,
                                                   int index, int depth, int best, double& seconds) {
    constexpr Side Them = other_side<S>;
    state.line[0] = m;
    toggle_move_key<S>(board, m);
    const std::uint64_t expected_key = board.hash_key;
    const std::int64_t start = state.clock.milliseconds();
    const bool gives_check = king_attacked<Them>(board) != 0;
    const NodeContext child{.in_check = gives_check,
                            .depth = gives_check ? depth : depth - 1,
                            .ply = 1,
                            .prev_kind = move_kind(m),
                            .sub_search = false,
                            .parent_index = index,
                            .in_deepening = false};
    const int r = S == Side::White ? search<Them, T>(board, state, best, kOpenBound, child)
                                   : search<Them, T>(board, state, -kOpenBound, best, child);
    seconds = static_cast<double>(state.clock.milliseconds() - start) / 1000.0;
    if (!stopping(state.stop, StopLevel::quit) && board.hash_key != expected_key)
        state.reporter.diagnostic(kKeyNotRestoredText);
    unmake_move<S>(board, m, undo);
    toggle_move_key<S>(board, m);
    return r;
}

// A root move's score against the best so far, then the best line report.
// A search cut short by "stop" scores from zeros: its score and line mean
// nothing. It is stored only when the "go" has no move at all to answer with,
// and even then it is no result of the iteration.
template <Side S> void take_root_score(RootProgress& progress, Move& best_move, SearchState& state, Move m, int r,
                                       double seconds, int depth, std::uint64_t key) {
    const bool stopped = stopping(state.stop);
    const bool only_answer = stopped && best_move == 0;
    if (better<S>(r, progress.best) && (!stopped || only_answer)) {
        progress.best = r;
        best_move = m;
        if (!stopped) {
            copy_pv(state.pv, progress.best_line);
            progress.best_line_set = true;
            if (r != state.pv.score)
                state.reporter.diagnostic(S == Side::White ? kWhiteScoreMismatchText : kBlackScoreMismatchText);
        }
        hash_store(state.tables.hash, state.root_depth, 0, m, key, progress.best, Bound::exact);
    }
    if (!stopped) {
        ++progress.number;
        state.reporter.best_line(S, state.node_count, seconds, progress.best, progress.best_line, depth);
    }
}

}  // namespace

template <Side S, AllNodes T> int root_search(Move& best_move, Board& board, int depth, SearchState& state) {
    if (stopping(state.stop)) return 0;
    state.root_depth = depth;
    count_node<T>(state);

    MoveList list;
    generate_all<S>(board, list, state.tables.history);
    MovePicker picker;
    start_move_picker(picker, list);
    if (!order_root_moves<S, T>(board, state, depth, picker)) return 0;

    const Board snapshot = board;
    RootProgress progress{.best = worst_score<S>};
    for (int i = 0; i < list.move_count; ++i) {
        const Move m = next_move(picker);
        MoveUndo undo;
        make_move<S>(board, m, undo);
        if (king_attacked<S>(board)) {
            unmake_move<S>(board, m, undo);
            continue;
        }
        ++state.node_count;
        progress.legal_move_searched = true;
        state.reporter.current_move(m, progress.number, depth);
        double seconds = 0.0;
        const int r = search_root_move<S, T>(board, state, m, undo, i, depth, progress.best, seconds);
        if (stopping(state.stop, StopLevel::quit)) return 0;
        take_root_score<S>(progress, best_move, state, m, r, seconds, depth, board.hash_key);
    }

    if constexpr (S == Side::White) report_unrestored_fields(snapshot, board, state.reporter);
    if (!progress.legal_move_searched) {
        const int result = king_attacked<S>(board) ? mated_score<S>(0) : 0;
        state.pv.score = result;
        state.pv.length = 0;
        state.iteration_has_result = true;
        return result;
    }
    state.iteration_has_result = progress.best_line_set;
    if (progress.best_line_set) copy_pv(progress.best_line, state.pv);
    return progress.best;
}

template int root_search<Side::White, AllNodes::Off>(Move&, Board&, int, SearchState&);
template int root_search<Side::Black, AllNodes::Off>(Move&, Board&, int, SearchState&);
template int root_search<Side::White, AllNodes::On>(Move&, Board&, int, SearchState&);
template int root_search<Side::Black, AllNodes::On>(Move&, Board&, int, SearchState&);

}  // namespace vargul
