#pragma once

#include <cstdint>

namespace vargul {

struct Engine;

// handle_command's answer when the run goes on.
inline constexpr int kCarryOn = -1;

// Acts on one command line. Returns kCarryOn, or the exit status the run ends
// with: 1 after "quit" (during a search too) and after a fatal hash-table failure.
int handle_command(Engine& engine, const char* line);

// Reads and handles command lines until the input ends (status 0) or a
// command ends the run; returns the exit status.
int run_command_loop(Engine& engine);

// The number after the first "Hash value " of the line (white space skipped,
// optional sign, digits; no digits read 0, values past the 32-bit range are
// clamped to it), or -1 when the line has no "Hash value ".
std::int32_t parse_hash_value(const char* line);

// A "Hash value" brought into the range the table sizing handles: below 0
// gives 1, above 4095 gives 1024, the rest is kept.
std::int32_t clamp_hash_megabytes(std::int32_t value);

}  // namespace vargul
