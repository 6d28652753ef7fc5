// build/perft "<FEN>" <depth> [--divide], build/perft --version
// Counts the leaves of the legal move tree with the engine's own generators,
// make/unmake and king-attacked test. Prints one "<move>: <count>" line per
// legal root move with --divide, and always ends with
// "nodes <N> time_ms <T> nps <R>". Bad input: one line on stderr, status 2.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/fen.h"
#include "board/move_text.h"
#include "platform/decimal.h"
#include "platform/descriptor_io.h"
#include "platform/line_writer.h"
#include "position/perft.h"
#include "position/setup_check.h"
#include "tool_version.h"

namespace vargul {

namespace {

constexpr int kMaxDepth = 20;
constexpr std::size_t kTextCapacity = 65536;

[[noreturn]] void fail(const char* message) {
    LineWriter err(2);
    err << "perft: " << message;
    err.end_line();
    std::exit(2);
}

int parse_depth(const char* text) {
    std::int64_t depth = 0;
    if (!whole_unsigned(text, 2, 0, kMaxDepth, depth)) fail("depth must be a number from 0 to 20");
    return static_cast<int>(depth);
}

// The reader of FEN text bounds itself but reports nothing, so the fields it
// relies on are checked here: eight ranks of eight squares and a side letter.
const char* fen_text_problem(const char* fen) {
    const char* p = fen;
    while (*p == ' ') ++p;
    int ranks = 1, squares = 0;
    for (; *p && *p != ' '; ++p) {
        if (*p == '/') {
            if (squares != 8) return "each rank of the FEN must hold eight squares";
            ++ranks;
            squares = 0;
        } else if (*p >= '1' && *p <= '8') {
            squares += *p - '0';
        } else if (std::strchr("PNBRQKpnbrqk", *p)) {
            ++squares;
        } else {
            return "unknown character in the FEN placement";
        }
        if (squares > 8) return "each rank of the FEN must hold eight squares";
    }
    if (ranks != 8 || squares != 8) return "the FEN placement must have eight ranks of eight squares";
    while (*p == ' ') ++p;
    if ((*p != 'w' && *p != 'b') || (p[1] != ' ' && p[1] != '\0')) return "the FEN side to move must be w or b";
    return nullptr;
}

void set_up(const char* fen, Board& board) {
    if (const char* problem = fen_text_problem(fen)) fail(problem);
    static char text[kTextCapacity];
    std::size_t length = std::strlen(fen);
    if (length + 5 > kTextCapacity) fail("the FEN is too long");
    std::memcpy(text, "fen ", 4);
    std::memcpy(text + 4, fen, length + 1);
    board = Board{};
    parse_fen(text, board);
    if (const char* problem = position_problem(board)) fail(problem);
}

}  // namespace

}  // namespace vargul

using namespace vargul;

int main(int argc, char** argv) {
    if (print_version("perft", argc, argv)) return 0;
    bool divide = argc == 4 && std::strcmp(argv[3], "--divide") == 0;
    if (argc != 3 && !divide) fail("usage: perft \"<FEN>\" <depth> [--divide]");
    int depth = parse_depth(argv[2]);
    Board board;
    set_up(argv[1], board);

    static PerftDivide root;
    auto start = std::chrono::steady_clock::now();
    std::uint64_t nodes = divide ? perft_divide(board, depth, root) : perft(board, depth);
    auto elapsed = std::chrono::steady_clock::now() - start;

    if (divide) {
        for (int i = 0; i < root.count; ++i) {
            LineWriter out(kStandardOutput);
            out << move_text(root.move[i]) << ": " << root.nodes[i];
            out.end_line();
        }
    }
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
    std::uint64_t us = micros > 0 ? static_cast<std::uint64_t>(micros) : 1;
    LineWriter out(kStandardOutput);
    auto nps = static_cast<std::uint64_t>(static_cast<double>(nodes) * 1e6 / static_cast<double>(us));
    out << "nodes " << nodes << " time_ms " << us / 1000 << " nps " << nps;
    out.end_line();
    return 0;
}
