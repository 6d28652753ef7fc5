#pragma once

#include <cstdint>

#include "board/move.h"

namespace vargul {

// The exchange sort of entries begin .. end-1 by falling score: for each i in
// turn, every later j whose score beats entry i's swaps places with it. Not
// stable: the order among equal scores is the one this exact procedure gives,
// and the search depends on it.
//
// Pass i changes only entries i .. end-1 and leaves at i what the whole sort
// leaves there, so the passes run one at a time, when their entry is wanted:
// a node that cuts off on its first moves never runs the rest.
//
// Pass i leaves at i the largest score of entries i .. end-1, and once entry i
// holds that score no later entry can beat it, so the rest of the pass swaps
// nothing. Stopping each pass there makes the same swaps in the same order at
// a fraction of the comparisons: a pass over equal scores, the common case,
// stops at once. A long range keeps the largest score of every tail in
// `tail_max`; a pass changes entries only up to its last swap, so only that
// stretch of it needs working out again. Once the tail from i on is already in
// falling order, no pass from i on swaps anything. The array belongs to the
// caller, indexed by list position, so two ranges of one list can share it.
inline constexpr int kShortSortLength = 12;

struct ExchangePasses {
    MoveList* list = nullptr;
    std::int32_t* tail_max = nullptr;  // tail_max[j]: the largest score of entries j .. end-1
    int begin = 0;
    int end = 0;
    int done = 0;          // entries begin .. done-1 are final
    int falling_from = 0;  // entries falling_from .. end-1 are in falling order, for a long range
    bool started = false;  // tail_max and falling_from worked out
};

inline ExchangePasses exchange_passes(MoveList& list, int begin, int end, std::int32_t* tail_max) {
    ExchangePasses passes;
    passes.list = &list;
    passes.tail_max = tail_max;
    passes.begin = begin;
    passes.end = end;
    passes.done = end - begin < 2 ? end : begin;
    return passes;
}

namespace exchange_detail {

// A short range, most often the captures, sorts quicker by the plain pass.
inline void plain_pass(MoveList& list, int i, int end) {
    std::int32_t* const score = list.score;
    Move* const move = list.move;
    for (int j = i + 1; j < end; ++j) {
        if (score[i] < score[j]) {
            const Move m = move[i];
            move[i] = move[j];
            move[j] = m;
            const std::int32_t s = score[i];
            score[i] = score[j];
            score[j] = s;
        }
    }
}

inline void start_long_range(ExchangePasses& p) {
    const std::int32_t* const score = p.list->score;
    std::int32_t running = score[p.end - 1];
    int falling_from = p.end - 1;
    for (int j = p.end - 1; j >= p.begin; --j) {
        if (score[j] > running) running = score[j];
        if (falling_from == j + 1 && score[j] >= score[j + 1]) falling_from = j;
        p.tail_max[j] = running;
    }
    p.falling_from = falling_from;
    p.started = true;
}

// Pass i of a long range, i < falling_from.
inline void long_pass(ExchangePasses& p, int i) {
    std::int32_t* const score = p.list->score;
    Move* const move = p.list->move;
    std::int32_t* const tail_max = p.tail_max;
    const std::int32_t top = tail_max[i];
    // Entry i's occupant travels along the pass in registers: each swap
    // leaves the one it carried at j and picks up j's.
    std::int32_t held = score[i];
    if (held == top) return;
    Move held_move = move[i];
    int j = i + 1;
    for (;; ++j) {
        if (held < score[j]) {
            const std::int32_t s = score[j];
            const Move m = move[j];
            score[j] = held;
            move[j] = held_move;
            held = s;
            held_move = m;
            if (held == top) break;
        }
    }
    score[i] = held;
    move[i] = held_move;
    // Entries i+1 .. j changed: their tails' largest scores again.
    if (p.falling_from <= j) p.falling_from = j + 1;
    std::int32_t running = j + 1 < p.end ? tail_max[j + 1] : score[j];
    for (int k = j; k > i; --k) {
        if (score[k] > running) running = score[k];
        tail_max[k] = running;
    }
}

}  // namespace exchange_detail

// Runs the passes up to and including entry i's; entries begin .. i are final after it.
inline void sort_through(ExchangePasses& p, int i) {
    if (i < p.done) return;
    if (p.end - p.begin <= kShortSortLength) {
        // The last entry is final once the one before it is.
        for (; p.done <= i && p.done < p.end - 1; ++p.done) exchange_detail::plain_pass(*p.list, p.done, p.end);
        if (p.done == p.end - 1) p.done = p.end;
        return;
    }
    if (!p.started) exchange_detail::start_long_range(p);
    for (; p.done <= i; ++p.done) {
        // From falling_from on the tail falls already: no later pass swaps anything.
        if (p.done >= p.falling_from) {
            p.done = p.end;
            return;
        }
        exchange_detail::long_pass(p, p.done);
    }
}

}  // namespace vargul
