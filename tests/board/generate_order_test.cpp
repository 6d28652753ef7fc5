#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board/generate.h"
#include "board/history.h"
#include "support/board_helpers.h"

namespace vargul {

namespace {

std::string quiet_segment(const MoveList& list) { return moves_text(list, list.capture_count, list.move_count); }
std::string capture_segment(const MoveList& list) { return moves_text(list, 0, list.capture_count); }

struct OrderCase {
    const char* name;
    const char* fen;
    const char* captures;
    const char* quiets;
};

// Piece order, direction order and ascending targets within a direction, all
// visible in the text of the list.
constexpr OrderCase kOrders[] = {
    {"initial position, White", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "",
     "b1a3 b1c3 g1f3 g1h3 a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 g2g4 h2h3 h2h4"},
    // Black's targets ascend too, so each double push comes before the single push.
    {"initial position, Black", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1", "",
     "b8a6 b8c6 g8f6 g8h6 a7a5 a7a6 b7b5 b7b6 c7c5 c7c6 d7d5 d7d6 e7e5 e7e6 f7f5 f7f6 g7g5 g7g6 h7h5 h7h6"},
    // King first, then the queen's directions N W S E NE NW SW SE, squares ascending in each.
    {"queen on d4", "7k/8/8/8/3Q4/8/8/K7 w - - 0 1", "d4h8",
     "a1b1 a1a2 a1b2 d4d5 d4d6 d4d7 d4d8 d4a4 d4b4 d4c4 d4d1 d4d2 d4d3 d4e4 d4f4 d4g4 d4h4 d4e5 d4f6 d4g7 "
     "d4c5 d4b6 d4a7 d4b2 d4c3 d4g1 d4f2 d4e3"},
    {"promotions queen rook bishop knight, push before captures", "k2r1n2/4P3/8/8/8/8/8/K7 w - - 0 1",
     "e7e8q e7e8r e7e8b e7e8n e7d8q e7d8r e7d8b e7d8n e7f8q e7f8r e7f8b e7f8n", "a1b1 a1a2 a1b2"},
    {"Black promotions", "k7/8/8/8/8/8/4p3/K2R1N2 b - - 0 1",
     "e2e1q e2e1r e2e1b e2e1n e2d1q e2d1r e2d1b e2d1n e2f1q e2f1r e2f1b e2f1n", "a8a7 a8b7 a8b8"},
    // Pawns, knights, bishops, rooks, queens, king for captures; king, queens,
    // rooks, bishops, knights, pawns for quiet moves.
    {"piece order of both segments", "k7/8/2p5/1p1p4/PQ1RB3/1N6/8/K7 w - - 0 1", "a4b5 e4d5 d4d5 b4b5",
     "a1b1 a1a2 a1b2 b4c4 b4c5 b4d6 b4e7 b4f8 b4a5 b4a3 b4e1 b4d2 b4c3 d4c4 d4d1 d4d2 d4d3 e4f5 e4g6 e4h7 "
     "e4b1 e4c2 e4d3 e4h1 e4g2 e4f3 b3c1 b3d2 b3a5 b3c5 a4a5"},
    {"pawn blocked at once", "k7/8/8/8/8/4p3/4P3/K7 w - - 0 1", "", "a1b1 a1a2 a1b2"},
    {"pawn with an occupied double-push square", "k7/8/8/8/4n3/8/4P3/K7 w - - 0 1", "", "a1b1 a1a2 a1b2 e2e3"},
    {"own blocker stops a rook's capture", "k7/8/8/q7/8/P7/8/R6K w - - 0 1", "",
     "h1g1 h1g2 h1h2 a1a2 a1b1 a1c1 a1d1 a1e1 a1f1 a1g1 a3a4"},
    {"pawn on e7 behind a blocker, nothing to take", "k3b3/4P3/8/8/8/8/8/K7 w - - 0 1", "", "a1b1 a1a2 a1b2"},
    {"en passant both ways", "k7/8/8/2PpP3/8/8/8/K7 w - d6 0 1", "c5d6 e5d6", "a1b1 a1a2 a1b2 c5c6 e5e6"},
    // A pawn on an edge file has one neighbour to take en passant.
    {"en passant from the a-file", "k7/8/8/Pp6/8/8/8/K7 w - b6 0 1", "a5b6", "a1b1 a1a2 a1b2 a5a6"},
    {"en passant from the h-file", "k7/8/8/6pP/8/8/8/K7 w - g6 0 1", "h5g6", "a1b1 a1a2 a1b2 h5h6"},
};

TEST(Generate, ListOrder) {
    for (const auto& c : kOrders) {
        MoveList list = all_moves(board_from_fen(c.fen));
        EXPECT_EQ(capture_segment(list), c.captures) << c.name;
        EXPECT_EQ(quiet_segment(list), c.quiets) << c.name;
    }
}

TEST(Generate, CaptureGeneratorResetsTheList) {
    Board board = board_from_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    MoveList list;
    list.capture_count = 77;
    list.move_count = 123;
    generate_captures<Side::White>(board, list, kNoHistory);
    EXPECT_EQ(list.capture_count, 0);
    EXPECT_EQ(list.move_count, 0);
    generate_quiet<Side::White>(board, list, kNoHistory);
    EXPECT_EQ(list.capture_count, 0);
    EXPECT_EQ(list.move_count, 20);
}

struct FieldCase {
    const char* fen;
    const char* move;
    int piece, kind, captured, score;
};

// Every field of the move word, and the generation-time score.
constexpr FieldCase kFields[] = {
    {"k7/8/8/8/8/8/4P3/K7 w - - 0 1", "e2e4", 1, 1, 0, 0},
    {"k2r1n2/4P3/8/8/8/8/8/K7 w - - 0 1", "e7e8q", 1, 15, 0, 15},
    {"k2r1n2/4P3/8/8/8/8/8/K7 w - - 0 1", "e7e8n", 1, 12, 0, 12},
    {"k2r1n2/4P3/8/8/8/8/8/K7 w - - 0 1", "e7d8q", 1, 25, 4, 25},
    {"k2r1n2/4P3/8/8/8/8/8/K7 w - - 0 1", "e7f8n", 1, 22, 2, 22},
    {"k7/8/8/3pP3/8/8/8/K7 w - d6 0 1", "e5d6", 1, 5, 1, 5},
    {"k7/8/8/8/3Pp3/8/8/K7 b - d3 0 1", "e4d3", 1, 5, 1, 5},
    {"k7/3p4/8/8/8/8/8/K2Q4 w - - 0 1", "d1d7", 5, 2, 1, -4},  // victim minus attacker
    {"k7/8/8/8/8/8/8/K2Q3q w - - 0 1", "d1h1", 5, 2, 5, 0},
    {"k7/8/8/2q5/1P6/8/8/K7 w - - 0 1", "b4c5", 1, 2, 5, 4},
    {"8/8/8/8/8/8/3k4/3K4 w - - 0 1", "d1d2", 6, 2, 6, 0},  // the king capture is generated
    {"8/8/8/8/8/8/3pk3/3K4 w - - 0 1", "d1d2", 6, 2, 1, -5},
    {"k7/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1", 6, 3, 0, 3},
    {"k7/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1g1", 6, 4, 0, 4},
    {"r3k2r/8/8/8/8/8/8/K7 b kq - 0 1", "e8c8", 6, 3, 0, 3},
    {"r3k2r/8/8/8/8/8/8/K7 b kq - 0 1", "e8g8", 6, 4, 0, 4},
};

TEST(Generate, MoveFieldsAndScores) {
    for (const auto& c : kFields) {
        MoveList list = all_moves(board_from_fen(c.fen));
        int i = find_move(list, c.move);
        ASSERT_GE(i, 0) << c.move << " not generated in " << c.fen;
        Move m = list.move[i];
        EXPECT_EQ(move_piece(m), c.piece) << c.move;
        EXPECT_EQ(kind_number(move_kind(m)), c.kind) << c.move;
        EXPECT_EQ(move_captured(m), c.captured) << c.move;
        EXPECT_EQ(list.score[i], c.score) << c.move;
        EXPECT_GT(static_cast<std::int32_t>(m), 0) << c.move;
    }
}

TEST(Generate, ScoresAddTheHistoryCounter) {
    History history{};
    history.count[12][28] = 40;  // e2e4
    history.count[4][6] = 7;     // e1g1
    history.count[52][60] = 9;   // e7e8
    MoveList list = all_moves(board_from_fen("k7/4P3/8/8/8/8/4P3/4K2R w K - 0 1"), history);
    EXPECT_EQ(list.score[find_move(list, "e2e4")], 40);
    EXPECT_EQ(list.score[find_move(list, "e1g1")], 11);
    EXPECT_EQ(list.score[find_move(list, "e7e8q")], 24);
    EXPECT_EQ(list.score[find_move(list, "e7e8n")], 21);
}

struct CastlingCase {
    const char* name;
    const char* fen;
    const char* castling;  // the castling moves generated, in list order
};

// Only the king's start, path and landing squares are tested for attacks.
constexpr CastlingCase kCastling[] = {
    {"both free", "k7/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1 e1g1"},
    {"f1 attacked by a rook", "k4r2/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1"},
    {"b1 attacked does not matter", "kr6/8/8/8/8/8/8/R3K2R w KQ - 0 1", "e1c1 e1g1"},
    {"king in check", "k3r3/8/8/8/8/8/8/R3K2R w KQ - 0 1", ""},
    {"c1 and g1 attacked by a knight", "k7/8/8/8/8/8/4n3/R3K2R w KQ - 0 1", ""},
    {"d1 and f1 attacked by a pawn", "k7/8/8/8/8/8/4p3/R3K2R w KQ - 0 1", ""},
    {"c1 and d1 attacked by a king", "8/8/8/8/8/8/2k5/R3K2R w KQ - 0 1", "e1g1"},
    {"f1 attacked along a diagonal", "k7/8/b7/8/8/8/8/R3K2R w KQ - 0 1", "e1c1"},
    {"b1 occupied", "k7/8/8/8/8/8/8/RN2K2R w KQ - 0 1", "e1g1"},
    {"g1 occupied", "k7/8/8/8/8/8/8/R3K1NR w KQ - 0 1", "e1c1"},
    {"rights off", "k7/8/8/8/8/8/8/R3K2R w - - 0 1", ""},
    {"only the short right", "k7/8/8/8/8/8/8/R3K2R w K - 0 1", "e1g1"},
    {"Black, both free", "r3k2r/8/8/8/8/8/8/K7 b kq - 0 1", "e8c8 e8g8"},
    {"Black, f8 attacked", "r3k2r/8/8/8/8/8/8/K4R2 b kq - 0 1", "e8c8"},
    {"Black, d8 attacked by a pawn", "r3k2r/2P5/8/8/8/8/8/K7 b kq - 0 1", "e8g8"},
    {"Black, b8 attacked does not matter", "r3k2r/8/8/8/8/8/8/KR6 b kq - 0 1", "e8c8 e8g8"},
    {"Black in check", "r3k2r/8/8/8/8/8/8/K3R3 b kq - 0 1", ""},
};

TEST(Generate, CastlingSquares) {
    for (const auto& c : kCastling) {
        MoveList list = all_moves(board_from_fen(c.fen));
        std::string castling;
        for (int i = 0; i < list.move_count; ++i) {
            const MoveKind kind = move_kind(list.move[i]);
            if (kind != MoveKind::castling_long && kind != MoveKind::castling_short) continue;
            if (!castling.empty()) castling += ' ';
            castling += move_string(list.move[i]);
        }
        EXPECT_EQ(castling, c.castling) << c.name;
    }
}

// Both colours run their own code: the colour image of every position above
// must give the image of every move, with the same split into captures and
// quiet moves (the order may differ, as targets ascend for both colours).
TEST(Generate, ColourImageGivesTheImageOfEveryMove) {
    std::vector<std::string> fens;
    for (const auto& c : kOrders) fens.emplace_back(c.fen);
    for (const auto& c : kFields) fens.emplace_back(c.fen);
    for (const auto& c : kCastling) fens.emplace_back(c.fen);
    // Every field of the move word and the score, readable in a failure.
    auto sorted = [](const MoveList& list, int begin, int end) {
        std::vector<std::string> moves;
        for (int i = begin; i < end; ++i) {
            const Move m = list.move[i];
            moves.push_back(move_string(m) + " piece " + std::to_string(move_piece(m)) + " kind " +
                            std::to_string(kind_number(move_kind(m))) + " takes " + std::to_string(move_captured(m)) +
                            " score " + std::to_string(list.score[i]));
        }
        std::sort(moves.begin(), moves.end());
        return moves;
    };
    for (const std::string& fen : fens) {
        const std::string image_fen = mirrored_fen(fen);
        const MoveList list = all_moves(board_from_fen(fen.c_str()));
        MoveList image = all_moves(board_from_fen(image_fen.c_str()));
        for (int i = 0; i < image.move_count; ++i) image.move[i] = mirrored_move(image.move[i]);
        EXPECT_EQ(sorted(image, 0, image.capture_count), sorted(list, 0, list.capture_count))
            << fen << "  mirrored  " << image_fen << ": captures";
        EXPECT_EQ(sorted(image, image.capture_count, image.move_count),
                  sorted(list, list.capture_count, list.move_count))
            << fen << "  mirrored  " << image_fen << ": quiet moves";
    }
}

}  // namespace

}  // namespace vargul
