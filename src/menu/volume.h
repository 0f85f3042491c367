#pragma once
// The options page's volumes: 0..13, stepped by the row ends or set by dragging a slider.
#include <algorithm>

#include "base/round.h"

namespace qv {

constexpr int kMaxVolume = 13;
constexpr int kSliderLeft = 360;  // x of volume 0
constexpr int kVolumeStepWidth = 6;

// One step in direction -1 or +1 (0 leaves it), never past 0 or 13.
inline int SteppedVolume(int volume, int direction) {
  if (direction < 0) return std::max(volume - 1, 0);
  if (direction > 0) return std::min(volume + 1, kMaxVolume);
  return volume;
}

// The volume a slider dragged to screen x stands for.
inline int SliderVolume(int x) {
  const double steps = (x - kSliderLeft) / static_cast<double>(kVolumeStepWidth);
  return std::clamp(RoundEven(steps), 0, kMaxVolume);
}

}  // namespace qv
