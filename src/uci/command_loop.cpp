#include "uci/command_loop.h"

#include <cstring>

#include "platform/decimal.h"
#include "platform/descriptor_io.h"
#include "platform/line_writer.h"
#include "search/diagnostic_texts.h"
#include "uci/engine.h"
#include "uci/go.h"
#include "uci/set_position.h"

namespace vargul {

namespace {

constexpr int kQuitStatus = 1;
constexpr int kFatalStatus = 1;

bool starts_with(const char* line, const char* prefix) { return std::strncmp(line, prefix, std::strlen(prefix)) == 0; }

bool equals(const char* line, const char* word) { return std::strcmp(line, word) == 0; }

// The fatal reply when the hash table cannot be had; the run ends.
int no_memory(Engine& engine) {
    write_all(engine.output_fd, kNoMemoryText, sizeof kNoMemoryText - 1);
    return kFatalStatus;
}

void write_identity(int out) {
    write_line(out, "id name Vargul_b3_3 Beta ");
    write_line(out, "id author Marlovek21");
    write_line(out, "option name Hash type spin default 32 min 1 max 1024");
}

// "uci": the engine's name and options, then a fresh table, and "uciok"
// once it is there.
int identify(Engine& engine) {
    write_identity(engine.output_fd);
    if (!renew_hash_table(engine)) return no_memory(engine);
    write_line(engine.output_fd, "uciok");
    return kCarryOn;
}

int set_option(Engine& engine, const char* line) {
    const std::int32_t value = parse_hash_value(line);
    if (value == -1) return kCarryOn;  // another option, or an explicit -1
    // Before "uci" too: some GUIs send their stored size first, and "go"
    // before "uci" works as well.
    engine.hash_megabytes = clamp_hash_megabytes(value);
    return renew_hash_table(engine) ? kCarryOn : no_memory(engine);
}

int go(Engine& engine, const char* line) {
    // A GUI counts the move's time from when it sent the line, table clearing included.
    const std::int64_t received_ms = engine.clock->milliseconds();
    if (!prepare_search(engine)) return no_memory(engine);
    const DeepeningSummary summary = run_search(engine, parse_go_parameters(line), received_ms);
    return summary.quit ? kQuitStatus : kCarryOn;
}

}  // namespace

std::int32_t parse_hash_value(const char* line) {
    static constexpr char kKey[] = "Hash value ";
    const char* p = std::strstr(line, kKey);
    if (!p) return -1;
    p += sizeof kKey - 1;
    return leading_int32(after_blanks(p));
}

std::int32_t clamp_hash_megabytes(std::int32_t value) {
    if (value < 0) return 1;
    if (value > 4095) return 1024;
    return value;
}

int handle_command(Engine& engine, const char* line) {
    if (equals(line, "uci")) return identify(engine);
    if (equals(line, "isready")) {
        LineWriter out(engine.output_fd);
        out << "readyok\n";
        out.end_line();  // an empty line follows "readyok"
    } else if (starts_with(line, "setoption ")) {
        return set_option(engine, line);
    } else if (starts_with(line, "position ")) {
        // Nothing else is written meanwhile, so the warnings after the set-up
        // read as they would had each come when its move failed.
        const int skipped = set_position(line, engine.board);
        for (int i = 0; i < skipped; ++i) write_line(engine.output_fd, kBadMoveText);
        copy_move_text(line, engine.move_text);
    } else if (starts_with(line, "go")) {
        return go(engine, line);
    } else if (equals(line, "quit")) {
        return kQuitStatus;
    } else if (equals(line, "ucinewgame") || starts_with(line, "debug ") || equals(line, "ponderhit") ||
               equals(line, "stop")) {
        // accepted, nothing to do
    } else {
        write_line(engine.output_fd, kUnknownCommandText);
    }
    return kCarryOn;
}

int run_command_loop(Engine& engine) {
    while (read_line(engine.input, engine.input_line)) {
        const int status = handle_command(engine, engine.input_line);
        if (status != kCarryOn) return status;
    }
    return 0;
}

}  // namespace vargul
