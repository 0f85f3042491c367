#include "shell/pointer_drive.h"

#include <algorithm>
#include <cmath>

namespace qv {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeadZone = 0.22;
// Pixels per second: a gentle start for placing, full speed to cross the screen in about a
// second once pushed for a while.
constexpr double kStartSpeed = 160.0, kTopSpeed = 1000.0, kRampMs = 650.0;
constexpr int kMaxX = 799, kMaxY = 599;

int RoundPixel(double v) {
  return static_cast<int>(std::lround(v));
}

}  // namespace

double PadAxisValue(int raw) {
  const double v = std::clamp(raw / 32767.0, -1.0, 1.0);
  const double m = std::fabs(v);
  if (m <= kDeadZone) return 0.0;
  const double t = (m - kDeadZone) / (1.0 - kDeadZone);
  return std::copysign(t * t, v);
}

bool StepPadDrive(PadDrive& d, double dt_ms, int& x, int& y) {
  double dx = d.stick_x + (d.right ? 1.0 : 0.0) - (d.left ? 1.0 : 0.0);
  double dy = d.stick_y + (d.down ? 1.0 : 0.0) - (d.up ? 1.0 : 0.0);
  const double length = std::hypot(dx, dy);
  if (length == 0.0) {
    d.pushed_ms = 0.0;
    return false;
  }
  if (length > 1.0) dx /= length, dy /= length;
  if (!d.tracking || x != d.last_x || y != d.last_y) {
    d.fx = x;
    d.fy = y;
    d.tracking = true;
  }
  d.pushed_ms += dt_ms;
  const double ramp = std::min(d.pushed_ms / kRampMs, 1.0);
  const double speed = kStartSpeed + (kTopSpeed - kStartSpeed) * ramp * ramp;
  d.fx = std::clamp(d.fx + dx * speed * dt_ms / 1000.0, 0.0, static_cast<double>(kMaxX));
  d.fy = std::clamp(d.fy + dy * speed * dt_ms / 1000.0, 0.0, static_cast<double>(kMaxY));
  const int nx = RoundPixel(d.fx), ny = RoundPixel(d.fy);
  d.last_x = nx;
  d.last_y = ny;
  if (nx == x && ny == y) return false;
  x = nx;
  y = ny;
  return true;
}

void ReleasePadDrive(PadDrive& d) {
  d.stick_x = d.stick_y = 0.0;
  d.up = d.down = d.left = d.right = false;
  d.pushed_ms = 0.0;
}

bool SwingPointer(KeyAim& a, double px, double py, double degrees, int& x, int& y) {
  if (!a.tracking || x != a.last_x || y != a.last_y) {
    const double dx = x - px, dy = y - py;
    a.angle = std::atan2(dx, -dy) * 180.0 / kPi;
    a.radius = std::max(std::hypot(dx, dy), kAimMinRadius);
    a.tracking = true;
  }
  a.angle = std::clamp(a.angle + degrees, -kAimMaxDegrees, kAimMaxDegrees);
  const double r = a.angle * kPi / 180.0;
  const int nx = std::clamp(RoundPixel(px + a.radius * std::sin(r)), 0, kMaxX);
  const int ny = std::clamp(RoundPixel(py - a.radius * std::cos(r)), 0, kMaxY);
  a.last_x = nx;
  a.last_y = ny;
  if (nx == x && ny == y) return false;
  x = nx;
  y = ny;
  return true;
}

bool PressAimKey(KeyAim& a, int direction, bool fine, double px, double py, int& x, int& y) {
  a.direction = direction;
  a.fine = fine;
  a.held_ms = 0.0;
  return SwingPointer(a, px, py, direction * (fine ? kAimFineTapDegrees : kAimTapDegrees), x, y);
}

void ReleaseAimKey(KeyAim& a, int direction) {
  if (a.direction == direction) a.direction = 0;
}

bool StepKeyAim(KeyAim& a, double dt_ms, double px, double py, int& x, int& y) {
  if (a.direction == 0) return false;
  a.held_ms += dt_ms;
  if (a.held_ms <= kAimHoldDelayMs) return false;
  const double speed = a.fine ? kAimFineDegreesPerSecond : kAimDegreesPerSecond;
  return SwingPointer(a, px, py, a.direction * speed * dt_ms / 1000.0, x, y);
}

}  // namespace qv
