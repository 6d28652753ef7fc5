#pragma once

#include <cstdint>

#include "board/move.h"
#include "search/exchange_passes.h"
#include "search/ordering.h"

namespace vargul {

// A node's moves in the order that sort_moves followed by the lifts
// (killers_to_front, move_to_front) gives them, with each pass of the sort
// run only when its entry is first wanted.
//
// That order is a short head, the entries the lifts placed or passed over,
// followed by the sorted list with the lifted moves left out. A lifted move
// stays in the list meanwhile, and the passes move it as they would have:
// taking it out would change how they break ties among the others. The moves
// of a generated list are distinct, which is what lets a move be found by its
// word alone.
struct MoveOrder {
    static constexpr int kMaxHead = 8;  // two killers, the hash move, the deepening's move and the entries before them

    MoveList* list = nullptr;
    ExchangePasses captures;
    ExchangePasses quiet;
    Move head[kMaxHead];
    int head_length = 0;
    Move lifted[kMaxHead];  // head entries taken from further down the list, skipped when the list gets there
    int lifted_count = 0;
    int cursor = 0;  // list entries before it are in the head or were handed out
    int served = 0;  // moves handed out by next_move
    std::int32_t tail_max[kMaxMoves];
};

inline void start_move_order(MoveOrder& order, MoveList& list) {
    order.list = &list;
    order.captures = exchange_passes(list, 0, list.capture_count, order.tail_max);
    order.quiet = exchange_passes(list, list.capture_count, list.move_count, order.tail_max);
    order.head_length = 0;
    order.lifted_count = 0;
    order.cursor = 0;
    order.served = 0;
}

namespace move_order_detail {

inline bool is_lifted(const MoveOrder& order, Move m) {
    for (int k = 0; k < order.lifted_count; ++k)
        if (order.lifted[k] == m) return true;
    return false;
}

// The sorted list's next entry that no lift took; 0 past the end.
inline Move next_from_list(MoveOrder& order) {
    MoveList& list = *order.list;
    while (order.cursor < list.move_count) {
        const int i = order.cursor++;
        settle_through(i < list.capture_count ? order.captures : order.quiet, i);
        const Move m = list.move[i];
        if (!is_lifted(order, m)) return m;
    }
    return 0;
}

// Fills the head up to `length` entries, or as far as the moves go.
inline void extend_head(MoveOrder& order, int length) {
    while (order.head_length < length) {
        const Move m = next_from_list(order);
        if (m == 0) return;
        order.head[order.head_length++] = m;
    }
}

}  // namespace move_order_detail

// The largest capture score, as the sorted list's entry 0 holds it.
inline std::int32_t top_capture_score(MoveOrder& order) {
    settle_through(order.captures, 0);
    return order.list->score[0];
}

// What lift_entry(list, find_move(list, m, p), p) does to the order: m, if
// it stands at p or later, moves to p and the entries from p on move up one.
inline bool lift_move(MoveOrder& order, Move m, int p) {
    using namespace move_order_detail;
    extend_head(order, p);
    if (order.head_length < p) return false;
    int at = -1;
    for (int k = 0; k < order.head_length; ++k) {
        if (order.head[k] == m) {
            at = k;
            break;
        }
    }
    if (at < 0) {
        // Not in the head: in the rest of the list, or not there at all.
        if (find_move(*order.list, m, 0) < 0) return false;
        order.lifted[order.lifted_count++] = m;
        at = order.head_length++;
    } else if (at < p) {
        return false;
    }
    for (int k = at; k > p; --k) order.head[k] = order.head[k - 1];
    order.head[p] = m;
    return true;
}

// place_killers: behind a first capture that scores at least 0, else in front.
inline void lift_killers(MoveOrder& order, const Killers& killers, int ply) {
    const int p = order.list->capture_count > 0 && top_capture_score(order) >= 0 ? 1 : 0;
    lift_move(order, killers.killer_1[ply], p);
    lift_move(order, killers.killer_2[ply], p + 1);
}

inline bool lift_to_front(MoveOrder& order, Move m) { return lift_move(order, m, 0); }

// The first move in the order, without handing it out; the list must not be empty.
inline Move first_move(MoveOrder& order) {
    move_order_detail::extend_head(order, 1);
    return order.head[0];
}

// The moves in order, one per call, list.move_count of them in all.
inline Move next_move(MoveOrder& order) {
    if (order.served < order.head_length) return order.head[order.served++];
    ++order.served;
    return move_order_detail::next_from_list(order);
}

}  // namespace vargul
