#pragma once

#include <cstdint>

#include "board/move.h"
#include "search/exchange_passes.h"
#include "search/hash_table.h"
#include "search/killers.h"

namespace vargul {

// A node's moves in the order the search tries them, for the root and the
// inner nodes alike: the tactical range and then the quiet range, each by
// falling score under the exchange sort, with the killers, the hash move and
// the internal deepening's move moved up as the search asks. Each pass of the
// sort runs only when its entry is first wanted: a node that cuts off on its
// first moves never sorts the rest.
//
// The order is a short head, the entries moved up or passed over on the way,
// followed by the sorted list with the moved-up entries left out. A moved-up
// move stays in the list meanwhile, and the passes move it as they would have:
// taking it out would change how they break ties among the others. The moves
// of a generated list are distinct, which is what lets a move be found by its
// word alone. tests/support/eager_order.h has the same order sorted whole.
struct MovePicker {
    static constexpr int kMaxHead = 8;  // two killers, the hash move, the deepening's move and the entries before them

    MoveList* list = nullptr;
    ExchangePasses captures;
    ExchangePasses quiet;
    Move head[kMaxHead];
    int head_length = 0;
    Move moved_up[kMaxHead];  // head entries taken from further down the list, skipped when the list gets there
    int moved_up_count = 0;
    int cursor = 0;  // list entries before it are in the head or were handed out
    int served = 0;  // moves handed out by next_move
    std::int32_t tail_max[kMaxMoves];
};

inline void start_move_picker(MovePicker& picker, MoveList& list) {
    picker.list = &list;
    picker.captures = exchange_passes(list, 0, list.capture_count, picker.tail_max);
    picker.quiet = exchange_passes(list, list.capture_count, list.move_count, picker.tail_max);
    picker.head_length = 0;
    picker.moved_up_count = 0;
    picker.cursor = 0;
    picker.served = 0;
}

namespace move_picker_detail {

inline bool is_moved_up(const MovePicker& picker, Move m) {
    for (int k = 0; k < picker.moved_up_count; ++k)
        if (picker.moved_up[k] == m) return true;
    return false;
}

// The sorted list's next entry that was not moved up; 0 past the end.
inline Move next_from_list(MovePicker& picker) {
    MoveList& list = *picker.list;
    while (picker.cursor < list.move_count) {
        const int i = picker.cursor++;
        sort_through(i < list.capture_count ? picker.captures : picker.quiet, i);
        const Move m = list.move[i];
        if (!is_moved_up(picker, m)) return m;
    }
    return 0;
}

// Fills the head up to `length` entries, or as far as the moves go.
inline void extend_head(MovePicker& picker, int length) {
    while (picker.head_length < length) {
        const Move m = next_from_list(picker);
        if (m == 0) return;
        picker.head[picker.head_length++] = m;
    }
}

// The largest tactical score, as the sorted list's entry 0 holds it.
inline std::int32_t top_capture_score(MovePicker& picker) {
    sort_through(picker.captures, 0);
    return picker.list->score[0];
}

// If m stands at position p of the order or later, it moves to p and the
// entries from p on move down one; whether it moved.
inline bool move_up_to(MovePicker& picker, Move m, int p) {
    extend_head(picker, p);
    if (picker.head_length < p) return false;
    int at = -1;
    for (int k = 0; k < picker.head_length; ++k) {
        if (picker.head[k] == m) {
            at = k;
            break;
        }
    }
    if (at < 0) {
        // Not in the head: in the rest of the list, or not there at all.
        if (find_move(*picker.list, m, 0) < 0) return false;
        picker.moved_up[picker.moved_up_count++] = m;
        at = picker.head_length++;
    } else if (at < p) {
        return false;
    }
    for (int k = at; k > p; --k) picker.head[k] = picker.head[k - 1];
    picker.head[p] = m;
    return true;
}

}  // namespace move_picker_detail

// This ply's killers go right behind a first capture that scores at least 0
// (a capture that wins or trades material beats a quiet move), and otherwise
// ahead of every capture. killer_2 is sought behind killer_1's place whether
// or not killer_1 was found.
inline void place_killers(MovePicker& picker, const Killers& killers, int ply) {
    using namespace move_picker_detail;
    const int p = picker.list->capture_count > 0 && top_capture_score(picker) >= 0 ? 1 : 0;
    move_up_to(picker, killers.killer_1[ply], p);
    move_up_to(picker, killers.killer_2[ply], p + 1);
}

// Brings m to the front; whether it was among the moves.
inline bool move_to_front(MovePicker& picker, Move m) { return move_picker_detail::move_up_to(picker, m, 0); }

// Brings the move stored for this position to the front; whether the table
// had the position and its move was among the moves. A move from a colliding
// key is harmless: it is used only if it is one of this node's moves.
inline bool hash_move_to_front(MovePicker& picker, const HashTable& table, std::uint64_t key) {
    return hash_hit(table, key) && move_to_front(picker, hash_slot(table, key).move);
}

// The first move in the order, without handing it out; the list must not be empty.
inline Move first_move(MovePicker& picker) {
    move_picker_detail::extend_head(picker, 1);
    return picker.head[0];
}

// The moves in order, one per call, list.move_count of them in all.
inline Move next_move(MovePicker& picker) {
    if (picker.served < picker.head_length) return picker.head[picker.served++];
    ++picker.served;
    return move_picker_detail::next_from_list(picker);
}

}  // namespace vargul
