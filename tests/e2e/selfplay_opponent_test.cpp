// The self-play tool against another engine: a well-behaved one that speaks
// UCI in its own way (banners, odd info lines, "bestmove X ponder Y"), and
// broken ones whose faults must count against them, not against Vargul.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/processes.h"

namespace vargul {

namespace {

class SelfplayOpponent : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vargul_opponent_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(access((std::string(VARGUL_TOOLS_DIR) + "/selfplay").c_str(), X_OK), 0)
            << "build the selfplay target";
    }
    void TearDown() override {
        for (const std::string& f : files_) std::remove(f.c_str());
        rmdir(dir_.c_str());
    }

    std::string file(const std::string& name) {
        files_.push_back(dir_ + "/" + name);
        return files_.back();
    }

    std::string script(const std::string& name, const std::string& text) {
        const std::string path = file(name);
        std::ofstream(path) << "#!/bin/sh\n" << text;
        chmod(path.c_str(), 0755);
        return path;
    }

    // An engine that answers the handshake with chatter and every "go" with
    // on_go, which finds the last position line in $last.
    std::string fake_engine(const std::string& on_go) {
        return script("fake",
                      "echo 'Fake engine 0.1, written for a test'\n"
                      "while read line; do\n"
                      "  case \"$line\" in\n"
                      "    uci) echo 'id name Fake'; echo 'option name Style type string default x'; echo 'uciok';;\n"
                      "    isready) echo 'info string ready soon'; echo 'readyok';;\n"
                      "    position*) last=\"$line\";;\n"
                      "    go*) echo 'info depth 1 seldepth 1 multipv 1 score cp 5 nodes 20 pv e2e4'; " +
                          on_go +
                          ";;\n"
                          "    quit) exit 0;;\n"
                          "  esac\n"
                          "done\n");
    }

    static std::string read_text(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string dir_;
    std::vector<std::string> files_;
};

const char* const kVargulClean =
    "Vargul: illegal moves 0, crashes 0, hangs 0, time forfeits 0, stray lines 0, ERROR lines 0\n";

TEST_F(SelfplayOpponent, PlaysAnEngineThatSpeaksItsOwnDialect) {
    // The real engine behind a wrapper that logs what it is sent, renames it,
    // and adds a banner, info lines of another shape and a ponder move.
    const std::string wrapper = script(
        "wrap.sh",
        "echo 'Wrapped engine, a banner before anything is asked'\n"
        "tee -a \"$2\" | \"$1\" | sed -u -e 's/^id name .*/id name Wrapped/' "
        "-e 's/^readyok.*/info string hash cleared\\nreadyok/' "
        "-e 's/^bestmove \\([a-h1-8qrbn]*\\).*/info string done\\ninfo depth 2 score cp 1 pv \\1\\nbestmove \\1 ponder "
        "a1a2/'\n");
    const std::string sent = file("sent.log"), pgn = file("games.pgn"), results = file("results.tsv");
    const driver::ProgramRun run =
        run_selfplay({"--games", "2", "--depth", "2", "--engine", VARGUL_ENGINE_PATH, "--opponent",
                      "/bin/sh " + wrapper + " " + VARGUL_ENGINE_PATH + " " + sent, "--opponent-option", "Hash=16",
                      "--opponent-option", "UCI_Elo=1600", "--pgn", pgn, "--results", results});
    EXPECT_EQ(run.exit_status, 0) << run.output;
    EXPECT_NE(run.output.find(kVargulClean), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("opponent: illegal moves 0, crashes 0, hangs 0, time forfeits 0\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Vargul against Wrapped: "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("no faults\n"), std::string::npos) << run.output;

    // Options go after uciok and before the first isready, in the given order.
    const std::string log = read_text(sent);
    EXPECT_EQ(
        log.rfind("uci\nsetoption name Hash value 16\nsetoption name UCI_Elo value 1600\nucinewgame\nisready\n", 0), 0u)
        << log;

    const std::string games = read_text(pgn);
    EXPECT_NE(games.find("[White \"Vargul\"]\n[Black \"Wrapped\"]"), std::string::npos) << games;
    EXPECT_NE(games.find("[White \"Wrapped\"]\n[Black \"Vargul\"]"), std::string::npos) << games;
    EXPECT_EQ(read_text(results).rfind("Wrapped\t2\t", 0), 0u) << read_text(results);
}

TEST_F(SelfplayOpponent, VargulAtALevelTheOpponentOnTheClock) {
    // Each side behind a wrapper that logs what it is sent.
    const std::string vargul_sent = file("vargul.log"), opponent_sent = file("opponent.log");
    const std::string vargul = script("vargul.sh", "tee -a " + vargul_sent + " | " + VARGUL_ENGINE_PATH + "\n");
    const std::string opponent = script("opponent.sh", "tee -a " + opponent_sent + " | " + VARGUL_ENGINE_PATH + "\n");
    const driver::ProgramRun run = run_selfplay({"--games", "2", "--tc", "5000+50", "--max-plies", "16", "--vargul-go",
                                                 "depth 2", "--engine", vargul, "--opponent", "/bin/sh " + opponent});
    EXPECT_EQ(run.exit_status, 0) << run.output;

    std::istringstream vargul_lines(read_text(vargul_sent)), opponent_lines(read_text(opponent_sent));
    int vargul_goes = 0, opponent_goes = 0;
    for (std::string line; std::getline(vargul_lines, line);) {
        if (line.rfind("go", 0) != 0) continue;
        ++vargul_goes;
        EXPECT_EQ(line, "go depth 2");
    }
    // The opponent's clock runs; Vargul's, which it does not use, stays full.
    for (std::string line; std::getline(opponent_lines, line);) {
        if (line.rfind("go", 0) != 0) continue;
        ++opponent_goes;
        EXPECT_EQ(line.rfind("go wtime ", 0), 0u) << line;
        EXPECT_NE(line.find(" winc 50 binc 50"), std::string::npos) << line;
        EXPECT_TRUE(line.find("wtime 5000 ") != std::string::npos || line.find("btime 5000 ") != std::string::npos)
            << line;
    }
    EXPECT_GT(vargul_goes, 0);
    EXPECT_GT(opponent_goes, 0);
}

TEST_F(SelfplayOpponent, TheOpponentsFaultsAreItsOwn) {
    struct Case {
        const char* name;
        const char* on_go;
        std::vector<std::string> flags;
        const char* opponent_counts;
    };
    const Case cases[] = {
        {"illegal move",
         "echo 'bestmove e2e5 ponder e7e5'",
         {"--depth", "1"},
         "opponent: illegal moves 2, crashes 0, hangs 0, time forfeits 0\n"},
        {"crash during a search",
         "exit 3",
         {"--depth", "1"},
         "opponent: illegal moves 0, crashes 2, hangs 0, time forfeits 0\n"},
        {"no reply",
         ":",
         {"--depth", "1", "--timeout", "300"},
         "opponent: illegal moves 0, crashes 0, hangs 2, time forfeits 0\n"},
        // A legal move, only too late: for White right after the opening, else for Black.
        {"too slow for the clock",
         "sleep 0.5; case \"$last\" in *a7a6) echo 'bestmove d2d4';; *) echo 'bestmove g7g6';; esac",
         {"--tc", "300+0"},
         "opponent: illegal moves 0, crashes 0, hangs 0, time forfeits 2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{"--games",          "2",          "--engine",
                                      VARGUL_ENGINE_PATH, "--opponent", fake_engine(c.on_go),
                                      "--opponent-name",  "Broken"};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        const driver::ProgramRun run = run_selfplay(args);
        EXPECT_EQ(run.exit_status, 0) << run.output;
        EXPECT_NE(run.output.find(c.opponent_counts), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(kVargulClean), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("Vargul against Broken: 2 wins, 0 draws, 0 losses\n"), std::string::npos)
            << run.output;
        EXPECT_NE(run.output.find("Vargul score 100.0%, Elo +inf"), std::string::npos) << run.output;
    }
}

TEST_F(SelfplayOpponent, VargulsFaultsStillFailTheRun) {
    // A broken engine in Vargul's seat, the real engine as the opponent.
    const driver::ProgramRun run =
        run_selfplay({"--games", "2", "--depth", "1", "--engine", fake_engine("echo 'bestmove e2e5'"), "--opponent",
                      VARGUL_ENGINE_PATH});
    EXPECT_EQ(run.exit_status, 1) << run.output;
    EXPECT_NE(run.output.find("Vargul: illegal moves 2, crashes 0, hangs 0, time forfeits 0"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("opponent: illegal moves 0, crashes 0, hangs 0, time forfeits 0\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("FAULTS SEEN"), std::string::npos) << run.output;
}

TEST_F(SelfplayOpponent, AnOpponentThatCannotStart) {
    const driver::ProgramRun run =
        run_selfplay({"--games", "1", "--depth", "1", "--opponent", dir_ + "/no-such-engine --flag"});
    EXPECT_EQ(run.exit_status, 2) << run.output;
    EXPECT_NE(run.output.find("cannot start opponent (game 1) from " + dir_ + "/no-such-engine --flag"),
              std::string::npos)
        << run.output;
}

}  // namespace

}  // namespace vargul
