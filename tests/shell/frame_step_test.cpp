// The frame step's arithmetic: the fixed logic rate, catch-up after a stall, the frame cap, the
// game clock's pause bookkeeping, scene switching and the busy flags.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "common/recording_boxes.h"
#include "common/temp_dir.h"
#include "context.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "shell/frame.h"
#include "shell/main_form.h"
#include "support/stand_in_scenes.h"

namespace qv {
namespace {

using testing_support::BasicLeaveScene;
using testing_support::BasicStartSceneMain;
using testing_support::EmptySceneFrame;

// Counts the scene frames of the running phase; builds itself on its first call.
struct Counters {
  int running_steps = 0;
  int building_calls = 0;
  int moves = 0;
  bool loading_left = false;
  bool throw_once = false;
};

class FrameStepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteText("options.txt", "move_cnt=16\r\n");
    ctx_ = std::make_unique<Context>();
    ctx_->platform.clock = &clock_;
    ctx_->platform.window = &window_;
    ctx_->platform.messages = &boxes_;
    ctx_->options.move_cnt = 16;
    counters_ = Counters{};
    SceneOps& menu = ctx_->shell.scenes[SceneId::Menu];
    menu.frame = SceneFrame;
    menu.start = EnterMenuScene;
    menu.leave = BasicLeaveScene;
    menu.loading_remains = [](const Context&) { return counters_.loading_left; };
    SceneOps& game = ctx_->shell.scenes[SceneId::Game];
    game.frame = SceneFrame;
    game.start = BasicStartSceneMain;
    game.leave = BasicLeaveScene;
    game.pauses_when_inactive = true;
    ctx_->shell.hooks.sprites.move = [](SpriteWorld&, int count) {
      EXPECT_EQ(count, 16);
      ++counters_.moves;
    };
  }

  static void SceneFrame(Context& ctx) {
    if (counters_.throw_once) {
      counters_.throw_once = false;
      throw std::runtime_error("disk full");
    }
    if (ctx.shell.flow.scene_phase == 0) {
      ++counters_.building_calls;
      if (!counters_.loading_left) ctx.shell.flow.scene_phase = 1;
    } else if (ctx.shell.flow.scene_phase == 2) {
      ++counters_.running_steps;
    }
  }

  // One frame step every 10 ms for ms milliseconds.
  void Run(std::uint32_t ms) {
    for (std::uint32_t t = 0; t < ms; t += 10) Step(10);
  }
  void Step(std::uint32_t advance) {
    clock_.Advance(advance);
    StepFrame(*ctx_);
  }
  // Loading set-up; the empty menu builds itself and the bookkeeping tail starts it running.
  void StartRunning() {
    Step(10);
    ASSERT_EQ(ctx_->shell.flow.scene_phase, 2);
    ASSERT_EQ(counters_.running_steps, 0);
  }

  static Counters counters_;
  test::TempDir dir_;
  platform::VirtualClock clock_;
  platform::HeadlessWindow window_;
  test::RecordingBoxes boxes_;
  std::unique_ptr<Context> ctx_;
};

Counters FrameStepTest::counters_;

TEST_F(FrameStepTest, SixHundredStepsInTenSecondsAtMoveCount16) {
  StartRunning();
  const std::uint32_t start = ctx_->shell.loop.run_start;
  Run(10000);
  EXPECT_EQ(ctx_->clocks.frame_clock - start, 10000u);
  // 267 * 600 = 160200 >= 16 * 10000 while 267 * 599 falls short.
  EXPECT_EQ(counters_.running_steps, 600);
  EXPECT_EQ(counters_.moves, 600);
  EXPECT_EQ(ctx_->shell.loop.step_budget, 600 * 267);
}

TEST_F(FrameStepTest, AStallRunsEveryMissedStepInOneFrameStep) {
  StartRunning();
  Run(1000);
  const int before = counters_.running_steps;
  EXPECT_EQ(before, 60);  // smallest n with 267 n >= 16000
  Step(2000);
  // 3000 ms since run_start: 267 n >= 48000 gives n = 180.
  EXPECT_EQ(counters_.running_steps, 180);
  Step(10);
  EXPECT_EQ(counters_.running_steps, 181);  // 267 * 180 < 16 * 3010 <= 267 * 181
}

TEST_F(FrameStepTest, AVeryLongStallIsCaughtUpOverSeveralFrameSteps) {
  StartRunning();
  Step(20000);  // 1199 steps owed: 267 n >= 16 * 20000
  EXPECT_EQ(counters_.running_steps, kMaxCatchUpSteps);
  Step(10);
  // 20010 ms since run_start: every owed step has run, as without the limit.
  EXPECT_EQ(counters_.running_steps, 1200);  // 267 * 1199 < 16 * 20010 <= 267 * 1200
  Step(20);
  EXPECT_EQ(counters_.running_steps, 1201);
}

TEST_F(FrameStepTest, AHugeMoveCountKeepsTheFrameStepShort) {
  test::WriteText("options.txt", "move_cnt=2147483647\r\nlog_enabled=1\r\n");
  StartRunning();
  for (int i = 1; i <= 5; ++i) {
    Step(10);
    EXPECT_EQ(counters_.running_steps, i * kMaxCatchUpSteps);
  }
  // The scene switch still happens on the next frame step.
  ctx_->shell.flow.pending_scene = SceneId::Game;
  Step(10);
  EXPECT_EQ(ctx_->shell.flow.scene, SceneId::Game);
  const std::string log = test::ReadText("log.txt");
  const auto first = log.find("catch_up_limited: move_cnt=2147483647");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(log.find("catch_up_limited", first + 1), std::string::npos) << "once per run";
}

TEST_F(FrameStepTest, WithoutAMoveCountTheScenesNeverStep) {
  test::WriteText("options.txt", "log_enabled=0\r\n");  // the scene start reads the options
  ctx_->options.move_cnt = 0;
  StartRunning();
  Run(2000);
  EXPECT_EQ(counters_.running_steps, 0);
}

TEST_F(FrameStepTest, AMoveCountBelowOneStillStepsAtTheUsualRate) {
  for (const char* value : {"0", "-16", "-2147483648"}) {
    SetUp();
    test::WriteText("options.txt", std::string("move_cnt=") + value + "\r\n");
    StartRunning();
    Run(10000);
    EXPECT_EQ(counters_.running_steps, 600) << value;
  }
}

TEST_F(FrameStepTest, FrameCapHoldsBackOnlyTheBookkeepingTail) {
  ctx_->options.fps_max = 50;
  ctx_->options.frame_period = 20;
  Step(10);  // loading set-up; the menu builds itself; bookkeeping: running, next due in 20 ms
  ASSERT_EQ(ctx_->shell.flow.scene_phase, 2);
  const std::uint32_t due = ctx_->shell.loop.next_frame_due;
  EXPECT_EQ(due, ctx_->clocks.frame_clock + 20);

  ctx_->shell.flow.scene_phase = 1;  // the scene asks to run again
  Step(10);                     // 10 ms later: returns after the scene dispatch
  EXPECT_EQ(ctx_->shell.loop.frame_busy, 0);
  EXPECT_EQ(ctx_->shell.flow.scene_phase, 1);
  EXPECT_EQ(ctx_->shell.loop.next_frame_due, due);
  Step(10);  // the next one runs normally
  EXPECT_EQ(ctx_->shell.flow.scene_phase, 2);
  EXPECT_EQ(ctx_->shell.loop.next_frame_due, ctx_->clocks.frame_clock + 20);

  // no_sync or wait_vblank lift the cap.
  ctx_->options.no_sync = 1;
  ctx_->shell.flow.scene_phase = 1;
  Step(10);
  EXPECT_EQ(ctx_->shell.flow.scene_phase, 2);
}

TEST_F(FrameStepTest, GameClockSkipsTheTimeSpentInAnotherWindow) {
  StartRunning();
  ctx_->shell.flow.pending_scene = SceneId::Game;
  Step(10);  // switch to the game, which builds on this call and starts running
  ASSERT_EQ(ctx_->shell.flow.scene, SceneId::Game);
  ASSERT_EQ(ctx_->shell.flow.scene_phase, 2);
  ctx_->clocks.app_active = true;
  const std::uint32_t frame0 = ctx_->clocks.frame_clock;
  const std::uint32_t game0 = ctx_->clocks.game_clock;
  Run(1000);
  AppDeactivate(*ctx_);
  EXPECT_EQ(ctx_->clocks.paused, 1);
  const int steps_before_pause = counters_.running_steps;
  Run(5000);
  EXPECT_EQ(ctx_->clocks.game_clock, game0 + 1000) << "the game clock stands still while paused";
  AppRestore(*ctx_);
  EXPECT_EQ(ctx_->clocks.paused, 0);
  EXPECT_EQ(ctx_->clocks.app_active, 1);
  Run(500);
  EXPECT_EQ(ctx_->clocks.frame_clock - frame0, 6500u);
  // The pause closes at the first step after the restore, so that step's 10 ms count as paused.
  EXPECT_EQ(ctx_->clocks.game_clock - game0, 1490u);
  EXPECT_GT(counters_.running_steps, steps_before_pause);
  EXPECT_FALSE(window_.PointerVisible());
}

TEST_F(FrameStepTest, BuildingMenuCallsTheFrameTwiceWhileLoadingEntriesRemain) {
  counters_.loading_left = true;
  Step(10);
  EXPECT_EQ(counters_.building_calls, 2);
  EXPECT_EQ(counters_.moves, 1);
  counters_.loading_left = false;
  Step(10);
  EXPECT_EQ(counters_.building_calls, 3);
  EXPECT_EQ(counters_.moves, 1) << "one building call: no move pass";
  EXPECT_EQ(ctx_->shell.flow.scene_phase, 2);
}

TEST_F(FrameStepTest, SwitchLeavesTheOldSceneBeforeStartingTheNew) {
  static std::string order;
  order.clear();
  ctx_->shell.scenes[SceneId::Menu].leave = [](Context& ctx) {
    order += "leave-menu ";
    BasicLeaveScene(ctx);
  };
  ctx_->shell.scenes[SceneId::Game].start = [](Context& ctx) {
    order += "start-main ";
    ctx.shell.flow.scene_ready = true;
    ctx.shell.flow.scene_phase = 0;
  };
  StartRunning();
  ctx_->shell.flow.pending_scene = SceneId::Game;
  Step(10);
  EXPECT_EQ(order, "leave-menu start-main ");
  EXPECT_EQ(ctx_->shell.flow.scene, SceneId::Game);
  EXPECT_EQ(ctx_->shell.flow.pending_scene, SceneId::None);
  EXPECT_EQ(ctx_->shell.flow.scene_phase, 2) << "the game built itself and runs";
}

TEST_F(FrameStepTest, AnErrorInsideAFrameEndsThatFrameOnly) {
  ctx_->shell.device.device_ready = true;
  ctx_->clocks.app_active = true;
  StartRunning();
  counters_.throw_once = true;
  clock_.Advance(10);
  TimerTick(*ctx_);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text, "disk full");
  EXPECT_EQ(ctx_->shell.loop.frame_busy, 0);
  EXPECT_EQ(ctx_->shell.loop.render_busy, 0);
  EXPECT_FALSE(ctx_->shell.loop.quit_requested);
  const int steps = counters_.running_steps;
  clock_.Advance(10);
  TimerTick(*ctx_);
  EXPECT_GT(counters_.running_steps, steps);
}

TEST_F(FrameStepTest, MouseAcceptsTheScreenEdgeButClipTurnsItAway) {
  StartRunning();
  ctx_->shell.pointer.hover_button = 3;
  window_.SetPointer(800, 600);
  UpdateMouse(*ctx_, false);
  EXPECT_EQ(ctx_->shell.pointer.mouse_x, 800);
  FormMouseDown(*ctx_, 0);
  EXPECT_EQ(ctx_->shell.pointer.pressed_button, 3);

  static int clicks = 0;
  clicks = 0;
  ctx_->shell.scenes[ctx_->shell.flow.scene].click = [](Context&) { ++clicks; };
  FormMouseUp(*ctx_, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(ctx_->shell.pointer.pressed_button, -1);

  UpdateMouse(*ctx_, true);
  EXPECT_EQ(ctx_->shell.pointer.mouse_x, -1000);
  ctx_->shell.pointer.pressed_button = -1;
  FormMouseDown(*ctx_, 0);
  EXPECT_EQ(ctx_->shell.pointer.pressed_button, -1) << "a press off screen is ignored";

  ctx_->clocks.app_active = false;
  UpdateMouse(*ctx_, false);
  FormMouseDown(*ctx_, 0);
  EXPECT_EQ(ctx_->shell.pointer.pressed_button, -1) << "ignored while inactive";
}

TEST(TickScheduleTest, TicksEveryTenMillisecondsAndRestartsWhenFarBehind) {
  platform::TickSchedule s;
  s.Restart(1000);
  EXPECT_EQ(s.Wait(1000), 10u);
  EXPECT_EQ(s.Wait(1010), 0u);
  s.Fired(1010);
  EXPECT_EQ(s.Next(), 1020u);
  s.Fired(1125);  // 105 ms late: catch up
  EXPECT_EQ(s.Next(), 1030u);
  s.Fired(1200);  // 170 ms behind: start again from now
  EXPECT_EQ(s.Next(), 1200u);
  s.Restart(0xFFFFFFF8u);  // wraps like the tick count
  EXPECT_EQ(s.Next(), 2u);
  EXPECT_EQ(s.Wait(0xFFFFFFFCu), 6u);
  EXPECT_EQ(s.Wait(3), 0u);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(SeedRandomTest, SeedOptionReplacesTheClock) {
  auto ctx = std::make_unique<Context>();
  platform::VirtualClock clock;
  ctx->platform.clock = &clock;
  ctx->shell.run.has_seed = true;
  ctx->shell.run.seed = 1234;
  SeedRandom(*ctx);
  const int first = ctx->random.Next(1000);
  clock.Advance(5000);
  SeedRandom(*ctx);
  EXPECT_EQ(ctx->random.Next(1000), first);
  EXPECT_EQ(ctx->random.seed, 1234u * 134775813u + 1u);
}

}  // namespace
}  // namespace qv
