#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/engine_pipe.h"

namespace vargul {

namespace {

// Runs build/perft with these arguments: its two streams apart, and its exit
// status (-1 when it had to be killed).
driver::ProgramRun run_perft(const std::vector<std::string>& args) {
    std::vector<std::string> argv{std::string(VARGUL_TOOLS_DIR) + "/perft"};
    argv.insert(argv.end(), args.begin(), args.end());
    return driver::run_program(argv, "", 60000, driver::Stderr::capture);
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
        driver::ProgramRun run = run_perft(c.args);
        EXPECT_EQ(run.exit_status, 0) << c.args[0];
        EXPECT_EQ(without_timing(run.output), c.expected) << c.args[0];
        EXPECT_TRUE(timing_well_formed(run.output)) << run.output;
        EXPECT_EQ(run.errors, "") << c.args[0];
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
        driver::ProgramRun run = run_perft(c.args);
        EXPECT_EQ(run.exit_status, 2) << c.name;
        EXPECT_EQ(run.output, "") << c.name;
        ASSERT_FALSE(run.errors.empty()) << c.name;
        EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << c.name << ": " << run.errors;
        EXPECT_EQ(run.errors.rfind("perft: ", 0), 0u) << c.name << ": " << run.errors;
    }
}

}  // namespace

}  // namespace vargul
