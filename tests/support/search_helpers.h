#pragma once

#include <string>
#include <vector>

#include "board/board.h"
#include "uci/recent_moves.h"

// The game of a "position ..." line as "go" hands it to the search: key
// computed, material counted, the last game moves read from the move text.
struct Game {
    Board board;
    RecentMoves recent;
};
Game game_of(const char* position_line);

// Puts the process-wide search tables back as a fresh process has them: a
// clear hash table, history and killers zero, no best-line report written,
// the input poll counter at 0.
void reset_search_tables();

// The text with every " nps <digits>" replaced by " nps N": the one figure
// that differs between two runs of the same commands.
std::string mask_nps(const std::string& text);

// The lines of the text, without their line feeds.
std::vector<std::string> lines_of(const std::string& text);

// Whether any line is a diagnostic that a correct build never writes.
bool has_diagnostics(const std::string& text);

// The per-iteration "info" lines (the best-line reports carry " seldepth ").
std::vector<std::string> iteration_lines(const std::string& text);
