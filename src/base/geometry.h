#pragma once
// Screen geometry for layout tables and hit tests, in the 800 x 600 game screen's pixels.

namespace qv {

struct Point {
  int x = 0;
  int y = 0;
};

// An inclusive rectangle: both edges belong to it, as the pages' hit areas were measured.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr bool Contains(int x, int y) const {
    return x >= left && x <= right && y >= top && y <= bottom;
  }
  constexpr bool Contains(Point p) const { return Contains(p.x, p.y); }
  // The same rectangle moved by (dx, dy): rows of a list share one table entry.
  constexpr Rect Offset(int dx, int dy) const {
    return {left + dx, top + dy, right + dx, bottom + dy};
  }
};

}  // namespace qv
