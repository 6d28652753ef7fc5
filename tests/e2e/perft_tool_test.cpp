#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct ToolRun {
    std::string out, err;
    int exit_status;  // -1 when the tool had to be killed
};

std::string slurp_and_remove(const char* path) {
    std::string text;
    if (FILE* f = std::fopen(path, "rb")) {
        char chunk[4096];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
        std::fclose(f);
    }
    std::remove(path);
    return text;
}

// Runs build/perft with these arguments; its two streams go to files, so
// neither can fill a pipe while the other is read.
ToolRun run_perft(std::vector<std::string> args) {
    const std::string path = std::string(VARGUL_TOOLS_DIR) + "/perft";
    char out_path[] = "/tmp/perft_out_XXXXXX", err_path[] = "/tmp/perft_err_XXXXXX";
    int out_fd = ::mkstemp(out_path), err_fd = ::mkstemp(err_path);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out_fd, 1);
        ::dup2(err_fd, 2);
        std::vector<char*> argv{const_cast<char*>(path.c_str())};
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out_fd);
    ::close(err_fd);
    int status = 0, exit_status = -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return {slurp_and_remove(out_path), slurp_and_remove(err_path), exit_status};
}

constexpr const char* kInitial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Everything before the timing figures, which differ from run to run.
std::string without_timing(const std::string& out) {
    std::size_t at = out.rfind(" time_ms ");
    return at == std::string::npos ? out : out.substr(0, at);
}

bool timing_well_formed(const std::string& out) {
    std::size_t at = out.rfind(" time_ms ");
    if (at == std::string::npos) return false;
    std::string rest = out.substr(at);
    unsigned long long ms = 0, nps = 0;
    char end = 0;
    return std::sscanf(rest.c_str(), " time_ms %llu nps %llu%c", &ms, &nps, &end) == 3 && end == '\n' &&
           rest.find('\n') == rest.size() - 1;
}

struct GoodCase {
    std::vector<std::string> args;
    const char* expected;  // stdout up to " time_ms"
};

const GoodCase kGood[] = {
    {{kInitial, "3"}, "nodes 8902"},
    {{kInitial, "0"}, "nodes 1"},
    {{"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "1", "--divide"},
     "a7a8q: 1\na7a8r: 1\na7a8b: 1\na7a8n: 1\ne1d1: 1\ne1f1: 1\ne1d2: 1\ne1e2: 1\ne1f2: 1\nnodes 9"},
    {{"r3k2r/8/8/8/8/8/8/R3K2R b kq - 0 1", "1", "--divide"},
     "a8a1: 1\nh8h1: 1\ne8d7: 1\ne8e7: 1\ne8f7: 1\ne8d8: 1\ne8f8: 1\ne8c8: 1\ne8g8: 1\na8a2: 1\na8a3: 1\n"
     "a8a4: 1\na8a5: 1\na8a6: 1\na8a7: 1\na8b8: 1\na8c8: 1\na8d8: 1\nh8f8: 1\nh8g8: 1\nh8h2: 1\nh8h3: 1\n"
     "h8h4: 1\nh8h5: 1\nh8h6: 1\nh8h7: 1\nnodes 26"},
    // The side to move may be in check; only its legal replies count.
    {{"4k3/8/8/8/8/8/8/4K2r w - - 0 1", "1", "--divide"}, "e1d2: 1\ne1e2: 1\ne1f2: 1\nnodes 3"},
};

TEST(PerftTool, CountsAndDivide) {
    for (const auto& c : kGood) {
        ToolRun run = run_perft(c.args);
        EXPECT_EQ(run.exit_status, 0) << c.args[0];
        EXPECT_EQ(without_timing(run.out), c.expected) << c.args[0];
        EXPECT_TRUE(timing_well_formed(run.out)) << run.out;
        EXPECT_EQ(run.err, "") << c.args[0];
    }
}

struct BadCase {
    const char* name;
    std::vector<std::string> args;
};

// Each gives one line on stderr, nothing on stdout, status 2.
const BadCase kBad[] = {
    {"no arguments", {}},
    {"no depth", {kInitial}},
    {"unknown option", {kInitial, "2", "--split"}},
    {"too many arguments", {kInitial, "2", "--divide", "x"}},
    {"depth not a number", {kInitial, "two"}},
    {"negative depth", {kInitial, "-1"}},
    {"depth with trailing text", {kInitial, "3x"}},
    {"depth too large", {kInitial, "21"}},
    {"empty depth", {kInitial, ""}},
    {"empty FEN", {"", "1"}},
    {"seven ranks", {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1", "1"}},
    {"nine squares in a rank", {"rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "1"}},
    {"seven squares in a rank", {"rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "1"}},
    {"unknown piece letter", {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1", "1"}},
    {"no side to move", {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", "1"}},
    {"bad side letter", {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR W KQkq - 0 1", "1"}},
    {"no White king", {"4k3/8/8/8/8/8/8/8 w - - 0 1", "1"}},
    {"two Black kings", {"4k2k/8/8/8/8/8/8/4K3 w - - 0 1", "1"}},
    {"pawn on the last rank", {"P3k3/8/8/8/8/8/8/4K3 w - - 0 1", "1"}},
    {"castling right without its rook", {"4k3/8/8/8/8/8/8/4K3 w K - 0 1", "1"}},
    {"en passant square without the pawn", {"4k3/8/8/8/8/8/8/4K3 w - d6 0 1", "1"}},
    {"the side not to move in check", {"4k3/8/8/8/8/8/8/4K2r b - - 0 1", "1"}},
};

TEST(PerftTool, BadInputFailsWithStatusTwo) {
    for (const auto& c : kBad) {
        ToolRun run = run_perft(c.args);
        EXPECT_EQ(run.exit_status, 2) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
        ASSERT_FALSE(run.err.empty()) << c.name;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << c.name << ": " << run.err;
        EXPECT_EQ(run.err.rfind("perft: ", 0), 0u) << c.name << ": " << run.err;
    }
}

}  // namespace
