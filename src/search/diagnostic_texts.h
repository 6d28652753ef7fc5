#pragma once

namespace vargul {

// Every warning and self-check line the engine writes. These are output:
// GUIs, logs and the transcript tests see them byte for byte, odd spellings,
// blanks and the names of long-gone fields included, so none of them may be
// tidied. The protocol layer writes the warnings; the search writes the rest.

// Protocol warnings: a command that means nothing, a move that is not legal.
inline constexpr char kUnknownCommandText[] = "WARNING ! Unknown command";
inline constexpr char kBadMoveText[] = "WARNING ! moves error";
// The fatal reply when the hash table cannot be had, in the Windows-1251 code
// page: "памяти нет ".
inline constexpr char kNoMemoryText[] = "\xEF\xE0\xEC\xFF\xF2\xE8\x20\xED\xE5\xF2\x20\n";

// Root search: a child did not give the position key back.
inline constexpr char kKeyNotRestoredText[] = "\nERROR HESH ";
// Root search: the score a child returned is not its line's score.
inline constexpr char kWhiteScoreMismatchText[] = "ERROR white value ";
inline constexpr char kBlackScoreMismatchText[] = "ERROR black value ";

// Deepening: the material balance moved, and the two best moves disagree.
inline constexpr char kMaterialNotRestoredText[] = "ERROR test_eval != bitboard->eval";
inline constexpr char kBestFromMismatchText[] = "ERROR from(Deepening)";
inline constexpr char kBestToMismatchText[] = "ERROR to(Deepening)";

// Best-line report whose line does not belong to its score; the pieces go
// around the score and the line's score.
inline constexpr char kLineMismatchHead[] = "\nERROR LINE \n value = ";
inline constexpr char kLineMismatchMiddle[] = "\n PV_best_point.score_move = ";
inline constexpr char kLineMismatchTail[] = "\n**********************\n  \n";

// White's root search after its move loop: one line per field of the board
// that make and unmake did not restore, in this order.
inline constexpr char kAllPieceText[] = "white test_all_piece != bitboard->all_piece";
inline constexpr char kAllWhitePieceText[] = "white test_all_white_piece != bitboard->all_white_piece";
inline constexpr char kAllBlackPieceText[] = "white test_all_black_piece != bitboard->all_black_piece";
inline constexpr char kSideToMoveText[] = "white test_colour_move != bitboard->colour_move";
inline constexpr char kHasEnPassantText[] = "white test_taking_passage_yes != bitboard->taking_passage_yes";
inline constexpr char kEnPassantFileText[] = "white test_taking_passage_x != bitboard->taking_passage_x";
inline constexpr char kEnPassantRankText[] = "white test_taking_passage_y != bitboard->taking_passage_y";
inline constexpr char kWhiteLongText[] = "white test_castling_Q != bitboard->castling_Q";
inline constexpr char kWhiteShortText[] = "white test_castling_K != bitboard->castling_K";
inline constexpr char kBlackLongText[] = "white test_castling_q != bitboard->castling_q";
inline constexpr char kBlackShortText[] = "white test_castling_k != bitboard->castling_k";
inline constexpr char kHashKeyText[] = "white test_hash_key !=  bitboard->hash_key";
inline constexpr char kMaterialBalanceText[] = "white test_eval != bitboard->eval";
// These four are followed by the piece code or the square, in decimal.
inline constexpr char kWhitePiecesText[] = "white test_white_piece[n] = bitboard->white_piece[n]";
inline constexpr char kBlackPiecesText[] = "white test_black_piece[n] = bitboard->black_piece[n]";
inline constexpr char kWhitePieceOnText[] = "white test_white_name_from_coord[k] = bitboard->white_name_from_coord[k]";
inline constexpr char kBlackPieceOnText[] = "white test_black_name_from_coord[k] = bitboard->black_name_from_coord[k]";

}  // namespace vargul
