#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/self_checks.h"
#include "support/board_helpers.h"
#include "support/search_helpers.h"

namespace vargul {

namespace {

TEST(RestorationSelfTest, OneLinePerDifferingFieldInRecordOrder) {
    const Board snapshot = board_from_fen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    Board board = snapshot;
    RecordingReporter quiet;
    report_unrestored_fields(snapshot, board, quiet);
    EXPECT_TRUE(quiet.events.empty());

    board.hash_key ^= 1;
    board.castling_rights.white_short = false;
    board.white_piece[4] ^= 1;
    board.white_piece_on[0] = 0;
    board.black_piece_on[63] = 0;
    board.en_passant_square = square_of(4, 2);
    RecordingReporter out;
    report_unrestored_fields(snapshot, board, out);
    const std::vector<std::string> expected = {
        "white test_taking_passage_yes != bitboard->taking_passage_yes",
        "white test_castling_K != bitboard->castling_K",
        "white test_hash_key !=  bitboard->hash_key",
        "white test_white_piece[n] = bitboard->white_piece[n]4",
        "white test_white_name_from_coord[k] = bitboard->white_name_from_coord[k]0",
        "white test_black_name_from_coord[k] = bitboard->black_name_from_coord[k]63",
    };
    EXPECT_EQ(out.diagnostics, expected);
}

// The en passant square is named by its parts: whether there is one, then its file and rank.
TEST(RestorationSelfTest, EnPassantSquareNamedByItsParts) {
    struct Case {
        int before, after;
        std::vector<std::string> expected;
    };
    const std::string yes = "white test_taking_passage_yes != bitboard->taking_passage_yes";
    const std::string file = "white test_taking_passage_x != bitboard->taking_passage_x";
    const std::string rank = "white test_taking_passage_y != bitboard->taking_passage_y";
    const Case cases[] = {
        {kNoSquare, square_of(4, 2), {yes}},
        {square_of(4, 5), kNoSquare, {yes}},
        {square_of(4, 5), square_of(3, 5), {file}},
        {square_of(4, 5), square_of(4, 2), {rank}},
        {square_of(4, 5), square_of(3, 2), {file, rank}},
        {square_of(4, 5), square_of(4, 5), {}},
    };
    for (const Case& c : cases) {
        Board snapshot = board_from_fen("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
        snapshot.en_passant_square = c.before;
        Board board = snapshot;
        board.en_passant_square = c.after;
        RecordingReporter out;
        report_unrestored_fields(snapshot, board, out);
        EXPECT_EQ(out.diagnostics, c.expected) << c.before << " to " << c.after;
    }
}

}  // namespace

}  // namespace vargul
