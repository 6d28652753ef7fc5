// build/selfplay [--games N] [--tc BASE+INC] [--depth N] [--movetime MS]
//                [--pgn FILE] [--concurrency N] [--engine PATH] [--max-plies N] [--timeout MS]
// Plays the engine against itself through two engine processes over pipes,
// as a chess GUI would, and referees every move. Prints one line per game and
// a summary; the exit status is 1 when any fault was seen (an illegal move, a
// crash, a hang, a time forfeit, a stray or "ERROR" line), 2 on bad arguments.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "selfplay_rules.h"

namespace {

using namespace selfplay;

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

struct Settings {
    std::string engine;
    int games = 2;
    long base_ms = 10000;
    long increment_ms = 100;
    int depth = -1;
    long movetime_ms = -1;
    std::string pgn;
    int concurrency = 1;
    int max_plies = 400;
    long timeout_ms = 30000;  // allowed on top of the time a move may take
};

// Fault and statistics counters, one per worker, added up at the end.
struct Tally {
    long illegal = 0, crashes = 0, hangs = 0, forfeits = 0, stray = 0, errors = 0;
    long depth_sum = 0, depth_count = 0;
    long longest_reply_ms = 0;
    std::string longest_reply_at;  // the commands that asked for it, to replay the search
    long faults() const { return illegal + crashes + hangs + forfeits + stray + errors; }
    void add(const Tally& t) {
        illegal += t.illegal, crashes += t.crashes, hangs += t.hangs, forfeits += t.forfeits;
        stray += t.stray, errors += t.errors, depth_sum += t.depth_sum, depth_count += t.depth_count;
        if (t.longest_reply_ms > longest_reply_ms) {
            longest_reply_ms = t.longest_reply_ms;
            longest_reply_at = t.longest_reply_at;
        }
    }
};

struct GameRecord {
    int round = 0;
    const Opening* opening = nullptr;
    bool a_is_white = true;
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

std::string in_game(const char* label, int round) {
    return std::string("engine ") + label + (round > 0 ? " (game " + std::to_string(round) + ")" : "");
}

long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// ---- An engine process behind two pipes ------------------------------------

struct Engine {
    const char* label = "A";
    pid_t pid = -1;
    int to_engine = -1;
    int from_engine = -1;
    std::string pending;
};

enum class Read { line, timeout, end };

bool start_engine(Engine& e, const std::string& path) {
    int in[2], out[2];
    // Close-on-exec, so that no other engine holds these pipes open and the end
    // of an engine's output is seen when it dies.
    if (pipe2(in, O_CLOEXEC) != 0) return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]), close(in[1]);
        return false;
    }
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]), close(in[1]), close(out[0]), close(out[1]);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]), close(out[1]);
    e.pid = pid, e.to_engine = in[1], e.from_engine = out[0];
    e.pending.clear();
    return true;
}

bool send(Engine& e, const std::string& line) {
    std::string text = line + "\n";
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(e.to_engine, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n, left -= static_cast<std::size_t>(n);
    }
    return true;
}

Read read_line(Engine& e, std::string& line, long deadline_ms) {
    for (;;) {
        std::size_t end = e.pending.find('\n');
        if (end != std::string::npos) {
            line = e.pending.substr(0, end);
            e.pending.erase(0, end + 1);
            return Read::line;
        }
        long wait = deadline_ms - now_ms();
        if (wait <= 0) return Read::timeout;
        pollfd p{e.from_engine, POLLIN, 0};
        int ready = poll(&p, 1, static_cast<int>(std::min(wait, 1000L)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        char buffer[4096];
        ssize_t n = read(e.from_engine, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Read::end;
        e.pending.append(buffer, static_cast<std::size_t>(n));
    }
}

// Waits for the process to end; -1 when it has not within the time.
int wait_exit(Engine& e, long timeout_ms) {
    long deadline = now_ms() + timeout_ms;
    for (;;) {
        int status = 0;
        pid_t done = waitpid(e.pid, &status, WNOHANG);
        if (done == e.pid) return status;
        if (now_ms() >= deadline) return -1;
        usleep(5000);
    }
}

void close_pipes(Engine& e) {
    if (e.to_engine >= 0) close(e.to_engine);
    if (e.from_engine >= 0) close(e.from_engine);
    e.to_engine = e.from_engine = -1;
}

// Ends an engine that misbehaved: it is our own child, killed by its id.
void kill_engine(Engine& e) {
    if (e.pid > 0) {
        kill(e.pid, SIGKILL);
        waitpid(e.pid, nullptr, 0);
    }
    close_pipes(e);
    e.pid = -1;
}

// Lines an engine may write outside a search: its identification and "readyok".
// Self-test diagnostics count as ERROR lines, anything else unexpected as stray.
void note_line(Engine& e, const std::string& line, int round, Tally& tally) {
    if (line.rfind("ERROR", 0) == 0 || line.rfind("white test_", 0) == 0) {
        ++tally.errors;
        report(in_game(e.label, round) + " wrote an ERROR line: " + line);
    } else if (!line.empty()) {
        ++tally.stray;
        report(in_game(e.label, round) + " wrote a stray line: " + line);
    }
}

bool handshake(Engine& e, const std::string& path, int round, Tally& tally) {
    if (!start_engine(e, path) || !send(e, "uci")) return false;
    std::string line;
    long deadline = now_ms() + 10000;
    for (;;) {
        Read r = read_line(e, line, deadline);
        if (r != Read::line) return false;
        if (line.rfind("uciok", 0) == 0) return true;
        if (line.rfind("id ", 0) != 0 && line.rfind("option ", 0) != 0) note_line(e, line, round, tally);
    }
}

bool ready(Engine& e, int round, Tally& tally) {
    if (!send(e, "ucinewgame") || !send(e, "isready")) return false;
    std::string line;
    long deadline = now_ms() + 10000;
    for (;;) {
        if (read_line(e, line, deadline) != Read::line) return false;
        if (line.rfind("readyok", 0) == 0) return true;
        note_line(e, line, round, tally);
    }
}

// "quit" ends the engine with status 1; whatever it still writes is checked.
void quit_engine(Engine& e, int round, Tally& tally) {
    if (e.pid <= 0) return;
    send(e, "quit");
    close(e.to_engine);
    e.to_engine = -1;
    std::string line;
    long deadline = now_ms() + 5000;
    while (read_line(e, line, deadline) == Read::line) note_line(e, line, round, tally);
    int status = wait_exit(e, 5000);
    if (status == -1) {
        ++tally.hangs;
        report(in_game(e.label, round) + " did not end after quit");
        kill_engine(e);
        return;
    }
    if (WIFSIGNALED(status)) {
        ++tally.crashes;
        report(in_game(e.label, round) + " died by a signal after quit");
    }
    close_pipes(e);
    e.pid = -1;
}

// ---- One game ---------------------------------------------------------------

struct Worker {
    const Settings* settings;
    Engine engines[2];  // slot A, slot B
    Tally tally;
};

// The go command a GUI would send for the side to move.
std::string go_command(const Settings& s, long white_clock, long black_clock) {
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

// The depth of an iteration line: "info  nps ... depth N ...".
int reported_depth(const std::string& line) {
    if (line.rfind("info", 0) != 0 || line.find(" nps ") == std::string::npos) return -1;
    std::size_t at = line.find(" depth ");
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + 7);
}

std::string bestmove_text(const std::string& line) {
    std::size_t start = line.find_first_not_of(' ', 8);
    if (start == std::string::npos) return "";
    std::size_t end = line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void play_game(Worker& w, GameRecord& game) {
    const Settings& s = *w.settings;
    Tally& tally = w.tally;
    GameState state;
    game.start_fen = game.opening->fen ? game.opening->fen : kStartFen;
    start_game(state, game.start_fen);
    for (const char* p = game.opening->moves; *p;) {
        std::string token;
        while (*p && *p != ' ') token += *p++;
        while (*p == ' ') ++p;
        Move m = find_move(state.legal, token);
        if (!m) {
            report(std::string("opening ") + game.opening->name + ": move " + token + " is not legal");
            std::exit(2);
        }
        play_move(state, m);
    }

    // A crashed or killed engine is replaced before the game starts.
    for (Engine& e : w.engines) {
        if (e.pid > 0 && ready(e, game.round, tally)) continue;
        if (e.pid > 0) {
            ++tally.crashes;
            report(in_game(e.label, game.round) + " does not answer isready");
            kill_engine(e);
        }
        if (!handshake(e, s.engine, game.round, tally) || !ready(e, game.round, tally)) {
            report("cannot start " + in_game(e.label, game.round) + " from " + s.engine);
            std::exit(2);
        }
    }

    long clock[2] = {s.base_ms, s.base_ms};  // [0] Black, [1] White, as colour_move
    auto finish = [&](const char* result, const std::string& reason) {
        game.result = result;
        game.reason = reason;
    };
    for (;;) {
        Ending ending = game_ending(state);
        const int mover = state.board.colour_move;
        if (ending == Ending::checkmate) {
            finish(mover == 1 ? "0-1" : "1-0", "checkmate");
            break;
        }
        if (ending != Ending::none) {
            finish("1/2-1/2", ending_name(ending));
            break;
        }
        if (static_cast<int>(state.san_moves.size()) >= s.max_plies) {
            finish("1/2-1/2", "ply cap");
            break;
        }

        Engine& e = w.engines[(mover == 1) == game.a_is_white ? 0 : 1];
        const char* loss = mover == 1 ? "0-1" : "1-0";
        std::vector<std::string> all_moves = state.uci_moves;
        long allowed = s.depth >= 0 ? 0 : s.movetime_ms >= 0 ? s.movetime_ms : clock[mover];
        long start = now_ms();
        if (!send(e, position_command(game, all_moves)) || !send(e, go_command(s, clock[1], clock[0]))) {
            ++tally.crashes;
            report(in_game(e.label, game.round) + ": its input is closed");
            kill_engine(e);
            finish(loss, std::string("engine ") + e.label + " crashed");
            break;
        }
        std::string line, best;
        int depth = -1;
        Read r;
        while ((r = read_line(e, line, start + std::max(allowed, 0L) + s.timeout_ms)) == Read::line) {
            if (line.rfind("bestmove", 0) == 0) {
                best = bestmove_text(line);
                break;
            }
            if (line.rfind("info", 0) == 0) {
                if (int d = reported_depth(line); d >= 0) depth = d;
                continue;
            }
            note_line(e, line, game.round, tally);
        }
        const long elapsed = now_ms() - start;
        if (elapsed > tally.longest_reply_ms) {
            tally.longest_reply_ms = elapsed;
            tally.longest_reply_at = "game " + std::to_string(game.round) + ": " + position_command(game, all_moves) +
                                     " / " + go_command(s, clock[1], clock[0]);
        }
        if (r == Read::end) {
            ++tally.crashes;
            report(in_game(e.label, game.round) + ": output ended during a search");
            kill_engine(e);
            finish(loss, std::string("engine ") + e.label + " crashed");
            break;
        }
        if (r == Read::timeout) {
            ++tally.hangs;
            report(in_game(e.label, game.round) + ": no bestmove within " + std::to_string(elapsed) + " ms");
            kill_engine(e);
            finish(loss, std::string("engine ") + e.label + " hung");
            break;
        }
        if (depth >= 0) tally.depth_sum += depth, ++tally.depth_count;

        Move m = find_move(state.legal, best);
        if (!m) {
            ++tally.illegal;
            report(in_game(e.label, game.round) + " played an illegal move: \"" + best + "\" after " +
                   position_command(game, all_moves));
            finish(loss, std::string("illegal move ") + best + " by engine " + e.label);
            break;
        }
        if (s.depth < 0 && s.movetime_ms < 0) {
            clock[mover] -= elapsed;
            if (clock[mover] < 0) {
                ++tally.forfeits;
                report(in_game(e.label, game.round) + " lost on time: " + std::to_string(elapsed) + " ms with " +
                       std::to_string(clock[mover] + elapsed) + " ms left");
                finish(loss, std::string("engine ") + e.label + " lost on time");
                break;
            }
            clock[mover] += s.increment_ms;
        }
        play_move(state, m);
    }
    game.san_moves = state.san_moves;
    game.plies = static_cast<int>(state.san_moves.size());
}

// ---- PGN ----------------------------------------------------------------------

std::string pgn_text(const GameRecord& g, const Settings& s) {
    const char* white = g.a_is_white ? "Vargul A" : "Vargul B";
    const char* black = g.a_is_white ? "Vargul B" : "Vargul A";
    std::string control = s.depth >= 0      ? "depth " + std::to_string(s.depth)
                          : s.movetime_ms >= 0 ? "movetime " + std::to_string(s.movetime_ms) + " ms"
                                               : std::to_string(s.base_ms / 1000.0) + "+" +
                                                     std::to_string(s.increment_ms / 1000.0);
    std::string text = "[Event \"Vargul self-play\"]\n[Site \"local\"]\n[Round \"" + std::to_string(g.round) +
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
        number = std::max(1, std::atoi(p));
    }
    bool white_to_move = start.colour_move == 1;
    std::string moves, column;
    auto add = [&](const std::string& word) {
        if (column.size() + word.size() + 1 > 79) {
            moves += column + "\n";
            column.clear();
        }
        column += column.empty() ? word : " " + word;
    };
    for (std::size_t i = 0; i < g.san_moves.size(); ++i) {
        if (white_to_move) add(std::to_string(number) + ". " + g.san_moves[i]);
        else if (i == 0) add(std::to_string(number) + "... " + g.san_moves[i]);
        else add(g.san_moves[i]);
        if (!white_to_move) ++number;
        white_to_move = !white_to_move;
    }
    add("{" + g.reason + "}");
    add(g.result);
    return text + moves + column + "\n\n";
}

// ---- Arguments ------------------------------------------------------------------

[[noreturn]] void usage(const char* problem) {
    std::fprintf(stderr,
                 "selfplay: %s\nusage: selfplay [--games N] [--tc BASE+INC] [--depth N] [--movetime MS] "
                 "[--pgn FILE] [--concurrency N] [--engine PATH] [--max-plies N] [--timeout MS]\n",
                 problem);
    std::exit(2);
}

long number_argument(const char* text, long low, long high, const char* what) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end || value < low || value > high) usage(what);
    return value;
}

std::string default_engine_path() {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "./vargul";
    std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "vargul";
}

Settings parse_arguments(int argc, char** argv) {
    Settings s;
    s.engine = default_engine_path();
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        if (i + 1 >= argc) usage(("missing value after " + flag).c_str());
        const char* value = argv[++i];
        if (flag == "--games") s.games = static_cast<int>(number_argument(value, 1, 1000000, "bad --games"));
        else if (flag == "--depth") s.depth = static_cast<int>(number_argument(value, 0, 50, "bad --depth"));
        else if (flag == "--movetime") s.movetime_ms = number_argument(value, 1, 86400000, "bad --movetime");
        else if (flag == "--concurrency") s.concurrency = static_cast<int>(number_argument(value, 1, 64, "bad --concurrency"));
        else if (flag == "--max-plies") s.max_plies = static_cast<int>(number_argument(value, 1, 100000, "bad --max-plies"));
        else if (flag == "--timeout") s.timeout_ms = number_argument(value, 100, 86400000, "bad --timeout");
        else if (flag == "--pgn") s.pgn = value;
        else if (flag == "--engine") s.engine = value;
        else if (flag == "--tc") {
            std::string tc = value;
            std::size_t plus = tc.find('+');
            s.base_ms = number_argument(tc.substr(0, plus).c_str(), 1, 86400000, "bad --tc base");
            s.increment_ms = plus == std::string::npos ? 0
                                 : number_argument(tc.substr(plus + 1).c_str(), 0, 86400000, "bad --tc increment");
        } else {
            usage(("unknown flag " + flag).c_str());
        }
    }
    if (access(s.engine.c_str(), X_OK) != 0) usage(("no engine at " + s.engine).c_str());
    return s;
}

const char* percent_of(long part, long whole, char* buffer) {
    std::snprintf(buffer, 16, "%.1f%%", whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);  // a dead engine shows up as a failed write, not as our death
    const Settings settings = parse_arguments(argc, argv);

    std::vector<GameRecord> games(static_cast<std::size_t>(settings.games));
    for (int i = 0; i < settings.games; ++i) {
        games[i].round = i + 1;
        games[i].opening = &kOpenings[(i / 2) % kOpeningCount];
        games[i].a_is_white = i % 2 == 0;
    }

    const int worker_count = std::min(settings.concurrency, settings.games);
    std::vector<Worker> workers(static_cast<std::size_t>(worker_count));
    std::atomic<int> next{0};
    std::vector<std::thread> threads;
    for (Worker& w : workers) {
        w.settings = &settings;
        w.engines[0].label = "A";
        w.engines[1].label = "B";
        threads.emplace_back([&w, &games, &next] {
            for (int i; (i = next++) < static_cast<int>(games.size());) {
                play_game(w, games[static_cast<std::size_t>(i)]);
                const GameRecord& g = games[static_cast<std::size_t>(i)];
                std::lock_guard<std::mutex> lock(print_mutex);
                std::printf("game %d: %s - %s  %s  (%s, %d plies, %s)\n", g.round, g.a_is_white ? "A" : "B",
                            g.a_is_white ? "B" : "A", g.result.c_str(), g.reason.c_str(), g.plies, g.opening->name);
                std::fflush(stdout);
            }
            for (Engine& e : w.engines) quit_engine(e, 0, w.tally);
        });
    }
    for (std::thread& t : threads) t.join();

    Tally total;
    for (const Worker& w : workers) total.add(w.tally);

    if (!settings.pgn.empty()) {
        std::ofstream pgn(settings.pgn);
        for (const GameRecord& g : games) pgn << pgn_text(g, settings);
        if (!pgn) std::fprintf(stderr, "selfplay: cannot write %s\n", settings.pgn.c_str());
    }

    // Results by engine slot and by colour.
    long a_wins = 0, b_wins = 0, draws = 0, white_wins = 0, black_wins = 0;
    for (const GameRecord& g : games) {
        if (g.result == "1-0") ++white_wins, ++(g.a_is_white ? a_wins : b_wins);
        else if (g.result == "0-1") ++black_wins, ++(g.a_is_white ? b_wins : a_wins);
        else ++draws;
    }
    char p1[16], p2[16], p3[16];
    std::printf("games %d\n", settings.games);
    std::printf("engine A: %ld wins, %ld draws, %ld losses\n", a_wins, draws, b_wins);
    std::printf("engine B: %ld wins, %ld draws, %ld losses\n", b_wins, draws, a_wins);
    std::printf("white wins %ld (%s), draws %ld (%s), black wins %ld (%s)\n", white_wins,
                percent_of(white_wins, settings.games, p1), draws, percent_of(draws, settings.games, p2), black_wins,
                percent_of(black_wins, settings.games, p3));
    std::printf("illegal moves %ld, crashes %ld, hangs %ld, time forfeits %ld, stray lines %ld, ERROR lines %ld\n",
                total.illegal, total.crashes, total.hangs, total.forfeits, total.stray, total.errors);
    std::printf("average depth %.2f over %ld moves, longest reply %ld ms\n",
                total.depth_count ? static_cast<double>(total.depth_sum) / static_cast<double>(total.depth_count) : 0.0,
                total.depth_count, total.longest_reply_ms);
    if (!total.longest_reply_at.empty()) std::printf("longest reply after %s\n", total.longest_reply_at.c_str());
    std::printf("%s\n", total.faults() ? "FAULTS SEEN" : "no faults");
    return total.faults() ? 1 : 0;
}
