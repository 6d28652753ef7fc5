#include "search/root.h"

#include "board/attacks.h"
#include "board/generate.h"
#include "platform/decimal.h"
#include "position/keys.h"
#include "position/make_move.h"
#include "search/hash_table.h"
#include "search/ordering.h"
#include "search/score.h"
#include "search/search.h"
#include "search/search_constants.h"

namespace vargul {

namespace {

// "<text><index>", as one diagnostic line.
void say_indexed(SearchReporter& reporter, const char* text, int index) {
    char line[128];
    int n = 0;
    while (*text && n < 100) line[n++] = *text++;
    n += write_decimal(static_cast<std::uint64_t>(index), line + n);  // indexes are never negative
    line[n] = '\0';
    reporter.diagnostic(line);
}

}  // namespace

void report_unrestored_fields(const Board& snapshot, const Board& board, SearchReporter& reporter) {
    auto say = [&](const char* text) { reporter.diagnostic(text); };
    auto say_indexed = [&](const char* text, int index) { vargul::say_indexed(reporter, text, index); };
    const Board& t = snapshot;
    const Board& b = board;
    if (t.all_piece != b.all_piece) say("white test_all_piece != bitboard->all_piece");
    if (t.all_white_piece != b.all_white_piece) say("white test_all_white_piece != bitboard->all_white_piece");
    if (t.all_black_piece != b.all_black_piece) say("white test_all_black_piece != bitboard->all_black_piece");
    if (t.side_to_move != b.side_to_move) say("white test_colour_move != bitboard->colour_move");
    // The texts name the square by its parts: whether there is one, its file, its rank.
    const bool had_square = t.en_passant_square != kNoSquare, has_square = b.en_passant_square != kNoSquare;
    if (had_square != has_square) say("white test_taking_passage_yes != bitboard->taking_passage_yes");
    if (had_square && has_square && file_of(t.en_passant_square) != file_of(b.en_passant_square))
        say("white test_taking_passage_x != bitboard->taking_passage_x");
    if (had_square && has_square && rank_of(t.en_passant_square) != rank_of(b.en_passant_square))
        say("white test_taking_passage_y != bitboard->taking_passage_y");
    const CastlingRights& tr = t.castling_rights;
    const CastlingRights& br = b.castling_rights;
    if (tr.white_long != br.white_long) say("white test_castling_Q != bitboard->castling_Q");
    if (tr.white_short != br.white_short) say("white test_castling_K != bitboard->castling_K");
    if (tr.black_long != br.black_long) say("white test_castling_q != bitboard->castling_q");
    if (tr.black_short != br.black_short) say("white test_castling_k != bitboard->castling_k");
    if (t.hash_key != b.hash_key) say("white test_hash_key !=  bitboard->hash_key");
    if (t.material_balance != b.material_balance) say("white test_eval != bitboard->eval");
    for (int n = 0; n < 7; ++n) {
        if (t.white_piece[n] != b.white_piece[n])
            say_indexed("white test_white_piece[n] = bitboard->white_piece[n]", n);
        if (t.black_piece[n] != b.black_piece[n])
            say_indexed("white test_black_piece[n] = bitboard->black_piece[n]", n);
    }
    for (int k = 0; k < 64; ++k) {
        if (t.white_piece_on[k] != b.white_piece_on[k])
            say_indexed("white test_white_name_from_coord[k] = bitboard->white_name_from_coord[k]", k);
        if (t.black_piece_on[k] != b.black_piece_on[k])
            say_indexed("white test_black_name_from_coord[k] = bitboard->black_name_from_coord[k]", k);
    }
}

template <Side S, Tally T> int root_search(BestMove& best_move, Board& board, int depth, SearchState& state) {
    constexpr Side Them = other_side<S>;
    constexpr bool white = S == Side::White;

    if (state.stop_flag == 1) return 0;
    SearchTables& tables = state.tables;
    SearchReporter& reporter = state.reporter;
    state.root_depth = depth;
    tally_node<T>(state);

    MoveList list;
    generate_captures<S>(board, list, tables.history);
    generate_quiet<S>(board, list, tables.history);
    sort_moves(list);
    const bool hash_move_found =
        hash_hit(tables.hash, board.hash_key) && hash_move_to_front(tables.hash, list, board.hash_key);

    if (!hash_move_found && depth >= kDeepeningLeastDepth) {
        const std::uint64_t saved_nodes = state.node_count;
        search<S, T>(board, state, -kOpenBound, kOpenBound,
                     {.in_check = false,
                      .limit = depth - kDeepeningReduction,
                      .ply = 0,
                      .prev_kind = list.move_count > 0 ? move_kind(list.move[0]) : MoveKind::none,
                      .sub_search = true,
                      .parent_index = 0,
                      .in_deepening = true});
        state.node_count = saved_nodes;
        if (state.quit) return 0;
        move_to_front(list, state.pv.move[0]);
    }

    const Board snapshot = board;
    int best = worst_score<S>;
    bool legal_move_searched = false;
    bool best_line_set = false;
    int number = 1;
    PvLine best_line;  // the best line of this iteration so far

    for (int i = 0; i < list.move_count; ++i) {
        const Move m = list.move[i];
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
        const bool stopped = state.stop_flag == 1;
        const bool only_answer = stopped && best_move.kind == MoveKind::none;
        const double seconds = static_cast<double>(state.clock.milliseconds() - start) / 1000.0;

        if (state.quit) {
            unmake_move<S>(board, m, undo);
            toggle_move_key<S>(board, m);
            return 0;
        }
        if (board.hash_key != expected_key) reporter.diagnostic("\nERROR HESH ");
        unmake_move<S>(board, m, undo);
        toggle_move_key<S>(board, m);

        if (better<S>(r, best) && (!stopped || only_answer)) {
            best = r;
            best_move = BestMove{move_from(m), move_to(m), move_kind(m)};
            if (!stopped) {
                copy_pv(state.pv, best_line);
                best_line_set = true;
                if (r != state.pv.score_move) reporter.diagnostic(white ? "ERROR white value " : "ERROR black value ");
            }
            hash_store(tables.hash, state.root_depth, 0, i, board.hash_key, list, best, Bound::exact);
        }
        if (state.stop_flag != 1) {
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
