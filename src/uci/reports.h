#pragma once

#include <cstdint>

#include "board/move.h"
#include "search/pv_line.h"
#include "uci/line_writer.h"

// Marks that no best-line report has been written at the current depth.
inline constexpr std::int32_t kNoReportValue = -999999993;

// The last best-line report written; kept across searches, never reset.
extern std::int32_t last_report_depth;
extern std::int32_t last_report_value;

// "info currmove e2e4 currmovenumber 1 depth 5": squares only, never a promotion letter.
void report_current_move(int index, const MoveList& list, int number, int depth);

// The best line so far at `depth`, unless it repeats the value already
// reported at that depth (then an empty line). `side` is 1 from White's root
// search, 0 from Black's; `value` is White's point of view.
void report_line(int side, std::uint64_t node_count, double seconds, std::int32_t value, const PvLine& line,
                 int depth);

// Whole nodes per second: 0 when no time was measured, at most the largest
// signed 32-bit number.
std::int32_t nodes_per_second(std::uint64_t nodes, double seconds);

// " score cp 35", or " score mate N" in moves for a line of `length` plies:
// positive when the side to move mates, negative (or 0) when it is mated.
// `score` is from the side to move's point of view.
void append_score(LineWriter& out, std::int32_t score, int length);

// A move of a best-line report: squares, then a fifth character for every
// kind except en passant (a blank for ordinary moves, a letter for promotions).
void append_report_move(LineWriter& out, Move m);
