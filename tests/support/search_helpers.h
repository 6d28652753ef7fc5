#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "search/pv_line.h"
#include "search/recent_moves.h"
#include "search/reporter.h"
#include "search/search_state.h"
#include "search/search_tables.h"

namespace vargul {

// A clock that shows what the test sets, plus `step` milliseconds more at every reading.
class FakeClock final : public Clock {
public:
    std::int64_t now = 0;
    std::int64_t step = 0;
    int readings = 0;
    std::int64_t milliseconds() override {
        ++readings;
        const std::int64_t shown = now;
        now += step;
        return shown;
    }
};

// Keeps everything the search reports, in order, and answers its input
// checks from a script (InputEvent::none once the script is used up).
class RecordingReporter final : public SearchReporter {
public:
    struct Iteration {
        int depth;
        double seconds;
        std::int32_t score;
        std::uint64_t nodes;
        std::string pv;
    };
    struct BestLine {
        Side side;
        std::int32_t value;
        int depth;
        std::string pv;
    };

    void current_move(Move move, int number, int depth) override;
    void best_line(Side side, std::uint64_t nodes, double seconds, std::int32_t value, const PvLine& line,
                   int depth) override;
    void iteration(int depth, double seconds, std::int32_t score, std::uint64_t nodes, const PvLine& line) override;
    void best_move(Move best) override;
    void diagnostic(const char* text) override;
    InputEvent check_input() override;
    // The fallback look answers from the same script.
    InputEvent look_for_stop() override { return check_input(); }

    // One entry per call, e.g. "currmove e2e4 1 3", "line 3 20 e2e4 e7e5",
    // "iteration 3 20 e2e4 e7e5", "bestmove e2e4", "diagnostic ...", "poll stop".
    std::vector<std::string> events;
    std::vector<Iteration> iterations;
    std::vector<BestLine> best_lines;
    std::vector<std::string> best_moves;  // "e7e8q", "0000"
    std::vector<std::string> diagnostics;
    std::deque<InputEvent> inputs;
    int polls = 0;
};

// The moves of a line as the engine writes them, joined by single blanks.
std::string line_text(const PvLine& line);

// The recent moves of a game without moves: nothing can repeat.
RecentMoves no_recent_moves();

// What one search below the driver needs: its tables (with a small hash
// table), a recording reporter, a clock and the node count.
struct SearchSetup {
    SearchSetup();

    // A fresh state as the driver builds it at every "go".
    SearchState state(const RecentMoves& recent = no_recent_moves());

    std::uint64_t node_count = 0;
    SearchTables tables{};
    RecordingReporter reporter;
    FakeClock clock;
};

// The text with every " nps <digits>" replaced by " nps N": the one figure
// that differs between two runs of the same commands.
std::string mask_nps(const std::string& text);

// The lines of the text, without their line feeds.
std::vector<std::string> lines_of(const std::string& text);

// Whether any line is a diagnostic that a correct build never writes.
bool has_diagnostics(const std::string& text);

// The per-iteration "info" lines (the best-line reports carry " seldepth ").
std::vector<std::string> iteration_lines(const std::string& text);

}  // namespace vargul
