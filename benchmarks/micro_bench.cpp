// Micro-benchmarks of the hot paths: generation, make/unmake, the attack
// tests and the evaluation, over a handful of varied positions.
#include <benchmark/benchmark.h>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/generate.h"
#include "position/evaluate.h"
#include "position/make_move.h"

namespace vargul {
namespace {

constexpr const char* kPositions[] = {
    "fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "fen rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
};

Board board_of(int index) {
    Board b{};
    parse_fen(kPositions[index], b);
    return b;
}

void BM_GenerateAll(benchmark::State& state) {
    Board b = board_of(static_cast<int>(state.range(0)));
    MoveList list;
    for (auto _ : state) {
        generate_all<Side::White>(b, list, kNoHistory);
        benchmark::DoNotOptimize(list.move_count);
    }
}
BENCHMARK(BM_GenerateAll)->DenseRange(0, 4);

void BM_GenerateCaptures(benchmark::State& state) {
    Board b = board_of(static_cast<int>(state.range(0)));
    MoveList list;
    for (auto _ : state) {
        generate_captures<Side::White>(b, list, kNoHistory);
        benchmark::DoNotOptimize(list.move_count);
    }
}
BENCHMARK(BM_GenerateCaptures)->DenseRange(0, 4);

// Every move of the list made, tested for legality and unmade.
void BM_MakeTestUnmake(benchmark::State& state) {
    Board b = board_of(static_cast<int>(state.range(0)));
    MoveList list;
    generate_all<Side::White>(b, list, kNoHistory);
    for (auto _ : state) {
        int legal = 0;
        for (int i = 0; i < list.move_count; ++i) {
            MoveUndo undo;
            make_move<Side::White>(b, list.move[i], undo);
            legal += !king_attacked<Side::White>(b);
            unmake_move<Side::White>(b, list.move[i], undo);
        }
        benchmark::DoNotOptimize(legal);
    }
    state.SetItemsProcessed(state.iterations() * list.move_count);
}
BENCHMARK(BM_MakeTestUnmake)->DenseRange(0, 4);

void BM_KingAttacked(benchmark::State& state) {
    Board b = board_of(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(king_attacked<Side::White>(b));
        benchmark::DoNotOptimize(king_attacked<Side::Black>(b));
    }
}
BENCHMARK(BM_KingAttacked)->DenseRange(0, 4);

void BM_Evaluate(benchmark::State& state) {
    Board b = board_of(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(evaluate(b));
}
BENCHMARK(BM_Evaluate)->DenseRange(0, 4);

}  // namespace
}  // namespace vargul

BENCHMARK_MAIN();
