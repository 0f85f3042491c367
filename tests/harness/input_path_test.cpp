// The input path through the headless back end: a game controller and the keyboard's aim turn
// into ordinary pointer and key events, and a recorded session replays to the same state.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/recording_boxes.h"
#include "common/temp_dir.h"
#include "context.h"
#include "game/game_scene.h"
#include "harness/recorder.h"
#include "harness/runner.h"
#include "harness/script.h"
#include "harness/state_dump.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "shell/main_form.h"
#include "shell/options_file.h"
#include "shell/pointer_drive.h"
#include "support/stand_in_scenes.h"

namespace qv {
namespace {

using testing_support::BasicLeaveScene;
using testing_support::BasicStartSceneMain;
using testing_support::EmptySceneFrame;

using Event = platform::WindowEvent;

// What the scene heard, and the device events it hands the window at chosen times (the scene
// frame is the one place inside a run that can reach the window).
struct World {
  std::vector<std::string> heard;
  std::vector<std::pair<std::uint32_t, Event>> schedule;  // frame_clock at or after which to push
  std::size_t next = 0;
  bool aiming = false;
  std::uint32_t dialog_at = 0;  // frame_clock at which a game dialog comes up; 0 never
  platform::HeadlessWindow* window = nullptr;
};
World* g_world = nullptr;

Event Pad(Event::Type type, int button, int value = 0) {
  Event e;
  e.type = type;
  e.button = button;
  e.value = value;
  return e;
}
Event Key(Event::Type type, int key, int shift = 0, bool repeat = false) {
  Event e;
  e.type = type;
  e.key = key;
  e.shift = shift;
  e.repeat = repeat;
  return e;
}

class Session {
 public:
  Session() {
    test::WriteText("options.txt", "move_cnt=16\r\n");
    ctx_ = std::make_unique<Context>();
    ctx_->platform.clock = &clock_;
    ctx_->platform.window = &window_;
    ctx_->platform.messages = &boxes_;
    ctx_->shell.hooks.state_sections.push_back({"shell", WriteShellSection});
    ctx_->shell.hooks.state_sections.push_back({"options", WriteOptionsSection});
    SceneOps& menu = ctx_->shell.scenes[SceneId::Menu];
    menu.start = BasicStartSceneMain;
    menu.leave = BasicLeaveScene;
    menu.frame = [](Context& ctx) {
      EmptySceneFrame(ctx);
      World& w = *g_world;
      if (w.dialog_at != 0 && ctx.clocks.frame_clock >= w.dialog_at &&
          ctx.game.play.end_phase == EndPhase::Playing) {
        ctx.game.play.end_phase = EndPhase::Statistics;  // the statistics
        ctx.shell.flow.click_context = ClickContext::LevelStatistics;
      }
      while (w.next < w.schedule.size() && ctx.clocks.frame_clock >= w.schedule[w.next].first) {
        w.window->PushEvent(w.schedule[w.next++].second);
      }
    };
    menu.mouse_down = [](Context&, int button) {
      g_world->heard.push_back("down " + std::to_string(button));
    };
    menu.key_down = [](Context&, int key, int shift) {
      g_world->heard.push_back("key " + std::to_string(key) + " " + std::to_string(shift));
    };
    menu.aim_pivot = [](const Context&, double& x, double& y) {
      x = 400;
      y = 560;
      return g_world->aiming;
    };
    world_.window = &window_;
    g_world = &world_;
  }
  ~Session() { g_world = nullptr; }

  int Run(std::uint64_t ticks, const Script* script = nullptr, Recorder* recorder = nullptr) {
    LoopOptions loop;
    loop.ticks = ticks;
    loop.script = script;
    loop.virtual_clock = &clock_;
    std::optional<platform::LatchedClock> latched;
    if (recorder) {
      latched.emplace(clock_);
      ctx_->platform.clock = &*latched;
      recorder->Start(latched->Now());
      ctx_->shell.run.seed_observer = [recorder](std::uint32_t s) { recorder->Seed(s); };
      loop.recorder = recorder;
      loop.latched_clock = &*latched;
    }
    EXPECT_TRUE(FormCreate(*ctx_));
    const int status = RunMainLoop(*ctx_, loop);
    ctx_->platform.clock = &clock_;
    return status;
  }

  Context& ctx() { return *ctx_; }
  // Where the system pointer is (the scenes here do not follow it with a cursor).
  std::pair<int, int> Pointer() {
    int x = 0, y = 0;
    window_.GetPointer(x, y);
    return {x, y};
  }
  World& world() { return world_; }
  platform::VirtualClock& clock() { return clock_; }

 private:
  std::unique_ptr<Context> ctx_;
  platform::VirtualClock clock_;
  platform::HeadlessWindow window_;
  test::RecordingBoxes boxes_;
  World world_;
};

TEST(InputPathTest, ControllerDrivesThePointerAndPressesButtons) {
  test::TempDir dir;
  Session s;
  s.world().schedule = {
      {100, Pad(Event::Type::PadButtonDown, platform::kPadA)},
      {150, Pad(Event::Type::PadButtonUp, platform::kPadA)},
      {160, Pad(Event::Type::PadButtonUp, platform::kPadB)},  // never pressed: no click
      {200, Pad(Event::Type::PadAxisMotion, platform::kPadLeftX, 32767)},
      {700, Pad(Event::Type::PadAxisMotion, platform::kPadLeftX, 3000)},  // back in the dead zone
      {750, Pad(Event::Type::PadButtonDown, platform::kPadDown)},
      {1000, Pad(Event::Type::PadButtonUp, platform::kPadDown)},
      {1100, Pad(Event::Type::PadButtonDown, platform::kPadB)},
      {1150, Pad(Event::Type::PadButtonDown, platform::kPadStart)},
      {1160, Pad(Event::Type::PadButtonUp, platform::kPadStart)},
      {1200, Pad(Event::Type::PadButtonDown, platform::kPadBack)},
      {1300, Pad(Event::Type::PadRemoved, 0)},  // B was held: it is let go
  };
  ASSERT_EQ(s.Run(150), 0);
  const std::vector<std::string> expected = {"down 1", "down 2", "key 27 0"};
  EXPECT_EQ(s.world().heard, expected);
  const ShellState& sh = s.ctx().shell;
  const auto [x, y] = s.Pointer();
  // Half a second of full stick from the left edge: a slow start that speeds up.
  EXPECT_GT(x, 120);
  EXPECT_LT(x, 250);
  EXPECT_GT(y, 30) << "the D-pad moved it down";
  // Back switched to fullscreen for this run: re-reading options.txt keeps it, and the file
  // has no say.
  EXPECT_EQ(s.ctx().options.fullscreen, 1);
  EXPECT_EQ(sh.run.fullscreen, std::optional<bool>(true));
  ReadOptions(s.ctx());
  EXPECT_EQ(s.ctx().options.fullscreen, 1);
  EXPECT_EQ(test::ReadText("options.txt"), "move_cnt=16\r\n");
}

TEST(InputPathTest, KeyboardAimsOnlyWhileTheSceneAims) {
  test::TempDir dir;
  Session s;
  s.world().aiming = true;
  Script script;
  ScriptCommand move;
  move.tick = 5;
  move.kind = ScriptCommand::Kind::Move;
  move.x = 400;
  move.y = 260;
  script.commands.push_back(move);
  s.world().schedule = {
      {100, Key(Event::Type::KeyDown, 39)},
      {150, Key(Event::Type::KeyDown, 39, 0, true)},  // the key's own repeat adds nothing
      {600, Key(Event::Type::KeyUp, 39)},
      {700, Key(Event::Type::KeyDown, 38)},
      {710, Key(Event::Type::KeyDown, 32)},  // Space while Up is held: one press
      {720, Key(Event::Type::KeyUp, 38)},
      {730, Key(Event::Type::KeyUp, 32)},
      {800, Key(Event::Type::KeyDown, 40)},
      {810, Key(Event::Type::KeyUp, 40)},
      {900, Key(Event::Type::KeyDown, 65)},  // other keys pass as keys
  };
  ASSERT_EQ(s.Run(100, &script), 0);
  const std::vector<std::string> expected = {"down 1", "down 2", "key 65 0"};
  EXPECT_EQ(s.world().heard, expected);
  const auto [x, y] = s.Pointer();
  const double dx = x - 400.0, dy = 560.0 - y;
  EXPECT_NEAR(std::hypot(dx, dy), 300.0, 1.5);
  const double degrees = std::atan2(dx, dy) * 180.0 / 3.14159265358979323846;
  // Tap, then held from about 0.28 s to 0.61 s at the hold speed after its delay.
  EXPECT_GT(degrees, 15.0);
  EXPECT_LT(degrees, 35.0);

  // The scene stops aiming (a dialog, the name input): the arrows are keys again.
  Session t;
  t.world().aiming = false;
  t.world().schedule = {{100, Key(Event::Type::KeyDown, 37, 1)},
                        {110, Key(Event::Type::KeyUp, 37)},
                        {120, Key(Event::Type::KeyDown, 32)},
                        {130, Key(Event::Type::KeyUp, 32)}};
  ASSERT_EQ(t.Run(30), 0);
  const std::vector<std::string> keys = {"key 37 1", "key 32 0"};
  EXPECT_EQ(t.world().heard, keys);
}

TEST(InputPathTest, GameSceneAimsAroundItsCannonUntilADialogComesUp) {
  test::TempDir dir;
  Session s;
  s.ctx().shell.scenes[SceneId::Menu].aim_pivot = GameAimPivot;
  s.world().dialog_at = 1000;
  Script script;
  ScriptCommand move;
  move.tick = 5;
  move.kind = ScriptCommand::Kind::Move;
  move.x = 400;
  move.y = 365;  // straight above the cannon
  script.commands.push_back(move);
  s.world().schedule = {
      {100, Key(Event::Type::KeyDown, 37)},  // one tap to the left
      {110, Key(Event::Type::KeyUp, 37)},
      {200, Key(Event::Type::KeyDown, 32)},  // Space shoots
      {210, Key(Event::Type::KeyUp, 32)},
      {300, Key(Event::Type::KeyDown, 40)},  // Down swaps
      {310, Key(Event::Type::KeyUp, 40)},
      {1100, Key(Event::Type::KeyDown, 37)},  // the statistics are up: keys again
      {1110, Key(Event::Type::KeyUp, 37)},
      {1120, Key(Event::Type::KeyDown, 38)},
      {1130, Key(Event::Type::KeyUp, 38)},
  };
  ASSERT_EQ(s.Run(130, &script), 0);
  const std::vector<std::string> expected = {"down 1", "down 2", "key 37 0", "key 38 0"};
  EXPECT_EQ(s.world().heard, expected);
  const auto [x, y] = s.Pointer();
  const double dx = x - 400.0, dy = 565.0 - y;
  EXPECT_NEAR(std::hypot(dx, dy), 200.0, 1.5) << "swung around the cannon's foot";
  EXPECT_NEAR(std::atan2(dx, dy) * 180.0 / 3.14159265358979323846, -kAimTapDegrees, 0.5);
}

TEST(InputPathTest, LosingTheFocusLetsGoOfWhatIsHeld) {
  // Releases that happen while another window has the focus never arrive.
  test::TempDir dir;
  Session s;
  s.world().aiming = true;
  s.world().schedule = {
      {100, Pad(Event::Type::PadAxisMotion, platform::kPadLeftX, 32767)},
      {100, Key(Event::Type::KeyDown, 39)},
      {100, Pad(Event::Type::PadButtonDown, platform::kPadA)},
      {400, Event{Event::Type::Deactivate}},
      {600, Event{Event::Type::Activate}},
  };
  ASSERT_EQ(s.Run(45), 0);  // ends just after the focus went
  const auto at_focus_loss = s.Pointer();
  EXPECT_GT(at_focus_loss.first, 0);
  Session t;  // the same, run on well past the focus's return
  t.world().aiming = true;
  t.world().schedule = s.world().schedule;
  ASSERT_EQ(t.Run(100), 0);
  EXPECT_EQ(t.Pointer(), at_focus_loss) << "neither the stick nor the arrow pushes on";
  EXPECT_EQ(t.ctx().shell.pointer.pressed_button, -1);
  EXPECT_EQ(t.world().heard, std::vector<std::string>{"down 1"});
}

TEST(InputPathTest, RecordedSessionReplaysToTheSameState) {
  test::TempDir dir;
  std::string recorded_dump, recorded_heard;
  int recorded_next_random = 0;
  std::pair<int, int> recorded_pointer;
  {
    Session s;  // no --seed: the clock seeds, and only the recording knows the value
    s.world().aiming = true;
    s.world().schedule = {
        {50, Pad(Event::Type::PadAxisMotion, platform::kPadLeftY, -20000)},
        {400, Pad(Event::Type::PadAxisMotion, platform::kPadLeftY, 0)},
        {450, Pad(Event::Type::PadButtonDown, platform::kPadA)},
        {470, Pad(Event::Type::PadButtonUp, platform::kPadA)},
        {480, Pad(Event::Type::PadButtonUp, platform::kPadB)},  // never went down: no release
        {500, Key(Event::Type::KeyDown, 37, 1)},
        {900, Key(Event::Type::KeyUp, 37)},
        {950, Key(Event::Type::KeyDown, 13)},
        {1000, Pad(Event::Type::PadButtonDown, platform::kPadBack)},
    };
    Script script;
    ScriptCommand deactivate;
    deactivate.tick = 110;
    deactivate.kind = ScriptCommand::Kind::Deactivate;
    script.commands.push_back(deactivate);
    deactivate.tick = 115;
    deactivate.kind = ScriptCommand::Kind::Activate;
    script.commands.push_back(deactivate);
    Expected<std::unique_ptr<Recorder>> opened = Recorder::Open("session.txt");
    ASSERT_TRUE(opened) << opened.error().message;
    std::unique_ptr<Recorder> recorder = std::move(*opened);
    ASSERT_EQ(s.Run(130, &script, recorder.get()), 0);
    EXPECT_FALSE(recorder->Failed());
    recorder.reset();
    recorded_dump = StateDumpJson(s.ctx(), 130);
    recorded_next_random = s.ctx().random.Next(1 << 30);
    recorded_pointer = s.Pointer();
    for (const std::string& h : s.world().heard) recorded_heard += h + ";";
  }
  const std::string recording = test::ReadText("session.txt");
  // Only ordinary input: no controller and no arrow keys, which became pointer events.
  for (const char* line : {" seed ", " move ", " down left", " up left", " key 13\n",
                           " fullscreen\n", " deactivate\n", " activate\n", "130 quit\n"}) {
    EXPECT_NE(recording.find(line), std::string::npos) << line << " in\n" << recording;
  }
  EXPECT_EQ(recording.find(" key 37"), std::string::npos) << recording;
  EXPECT_EQ(recording.find(" right"), std::string::npos) << recording;
  EXPECT_EQ(recording.find(" clock "), std::string::npos) << "headless ticks are 10 ms apart";

  test::WriteText("options.txt", "move_cnt=16\r\n");
  Session replay;
  const auto script = ParseScript(recording, "session.txt");
  ASSERT_TRUE(script) << script.error().message;
  for (const ScriptCommand& c : script->commands) {
    if (c.kind == ScriptCommand::Kind::Seed) replay.ctx().shell.run.seeds.push_back(c.value);
  }
  ASSERT_EQ(replay.ctx().shell.run.seeds.size(), 1u);
  ASSERT_EQ(replay.Run(100000, &*script), 0);
  EXPECT_EQ(StateDumpJson(replay.ctx(), 130), recorded_dump);
  EXPECT_EQ(replay.ctx().random.Next(1 << 30), recorded_next_random);
  EXPECT_EQ(replay.Pointer(), recorded_pointer);
  EXPECT_NE(recorded_pointer, std::make_pair(0, 0));
  std::string heard;
  for (const std::string& h : replay.world().heard) heard += h + ";";
  EXPECT_EQ(heard, recorded_heard);
}

TEST(InputPathTest, ReplayedClockJumpsAndDatesReachTheGame) {
  test::TempDir dir;
  Session s;
  const auto script = ParseScript(
      "0 date 2031-05-06 07:08:09\n"
      "5 clock 5000\n"
      "7 clock 4990\n"  // a clock may even step back: the replay repeats what it saw
      "8 quit\n",
      "r.txt");
  ASSERT_TRUE(script);
  ASSERT_EQ(s.Run(100, &*script), 0);
  EXPECT_EQ(s.clock().TickCount(), 5000u);  // 4990 at tick 7, then tick 8's 10 ms
  const platform::DateTime now = s.clock().Now();
  EXPECT_EQ(now, (platform::DateTime{2031, 5, 6, 7, 8, 9}));
}

}  // namespace
}  // namespace qv
