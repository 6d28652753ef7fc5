#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/all_nodes.h"
#include "search/search_constants.h"
#include "support/search_helpers.h"
#include "support/test_engine.h"
#include "uci/command_loop.h"
#include "uci/go.h"

namespace vargul {

namespace {

// Runs "position" and "go" lines through the command handler of a fresh
// engine; returns what was written.
std::string run(const std::vector<const char*>& commands) {
    TestEngine engine;
    for (const char* line : commands) EXPECT_EQ(engine.command(line), kCarryOn) << line;
    return engine.output();
}

std::string last_line_starting(const std::string& text, const std::string& prefix) {
    std::string found;
    for (const std::string& line : lines_of(text))
        if (line.rfind(prefix, 0) == 0) found = line;
    return found;
}

TEST(Deepening, NothingToSearchAnswersTheNullMove) {
    struct Case {
        const char* name;
        std::vector<const char*> commands;
        const char* expected;
    };
    const Case cases[] = {
        {"go before any position: no kings", {"go depth 3"}, "bestmove 0000\n"},
        {"a side without its king", {"position fen 8/8/8/8/8/8/8/K7 w - - 0 1", "go"}, "bestmove 0000\n"},
        {"the side to move could take the king",
         {"position fen 4k3/8/8/8/8/8/8/4KR2 b - - 0 1", "go"},
         ""},  // both kings there: searched normally
        {"depth 0", {"position startpos", "go depth 0"}, "bestmove 0000\n"},
        {"depth below 0", {"position startpos", "go depth -2"}, "bestmove 0000\n"},
        {"depth read as 0", {"position startpos", "go depth infinite"}, "bestmove 0000\n"},
        {"mated at the root",
         {"position fen rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", "go depth 2"},
         "info  nps 0 depth 1 score mate 0 nodes 0 pv \n"
         "info  nps 0 depth 2 score mate 0 nodes 0 pv \n"
         "bestmove 0000\n"},
        {"Black mated at the root",
         {"position fen r1bqkbnr/pppp1Qpp/2n5/4p3/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq - 0 4", "go"},
         "info  nps 0 depth 1 score mate 0 nodes 0 pv \nbestmove 0000\n"},
        {"stalemate",
         {"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go"},
         "info  nps 0 depth 1 score cp 0 nodes 0 pv \nbestmove 0000\n"},
    };
    for (const Case& c : cases) {
        const std::string text = run(c.commands);
        if (*c.expected)
            EXPECT_EQ(text, c.expected) << c.name;
        else
            EXPECT_NE(last_line_starting(text, "bestmove "), "bestmove 0000") << c.name;
    }
}

TEST(Deepening, DepthIsCappedAtFifty) {
    const std::string text = run({"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 60"});
    const std::vector<std::string> iterations = iteration_lines(text);
    ASSERT_EQ(iterations.size(), 50u);
    EXPECT_EQ(iterations.back(), "info  nps 0 depth 50 score cp 0 nodes 0 pv ");
}

TEST(Deepening, OneIterationPerDepthThenTheBestMove) {
    struct Case {
        const char* go;
        std::size_t iterations;
    };
    for (const Case& c : {Case{"go", 1}, Case{"go depth 3", 3}, Case{"go ponder depth 2", 2}}) {
        const std::string text = run({"position startpos", c.go});
        const std::vector<std::string> iterations = iteration_lines(text);
        ASSERT_EQ(iterations.size(), c.iterations) << c.go;
        for (std::size_t i = 0; i < iterations.size(); ++i)
            EXPECT_NE(iterations[i].find(" depth " + std::to_string(i + 1) + " score "), std::string::npos);
        const std::vector<std::string> lines = lines_of(text);
        EXPECT_EQ(lines.back().rfind("bestmove ", 0), 0u) << c.go;
        EXPECT_EQ(lines[lines.size() - 2], iterations.back()) << c.go;
        EXPECT_FALSE(has_diagnostics(text)) << c.go;
    }
}

// Mates are written in moves from the side to move's point of view.
TEST(Deepening, FindsWhatIsCertain) {
    struct Case {
        const char* name;
        const char* position;
        const char* go;
        const char* score;
        const char* best;
    };
    const Case cases[] = {
        {"mate in one", "position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "go", "score mate 1", "a1a8"},
        {"Black mates in one", "position fen r5k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1", "go depth 2", "score mate 1",
         "a8a1"},
        {"smothered mate", "position fen 6rk/6pp/8/6N1/8/8/8/6K1 w - - 0 1", "go depth 2", "score mate 1", "g5f7"},
        {"mate in two", "position fen 2r3k1/5ppp/8/8/8/8/4RPPP/4R1K1 w - - 0 1", "go depth 3", "score mate 2", "e2e8"},
        {"Black mates in two", "position fen 4r1k1/4rppp/8/8/8/8/5PPP/2R3K1 b - - 0 1", "go depth 3", "score mate 2",
         "e7e1"},
        {"hanging queen", "position fen 4k3/8/8/3q4/8/8/8/3RK3 w - - 0 1", "go depth 3", nullptr, "d1d5"},
        {"Black takes the hanging queen", "position fen 3rk3/8/8/8/3Q4/8/8/4K3 b - - 0 1", "go depth 3", nullptr,
         "d8d4"},
        {"promotion", "position fen 8/P7/8/8/8/8/k7/4K3 w - - 0 1", "go depth 2", nullptr, "a7a8q"},
    };
    for (const Case& c : cases) {
        const std::string text = run({c.position, c.go});
        const std::string report = iteration_lines(text).back();
        if (c.score) {
            EXPECT_NE(report.find(c.score), std::string::npos) << c.name << ": " << report;
        }
        if (c.best) {
            EXPECT_EQ(last_line_starting(text, "bestmove "), std::string("bestmove ") + c.best) << c.name;
        }
        EXPECT_FALSE(has_diagnostics(text)) << c.name;
    }
}

// White, a queen down, draws by playing the game's last moves again; with
// another history the same position is searched as the loss it is.
TEST(Deepening, RepeatingTheGameIsADraw) {
    const char* fen = "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w KQkq - 0 1";
    const std::string repeating = run({(std::string(fen) + " moves g1f3 b8c6 f3g1 c6b8").c_str(), "go depth 2"});
    EXPECT_EQ(last_line_starting(repeating, "bestmove "), "bestmove g1f3");
    EXPECT_NE(iteration_lines(repeating).back().find(" score cp 0 "), std::string::npos);

    const std::string fresh = run({(std::string(fen) + " moves g1f3 b8c6 f3g1 c6a5").c_str(), "go depth 2"});
    EXPECT_EQ(iteration_lines(fresh).back().find(" score cp 0 "), std::string::npos);
}

// With a clock or a move time, the next iteration begins unless the last one
// took longer than the limit: a clock that shows no time passing (or exactly
// the limit) lets every iteration up to the cap run. The positions have no
// legal move, so each iteration costs nothing but its two clock readings.
TEST(Deepening, IterationTimeRule) {
    struct Case {
        const char* position;
        const char* go;
        std::int64_t step_ms;
        std::size_t iterations;
    };
    const Case cases[] = {
        {"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go movetime 0", 0, 20},
        {"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go movetime 0", 1, 1},
        {"position fen 8/8/8/8/8/5k2/5p2/5K2 w - - 0 1", "go wtime 100000", 1000, 20},  // at the limit: on
        {"position fen 8/8/8/8/8/5k2/5p2/5K2 w - - 0 1", "go wtime 100000", 1001, 1},
        {"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go btime 100000 movetime 0", 0, 20},
    };
    for (const Case& c : cases) {
        TestEngine engine;
        FakeClock clock;
        clock.step = c.step_ms;
        engine->clock = &clock;
        EXPECT_EQ(engine.commands({c.position, c.go}), kCarryOn);
        const std::string text = engine.output();
        EXPECT_EQ(iteration_lines(text).size(), c.iterations) << c.go << " step " << c.step_ms;
        EXPECT_EQ(lines_of(text).back(), "bestmove 0000") << c.go;
    }
}

// "stop" met at the very first leaf: no root move was searched to the end, so
// no iteration is reported; the first root move is the answer, and the later
// ones, which come back with the stopped search's zeros, replace nothing
// although 0 beats White's score here.
TEST(Deepening, StopBeforeAnyResultAnswersTheFirstMoveSearched) {
    TestEngine engine("stop\n");
    engine->tables.poll_counter = kPollInterval + 1;
    EXPECT_EQ(engine.commands({"position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w KQkq - 0 1", "go depth 5"}),
              kCarryOn);
    const std::string text = mask_nps(engine.output());

    EXPECT_TRUE(iteration_lines(text).empty()) << text;
    EXPECT_EQ(last_line_starting(text, "bestmove "), "bestmove e1d1");
    // Every root move is still made and announced, but after the stop the
    // move number no longer advances and no best line is reported.
    EXPECT_EQ(last_line_starting(text, "info currmove "), "info currmove h2h4 currmovenumber 1 depth 1");
    for (const std::string& line : lines_of(text)) EXPECT_EQ(line.find(" seldepth "), std::string::npos);
    EXPECT_FALSE(has_diagnostics(text));
}

// "stop" read by the first look of the run (its 50,002nd leaf), which falls in
// iteration 8 before any of its root moves was searched to the end: the report
// is iteration 7's again, not the cut search's zeros and a line of its moves.
// The fake clock stands still, so only the regular look reads the input.
TEST(Deepening, StopInsideAnIterationReportsTheLastSoundResult) {
    TestEngine engine("stop\n");
    FakeClock clock;
    engine->clock = &clock;
    EXPECT_EQ(engine.commands({"position fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", "go infinite"}), kCarryOn);
    const std::string text = mask_nps(engine.output());
    const std::vector<std::string> iterations = iteration_lines(text);
    ASSERT_EQ(iterations.size(), 8u);
    const std::string seventh = "info  nps N depth 7 score cp 102 nodes ";
    const std::string line = " pv b4f4 h4g3 f4f7 c7c6 f7g7 g3f4 g7b7 c6b5 b7b5 ";
    EXPECT_EQ(iterations[6], seventh + "33844" + line);
    EXPECT_EQ(iterations[7], seventh + "26840" + line) << "nodes are the cut iteration's";
    EXPECT_EQ(lines_of(text).back(), "bestmove b4f4");
    EXPECT_FALSE(has_diagnostics(engine.output()));
}

// The bench's counting instantiation behaves exactly as the engine's.
TEST(Deepening, CountingEveryNodeChangesNothing) {
    for (const char* fen : {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                            "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 b - - 0 1"}) {
        const GoParameters go = parse_go_parameters("go depth 4");
        DeepeningSummary summaries[2];
        std::string texts[2];
        for (int pass = 0; pass < 2; ++pass) {
            TestEngine engine;
            engine.command((std::string("position fen ") + fen).c_str());
            ASSERT_TRUE(prepare_search(*engine));
            summaries[pass] =
                pass == 0 ? run_search<AllNodes::Off>(*engine, go, 0) : run_search<AllNodes::On>(*engine, go, 0);
            texts[pass] = mask_nps(engine.output());
            if (pass == 0)
                EXPECT_EQ(summaries[pass].all_nodes, 0u);
            else
                EXPECT_GT(summaries[pass].all_nodes, summaries[pass].nodes_summed);
        }
        EXPECT_EQ(texts[0], texts[1]) << fen;
        EXPECT_EQ(summaries[0].nodes_summed, summaries[1].nodes_summed) << fen;
        EXPECT_EQ(summaries[0].best, summaries[1].best) << fen;
        EXPECT_EQ(summaries[0].iterations, 4) << fen;
    }
}

}  // namespace

}  // namespace vargul
