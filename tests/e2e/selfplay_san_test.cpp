// The self-play referee: move notation, legality of engine replies, game
// endings; and the tool itself against the real engine and against fake
// engines that misbehave on purpose.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "selfplay_rules.h"
#include "support/processes.h"

namespace vargul {

namespace {

using namespace selfplay;

struct SanCase {
    const char* fen;
    const char* uci;
    const char* san;
};

TEST(SelfplaySan, Notation) {
    const SanCase cases[] = {
        {kStartFen, "e2e4", "e4"},
        {kStartFen, "g1f3", "Nf3"},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "e7e5", "e5"},
        // Disambiguation: by file, by rank, by both; a pinned twin needs none.
        {"4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1", "b1d2", "Nbd2"},
        {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a1a3", "R1a3"},
        {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a5a3", "R5a3"},
        {"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "a1b2", "Qa1b2"},
        {"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "a3b2", "Q3b2"},
        {"4k3/8/8/8/1b6/8/3N4/4K1N1 w - - 0 1", "g1f3", "Nf3"},
        // Captures, en passant, promotions.
        {"4k3/8/8/4p3/8/5N2/8/4K3 w - - 0 1", "f3e5", "Nxe5"},
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4d5", "exd5"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6"},
        {"8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8q", "e8=Q"},
        {"8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8n", "e8=N"},
        {"3r1k2/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7d8q", "exd8=Q+"},
        {"4k3/8/8/8/8/8/3p4/6K1 b - - 0 1", "d2d1r", "d1=R+"},
        // Castling, check and mate.
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", "O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", "O-O-O"},
        {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", "O-O+"},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", "a1a8", "Ra8+"},
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8", "Ra8#"},
        {"rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2", "d8h4", "Qh4#"},
        {"4k3/8/8/8/8/8/8/4K2R w - - 0 1", "e1f1", "Kf1"},
    };
    for (const auto& c : cases) {
        Board board = board_from_fen_text(c.fen);
        LegalMoves legal = legal_moves(board);
        Move m = legal_move(legal, c.uci);
        ASSERT_NE(m, 0u) << c.fen << " " << c.uci;
        EXPECT_STREQ(move_text(m), c.uci);
        EXPECT_EQ(san_text(board, legal, m), c.san) << c.fen << " " << c.uci;
    }
}

// An engine's reply is accepted only when it is a legal move, written exactly.
TEST(SelfplaySan, RejectsIllegalReplies) {
    const SanCase cases[] = {
        {kStartFen, "e2e5", nullptr},
        {kStartFen, "0000", nullptr},
        {kStartFen, "", nullptr},
        {kStartFen, "E2E4", nullptr},
        {"8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8", nullptr},  // a promotion needs its letter
        {"8/4P3/8/8/8/8/k7/4K3 w - - 0 1", "e7e8k", nullptr},
        {"4k3/8/8/8/8/8/8/4K2r w K - 0 1", "e1g1", nullptr},          // no rook to castle with, king in check
        {"4k3/8/8/8/1b6/8/3N4/4K3 w - - 0 1", "d2f3", nullptr},       // pinned
        {"4k3/4r3/8/8/8/8/8/3K4 w - - 0 1", "d1e1", nullptr},         // into check
        {"r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1", "e1g1", nullptr},  // f1 attacked
    };
    for (const auto& c : cases) {
        Board board = board_from_fen_text(c.fen);
        EXPECT_EQ(legal_move(legal_moves(board), c.uci), 0u) << c.fen << " " << c.uci;
    }
}

GameState game_after(const char* fen, const char* moves) {
    GameState game;
    start_game(game, fen);
    std::istringstream in(moves);
    for (std::string token; in >> token;) {
        Move m = legal_move(game.legal, token);
        EXPECT_NE(m, 0u) << token;
        if (!m) break;
        play_move(game, m);
    }
    return game;
}

struct EndingCase {
    const char* fen;
    const char* moves;
    Ending ending;
};

TEST(SelfplayRules, Endings) {
    const EndingCase cases[] = {
        {kStartFen, "", Ending::none},
        {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "", Ending::checkmate},
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "", Ending::stalemate},
        // The initial position for the third time after eight knight moves, not before.
        {kStartFen, "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1", Ending::none},
        {kStartFen, "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8", Ending::repetition},
        // A pawn move in between starts the count afresh.
        {kStartFen, "g1f3 g8f6 f3g1 f6g8 e2e3 g8f6 f1e2 f6g8 e2f1", Ending::none},
        // Castling rights lost by the king's walk make the later positions different.
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1f1 e8f8 f1e1 f8e8 e1f1 e8f8 f1e1 f8e8", Ending::none},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1f1 e8f8 f1e1 f8e8 e1f1 e8f8 f1e1 f8e8 e1f1 e8f8",
         Ending::repetition},
        {"8/8/4k3/8/8/3K4/8/8 w - - 0 1", "", Ending::insufficient_material},
        {"8/8/4k3/8/8/3K4/8/7N w - - 0 1", "", Ending::insufficient_material},
        {"8/8/4k3/8/8/3K4/8/7B w - - 0 1", "", Ending::insufficient_material},
        {"b7/8/4k3/8/8/3K4/8/7B w - - 0 1", "", Ending::insufficient_material},  // same-coloured bishops
        {"1b6/8/4k3/8/8/3K4/8/7B w - - 0 1", "", Ending::none},
        {"8/8/4k3/8/8/3K4/8/6NN w - - 0 1", "", Ending::none},
        {"8/8/4k3/8/8/3K4/7P/8 w - - 0 1", "", Ending::none},
        {"8/8/4k3/8/8/3K4/8/7R w - - 0 1", "", Ending::none},
        // The last capture leaves bare kings.
        {"8/8/4k3/4r3/8/3K4/8/4R3 w - - 0 1", "e1e5 e6e5", Ending::insufficient_material},
    };
    for (const auto& c : cases) {
        GameState game = game_after(c.fen, c.moves);
        EXPECT_EQ(game_ending(game), c.ending) << c.fen << " | " << c.moves << " | " << ending_name(game_ending(game));
    }
}

TEST(SelfplayRules, FiftyMovesButMateFirst) {
    GameState game = game_after("4k3/8/8/8/8/8/8/R3K3 w - - 0 1", "a1a2 e8d8 a2a1 d8e8");
    EXPECT_EQ(game.halfmove_clock, 4);
    game.halfmove_clock = 99;
    EXPECT_EQ(game_ending(game), Ending::none);
    game.halfmove_clock = 100;
    EXPECT_EQ(game_ending(game), Ending::fifty_moves);

    GameState mated = game_after("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8");
    mated.halfmove_clock = 100;
    EXPECT_EQ(game_ending(mated), Ending::checkmate);
}

// The en passant square makes positions differ only when the capture can be made.
TEST(SelfplayRules, EnPassantInRepetitionKey) {
    struct KeyCase {
        const char* with_square;
        const char* without;
        bool same;
    };
    const KeyCase cases[] = {
        {"4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1", "4k3/8/8/8/4P3/8/8/4K3 b - - 0 1", true},
        {"4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", "4k3/8/8/8/3pP3/8/8/4K3 b - - 0 1", false},
        // The capture would expose the black king: not really there.
        {"8/8/8/8/k2pP2R/8/8/4K3 b - e3 0 1", "8/8/8/8/k2pP2R/8/8/4K3 b - - 0 1", true},
    };
    for (const auto& c : cases) {
        Board a = board_from_fen_text(c.with_square), b = board_from_fen_text(c.without);
        EXPECT_EQ(position_key(a, legal_moves(a)) == position_key(b, legal_moves(b)), c.same) << c.with_square;
    }
}

// ---- The tool itself ----------------------------------------------------------

driver::ProgramRun run_tool(const std::string& arguments) { return run_selfplay(driver::split_command(arguments)); }

std::string temp_dir() {
    char pattern[] = "/tmp/vargul_selfplay_XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int count_of(const std::string& text, const std::string& word) {
    int n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

bool tool_built() { return access((std::string(VARGUL_TOOLS_DIR) + "/selfplay").c_str(), X_OK) == 0; }

TEST(SelfplayTool, TwoQuickGamesWithoutFaults) {
    ASSERT_TRUE(tool_built()) << "build the selfplay target";
    std::string pgn = temp_dir() + "/games.pgn";
    driver::ProgramRun run =
        run_tool("--games 2 --depth 2 --engine " + std::string(VARGUL_ENGINE_PATH) + " --pgn " + pgn);
    EXPECT_EQ(run.exit_status, 0) << run.output;
    EXPECT_NE(run.output.find("games 2\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("illegal moves 0, crashes 0, hangs 0, time forfeits 0, stray lines 0, ERROR lines 0\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("average depth 2.00 over "), std::string::npos) << run.output;
    std::string games = read_file(pgn);
    EXPECT_EQ(count_of(games, "[Result \""), 2) << games;
    EXPECT_NE(games.find("1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 "), std::string::npos) << games;
    std::remove(pgn.c_str());
    rmdir(pgn.substr(0, pgn.rfind('/')).c_str());
}

// Fake engines that break the protocol in one way each: the tool must see it,
// count it and fail.
struct FakeCase {
    const char* name;
    const char* on_go;  // shell commands run for every "go"
    const char* flags;
    const char* expected_counts;
};

TEST(SelfplayTool, CatchesMisbehavingEngines) {
    ASSERT_TRUE(tool_built()) << "build the selfplay target";
    const FakeCase cases[] = {
        {"illegal move", "echo 'bestmove e2e5'", "--depth 1",
         "illegal moves 2, crashes 0, hangs 0, time forfeits 0, stray lines 0, ERROR lines 0"},
        {"stray and ERROR lines", "echo hello; echo 'ERROR from/to(Deepening)'; echo 'bestmove e2e5'", "--depth 1",
         "illegal moves 2, crashes 0, hangs 0, time forfeits 0, stray lines 2, ERROR lines 2"},
        {"crash during a search", "exit 3", "--depth 1",
         "illegal moves 0, crashes 2, hangs 0, time forfeits 0, stray lines 0, ERROR lines 0"},
        {"no reply", ":", "--depth 1 --timeout 300",
         "illegal moves 0, crashes 0, hangs 2, time forfeits 0, stray lines 0, ERROR lines 0"},
        {"too slow for the clock", "sleep 0.3; echo 'bestmove d2d4'", "--tc 100+0",
         "illegal moves 0, crashes 0, hangs 0, time forfeits 2, stray lines 0, ERROR lines 0"},
    };
    const std::string dir = temp_dir();
    for (const auto& c : cases) {
        const std::string engine = dir + "/fake";
        {
            std::ofstream script(engine);
            script << "#!/bin/sh\n"
                      "while read line; do\n"
                      "  case \"$line\" in\n"
                      "    uci) echo 'id name fake'; echo 'uciok';;\n"
                      "    isready) echo 'readyok';;\n"
                      "    go*) echo 'info  nps 1 depth 7 score cp 0 nodes 1 pv a2a3'; "
                   << c.on_go
                   << ";;\n"
                      "    quit) exit 1;;\n"
                      "  esac\n"
                      "done\n";
        }
        chmod(engine.c_str(), 0755);
        driver::ProgramRun run = run_tool("--games 2 --engine " + engine + " " + c.flags);
        EXPECT_EQ(run.exit_status, 1) << c.name << "\n" << run.output;
        EXPECT_NE(run.output.find(c.expected_counts), std::string::npos) << c.name << "\n" << run.output;
        EXPECT_NE(run.output.find("FAULTS SEEN"), std::string::npos) << c.name;
        std::remove(engine.c_str());
    }
    rmdir(dir.c_str());
}

}  // namespace

}  // namespace vargul
