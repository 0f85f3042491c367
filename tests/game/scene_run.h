#pragma once
// The whole program in one process on the generated content pack, headless: start-up, the
// loading screen, then the game scene entered as the menu would enter it. Input goes through
// the window event handlers, one timer tick at a time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/subsystem_hooks.h"
#include "context.h"
#include "game/game_state.h"
#include "harness/game_folder.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_audio.h"
#include "platform/virtual_key.h"
#include "platform/window.h"
#include "shell/events.h"
#include "shell/frame.h"
#include "shell/hooks.h"
#include "shell/main_form.h"

namespace qv::test {

using platform::VirtualKey;

class SceneRun {
 public:
  SceneRun() : audio_([this] { return clock_.TickCount(); }) {
    old_ = std::filesystem::current_path();
    char tmpl[] = "/tmp/qv_scene_XXXXXX";
    dir_ = mkdtemp(tmpl);
    const Expected<void> laid = LayPack(std::string(QUORVEX_BINARY_DIR) + "/pack", dir_.string());
    ok_ = laid.has_value();
    EXPECT_TRUE(ok_) << (laid ? std::string() : Describe(laid.error()));
    std::filesystem::current_path(dir_);
    ctx = std::make_unique<Context>();
    InstallSubsystemHooks(*ctx);
    ctx->shell.run.headless = true;
    ctx->shell.run.has_seed = true;
    ctx->shell.run.seed = 11;
    ctx->platform.audio = &audio_;
    ctx->platform.clock = &clock_;
    ctx->platform.window = &window_;
    ctx->platform.messages = &boxes_;
    ok_ = ok_ && FormCreate(*ctx);
    EXPECT_TRUE(ok_);
  }
  ~SceneRun() {
    if (ok_) CloseMainWindow(*ctx);
    ctx.reset();
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  SceneRun(const SceneRun&) = delete;
  SceneRun& operator=(const SceneRun&) = delete;

  bool ok() const { return ok_; }

  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      clock_.Advance(10);
      ctx->shell.loop.rasterize = !ctx->shell.loop.screenshot_path.empty();
      TimerTick(*ctx);
      ctx->shell.loop.screenshot_path.clear();
      ++ticks_;
    }
  }
  // Ticks until pred holds or limit ticks have passed; true when it held.
  template <class Pred>
  bool TickUntil(Pred pred, int limit) {
    for (int i = 0; i < limit; ++i) {
      if (pred()) return true;
      Tick();
    }
    return pred();
  }

  // Loading finished, then the game scene of `type` from the given saved progress.
  void StartGame(GameType type, int saved_level = 1, int saved_score = 0) {
    EXPECT_TRUE(TickUntil(
        [&] { return ctx->shell.flow.scene == SceneId::Menu && ctx->loading.loading_done; }, 3000));
    GameState& g = ctx->game;
    g.session.game_type = type;
    g.run.players.local[TypeIndex(type)] = {saved_level, saved_score, 1, 0};
    ctx->shell.flow.pending_scene = SceneId::Game;
    Tick();
  }
  // Until the cannon is built and the walls stand still: the game takes clicks.
  bool UntilPlaying(int limit = 400) {
    return TickUntil(
        [&] {
          const GameState& g = ctx->game;
          return g.play.end_phase == EndPhase::Playing && g.play.hud.cannon_step >= 31 &&
                 !g.play.lv.start_flag && !g.play.walls.moving && g.play.hud.board_step >= 23;
        },
        limit);
  }

  void Move(int x, int y) {
    window_.SetPointer(x, y);
    Send(platform::WindowEvent::Type::MouseMove);
  }
  void Down(int button = platform::kMouseLeft) {
    Send(platform::WindowEvent::Type::MouseDown, button);
  }
  void Up(int button = platform::kMouseLeft) { Send(platform::WindowEvent::Type::MouseUp, button); }
  // As a person clicks: the pointer rests on the spot for a few frames (so the scene sees what
  // is under it), then the button goes down and, a tick later, up.
  void Click(int x, int y, int button = platform::kMouseLeft) {
    Move(x, y);
    Tick(4);
    Down(button);
    Tick();
    Up(button);
    Tick();
  }
  void Key(int code) { Send(platform::WindowEvent::Type::KeyDown, 0, code); }
  // The window is closed, as by its close button.
  void Close() { Send(platform::WindowEvent::Type::Close); }
  void Screenshot(const std::string& path) { ctx->shell.loop.screenshot_path = path; }

  std::unique_ptr<Context> ctx;

 private:
  void Send(platform::WindowEvent::Type type, int button = 0, int key = 0) {
    platform::WindowEvent e;
    e.type = type;
    e.button = button;
    e.key = key;
    DispatchWindowEvent(*ctx, e);
  }

  platform::VirtualClock clock_;
  platform::HeadlessWindow window_;
  platform::StderrMessageBoxes boxes_;
  platform::RecordingAudioDevice audio_;
  std::filesystem::path old_, dir_;
  bool ok_ = false;
  int ticks_ = 0;
};

}  // namespace qv::test
