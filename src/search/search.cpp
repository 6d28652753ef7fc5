#include "search/search.h"

#include "board/attacks.h"
#include "board/check_lines.h"
#include "board/generate.h"
#include "position/evaluate.h"
#include "position/keys.h"
#include "position/make_move.h"
#include "search/hash_table.h"
#include "search/leaf.h"
#include "search/move_picker.h"
#include "search/score.h"
#include "search/search_constants.h"

namespace vargul {

template <Side S, Tally T> int search(Board& board, SearchState& state, int alpha, int beta, const NodeContext& node) {
    constexpr Side Them = other_side<S>;
    constexpr bool white = S == Side::White;

    count_clock_node(state.stop, state);
    if (stopping(state.stop)) return 0;
    const int ply = node.ply;
    if (ply >= node.limit) return leaf<S, T>(board, alpha, beta, ply, state);
    tally_node<T>(state);
    SearchTables& tables = state.tables;

    const int left = node.limit - ply;
    const bool may_prune = !node.sub_search && node.prev_kind != MoveKind::capture && !node.in_check &&
                           node.parent_index >= kLeastPrunedIndex;

    // Futility at the frontier: even a move's worth of slack cannot bring the
    // static score back inside the window.
    if (left == 1 && may_prune) {
        const int static_score = evaluate(board, &tables.pawn_cache, tables.bit_counting) + board.material_balance;
        if constexpr (white) {
            if (static_score - kFutilityMargin >= beta) return beta;
        } else {
            if (static_score + kFutilityMargin <= alpha) return alpha;
        }
    }

    // Null move: let the other side move twice. Only the en passant square and
    // the node count need putting back; the side to move is the routine called.
    if (left >= kNullMoveLeastLeft && may_prune) {
        const std::int32_t saved_en_passant = board.en_passant_square;
        const std::uint64_t saved_nodes = state.node_count;
        board.en_passant_square = kNoSquare;
        const NodeContext null_node{.in_check = false,
                                    .limit = node.limit,
                                    .ply = ply + kNullMovePlyStep,
                                    .prev_kind = MoveKind::none,
                                    .sub_search = true,
                                    .parent_index = node.parent_index,
                                    .in_deepening = node.in_deepening};
        const int r = white ? search<Them, T>(board, state, alpha, alpha + 1, null_node)
                            : search<Them, T>(board, state, beta - 1, beta, null_node);
        board.en_passant_square = saved_en_passant;
        state.node_count = saved_nodes;
        if constexpr (white) {
            if (r >= beta) return beta;
        } else {
            if (r <= alpha) return alpha;
        }
    }

    MoveList list;
    generate_captures<S>(board, list, tables.history);
    generate_quiet<S>(board, list, tables.history);
    MovePicker picker;
    start_move_picker(picker, list);
    place_killers(picker, tables.killers, ply);
    const bool hash_move_found = hash_move_to_front(picker, tables.hash, board.hash_key);

    // Internal iterative deepening: without a stored move, a shallower search
    // of this node names one. Only on the parent's first move, and never nested.
    if (!node.in_deepening && node.parent_index == 0 && !hash_move_found && !node.sub_search &&
        left >= kDeepeningLeastLeft) {
        const std::uint64_t saved_nodes = state.node_count;
        search<S, T>(board, state, alpha, beta,
                     {.in_check = node.in_check,
                      .limit = node.limit - kDeepeningReduction,
                      .ply = ply,
                      .prev_kind = list.move_count > 0 ? move_kind(first_move(picker)) : MoveKind::none,
                      .sub_search = true,
                      .parent_index = 0,
                      .in_deepening = true});
        state.node_count = saved_nodes;
        // Whatever stands at this ply of pv, written by that search or not.
        move_to_front(picker, state.pv.move[ply]);
    }

    const int late_moves_from = late_move_threshold(list);

    int& near = white ? alpha : beta;  // the bound this side raises
    int& far = white ? beta : alpha;
    int best = worst_score<S>;
    // Stored when no move scores better than the worst, as before: the first.
    Move best_move = list.move_count > 0 ? first_move(picker) : 0;
    bool raised = false;
    bool legal_move_searched = false;
    PvLine best_line;

    // Until the second move the full tests are used: most cut-offs come on
    // the first move, and they should not pay for the squares.
    Bitboard exposing = ~Bitboard{0};
    CheckSquares checks;
    checks.uncovering = ~Bitboard{0};

    for (int i = 0; i < list.move_count; ++i) {
        const Move m = next_move(picker);
        if (i == 1) {
            exposing = exposing_squares<S>(board);
            checks = check_squares<S>(board);
        }
        MoveUndo undo;
        make_move<S>(board, m, undo);
        if (leaves_king_attacked<S>(board, exposing, m)) {
            unmake_move<S>(board, m, undo);
            continue;
        }
        ++state.node_count;
        state.line[ply] = m;
        legal_move_searched = true;
        toggle_move_key<S>(board, m);

        const bool gives_check = gives_check_after<S>(board, checks, m);
        int child_limit = node.limit;
        if (gives_check && node.limit - state.root_depth < kMaxExtension) child_limit = node.limit + 1;
        // A child at the frontier goes straight to the capture search, which
        // never reads the table: a request for its slot only takes a line fill.
        if (ply + 1 < child_limit) hash_prefetch(tables.hash, board.hash_key);

        auto child = [&](int a, int b, bool in_check, int limit) {
            return search<Them, T>(board, state, a, b,
                                   {.in_check = in_check,
                                    .limit = limit,
                                    .ply = ply + 1,
                                    .prev_kind = move_kind(m),
                                    .sub_search = node.sub_search,
                                    .parent_index = i,
                                    .in_deepening = node.in_deepening});
        };
        int r;
        if (i == 0) {
            r = child(alpha, beta, gives_check, child_limit);
        } else {
            // Zero window on this side's bound; a late quiet move gets a reduced look first.
            const int zero_low = white ? alpha : beta - 1;
            const int zero_high = zero_low + 1;
            r = white ? zero_high : zero_low;  // as if a reduced search had beaten the bound
            if (i > late_moves_from && left >= kReductionLeastLeft && !gives_check)
                r = child(zero_low, zero_high, false, child_limit - 1);
            if (better<S>(r, near)) r = child(zero_low, zero_high, gives_check, child_limit);
            if (alpha < r && r < beta) r = child(alpha, beta, gives_check, child_limit);
        }

        unmake_move<S>(board, m, undo);
        toggle_move_key<S>(board, m);

        if (better<S>(r, best)) {
            best = r;
            best_move = m;
            if (better<S>(r, near)) {
                if (at_least<S>(r, far)) {
                    if (move_kind(m) != MoveKind::capture) {
                        killers_add(tables.killers, ply, m);
                        history_add(tables.history, m);
                    }
                    hash_store(tables.hash, state.root_depth, ply, m, board.hash_key, r, Bound::cut_off);
                    return r;
                }
                near = r;
                raised = true;
                copy_pv(state.pv, best_line);
            }
        }
    }

    if (!legal_move_searched) {
        const int score = king_attacked<S>(board) ? mated_score<S>(ply) : 0;
        line_to_pv(state.line, ply, score, state.pv);
        return score;
    }
    if (raised) copy_pv(best_line, state.pv);
    hash_store(tables.hash, state.root_depth, ply, best_move, board.hash_key, best,
               raised ? Bound::exact : Bound::no_improvement);
    return best;
}

template int search<Side::White, Tally::Off>(Board&, SearchState&, int, int, const NodeContext&);
template int search<Side::Black, Tally::Off>(Board&, SearchState&, int, int, const NodeContext&);
template int search<Side::White, Tally::On>(Board&, SearchState&, int, int, const NodeContext&);
template int search<Side::Black, Tally::On>(Board&, SearchState&, int, int, const NodeContext&);

}  // namespace vargul
