#pragma once

#include <cstdint>

namespace vargul {

// Every tuning number of the search in one place. The values are part of the
// engine's behaviour: changing any of them changes the bench signature.

// Deepening and time.
inline constexpr std::int32_t kDepthWithClock = 20;  // last iteration when a clock or move time is given
inline constexpr std::int32_t kDepthInfinite = 50;   // last iteration of "go infinite"
inline constexpr int kMaxSearchDepth = 50;           // no iteration goes deeper, whatever was asked
#ifdef VARGUL_FUZZ
// The fuzzing build keeps every search shallow, so each input runs in milliseconds.
inline constexpr int kLastDepth = 3;
#else
inline constexpr int kLastDepth = kMaxSearchDepth;
#endif
inline constexpr double kClockShare = 100.0;       // an iteration may begin while the last took under clock / 100
inline constexpr std::int64_t kCeilingShare = 10;  // no search runs past a tenth of the own clock
// Main-search and capture-search nodes between two clock readings: a few
// hundred microseconds of search, so a deadline is met to within a millisecond.
inline constexpr std::int32_t kClockCheckNodes = 4096;
// Time without a look at the input after which the search looks from wherever
// it is, capture search included: there the leaf polls may not come for minutes.
inline constexpr std::int64_t kInputFallbackMs = 250;

// Input poll: leaf calls between two looks at the input.
inline constexpr std::int32_t kPollInterval = 50000;

// Main search.
inline constexpr int kFutilityMargin = 100;
// The parent's first moves are the likeliest best: their subtrees are never pruned.
inline constexpr int kLeastPrunedIndex = 4;
inline constexpr int kNullMoveLeastDepth = 2;
// Null-move reduction R: the null move's search runs R plies shallower than a normal child.
inline constexpr int kNullMoveReduction = 3;
// Internal iterative deepening, at the root and inside alike.
inline constexpr int kDeepeningLeastDepth = 3;
inline constexpr int kDeepeningReduction = 2;
// Late-move reduction: how much shallower the first look at a late quiet move is, and from what depth.
inline constexpr int kLateMoveReduction = 1;
inline constexpr int kReductionLeastDepth = 3;
// Keeps a path of checks from growing without end.
inline constexpr int kMaxExtension = 10;

// Delta pruning in the capture search: how far the stand pat lies short of the
// bound before a kind of victim cannot make up the difference; the shortfall
// must exceed these.
inline constexpr int kPawnDelta = 390;
inline constexpr int kMinorDelta = 590;
inline constexpr int kRookDelta = 1090;

}  // namespace vargul
