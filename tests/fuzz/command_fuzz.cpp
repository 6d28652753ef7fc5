// Feeds arbitrary bytes to the command loop as a script of lines, exactly as
// standard input would bring them: the line reader cuts them, the dispatcher
// acts on each line, and the in-search poll reads the lines that follow a
// "go" from the same script. Built with clang and libFuzzer by `make fuzz`.
//
// Besides the sanitizers' findings, an input fails when
//  - a search leaves the position changed (make and unmake must cancel out),
//    including a search that "quit" cut short,
//  - the engine writes a self-test line ("ERROR ...", "white test_..."),
//    which a correct build never prints, or a line that is not one of its replies.
// "go" on material no game can reach is skipped (see possible_material).
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "board/bitboard.h"
#include "board/board.h"
#include "platform/line_reader.h"
#include "uci/command_loop.h"
#include "uci/engine.h"

namespace vargul {

namespace {

int script_fd = -1;  // the input, standing in for standard input
int reply_fd = -1;   // everything the engine wrote for the current input

[[noreturn]] void finding(const char* what, const char* detail) {
    std::fprintf(stderr, "command_fuzz: %s\n%s\n", what, detail);
    std::abort();
}

int make_memory_file(const char* name) {
    int fd = ::memfd_create(name, 0);
    if (fd < 0) finding("memfd_create failed", name);
    return fd;
}

void write_file(int fd, const std::uint8_t* data, std::size_t size) {
    ::ftruncate(fd, 0);
    ::lseek(fd, 0, SEEK_SET);
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n <= 0) finding("cannot write the script", "");
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    ::lseek(fd, 0, SEEK_SET);
}

bool same_position(const Board& a, const Board& b) {
    // "go" recomputes the key and the material balance; all else must be as it was.
    Board x = a, y = b;
    x.hash_key = y.hash_key = 0;
    x.material_balance = y.material_balance = 0;
    return std::memcmp(&x, &y, sizeof x) == 0;
}

// Whether chess could reach this material: at most eight pawns, and no more
// promoted pieces than pawns gone. Searches of fantasy armies (sixteen queens
// a side) are skipped: the capture search has no bound there but the ply
// limit, and a single input would take minutes without showing anything new.
template <Side S> bool possible_material(const Board& b) {
    const Bitboard* own = pieces<S>(b);
    const int pawns = bit_count(own[kPawn]);
    int promoted = 0;
    const int initial[7] = {0, 8, 2, 2, 2, 1, 1};
    for (int code = kKnight; code <= kQueen; ++code) {
        const int extra = bit_count(own[code]) - initial[code];
        if (extra > 0) promoted += extra;
    }
    return pawns <= 8 && promoted <= 8 - pawns;
}

bool starts_with(const char* text, std::size_t size, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return size >= n && std::memcmp(text, prefix, n) == 0;
}

// Every line the engine may write; anything else means a fault.
bool known_reply(const char* line, std::size_t size) {
    static const char* const kPrefixes[] = {
        "id name ",
        "id author ",
        "option name Hash ",
        "uciok",
        "readyok",
        "bestmove ",
        "info ",
        "WARNING ! Unknown command",
        "WARNING ! moves error",
    };
    if (size == 0) return true;  // after "readyok", and the best-line report's repeat
    for (const char* prefix : kPrefixes)
        if (starts_with(line, size, prefix)) return true;
    // The two fatal messages, in their code page.
    return starts_with(line, size, "\xEE\xF1\xE2") || starts_with(line, size, "\xEF\xE0\xEC");
}

void check_replies() {
    off_t size = ::lseek(reply_fd, 0, SEEK_END);
    if (size <= 0) return;
    void* mapped = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, reply_fd, 0);
    if (mapped == MAP_FAILED) finding("cannot read the replies", "");
    const char* text = static_cast<const char*>(mapped);
    const char* end = text + size;
    for (const char* line = text; line < end;) {
        const char* feed = static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
        if (!feed) finding("a reply without its line feed", line);
        std::size_t length = static_cast<std::size_t>(feed - line);
        if (!known_reply(line, length)) {
            char shown[256];
            std::snprintf(shown, sizeof shown, "%.*s", static_cast<int>(length < 200 ? length : 200), line);
            finding("the engine wrote an unexpected line", shown);
        }
        line = feed + 1;
    }
    ::munmap(mapped, static_cast<std::size_t>(size));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    script_fd = make_memory_file("script");
    reply_fd = make_memory_file("replies");
    return 0;
}

}  // namespace vargul

using namespace vargul;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    write_file(script_fd, data, size);
    ::ftruncate(reply_fd, 0);
    ::lseek(reply_fd, 0, SEEK_SET);
    // A fresh run for every input, so that each behaves the same whatever ran before it.
    auto engine = std::make_unique<Engine>();
    engine->output_fd = reply_fd;
    reset_line_reader(engine->input, script_fd);
    const Board& board = engine->board;
    while (read_line(engine->input, engine->input_line)) {
        const bool search = std::strncmp(engine->input_line, "go", 2) == 0;
        if (search && !(possible_material<Side::White>(board) && possible_material<Side::Black>(board))) continue;
        const Board before = board;
        const int status = handle_command(*engine, engine->input_line);
        if (search && !same_position(before, board)) finding("a search changed the position", engine->input_line);
        if (status != kCarryOn) break;  // "quit", or a fatal table failure
    }
    check_replies();
    return 0;
}
