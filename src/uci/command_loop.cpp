#include "uci/command_loop.h"

#include <cstring>

#include "position/keys.h"
#include "search/hash_table.h"
#include "uci/go.h"
#include "uci/line_writer.h"
#include "uci/process_end.h"
#include "uci/set_position.h"

namespace {

bool starts_with(const char* line, const char* prefix) {
    return std::strncmp(line, prefix, std::strlen(prefix)) == 0;
}

bool equals(const char* line, const char* word) { return std::strcmp(line, word) == 0; }

void write_line(const char* text) {
    LineWriter out;
    out << text;
    out.end_line();
}

void identify(Board& board) {
    write_line("id name Vargul_b3_3 Beta ");
    write_line("id author Marlovek21");
    write_line("option name Hash type spin default 32 min 1 max 1024");
    allocate_hash_table();
    compute_hash_key(board);
    hash_clear();
    write_line("uciok ");
}

void set_option(const char* line, Board& board) {
    std::int32_t value = parse_hash_value(line);
    if (value == -1) return;  // another option, or an explicit -1
    hash_megabytes = clamp_hash_megabytes(value);
    resize_hash_table();
    compute_hash_key(board);
    hash_clear();
}

}  // namespace

std::int32_t parse_hash_value(const char* line) {
    static constexpr char kKey[] = "Hash value ";
    const char* p = std::strstr(line, kKey);
    if (!p) return -1;
    p += sizeof kKey - 1;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // Accumulated as a negative number so that the full range fits and saturates.
    constexpr std::int64_t kLow = INT32_MIN, kHigh = INT32_MAX;
    std::int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > kHigh + 1) value = kHigh + 1;
    }
    if (negative) return static_cast<std::int32_t>(-value < kLow ? kLow : -value);
    return static_cast<std::int32_t>(value > kHigh ? kHigh : value);
}

std::int32_t clamp_hash_megabytes(std::int32_t value) {
    if (value < 0) return 1;
    if (value > 4095) return 1024;
    return value;
}

void handle_command(const char* line, Board& board, char* move_text, std::uint64_t& node_count) {
    if (equals(line, "uci")) {
        identify(board);
    } else if (equals(line, "isready")) {
        LineWriter out;
        out << "readyok \n";
        out.end_line();  // an empty line follows "readyok "
    } else if (starts_with(line, "setoption ")) {
        set_option(line, board);
    } else if (starts_with(line, "position ")) {
        set_position(line, board);
        copy_move_text(line, move_text);
    } else if (starts_with(line, "go")) {
        ensure_hash_table();  // "go" before any "uci"
        compute_hash_key(board);
        hash_clear();
        parse_go(line, board, move_text, node_count);
    } else if (equals(line, "quit")) {
        release_hash_table();
        end_process(1);
    } else if (equals(line, "ucinewgame") || starts_with(line, "debug ") || equals(line, "ponderhit") ||
               equals(line, "stop")) {
        // accepted, nothing to do
    } else {
        write_line("WARNING ! Unknown command");
    }
}
