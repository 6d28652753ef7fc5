#include "position/keys.h"

#include "board/castling.h"

namespace vargul {

void compute_hash_key(Board& board) {
    std::uint64_t k = empty_board_key;
    for (int s = 0; s < 64; ++s) {
        if (int p = board.white_piece_on[s]) k ^= zobrist_key[1][p][s];
        if (int p = board.black_piece_on[s]) k ^= zobrist_key[0][p][s];
    }
    board.hash_key = k;
}

template <Side S> void toggle_move_key(Board& board, Move m) {
    constexpr int us = side_index<S>;
    constexpr int them = 1 - us;
    constexpr bool white = S == Side::White;
    using C = CastlingSquares<S>;
    const MoveKind kind = move_kind(m);
    // Promotions leave the key alone. The key only orders moves (no stored
    // score is ever trusted), so the stale key costs a promotion's subtree
    // at most a poor first guess, and the node counts depend on it.
    if (kind < MoveKind::quiet || kind > MoveKind::en_passant) return;

    const int piece = move_piece(m) & 7, captured = move_captured(m) & 7, from = move_from(m), to = move_to(m);
    if (piece > kKing || captured > kKing) return;  // only generated moves reach here
    std::uint64_t k = zobrist_key[us][piece][from] ^ zobrist_key[us][piece][to];
    switch (kind) {
        case MoveKind::capture: k ^= zobrist_key[them][captured][to]; break;
        case MoveKind::castling_long:
            k ^= zobrist_key[us][kRook][C::long_rook_from] ^ zobrist_key[us][kRook][C::long_rook_to];
            break;
        case MoveKind::castling_short:
            k ^= zobrist_key[us][kRook][C::short_rook_from] ^ zobrist_key[us][kRook][C::short_rook_to];
            break;
        case MoveKind::en_passant: k ^= zobrist_key[them][captured][white ? to - 8 : to + 8]; break;
        default: break;
    }
    board.hash_key ^= k;
}

template void toggle_move_key<Side::White>(Board&, Move);
template void toggle_move_key<Side::Black>(Board&, Move);

}  // namespace vargul
