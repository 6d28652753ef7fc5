// The self-play tool's command line, opponent settings above all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/selfplay_options.h"

namespace vargul {

namespace {

using Args = std::vector<std::string>;

driver::MatchSettings parsed(const Args& args) {
    driver::MatchSettings s;
    std::string problem;
    EXPECT_TRUE(driver::parse_match_arguments(args, s, problem)) << problem;
    return s;
}

std::string problem_with(const Args& args) {
    driver::MatchSettings s;
    std::string problem;
    EXPECT_FALSE(driver::parse_match_arguments(args, s, problem)) << args.front();
    return problem;
}

TEST(SelfplayOptions, Opponent) {
    const driver::MatchSettings s =
        parsed({"--opponent", "/usr/games/stockfish  --flag x", "--opponent-option", "UCI_LimitStrength=true",
                "--opponent-option", "UCI_Elo=1600", "--opponent-option", "Number of Threads=1", "--opponent-option",
                "EvalFile=a=b.nnue", "--opponent-option", "SyzygyPath=", "--opponent-name", "Stockfish 1600"});
    EXPECT_EQ(s.opponent, (Args{"/usr/games/stockfish", "--flag", "x"}));
    ASSERT_EQ(s.opponent_options.size(), 5u);
    EXPECT_EQ(driver::setoption_command(s.opponent_options[0]), "setoption name UCI_LimitStrength value true");
    EXPECT_EQ(driver::setoption_command(s.opponent_options[1]), "setoption name UCI_Elo value 1600");
    EXPECT_EQ(driver::setoption_command(s.opponent_options[2]), "setoption name Number of Threads value 1");
    EXPECT_EQ(s.opponent_options[3].name, "EvalFile");
    EXPECT_EQ(s.opponent_options[3].value, "a=b.nnue");
    EXPECT_EQ(s.opponent_options[4].value, "");
    EXPECT_EQ(s.opponent_name, "Stockfish 1600");
}

TEST(SelfplayOptions, DefaultsAndNumbers) {
    const driver::MatchSettings plain = parsed({});
    EXPECT_TRUE(plain.opponent.empty()) << "no opponent: Vargul against itself";
    EXPECT_EQ(plain.games, 2);
    EXPECT_EQ(plain.base_ms, 10000);
    EXPECT_EQ(plain.increment_ms, 100);

    const driver::MatchSettings s = parsed({"--games", "100", "--tc", "2000+20", "--concurrency", "2", "--timeout",
                                            "500", "--results", "r.tsv", "--engine", "./vargul"});
    EXPECT_EQ(s.games, 100);
    EXPECT_EQ(s.base_ms, 2000);
    EXPECT_EQ(s.increment_ms, 20);
    EXPECT_EQ(s.concurrency, 2);
    EXPECT_EQ(s.timeout_ms, 500);
    EXPECT_EQ(s.results, "r.tsv");
    EXPECT_EQ(s.engine, "./vargul");
    EXPECT_EQ(parsed({"--tc", "5000"}).increment_ms, 0);
}

// A level for one side only; engine B takes --opponent-go when Vargul plays itself.
TEST(SelfplayOptions, LevelForOneSide) {
    const driver::MatchSettings s = parsed({"--vargul-go", "depth 3", "--opponent-go", "movetime 300"});
    EXPECT_EQ(s.vargul_go, "depth 3");
    EXPECT_EQ(s.opponent_go, "movetime 300");
    EXPECT_EQ(s.depth, -1) << "the other side keeps the clock";
    EXPECT_TRUE(parsed({}).vargul_go.empty());
    EXPECT_EQ(problem_with({"--vargul-go", " "}), "empty --vargul-go");
    EXPECT_EQ(problem_with({"--opponent-go", ""}), "empty --opponent-go");
}

TEST(SelfplayOptions, BadArgumentsNameTheProblem) {
    EXPECT_EQ(problem_with({"--games"}), "missing value after --games");
    EXPECT_EQ(problem_with({"--games", "0"}), "bad --games");
    EXPECT_EQ(problem_with({"--games", "12x"}), "bad --games");
    EXPECT_EQ(problem_with({"--tc", "+100"}), "bad --tc base");
    EXPECT_EQ(problem_with({"--tc", "1000+"}), "bad --tc increment");
    EXPECT_EQ(problem_with({"--ponder", "on"}), "unknown flag --ponder");
    EXPECT_EQ(problem_with({"--opponent", "  "}), "empty --opponent");
    EXPECT_EQ(problem_with({"--opponent", "x", "--opponent-option", "UCI_Elo"}),
              "bad --opponent-option UCI_Elo (NAME=VALUE)");
    EXPECT_EQ(problem_with({"--opponent", "x", "--opponent-option", "=5"}), "bad --opponent-option =5 (NAME=VALUE)");
    // Options for an opponent that is not there would be silently lost.
    EXPECT_EQ(problem_with({"--opponent-option", "Hash=16"}), "--opponent-option and --opponent-name need --opponent");
    EXPECT_EQ(problem_with({"--opponent-name", "X"}), "--opponent-option and --opponent-name need --opponent");
}

}  // namespace

}  // namespace vargul
