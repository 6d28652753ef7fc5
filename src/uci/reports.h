#pragma once

#include <cstdint>

#include "platform/line_writer.h"
#include "search/reporter.h"

namespace vargul {

struct Engine;

// The search's reports as UCI lines on the engine's output, and its input
// checks read from the engine's input.
class UciReporter final : public SearchReporter {
public:
    explicit UciReporter(Engine& engine) : engine_(engine) {}

    // "info currmove e2e4 currmovenumber 1 depth 5": squares only, never a promotion letter.
    void current_move(Move move, int number, int depth) override;
    // The best line so far at `depth`, unless it repeats the value already
    // reported at that depth (then an empty line).
    void best_line(Side root_side, std::uint64_t nodes, double seconds, std::int32_t value, const PvLine& line,
                   int depth) override;
    void iteration(int depth, double seconds, std::int32_t score, std::uint64_t nodes, const PvLine& line) override;
    // "bestmove e7e8q", or "bestmove 0000" when no move was stored.
    void best_move(Move best) override;
    void diagnostic(const char* text) override;
    InputEvent check_input() override;
    InputEvent look_for_stop() override;

private:
    Engine& engine_;
};

// Whole nodes per second: 0 when no time was measured, at most the largest
// signed 32-bit number.
std::int32_t nodes_per_second(std::uint64_t nodes, double seconds);

// " score cp 35", or " score mate N" in moves for a line of `length` plies:
// positive when the side to move mates, negative (or 0) when it is mated.
// `score` is from the side to move's point of view.
void append_score(LineWriter& out, std::int32_t score, int length);

}  // namespace vargul
