// Soak: a long random stream of commands against one engine process, the way
// a careless driver would talk to it. Valid and invalid commands, positions
// from real games and broken ones, searches with small limits, "stop" and odd
// lines sent during searches. Every reply is checked as it comes:
//   - every "go" is answered by exactly one "bestmove", and for a position of
//     a real game the move is legal (or "0000" when there is none);
//   - every "isready" by "readyok" and an empty line, every "uci" by its four lines;
//   - an unknown line by one warning, a clean move list by none;
//   - no "ERROR" or self-test line, no line that is none of the replies;
//   - no crash, no hang, and exit status 1 after the final "quit".
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "position/keys.h"
#include "selfplay_rules.h"
#include "support/board_helpers.h"
#include "support/processes.h"

namespace vargul {

namespace {

using namespace selfplay;

constexpr int kReplyTimeoutMs = 30000;  // far beyond any search this stream asks for

int stream_lines() {
    // A shorter stream for a quick local run; the soak itself uses the full length.
    if (const char* text = std::getenv("VARGUL_SOAK_LINES")) return std::max(100, std::atoi(text));
    return 100000;
}

// Real positions to start games from, and broken ones (no king, rights that
// do not fit, pawns on the back rank, nine queens) that only need a sane answer.
constexpr const char* kGameStarts[] = {
    kStartFen,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "4k3/P7/8/8/8/8/7p/4K3 w - - 0 1",
    "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1",  // mate in one
    "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",     // stalemate
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
};
constexpr const char* kBrokenPositions[] = {
    "position fen 8/8/8/8/8/8/8/8 w - - 0 1",
    "position fen 4k3/8/8/8/8/8/8/8 w - - 0 1",
    "position fen 4k3/8/8/8/8/8/8/4K3 w KQkq e3 0 1",
    "position fen k7/8/8/8/8/8/8/K6q b KQkq - 0 1",
    "position fen PPPPk3/8/8/8/8/8/8/4K2p w - - 0 1",
    "position fen QQQQQQQQ/QQQQQQQQ/8/8/8/8/qqqqqqqq/kK6 w - - 0 1",
    "position fen 4kk2/8/8/8/8/8/8/3KK3 b - - 0 1",
    "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
    "position fen 9/99/ppppppppppppppppp/KKKKKKKK/// w",
    "position fen ",
    "position xyz",
    "position startpos moves e2e5 e2e4 e7e5 a7a8Q e1e1 h9h1 e2",
    "position startpos moves  e2e4",
    "position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8n e8e7 a8b6r",
};
// Lines the loop answers with the warning: none of them is a command.
constexpr const char* kUnknownLines[] = {
    "",      "uci ", "Uci",   "isready ",     "debug",      "position",
    "quit ", "Quit", "stop ", "ucinewgame ",  "ponderhit ", "setoption",
    "xyzzy", " go",  "\tgo",  "\x01\x02\x03", "\xff\xfe",   "isreadyisready",
};
// Accepted without a reply, whether the loop or the in-search poll reads them.
constexpr const char* kSilentLines[] = {
    "ucinewgame",
    "debug on",
    "debug off",
    "ponderhit",
    "stop",
    "setoption name Ponder value true",
    "setoption name Hash value -1",
    "setoption name UCI_Chess960 value false",
};

struct Expectation {
    enum Kind { exact, move_errors, search, ready } kind;
    std::string line;                 // exact
    int at_most = 0;                  // move_errors: how many may come
    const GameState* game = nullptr;  // search: the position, when it is a real game's
    bool null_move_only = false;      // search: "go depth 0" and the like
    std::string command;              // for the failure message
};

struct Figures {
    long lines = 0, searches = 0, stops = 0, readies = 0, unknown = 0, positions = 0, broken = 0;
    long info_lines = 0, null_moves = 0, longest_reply_ms = 0;
};

class Stream {
public:
    explicit Stream(std::uint64_t seed) : random_(seed) {}

    void run() {
        ASSERT_TRUE(start_engine(engine_));
        send("uci");
        expect_identification();
        send("setoption name Hash value 4");
        const int total = stream_lines();
        while (figures_.lines < total - 1 && !failed_) step();
        if (failed_) return;
        check_pending();
        send("quit");
        engine_.close_input();
        // Move errors of a last position may still come; nothing else may.
        std::string line;
        while (engine_.read_line(line, 5000))
            if (line != "WARNING ! moves error") fail("a line after quit: " + line);
        const int status = engine_.wait_exit(10000);
        EXPECT_EQ(status, 1) << "exit status after quit";
    }

    const Figures& figures() const { return figures_; }

private:
    int pick(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    template <class T, std::size_t N> const T& any(const T (&items)[N]) { return items[pick(static_cast<int>(N))]; }

    void send(const std::string& line) {
        engine_.send(line + "\n");
        if (std::getenv("SOAKDBG")) std::fprintf(stderr, "> %.150s\n", line.c_str());
        ++figures_.lines;
    }

    void fail(const std::string& what) {
        if (!failed_) ADD_FAILURE() << what << " (after " << figures_.lines << " lines)";
        failed_ = true;
    }

    // One step of the stream: a command, and at times the wait for its reply.
    void step() {
        const int roll = pick(100);
        if (roll < 22) {
            send_game_position();
        } else if (roll < 27) {
            send_broken_position();
        } else if (roll < 47) {
            send_go();
        } else if (roll < 57) {
            send_isready();
        } else if (roll < 72) {
            send(any(kUnknownLines));
            expected_.push_back({Expectation::exact, "WARNING ! Unknown command", 0, nullptr, false, "unknown"});
            ++figures_.unknown;
        } else if (roll < 85) {
            send(any(kSilentLines));
        } else if (roll < 92) {
            static constexpr int kSizes[] = {0, 1, 2, 4, 8, 16};
            send("setoption name Hash value " + std::to_string(any(kSizes)));
        } else if (roll < 93) {
            send("uci");
            expect_identification();
        } else if (roll < 96) {
            send_crlf_line();
        } else {
            send_odd_line();
        }
        // Keep the replies that nobody waits for well below a pipe's capacity.
        if (expected_.size() > 40) {
            send_isready();
        }
    }

    void send_isready() {
        send("isready");
        expected_.push_back({Expectation::ready, "", 0, nullptr, false, "isready"});
        ++figures_.readies;
        check_pending();
    }

    void expect_identification() {
        for (const char* line : {"id name Vargul_b3_3 Beta ", "id author Marlovek21",
                                 "option name Hash type spin default 32 min 1 max 1024", "uciok"})
            expected_.push_back({Expectation::exact, line, 0, nullptr, false, "uci"});
    }

    // A position of a real game: the game so far plus a few random legal moves,
    // or a new game. The engine must find no fault with it.
    void send_game_position() {
        if (game_.legal.count == 0 || game_.uci_moves.size() > 300 || chance(10)) {
            start_fen_ = any(kGameStarts);
            start_game(game_, start_fen_);
        }
        for (int n = pick(4); n > 0 && game_.legal.count > 0; --n)
            play_move(game_, game_.legal.move[pick(game_.legal.count)]);
        std::string line = start_fen_ == kStartFen && chance(70) ? "position startpos" : "position fen " + start_fen_;
        if (!game_.uci_moves.empty() || chance(20)) line += " moves";
        for (const std::string& m : game_.uci_moves) line += " " + m;
        send(line);
        expected_.push_back({Expectation::move_errors, "", 0, nullptr, false, line});
        clean_ = true;
        ++figures_.positions;
    }

    void send_broken_position() {
        // Move errors carry no mark of the line they answer: a sync keeps a
        // clean position's (none) apart from these.
        if (!expected_.empty() && expected_.back().kind == Expectation::move_errors) send_isready();
        std::string line = any(kBrokenPositions);
        if (chance(30)) line += " moves e7e5 e2e4 g1f3 x";
        send(line);
        expected_.push_back({Expectation::move_errors, "", 1000, nullptr, false, line});
        clean_ = false;
        ++figures_.broken;
    }

    std::string go_line(bool& null_move_only, bool& needs_stop) {
        null_move_only = false;
        needs_stop = false;
        switch (pick(12)) {
            case 0: return "go";
            case 1: return "go depth " + std::to_string(1 + pick(3));
            case 2: return "go depth " + std::to_string(2 + pick(3)) + " searchmoves e2e4 ponder";
            case 3: return "go movetime " + std::to_string(1 + pick(30));
            case 4:
                return "go wtime " + std::to_string(100 + pick(2000)) + " btime " + std::to_string(100 + pick(2000)) +
                       " winc 10 binc 10";
            case 5: return "go btime 500 wtime 700 movestogo 3";
            case 6: null_move_only = true; return pick(2) ? "go depth 0" : "go depth -5";
            case 7: needs_stop = true; return "go infinite";
            case 8: return "gone";
            case 9: return "go depth";  // a keyword without its number counts as absent: depth 1
            case 10: null_move_only = true; return "go depth infinite";  // "infinite" is read as the depth, 0
            default: return "go wtime 50 btime 50";
        }
    }

    void send_go() {
        bool null_move_only = false, needs_stop = false;
        const std::string line = go_line(null_move_only, needs_stop);
        send(line);
        ++figures_.searches;
        // Lines sent during the search: the poll may read and drop them, or the
        // loop may read them after "bestmove"; either way they must do no harm.
        int unknown_during = 0;
        if (needs_stop || chance(10)) {
            for (int n = pick(3); n > 0; --n) {
                if (chance(50)) {
                    send(any(kSilentLines));
                } else {
                    send(any(kUnknownLines));
                    ++unknown_during;
                }
            }
            send("stop");
            ++figures_.stops;
        }
        expected_.push_back({Expectation::search, "", 0, clean_ ? &game_ : nullptr, null_move_only, line});
        check_pending();
        if (unknown_during > 0) {
            // What the loop read after the search shows up before the next "readyok".
            send("isready");
            ++figures_.readies;
            int warnings = 0;
            for (;;) {
                if (!take("isready after a search")) return;
                if (line_ == "readyok") break;
                if (line_ != "WARNING ! Unknown command") return fail("unexpected line after a search: " + line_);
                ++warnings;
            }
            if (warnings > unknown_during) fail("more warnings than unknown lines sent during a search");
            if (take("isready after a search") && !line_.empty()) fail("no empty line after readyok: " + line_);
        }
    }

    // Commands with the "\r\n" line end of other systems: the engine drops the "\r".
    void send_crlf_line() {
        if (chance(50)) {
            send("isready\r");
            expected_.push_back({Expectation::ready, "", 0, nullptr, false, "isready with CR LF"});
            ++figures_.readies;
            check_pending();
        } else {
            send("xyz\r");
            expected_.push_back({Expectation::exact, "WARNING ! Unknown command", 0, nullptr, false, "xyz CR LF"});
            ++figures_.unknown;
        }
    }

    // Long lines and bytes no driver should send; each is one unknown command.
    void send_odd_line() {
        std::string line;
        switch (pick(4)) {
            case 0: line = std::string(1000 + pick(64000), 'x'); break;
            case 1: line = std::string(kMaxLength, 'y'); break;  // the longest line still read
            case 2:
                for (int n = 1 + pick(200); n > 0; --n) line += static_cast<char>(1 + pick(255));  // no zero byte
                if (line.find('\n') != std::string::npos) line.assign(1, '#');
                break;
            default: line = std::string("\0go depth 20", 12); break;  // the text ends at the zero: an empty line
        }
        // A line of random bytes could start with a command word; give it one that none has.
        if (!line.empty() && line[0] != '\0') line[0] = '#';
        if (line.size() > 1 && line.back() == '\r') line.back() = '#';
        send(line);
        expected_.push_back({Expectation::exact, "WARNING ! Unknown command", 0, nullptr, false, "odd line"});
        ++figures_.unknown;
    }

    // The next reply line into line_: the one read ahead, if any, else a new one.
    bool take(const std::string& waiting_for) {
        if (have_line_) {
            have_line_ = false;
            return true;
        }
        if (!engine_.read_line(line_, kReplyTimeoutMs)) {
            fail("no reply to \"" + waiting_for.substr(0, 80) + "\": the engine hung or died");
            return false;
        }
        if (line_.rfind("ERROR", 0) == 0 || line_.rfind("white test_", 0) == 0) fail("self-test line: " + line_);
        return true;
    }

    // Reads every reply still owed, in order.
    void check_pending() {
        while (!expected_.empty() && !failed_) {
            const Expectation e = expected_.front();
            // Move errors are optional lines: they are counted only once
            // something else is owed after them, so reading never waits for a
            // line that may not come.
            if (e.kind == Expectation::move_errors && expected_.size() == 1) return;
            expected_.pop_front();
            switch (e.kind) {
                case Expectation::exact:
                    if (!take(e.command)) return;
                    if (line_ != e.line)
                        return fail("after \"" + e.command + "\" expected \"" + e.line + "\", got \"" + line_ + "\"");
                    break;
                case Expectation::move_errors:
                    for (int count = 0;; ++count) {
                        if (!take(e.command)) return;
                        if (line_ != "WARNING ! moves error") break;
                        if (count == e.at_most)
                            return fail("moves error after a clean position: " + e.command.substr(0, 200));
                    }
                    have_line_ = true;  // the line after them belongs to the next reply
                    break;
                case Expectation::ready:
                    if (!take(e.command)) return;
                    if (line_ != "readyok") return fail("expected \"readyok\", got \"" + line_ + "\"");
                    if (!take(e.command)) return;
                    if (!line_.empty()) return fail("expected the empty line after readyok, got \"" + line_ + "\"");
                    break;
                case Expectation::search: check_search(e); break;
            }
        }
    }

    void check_search(const Expectation& e) {
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            if (!take(e.command)) return;
            if (line_.rfind("bestmove ", 0) == 0) break;
            if (line_.rfind("info ", 0) != 0 && !line_.empty())
                return fail("unexpected line during \"" + e.command + "\": " + line_);
            ++figures_.info_lines;
        }
        const long ms = static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
        figures_.longest_reply_ms = std::max(figures_.longest_reply_ms, ms);
        const std::string move = line_.substr(9);
        if (move == "0000") ++figures_.null_moves;
        if (!well_formed(move)) return fail("malformed bestmove: " + line_);
        if (e.null_move_only && move != "0000") return fail("\"" + e.command + "\" answered " + line_);
        if (e.game && !e.null_move_only) {
            const bool none = e.game->legal.count == 0;
            if (none ? move != "0000" : legal_move(e.game->legal, move) == 0)
                fail("\"" + line_ + "\" is not the answer for position " + start_fen_ + " moves " + moves_of(*e.game));
        }
    }

    static bool well_formed(const std::string& m) {
        if (m == "0000") return true;
        if (m.size() != 4 && m.size() != 5) return false;
        auto file = [](char c) { return c >= 'a' && c <= 'h'; };
        auto rank = [](char c) { return c >= '1' && c <= '8'; };
        if (!file(m[0]) || !rank(m[1]) || !file(m[2]) || !rank(m[3])) return false;
        return m.size() == 4 || std::string("qrbn").find(m[4]) != std::string::npos;
    }

    static std::string moves_of(const GameState& g) {
        std::string text;
        for (const std::string& m : g.uci_moves) text += m + " ";
        return text;
    }

    static constexpr std::size_t kMaxLength = 65535;

    std::mt19937_64 random_;
    driver::EnginePipe engine_;
    std::deque<Expectation> expected_;
    GameState game_;
    std::string start_fen_ = kStartFen;
    std::string line_;        // the reply line last read
    bool have_line_ = false;  // line_ was read ahead and not yet consumed
    bool clean_ = false;
    bool failed_ = false;
    Figures figures_;
};

TEST(Soak, RandomCommandStreamAgainstOneEngine) {
    Stream stream(20240607);
    stream.run();
    const Figures& f = stream.figures();
    std::printf(
        "command stream: %ld lines, %ld searches (%ld with stop, %ld bestmove 0000), %ld isready, "
        "%ld unknown lines, %ld game positions, %ld broken positions, %ld info lines, longest reply %ld ms\n",
        f.lines, f.searches, f.stops, f.null_moves, f.readies, f.unknown, f.positions, f.broken, f.info_lines,
        f.longest_reply_ms);
}

}  // namespace

}  // namespace vargul
