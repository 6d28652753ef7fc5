#pragma once

#include <cstdint>

// Non-zero when a line should be read: unread input waits, or the input has
// ended (so the end gets read). Never blocks.
std::uint32_t input_waiting();

// Called at every leaf; every 50,001st call looks for "stop" or "quit".
void poll_input(std::int32_t* stop_flag);
