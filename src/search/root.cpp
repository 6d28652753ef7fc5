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

template <Side S, Tally T> int root_search(BestMove& best_move, Board& board, int depth, SearchState& state) {
    constexpr Side Them = other_side<S>;
    constexpr bool white = S == Side::White;

    if (stopping(state.stop)) return 0;
    SearchTables& tables = state.tables;
    SearchReporter& reporter = state.reporter;
    state.root_depth = depth;
    tally_node<T>(state);

    MoveList list;
    generate_captures<S>(board, list, tables.history);
    generate_quiet<S>(board, list, tables.history);
    MovePicker picker;
    start_move_picker(picker, list);
    const bool hash_move_found = hash_move_to_front(picker, tables.hash, board.hash_key);

    if (!hash_move_found && depth >= kDeepeningLeastDepth) {
        const std::uint64_t saved_nodes = state.node_count;
        search<S, T>(board, state, -kOpenBound, kOpenBound,
                     {.in_check = false,
                      .limit = depth - kDeepeningReduction,
                      .ply = 0,
                      .prev_kind = list.move_count > 0 ? move_kind(first_move(picker)) : MoveKind::none,
                      .sub_search = true,
                      .parent_index = 0,
                      .in_deepening = true});
        state.node_count = saved_nodes;
        if (stopping(state.stop, StopLevel::quit)) return 0;
        move_to_front(picker, state.pv.move[0]);
    }

    const Board snapshot = board;
    int best = worst_score<S>;
    bool legal_move_searched = false;
    bool best_line_set = false;
    int number = 1;
    PvLine best_line;  // the best line of this iteration so far

    for (int i = 0; i < list.move_count; ++i) {
        const Move m = next_move(picker);
        MoveUndo undo;
        make_move<S>(board, m, undo);
        if (king_attacked<S>(board)) {
            unmake_move<S>(board, m, undo);
            continue;
        }
        ++state.node_count;
        legal_move_searched = true;
        reporter.current_move(m, number, depth);

        state.line[0] = m;
        toggle_move_key<S>(board, m);
        const std::uint64_t expected_key = board.hash_key;
        const std::int64_t start = state.clock.milliseconds();

        const bool gives_check = king_attacked<Them>(board) != 0;
        const NodeContext child{.in_check = gives_check,
                                .limit = gives_check ? depth + 1 : depth,
                                .ply = 1,
                                .prev_kind = move_kind(m),
                                .sub_search = false,
                                .parent_index = i,
                                .in_deepening = false};
        const int r = white ? search<Them, T>(board, state, best, kOpenBound, child)
                            : search<Them, T>(board, state, -kOpenBound, best, child);
        // A search cut short by "stop" scores from zeros: its score and line
        // mean nothing. It is stored only when the "go" has no move at all to
        // answer with, and even then it is no result of the iteration.
        const bool stopped = stopping(state.stop);
        const bool only_answer = stopped && best_move.kind == MoveKind::none;
        const double seconds = static_cast<double>(state.clock.milliseconds() - start) / 1000.0;

        if (stopping(state.stop, StopLevel::quit)) {
            unmake_move<S>(board, m, undo);
            toggle_move_key<S>(board, m);
            return 0;
        }
        if (board.hash_key != expected_key) reporter.diagnostic(kKeyNotRestoredText);
        unmake_move<S>(board, m, undo);
        toggle_move_key<S>(board, m);

        if (better<S>(r, best) && (!stopped || only_answer)) {
            best = r;
            best_move = BestMove{move_from(m), move_to(m), move_kind(m)};
            if (!stopped) {
                copy_pv(state.pv, best_line);
                best_line_set = true;
                if (r != state.pv.score_move)
                    reporter.diagnostic(white ? kWhiteScoreMismatchText : kBlackScoreMismatchText);
            }
            hash_store(tables.hash, state.root_depth, 0, m, board.hash_key, best, Bound::exact);
        }
        if (!stopping(state.stop)) {
            ++number;
            reporter.best_line(S, state.node_count, seconds, best, best_line, depth);
        }
    }

    if constexpr (white) report_unrestored_fields(snapshot, board, reporter);

    if (!legal_move_searched) {
        const int result = king_attacked<S>(board) ? mated_score<S>(0) : 0;
        state.pv.score_move = result;
        state.pv.length = 0;
        state.iteration_has_result = true;
        return result;
    }
    state.iteration_has_result = best_line_set;
    if (best_line_set) copy_pv(best_line, state.pv);
    return best;
}

template int root_search<Side::White, Tally::Off>(BestMove&, Board&, int, SearchState&);
template int root_search<Side::Black, Tally::Off>(BestMove&, Board&, int, SearchState&);
template int root_search<Side::White, Tally::On>(BestMove&, Board&, int, SearchState&);
template int root_search<Side::Black, Tally::On>(BestMove&, Board&, int, SearchState&);

}  // namespace vargul
