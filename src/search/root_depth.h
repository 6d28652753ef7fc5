#pragma once

#include <cstdint>

// Depth of the iteration under way; the check extension and the hash
// table's replacement rule read it.
extern std::int32_t root_depth;
