#include "board/move_text.h"

#include <gtest/gtest.h>

#include "board/board.h"

namespace vargul {

namespace {

struct TextCase {
    MoveKind kind;
    int from, to;
    const char* text;    // move_text
    const char* padded;  // padded_move_text, as the best-line report writes it
};

}  // namespace

// Every kind the move word can hold, with both written forms.
TEST(MoveText, EveryKindInBothForms) {
    const TextCase cases[] = {
        {MoveKind::none, 0, 0, "a1a1", "a1a1 "},
        {MoveKind::quiet, 12, 28, "e2e4", "e2e4 "},
        {MoveKind::capture, 62, 45, "g8f6", "g8f6 "},
        {MoveKind::castling_short, 4, 6, "e1g1", "e1g1 "},
        {MoveKind::castling_long, 60, 58, "e8c8", "e8c8 "},
        {MoveKind::en_passant, 36, 43, "e5d6", "e5d6"},
        {MoveKind::promotion_knight, 52, 60, "e7e8n", "e7e8n"},
        {MoveKind::promotion_bishop, 52, 60, "e7e8b", "e7e8b"},
        {MoveKind::promotion_rook, 9, 1, "b2b1r", "b2b1r"},
        {MoveKind::promotion_queen, 55, 63, "h7h8q", "h7h8q"},
        {MoveKind::capture_promotion_knight, 48, 57, "a7b8n", "a7b8n"},
        {MoveKind::capture_promotion_bishop, 48, 57, "a7b8b", "a7b8b"},
        {MoveKind::capture_promotion_rook, 15, 6, "h2g1r", "h2g1r"},
        {MoveKind::capture_promotion_queen, 15, 6, "h2g1q", "h2g1q"},
    };
    for (const TextCase& c : cases) {
        const Move m = encode_move(kPawn, c.kind, c.from, c.to, 0);
        EXPECT_STREQ(move_text(m), c.text) << kind_number(c.kind);
        EXPECT_STREQ(padded_move_text(m), c.padded) << kind_number(c.kind);
    }
}

// Finding by text: the first exact match only, never a prefix or a near miss.
TEST(MoveText, FindsTheMoveWrittenExactly) {
    const Move moves[] = {
        encode_move(kPawn, MoveKind::quiet, 12, 28, 0),
        encode_move(kPawn, MoveKind::promotion_queen, 52, 60, 0),
        encode_move(kPawn, MoveKind::promotion_knight, 52, 60, 0),
    };
    const struct {
        const char* text;
        int count;
        int index;
    } cases[] = {
        {"e2e4", 3, 0},   {"e7e8n", 3, 2}, {"e7e8q", 3, 1}, {"e7e8", 3, -1},
        {"e2e4 ", 3, -1}, {"E2E4", 3, -1}, {"", 3, -1},     {"e7e8n", 2, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(find_move(moves, c.count, c.text), c.index) << '"' << c.text << '"';
}

}  // namespace vargul
