#include "platform/pointer_map.h"

#include "platform/render_device.h"

namespace qv::platform {
namespace {

// Division rounding toward minus infinity: window positions left of the frame are negative.
int FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int>(q);
}

int CeilDiv(long long a, long long b) { return -FloorDiv(-a, b); }

}  // namespace

FrameFit FitFrame(int window_w, int window_h) {
  FrameFit fit;
  if (window_w <= 0 || window_h <= 0) return fit;
  // As the renderer letterboxes: the side that runs out first sets the scale.
  if (static_cast<long long>(kScreenWidth) * window_h >=
      static_cast<long long>(kScreenHeight) * window_w) {
    fit.num = window_w;
    fit.den = kScreenWidth;
    const int shown_h = FloorDiv(static_cast<long long>(kScreenHeight) * window_w, kScreenWidth);
    fit.top = (window_h - shown_h) / 2;
  } else {
    fit.num = window_h;
    fit.den = kScreenHeight;
    const int shown_w = FloorDiv(static_cast<long long>(kScreenWidth) * window_h, kScreenHeight);
    fit.left = (window_w - shown_w) / 2;
  }
  return fit;
}

void WindowToFrame(const FrameFit& fit, int wx, int wy, int& fx, int& fy) {
  fx = FloorDiv(static_cast<long long>(wx - fit.left) * fit.den, fit.num);
  fy = FloorDiv(static_cast<long long>(wy - fit.top) * fit.den, fit.num);
}

void FrameToWindow(const FrameFit& fit, int fx, int fy, int& wx, int& wy) {
  wx = fit.left + CeilDiv(static_cast<long long>(fx) * fit.num, fit.den);
  wy = fit.top + CeilDiv(static_cast<long long>(fy) * fit.num, fit.den);
}

void PointerTracker::Moved(int wx, int wy, int window_w, int window_h) {
  WindowToFrame(FitFrame(window_w, window_h), wx, wy, x_, y_);
}

void PointerTracker::Left() {
  if (x_ < 0 || x_ >= kScreenWidth || y_ < 0 || y_ >= kScreenHeight) return;
  const int to_left = x_ + 1, to_right = kScreenWidth - x_;
  const int to_top = y_ + 1, to_bottom = kScreenHeight - y_;
  const int nearest_x = to_left < to_right ? to_left : to_right;
  const int nearest_y = to_top < to_bottom ? to_top : to_bottom;
  if (nearest_x <= nearest_y)
    x_ = to_left <= to_right ? -1 : kScreenWidth;
  else
    y_ = to_top <= to_bottom ? -1 : kScreenHeight;
}

void PointerTracker::Warped(int fx, int fy) {
  x_ = fx;
  y_ = fy;
}

}  // namespace qv::platform
