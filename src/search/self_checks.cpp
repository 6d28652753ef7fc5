#include "search/self_checks.h"

#include <cstdint>

#include "platform/decimal.h"
#include "search/diagnostic_texts.h"

namespace vargul {

namespace {

// "<text><index>", as one diagnostic line.
void say_indexed(SearchReporter& reporter, const char* text, int index) {
    char line[128];
    int n = 0;
    while (*text && n < 100) line[n++] = *text++;
    n += write_decimal(static_cast<std::uint64_t>(index), line + n);  // indexes are never negative
    line[n] = '\0';
    reporter.diagnostic(line);
}

}  // namespace

void report_unrestored_fields(const Board& snapshot, const Board& board, SearchReporter& reporter) {
    auto say = [&](const char* text) { reporter.diagnostic(text); };
    const Board& t = snapshot;
    const Board& b = board;
    if (t.all_piece != b.all_piece) say(kAllPieceText);
    if (t.all_white_piece != b.all_white_piece) say(kAllWhitePieceText);
    if (t.all_black_piece != b.all_black_piece) say(kAllBlackPieceText);
    if (t.side_to_move != b.side_to_move) say(kSideToMoveText);
    // The texts name the square by its parts: whether there is one, its file, its rank.
    const bool had_square = t.en_passant_square != kNoSquare, has_square = b.en_passant_square != kNoSquare;
    if (had_square != has_square) say(kHasEnPassantText);
    if (had_square && has_square && file_of(t.en_passant_square) != file_of(b.en_passant_square))
        say(kEnPassantFileText);
    if (had_square && has_square && rank_of(t.en_passant_square) != rank_of(b.en_passant_square))
        say(kEnPassantRankText);
    const CastlingRights& tr = t.castling_rights;
    const CastlingRights& br = b.castling_rights;
    if (tr.white_long != br.white_long) say(kWhiteLongText);
    if (tr.white_short != br.white_short) say(kWhiteShortText);
    if (tr.black_long != br.black_long) say(kBlackLongText);
    if (tr.black_short != br.black_short) say(kBlackShortText);
    if (t.hash_key != b.hash_key) say(kHashKeyText);
    if (t.material_balance != b.material_balance) say(kMaterialBalanceText);
    for (int n = 0; n < 7; ++n) {
        if (t.white_piece[n] != b.white_piece[n]) say_indexed(reporter, kWhitePiecesText, n);
        if (t.black_piece[n] != b.black_piece[n]) say_indexed(reporter, kBlackPiecesText, n);
    }
    for (int k = 0; k < 64; ++k) {
        if (t.white_piece_on[k] != b.white_piece_on[k]) say_indexed(reporter, kWhitePieceOnText, k);
        if (t.black_piece_on[k] != b.black_piece_on[k]) say_indexed(reporter, kBlackPieceOnText, k);
    }
}

}  // namespace vargul
