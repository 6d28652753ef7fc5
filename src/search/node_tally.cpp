#include "search/node_tally.h"

std::uint64_t tallied_nodes = 0;
