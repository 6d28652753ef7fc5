#include "position/evaluate.h"

#include <array>

#include "board/castling.h"
#include "board/slider_attacks.h"
#include "board/tables.h"
#include "position/make_move.h"

namespace vargul {

namespace {

constexpr int kPhaseThreshold = 1600;  // opponent's non-pawn material at or below: endgame
constexpr int kShelterPenalty = 20;
constexpr int kCastledRookBonus = 30;
constexpr int kKingAttackWeight = 3;
constexpr int kPassedPawnStep = 5;
constexpr int kDoubledPawnPenalty = 20;

// Stands for a missing king: its surroundings are empty and no term is scored for it.
constexpr int kNoKing = 64;

using ScoreTable = std::array<std::int32_t, 64>;

// Both colours read entry 63 - s. The rows are the same upside down, so a
// Black pawn reads what a White pawn on the mirrored square reads.
constexpr ScoreTable make_pawn_middle_table() {
    constexpr std::int32_t outer_row[8] = {-3, -3, 5, 5, 5, 5, -3, -3};      // stored ranks 3 and 6
    constexpr std::int32_t centre_row[8] = {-5, -5, -5, 10, 10, 7, -5, -5};  // stored ranks 4 and 5
    ScoreTable t{};
    for (int s = 0; s < 64; ++s) {
        int r = rank_of(s);
        if (r == 2 || r == 5) t[s] = outer_row[file_of(s)];
        if (r == 3 || r == 4) t[s] = centre_row[file_of(s)];
    }
    return t;
}

// White reads entry 63 - s, Black entry s: both read by ranks to go.
constexpr ScoreTable make_pawn_end_table() {
    constexpr std::int32_t by_stored_rank[8] = {0, 200, 30, 20, 10, 5, 0, 0};
    ScoreTable t{};
    for (int s = 0; s < 64; ++s) t[s] = by_stored_rank[rank_of(s)];
    return t;
}

// By ring: the edge 0, then 4, 8 and 10 in the four centre squares.
constexpr ScoreTable make_king_end_table() {
    constexpr std::int32_t by_ring[4] = {0, 4, 8, 10};
    ScoreTable t{};
    for (int s = 0; s < 64; ++s) {
        int f = file_of(s), r = rank_of(s);
        int ring = f;
        if (7 - f < ring) ring = 7 - f;
        if (r < ring) ring = r;
        if (7 - r < ring) ring = 7 - r;
        t[s] = by_ring[ring];
    }
    return t;
}

constexpr ScoreTable pawn_middle_table = make_pawn_middle_table();
constexpr ScoreTable pawn_end_table = make_pawn_end_table();
constexpr ScoreTable king_end_table = make_king_end_table();

// A pawn table summed over a whole pawn set at once: one mask per distinct
// non-zero value, holding the squares whose pawn scores that value, so the
// sum is a handful of population counts instead of a loop over the pawns.
struct PawnValueMasks {
    int count = 0;
    std::int32_t value[8]{};
    Bitboard squares[8]{};
};

// `mirrored` reads the table at 63 - s, as White's pawns do.
constexpr PawnValueMasks make_pawn_value_masks(const ScoreTable& table, bool mirrored) {
    PawnValueMasks m;
    for (int s = 0; s < 64; ++s) {
        const std::int32_t v = table[mirrored ? 63 - s : s];
        if (v == 0) continue;
        int k = 0;
        while (k < m.count && m.value[k] != v) ++k;
        if (k == m.count) m.value[m.count++] = v;
        m.squares[k] |= Bitboard{1} << s;
    }
    return m;
}

constexpr PawnValueMasks middle_pawn_masks = make_pawn_value_masks(pawn_middle_table, true);
template <Side S> constexpr PawnValueMasks end_pawn_masks = make_pawn_value_masks(pawn_end_table, S == Side::White);

template <const PawnValueMasks& M> inline int pawn_table_sum(Bitboard pawns) {
    int sum = 0;
    for (int k = 0; k < M.count; ++k) sum += M.value[k] * bit_count(pawns & M.squares[k]);
    return sum;
}

// king_attack with one more, empty entry for a missing king.
constexpr std::array<Bitboard, 65> make_king_zone() {
    std::array<Bitboard, 65> t{};
    for (int s = 0; s < 64; ++s) t[s] = king_attack[s];
    return t;
}
constexpr std::array<Bitboard, 65> king_zone = make_king_zone();

// A knight's activity is its whole jump pattern, so it depends on the square alone.
constexpr std::array<std::int32_t, 64> make_knight_activity() {
    std::array<std::int32_t, 64> t{};
    for (int s = 0; s < 64; ++s) {
        for (Bitboard b = knight_attack[s]; b; b &= b - 1) ++t[s];
    }
    return t;
}
constexpr std::array<std::int32_t, 64> knight_activity = make_knight_activity();

// The three squares in front of a middle-game king, taken by number: on the
// a- and h-files one of them lies on the far edge. Numbers off the board are
// left out, so a king on its far rank has fewer (or no) shelter squares.
template <Side S> constexpr SquareTable make_shelter_squares() {
    SquareTable t{};
    for (int k = 0; k < 64; ++k) {
        for (int step = 7; step <= 9; ++step) {
            int s = S == Side::White ? k + step : k - step;
            if (s >= 0 && s < 64) t[k] |= Bitboard{1} << s;
        }
    }
    return t;
}
template <Side S> constexpr SquareTable shelter_squares = make_shelter_squares<S>();

inline int activity(Bitboard attacked, Bitboard enemy_zone, int& attack_count) {
    attack_count += (attacked & enemy_zone) != 0;
    return bit_count(attacked);
}

template <Side S> int non_pawn_material(const Board& b) {
    const Bitboard* own = pieces<S>(b);
    return piece_value[kKnight] * bit_count(own[kKnight]) + piece_value[kBishop] * bit_count(own[kBishop]) +
           piece_value[kRook] * bit_count(own[kRook]) + piece_value[kQueen] * bit_count(own[kQueen]);
}

inline int king_square(Bitboard kings) { return kings ? bit_scan_forward(kings) : kNoKing; }

// The terms below are from side S's point of view; evaluate subtracts Black's.

template <Side S> int king_terms(const Board& b, int king, int enemy_material) {
    if (king == kNoKing) return 0;
    if (enemy_material <= kPhaseThreshold) return king_end_table[king];
    // The king where castling puts it, with its rook beside it.
    using C = CastlingSquares<S>;
    constexpr int short_castled = C::short_king_to, short_rook = C::short_rook_to;
    constexpr int long_castled = C::long_king_to, long_rook = C::long_rook_to;
    int score = -kShelterPenalty * bit_count(shelter_squares<S>[king] & ~occupancy<S>(b));
    const Bitboard rooks = pieces<S>(b)[kRook];
    if ((king == short_castled && (rooks & square_mask[short_rook])) ||
        (king == long_castled && (rooks & square_mask[long_rook])))
        score += kCastledRookBonus;
    return score;
}

// Activity of all of a side's pieces; queens, rooks, bishops and knights in
// that order, though the sum does not depend on it.
template <Side S> int piece_terms(const Board& b, int enemy_king, int& attack_count) {
    const Bitboard* own = pieces<S>(b);
    const Bitboard occupied = b.all_piece;
    const Bitboard zone = king_zone[enemy_king];
    int score = 0;
    for (Bitboard q = own[kQueen]; q;) score += activity(queen_attacks(pop_lowest(q), occupied), zone, attack_count);
    for (Bitboard r = own[kRook]; r;) score += activity(file_attacks(pop_lowest(r), occupied), zone, attack_count);
    for (Bitboard x = own[kBishop]; x;)
        score += activity(diagonal_attacks(pop_lowest(x), occupied), zone, attack_count);
    for (Bitboard n = own[kKnight]; n;) {
        const int s = pop_lowest(n);
        attack_count += (knight_attack[s] & zone) != 0;
        score += knight_activity[s];
    }
    return score;
}

// Files holding two or more of the pawns.
inline int doubled_files(Bitboard pawns) {
    Bitboard above = pawns << 8;  // squares with a pawn somewhere below them on the file
    above |= above << 8;
    above |= above << 16;
    above |= above << 32;
    Bitboard doubled = pawns & above;
    doubled |= doubled >> 32;
    doubled |= doubled >> 16;
    doubled |= doubled >> 8;
    return bit_count(doubled & 0xFF);
}

// Only squares strictly ahead count: an enemy pawn level with this one does not stop it.
template <Side S> int passed_steps(int s, Bitboard enemy_pawns) {
    const SquareTable& ahead = S == Side::White ? ray_north : ray_south;
    if (ahead[s] & enemy_pawns) return 0;
    int steps = 1;
    if (file_of(s) != 7 && !(ahead[s + 1] & enemy_pawns)) ++steps;
    if (file_of(s) != 0 && !(ahead[s - 1] & enemy_pawns)) ++steps;
    return kPassedPawnStep * steps;
}

// Forced inline: left to itself GCC makes one out-of-line copy, without the
// population-count instruction, for both evaluation copies.
template <Side S> [[gnu::always_inline]] inline int middle_pawn_terms(Bitboard own) {
    return pawn_table_sum<middle_pawn_masks>(own) - kDoubledPawnPenalty * doubled_files(own);
}

template <Side S> int end_pawn_terms(Bitboard own, Bitboard enemy) {
    int score = pawn_table_sum<end_pawn_masks<S>>(own);
    for (Bitboard p = own; p;) score += passed_steps<S>(pop_lowest(p), enemy);
    return score - kDoubledPawnPenalty * doubled_files(own);
}

// Side S's pawn terms in the phase that its opponent's material sets.
template <Side S> int pawn_terms(const Board& b, int enemy_material) {
    const Bitboard own = pieces<S>(b)[kPawn];
    if (enemy_material > kPhaseThreshold) return middle_pawn_terms<S>(own);
    return end_pawn_terms<S>(own, pieces<other_side<S>>(b)[kPawn]);
}

// The same, read from the cache; a structure not found there is worked out
// in both phases for both sides and stored.
template <Side S> int cached_pawn_terms(const PawnEntry& e, int enemy_material) {
    return enemy_material > kPhaseThreshold ? e.middle[side_index<S>] : e.end[side_index<S>];
}

const PawnEntry& pawn_entry(const Board& b, PawnCache& cache) {
    const Bitboard white = b.white_piece[kPawn], black = b.black_piece[kPawn];
    PawnEntry& e = pawn_cache_entry(cache, white, black);
    if (e.white_pawns != white || e.black_pawns != black) {
        e.white_pawns = white;
        e.black_pawns = black;
        e.middle[side_index<Side::White>] = middle_pawn_terms<Side::White>(white);
        e.middle[side_index<Side::Black>] = middle_pawn_terms<Side::Black>(black);
        e.end[side_index<Side::White>] = end_pawn_terms<Side::White>(white, black);
        e.end[side_index<Side::Black>] = end_pawn_terms<Side::Black>(black, white);
    }
    return e;
}

// Inlined into each copy below, with everything it calls.
[[gnu::always_inline]] inline std::int32_t evaluate_position(const Board& board, PawnCache* pawn_cache) {
    // The pawn entry is read last; asked for first, it arrives while the pieces are scored.
    if (pawn_cache)
        __builtin_prefetch(&pawn_cache_entry(*pawn_cache, board.white_piece[kPawn], board.black_piece[kPawn]));
    const int white_material = non_pawn_material<Side::White>(board);
    const int black_material = non_pawn_material<Side::Black>(board);
    const int white_king = king_square(board.white_piece[kKing]);
    const int black_king = king_square(board.black_piece[kKing]);
    int white_attacks = 0, black_attacks = 0;

    int white = king_terms<Side::White>(board, white_king, black_material) +
                piece_terms<Side::White>(board, black_king, white_attacks);
    int black = king_terms<Side::Black>(board, black_king, white_material) +
                piece_terms<Side::Black>(board, white_king, black_attacks);
    if (pawn_cache) {
        const PawnEntry& pawns = pawn_entry(board, *pawn_cache);
        white += cached_pawn_terms<Side::White>(pawns, black_material);
        black += cached_pawn_terms<Side::Black>(pawns, white_material);
    } else {
        white += pawn_terms<Side::White>(board, black_material);
        black += pawn_terms<Side::Black>(board, white_material);
    }
    return white - black + kKingAttackWeight * (white_attacks - black_attacks);
}

}  // namespace

VARGUL_PORTABLE_COUNT std::int32_t evaluate_plain(const Board& board, PawnCache* pawn_cache) {
    return evaluate_position(board, pawn_cache);
}

#if VARGUL_POPCOUNT_DISPATCH
VARGUL_WITH_POPCOUNT std::int32_t evaluate_with_popcount(const Board& board, PawnCache* pawn_cache) {
    return evaluate_position(board, pawn_cache);
}
#endif

}  // namespace vargul
