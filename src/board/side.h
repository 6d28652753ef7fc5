#pragma once

namespace vargul {

// The side is a compile-time parameter of every White/Black twin.
enum class Side : int { Black = 0, White = 1 };

template <Side S> inline constexpr Side other_side = S == Side::White ? Side::Black : Side::White;

constexpr Side opposite(Side s) { return s == Side::White ? Side::Black : Side::White; }

// 1 for White, 0 for Black: the index of side-indexed tables such as the hash keys.
template <Side S> inline constexpr int side_index = static_cast<int>(S);
constexpr int index_of(Side s) { return static_cast<int>(s); }

// The one place that turns the side to move into the compile-time side:
// calls f's instantiation for `s`, e.g. for_side(s, [&]<Side S>() { return search<S>(...); }).
template <class F> inline decltype(auto) for_side(Side s, F&& f) {
    if (s == Side::White) return f.template operator()<Side::White>();
    return f.template operator()<Side::Black>();
}

}  // namespace vargul
