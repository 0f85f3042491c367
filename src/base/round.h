#pragma once
// Rounding as the game's rules and its volume and progress arithmetic use it.

namespace qv {

// Nearest integer, halves to the even neighbour: adding and taking away 1.5 * 2^52 leaves the
// value rounded in the default mode (to nearest, ties to even) without a library call.
inline int RoundEven(double v) {
  constexpr double kMagic = 6755399441055744.0;
  if (v > -2147483648.0 && v < 2147483647.0) return static_cast<int>((v + kMagic) - kMagic);
  return v > 0 ? 2147483647 : v < 0 ? -2147483647 - 1 : 0;  // out of range or NaN
}

}  // namespace qv
