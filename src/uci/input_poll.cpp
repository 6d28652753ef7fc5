#include "uci/input_poll.h"

#include <cstring>
#include <poll.h>

#include "search/hash_table.h"
#include "uci/line_reader.h"
#include "uci/process_end.h"

std::int32_t poll_counter = 0;

namespace {

// The line read during a search, apart from the command loop's.
char search_line[kLineCapacity];

}  // namespace

std::uint32_t input_waiting(const LineReader& reader) {
    std::size_t buffered = buffered_bytes(reader);
    if (buffered > 0) return buffered > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(buffered);
    if (reader.ended) return 1;  // let the caller meet the end
    pollfd request{reader.fd, POLLIN, 0};
    int ready = ::poll(&request, 1, 0);
    // An error is reported as waiting input too: the read that follows ends the input.
    if (ready < 0) return 1;
    return ready > 0 && request.revents != 0 ? 1 : 0;
}

std::uint32_t input_waiting() { return input_waiting(stdin_reader); }

void read_search_command(std::int32_t* stop_flag) {
    if (input_waiting() == 0) return;
    if (!read_line(stdin_reader, search_line)) return;
    if (std::strcmp(search_line, "quit") == 0) {
        release_hash_table();
        end_process(1);
    }
    if (std::strcmp(search_line, "stop") == 0) *stop_flag = 1;
}
