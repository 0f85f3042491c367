// Driving the pointer without a mouse: the stick's dead zone and acceleration, and the keyboard
// aim's arc around the cannon's pivot.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/pointer_drive.h"

namespace qv {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(PadDriveTest, DeadZoneSignAndCurve) {
  EXPECT_EQ(PadAxisValue(0), 0.0);
  EXPECT_EQ(PadAxisValue(6000), 0.0) << "a resting stick drifts a little";
  EXPECT_EQ(PadAxisValue(-6000), 0.0);
  EXPECT_DOUBLE_EQ(PadAxisValue(32767), 1.0);
  EXPECT_DOUBLE_EQ(PadAxisValue(-32768), -1.0);
  double previous = 0.0;
  for (int raw = 8000; raw <= 32767; raw += 4000) {
    const double v = PadAxisValue(raw);
    EXPECT_GT(v, previous) << raw;
    EXPECT_DOUBLE_EQ(PadAxisValue(-raw), -v);
    previous = v;
  }
  EXPECT_LT(PadAxisValue(16384), 0.5 * (16384 / 32767.0)) << "half a push is well under half speed";
}

TEST(PadDriveTest, HoldingAcceleratesAndStopsAtTheEdges) {
  PadDrive d;
  d.right = true;
  int x = 0, y = 300;
  for (int i = 0; i < 10; ++i) StepPadDrive(d, 10, x, y);
  const int first_100ms = x;
  EXPECT_GT(first_100ms, 5);
  for (int i = 0; i < 60; ++i) StepPadDrive(d, 10, x, y);
  const int before = x;
  for (int i = 0; i < 10; ++i) StepPadDrive(d, 10, x, y);
  EXPECT_GT(x - before, 4 * first_100ms) << "pushed a while, the pointer runs much faster";
  EXPECT_EQ(y, 300);
  for (int i = 0; i < 200; ++i) StepPadDrive(d, 10, x, y);
  EXPECT_EQ(x, 799) << "the pointer stays on the screen";
  EXPECT_FALSE(StepPadDrive(d, 10, x, y));

  // Letting go resets the acceleration; stick and D-pad together are no faster than either.
  ReleasePadDrive(d);
  EXPECT_FALSE(StepPadDrive(d, 10, x, y));
  EXPECT_EQ(d.pushed_ms, 0.0);
  PadDrive both;
  both.left = true;
  both.stick_x = -1.0;
  PadDrive one;
  one.left = true;
  int bx = 700, by = 10, ox = 700, oy = 10;
  for (int i = 0; i < 30; ++i) {
    StepPadDrive(both, 10, bx, by);
    StepPadDrive(one, 10, ox, oy);
  }
  EXPECT_EQ(bx, ox);
}

TEST(PadDriveTest, SlowPushesAccumulateFractionsAndFollowTheMouse) {
  PadDrive d;
  d.stick_y = PadAxisValue(9000);  // a gentle push: well under a pixel per tick
  int x = 400, y = 100;
  int moves = 0;
  for (int i = 0; i < 50; ++i) moves += StepPadDrive(d, 10, x, y) ? 1 : 0;
  EXPECT_GT(y, 100) << "fractions add up to whole pixels";
  EXPECT_GT(moves, 0);
  // The mouse moved the pointer meanwhile: the drive goes on from there.
  x = 50;
  y = 50;
  StepPadDrive(d, 10, x, y);
  EXPECT_EQ(x, 50);
  EXPECT_GE(y, 50);
  EXPECT_LE(y, 51);
}

TEST(KeyAimTest, SwingsAlongTheArcAndStopsShortOfTheSides) {
  const double px = 400, py = 560;
  KeyAim aim;
  int x = 400, y = 260;  // straight up, 300 px away
  ASSERT_TRUE(PressAimKey(aim, 1, false, px, py, x, y));
  EXPECT_GT(x, 400);
  EXPECT_NEAR(std::hypot(x - px, y - py), 300.0, 1.0) << "the distance to the pivot is kept";
  EXPECT_NEAR(std::atan2(x - px, py - y) * 180 / kPi, kAimTapDegrees, 0.2);

  // The hold waits, then swings on; releasing stops it.
  int steps_moved = 0;
  for (int i = 0; i < 10; ++i) steps_moved += StepKeyAim(aim, 10, px, py, x, y) ? 1 : 0;
  EXPECT_EQ(steps_moved, 0) << "no repeat before the hold delay";
  for (int i = 0; i < 100; ++i) StepKeyAim(aim, 10, px, py, x, y);
  const double after_hold = std::atan2(x - px, py - y) * 180 / kPi;
  EXPECT_NEAR(after_hold, kAimTapDegrees + kAimDegreesPerSecond * (1100 - kAimHoldDelayMs) / 1000,
              1.0);
  for (int i = 0; i < 300; ++i) StepKeyAim(aim, 10, px, py, x, y);
  EXPECT_NEAR(std::atan2(x - px, py - y) * 180 / kPi, kAimMaxDegrees, 0.3);
  EXPECT_LT(y, py) << "the pointer never swings below the pivot";
  ReleaseAimKey(aim, -1);
  EXPECT_EQ(aim.direction, 1) << "the other key's release changes nothing";
  ReleaseAimKey(aim, 1);
  const int held_x = x;
  EXPECT_FALSE(StepKeyAim(aim, 10, px, py, x, y));
  EXPECT_EQ(x, held_x);
}

TEST(KeyAimTest, FineTapsAndPointersNearThePivot) {
  const double px = 400, py = 560;
  KeyAim coarse, fine;
  int cx = 400, cy = 200, fx = 400, fy = 200;
  for (int i = 0; i < 8; ++i) {
    PressAimKey(coarse, -1, false, px, py, cx, cy);
    PressAimKey(fine, -1, true, px, py, fx, fy);
  }
  const double coarse_deg = -std::atan2(cx - px, py - cy) * 180 / kPi;
  const double fine_deg = -std::atan2(fx - px, py - fy) * 180 / kPi;
  EXPECT_NEAR(coarse_deg, 8 * kAimTapDegrees, 0.3);
  EXPECT_NEAR(fine_deg, 8 * kAimFineTapDegrees, 0.3) << "small taps add up instead of rounding away";

  // A pointer on the pivot or below it is put on the arc at the least radius.
  KeyAim near;
  int x = 400, y = 560;
  PressAimKey(near, 1, false, px, py, x, y);
  EXPECT_NEAR(std::hypot(x - px, y - py), kAimMinRadius, 1.0);
  EXPECT_LT(y, py);
  KeyAim below;
  x = 300;
  y = 590;
  PressAimKey(below, 1, false, px, py, x, y);
  EXPECT_LT(y, py);
  EXPECT_LT(x, px) << "from the lower left it swings up the left side";
}

}  // namespace
}  // namespace qv
