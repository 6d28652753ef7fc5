#pragma once

// The referee's chess rules for the self-play tool: legal moves from the
// engine's own generators and attack test, both move notations, and the game
// endings the engine itself never decides (repetition, fifty moves, material).

#include <cstring>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/board.h"
#include "board/fen.h"
#include "board/generate.h"
#include "board/move.h"
#include "board/move_text.h"
#include "position/make_move.h"

namespace vargul {

namespace selfplay {

struct LegalMoves {
    Move move[kMaxMoves];
    int count = 0;
};

template <Side S> void collect_legal(Board& board, LegalMoves& out) {
    MoveList list;
    generate_all<S>(board, list, kNoHistory);
    out.count = 0;
    for (int i = 0; i < list.move_count; ++i) {
        MoveUndo undo;
        make_move<S>(board, list.move[i], undo);
        if (!king_attacked<S>(board)) out.move[out.count++] = list.move[i];
        unmake_move<S>(board, list.move[i], undo);
    }
}

inline LegalMoves legal_moves(const Board& position) {
    Board board = position;
    LegalMoves out;
    for_side(board.side_to_move, [&]<Side S>() { collect_legal<S>(board, out); });
    return out;
}

inline bool in_check(const Board& board) {
    return for_side(board.side_to_move, [&]<Side S>() { return king_attacked<S>(board) != 0; });
}

inline Board board_from_fen_text(const std::string& fen) {
    Board board{};
    parse_fen_fields(fen.c_str(), board);
    return board;
}

// The legal move with this protocol text ("e2e4", "a7a8q"), or 0.
inline Move legal_move(const LegalMoves& legal, const std::string& text) {
    const int i = find_move(legal.move, legal.count, text.c_str());
    return i < 0 ? 0 : legal.move[i];
}

// Standard algebraic notation of a legal move: "Nbd7", "exd6", "e8=Q+", "O-O", "Qh7#".
inline std::string san_text(const Board& board, const LegalMoves& legal, Move m) {
    const MoveKind kind = move_kind(m);
    const int piece = move_piece(m), from = move_from(m), to = move_to(m);
    const bool takes =
        kind == MoveKind::capture || kind == MoveKind::en_passant || kind >= MoveKind::capture_promotion_knight;
    std::string text;
    if (kind == MoveKind::castling_short) {
        text = "O-O";
    } else if (kind == MoveKind::castling_long) {
        text = "O-O-O";
    } else if (piece == kPawn) {
        if (takes) text = std::string(1, static_cast<char>('a' + file_of(from))) + 'x';
        text += square_text(to);
        if (is_promotion(kind)) text += std::string("=") + "NBRQ"[promoted_piece(kind) - kKnight];
    } else {
        text = "NBRQK"[piece - kKnight];
        // Name the origin only as far as it tells this move from its twins.
        bool twin = false, same_file = false, same_rank = false;
        for (int i = 0; i < legal.count; ++i) {
            Move other = legal.move[i];
            if (other == m || move_piece(other) != piece || move_to(other) != to) continue;
            twin = true;
            if (file_of(move_from(other)) == file_of(from)) same_file = true;
            if (rank_of(move_from(other)) == rank_of(from)) same_rank = true;
        }
        if (twin) {
            if (!same_file)
                text += static_cast<char>('a' + file_of(from));
            else if (!same_rank)
                text += static_cast<char>('1' + rank_of(from));
            else
                text += square_text(from);
        }
        if (takes) text += 'x';
        text += square_text(to);
    }
    Board after = board;
    play_move(after, m);
    if (in_check(after)) text += legal_moves(after).count == 0 ? '#' : '+';
    return text;
}

// What makes two positions the same for the repetition rule. The en passant
// file counts only when the capture is really there to be played.
struct PositionKey {
    Bitboard white[7];
    Bitboard black[7];
    Side side;
    CastlingRights castling;
    int en_passant_file;
    bool operator==(const PositionKey&) const = default;
};

inline PositionKey position_key(const Board& board, const LegalMoves& legal) {
    PositionKey key{};
    std::memcpy(key.white, board.white_piece, sizeof key.white);
    std::memcpy(key.black, board.black_piece, sizeof key.black);
    key.side = board.side_to_move;
    key.castling = board.castling_rights;
    key.en_passant_file = -1;
    for (int i = 0; i < legal.count; ++i)
        if (move_kind(legal.move[i]) == MoveKind::en_passant) key.en_passant_file = file_of(move_to(legal.move[i]));
    return key;
}

// No sequence of legal moves can mate: bare kings, one minor piece, or only
// bishops that all stand on squares of one colour.
inline bool insufficient_material(const Board& b) {
    if (b.white_piece[kPawn] | b.black_piece[kPawn] | b.white_piece[kRook] | b.black_piece[kRook] |
        b.white_piece[kQueen] | b.black_piece[kQueen])
        return false;
    const Bitboard knights = b.white_piece[kKnight] | b.black_piece[kKnight];
    const Bitboard bishops = b.white_piece[kBishop] | b.black_piece[kBishop];
    if (bit_count(knights | bishops) <= 1) return true;
    constexpr Bitboard kDarkSquares = 0xAA55AA55AA55AA55ULL;
    return knights == 0 && ((bishops & kDarkSquares) == 0 || (bishops & ~kDarkSquares) == 0);
}

enum class Ending { none, checkmate, stalemate, repetition, fifty_moves, insufficient_material };

inline const char* ending_name(Ending e) {
    switch (e) {
        case Ending::checkmate: return "checkmate";
        case Ending::stalemate: return "stalemate";
        case Ending::repetition: return "threefold repetition";
        case Ending::fifty_moves: return "fifty-move rule";
        case Ending::insufficient_material: return "insufficient material";
        default: return "none";
    }
}

// A game as the referee keeps it: the position, every position seen since the
// last pawn move or capture, and the moves in both notations.
struct GameState {
    Board board{};
    LegalMoves legal;
    std::vector<PositionKey> seen;
    int halfmove_clock = 0;
    std::vector<std::string> uci_moves;
    std::vector<std::string> san_moves;
};

inline void start_game(GameState& game, const std::string& fen) {
    game = GameState{};
    game.board = board_from_fen_text(fen);
    game.legal = legal_moves(game.board);
    game.seen.push_back(position_key(game.board, game.legal));
}

// Plays a move that is in game.legal.
inline void play_move(GameState& game, Move m) {
    game.san_moves.push_back(san_text(game.board, game.legal, m));
    game.uci_moves.push_back(move_text(m).text);
    const bool irreversible = move_piece(m) == kPawn || move_captured(m) != 0;
    play_move(game.board, m);
    game.legal = legal_moves(game.board);
    game.halfmove_clock = irreversible ? 0 : game.halfmove_clock + 1;
    if (irreversible) game.seen.clear();
    game.seen.push_back(position_key(game.board, game.legal));
}

// Mate and stalemate come first: a mate given on the hundredth half-move stands.
inline Ending game_ending(const GameState& game) {
    if (game.legal.count == 0) return in_check(game.board) ? Ending::checkmate : Ending::stalemate;
    int repeats = 0;
    for (const PositionKey& key : game.seen) repeats += key == game.seen.back();
    if (repeats >= 3) return Ending::repetition;
    if (game.halfmove_clock >= 100) return Ending::fifty_moves;
    if (insufficient_material(game.board)) return Ending::insufficient_material;
    return Ending::none;
}

}  // namespace selfplay

}  // namespace vargul
