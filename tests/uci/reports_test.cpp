#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "board/board.h"
#include "board/move.h"
#include "support/test_engine.h"
#include "uci/reports.h"

namespace vargul {

namespace {

constexpr int sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

Move mv(const char* from, const char* to, MoveKind kind = MoveKind::quiet, int piece = kPawn, int captured = 0) {
    return encode_move(piece, kind, sq(from), sq(to), captured);
}

PvLine line_of(std::initializer_list<Move> moves, int score) {
    PvLine line{};
    for (Move m : moves) line.move[line.length++] = m;
    line.score = score;
    return line;
}

// The reports of a fresh engine, written to its output.
class Reports : public ::testing::Test {
protected:
    TestEngine engine_;
    UciReporter reporter_{*engine_};
};

TEST_F(Reports, CurrentMoveWritesSquaresOnly) {
    MoveList list;
    list.move[0] = mv("e2", "e4");
    list.move[2] = mv("e7", "e8", MoveKind::promotion_queen);
    list.move_count = list.capture_count = 3;
    reporter_.current_move(list.move[2], 3, 2);
    reporter_.current_move(list.move[0], 1, 5);
    EXPECT_EQ(engine_.output(),
              "info currmove e7e8 currmovenumber 3 depth 2\n"
              "info currmove e2e4 currmovenumber 1 depth 5\n");
}

TEST_F(Reports, BestLineFormats) {
    struct Case {
        const char* name;
        Side side;
        std::uint64_t nodes;
        double seconds;
        int value;
        PvLine line;
        const char* expected;
    };
    const Move e2e4 = mv("e2", "e4");
    const Move e7e5 = mv("e7", "e5");
    constexpr Side W = Side::White, B = Side::Black;
    const Case cases[] = {
        {"ordinary moves are followed by two blanks", W, 50000, 0.2, 20, line_of({e2e4, e7e5}, 20),
         "info  nps 250000 depth 5 seldepth 2 score cp 20 nodes 50000 pv e2e4  e7e5  \n"},
        {"Black's value turned to the side to move", B, 10, 0.0, 50, line_of({e7e5}, 50),
         "info  nps 0 depth 5 seldepth 1 score cp -50 nodes 10 pv e7e5  \n"},
        {"en passant takes no fifth character", W, 7, 0.0, 0,
         line_of(
             {mv("e5", "d6", MoveKind::en_passant, kPawn, kPawn), mv("f8", "d6", MoveKind::capture, kBishop, kPawn)},
             0),
         "info  nps 0 depth 5 seldepth 2 score cp 0 nodes 7 pv e5d6 f8d6  \n"},
        {"promotions carry their letter", W, 7, 0.0, 900,
         line_of({mv("a7", "a8", MoveKind::promotion_queen),
                  mv("h2", "g1", MoveKind::capture_promotion_knight, kPawn, kBishop),
                  mv("b7", "c8", MoveKind::capture_promotion_rook, kPawn, kRook),
                  mv("b2", "b1", MoveKind::promotion_bishop)},
                 900),
         "info  nps 0 depth 5 seldepth 4 score cp 900 nodes 7 pv a7a8q h2g1n b7c8r b2b1b \n"},
        {"castling and captures are ordinary", W, 1, 0.0, 3,
         line_of({mv("e1", "g1", MoveKind::castling_short, kKing), mv("d4", "e5", MoveKind::capture, kKnight, kPawn)},
                 3),
         "info  nps 0 depth 5 seldepth 2 score cp 3 nodes 1 pv e1g1  d4e5  \n"},
        {"900000 is still centipawns", W, 1, 0.0, 900000, line_of({e2e4}, 900000),
         "info  nps 0 depth 5 seldepth 1 score cp 900000 nodes 1 pv e2e4  \n"},
        {"mate in one", W, 1, 0.0, 999000, line_of({e2e4}, 999000),
         "info  nps 0 depth 5 seldepth 1 score mate 1 nodes 1 pv e2e4  \n"},
        {"mate in two", W, 1, 0.0, 900010, line_of({e2e4, e7e5, e2e4}, 900010),
         "info  nps 0 depth 5 seldepth 3 score mate 2 nodes 1 pv e2e4  e7e5  e2e4  \n"},
        {"Black gets mated in one", B, 1, 0.0, 900010, line_of({e7e5, e2e4, e7e5}, 900010),
         "info  nps 0 depth 5 seldepth 3 score mate -1 nodes 1 pv e7e5  e2e4  e7e5  \n"},
        {"White gets mated in two", W, 1, 0.0, -996000, line_of({e2e4, e7e5, e2e4, e7e5}, -996000),
         "info  nps 0 depth 5 seldepth 4 score mate -2 nodes 1 pv e2e4  e7e5  e2e4  e7e5  \n"},
        {"a negated line score still matches", W, 1, 0.0, 40, line_of({e2e4}, -40),
         "info  nps 0 depth 5 seldepth 1 score cp 40 nodes 1 pv e2e4  \n"},
        {"a line that does not match its value", W, 9, 0.0, 40, line_of({e2e4}, 41),
         "info  nps 0 depth 5 seldepth 1 score cp 40 nodes 9\n"
         "ERROR LINE \n"
         " value = 40\n"
         " PV_best_point.score_move = 41\n"
         "**********************\n"
         "  \n"
         "\n"},
        {"rates beyond 32 bits are capped", W, 5000000000ULL, 0.001, 1, line_of({e2e4}, 1),
         "info  nps 2147483647 depth 5 seldepth 1 score cp 1 nodes 5000000000 pv e2e4  \n"},
    };
    for (const Case& c : cases) {
        engine_->report.last_report_value = kNoReportValue;
        engine_.clear_output();
        reporter_.best_line(c.side, c.nodes, c.seconds, c.value, c.line, 5);
        EXPECT_EQ(engine_.output(), c.expected) << c.name;
    }
}

TEST_F(Reports, RepeatedValueAtOneDepthIsAnEmptyLine) {
    const PvLine line = line_of({mv("d2", "d4")}, 30);
    const std::string full4 = "info  nps 0 depth 4 seldepth 1 score cp 30 nodes 1 pv d2d4  \n";
    const std::string full5 = "info  nps 0 depth 5 seldepth 1 score cp 30 nodes 1 pv d2d4  \n";
    reporter_.best_line(Side::White, 1, 0.0, 30, line, 4);
    reporter_.best_line(Side::White, 1, 0.0, 30, line, 4);
    reporter_.best_line(Side::White, 1, 0.0, 30, line, 5);
    EXPECT_EQ(engine_.output(), full4 + "\n" + full5);

    // The state outlives a search: the next search's first report at depth 5
    // with the same value is reduced too, while another depth is written.
    engine_.clear_output();
    UciReporter next_search(*engine_);
    next_search.best_line(Side::White, 1, 0.0, 30, line, 5);
    next_search.best_line(Side::White, 1, 0.0, 30, line, 1);
    EXPECT_EQ(engine_.output(), "\ninfo  nps 0 depth 1 seldepth 1 score cp 30 nodes 1 pv d2d4  \n");
    EXPECT_EQ(engine_->report.last_report_depth, 1);
    EXPECT_EQ(engine_->report.last_report_value, 30);
}

// The iteration line writes promotions with their letter and en passant like
// any move; "bestmove" names the stored move's promotion, or 0000.
TEST_F(Reports, IterationAndBestMoveFormats) {
    const PvLine line = line_of({mv("e5", "d6", MoveKind::en_passant, kPawn, kPawn),
                                 mv("b2", "a1", MoveKind::capture_promotion_knight, kPawn, kRook)},
                                35);
    reporter_.iteration(3, 0.5, -35, 1000, line);
    reporter_.iteration(4, 0.0, 999000, 7, line_of({mv("a7", "a8", MoveKind::promotion_queen)}, 999000));
    reporter_.best_move(mv("b2", "a1", MoveKind::capture_promotion_knight, kPawn, kRook));
    reporter_.best_move(mv("e5", "d6", MoveKind::en_passant, kPawn, kPawn));
    reporter_.best_move(0);
    EXPECT_EQ(engine_.output(),
              "info  nps 2000 depth 3 score cp -35 nodes 1000 pv e5d6 b2a1n \n"
              "info  nps 0 depth 4 score mate 1 nodes 7 pv a7a8q \n"
              "bestmove b2a1n\n"
              "bestmove e5d6\n"
              "bestmove 0000\n");
}

TEST(NodesPerSecond, ZeroTimeAndCap) {
    EXPECT_EQ(nodes_per_second(1000, 0.0), 0);
    EXPECT_EQ(nodes_per_second(0, 0.5), 0);
    EXPECT_EQ(nodes_per_second(8040, 0.02), 402000);
    EXPECT_EQ(nodes_per_second(1001, 1.0), 1001);
    EXPECT_EQ(nodes_per_second(2147483647, 1.0), 2147483647);
    EXPECT_EQ(nodes_per_second(2147483648ULL, 1.0), 2147483647);
    EXPECT_EQ(nodes_per_second(UINT64_MAX, 0.001), 2147483647);
}

}  // namespace

}  // namespace vargul
