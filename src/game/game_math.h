#pragma once
// Rounding as the game rules use it, and the game clock.
#include <cmath>
#include <cstdint>

#include "base/round.h"
#include "context.h"

namespace qv {

// Drops the fraction.
inline int Trunc(double v) {
  return static_cast<int>(v);
}

// The game clock (ms) of the step being run.
inline std::uint32_t GameNow(const Context& ctx) {
  return ctx.clocks.game_clock;
}

// Tint of a colour ball's trail, paint and rocket (colours 1..7); 0xFFFFFF otherwise.
inline int BallTint(int colour) {
  static constexpr int kTints[7] = {0x0000FF, 0xFFFF00, 0x00FF00, 0xFF0000,
                                    0xFF00FF, 0x808080, 0x80FFFF};
  return colour >= 1 && colour <= 7 ? kTints[colour - 1] : 0xFFFFFF;
}

}  // namespace qv
