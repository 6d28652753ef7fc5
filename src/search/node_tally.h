#pragma once

#include <cstdint>

// Whether a search instantiation counts every node it visits (main search and
// quiescence alike) into `tallied_nodes`. The engine runs the Off
// instantiations, which contain no counting code at all; only the bench runs
// the On ones, to print a node rate comparable with other engines.
enum class Tally { Off, On };

extern std::uint64_t tallied_nodes;

template <Tally T> inline void tally_node() {
    if constexpr (T == Tally::On) ++tallied_nodes;
}
