#include "position/make_move.h"

#include "board/castling.h"
#include "board/tables.h"

namespace vargul {

namespace {

// The castling rights and rook squares of a side, seen from that side.
template <Side S> struct Castling {
    static constexpr int long_rook = CastlingSquares<S>::long_rook_from;
    static constexpr int short_rook = CastlingSquares<S>::short_rook_from;
    static constexpr int long_rook_to = CastlingSquares<S>::long_rook_to;
    static constexpr int short_rook_to = CastlingSquares<S>::short_rook_to;
    static bool& long_right(Board& b) { return long_castle_right<S>(b.castling_rights); }
    static bool& short_right(Board& b) { return short_castle_right<S>(b.castling_rights); }
    static bool& long_saved(MoveUndo& u) { return long_castle_right<S>(u.castling_rights); }
    static bool& short_saved(MoveUndo& u) { return short_castle_right<S>(u.castling_rights); }
    static bool long_saved(const MoveUndo& u) { return long_castle_right<S>(u.castling_rights); }
    static bool short_saved(const MoveUndo& u) { return short_castle_right<S>(u.castling_rights); }
};

// The piece code comes from the move word, not the square array: the move
// was generated for this board, so the two agree, and the word is already in
// a register where the array entry would be a load the rest waits for.
template <Side S> inline void move_piece_between(Board& b, int p, int from, int to) {
    std::int32_t* name = piece_on<S>(b);
    const Bitboard change = square_mask[from] ^ square_mask[to];
    occupancy<S>(b) ^= change;
    pieces<S>(b)[p] ^= change;
    name[to] = p;
    name[from] = 0;
}

template <Side S> inline void remove_piece(Board& b, int code, int s) {
    occupancy<S>(b) ^= square_mask[s];
    pieces<S>(b)[code] ^= square_mask[s];
    piece_on<S>(b)[s] = 0;
}

template <Side S> inline void put_piece(Board& b, int code, int s) {
    piece_on<S>(b)[s] = code;
    occupancy<S>(b) ^= square_mask[s];
    pieces<S>(b)[code] ^= square_mask[s];
}

// Replaces the piece on `from` (a pawn) by `code` on `to`, or the reverse.
template <Side S> inline void swap_piece(Board& b, int from, int old_code, int to, int new_code) {
    occupancy<S>(b) ^= square_mask[from] ^ square_mask[to];
    pieces<S>(b)[old_code] ^= square_mask[from];
    pieces<S>(b)[new_code] ^= square_mask[to];
    piece_on<S>(b)[from] = 0;
    piece_on<S>(b)[to] = new_code;
}

// Any king move gives up both rights; a rook leaving its corner gives up that one.
template <Side S> inline void clear_own_rights(Board& b, MoveUndo& u, int piece, int from) {
    using C = Castling<S>;
    if (piece == kKing) {
        C::long_saved(u) = C::long_right(b);
        C::short_saved(u) = C::short_right(b);
        C::long_right(b) = C::short_right(b) = false;
    } else if (piece == kRook) {
        if (from == C::long_rook) {
            C::long_saved(u) = C::long_right(b);
            C::long_right(b) = false;
        }
        if (from == C::short_rook) {
            C::short_saved(u) = C::short_right(b);
            C::short_right(b) = false;
        }
    }
}

template <Side S> inline void restore_own_rights(Board& b, const MoveUndo& u, int piece, int from) {
    using C = Castling<S>;
    if (piece == kKing) {
        C::long_right(b) = C::long_saved(u);
        C::short_right(b) = C::short_saved(u);
    } else if (piece == kRook) {
        if (from == C::long_rook) C::long_right(b) = C::long_saved(u);
        if (from == C::short_rook) C::short_right(b) = C::short_saved(u);
    }
}

// Taking a rook in its corner gives up the opponent's right on that side.
template <Side S> inline void clear_taken_rook_right(Board& b, MoveUndo& u, int captured, int to) {
    using C = Castling<other_side<S>>;
    if (captured != kRook) return;
    if (to == C::long_rook) {
        C::long_saved(u) = C::long_right(b);
        C::long_right(b) = false;
    }
    if (to == C::short_rook) {
        C::short_saved(u) = C::short_right(b);
        C::short_right(b) = false;
    }
}

template <Side S> inline void restore_taken_rook_right(Board& b, const MoveUndo& u, int captured, int to) {
    using C = Castling<other_side<S>>;
    if (captured != kRook) return;
    if (to == C::long_rook) C::long_right(b) = C::long_saved(u);
    if (to == C::short_rook) C::short_right(b) = C::short_saved(u);
}

}  // namespace

template <Side S> void make_move(Board& b, Move m, MoveUndo& u) {
    constexpr Side Them = other_side<S>;
    constexpr bool white = S == Side::White;
    constexpr int sign = white ? 1 : -1;
    constexpr int forward = white ? 8 : -8;
    using C = Castling<S>;
    const MoveKind kind = move_kind(m);
    const int piece = move_piece(m), from = move_from(m), to = move_to(m), captured = move_captured(m);

    u.en_passant_square = b.en_passant_square;
    b.en_passant_square = kNoSquare;

    switch (kind) {
        case MoveKind::quiet: {
            move_piece_between<S>(b, piece, from, to);
            if (piece == kPawn && to - from == 2 * forward) {
                b.en_passant_square = from + forward;
            } else {
                clear_own_rights<S>(b, u, piece, from);
            }
            break;
        }
        case MoveKind::capture:
            b.material_balance += sign * piece_value[captured];
            remove_piece<Them>(b, captured, to);
            move_piece_between<S>(b, piece, from, to);
            clear_own_rights<S>(b, u, piece, from);
            clear_taken_rook_right<S>(b, u, captured, to);
            break;
        case MoveKind::castling_long:
        case MoveKind::castling_short:
            move_piece_between<S>(b, piece, from, to);
            // Rights the pieces cannot use are not refused everywhere: move whatever stands in the corner.
            if (kind == MoveKind::castling_long)
                move_piece_between<S>(b, piece_on<S>(b)[C::long_rook], C::long_rook, C::long_rook_to);
            else
                move_piece_between<S>(b, piece_on<S>(b)[C::short_rook], C::short_rook, C::short_rook_to);
            C::long_saved(u) = C::long_right(b);
            C::short_saved(u) = C::short_right(b);
            C::long_right(b) = C::short_right(b) = false;
            break;
        case MoveKind::en_passant:
            move_piece_between<S>(b, kPawn, from, to);
            remove_piece<Them>(b, captured, to - forward);
            b.material_balance += sign * 100;
            break;
        case MoveKind::promotion_knight:
        case MoveKind::promotion_bishop:
        case MoveKind::promotion_rook:
        case MoveKind::promotion_queen: {
            const int n = promoted_piece(kind);
            swap_piece<S>(b, from, kPawn, to, n);
            b.material_balance += sign * (piece_value[n] - 100);
            break;
        }
        case MoveKind::capture_promotion_knight:
        case MoveKind::capture_promotion_bishop:
        case MoveKind::capture_promotion_rook:
        case MoveKind::capture_promotion_queen: {
            const int n = promoted_piece(kind);
            b.material_balance += sign * (piece_value[captured] + piece_value[n] - 100);
            remove_piece<Them>(b, captured, to);
            swap_piece<S>(b, from, kPawn, to, n);
            clear_taken_rook_right<S>(b, u, captured, to);
            break;
        }
        default: return;  // not a move kind: only the en passant square was touched
    }
    b.all_piece = b.all_white_piece | b.all_black_piece;
}

template <Side S> void unmake_move(Board& b, Move m, const MoveUndo& u) {
    constexpr Side Them = other_side<S>;
    constexpr bool white = S == Side::White;
    constexpr int sign = white ? 1 : -1;
    constexpr int forward = white ? 8 : -8;
    using C = Castling<S>;
    const MoveKind kind = move_kind(m);
    const int piece = move_piece(m), from = move_from(m), to = move_to(m), captured = move_captured(m);

    b.en_passant_square = u.en_passant_square;

    switch (kind) {
        case MoveKind::quiet: {
            restore_own_rights<S>(b, u, piece, from);  // nothing for a pawn
            move_piece_between<S>(b, piece, to, from);
            break;
        }
        case MoveKind::capture:
            restore_own_rights<S>(b, u, piece, from);
            restore_taken_rook_right<S>(b, u, captured, to);
            move_piece_between<S>(b, piece, to, from);
            put_piece<Them>(b, captured, to);
            b.material_balance -= sign * piece_value[captured];
            break;
        case MoveKind::castling_long:
        case MoveKind::castling_short:
            C::long_right(b) = C::long_saved(u);
            C::short_right(b) = C::short_saved(u);
            move_piece_between<S>(b, piece, to, from);
            if (kind == MoveKind::castling_long)
                move_piece_between<S>(b, piece_on<S>(b)[C::long_rook_to], C::long_rook_to, C::long_rook);
            else
                move_piece_between<S>(b, piece_on<S>(b)[C::short_rook_to], C::short_rook_to, C::short_rook);
            break;
        case MoveKind::en_passant:
            move_piece_between<S>(b, kPawn, to, from);
            put_piece<Them>(b, captured, to - forward);
            b.material_balance -= sign * 100;
            break;
        case MoveKind::promotion_knight:
        case MoveKind::promotion_bishop:
        case MoveKind::promotion_rook:
        case MoveKind::promotion_queen: {
            const int n = piece_on<S>(b)[to];
            swap_piece<S>(b, to, n, from, kPawn);
            b.material_balance += sign * (100 - piece_value[n]);
            break;
        }
        case MoveKind::capture_promotion_knight:
        case MoveKind::capture_promotion_bishop:
        case MoveKind::capture_promotion_rook:
        case MoveKind::capture_promotion_queen: {
            restore_taken_rook_right<S>(b, u, captured, to);
            const int n = piece_on<S>(b)[to];
            swap_piece<S>(b, to, n, from, kPawn);
            put_piece<Them>(b, captured, to);
            b.material_balance += sign * (100 - piece_value[n] - piece_value[captured]);
            break;
        }
        default: return;
    }
    b.all_piece = b.all_white_piece | b.all_black_piece;
}

std::int32_t count_material(const Board& b) {
    auto side_material = [](const Bitboard* p) {
        std::int32_t total = p[kKing] ? 90000 : 0;
        for (int code = kQueen; code >= kPawn; --code) total += piece_value[code] * bit_count(p[code]);
        return total;
    };
    return side_material(b.white_piece) - side_material(b.black_piece);
}

template void make_move<Side::White>(Board&, Move, MoveUndo&);
template void make_move<Side::Black>(Board&, Move, MoveUndo&);
template void unmake_move<Side::White>(Board&, Move, const MoveUndo&);
template void unmake_move<Side::Black>(Board&, Move, const MoveUndo&);

}  // namespace vargul
