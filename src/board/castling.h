#pragma once

#include "board/board.h"
#include "board/side.h"

namespace vargul {

// The squares of side S's castling, on its home rank.
template <Side S> struct CastlingSquares {
    static constexpr int home = S == Side::White ? 0 : 56;  // a1 or a8
    static constexpr int king_from = home + 4;              // e1, e8
    static constexpr int long_king_to = home + 2;           // c1, c8
    static constexpr int short_king_to = home + 6;          // g1, g8
    static constexpr int long_rook_from = home;             // a1, a8
    static constexpr int long_rook_to = home + 3;           // d1, d8
    static constexpr int short_rook_from = home + 7;        // h1, h8
    static constexpr int short_rook_to = home + 5;          // f1, f8
    static constexpr int long_passed = home + 1;            // b1, b8: must be empty, may be attacked
};

// Side S's two rights, so a template over the side reads the same for both.
template <Side S> inline bool& long_castle_right(CastlingRights& r) {
    return S == Side::White ? r.white_long : r.black_long;
}
template <Side S> inline bool& short_castle_right(CastlingRights& r) {
    return S == Side::White ? r.white_short : r.black_short;
}
template <Side S> inline bool long_castle_right(const CastlingRights& r) {
    return S == Side::White ? r.white_long : r.black_long;
}
template <Side S> inline bool short_castle_right(const CastlingRights& r) {
    return S == Side::White ? r.white_short : r.black_short;
}

}  // namespace vargul
