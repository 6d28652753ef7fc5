#pragma once

#include <cstdint>

struct LineReader;

// Leaf calls since the last poll; shared by both sides' leaves and kept across searches.
extern std::int32_t poll_counter;

inline constexpr std::int32_t kPollInterval = 50000;

// Non-zero when a line should be read: unread input waits, or the input has
// ended (so the end gets read). Never blocks.
std::uint32_t input_waiting();
// The same test on any reader, bytes already in its buffer included.
std::uint32_t input_waiting(const LineReader& reader);

// Reads the waiting line, if any, during a search: "quit" ends the process
// with status 1, "stop" sets the flag, anything else is dropped.
void read_search_command(std::int32_t* stop_flag);

// Called at every leaf; every 50,001st call looks for "stop" or "quit".
inline void poll_input(std::int32_t* stop_flag) {
    if (poll_counter > kPollInterval) {
        read_search_command(stop_flag);
        poll_counter = 1;
    } else {
        ++poll_counter;
    }
}
