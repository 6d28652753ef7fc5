// Byte-exact transcripts of the real binary: script in, whole output and exit status out.
#include <gtest/gtest.h>

#include <string>

#include "support/processes.h"

namespace vargul {

namespace {

struct Transcript {
    const char* name;
    std::string script;
    std::string output;
    int status;
};

const std::string kIdentity =
    "id name Vargul_b3_3 Beta \n"
    "id author Marlovek21\n"
    "option name Hash type spin default 32 min 1 max 1024\n"
    "uciok\n";
const std::string kReady = "readyok\n\n";
const std::string kUnknown = "WARNING ! Unknown command\n";
const std::string kMoveError = "WARNING ! moves error\n";

std::string text_with_nul(const char* before, const char* after) { return std::string(before) + '\0' + after; }

void check(const Transcript& t) {
    driver::ProgramRun run = run_engine(t.script);
    EXPECT_EQ(run.output, t.output) << t.name;
    EXPECT_EQ(run.exit_status, t.status) << t.name;
}

}  // namespace

TEST(UciTranscript, HandshakesAndEndings) {
    const Transcript cases[] = {
        {"no input at all", "", "", 0},
        {"identification", "uci\n", kIdentity, 0},
        {"uci twice replaces the table", "uci\nuci\n", kIdentity + kIdentity, 0},
        {"readiness, also before uci", "isready\n", kReady, 0},
        {"quit writes nothing and ends with 1", "uci\nquit\nisready\n", kIdentity, 1},
        {"quit as the first command", "quit\n", "", 1},
        {"last line without a line feed", "uci\nisready", kIdentity + kReady, 0},
        {"empty lines before the end", "isready\n\n\n", kReady + kUnknown + kUnknown, 0},
    };
    for (const auto& t : cases) check(t);
}

TEST(UciTranscript, UnknownAndIgnoredCommands) {
    const Transcript cases[] = {
        {"trailing blank on a whole-line word", "uci \nisready \nquit \nstop \nponderhit \nucinewgame \n",
         kUnknown + kUnknown + kUnknown + kUnknown + kUnknown + kUnknown, 0},
        {"case matters", "Uci\nISREADY\nQuit\n", kUnknown + kUnknown + kUnknown, 0},
        {"prefix words need their blank", "debug\nposition\nsetoption\n", kUnknown + kUnknown + kUnknown, 0},
        {"leading blank", " uci\n", kUnknown, 0},
        {"accepted and ignored", "ucinewgame\ndebug on\ndebug \nponderhit\nstop\n", "", 0},
        {"other options, even before uci", "setoption name Ponder value true\n", "", 0},
        {"explicit -1 is ignored before uci", "setoption name Hash value -1\n", "", 0},
        {"position without moves prints nothing", "position xyz\nposition startpos\n", "", 0},
    };
    for (const auto& t : cases) check(t);
}

TEST(UciTranscript, HashOption) {
    const Transcript cases[] = {
        {"before uci sizes the table", "setoption name Hash value 16\nisready\n", kReady, 0},
        {"before uci, a value to clamp", "setoption name Hash value -7\nuci\n", kIdentity, 0},
        {"any option name selects the size", "uci\nsetoption name Whatever Hash value 8\nisready\n", kIdentity + kReady,
         0},
        // Sizes above 4095 are clamped to 1024 MB: checked in the unit tests, a gigabyte is too much here.
        {"sizes in and below range",
         "uci\nsetoption name Hash value 0\nsetoption name Hash value -7\n"
         "setoption name Hash value 1\nisready\n",
         kIdentity + kReady, 0},
        {"lower-case key is another option", "setoption name hash value 16\n", "", 0},
    };
    for (const auto& t : cases) check(t);
}

TEST(UciTranscript, GoBeforeUciGetsATable) {
    // The empty board has no king: the answer comes at once, with no search.
    check({"a later setoption resizes instead of failing", "go depth 1\nsetoption name Hash value 1\nisready\n",
           "bestmove 0000\n" + kReady, 0});
}

TEST(UciTranscript, LinesAlreadyReadAreSeenByTheSearch) {
    // Everything arrives in one write and the input stays open, so the lines
    // after "go" wait in the engine's own buffer and the pipe is empty: only a
    // poll that counts buffered input sees them. The first poll drops
    // "isready", the second stops the search.
    driver::EnginePipe engine;
    ASSERT_TRUE(start_engine(engine));
    engine.send("position startpos\ngo infinite\nisready\nstop\n");
    std::string line;
    bool stopped = false;
    while (!stopped && engine.read_line(line, 20000)) {
        EXPECT_NE(line, "readyok") << "the isready read during the search is lost";
        stopped = line.rfind("bestmove ", 0) == 0;
    }
    if (!stopped) {
        engine.wait_exit(0);  // still searching: end it
        FAIL() << "the search never saw the stop";
    }
    engine.send("isready\n");
    ASSERT_TRUE(engine.read_line(line, 20000));
    EXPECT_EQ(line, "readyok");
    engine.close_input();
    ASSERT_TRUE(engine.read_line(line, 20000));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(engine.read_line(line, 20000));
    EXPECT_EQ(engine.wait_exit(20000), 0);
}

TEST(UciTranscript, QuitDuringASearch) {
    driver::ProgramRun run = run_engine("position startpos\ngo infinite\nquit\nisready\n");
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.output.find("bestmove"), std::string::npos);
    EXPECT_EQ(run.output.find("readyok"), std::string::npos);
}

TEST(UciTranscript, LineLengthLimit) {
    const std::string longest(65535, 'x');
    const Transcript cases[] = {
        {"65,535 characters are one line", longest + "\nisready\n", kUnknown + kReady, 0},
        {"a dropped carriage return does not count", longest + "\r\nisready\n", kUnknown + kReady, 0},
        {"65,536 characters end the input", longest + "x\nisready\n", "", 0},
        {"a long line after others", "isready\n" + longest + "xx\nisready\n", kReady, 0},
    };
    for (const auto& t : cases) check(t);
}

TEST(UciTranscript, LineEndingsAndZeroBytes) {
    const Transcript cases[] = {
        {"CR LF line ends", "uci\r\nisready\r\n", kIdentity + kReady, 0},
        {"only the CR next to the LF goes", "isready\r\r\n", kUnknown, 0},
        {"zero byte ends the text", text_with_nul("isready", "junk\n"), kReady, 0},
        {"CR LF on quit", "quit\r\n", "", 1},
    };
    for (const auto& t : cases) check(t);
}

TEST(UciTranscript, MoveErrors) {
    const Transcript cases[] = {
        {"bad square then good move", "position startpos moves e2e5 e2e4\n", kMoveError, 0},
        {"not the side to move", "position startpos moves e7e5\n", kMoveError, 0},
        {"upper-case promotion letter", "position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8Q\n", kMoveError, 0},
        {"r b n after a plain move", "position startpos moves e2e4r e2e4b e2e4n\n",
         kMoveError + kMoveError + kMoveError, 0},
        {"two blanks after moves", "position startpos moves  e2e4\n", kMoveError, 0},
        {"short token at the end", "position startpos moves e2e4 e7\n", kMoveError, 0},
        {"characters off the board", "position startpos moves i2i4 e0e1 e2e9\n", kMoveError + kMoveError + kMoveError,
         0},
    };
    for (const auto& t : cases) check(t);
}

}  // namespace vargul
