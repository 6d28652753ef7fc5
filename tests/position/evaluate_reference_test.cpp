// The evaluation against a plain, square-by-square reading of its rules:
// rays walked one step at a time, tables written out row by row, material
// summed over the square arrays. The engine's version works on whole
// bitboards (population counts over value masks, table-driven attack sets),
// so the two share nothing but the board record.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "board/board.h"
#include "position/evaluate.h"
#include "support/board_helpers.h"

namespace vargul {

namespace {

constexpr int kMiddlePawn[64] = {
    0,  0,  0,  0,  0,  0, 0,  0,  0,  0,  0,  0,  0,  0, 0,  0,   //
    -3, -3, 5,  5,  5,  5, -3, -3, -5, -5, -5, 10, 10, 7, -5, -5,  //
    -5, -5, -5, 10, 10, 7, -5, -5, -3, -3, 5,  5,  5,  5, -3, -3,  //
    0,  0,  0,  0,  0,  0, 0,  0,  0,  0,  0,  0,  0,  0, 0,  0,
};
constexpr int kEndPawnByStoredRank[8] = {0, 200, 30, 20, 10, 5, 0, 0};
constexpr int kKingEndRow[4][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0}, {0, 4, 4, 4, 4, 4, 4, 0}, {0, 4, 8, 8, 8, 8, 4, 0}, {0, 4, 8, 10, 10, 8, 4, 0}};

int king_end(int k) {
    int r = k / 8;
    return kKingEndRow[r < 4 ? r : 7 - r][k % 8];
}

bool on_board(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

int piece_at(const Board& b, int s, bool white) { return white ? b.white_piece_on[s] : b.black_piece_on[s]; }
bool occupied(const Board& b, int s) { return b.white_piece_on[s] || b.black_piece_on[s]; }

// Squares seen from s along the given steps, each line up to and including the first occupied square.
int walk(const Board& b, int s, const int (*steps)[2], int count, bool seen[64]) {
    int n = 0;
    for (int d = 0; d < count; ++d) {
        for (int f = s % 8 + steps[d][0], r = s / 8 + steps[d][1]; on_board(f, r); f += steps[d][0], r += steps[d][1]) {
            seen[f + 8 * r] = true;
            ++n;
            if (occupied(b, f + 8 * r)) break;
        }
    }
    return n;
}

constexpr int kStraight[2][2] = {{0, 1}, {0, -1}};  // a rook is credited with its file only
constexpr int kDiagonal[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
constexpr int kQueen[8][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}, {1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
constexpr int kKnight[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};

bool touches_king(const bool seen[64], int king) {
    if (king < 0) return false;
    for (int s = 0; s < 64; ++s) {
        int df = s % 8 - king % 8, dr = s / 8 - king / 8;
        if (seen[s] && s != king && df >= -1 && df <= 1 && dr >= -1 && dr <= 1) return true;
    }
    return false;
}

// Activity of one side's pieces, with the count of those bearing on the enemy king's surroundings.
int activity(const Board& b, bool white, int enemy_king, int& bearing) {
    int total = 0;
    for (int code : {5, 4, 3, 2}) {
        for (int s = 0; s < 64; ++s) {
            if (piece_at(b, s, white) != code) continue;
            bool seen[64] = {};
            if (code == 5) total += walk(b, s, kQueen, 8, seen);
            if (code == 4) total += walk(b, s, kStraight, 2, seen);
            if (code == 3) total += walk(b, s, kDiagonal, 4, seen);
            if (code == 2) {
                for (const auto& step : kKnight) {
                    int f = s % 8 + step[0], r = s / 8 + step[1];
                    if (on_board(f, r)) seen[f + 8 * r] = true, ++total;
                }
            }
            bearing += touches_king(seen, enemy_king);
        }
    }
    return total;
}

bool pawn_on(const Board& b, int f, int r, bool white) { return on_board(f, r) && piece_at(b, f + 8 * r, white) == 1; }

// Pawn-free file spans strictly ahead of the pawn: own file, then each neighbour.
int passed(const Board& b, int s, bool white) {
    auto span_free = [&](int f) {
        for (int r = s / 8 + (white ? 1 : -1); r >= 0 && r < 8; r += white ? 1 : -1)
            if (pawn_on(b, f, r, !white)) return false;
        return true;
    };
    if (!span_free(s % 8)) return 0;
    int steps = 1;
    if (s % 8 != 7 && span_free(s % 8 + 1)) ++steps;
    if (s % 8 != 0 && span_free(s % 8 - 1)) ++steps;
    return 5 * steps;
}

int shelter(const Board& b, int k, bool white) {
    const int castled_short = white ? 6 : 62, castled_long = white ? 2 : 58;
    const int first = white ? k + 7 : k - 9;
    int empty = 0;
    for (int s = first; s < first + 3; ++s)
        if (s >= 0 && s < 64 && piece_at(b, s, white) == 0) ++empty;
    int score = -20 * empty;
    if ((k == castled_short && piece_at(b, k - 1, white) == 4) || (k == castled_long && piece_at(b, k + 1, white) == 4))
        score += 30;
    return score;
}

int reference_evaluate(const Board& b) {
    constexpr int kNonPawn[7] = {0, 0, 400, 400, 600, 1100, 0};
    int material[2] = {0, 0}, king[2] = {-1, -1};
    for (int s = 63; s >= 0; --s) {
        material[1] += kNonPawn[b.white_piece_on[s]];
        material[0] += kNonPawn[b.black_piece_on[s]];
        if (b.white_piece_on[s] == 6) king[1] = s;
        if (b.black_piece_on[s] == 6) king[0] = s;
    }
    int score = 0, bearing[2] = {0, 0};
    for (bool white : {true, false}) {
        const int sign = white ? 1 : -1;
        const bool endgame = material[!white] <= 1600;
        if (king[white] >= 0) score += sign * (endgame ? king_end(king[white]) : shelter(b, king[white], white));
        score += sign * activity(b, white, king[!white], bearing[white]);
        int per_file[8] = {};
        for (int s = 0; s < 64; ++s) {
            if (piece_at(b, s, white) != 1) continue;
            ++per_file[s % 8];
            if (!endgame)
                score += sign * kMiddlePawn[63 - s];
            else
                score += sign * (kEndPawnByStoredRank[(white ? 63 - s : s) / 8] + passed(b, s, white));
        }
        for (int count : per_file) score -= sign * (count >= 2 ? 20 : 0);
    }
    return score + 3 * (bearing[1] - bearing[0]);
}

std::string random_fen(std::mt19937& rng) {
    char grid[64];
    for (char& c : grid) c = '.';
    auto place = [&](char piece, int low, int high) {
        for (;;) {
            int s = low + static_cast<int>(rng() % static_cast<unsigned>(high - low));
            if (grid[s] == '.') {
                grid[s] = piece;
                return;
            }
        }
    };
    // Kings on their home corners now and then (the castled shelters), rarely missing.
    if (rng() % 20) place('K', 0, rng() % 3 ? 64 : 8);
    if (rng() % 20) place('k', rng() % 3 ? 0 : 56, 64);
    // From bare endgames to full armies, so both phases and the threshold come up.
    const char kOfficers[] = "NBRQnbrq";
    for (int i = static_cast<int>(rng() % 15); i > 0; --i) place(kOfficers[rng() % 8], 0, 64);
    for (int i = static_cast<int>(rng() % 17); i > 0; --i) place(rng() % 2 ? 'P' : 'p', 8, 56);
    return fen_from_grid(grid);
}

TEST(EvaluateReference, RandomPositionsAgree) {
    std::mt19937 rng(77031);
    for (int trial = 0; trial < 20000; ++trial) {
        const std::string fen = random_fen(rng);
        const Board board = board_from_fen(fen.c_str());
        ASSERT_EQ(evaluate(board), reference_evaluate(board)) << fen;
    }
}

TEST(EvaluateReference, CastledSheltersAgree) {
    const char* const kFens[] = {
        "2kr3r/ppp2ppp/8/8/8/8/PPP2PPP/2KR3R w - - 0 1",
        "r4rk1/ppp3pp/8/8/8/8/PPPQ1P1P/2KR3R w - - 0 1",
        "rq3rk1/5ppp/8/8/8/8/1PP2PPP/RQ3RK1 w - - 0 1",
        "1qkr3r/p1p5/8/8/8/8/7P/1QKR3R w - - 0 1",
    };
    for (const char* fen : kFens) {
        const Board board = board_from_fen(fen);
        EXPECT_EQ(evaluate(board), reference_evaluate(board)) << fen;
    }
}

}  // namespace

}  // namespace vargul
