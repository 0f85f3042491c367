#pragma once
// Pointer driving without a mouse: a game controller's stick and D-pad push the pointer with
// acceleration, and the keyboard swings it along an arc around the cannon's pivot. Both only
// compute positions on the 800 x 600 screen; the input path turns them into ordinary pointer
// events, so the rules, scripts and recordings see nothing but a mouse.
namespace qv {

struct PadDrive {
  double stick_x = 0.0, stick_y = 0.0;  // -1..1, dead zone removed
  bool up = false, down = false, left = false, right = false;
  double pushed_ms = 0.0;  // how long the pointer has been pushed without a rest
  // The pointer with its fraction, valid while it sits where the drive last put it.
  double fx = 0.0, fy = 0.0;
  int last_x = 0, last_y = 0;
  bool tracking = false;
};

// A raw stick axis (-32768..32767) to -1..1: a dead zone near the centre, then a curve that
// keeps small deflections precise.
double PadAxisValue(int raw);
// Moves the pointer (x, y) for dt_ms of pushing; true when it moved. A pointer that moved by
// other means since the last step is taken where it is.
bool StepPadDrive(PadDrive& drive, double dt_ms, int& x, int& y);
void ReleasePadDrive(PadDrive& drive);

struct KeyAim {
  int direction = 0;  // -1 left, +1 right, 0 none held
  bool fine = false;  // Shift: slower and finer
  double held_ms = 0.0;
  // The angle from straight up (degrees, positive to the right) and the distance from the
  // pivot, valid while the pointer sits where the aim last put it.
  double angle = 0.0, radius = 0.0;
  int last_x = 0, last_y = 0;
  bool tracking = false;
};

// Aiming is kept within this many degrees of straight up, and at least this far from the pivot.
constexpr double kAimMaxDegrees = 82.0;
constexpr double kAimMinRadius = 140.0;
// One press swings this far; a held key swings on after the delay at the given speed.
constexpr double kAimTapDegrees = 2.0, kAimFineTapDegrees = 0.5;
constexpr double kAimHoldDelayMs = 180.0;
constexpr double kAimDegreesPerSecond = 75.0, kAimFineDegreesPerSecond = 15.0;

// Swings the pointer around the pivot by degrees (positive: to the right). Returns whether the
// pointer moved.
bool SwingPointer(KeyAim& aim, double pivot_x, double pivot_y, double degrees, int& x, int& y);
// An arrow key went down: the first swing of a tap, and the hold starts.
bool PressAimKey(KeyAim& aim, int direction, bool fine, double pivot_x, double pivot_y, int& x,
                 int& y);
void ReleaseAimKey(KeyAim& aim, int direction);
// The held key swings on; true when the pointer moved.
bool StepKeyAim(KeyAim& aim, double dt_ms, double pivot_x, double pivot_y, int& x, int& y);

}  // namespace qv
