// A log that cannot be written: the operation that logged finishes its work, and the edge
// (start-up, the frame loop, the event dispatch) shows one error box for it and goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/log.h"
#include "common/recording_boxes.h"
#include "common/temp_dir.h"
#include "context.h"
#include "harness/runner.h"
#include "harness/script.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/window.h"
#include "shell/events.h"
#include "shell/frame.h"
#include "shell/main_form.h"
#include "support/stand_in_scenes.h"

namespace qv {
namespace {

constexpr const char* kLogFailure = "Cannot write to the log file \"log.txt\": ";

class LogFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteText("options.txt", "log_enabled=1\r\nmove_cnt=16\r\n");
    std::filesystem::create_directory("log.txt");  // no entry can be appended to it
    ctx_ = std::make_unique<Context>();
    ctx_->platform.clock = &clock_;
    ctx_->platform.window = &window_;
    ctx_->platform.messages = &boxes_;
    restores_ = 0;
    ctx_->shell.hooks.sprites.restore_textures = [](SpriteWorld&) {
      ++restores_;
      return true;
    };
  }

  // Every box so far is the log's, and there are count of them.
  void ExpectLogBoxes(std::size_t count) {
    ASSERT_EQ(boxes_.boxes.size(), count);
    for (const test::RecordingBoxes::Box& box : boxes_.boxes) {
      EXPECT_EQ(box.kind, platform::MessageKind::Error);
      EXPECT_EQ(box.caption, "Error");
      EXPECT_EQ(box.text.rfind(kLogFailure, 0), 0u) << box.text;
    }
  }

  static int restores_;
  test::TempDir dir_;
  platform::VirtualClock clock_;
  platform::HeadlessWindow window_;
  test::RecordingBoxes boxes_;
  std::unique_ptr<Context> ctx_;
};

int LogFailureTest::restores_ = 0;

TEST_F(LogFailureTest, StartUpMakesTheDeviceObjectsAndShowsABoxPerStep) {
  ASSERT_TRUE(StartProgram(*ctx_));
  EXPECT_TRUE(ctx_->shell.device.device_ready);
  // The device was made twice (creation, then the display mode); both times its textures came
  // back although "InitDeviceObjects" could not be logged.
  EXPECT_EQ(restores_, 2);
  // The options read, the device, the "FullScreenChange" line and the display mode: each step
  // that logged shows its own box, once.
  ExpectLogBoxes(4);
  EXPECT_FALSE(ctx_->shell.loop.quit_requested);
}

TEST_F(LogFailureTest, AFrameThatLoggedRunsToItsEndAndShowsOneBox) {
  ASSERT_TRUE(StartProgram(*ctx_));
  boxes_.boxes.clear();
  static int after_log = 0;
  after_log = 0;
  SceneOps& menu = ctx_->shell.scenes[SceneId::Menu];
  menu.start = EnterMenuScene;
  menu.frame = [](Context& ctx) {
    WriteLog(ctx, "first");
    WriteLog(ctx, "second");
    ++after_log;
  };
  ctx_->shell.flow.loading_pending = false;
  ctx_->shell.flow.pending_scene = SceneId::Menu;
  clock_.Advance(10);
  TimerTick(*ctx_);
  EXPECT_EQ(after_log, 1) << "the frame went on past its failed log lines";
  ExpectLogBoxes(1);

  // Logging off: nothing fails, nothing is shown.
  ctx_->options.log_enabled = false;
  clock_.Advance(10);
  TimerTick(*ctx_);
  ExpectLogBoxes(1);
}

TEST_F(LogFailureTest, AnEventHandlerThatLoggedShowsOneBoxAndTheProgramGoesOn) {
  ASSERT_TRUE(StartProgram(*ctx_));
  boxes_.boxes.clear();
  ctx_->clocks.app_active = true;  // as the activation handler leaves it
  platform::WindowEvent deactivate;
  deactivate.type = platform::WindowEvent::Type::Deactivate;
  DispatchWindowEvent(*ctx_, deactivate);
  ExpectLogBoxes(1);
  EXPECT_FALSE(ctx_->clocks.app_active) << "the handler ran past \"appdeactivate...\"";
  EXPECT_FALSE(ctx_->shell.loop.quit_requested);
}

TEST_F(LogFailureTest, AScriptedDisplaySwitchEndsNeitherTheRunNorTheSwitch) {
  SceneOps& menu = ctx_->shell.scenes[SceneId::Menu];
  menu.start = EnterMenuScene;
  menu.frame = testing_support::EmptySceneFrame;
  Script script;
  ScriptCommand toggle;
  toggle.tick = 5;
  toggle.kind = ScriptCommand::Kind::Fullscreen;
  script.commands.push_back(toggle);
  LoopOptions loop;
  loop.ticks = 10;
  loop.script = &script;
  loop.virtual_clock = &clock_;
  ASSERT_TRUE(FormCreate(*ctx_));
  boxes_.boxes.clear();
  restores_ = 0;
  EXPECT_EQ(RunMainLoop(*ctx_, loop), 0);
  EXPECT_TRUE(ctx_->options.fullscreen);
  EXPECT_EQ(restores_, 1) << "the device came back with its textures";
  EXPECT_FALSE(boxes_.boxes.empty());
  ExpectLogBoxes(boxes_.boxes.size());
}

}  // namespace
}  // namespace qv
