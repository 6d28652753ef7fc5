#include "support/search_helpers.h"

#include <algorithm>
#include <cctype>

#include "position/keys.h"
#include "position/make_move.h"
#include "search/hash_table.h"
#include "search/history.h"
#include "search/ordering.h"
#include "support/board_helpers.h"
#include "uci/input_poll.h"
#include "uci/line_reader.h"
#include "uci/reports.h"
#include "uci/set_position.h"

namespace {

// The fill draws from a generator that is never reseeded, so a second fill
// would change every key; some suites fill the table themselves.
void fill_keys_once() {
    if (zobrist_key[1][kKing][63] == 0) ensure_zobrist_keys();
}

}  // namespace

Game game_of(const char* position_line) {
    fill_keys_once();
    static char move_text[kLineCapacity];
    Game game{};
    set_position(position_line, game.board);
    copy_move_text(position_line, move_text);
    compute_hash_key(game.board);
    game.board.eval = count_material(game.board);
    game.recent = read_recent_moves(move_text);
    return game;
}

void reset_search_tables() {
    fill_keys_once();
    ensure_hash_table();
    hash_clear();
    history_clear();
    std::fill(std::begin(killer_1), std::end(killer_1), Move{0});
    std::fill(std::begin(killer_2), std::end(killer_2), Move{0});
    last_report_depth = 0;
    last_report_value = kNoReportValue;
    poll_counter = 0;  // far from the next poll, so no test reads standard input
}

std::string mask_nps(const std::string& text) {
    std::string masked;
    const std::string marker = " nps ";
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, marker.size(), marker) == 0) {
            masked += " nps N";
            i += marker.size();
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        } else {
            masked += text[i++];
        }
    }
    return masked;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool has_diagnostics(const std::string& text) {
    for (const std::string& line : lines_of(text))
        if (line.find("ERROR") != std::string::npos || line.rfind("white test_", 0) == 0) return true;
    return false;
}

std::vector<std::string> iteration_lines(const std::string& text) {
    std::vector<std::string> found;
    for (const std::string& line : lines_of(text))
        if (line.rfind("info  nps ", 0) == 0 && line.find(" seldepth ") == std::string::npos) found.push_back(line);
    return found;
}
