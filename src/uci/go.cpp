#include "uci/go.h"

// Placeholder until the search lands.
void parse_go(const char*, Board&, const char*, std::uint64_t&) {}
