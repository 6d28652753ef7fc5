#include "search/deepening.h"

#include "position/make_move.h"
#include "search/diagnostic_texts.h"
#include "search/root.h"
#include "search/search_constants.h"
#include "search/search_state.h"

namespace vargul {

template <AllNodes T> DeepeningSummary iterative_deepening(Board& board, const SearchLimits& limits,
                                                           const RecentMoves& recent_moves, SearchContext context) {
    DeepeningSummary summary{};
    SearchReporter& reporter = context.reporter;
    // Without both kings the attack tests and the evaluation would read garbage.
    if (board.white_piece[kKing] == 0 || board.black_piece[kKing] == 0) {
        reporter.best_move(summary.best);
        return summary;
    }

    std::uint64_t& node_count = context.node_count;
    node_count = 0;
    history_clear(context.tables.history);
    const std::int32_t material = count_material(board);
    board.material_balance = material;

    // Line and pv start zeroed at every "go", and the whole search shares them.
    SearchState state{context, {}, {}, recent_moves};
    state.stop.deadline = limits.deadline;
    state.stop.last_input_check = context.clock.milliseconds();

    // The last iteration with a sound result: what a "stop" that leaves the
    // next one without any shows instead.
    int finished_depth = 0;
    int finished_score = 0;
    PvLine finished_line{};

    // A maximum depth below 1 runs no iteration at all.
    for (int depth = 1; depth <= limits.max_depth; ++depth) {
        if (stopping(state.stop) || depth > kLastDepth) break;
        node_count = 0;
        const std::int64_t start = context.clock.milliseconds();
        const int result = for_side(board.side_to_move,
                                    [&]<Side S>() { return root_search<S, T>(summary.best, board, depth, state); });
        const double seconds = static_cast<double>(context.clock.milliseconds() - start) / 1000.0;
        if (stopping(state.stop, StopLevel::quit)) break;
        summary.nodes_summed += node_count;
        summary.iterations = depth;

        if (board.material_balance != material) reporter.diagnostic(kMaterialNotRestoredText);
        if (!state.iteration_has_result) {
            // Stopped before any root move was searched to the end.
            if (finished_depth > 0)
                reporter.iteration(finished_depth, seconds, finished_score, node_count, finished_line);
            copy_pv(finished_line, state.pv);
            break;
        }
        finished_depth = depth;
        finished_score = board.side_to_move == Side::White ? result : -result;
        copy_pv(state.pv, finished_line);
        reporter.iteration(depth, seconds, finished_score, node_count, state.pv);
        if (limits.time_limit != kNoTimeLimit && seconds > limits.time_limit) break;
    }
    summary.all_nodes = state.all_nodes;
    if (stopping(state.stop, StopLevel::quit)) {
        summary.quit = true;
        return summary;
    }

    reporter.best_move(summary.best);
    // The root search's two results must agree; an unwritten pv has nothing to compare.
    if (state.pv.length > 0) {
        if (move_from(summary.best) != move_from(state.pv.move[0])) reporter.diagnostic(kBestFromMismatchText);
        if (move_to(summary.best) != move_to(state.pv.move[0])) reporter.diagnostic(kBestToMismatchText);
    }
    return summary;
}

template DeepeningSummary iterative_deepening<AllNodes::Off>(Board&, const SearchLimits&, const RecentMoves&,
                                                             SearchContext);
template DeepeningSummary iterative_deepening<AllNodes::On>(Board&, const SearchLimits&, const RecentMoves&,
                                                            SearchContext);

}  // namespace vargul
