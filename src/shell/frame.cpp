#include "shell/frame.h"

#include <exception>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/message.h"
#include "context.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/png_writer.h"
#include "platform/render_device.h"
#include "shell/fps_text.h"
#include "shell/main_form.h"
#include "shell/options.h"

namespace qv {
namespace {

// Clears a busy flag however the guarded work ends: a frame step that ends in an error must not
// leave the flag set, or no frame would ever run again.
class BusyFlag {
 public:
  explicit BusyFlag(std::uint8_t& flag) : flag_(flag) { flag_ = 1; }
  ~BusyFlag() { flag_ = 0; }
  BusyFlag(const BusyFlag&) = delete;
  BusyFlag& operator=(const BusyFlag&) = delete;

 private:
  std::uint8_t& flag_;
};

std::uint32_t Ticks(Context& ctx) {
  return ctx.platform.clock ? ctx.platform.clock->TickCount() : 0u;
}

void MovePass(Context& ctx) {
  if (ctx.shell.hooks.sprites.move) ctx.shell.hooks.sprites.move(ctx, 16);
}

bool LoadingRemains(const Context& ctx, const SceneOps& scene) {
  return scene.loading_remains && scene.loading_remains(ctx);
}

void RunLoadingSetup(Context& ctx) {
  ShellState& s = ctx.shell;
  if (s.hooks.startup.loading_setup) {
    // Cleared before it runs: a set-up that fails part-way must not run a second time.
    s.loading_pending = 0;
    s.hooks.startup.loading_setup(ctx);
    return;
  }
  s.app_active = 1;
  s.prev_hover_button = -1;
  SwitchScene(ctx, SceneId::Menu);
  s.loading_pending = 0;
}

// Runs every step owed since run_start: n steps in all once 267 * n >= move_cnt * elapsed.
// One frame step runs at most kMaxCatchUpSteps of them and leaves the rest to the next, so a
// huge move_cnt cannot keep the window, the quit and the scene switch waiting.
void CatchUp(Context& ctx, const SceneOps& scene) {
  ShellState& s = ctx.shell;
  const auto elapsed = static_cast<std::int64_t>(s.frame_clock - s.run_start);
  for (int steps = 0; s.step_budget / elapsed < static_cast<std::int64_t>(s.options.move_cnt);
       ++steps) {
    if (steps == kMaxCatchUpSteps) {
      if (!s.catch_up_limited) {
        s.catch_up_limited = true;
        WriteLog(ctx, "catch_up_limited: move_cnt=" + std::to_string(s.options.move_cnt));
      }
      break;
    }
    const bool call = s.scene_phase == 2 || LoadingRemains(ctx, scene);
    if (s.steps_enabled && call && scene.frame) scene.frame(ctx);
    if (s.steps_enabled && s.scene_phase != 0) MovePass(ctx);
    s.step_budget += kStepCost;
  }
}

void SceneDispatch(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.scene_ready || s.scene == SceneId::None) return;
  const SceneOps& scene = s.scenes[s.scene];
  if (s.scene_phase == 0) {
    if (scene.frame) scene.frame(ctx);
    s.steps_enabled = 0;
    if (!scene.loading_remains) {
      MovePass(ctx);
    } else if (s.scene_phase == 0 && LoadingRemains(ctx, scene)) {
      // The loading screen loads two entries per frame step.
      if (scene.frame) scene.frame(ctx);
      MovePass(ctx);
    }
  } else if (s.scene_phase == 2 && s.frame_clock > s.run_start) {
    CatchUp(ctx, scene);
  }
}

void TakeScreenshot(Context& ctx) {
  const std::string path = std::move(ctx.shell.screenshot_path);
  ctx.shell.screenshot_path.clear();
  if (!platform::StaysInsideWorkingFolder(path)) {
    HarnessMessage("screenshot " + path +
                   ": the path leads out of the game folder; nothing written");
    return;
  }
  platform::RenderDevice* device = ctx.platform.device;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kScreenWidth * kScreenHeight),
                                    0xFF000000u);
  if (device && !device->ReadPixels(pixels.data())) {
    HarnessMessage("screenshot " + path + ": the frame could not be read");
  }
  if (!platform::WritePng(path, pixels.data(), kScreenWidth, kScreenHeight)) {
    HarnessMessage("screenshot " + path + ": cannot write the file");
  }
}

}  // namespace

void ClearPause(Context& ctx) {
  ShellState& s = ctx.shell;
  s.paused = 0;
  s.was_paused = 0;
  s.pause_start = 0;
  s.paused_total = 0;
}

void EnterMenuScene(Context& ctx) {
  ShellState& s = ctx.shell;
  WriteLog(ctx, "StartSceneMenu");
  ClearPause(ctx);
  s.game_clock = s.frame_clock;
  ReadOptions(ctx);
  s.hover_button = -1;
  s.pressed_button = -1;
  s.click_context = ClickContext::MainMenu;
  if (ctx.platform.clock) s.frame_clock = ctx.platform.clock->TickCount();
  s.run_start = s.frame_clock;
  s.scene_ready = 1;
}

void SwitchScene(Context& ctx, SceneId target) {
  ShellState& s = ctx.shell;
  if (const SceneOps& leaving = s.scenes[s.scene]; leaving.leave) leaving.leave(ctx);
  s.scene = target;
  if (const SceneOps& entering = s.scenes[target]; entering.start) entering.start(ctx);
}

void StepFrame(Context& ctx) {
  ShellState& s = ctx.shell;
  // A frame step or render already under way is not entered again.
  if (s.frame_busy || s.render_busy) return;
  BusyFlag busy(s.frame_busy);
  // The first step sets up the loading screen.
  if (s.loading_pending) RunLoadingSetup(ctx);
  if (s.hooks.sound.music_step) s.hooks.sound.music_step(ctx);
  // Apply the pending scene.
  if (s.pending_scene != SceneId::None) {
    SwitchScene(ctx, s.pending_scene);
    s.pending_scene = SceneId::None;
  }
  // The clocks; the game clock stands still while paused.
  s.frame_clock = Ticks(ctx);
  if (!s.paused) {
    if (s.was_paused) s.paused_total += s.frame_clock - s.pause_start;
    s.game_clock = s.frame_clock - s.paused_total;
  }
  s.was_paused = s.paused;
  // Button hover sound.
  if (s.app_active) {
    if (s.prev_hover_button == -1 && s.hover_button != -1 && s.hooks.sound.hover_sound) {
      s.hooks.sound.hover_sound(ctx);
    }
    if (s.hooks.sound.restore_sound_gain) s.hooks.sound.restore_sound_gain(ctx);
    s.prev_hover_button = s.hover_button;
  }
  SceneDispatch(ctx);
  // The frame cap holds only the bookkeeping tail back.
  if (s.options.no_sync == 0 && s.options.wait_vblank == 0 && s.frame_clock < s.next_frame_due) {
    return;
  }
  if (!s.scene_ready) return;
  // Next frame due.
  if (s.options.fps_max > 0)
    s.next_frame_due = s.frame_clock + static_cast<std::uint32_t>(s.options.frame_period);
  // A built scene starts running: its step budget and clocks start now.
  if (s.scene_phase == 1) {
    s.steps_enabled = 1;
    s.scene_phase = 2;
    s.run_start = s.frame_clock;
    s.game_clock = s.run_start;
    ClearPause(ctx);
    s.step_budget = 0;
    s.catch_up_limited = false;
    if (const SceneOps& scene = s.scenes[s.scene]; scene.running) scene.running(ctx);
  }
}

void RenderScene(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.app_active || s.render_busy || s.frame_busy) return;
  BusyFlag busy(s.render_busy);
  if (s.hooks.sprites.collect) s.hooks.sprites.collect(ctx);
  const bool lost = s.hooks.sprites.texture_lost && s.hooks.sprites.texture_lost(ctx);
  platform::RenderDevice* device = ctx.platform.device;
  if (!lost && s.rasterize && device && device->BeginScene()) {
    device->Clear(0xFF000000u);
    // The device works in screen pixels already: the 2D projection is its identity.
    if (s.hooks.sprites.render) s.hooks.sprites.render(ctx, *device);
    device->EndScene();
    s.frame_drawn = true;
  }
  if (s.hooks.sprites.clear_list) s.hooks.sprites.clear_list(ctx);
}

Expected<void> RenderFrameSequence(Context& ctx) {
  ShellState& s = ctx.shell;
  // SDL keeps its surfaces: nothing to restore before stepping.
  s.frame_drawn = false;
  StepFrame(ctx);
  RenderScene(ctx);
  UpdateFpsCounter(ctx);
  if (s.show_stats && s.frame_drawn) DrawFpsText(ctx);
  if (!s.screenshot_path.empty()) TakeScreenshot(ctx);
  // A frame that drew nothing is not presented: the back buffer holds no picture then.
  if (s.frame_drawn && ctx.platform.device && !ctx.platform.device->Present()) {
    return Fail("the frame could not be presented");
  }
  return {};
}

void TimerTick(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.device_ready || !s.window_active || s.quit_requested) return;
  Expected<void> result;
  try {
    result = RenderFrameSequence(ctx);
  } catch (const std::exception& e) {
    // Nothing of ours throws; whatever a library does ends this frame only.
    ReportError(ctx, e.what());
    return;
  }
  ReportLogFailure(ctx);
  if (!result) {
    s.quit_requested = true;
    s.exit_code = 1;
  }
}

}  // namespace qv
