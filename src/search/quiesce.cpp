#include "search/quiesce.h"

#include "board/generate.h"
#include "position/evaluate.h"
#include "position/make_move.h"
#include "search/exchange_passes.h"
#include "search/score.h"
#include "search/search_constants.h"

namespace vargul {

namespace {

#ifdef VARGUL_FUZZ
// The fuzzing build cuts the capture search short: over a rank of promoting
// pawns it runs for a minute at depth 3, and the fuzzer learns nothing from that.
constexpr int kLastCapturePly = 10;
#else
constexpr int kLastCapturePly = kMaxPly;
#endif

// Delta pruning: leaves out of the enemy occupancy the victims too small to
// bring the stand pat back to the bound, so the generator does not even list
// their captures. Only the side's occupancy changes: `all_piece` keeps them,
// and they still block sliders and pushes.
template <Side Them> void delta_prune_victims(Board& board, int margin) {
    Bitboard& targets = occupancy<Them>(board);
    const Bitboard* their = pieces<Them>(board);
    if (margin > kPawnDelta) targets ^= their[kPawn];
    if (margin > kMinorDelta) targets ^= their[kKnight] ^ their[kBishop];
    if (margin > kRookDelta) targets ^= their[kRook];
}

}  // namespace

template <Side S, AllNodes T> int quiesce(Board& board, int alpha, int beta, int ply, SearchState& state) {
    constexpr Side Them = other_side<S>;
    constexpr bool white = S == Side::White;
    count_clock_node(state.stop, state);
    if (stopping(state.stop, StopLevel::abort)) return 0;
    count_node<T>(state);
    Move* const line = state.line;
    PvLine& pv = state.pv;

    int& own_bound = white ? alpha : beta;      // the bound this side raises
    const int opponent = white ? beta : alpha;  // reaching it fails high

    const int stand = evaluate(board, &state.tables.pawn_cache, state.tables.bit_counting) + board.material_balance;
    bool raised = false;
    if (better<S>(stand, own_bound)) {
        if (at_least<S>(stand, opponent)) return stand;
        own_bound = stand;
        raised = true;
    }
    int best = stand;

    MoveList list;
    list.capture_count = 0;
    std::int32_t tail_max[kMaxMoves];
    // Past the last entry of `line` nothing more is generated: the side stands pat.
    if (ply < kLastCapturePly) {
        const int margin = white ? alpha - stand : stand - beta;
        const Bitboard saved_targets = occupancy<Them>(board);
        delta_prune_victims<Them>(board, margin);
        generate_captures<S>(board, list, state.tables.history);
        occupancy<Them>(board) = saved_targets;
    }
    // Sorted one pass per capture tried: most nodes cut off on the first.
    ExchangePasses passes = exchange_passes(list, 0, list.capture_count, tail_max);

    PvLine best_line;
    best_line.length = 0;  // only read once a capture raised the bound, but the compiler cannot see that
    best_line.score = 0;
    for (int i = 0; i < list.capture_count; ++i) {
        sort_through(passes, i);
        const Move m = list.move[i];
        MoveUndo undo;
        make_move<S>(board, m, undo);
        line[ply] = m;
        // The opponent left its king en prise: the line ends before the capture.
        if (move_captured(m) == kKing) {
            const int score = win_score<S>(ply);
            unmake_move<S>(board, m, undo);
            line_to_pv(line, ply, score, pv);
            return score;
        }
        const int r = quiesce<Them, T>(board, alpha, beta, ply + 1, state);
        unmake_move<S>(board, m, undo);
        if (better<S>(r, best)) {
            best = r;
            if (better<S>(r, own_bound)) {
                if (at_least<S>(r, opponent)) return r;
                own_bound = r;
                copy_pv(pv, best_line);
                raised = true;
            }
        }
    }

    if (!raised) return best;
    if (best == stand)
        line_to_pv(line, ply, stand, pv);
    else
        copy_pv(best_line, pv);
    return best;
}

template int quiesce<Side::White, AllNodes::Off>(Board&, int, int, int, SearchState&);
template int quiesce<Side::Black, AllNodes::Off>(Board&, int, int, int, SearchState&);
template int quiesce<Side::White, AllNodes::On>(Board&, int, int, int, SearchState&);
template int quiesce<Side::Black, AllNodes::On>(Board&, int, int, int, SearchState&);

}  // namespace vargul
