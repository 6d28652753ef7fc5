#pragma once

#include <cstdint>

#include "board/move.h"
#include "board/side.h"
#include "search/pv_line.h"

namespace vargul {

// What a look at the input during a search found.
enum class InputEvent { none, stop, quit };

// Everything the search tells the outside world, and the one thing it asks
// ("is there a command for me?"). The protocol layer writes these as UCI
// lines; tests record them. The search never writes or ends the process itself.
class SearchReporter {
public:
    // A root move is about to be searched: its squares, 1-based number among the legal ones, depth.
    virtual void current_move(Move move, int number, int depth) = 0;
    // The best line so far of the iteration at `depth`; the side to move at the root.
    virtual void best_line(Side root_side, std::uint64_t nodes, double seconds, std::int32_t value, const PvLine& line,
                           int depth) = 0;
    // One finished (or stopped) iteration; `score` from the side to move's point of view.
    virtual void iteration(int depth, double seconds, std::int32_t score, std::uint64_t nodes, const PvLine& line) = 0;
    // The answer of the "go": the best root move stored, 0 when none was.
    virtual void best_move(Move best) = 0;
    // A self-test found the search inconsistent: one diagnostic line of text.
    virtual void diagnostic(const char* text) = 0;
    // Reads a waiting command, if any; called at the input poll's rhythm.
    virtual InputEvent check_input() = 0;
    // Called when no poll has come for long: finds a waiting "stop" or "quit",
    // and leaves any other input exactly as it was.
    virtual InputEvent look_for_stop() = 0;

protected:
    ~SearchReporter() = default;
};

}  // namespace vargul
