#pragma once

namespace vargul {

// Whether a search instantiation counts every node it visits (main search and
// quiescence alike) into the state's `all_nodes`. The engine runs the Off
// instantiations, which contain no counting code at all; only the bench runs
// the On ones, to print a node rate comparable with other engines.
enum class AllNodes { Off, On };

template <AllNodes T, typename State> inline void count_node(State& state) {
    if constexpr (T == AllNodes::On) ++state.all_nodes;
}

}  // namespace vargul
