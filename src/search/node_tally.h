#pragma once

namespace vargul {

// Whether a search instantiation counts every node it visits (main search and
// quiescence alike) into the state's `tallied_nodes`. The engine runs the Off
// instantiations, which contain no counting code at all; only the bench runs
// the On ones, to print a node rate comparable with other engines.
enum class Tally { Off, On };

template <Tally T, typename State> inline void tally_node(State& state) {
    if constexpr (T == Tally::On) ++state.tallied_nodes;
}

}  // namespace vargul
