#include "support/board_helpers.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <sstream>
#include <vector>

#include "board/fen.h"
#include "board/generate.h"
#include "board/move_text.h"
#include "position/keys.h"
#include "position/make_move.h"

namespace vargul {

Board board_from_fen(const char* fen) {
    std::string text = std::string("fen ") + fen;
    Board board{};
    parse_fen(text.c_str(), board);
    compute_hash_key(board);
    board.material_balance = count_material(board);
    return board;
}

std::string mirrored_fen(const std::string& fen) {
    std::istringstream in(fen);
    std::string placement, side, castling, en_passant, rest;
    in >> placement >> side >> castling >> en_passant;
    std::getline(in, rest);
    auto swap_case = [](char c) {
        return static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
    };
    std::vector<std::string> ranks;
    std::istringstream in_ranks(placement);
    for (std::string rank; std::getline(in_ranks, rank, '/');) {
        for (char& c : rank) c = swap_case(c);
        ranks.push_back(rank);
    }
    std::string flipped;
    for (auto rank = ranks.rbegin(); rank != ranks.rend(); ++rank) {
        if (!flipped.empty()) flipped += '/';
        flipped += *rank;
    }
    // Upper case first, so the rights read alike whichever order the reader expects.
    std::string rights;
    for (char c : castling)
        if (c != '-') rights += swap_case(c);
    std::sort(rights.begin(), rights.end());
    if (en_passant.size() == 2) en_passant[1] = static_cast<char>('1' + '8' - en_passant[1]);
    std::ostringstream out;
    out << flipped << (side == "w" ? " b " : " w ");
    if (rights.empty())
        out << '-';
    else
        out << rights;
    out << ' ' << en_passant << rest;
    return out.str();
}

Move mirrored_move(Move m) {
    return encode_move(move_piece(m), move_kind(m), move_from(m) ^ 56, move_to(m) ^ 56, move_captured(m));
}

MoveList all_moves(const Board& board, const History& history) {
    MoveList list;
    for_side(board.side_to_move, [&]<Side S>() { generate_all<S>(board, list, history); });
    return list;
}

std::string move_string(Move m) { return move_text(m).text; }

std::string moves_text(const MoveList& list, int begin, int end) {
    std::string text;
    for (int i = begin; i < end; ++i) {
        if (i > begin) text += ' ';
        text += move_string(list.move[i]);
    }
    return text;
}

namespace {

// Every field is listed, so that a field added to the record without being
// added here fails the size check below instead of going unchecked.
constexpr std::size_t kComparedBytes = 3 * sizeof(Bitboard) + 2 * sizeof(Board::white_piece) +
                                       2 * sizeof(Board::white_piece_on) + sizeof(Side) + sizeof(std::int32_t) +
                                       sizeof(CastlingRights) + sizeof(std::int32_t) + sizeof(std::uint64_t);
static_assert(offsetof(Board, hash_key) + sizeof(Board::hash_key) == kComparedBytes, "a Board field is not compared");
static_assert(sizeof(Board) == kComparedBytes, "the record has padding or an uncompared field");

template <typename T> bool same_bytes(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof(T)) == 0; }

}  // namespace

::testing::AssertionResult same_board(const Board& e, const Board& a) {
#define VARGUL_COMPARE(field) \
    if (!same_bytes(e.field, a.field)) return ::testing::AssertionFailure() << #field " differs";
    VARGUL_COMPARE(all_piece)
    VARGUL_COMPARE(all_white_piece)
    VARGUL_COMPARE(all_black_piece)
    VARGUL_COMPARE(white_piece)
    VARGUL_COMPARE(black_piece)
    VARGUL_COMPARE(white_piece_on)
    VARGUL_COMPARE(black_piece_on)
    VARGUL_COMPARE(side_to_move)
    VARGUL_COMPARE(en_passant_square)
    VARGUL_COMPARE(castling_rights)
    VARGUL_COMPARE(material_balance)
    VARGUL_COMPARE(hash_key)
#undef VARGUL_COMPARE
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult board_consistent(const Board& b) {
    Bitboard white = 0, black = 0;
    for (int code = 1; code <= 6; ++code) {
        if (white & b.white_piece[code])
            return ::testing::AssertionFailure() << "white squares overlap at code " << code;
        if (black & b.black_piece[code])
            return ::testing::AssertionFailure() << "black squares overlap at code " << code;
        white |= b.white_piece[code];
        black |= b.black_piece[code];
    }
    if (b.white_piece[0] || b.black_piece[0]) return ::testing::AssertionFailure() << "piece bitboard 0 not empty";
    if (white != b.all_white_piece) return ::testing::AssertionFailure() << "all_white_piece is not the union";
    if (black != b.all_black_piece) return ::testing::AssertionFailure() << "all_black_piece is not the union";
    if (white & black) return ::testing::AssertionFailure() << "a square holds both colours";
    if (b.all_piece != (white | black)) return ::testing::AssertionFailure() << "all_piece is not the union";
    for (int s = 0; s < 64; ++s) {
        for (int code = 1; code <= 6; ++code) {
            bool white_here = (b.white_piece[code] >> s) & 1, black_here = (b.black_piece[code] >> s) & 1;
            if (white_here != (b.white_piece_on[s] == code))
                return ::testing::AssertionFailure() << "white_piece_on[" << s << "] out of step";
            if (black_here != (b.black_piece_on[s] == code))
                return ::testing::AssertionFailure() << "black_piece_on[" << s << "] out of step";
        }
        if (b.white_piece_on[s] < 0 || b.white_piece_on[s] > 6 || b.black_piece_on[s] < 0 || b.black_piece_on[s] > 6)
            return ::testing::AssertionFailure() << "piece code out of range on square " << s;
    }
    return ::testing::AssertionSuccess();
}

std::string fen_from_grid(const char grid[64]) {
    std::string fen;
    for (int rank = 7; rank >= 0; --rank) {
        int gap = 0;
        for (int file = 0; file < 8; ++file) {
            char c = grid[rank * 8 + file];
            if (c == '.') {
                ++gap;
                continue;
            }
            if (gap) fen += static_cast<char>('0' + gap), gap = 0;
            fen += c;
        }
        if (gap) fen += static_cast<char>('0' + gap);
        if (rank) fen += '/';
    }
    return fen + " w - - 0 1";
}

}  // namespace vargul
