// build/bench [depth | --latency | --version]
// Searches a fixed set of positions with "go depth N" through the engine's own
// command handling and driver, with the engine's output discarded. Prints one
// line per position (the engine's node counts summed over the iterations, and
// its best move), then
//   signature <S> nodes <N> time_ms <T> nps <R>
// S sums the engine's own node counts: it changes only when search behaviour
// changes. N counts every node visited, main search and quiescence alike (the
// engine's own count leaves out quiescence, null-move and internal-deepening
// nodes), so that R compares with other engines' node rates.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "board/move_text.h"
#include "platform/clock.h"
#include "platform/decimal.h"
#include "platform/descriptor_io.h"
#include "platform/line_writer.h"
#include "search/all_nodes.h"
#include "search/search_constants.h"
#include "tool_version.h"
#include "uci/command_loop.h"
#include "uci/engine.h"
#include "uci/go.h"

namespace vargul {

namespace {

// Takes about ten seconds in Release on the reference machine.
constexpr int kDefaultDepth = 8;
constexpr int kMaxDepth = kMaxSearchDepth;
static_assert(kMaxDepth == 50, "the depth error message names the limit");

// Openings, middlegames, endgames with passed pawns and promotions, and
// positions with checks, mates and a stalemate, for either side to move.
constexpr const char* kPositions[] = {
    "startpos",
    "startpos moves e2e4 e7e5 g1f3 b8c6 f1b5",
    "startpos moves e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3",
    "startpos moves d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7",
    "fen rnbq1rk1/ppp1ppbp/3p1np1/8/2PPP3/2N2N2/PP3PPP/R1BQKB1R w KQ - 0 6",
    "fen rnbqkbnr/ppp2ppp/4p3/3pP3/3P4/8/PPP2PPP/RNBQKBNR b KQkq - 0 3",
    "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "fen r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "fen rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "fen r2q1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PN1PN2/PB2BPPP/R2Q1RK1 w - - 0 10",
    "fen 2rq1rk1/pp1bppbp/2np1np1/8/3NP3/1BN1BP2/PPPQ2PP/2KR3R b - - 0 11",
    "fen r1b2rk1/2q1bppp/p2ppn2/1p6/3BPP2/2N2B2/PPPQ2PP/2KR3R w - - 0 13",
    "fen r1bq2r1/b4pk1/p1pp1p2/1p2pP2/1P2P1PB/3P4/1PPQ2P1/R3K2R w - - 0 1",
    "fen 3r1rk1/p4ppp/1qp1b3/2b1P3/8/2N3Q1/PPP1B1PP/R1B2R1K b - - 0 1",
    "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "fen 8/8/8/4k3/8/8/4PK2/8 w - - 0 1",
    "fen 8/P7/8/8/8/8/k7/4K3 w - - 0 1",
    "fen 4k3/1P6/8/8/8/8/6p1/4K3 b - - 0 1",
    "fen 8/5pk1/6p1/7p/7P/6P1/5PK1/8 w - - 0 1",
    "fen 6k1/5ppp/8/8/8/8/1r3PPP/4R1K1 w - - 0 1",
    "fen 8/8/1p6/1P1k4/8/3K4/8/8 b - - 0 1",
    "fen 8/1k6/3p4/p2P1p2/P2P1P2/8/8/5K2 w - - 0 1",
    "fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1",
    "fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
    "fen 6rk/6pp/8/6N1/8/8/8/6K1 w - - 0 1",
    "fen rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3",
    "fen k7/8/1Q6/8/8/8/8/7K b - - 0 1",
    "fen 4r1k1/pp3ppp/8/3q4/8/1P3PP1/P5KP/3RQ3 b - - 0 1",
    "fen r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1",
};

[[noreturn]] void fail(const char* message) {
    LineWriter err(2);
    err << "bench: " << message;
    err.end_line();
    std::exit(2);
}

int parse_depth(const char* text) {
    std::int64_t depth = 0;
    if (!whole_unsigned(text, 2, 1, kMaxDepth, depth)) fail("depth must be a number from 1 to 50");
    return static_cast<int>(depth);
}

// Milliseconds the engine takes over one command, median of `runs`.
double command_ms(Engine& engine, const char* command, int runs) {
    std::int64_t times_us[16];
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        if (handle_command(engine, command) != kCarryOn) fail("the engine ended the run");
        times_us[r] =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
    }
    std::sort(times_us, times_us + runs);
    return static_cast<double>(times_us[runs / 2]) / 1000.0;
}

// What a GUI waits for before a search starts and after it resizes the table:
// "go depth 1" from the initial position and "setoption ... Hash" then
// "isready", at three table sizes.
int latency() {
    auto engine = std::make_unique<Engine>();
    engine->output_fd = open_discard_output();
    if (engine->output_fd < 0) fail("cannot open a discarding output");
    handle_command(*engine, "uci");
    handle_command(*engine, "position startpos");
    for (const char* megabytes : {"1", "32", "1024"}) {
        char setoption[64];
        std::snprintf(setoption, sizeof setoption, "setoption name Hash value %s", megabytes);
        const auto start = std::chrono::steady_clock::now();
        handle_command(*engine, setoption);
        handle_command(*engine, "isready");
        const double resize_ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const double go_ms = command_ms(*engine, "go depth 1", 5);
        std::printf("hash_mb %s setoption_isready_ms %.3f go_depth_1_ms %.3f\n", megabytes, resize_ms, go_ms);
    }
    return 0;
}

}  // namespace

}  // namespace vargul

using namespace vargul;

int main(int argc, char** argv) {
    if (print_version("bench", argc, argv)) return 0;
    if (argc > 2) fail("usage: bench [depth | --latency | --version]");
    if (argc == 2 && std::strcmp(argv[1], "--latency") == 0) return latency();
    const int depth = argc == 2 ? parse_depth(argv[1]) : kDefaultDepth;

    // The engine's replies are discarded; the bench's own lines go to standard output.
    auto engine = std::make_unique<Engine>();
    engine->output_fd = open_discard_output();
    if (engine->output_fd < 0) fail("cannot open a discarding output");
    if (handle_command(*engine, "uci") != kCarryOn) fail("no memory for the hash table");

    char go_line[32];
    std::snprintf(go_line, sizeof go_line, "go depth %d", depth);
    const GoParameters go = parse_go_parameters(go_line);

    char line[256];
    std::uint64_t signature = 0;
    std::uint64_t all_nodes = 0;
    std::int64_t elapsed_ms = 0;
    int index = 0;
    for (const char* position : kPositions) {
        std::snprintf(line, sizeof line, "position %s", position);
        handle_command(*engine, line);
        // What the command loop does for "go", with the counting instantiation
        // of the search; only the search itself is timed.
        if (!prepare_search(*engine)) fail("no memory for the hash table");
        const std::int64_t start = now_milliseconds();
        const DeepeningSummary summary = run_search<AllNodes::On>(*engine, go, start);
        elapsed_ms += now_milliseconds() - start;
        signature += summary.nodes_summed;
        all_nodes += summary.all_nodes;

        LineWriter out(kStandardOutput);
        out << "position " << ++index << " nodes " << summary.nodes_summed << " bestmove ";
        if (summary.best == 0)
            out << "0000";
        else
            out << move_text(summary.best);
        out.end_line();
    }

    const std::uint64_t ms = elapsed_ms > 0 ? static_cast<std::uint64_t>(elapsed_ms) : 1;
    LineWriter out(kStandardOutput);
    out << "signature " << signature << " nodes " << all_nodes << " time_ms " << static_cast<std::uint64_t>(elapsed_ms)
        << " nps " << all_nodes * 1000 / ms;
    out.end_line();
    return 0;
}
