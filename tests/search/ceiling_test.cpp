// The time ceiling and the input fallback, driven by a fake clock so that no
// test sleeps: a deadline ends the search as "stop" would, capture search
// included; a deadline that never passes changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "board/fen.h"
#include "position/keys.h"
#include "position/make_move.h"
#include "search/deepening.h"
#include "search/search_constants.h"

namespace {

// Each reading moves the time on by `step` milliseconds.
class FakeClock final : public Clock {
public:
    explicit FakeClock(std::int64_t step) : step_(step) {}
    std::int64_t milliseconds() override {
        ++readings;
        now_ += step_;
        return now_;
    }
    int readings = 0;

private:
    std::int64_t now_ = 1000;
    std::int64_t step_;
};

class Recorder final : public SearchReporter {
public:
    void current_move(Move, int, int) override {}
    void best_line(int, std::uint64_t, double, std::int32_t, const PvLine&, int) override {}
    void iteration(int depth, double, std::int32_t, std::uint64_t, const PvLine&) override {
        iterations.push_back(depth);
        events.push_back('i');
    }
    void best_move(const BestMove&) override { events.push_back('b'); }
    void diagnostic(const char*) override { ++diagnostics; }
    InputEvent check_input() override {
        ++input_checks;
        return answer;
    }

    std::vector<int> iterations;
    std::vector<char> events;
    int diagnostics = 0;
    int input_checks = 0;
    InputEvent answer = InputEvent::none;
};

struct SearchRun {
    DeepeningSummary summary;
    Board board_after;
    Board board_before;
};

// A deep search of the position with a huge per-iteration budget, so only a
// deadline can end it early. The leaf poll is set far from its next turn.
SearchRun search_with(const char* fen, std::int64_t deadline, Clock& clock, Recorder& recorder, int max_depth = 20) {
    auto tables = std::make_unique<SearchTables>();
    tables->hash.megabytes = 1;
    EXPECT_TRUE(allocate_hash_table(tables->hash));
    SearchRun run{};
    parse_fen(fen, run.board_before);
    compute_hash_key(run.board_before);
    run.board_before.eval = count_material(run.board_before);
    run.board_after = run.board_before;
    RecentMoves recent{};
    for (int k = 0; k <= 4; ++k) recent.from_square[k] = recent.to_square[k] = k + 1;
    std::uint64_t nodes = 0;
    const SearchLimits limits{max_depth, 1e9, deadline};
    run.summary = iterative_deepening<Tally::On>(run.board_after, limits, recent, {nodes, *tables, recorder, clock});
    release_hash_table(tables->hash);
    return run;
}

// Queens for both sides on every promotion square: the capture search below
// a single leaf runs for minutes.
constexpr const char* kExplosive = "fen 8/PPPPPPPP/8/2k5/8/8/pppppppp/4K3 w - - 0 1";
constexpr const char* kMiddlegame = "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

TEST(SearchDeadline, FromMoveTimeOrATenthOfTheOwnClockOrNone) {
    struct Case {
        GoParameters go;
        std::int32_t side;
        std::int64_t deadline;
    };
    const Case cases[] = {
        {{.movetime = 0.1}, 1, 5100},
        {{.wtime = 10.0, .btime = 20.0}, 1, 6000},
        {{.wtime = 10.0, .btime = 20.0}, 0, 7000},
        {{.wtime = 10.0, .btime = 20.0, .movetime = 0.25}, 1, 5250},  // a move time wins over the clock
        {{.btime = 20.0}, 1, kNoDeadline},                            // only the own clock counts
        {{.depth = 9}, 1, kNoDeadline},
        {{.infinite = true}, 0, kNoDeadline},
        {{}, 1, kNoDeadline},
    };
    for (const Case& c : cases) EXPECT_EQ(search_deadline(c.go, c.side, 5000), c.deadline);
}

TEST(SearchDeadline, AnUnreachedDeadlineChangesNothing) {
    FakeClock free_clock(1), bound_clock(1);
    Recorder free_run, bound_run;
    const SearchRun a = search_with(kMiddlegame, kNoDeadline, free_clock, free_run, 5);
    const SearchRun b = search_with(kMiddlegame, 1000000000, bound_clock, bound_run, 5);
    EXPECT_EQ(a.summary.nodes_summed, b.summary.nodes_summed);
    EXPECT_EQ(a.summary.tallied_nodes, b.summary.tallied_nodes);
    EXPECT_EQ(a.summary.best.from, b.summary.best.from);
    EXPECT_EQ(a.summary.best.to, b.summary.best.to);
    EXPECT_EQ(free_run.iterations, bound_run.iterations);
}

TEST(SearchDeadline, PassingItEndsTheSearchAsStopDoes) {
    FakeClock clock(1);
    Recorder recorder;
    // The deadline passes at the first clock reading inside the search.
    const SearchRun run = search_with(kMiddlegame, 1000, clock, recorder, 7);
    ASSERT_FALSE(recorder.iterations.empty());
    EXPECT_LT(recorder.iterations.back(), 7);
    // The interrupted iteration is reported, then the best move, and nothing else starts.
    ASSERT_GE(recorder.events.size(), 2u);
    EXPECT_EQ(recorder.events[recorder.events.size() - 2], 'i');
    EXPECT_EQ(recorder.events.back(), 'b');
    EXPECT_NE(run.summary.best.kind, 0);
    EXPECT_EQ(recorder.diagnostics, 0);
    EXPECT_EQ(0, std::memcmp(&run.board_before, &run.board_after, sizeof(Board)));
}

TEST(SearchDeadline, EndsTheCaptureSearchToo) {
    FakeClock clock(1);
    Recorder recorder;
    const SearchRun run = search_with(kExplosive, 1010, clock, recorder);
    // A few clock readings' worth of nodes, not the minutes this position takes.
    EXPECT_LT(run.summary.tallied_nodes, std::uint64_t{20} * kClockCheckNodes);
    EXPECT_EQ(recorder.events.back(), 'b');
    EXPECT_EQ(0, std::memcmp(&run.board_before, &run.board_after, sizeof(Board)));
}

TEST(InputFallback, LooksAtTheInputWhenNoPollCameForLong) {
    // Time runs fast: every clock reading is a quarter of a second on.
    FakeClock clock(kInputFallbackMs);
    Recorder recorder;
    recorder.answer = InputEvent::stop;
    const SearchRun run = search_with(kExplosive, kNoDeadline, clock, recorder);
    EXPECT_GE(recorder.input_checks, 1);
    EXPECT_LT(run.summary.tallied_nodes, std::uint64_t{20} * kClockCheckNodes);
    EXPECT_EQ(recorder.events.back(), 'b');

    FakeClock quit_clock(kInputFallbackMs);
    Recorder quitter;
    quitter.answer = InputEvent::quit;
    const SearchRun quit_run = search_with(kExplosive, kNoDeadline, quit_clock, quitter);
    EXPECT_TRUE(quit_run.summary.quit);
    EXPECT_TRUE(quitter.events.empty());  // nothing more after "quit"
    EXPECT_EQ(0, std::memcmp(&quit_run.board_before, &quit_run.board_after, sizeof(Board)));
}

TEST(InputFallback, StaysQuietWhileTimeStandsStill) {
    FakeClock clock(0);
    Recorder recorder;
    recorder.answer = InputEvent::stop;
    search_with(kMiddlegame, kNoDeadline, clock, recorder, 4);
    EXPECT_EQ(recorder.input_checks, 0);
    EXPECT_EQ(recorder.iterations.size(), 4u);
}

}  // namespace
