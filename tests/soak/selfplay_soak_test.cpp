// Soak: whole games of the engine against itself through the self-play tool,
// two real engine processes over pipes, at a fast clock. The tool referees
// every move and counts the faults; the soak asks for none.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/processes.h"

namespace vargul {

namespace {

// The summary's closing lines, for the report.
std::string summary(const std::string& output) {
    const std::size_t at = output.rfind("\ngames ");
    return at == std::string::npos ? output : output.substr(at + 1);
}

TEST(Soak, TwoHundredSelfPlayGamesWithoutAFault) {
    const std::string pgn = ::testing::TempDir() + "soak_games.pgn";
    const driver::ProgramRun run =
        run_selfplay({"--games", "200", "--tc", "1000+10", "--concurrency", "2", "--pgn", pgn}, 3600 * 1000);
    std::printf("%s", summary(run.output).c_str());
    EXPECT_NE(run.output.find("\ngames 200\n"), std::string::npos);
    // The ceiling inside the search keeps every reply within a tenth of the
    // clock, so a loss on time is a fault like any other.
    EXPECT_NE(run.output.find("illegal moves 0, crashes 0, hangs 0, time forfeits 0,"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find(", stray lines 0, ERROR lines 0\n"), std::string::npos) << run.output;
    std::remove(pgn.c_str());
}

}  // namespace

}  // namespace vargul
