#include "uci/go.h"

#include <cmath>
#include <cstring>

#include "platform/decimal.h"
#include "position/keys.h"
#include "search/hash_table.h"
#include "search/recent_moves.h"
#include "search/search_constants.h"
#include "uci/engine.h"
#include "uci/reports.h"

namespace vargul {

namespace {

bool same_word(const char* token, std::size_t length, const char* word) {
    return std::strlen(word) == length && std::memcmp(token, word, length) == 0;
}

// Token boundaries within the line: [begin, begin + length).
struct Token {
    const char* begin;
    std::size_t length;
};

// The next token at or after `p`, or length 0 when the line has none left.
Token next_token(const char*& p) {
    while (*p == ' ') ++p;
    const char* begin = p;
    while (*p && *p != ' ') ++p;
    return {begin, static_cast<std::size_t>(p - begin)};
}

std::int64_t whole_milliseconds(double seconds) { return std::llround(seconds * 1000.0); }

}  // namespace

std::int32_t token_integer(const char* token) { return leading_int32(token); }

GoParameters parse_go_parameters(const char* line) {
    GoParameters go;
    const char* p = line;
    next_token(p);  // the command word
    for (Token t = next_token(p); t.length > 0; t = next_token(p)) {
        if (same_word(t.begin, t.length, "infinite")) {
            go.infinite = true;
            continue;
        }
        const bool takes_number = same_word(t.begin, t.length, "depth") || same_word(t.begin, t.length, "wtime") ||
                                  same_word(t.begin, t.length, "btime") || same_word(t.begin, t.length, "winc") ||
                                  same_word(t.begin, t.length, "binc") || same_word(t.begin, t.length, "movestogo") ||
                                  same_word(t.begin, t.length, "movetime");
        if (!takes_number) continue;  // "ponder", "nodes", "searchmoves" and its moves...
        const Token number = next_token(p);
        if (number.length == 0) break;  // a keyword without its number counts as absent
        // Tokens end at a blank or the line's end, so the reading stops there too.
        const std::int32_t n = token_integer(number.begin);
        if (same_word(t.begin, t.length, "depth"))
            go.depth = n;
        else if (same_word(t.begin, t.length, "wtime"))
            go.wtime = n / 1000.0;
        else if (same_word(t.begin, t.length, "btime"))
            go.btime = n / 1000.0;
        else if (same_word(t.begin, t.length, "movetime"))
            go.movetime = n / 1000.0;
        // "winc", "binc" and "movestogo" play no part in the time allocation.
    }
    return go;
}

SearchLimits search_limits(const GoParameters& go, Side side_to_move, std::int64_t received_ms) {
    const double own = side_to_move == Side::White ? go.wtime : go.btime;
    SearchLimits limits{go.depth, kNoTimeLimit, kNoDeadline};
    if (own != -1.0) limits.time_limit = own / kClockShare;
    if (go.movetime != -1.0) limits.time_limit = go.movetime;
    if (limits.time_limit != kNoTimeLimit) limits.max_depth = kDepthWithClock;
    if (go.infinite)
        limits.max_depth = kDepthInfinite;
    else if (limits.max_depth == -1)
        limits.max_depth = 1;
    // A move time is the longest the move may take. A clock allows ten times
    // an iteration's share, so only a runaway iteration meets the ceiling.
    if (go.movetime != -1.0)
        limits.deadline = received_ms + whole_milliseconds(go.movetime);
    else if (own != -1.0)
        limits.deadline = received_ms + whole_milliseconds(own) / kCeilingShare;
    return limits;
}

bool prepare_search(Engine& engine) {
    if (!engine.tables.hash.allocated()) return renew_hash_table(engine);
    compute_hash_key(engine.board);
    engine.tables.hash.clear();
    return true;
}

template <AllNodes T>
DeepeningSummary run_search(Engine& engine, const GoParameters& parameters, std::int64_t received_ms) {
    UciReporter reporter(engine);
    const SearchLimits limits = search_limits(parameters, engine.board.side_to_move, received_ms);
    return iterative_deepening<T>(engine.board, limits, read_recent_moves(engine.move_text),
                                  {engine.node_count, engine.tables, reporter, *engine.clock});
}

template DeepeningSummary run_search<AllNodes::Off>(Engine&, const GoParameters&, std::int64_t);
template DeepeningSummary run_search<AllNodes::On>(Engine&, const GoParameters&, std::int64_t);

}  // namespace vargul
