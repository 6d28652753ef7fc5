#include "uci/deepening.h"

#include "position/make_move.h"
#include "search/clock.h"
#include "search/history.h"
#include "search/search_state.h"
#include "uci/line_writer.h"
#include "uci/reports.h"

namespace {

#ifdef VARGUL_FUZZ
// The fuzzing build keeps every search shallow, so each input runs in milliseconds.
constexpr int kLastDepth = 3;
#else
constexpr int kLastDepth = 50;
#endif

void say(const char* text) {
    LineWriter out;
    out << text;
    out.end_line();
}

void report_iteration(int depth, double seconds, int score, const SearchState& state) {
    LineWriter out;
    out << "info " << " nps " << nodes_per_second(state.node_count, seconds) << " depth " << depth;
    append_score(out, score, state.pv.length);
    out << " nodes " << state.node_count << " pv ";
    for (int k = 0; k < state.pv.length && k < kMaxPly; ++k) {
        append_move_text(out, state.pv.move[k]);
        out << ' ';
    }
    out.end_line();
}

void report_best_move(const BestMove& best) {
    LineWriter out;
    out << "bestmove ";
    if (best.kind == 0) {
        out << "0000";  // nothing was searched, or nothing was legal
    } else {
        append_squares(out, best.from, best.to);
        if (best.kind > 5) out << piece_letter(promoted_piece(best.kind));
    }
    out.end_line();
}

}  // namespace

template <Tally T>
DeepeningSummary deepen(const GoParameters& go, Board& board, const RecentMoves& recent_moves,
                        std::uint64_t& node_count) {
    DeepeningSummary summary{};
    // Without both kings the attack tests and the evaluation would read garbage.
    if (board.white_piece[kKing] == 0 || board.black_piece[kKing] == 0) {
        say("bestmove 0000");
        return summary;
    }

    const SearchLimits limits = search_limits(go, board.colour_move);
    node_count = 0;
    history_clear();
    const std::int32_t test_eval = count_material(board);
    board.eval = test_eval;

    // Line and pv start zeroed at every "go", and the whole search shares them.
    SearchState state{node_count, {}, {}, recent_moves, 0};

    // A maximum depth below 1 runs no iteration at all.
    for (int depth = 1; depth <= limits.max_depth; ++depth) {
        if (state.stop_flag != 0 || depth > kLastDepth) break;
        node_count = 0;
        const std::int64_t start = now_milliseconds();
        const int result = board.colour_move == 1 ? root_search<Side::White, T>(summary.best, board, depth, state)
                                                  : root_search<Side::Black, T>(summary.best, board, depth, state);
        const double seconds = static_cast<double>(now_milliseconds() - start) / 1000.0;
        summary.nodes_summed += node_count;
        summary.iterations = depth;

        if (board.eval != test_eval) say("ERROR test_eval != bitboard->eval");
        report_iteration(depth, seconds, board.colour_move == 1 ? result : -result, state);
        if (limits.time_limit != -1.0 && seconds > limits.time_limit) break;
    }

    report_best_move(summary.best);
    // The root search's two results must agree; an unwritten pv has nothing to compare.
    if (state.pv.length > 0) {
        if (summary.best.from != move_from(state.pv.move[0])) say("ERROR from(Deepening)");
        if (summary.best.to != move_to(state.pv.move[0])) say("ERROR to(Deepening)");
    }
    return summary;
}

template DeepeningSummary deepen<Tally::Off>(const GoParameters&, Board&, const RecentMoves&, std::uint64_t&);
template DeepeningSummary deepen<Tally::On>(const GoParameters&, Board&, const RecentMoves&, std::uint64_t&);
