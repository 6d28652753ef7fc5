#include "board/generate.h"

#include "board/attacks.h"
#include "board/castling.h"
#include "board/tables.h"

namespace vargul {

namespace {

// Appends one move with its ordering score; a list that is full takes no more.
struct Emitter {
    MoveList& list;
    int n;
    const std::int32_t (&history)[64][64];
    void operator()(int piece, MoveKind kind, int from, int to, int captured, int score) {
        if (n >= kMaxMoves) return;
        list.move[n] = encode_move(piece, kind, from, to, captured);
        list.score[n] = score;
        ++n;
    }
};

// A ray without a target on it has no capture: that is the common case, and
// one test finds it without looking for the blocker.
template <Side S, Direction D, int Piece>
inline void slider_capture(Emitter& emit, const Board& b, const std::int32_t* enemy, Bitboard targets, int s) {
    const Bitboard on_ray = ray_table<D>()[s];
    if (!(on_ray & targets)) return;
    const Bitboard blockers = on_ray & b.all_piece;  // not empty: it holds the target
    const int blocker = ascending<D> ? bit_scan_forward(blockers) : bit_scan_reverse(blockers);
    if (targets & square_mask[blocker]) {
        emit(Piece, MoveKind::capture, s, blocker, enemy[blocker], enemy[blocker] - Piece);
    }
}

template <Side S, Direction D, int Piece> inline void slider_quiet(Emitter& emit, const Board& b, int s) {
    Bitboard free = free_squares<D>(s, b.all_piece);
    while (free) {
        int t = pop_lowest(free);
        emit(Piece, MoveKind::quiet, s, t, 0, emit.history[s][t]);
    }
}

template <Side S> void emit_pawn_captures(Emitter& emit, const Board& b, Bitboard targets) {
    constexpr bool white = S == Side::White;
    constexpr int forward = white ? 8 : -8;
    constexpr int promotion_from_rank = white ? 6 : 1;
    constexpr int passant_from_rank = white ? 4 : 3;
    const SquareTable& attack = white ? white_pawn_attack : black_pawn_attack;
    const std::int32_t* enemy = piece_on<other_side<S>>(b);

    // Only pawns with something to do are visited, in the same rising order:
    // those with a target to take, those about to promote and, when an en
    // passant square is set, those on the rank that can take there.
    constexpr Bitboard not_a_file = ~Bitboard{0x0101010101010101}, not_h_file = ~Bitboard{0x8080808080808080};
    constexpr Bitboard inner_ranks = 0x00FFFFFFFFFFFF00ULL;  // pawns on the end ranks attack nothing
    constexpr Bitboard promotion_rank = Bitboard{0xFF} << (8 * promotion_from_rank);
    constexpr Bitboard passant_rank = Bitboard{0xFF} << (8 * passant_from_rank);
    const Bitboard can_take = white ? ((targets >> 7) & not_a_file) | ((targets >> 9) & not_h_file)
                                    : ((targets << 7) & not_h_file) | ((targets << 9) & not_a_file);
    const Bitboard busy =
        (can_take & inner_ranks) | promotion_rank | (b.en_passant_square != kNoSquare ? passant_rank : 0);
    Bitboard pawns = pieces<S>(b)[kPawn] & busy;
    while (pawns) {
        const int s = pop_lowest(pawns);
        if (rank_of(s) == promotion_from_rank) {
            const int t = s + forward;
            if (!(b.all_piece & square_mask[t])) {
                for (MoveKind kind : kPromotions) emit(kPawn, kind, s, t, 0, emit.history[s][t] + kind_number(kind));
            }
            Bitboard hits = attack[s] & targets;
            while (hits) {
                const int c = pop_lowest(hits);
                for (MoveKind kind : kCapturePromotions)
                    emit(kPawn, kind, s, c, enemy[c], emit.history[s][c] + kind_number(kind));
            }
        } else {
            Bitboard hits = attack[s] & targets;
            while (hits) {
                const int c = pop_lowest(hits);
                emit(kPawn, MoveKind::capture, s, c, enemy[c], enemy[c] - kPawn);
            }
        }
        if (b.en_passant_square != kNoSquare && rank_of(s) == passant_from_rank) {
            const int e = b.en_passant_square;
            const int behind = e - forward;  // the square of the pawn taken
            // The square is trusted; what stands around it is not looked at.
            if constexpr (white) {
                if (e == s + 9 && file_of(s) != 7)
                    emit(kPawn, MoveKind::en_passant, s, e, enemy[behind], emit.history[s][e] + 5);
                if (e == s + 7 && file_of(s) != 0)
                    emit(kPawn, MoveKind::en_passant, s, e, enemy[behind], emit.history[s][e] + 5);
            } else {
                if (e == s - 9 && file_of(s) != 0)
                    emit(kPawn, MoveKind::en_passant, s, e, enemy[behind], emit.history[s][e] + 5);
                if (e == s - 7 && file_of(s) != 7)
                    emit(kPawn, MoveKind::en_passant, s, e, enemy[behind], emit.history[s][e] + 5);
            }
        }
    }
}

template <Side S> void emit_castling(Emitter& emit, const Board& b, int k) {
    constexpr Side Them = other_side<S>;
    using C = CastlingSquares<S>;
    constexpr int b_sq = C::long_passed, c_sq = C::long_king_to, d_sq = C::long_rook_to, e_sq = C::king_from;
    constexpr int f_sq = C::short_rook_to, g_sq = C::short_king_to;
    const bool long_right = long_castle_right<S>(b.castling_rights);
    const bool short_right = short_castle_right<S>(b.castling_rights);
    const Bitboard occupied = b.all_piece;

    if (long_right && !(occupied & (square_mask[b_sq] | square_mask[c_sq] | square_mask[d_sq]))) {
        if (!square_attacked_by<Them>(b, c_sq) && !square_attacked_by<Them>(b, d_sq) &&
            !square_attacked_by<Them>(b, e_sq)) {
            emit(kKing, MoveKind::castling_long, k, c_sq, 0, emit.history[k][c_sq] + 3);
        }
    }
    if (short_right && !(occupied & (square_mask[f_sq] | square_mask[g_sq]))) {
        if (!square_attacked_by<Them>(b, e_sq) && !square_attacked_by<Them>(b, f_sq) &&
            !square_attacked_by<Them>(b, g_sq)) {
            emit(kKing, MoveKind::castling_short, k, g_sq, 0, emit.history[k][g_sq] + 4);
        }
    }
}

}  // namespace

template <Side S> void generate_captures(const Board& b, MoveList& list, const History& history) {
    constexpr Side Them = other_side<S>;
    const Bitboard targets = occupancy<Them>(b);
    const std::int32_t* enemy = piece_on<Them>(b);
    const Bitboard* own = pieces<S>(b);
    Emitter emit{list, 0, history.count};

    emit_pawn_captures<S>(emit, b, targets);

    Bitboard set = own[kKnight];
    while (set) {
        const int s = pop_lowest(set);
        Bitboard hits = knight_attack[s] & targets;
        while (hits) {
            const int t = pop_lowest(hits);
            emit(kKnight, MoveKind::capture, s, t, enemy[t], enemy[t] - kKnight);
        }
    }
    set = own[kBishop];
    while (set) {
        const int s = pop_lowest(set);
        if (!(diagonal_lines[s] & targets)) continue;
        slider_capture<S, Direction::north_east, kBishop>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::north_west, kBishop>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::south_west, kBishop>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::south_east, kBishop>(emit, b, enemy, targets, s);
    }
    set = own[kRook];
    while (set) {
        const int s = pop_lowest(set);
        if (!(straight_lines[s] & targets)) continue;
        slider_capture<S, Direction::north, kRook>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::west, kRook>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::south, kRook>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::east, kRook>(emit, b, enemy, targets, s);
    }
    set = own[kQueen];
    while (set) {
        const int s = pop_lowest(set);
        if (!((straight_lines[s] | diagonal_lines[s]) & targets)) continue;
        slider_capture<S, Direction::north, kQueen>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::west, kQueen>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::south, kQueen>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::east, kQueen>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::north_east, kQueen>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::north_west, kQueen>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::south_west, kQueen>(emit, b, enemy, targets, s);
        slider_capture<S, Direction::south_east, kQueen>(emit, b, enemy, targets, s);
    }
    if (own[kKing]) {
        const int k = bit_scan_forward(own[kKing]);
        Bitboard hits = king_attack[k] & targets;
        while (hits) {
            const int t = pop_lowest(hits);
            emit(kKing, MoveKind::capture, k, t, enemy[t], enemy[t] - kKing);
        }
    }
    list.capture_count = list.move_count = emit.n;
}

template <Side S> void generate_quiet(const Board& b, MoveList& list, const History& history) {
    const Bitboard empty = ~b.all_piece;
    const Bitboard* own = pieces<S>(b);
    Emitter emit{list, list.move_count, history.count};

    if (own[kKing]) {
        const int k = bit_scan_forward(own[kKing]);
        Bitboard steps = king_attack[k] & empty;
        while (steps) {
            const int t = pop_lowest(steps);
            emit(kKing, MoveKind::quiet, k, t, 0, emit.history[k][t]);
        }
        emit_castling<S>(emit, b, k);
    }
    Bitboard set = own[kQueen];
    while (set) {
        const int s = pop_lowest(set);
        slider_quiet<S, Direction::north, kQueen>(emit, b, s);
        slider_quiet<S, Direction::west, kQueen>(emit, b, s);
        slider_quiet<S, Direction::south, kQueen>(emit, b, s);
        slider_quiet<S, Direction::east, kQueen>(emit, b, s);
        slider_quiet<S, Direction::north_east, kQueen>(emit, b, s);
        slider_quiet<S, Direction::north_west, kQueen>(emit, b, s);
        slider_quiet<S, Direction::south_west, kQueen>(emit, b, s);
        slider_quiet<S, Direction::south_east, kQueen>(emit, b, s);
    }
    set = own[kRook];
    while (set) {
        const int s = pop_lowest(set);
        slider_quiet<S, Direction::north, kRook>(emit, b, s);
        slider_quiet<S, Direction::west, kRook>(emit, b, s);
        slider_quiet<S, Direction::south, kRook>(emit, b, s);
        slider_quiet<S, Direction::east, kRook>(emit, b, s);
    }
    set = own[kBishop];
    while (set) {
        const int s = pop_lowest(set);
        slider_quiet<S, Direction::north_east, kBishop>(emit, b, s);
        slider_quiet<S, Direction::north_west, kBishop>(emit, b, s);
        slider_quiet<S, Direction::south_west, kBishop>(emit, b, s);
        slider_quiet<S, Direction::south_east, kBishop>(emit, b, s);
    }
    set = own[kKnight];
    while (set) {
        const int s = pop_lowest(set);
        Bitboard jumps = knight_attack[s] & empty;
        while (jumps) {
            const int t = pop_lowest(jumps);
            emit(kKnight, MoveKind::quiet, s, t, 0, emit.history[s][t]);
        }
    }

    // Pushes in bitboard form: a pawn on its last rank never moves, and a pawn
    // about to promote is left to the capture generator.
    constexpr bool white = S == Side::White;
    constexpr Bitboard rank_2 = Bitboard{0xFF} << 8, rank_7 = Bitboard{0xFF} << 48;
    constexpr Bitboard ranks_1_to_6 = 0x0000FFFFFFFFFFFFULL, ranks_3_to_8 = 0xFFFFFFFFFFFF0000ULL;
    Bitboard pawns = own[kPawn] & ~(white ? rank_7 : rank_2);
    while (pawns) {
        const int s = pop_lowest(pawns);
        Bitboard from = square_mask[s];
        Bitboard targets;
        if constexpr (white) {
            if ((from & rank_2) && (empty & (from << 8))) from |= from << 8;
            targets = ((from & ranks_1_to_6) << 8) & empty;
        } else {
            if ((from & rank_7) && (empty & (from >> 8))) from |= from >> 8;
            targets = ((from & ranks_3_to_8) >> 8) & empty;
        }
        while (targets) {
            const int t = pop_lowest(targets);
            emit(kPawn, MoveKind::quiet, s, t, 0, emit.history[s][t]);
        }
    }
    list.move_count = emit.n;
}

template void generate_captures<Side::White>(const Board&, MoveList&, const History&);
template void generate_captures<Side::Black>(const Board&, MoveList&, const History&);
template void generate_quiet<Side::White>(const Board&, MoveList&, const History&);
template void generate_quiet<Side::Black>(const Board&, MoveList&, const History&);

}  // namespace vargul
