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

namespace {

// The bound that side S's opponent already holds: a score that reaches it
// fails high, and a pruned node returns it.
template <Side S> int opponent_bound(int alpha, int beta) { return S == Side::White ? beta : alpha; }

// Futility at the frontier: even a move's worth of slack cannot bring the
// static score back inside the window.
template <Side S> bool futility_prunes(const Board& board, SearchTables& tables, int alpha, int beta) {
    const int static_score = evaluate(board, &tables.pawn_cache, tables.bit_counting) + board.material_balance;
    if constexpr (S == Side::White) {
        return static_score - kFutilityMargin >= beta;
    } else {
        return static_score + kFutilityMargin <= alpha;
    }
}

// Null move: the other side moves twice, searched with a zero window at the
// bound, R plies shallower than a normal child. Its ply advances by R too, so
// the subtree's mate scores, killers and line entries are those of ply + 1 + R.
// Only the en passant square and the node count need putting back; the side
// to move is the routine called.
template <Side S, AllNodes T>
bool null_move_prunes(Board& board, SearchState& state, int alpha, int beta, const NodeContext& node) {
    const std::int32_t saved_en_passant = board.en_passant_square;
    const std::uint64_t saved_nodes = state.node_count;
    board.en_passant_square = kNoSquare;
    const NodeContext null_node{.in_check = false,
                                .depth = node.depth - 1 - kNullMoveReduction,
                                .ply = node.ply + 1 + kNullMoveReduction,
                                .prev_kind = MoveKind::none,
                                .sub_search = true,
                                .parent_index = node.parent_index,
                                .in_deepening = node.in_deepening};
    constexpr Side Them = other_side<S>;
    const int r = S == Side::White ? search<Them, T>(board, state, alpha, alpha + 1, null_node)
                                   : search<Them, T>(board, state, beta - 1, beta, null_node);
    board.en_passant_square = saved_en_passant;
    state.node_count = saved_nodes;
    return at_least<S>(r, opponent_bound<S>(alpha, beta));
}

// Internal iterative deepening: without a stored move, a shallower search of
// this node names the move to try first. Its nodes are not counted.
template <Side S, AllNodes T> void internal_deepening(Board& board, SearchState& state, int alpha, int beta,
                                                      const NodeContext& node, MovePicker& picker) {
    const std::uint64_t saved_nodes = state.node_count;
    search<S, T>(board, state, alpha, beta,
                 {.in_check = node.in_check,
                  .depth = node.depth - kDeepeningReduction,
                  .ply = node.ply,
                  .prev_kind = picker.list->move_count > 0 ? move_kind(first_move(picker)) : MoveKind::none,
                  .sub_search = true,
                  .parent_index = 0,
                  .in_deepening = true});
    state.node_count = saved_nodes;
    // Whatever stands at this ply of pv, written by that search or not.
    move_to_front(picker, state.pv.move[node.ply]);
}

// One move's subtree, principal variation search: the first move gets the full
// window; a later one a zero window at this side's bound, after a reduced look
// first when it is a late quiet move (late-move reduction), and the full window
// again only when it lands inside.
template <Side S, AllNodes T> int search_move(Board& board, SearchState& state, int alpha, int beta,
                                              const NodeContext& node, Move m, int index, bool gives_check,
                                              int child_depth, bool may_reduce) {
    constexpr bool white = S == Side::White;
    auto child = [&](int a, int b, bool in_check, int depth) {
        return search<other_side<S>, T>(board, state, a, b,
                                        {.in_check = in_check,
                                         .depth = depth,
                                         .ply = node.ply + 1,
                                         .prev_kind = move_kind(m),
                                         .sub_search = node.sub_search,
                                         .parent_index = index,
                                         .in_deepening = node.in_deepening});
    };
    if (index == 0) return child(alpha, beta, gives_check, child_depth);
    const int zero_low = white ? alpha : beta - 1;
    const int zero_high = zero_low + 1;
    int r = white ? zero_high : zero_low;  // as if a reduced search had beaten the bound
    if (may_reduce && !gives_check) r = child(zero_low, zero_high, false, child_depth - kLateMoveReduction);
    if (better<S>(r, white ? alpha : beta)) r = child(zero_low, zero_high, gives_check, child_depth);
    if (alpha < r && r < beta) r = child(alpha, beta, gives_check, child_depth);
    return r;
}

// A move that failed high becomes this ply's killer and counts in the history,
// unless it is a plain capture: those are ordered well enough by what they take.
inline void note_fail_high(SearchTables& tables, int ply, Move m) {
    if (move_kind(m) == MoveKind::capture) return;
    killers_add(tables.killers, ply, m);
    history_add(tables.history, m);
}

// No legal move: mated, or stalemate; the line is the path that led here.
template <Side S> int mate_or_stalemate(const Board& board, SearchState& state, int ply) {
    const int score = king_attacked<S>(board) ? mated_score<S>(ply) : 0;
    line_to_pv(state.line, ply, score, state.pv);
    return score;
}

// The move loop and the store: every legal move in the picker's order, until
// one fails high.
template <Side S, AllNodes T>
int search_moves(Board& board, SearchState& state, int alpha, int beta, const NodeContext& node, MovePicker& picker) {
    const MoveList& list = *picker.list;
    const int ply = node.ply;
    SearchTables& tables = state.tables;
    const int late_moves_from = late_move_threshold(list);
    // The ply where this path's full-width search ends: it passes the
    // iteration's depth by the extensions so far.
    const int limit = ply + node.depth;
    const bool extend_checks = limit - state.root_depth < kMaxExtension;

    int& own_bound = S == Side::White ? alpha : beta;  // the bound this side raises
    const int& opponent = S == Side::White ? beta : alpha;
    int best = worst_score<S>;
    // Stored when no move scores better than the worst: the first.
    Move best_move = list.move_count > 0 ? first_move(picker) : 0;
    bool raised = false;
    bool legal_move_searched = false;
    PvLine best_line;
    best_line.length = 0;  // only read once a move raised the bound, but the compiler cannot see that
    best_line.score = 0;

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
        const int child_depth = node.depth - 1 + (gives_check && extend_checks ? 1 : 0);
        // A child at the frontier goes straight to the capture search, which
        // never reads the table: a request for its slot only takes a line fill.
        if (child_depth > 0) hash_prefetch(tables.hash, board.hash_key);
        const int r = search_move<S, T>(board, state, alpha, beta, node, m, i, gives_check, child_depth,
                                        i > late_moves_from && node.depth >= kReductionLeastDepth);

        unmake_move<S>(board, m, undo);
        toggle_move_key<S>(board, m);

        if (!better<S>(r, best)) continue;
        best = r;
        best_move = m;
        if (!better<S>(r, own_bound)) continue;
        if (at_least<S>(r, opponent)) {
            note_fail_high(tables, ply, m);
            hash_store(tables.hash, state.root_depth, ply, m, board.hash_key, r, Bound::fail_high);
            return r;
        }
        own_bound = r;
        raised = true;
        copy_pv(state.pv, best_line);
    }

    if (!legal_move_searched) return mate_or_stalemate<S>(board, state, ply);
    if (raised) copy_pv(best_line, state.pv);
    hash_store(tables.hash, state.root_depth, ply, best_move, board.hash_key, best,
               raised ? Bound::exact : Bound::fail_low);
    return best;
}

}  // namespace

template <Side S, AllNodes T>
int search(Board& board, SearchState& state, int alpha, int beta, const NodeContext& node) {
    count_clock_node(state.stop, state);
    if (stopping(state.stop)) return 0;
    if (node.depth <= 0) return leaf<S, T>(board, alpha, beta, node.ply, state);
    count_node<T>(state);
    SearchTables& tables = state.tables;

    const bool may_prune = !node.sub_search && node.prev_kind != MoveKind::capture && !node.in_check &&
                           node.parent_index >= kLeastPrunedIndex;
    if (may_prune && node.depth == 1 && futility_prunes<S>(board, tables, alpha, beta))
        return opponent_bound<S>(alpha, beta);
    if (may_prune && node.depth >= kNullMoveLeastDepth && null_move_prunes<S, T>(board, state, alpha, beta, node))
        return opponent_bound<S>(alpha, beta);

    MoveList list;
    generate_all<S>(board, list, tables.history);
    MovePicker picker;
    start_move_picker(picker, list);
    place_killers(picker, tables.killers, node.ply);
    const bool hash_move_found = hash_move_to_front(picker, tables.hash, board.hash_key);
    // Only on the parent's first move, and never nested.
    if (!node.in_deepening && node.parent_index == 0 && !hash_move_found && !node.sub_search &&
        node.depth >= kDeepeningLeastDepth)
        internal_deepening<S, T>(board, state, alpha, beta, node, picker);
    return search_moves<S, T>(board, state, alpha, beta, node, picker);
}

template int search<Side::White, AllNodes::Off>(Board&, SearchState&, int, int, const NodeContext&);
template int search<Side::Black, AllNodes::Off>(Board&, SearchState&, int, int, const NodeContext&);
template int search<Side::White, AllNodes::On>(Board&, SearchState&, int, int, const NodeContext&);
template int search<Side::Black, AllNodes::On>(Board&, SearchState&, int, int, const NodeContext&);

}  // namespace vargul
