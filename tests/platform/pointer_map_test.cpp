// Window positions to frame positions: the frame fitted into windows of any shape, and the
// pointer followed from a window's own events.
#include <gtest/gtest.h>

#include "platform/pointer_map.h"

namespace qv::platform {
namespace {

struct Point {
  int x, y;
};

Point ToFrame(int w, int h, int wx, int wy) {
  Point p{};
  WindowToFrame(FitFrame(w, h), wx, wy, p.x, p.y);
  return p;
}

TEST(FrameFitTest, AWindowOfTheFramesSizeMapsOneToOne) {
  const FrameFit fit = FitFrame(800, 600);
  for (const Point p : {Point{0, 0}, Point{400, 300}, Point{799, 599}, Point{-1, 600}}) {
    int fx = 0, fy = 0;
    WindowToFrame(fit, p.x, p.y, fx, fy);
    EXPECT_EQ(fx, p.x);
    EXPECT_EQ(fy, p.y);
  }
}

TEST(FrameFitTest, FourByThreeScreenScalesWithoutBars) {
  const FrameFit fit = FitFrame(1024, 768);
  EXPECT_EQ(fit.left, 0);
  EXPECT_EQ(fit.top, 0);
  const Point centre = ToFrame(1024, 768, 512, 384);
  EXPECT_EQ(centre.x, 400);
  EXPECT_EQ(centre.y, 300);
  const Point corner = ToFrame(1024, 768, 1023, 767);
  EXPECT_EQ(corner.x, 799);
  EXPECT_EQ(corner.y, 599);
  EXPECT_EQ(ToFrame(1024, 768, 0, 0).x, 0);
}

TEST(FrameFitTest, WideScreenPutsBarsLeftAndRight) {
  // 1920 x 1080: scale 1.8, the frame 1440 wide from x 240.
  const FrameFit fit = FitFrame(1920, 1080);
  EXPECT_EQ(fit.left, 240);
  EXPECT_EQ(fit.top, 0);
  EXPECT_EQ(ToFrame(1920, 1080, 960, 540).x, 400);
  EXPECT_EQ(ToFrame(1920, 1080, 960, 540).y, 300);
  EXPECT_EQ(ToFrame(1920, 1080, 240, 0).x, 0);
  // The bars lie outside the frame on both sides.
  EXPECT_LT(ToFrame(1920, 1080, 239, 540).x, 0);
  EXPECT_LT(ToFrame(1920, 1080, 0, 540).x, 0);
  EXPECT_EQ(ToFrame(1920, 1080, 1679, 540).x, 799);
  EXPECT_GE(ToFrame(1920, 1080, 1680, 540).x, 800);
}

TEST(FrameFitTest, TallWindowPutsBarsAboveAndBelow) {
  // 800 x 1000: scale 1, the frame 600 high from y 200.
  const FrameFit fit = FitFrame(800, 1000);
  EXPECT_EQ(fit.left, 0);
  EXPECT_EQ(fit.top, 200);
  EXPECT_EQ(ToFrame(800, 1000, 400, 500).y, 300);
  EXPECT_LT(ToFrame(800, 1000, 400, 199).y, 0);
  EXPECT_EQ(ToFrame(800, 1000, 400, 200).y, 0);
  EXPECT_EQ(ToFrame(800, 1000, 400, 799).y, 599);
  EXPECT_GE(ToFrame(800, 1000, 400, 800).y, 600);
}

TEST(FrameFitTest, ASmallerWindowShrinksTheFrame) {
  // 400 x 300: every window pixel shows two frame pixels.
  EXPECT_EQ(ToFrame(400, 300, 200, 150).x, 400);
  EXPECT_EQ(ToFrame(400, 300, 399, 299).y, 598);
}

TEST(FrameFitTest, FramePositionsComeBackExactWhereverTheFrameIsShown) {
  // The program warps the pointer to a frame position; the warp's motion event reads back.
  for (const Point size : {Point{800, 600}, Point{1024, 768}, Point{1920, 1080}, Point{1280, 1024},
                           Point{1366, 768}, Point{2560, 1600}}) {
    const FrameFit fit = FitFrame(size.x, size.y);
    for (int f = 0; f < 800; ++f) {
      int wx = 0, wy = 0, fx = 0, fy = 0;
      FrameToWindow(fit, f, f % 600, wx, wy);
      ASSERT_GE(wx, 0);
      ASSERT_LT(wx, size.x);
      WindowToFrame(fit, wx, wy, fx, fy);
      ASSERT_EQ(fx, f) << size.x << "x" << size.y;
      ASSERT_EQ(fy, f % 600) << size.x << "x" << size.y;
    }
  }
}

TEST(FrameFitTest, ADegenerateWindowMapsWithoutDividingByZero) {
  const Point p = ToFrame(0, 0, 10, 10);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 10);
}

TEST(PointerTrackerTest, IsOutsideUntilTheFirstEvent) {
  PointerTracker t;
  EXPECT_LT(t.X(), 0);
}

TEST(PointerTrackerTest, FollowsMotionInAFullscreenWindow) {
  PointerTracker t;
  t.Moved(512, 384, 1024, 768);
  EXPECT_EQ(t.X(), 400);
  EXPECT_EQ(t.Y(), 300);
  // Dragged outside while a button holds the mouse: the position is kept as it is.
  t.Moved(-30, 900, 800, 600);
  EXPECT_EQ(t.X(), -30);
  EXPECT_EQ(t.Y(), 900);
}

TEST(PointerTrackerTest, LeavingPushesThePointerPastTheNearestEdge) {
  // The window's last motion before leaving is clamped onto its edge; the game must not keep
  // hovering (or clicking) the button there.
  struct Case {
    int x, y, want_x, want_y;
  } cases[] = {{0, 300, -1, 300}, {799, 300, 800, 300}, {400, 0, 400, -1},
               {400, 599, 400, 600}, {5, 2, 5, -1}};
  for (const Case& c : cases) {
    PointerTracker t;
    t.Moved(c.x, c.y, 800, 600);
    t.Left();
    EXPECT_EQ(t.X(), c.want_x) << c.x << "," << c.y;
    EXPECT_EQ(t.Y(), c.want_y) << c.x << "," << c.y;
  }
  // Already outside (a bar, a capture): left alone.
  PointerTracker bar;
  bar.Moved(100, 540, 1920, 1080);
  const int x = bar.X();
  bar.Left();
  EXPECT_EQ(bar.X(), x);
}

TEST(PointerTrackerTest, AWarpTakesEffectAtOnce) {
  PointerTracker t;
  t.Moved(10, 10, 800, 600);
  t.Warped(321, 123);
  EXPECT_EQ(t.X(), 321);
  EXPECT_EQ(t.Y(), 123);
}

}  // namespace
}  // namespace qv::platform
