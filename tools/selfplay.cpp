// build/selfplay [--games N] [--tc BASE+INC] [--depth N] [--movetime MS]
//                [--pgn FILE] [--concurrency N] [--engine PATH] [--max-plies N] [--timeout MS]
//                [--results FILE] [--opponent CMD] [--opponent-option NAME=VALUE]... [--opponent-name NAME]
//                [--vargul-go WORDS] [--opponent-go WORDS]
// Plays the engine against itself, or against another UCI engine, through
// two engine processes over pipes, as a chess GUI would, and referees every
// move. Prints one line per game and a summary; the exit status is 1 when any
// fault of Vargul's was seen (an illegal move, a crash, a hang, a time
// forfeit, a stray or "ERROR" line), 2 on bad arguments. An opponent's
// faults are counted and lose it the game, but do not fail the run.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/elo.h"
#include "driver/engine_pipe.h"
#include "driver/selfplay_options.h"
#include "platform/decimal.h"
#include "selfplay_rules.h"

namespace vargul {

namespace {

using namespace selfplay;
using driver::EngineOption;
using driver::MatchSettings;

struct Opening {
    const char* name;
    const char* fen;  // nullptr: the initial position
    const char* moves;
};

// Short, varied starts; each is played twice, with colours swapped.
constexpr Opening kOpenings[] = {
    {"Spanish", nullptr, "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6"},
    {"Italian", nullptr, "e2e4 e7e5 g1f3 b8c6 f1c4 f8c5"},
    {"Two knights, castled", nullptr, "e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 d2d4 e5d4 e1g1"},
    {"Scotch", nullptr, "e2e4 e7e5 g1f3 b8c6 d2d4 e5d4 f3d4"},
    {"Petroff", nullptr, "e2e4 e7e5 g1f3 g8f6 f3e5 d7d6 e5f3 f6e4"},
    {"King's gambit", nullptr, "e2e4 e7e5 f2f4 e5f4 g1f3"},
    {"Sicilian", nullptr, "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3 a7a6"},
    {"French", nullptr, "e2e4 e7e6 d2d4 d7d5 b1c3 g8f6"},
    {"Caro-Kann", nullptr, "e2e4 c7c6 d2d4 d7d5 b1c3 d5e4 c3e4"},
    {"Scandinavian", nullptr, "e2e4 d7d5 e4d5 d8d5 b1c3 d5a5"},
    {"Pirc", nullptr, "e2e4 d7d6 d2d4 g8f6 b1c3 g7g6"},
    {"Alekhine", nullptr, "e2e4 g8f6 e4e5 f6d5 d2d4 d7d6"},
    {"Queen's gambit declined", nullptr, "d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7"},
    {"Queen's gambit accepted", nullptr, "d2d4 d7d5 c2c4 d5c4 g1f3 g8f6 e2e3"},
    {"Slav", nullptr, "d2d4 d7d5 c2c4 c7c6 g1f3 g8f6 b1c3"},
    {"King's Indian", nullptr, "d2d4 g8f6 c2c4 g7g6 b1c3 f8g7 e2e4 d7d6"},
    {"Nimzo-Indian", nullptr, "d2d4 g8f6 c2c4 e7e6 b1c3 f8b4"},
    {"Dutch", nullptr, "d2d4 f7f5 g2g3 g8f6 f1g2 e7e6"},
    {"English", nullptr, "c2c4 e7e5 b1c3 g8f6 g2g3 d7d5 c4d5 f6d5"},
    {"Reti", nullptr, "g1f3 d7d5 c2c4 e7e6 g2g3"},
    {"London", nullptr, "d2d4 d7d5 c1f4 g8f6 e2e3 c7c5"},
    {"En passant offered", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", ""},
    {"Rook endgame", "1K1k4/1P6/8/8/8/8/r7/2R5 w - - 0 1", ""},
    {"Pawn race", "8/p7/8/8/8/8/6P1/k5K1 w - - 0 1", ""},
};
constexpr int kOpeningCount = sizeof kOpenings / sizeof kOpenings[0];

// Faults and statistics of one side (Vargul, or the opponent), one per
// worker, added up at the end.
struct SideCounts {
    long illegal = 0, crashes = 0, hangs = 0, forfeits = 0, stray = 0, errors = 0;
    long depth_sum = 0, depth_count = 0;
    long longest_reply_ms = 0;
    std::string longest_reply_at;  // the commands that asked for it, to replay the search
    long faults() const { return illegal + crashes + hangs + forfeits + stray + errors; }
    void add(const SideCounts& t) {
        illegal += t.illegal, crashes += t.crashes, hangs += t.hangs, forfeits += t.forfeits;
        stray += t.stray, errors += t.errors, depth_sum += t.depth_sum, depth_count += t.depth_count;
        if (t.longest_reply_ms > longest_reply_ms) {
            longest_reply_ms = t.longest_reply_ms;
            longest_reply_at = t.longest_reply_at;
        }
    }
};

enum SideIndex { kVargul = 0, kOpponent = 1 };

struct GameRecord {
    int round = 0;
    const Opening* opening = nullptr;
    bool a_is_white = true;    // slot A is always Vargul
    std::string result = "*";  // "1-0", "0-1", "1/2-1/2"
    std::string reason;
    std::vector<std::string> san_moves;
    std::string start_fen;
    int plies = 0;
};

std::mutex print_mutex;

void report(const std::string& message) {
    std::lock_guard<std::mutex> lock(print_mutex);
    std::fprintf(stderr, "%s\n", message.c_str());
}

std::string in_game(const std::string& label, int round) {
    return label + (round > 0 ? " (game " + std::to_string(round) + ")" : "");
}

long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int ms_until(long deadline_ms) { return static_cast<int>(std::max(0L, deadline_ms - now_ms())); }

// ---- An engine process behind two pipes ------------------------------------

// Vargul is held to every line it writes. Another engine is held only to
// what the game needs: it may write banners and info lines of any shape.
struct EngineProcess {
    std::string label;  // "engine A", "engine B", "Vargul", "opponent"
    SideIndex side = kVargul;
    bool strict = true;
    std::vector<std::string> command;
    std::vector<EngineOption> options;
    std::string id_name;   // from its "id name" line
    std::string fixed_go;  // its level ("depth 3"): sent instead of the clock, which it then does not use
    driver::EnginePipe pipe;
};

bool send(EngineProcess& e, const std::string& line) { return e.pipe.send(line + "\n"); }

// What the opponent calls itself, from the first handshake of any worker.
std::mutex name_mutex;
std::string opponent_id_name;

// Lines Vargul may write outside a search: its identification and "readyok".
// Self-test diagnostics count as ERROR lines, anything else unexpected as stray.
void note_line(const EngineProcess& e, const std::string& line, int round, SideCounts& counts) {
    if (!e.strict) return;
    if (line.rfind("ERROR", 0) == 0 || line.rfind("white test_", 0) == 0) {
        ++counts.errors;
        report(in_game(e.label, round) + " wrote an ERROR line: " + line);
    } else if (!line.empty()) {
        ++counts.stray;
        report(in_game(e.label, round) + " wrote a stray line: " + line);
    }
}

// "uci" up to "uciok", then the engine's options, which the next "isready" confirms.
bool handshake(EngineProcess& e, int round, SideCounts& counts) {
    if (!e.pipe.start(e.command) || !send(e, "uci")) return false;
    std::string line;
    const long deadline = now_ms() + 10000;
    for (;;) {
        if (!e.pipe.read_line(line, ms_until(deadline))) return false;
        if (line.rfind("uciok", 0) == 0) break;
        if (line.rfind("id name ", 0) == 0) e.id_name = line.substr(8);
        if (line.rfind("id ", 0) != 0 && line.rfind("option ", 0) != 0) note_line(e, line, round, counts);
    }
    if (!e.strict && !e.id_name.empty()) {
        std::lock_guard<std::mutex> lock(name_mutex);
        if (opponent_id_name.empty()) opponent_id_name = e.id_name;
    }
    for (const EngineOption& option : e.options)
        if (!send(e, setoption_command(option))) return false;
    return true;
}

bool ready(EngineProcess& e, int round, SideCounts& counts) {
    if (!send(e, "ucinewgame") || !send(e, "isready")) return false;
    std::string line;
    const long deadline = now_ms() + 10000;
    for (;;) {
        if (!e.pipe.read_line(line, ms_until(deadline))) return false;
        if (line.rfind("readyok", 0) == 0) return true;
        note_line(e, line, round, counts);
    }
}

// Vargul's "quit" ends it with status 1; whatever it still writes is checked.
void quit_engine(EngineProcess& e, int round, SideCounts& counts) {
    if (!e.pipe.running()) return;
    send(e, "quit");
    e.pipe.close_input();
    std::string line;
    const long deadline = now_ms() + 5000;
    while (e.pipe.read_line(line, ms_until(deadline))) note_line(e, line, round, counts);
    const int status = e.pipe.wait_exit(5000);  // kills it on time-out
    if (status == -1) {
        ++counts.hangs;
        report(in_game(e.label, round) + " did not end after quit");
    } else if (e.pipe.signalled()) {
        ++counts.crashes;
        report(in_game(e.label, round) + " died by a signal after quit");
    }
}

// ---- One game ---------------------------------------------------------------

struct Worker {
    const MatchSettings* settings = nullptr;
    EngineProcess engines[2];  // slot A (Vargul), slot B (Vargul again, or the opponent)
    SideCounts counts[2];      // by SideIndex
};

bool against_opponent(const MatchSettings& s) { return !s.opponent.empty(); }

// The name the opponent goes by in the PGN and the summary.
std::string opponent_name(const MatchSettings& s) {
    if (!against_opponent(s)) return "Vargul B";
    if (!s.opponent_name.empty()) return s.opponent_name;
    std::lock_guard<std::mutex> lock(name_mutex);
    if (!opponent_id_name.empty()) return opponent_id_name;
    return s.opponent[0].substr(s.opponent[0].rfind('/') + 1);
}

// The go command a GUI would send for the side to move.
std::string go_command(const MatchSettings& s, const EngineProcess& e, long white_clock, long black_clock) {
    if (!e.fixed_go.empty()) return "go " + e.fixed_go;
    if (s.depth >= 0) return "go depth " + std::to_string(s.depth);
    if (s.movetime_ms >= 0) return "go movetime " + std::to_string(s.movetime_ms);
    return "go wtime " + std::to_string(white_clock) + " btime " + std::to_string(black_clock) + " winc " +
           std::to_string(s.increment_ms) + " binc " + std::to_string(s.increment_ms);
}

std::string position_command(const GameRecord& game, const std::vector<std::string>& moves) {
    std::string text = game.opening->fen ? std::string("position fen ") + game.opening->fen : "position startpos";
    if (!moves.empty()) {
        text += " moves";
        for (const std::string& m : moves) text += " " + m;
    }
    return text;
}

// The depth of one of Vargul's iteration lines: "info  nps ... depth N ...".
int reported_depth(const std::string& line) {
    if (line.rfind("info", 0) != 0 || line.find(" nps ") == std::string::npos) return -1;
    std::size_t at = line.find(" depth ");
    return at == std::string::npos ? -1 : leading_int32(after_blanks(line.c_str() + at + 7));
}

// The move of "bestmove e2e4" or "bestmove e2e4 ponder e7e5".
std::string bestmove_text(const std::string& line) {
    std::size_t start = line.find_first_not_of(' ', 8);
    if (start == std::string::npos) return "";
    std::size_t end = line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The opening's moves played from its position; false when the rules refuse
// one of them, which ends the run.
bool play_opening(GameRecord& game, GameState& state) {
    game.start_fen = game.opening->fen ? game.opening->fen : kStartFen;
    start_game(state, game.start_fen);
    for (const char* p = game.opening->moves; *p;) {
        std::string token;
        while (*p && *p != ' ') token += *p++;
        while (*p == ' ') ++p;
        Move m = legal_move(state.legal, token);
        if (!m) {
            report(std::string("opening ") + game.opening->name + ": move " + token + " is not legal");
            return false;
        }
        play_move(state, m);
    }
    return true;
}

// A crashed or killed engine is replaced before the game starts; false when
// one cannot be started, which ends the run.
bool make_engines_ready(Worker& w, int round) {
    for (EngineProcess& e : w.engines) {
        SideCounts& counts = w.counts[e.side];
        if (e.pipe.running() && ready(e, round, counts)) continue;
        if (e.pipe.running()) {
            ++counts.crashes;
            report(in_game(e.label, round) + " does not answer isready");
            e.pipe.kill();
        }
        if (!handshake(e, round, counts) || !ready(e, round, counts)) {
            std::string command;
            for (const std::string& word : e.command) command += (command.empty() ? "" : " ") + word;
            report("cannot start " + in_game(e.label, round) + " from " + command);
            return false;
        }
    }
    return true;
}

void finish(GameRecord& game, const char* result, const std::string& reason) {
    game.result = result;
    game.reason = reason;
}

// Ends the game when the rules or the ply cap say it is over.
bool game_over(const GameState& state, const MatchSettings& s, GameRecord& game) {
    Ending ending = game_ending(state);
    const int mover = index_of(state.board.side_to_move);
    if (ending == Ending::checkmate) {
        finish(game, mover == 1 ? "0-1" : "1-0", "checkmate");
        return true;
    }
    if (ending != Ending::none) {
        finish(game, "1/2-1/2", ending_name(ending));
        return true;
    }
    if (static_cast<int>(state.san_moves.size()) >= s.max_plies) {
        finish(game, "1/2-1/2", "ply cap");
        return true;
    }
    return false;
}

// What an engine wrote for one "go": its move, and the last depth it reported.
struct Reply {
    std::string best;
    int depth = -1;
    bool answered = false;
};

Reply read_reply(EngineProcess& e, int round, SideCounts& counts, long deadline) {
    Reply reply;
    std::string line;
    while (e.pipe.read_line(line, ms_until(deadline))) {
        if (line.rfind("bestmove", 0) == 0) {
            reply.best = bestmove_text(line);
            reply.answered = true;
            break;
        }
        if (line.rfind("info", 0) == 0) {
            if (int d = reported_depth(line); d >= 0) reply.depth = d;
            continue;
        }
        note_line(e, line, round, counts);
    }
    return reply;
}

// A reply that never came loses the game: the engine crashed or hung.
bool reply_missing(EngineProcess& e, GameRecord& game, SideCounts& counts, const Reply& reply, long elapsed,
                   const char* loss) {
    if (reply.answered) return false;
    if (e.pipe.ended()) {
        ++counts.crashes;
        report(in_game(e.label, game.round) + ": output ended during a search");
        e.pipe.kill();
        finish(game, loss, e.label + " crashed");
        return true;
    }
    ++counts.hangs;
    report(in_game(e.label, game.round) + ": no bestmove within " + std::to_string(elapsed) + " ms");
    e.pipe.kill();
    finish(game, loss, e.label + " hung");
    return true;
}

// Under a clock, the time taken comes off the mover's clock and the increment
// goes on; a clock run below zero loses the game.
bool lost_on_time(const MatchSettings& s, EngineProcess& e, GameRecord& game, SideCounts& counts, long& clock,
                  long elapsed, const char* loss) {
    if (s.depth >= 0 || s.movetime_ms >= 0 || !e.fixed_go.empty()) return false;
    clock -= elapsed;
    if (clock < 0) {
        ++counts.forfeits;
        report(in_game(e.label, game.round) + " lost on time: " + std::to_string(elapsed) + " ms with " +
               std::to_string(clock + elapsed) + " ms left");
        finish(game, loss, e.label + " lost on time");
        return true;
    }
    clock += s.increment_ms;
    return false;
}

// The side to move's engine asked for a move, the move checked and played;
// false, with the result set, when the turn ends the game instead.
bool play_turn(Worker& w, GameRecord& game, GameState& state, long clock[2]) {
    const MatchSettings& s = *w.settings;
    const int mover = index_of(state.board.side_to_move);
    EngineProcess& e = w.engines[(mover == 1) == game.a_is_white ? 0 : 1];
    SideCounts& counts = w.counts[e.side];
    const char* loss = mover == 1 ? "0-1" : "1-0";
    std::vector<std::string> all_moves = state.uci_moves;
    long allowed = s.depth >= 0 || !e.fixed_go.empty() ? 0 : s.movetime_ms >= 0 ? s.movetime_ms : clock[mover];
    long start = now_ms();
    if (!send(e, position_command(game, all_moves)) || !send(e, go_command(s, e, clock[1], clock[0]))) {
        ++counts.crashes;
        report(in_game(e.label, game.round) + ": its input is closed");
        e.pipe.kill();
        finish(game, loss, e.label + " crashed");
        return false;
    }
    const Reply reply = read_reply(e, game.round, counts, start + std::max(allowed, 0L) + s.timeout_ms);
    const long elapsed = now_ms() - start;
    if (elapsed > counts.longest_reply_ms) {
        counts.longest_reply_ms = elapsed;
        counts.longest_reply_at = "game " + std::to_string(game.round) + ": " + position_command(game, all_moves) +
                                  " / " + go_command(s, e, clock[1], clock[0]);
    }
    if (reply_missing(e, game, counts, reply, elapsed, loss)) return false;
    if (reply.depth >= 0 && e.strict) counts.depth_sum += reply.depth, ++counts.depth_count;

    Move m = legal_move(state.legal, reply.best);
    if (!m) {
        ++counts.illegal;
        report(in_game(e.label, game.round) + " played an illegal move: \"" + reply.best + "\" after " +
               position_command(game, all_moves));
        finish(game, loss, "illegal move " + reply.best + " by " + e.label);
        return false;
    }
    if (lost_on_time(s, e, game, counts, clock[mover], elapsed, loss)) return false;
    play_move(state, m);
    return true;
}

// False when the run cannot go on (the message is out already).
bool play_game(Worker& w, GameRecord& game) {
    GameState state;
    if (!play_opening(game, state) || !make_engines_ready(w, game.round)) return false;
    long clock[2] = {w.settings->base_ms, w.settings->base_ms};  // [0] Black, [1] White, as index_of(side_to_move)
    while (!game_over(state, *w.settings, game) && play_turn(w, game, state, clock)) {
    }
    game.san_moves = state.san_moves;
    game.plies = static_cast<int>(state.san_moves.size());
    return true;
}

// ---- PGN ----------------------------------------------------------------------

std::string pgn_text(const GameRecord& g, const MatchSettings& s) {
    const std::string a = against_opponent(s) ? "Vargul" : "Vargul A";
    const std::string b = opponent_name(s);
    const std::string& white = g.a_is_white ? a : b;
    const std::string& black = g.a_is_white ? b : a;
    const std::string event = against_opponent(s) ? "Vargul against " + b : "Vargul self-play";
    std::string control = s.depth >= 0 ? "depth " + std::to_string(s.depth)
                          : s.movetime_ms >= 0
                              ? "movetime " + std::to_string(s.movetime_ms) + " ms"
                              : std::to_string(s.base_ms / 1000.0) + "+" + std::to_string(s.increment_ms / 1000.0);
    std::string text = "[Event \"" + event + "\"]\n[Site \"local\"]\n[Round \"" + std::to_string(g.round) +
                       "\"]\n[White \"" + white + "\"]\n[Black \"" + black + "\"]\n[Result \"" + g.result +
                       "\"]\n[Opening \"" + g.opening->name + "\"]\n[TimeControl \"" + control + "\"]\n";
    if (g.opening->fen) text += "[SetUp \"1\"]\n[FEN \"" + g.start_fen + "\"]\n";
    text += "[Termination \"" + g.reason + "\"]\n\n";

    // Move numbers follow the starting FEN's side and move number.
    Board start = board_from_fen_text(g.start_fen);
    int number = 1;
    if (g.opening->fen) {
        const char* p = g.start_fen.c_str();
        for (int field = 0; field < 5 && *p; ++p)
            if (*p == ' ') ++field;
        number = std::max(1, leading_int32(after_blanks(p)));
    }
    bool white_to_move = start.side_to_move == Side::White;
    std::string moves, column;
    auto add = [&](const std::string& word) {
        if (column.size() + word.size() + 1 > 79) {
            moves += column + "\n";
            column.clear();
        }
        column += column.empty() ? word : " " + word;
    };
    for (std::size_t i = 0; i < g.san_moves.size(); ++i) {
        if (white_to_move)
            add(std::to_string(number) + ". " + g.san_moves[i]);
        else if (i == 0)
            add(std::to_string(number) + "... " + g.san_moves[i]);
        else
            add(g.san_moves[i]);
        if (!white_to_move) ++number;
        white_to_move = !white_to_move;
    }
    add("{" + g.reason + "}");
    add(g.result);
    return text + moves + column + "\n\n";
}

// ---- Arguments and summary --------------------------------------------------------

std::string default_engine_path() {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "./vargul";
    std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "vargul";
}

[[noreturn]] void usage(const std::string& problem) {
    std::fprintf(stderr, "selfplay: %s\n%s\n", problem.c_str(), driver::kMatchUsage);
    std::exit(2);
}

MatchSettings parse_arguments(int argc, char** argv) {
    MatchSettings s;
    std::string problem;
    if (!driver::parse_match_arguments(std::vector<std::string>(argv + 1, argv + argc), s, problem)) usage(problem);
    if (s.engine.empty()) s.engine = default_engine_path();
    if (access(s.engine.c_str(), X_OK) != 0) usage("no engine at " + s.engine);
    return s;
}

const char* percent_of(long part, long whole, char* buffer) {
    std::snprintf(buffer, 16, "%.1f%%", whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return buffer;
}

void print_faults(const char* who, const SideCounts& c, bool with_lines) {
    std::printf("%sillegal moves %ld, crashes %ld, hangs %ld, time forfeits %ld", who, c.illegal, c.crashes, c.hangs,
                c.forfeits);
    if (with_lines) std::printf(", stray lines %ld, ERROR lines %ld", c.stray, c.errors);
    std::printf("\n");
}

std::string number_or_inf(double x) {
    if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", x + 0.0);  // no "-0.0"
    return text;
}

// One tab-separated row for a table over several matches: opponent, games,
// wins, draws, losses (Vargul's), score, Elo, its 95% interval's low and high
// end, Vargul's time forfeits, the opponent's, Vargul's faults, the opponent's.
void append_results(const std::string& path, const std::string& name, long w, long d, long l,
                    const driver::EloEstimate& e, const SideCounts& vargul, const SideCounts& opponent) {
    std::ofstream out(path, std::ios::app);
    out << name << '\t' << (w + d + l) << '\t' << w << '\t' << d << '\t' << l << '\t' << e.score << '\t'
        << number_or_inf(e.elo) << '\t' << number_or_inf(e.low) << '\t' << number_or_inf(e.high) << '\t'
        << vargul.forfeits << '\t' << opponent.forfeits << '\t' << vargul.faults() << '\t' << opponent.faults() << '\n';
    if (!out) std::fprintf(stderr, "selfplay: cannot write %s\n", path.c_str());
}

}  // namespace

}  // namespace vargul

using namespace vargul;

// Each opening twice, colours swapped, in order.
std::vector<GameRecord> schedule_games(const MatchSettings& settings) {
    std::vector<GameRecord> games(static_cast<std::size_t>(settings.games));
    for (int i = 0; i < settings.games; ++i) {
        games[i].round = i + 1;
        games[i].opening = &kOpenings[(i / 2) % kOpeningCount];
        games[i].a_is_white = i % 2 == 0;
    }
    return games;
}

void set_up_engines(Worker& w, const MatchSettings& settings) {
    const bool opponent = against_opponent(settings);
    w.settings = &settings;
    EngineProcess& a = w.engines[0];
    EngineProcess& b = w.engines[1];
    a.command = {settings.engine};
    a.label = opponent ? "Vargul" : "engine A";
    a.fixed_go = settings.vargul_go;
    b.fixed_go = settings.opponent_go;
    if (opponent) {
        b.label = "opponent";
        b.side = kOpponent;
        b.strict = false;
        b.command = settings.opponent;
        b.options = settings.opponent_options;
    } else {
        b.label = "engine B";
        b.command = {settings.engine};
    }
}

void print_game_line(const GameRecord& g, const MatchSettings& settings) {
    const bool opponent = against_opponent(settings);
    const std::string a = opponent ? "Vargul" : "A";
    const std::string b = opponent ? opponent_name(settings) : "B";
    std::lock_guard<std::mutex> lock(print_mutex);
    std::printf("game %d: %s - %s  %s  (%s, %d plies, %s)\n", g.round, (g.a_is_white ? a : b).c_str(),
                (g.a_is_white ? b : a).c_str(), g.result.c_str(), g.reason.c_str(), g.plies, g.opening->name);
    std::fflush(stdout);
}

// Each worker takes the next unplayed game until none is left, then lets its
// engines go. False when a worker could not go on: the others then start no
// new game, and main ends the run.
bool play_all_games(std::vector<Worker>& workers, std::vector<GameRecord>& games, const MatchSettings& settings) {
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    std::vector<std::thread> threads;
    for (Worker& w : workers) {
        set_up_engines(w, settings);
        threads.emplace_back([&w, &games, &next, &failed, &settings] {
            for (int i; !failed && (i = next++) < static_cast<int>(games.size());) {
                if (!play_game(w, games[static_cast<std::size_t>(i)])) {
                    failed = true;
                    break;
                }
                print_game_line(games[static_cast<std::size_t>(i)], settings);
            }
            for (EngineProcess& e : w.engines) quit_engine(e, 0, w.counts[e.side]);
        });
    }
    for (std::thread& t : threads) t.join();
    return !failed;
}

void write_pgn(const std::vector<GameRecord>& games, const MatchSettings& settings) {
    std::ofstream pgn(settings.pgn);
    for (const GameRecord& g : games) pgn << pgn_text(g, settings);
    if (!pgn) std::fprintf(stderr, "selfplay: cannot write %s\n", settings.pgn.c_str());
}

// Results by engine slot and by colour.
struct Results {
    long a_wins = 0, b_wins = 0, draws = 0, white_wins = 0, black_wins = 0;
};

Results count_results(const std::vector<GameRecord>& games) {
    Results r;
    for (const GameRecord& g : games) {
        if (g.result == "1-0")
            ++r.white_wins, ++(g.a_is_white ? r.a_wins : r.b_wins);
        else if (g.result == "0-1")
            ++r.black_wins, ++(g.a_is_white ? r.b_wins : r.a_wins);
        else
            ++r.draws;
    }
    return r;
}

// The summary after the last game; the exit status says whether Vargul showed a fault.
int print_summary(const MatchSettings& settings, const Results& r, const SideCounts& vargul, const SideCounts& other) {
    const bool opponent = against_opponent(settings);
    const long a_wins = r.a_wins, b_wins = r.b_wins, draws = r.draws;
    const driver::EloEstimate elo = driver::estimate_elo(a_wins, draws, b_wins);
    const std::string b_name = opponent_name(settings);
    char p1[16], p2[16], p3[16];
    std::printf("games %d\n", settings.games);
    if (opponent) {
        std::printf("Vargul against %s: %ld wins, %ld draws, %ld losses\n", b_name.c_str(), a_wins, draws, b_wins);
    } else {
        std::printf("engine A: %ld wins, %ld draws, %ld losses\n", a_wins, draws, b_wins);
        std::printf("engine B: %ld wins, %ld draws, %ld losses\n", b_wins, draws, a_wins);
    }
    std::printf("%s score %.1f%%, Elo %s (95%%: %s to %s)\n", opponent ? "Vargul" : "engine A", 100 * elo.score,
                driver::estimate_text(elo).c_str(), driver::elo_text(elo.low).c_str(),
                driver::elo_text(elo.high).c_str());
    std::printf("white wins %ld (%s), draws %ld (%s), black wins %ld (%s)\n", r.white_wins,
                percent_of(r.white_wins, settings.games, p1), draws, percent_of(draws, settings.games, p2),
                r.black_wins, percent_of(r.black_wins, settings.games, p3));
    print_faults(opponent ? "Vargul: " : "", vargul, true);
    if (opponent) print_faults("opponent: ", other, false);
    std::printf(
        "average depth %.2f over %ld moves, longest reply %ld ms\n",
        vargul.depth_count ? static_cast<double>(vargul.depth_sum) / static_cast<double>(vargul.depth_count) : 0.0,
        vargul.depth_count, vargul.longest_reply_ms);
    if (!vargul.longest_reply_at.empty()) std::printf("longest reply after %s\n", vargul.longest_reply_at.c_str());
    if (opponent) std::printf("opponent's longest reply %ld ms\n", other.longest_reply_ms);
    if (!settings.results.empty()) append_results(settings.results, b_name, a_wins, draws, b_wins, elo, vargul, other);
    std::printf("%s\n", vargul.faults() ? "FAULTS SEEN" : "no faults");
    return vargul.faults() ? 1 : 0;
}

int main(int argc, char** argv) {
    const MatchSettings settings = parse_arguments(argc, argv);
    std::vector<GameRecord> games = schedule_games(settings);
    std::vector<Worker> workers(static_cast<std::size_t>(std::min(settings.concurrency, settings.games)));
    if (!play_all_games(workers, games, settings)) return 2;

    SideCounts vargul, other;
    for (const Worker& w : workers) vargul.add(w.counts[kVargul]), other.add(w.counts[kOpponent]);
    if (!settings.pgn.empty()) write_pgn(games, settings);
    return print_summary(settings, count_results(games), vargul, other);
}
