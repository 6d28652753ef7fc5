#include <cstdint>
#include <cstdio>

#include "board/board.h"
#include "position/keys.h"
#include "uci/command_loop.h"
#include "uci/line_reader.h"

int main() {
    // The run's state, owned here and handed to the handlers.
    Board bitboard{};
    std::uint64_t node_count = 0;
    static char input_line[kLineCapacity];
    static char move_text[kLineCapacity];  // zero: "go" before any "position" sees no moves

    // Replies go out with write(2) and input comes in with read(2); stdio is
    // kept unbuffered in case anything ever reaches it.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);

    fill_zobrist_keys();
    while (read_line(stdin_reader, input_line)) handle_command(input_line, bitboard, move_text, node_count);
    return 0;
}
