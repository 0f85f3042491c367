// A window keeps a picture it already shows: the frame is neither drawn nor presented again
// until the picture changes or the window may have lost it. Runs that capture or measure
// frames draw every one they ask for.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "context.h"
#include "platform/headless/headless_window.h"
#include "platform/soft_device.h"
#include "platform/window.h"
#include "shell/events.h"
#include "shell/frame.h"
#include "sprites/sprite_hooks.h"

namespace qv {
namespace {

class CountingDevice final : public platform::SoftRenderDevice {
 public:
  bool BeginScene() override {
    ++drawn;
    return true;
  }
  int drawn = 0;
};

class StillFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_ = std::make_unique<Context>();
    ctx_->platform.device = &device_;
    ctx_->clocks.app_active = true;
    ctx_->shell.hooks.sprites.picture = SpritesPictureHook;
    ctx_->sprites.draw_list.push_back(Quad(10));
  }
  static SpriteQuad Quad(float x) {
    SpriteQuad q;
    q.quad = {x, 0, x + 32, 32, 0, 0, 0.125f, 0.125f, 0xFFFFFFFFu};
    return q;
  }
  // One render pass over the list as it stands (the stand-in collect keeps it); true when it
  // drew.
  bool Render() {
    const int before = device_.drawn;
    ctx_->shell.loop.frame_drawn = false;
    const std::vector<SpriteQuad> list = ctx_->sprites.draw_list;
    RenderScene(*ctx_);
    ctx_->sprites.draw_list = list;
    EXPECT_EQ(ctx_->shell.loop.frame_drawn, device_.drawn > before);
    return device_.drawn > before;
  }
  void Dispatch(platform::WindowEvent::Type type) {
    platform::WindowEvent e;
    e.type = type;
    DispatchWindowEvent(*ctx_, e);
  }

  CountingDevice device_;
  std::unique_ptr<Context> ctx_;
};

TEST_F(StillFrameTest, AStillPictureIsDrawnOnceAndAgainOnlyWhenItChangesOrIsLost) {
  EXPECT_TRUE(Render());
  EXPECT_FALSE(Render());
  EXPECT_FALSE(Render());
  ctx_->sprites.draw_list[0].quad.x0 = 11;  // a part moved by a pixel
  EXPECT_TRUE(Render());
  EXPECT_FALSE(Render());
  ctx_->sprites.draw_list[0].quad.argb = 0xFEFFFFFFu;  // or faded a step
  EXPECT_TRUE(Render());
  ctx_->sprites.uploads += 1;  // same quads, new texture contents
  EXPECT_TRUE(Render());
  EXPECT_FALSE(Render());
  // Uncovered or resized: the window may show nothing of it any more.
  Dispatch(platform::WindowEvent::Type::Exposed);
  EXPECT_TRUE(Render());
  EXPECT_FALSE(Render());
}

TEST_F(StillFrameTest, CapturedMeasuredAndHeadlessFramesAreAlwaysDrawn) {
  EXPECT_TRUE(Render());
  ctx_->shell.loop.screenshot_path = "shot.png";
  EXPECT_TRUE(Render());
  ctx_->shell.loop.screenshot_path.clear();
  // The frame counter's text is drawn over the picture each frame.
  ctx_->shell.device.show_stats = true;
  EXPECT_TRUE(Render());
  EXPECT_TRUE(Render());
  ctx_->shell.device.show_stats = false;
  ctx_->shell.run.render_all = true;
  EXPECT_TRUE(Render());
  EXPECT_TRUE(Render());
  ctx_->shell.run.render_all = false;
  ctx_->shell.run.headless = true;
  EXPECT_TRUE(Render());
  EXPECT_TRUE(Render());
}

// Ticks come every 10 ms; a 60 Hz display shows 60 frames a second, and drawing more would only
// cost.
TEST_F(StillFrameTest, AWindowDrawsNoMoreFramesThanItsDisplayShows) {
  platform::HeadlessWindow window;
  ctx_->platform.window = &window;
  auto second = [&](int rate, std::uint32_t start) {
    window.SetDisplayRate(rate);
    int drawn = 0;
    for (std::uint32_t t = start; t < start + 1000; t += 10) {
      ctx_->clocks.frame_clock = t;
      ctx_->sprites.draw_list[0].quad.x0 = static_cast<float>(t % 700);  // every tick changes
      drawn += Render() ? 1 : 0;
    }
    return drawn;
  };
  EXPECT_EQ(second(60, 1000), 60);
  EXPECT_EQ(second(0, 2000), 100);
  EXPECT_EQ(second(50, 3000), 50);
  // A clock that starts over draws at once rather than waiting for the old time.
  window.SetDisplayRate(60);
  ctx_->clocks.frame_clock = 5;
  ctx_->sprites.draw_list[0].quad.x0 = 1;
  EXPECT_TRUE(Render());
}

// Collecting the draw list is much of what a still window costs: ticks between the display's
// frames skip it too.
TEST_F(StillFrameTest, TicksBetweenTheDisplaysFramesCollectNothing) {
  platform::HeadlessWindow window;
  window.SetDisplayRate(60);
  ctx_->platform.window = &window;
  // Each collect adds a quad, so every collected picture is new and is drawn.
  ctx_->shell.hooks.sprites.collect = [](SpriteWorld& w) { w.sprites.draw_list.push_back({}); };
  int drawn = 0;
  for (std::uint32_t t = 1000; t < 2000; t += 10) {
    ctx_->clocks.frame_clock = t;
    const int before = device_.drawn;
    RenderScene(*ctx_);
    drawn += device_.drawn - before;
  }
  EXPECT_EQ(drawn, 60);
  EXPECT_EQ(ctx_->sprites.draw_list.size(), 1u + 60u);
}

}  // namespace
}  // namespace qv
