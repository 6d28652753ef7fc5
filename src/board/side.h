#pragma once

namespace vargul {

// The side is a compile-time parameter of every White/Black twin.
// The values match `side_to_move`: 1 is White, 0 is Black.
enum class Side : int { Black = 0, White = 1 };

template <Side S> inline constexpr Side other_side = S == Side::White ? Side::Black : Side::White;

template <Side S> inline constexpr int side_index = static_cast<int>(S);

}  // namespace vargul
