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
#include "platform/window.h"
#include "shell/fps_text.h"
#include "shell/main_form.h"
#include "shell/options_file.h"

namespace qv {
namespace {

// Clears a busy flag however the guarded work ends: a frame step that ends in an error must not
// leave the flag set, or no frame would ever run again.
class BusyFlag {
 public:
  explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyFlag() { flag_ = false; }
  BusyFlag(const BusyFlag&) = delete;
  BusyFlag& operator=(const BusyFlag&) = delete;

 private:
  bool& flag_;
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
    s.flow.loading_pending = false;
    s.hooks.startup.loading_setup(ctx);
    return;
  }
  ctx.clocks.app_active = true;
  s.pointer.prev_hover_button = -1;
  SwitchScene(ctx, SceneId::Menu);
  s.flow.loading_pending = false;
}

// Whether another step is owed `elapsed` ms after run_start.
bool StepOwed(const Context& ctx, std::int64_t elapsed) {
  return ctx.shell.loop.step_budget / elapsed < static_cast<std::int64_t>(ctx.options.move_cnt);
}

// Runs every step owed since run_start: n steps in all once 267 * n >= move_cnt * elapsed.
// One frame step runs at most kMaxCatchUpSteps of them and leaves the rest to the next, so a
// huge move_cnt cannot keep the window, the quit and the scene switch waiting.
void CatchUp(Context& ctx, const SceneOps& scene) {
  ShellState& s = ctx.shell;
  const auto elapsed = static_cast<std::int64_t>(ctx.clocks.frame_clock - s.loop.run_start);
  for (int steps = 0; StepOwed(ctx, elapsed); ++steps) {
    if (steps == kMaxCatchUpSteps) {
      if (!s.loop.catch_up_limited) {
        s.loop.catch_up_limited = true;
        WriteLog(ctx, "catch_up_limited: move_cnt=" + std::to_string(ctx.options.move_cnt));
      }
      break;
    }
    const bool call = s.flow.scene_phase == 2 || LoadingRemains(ctx, scene);
    if (s.flow.steps_enabled && call && scene.frame) scene.frame(ctx);
    if (s.flow.steps_enabled && s.flow.scene_phase != 0) MovePass(ctx);
    s.loop.step_budget += kStepCost;
  }
}

void SceneDispatch(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.flow.scene_ready || s.flow.scene == SceneId::None) return;
  const SceneOps& scene = s.scenes[s.flow.scene];
  if (s.flow.scene_phase == 0) {
    if (scene.frame) scene.frame(ctx);
    s.flow.steps_enabled = false;
    if (!scene.loading_remains) {
      MovePass(ctx);
    } else if (s.flow.scene_phase == 0 && LoadingRemains(ctx, scene)) {
      // The loading screen loads two entries per frame step.
      if (scene.frame) scene.frame(ctx);
      MovePass(ctx);
    }
  } else if (s.flow.scene_phase == 2 && ctx.clocks.frame_clock > s.loop.run_start) {
    CatchUp(ctx, scene);
  }
}

void TakeScreenshot(Context& ctx) {
  const std::string path = std::move(ctx.shell.loop.screenshot_path);
  ctx.shell.loop.screenshot_path.clear();
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

void EnterMenuScene(Context& ctx) {
  ShellState& s = ctx.shell;
  WriteLog(ctx, "StartSceneMenu");
  ctx.clocks.ClearPause();
  ctx.clocks.game_clock = ctx.clocks.frame_clock;
  ReadOptions(ctx);
  s.pointer.hover_button = -1;
  s.pointer.pressed_button = -1;
  s.flow.click_context = ClickContext::MainMenu;
  if (ctx.platform.clock) ctx.clocks.frame_clock = ctx.platform.clock->TickCount();
  s.loop.run_start = ctx.clocks.frame_clock;
  s.flow.scene_ready = true;
}

void SwitchScene(Context& ctx, SceneId target) {
  ShellState& s = ctx.shell;
  if (const SceneOps& leaving = s.scenes[s.flow.scene]; leaving.leave) leaving.leave(ctx);
  s.flow.scene = target;
  if (const SceneOps& entering = s.scenes[target]; entering.start) entering.start(ctx);
}

SceneId SceneFrameDue(const Context& ctx) {
  const ShellState& s = ctx.shell;
  if (!s.device.device_ready || !s.device.window_active || s.loop.quit_requested) {
    return SceneId::None;
  }
  if (s.loop.frame_busy || s.loop.render_busy || s.flow.loading_pending) return SceneId::None;
  // A scene that starts on this tick runs its first frame (its phase 0) at once.
  if (s.flow.pending_scene != SceneId::None) return s.flow.pending_scene;
  if (!s.flow.scene_ready || s.flow.scene == SceneId::None) return SceneId::None;
  if (s.flow.scene_phase == 0) return s.flow.scene;
  const std::uint32_t now = ctx.platform.clock ? ctx.platform.clock->TickCount() : 0u;
  if (s.flow.scene_phase != 2 || now <= s.loop.run_start || !s.flow.steps_enabled) {
    return SceneId::None;
  }
  return StepOwed(ctx, static_cast<std::int64_t>(now - s.loop.run_start)) ? s.flow.scene
                                                                          : SceneId::None;
}

void StepFrame(Context& ctx) {
  ShellState& s = ctx.shell;
  // A frame step or render already under way is not entered again.
  if (s.loop.frame_busy || s.loop.render_busy) return;
  BusyFlag busy(s.loop.frame_busy);
  // The first step sets up the loading screen.
  if (s.flow.loading_pending) RunLoadingSetup(ctx);
  if (s.hooks.sound.music_step) s.hooks.sound.music_step(ctx);
  // Apply the pending scene.
  if (s.flow.pending_scene != SceneId::None) {
    SwitchScene(ctx, s.flow.pending_scene);
    s.flow.pending_scene = SceneId::None;
  }
  // The clocks; the game clock stands still while paused.
  ctx.clocks.frame_clock = Ticks(ctx);
  if (!ctx.clocks.paused) {
    if (ctx.clocks.was_paused)
      ctx.clocks.paused_total += ctx.clocks.frame_clock - ctx.clocks.pause_start;
    ctx.clocks.game_clock = ctx.clocks.frame_clock - ctx.clocks.paused_total;
  }
  ctx.clocks.was_paused = ctx.clocks.paused;
  // Button hover sound.
  if (ctx.clocks.app_active) {
    if (s.pointer.prev_hover_button == -1 && s.pointer.hover_button != -1 &&
        s.hooks.sound.hover_sound) {
      s.hooks.sound.hover_sound(ctx);
    }
    if (s.hooks.sound.restore_sound_gain) s.hooks.sound.restore_sound_gain(ctx);
    s.pointer.prev_hover_button = s.pointer.hover_button;
  }
  SceneDispatch(ctx);
  // The frame cap holds only the bookkeeping tail back.
  if (ctx.options.no_sync == 0 && ctx.options.wait_vblank == 0 &&
      ctx.clocks.frame_clock < s.loop.next_frame_due) {
    return;
  }
  if (!s.flow.scene_ready) return;
  // Next frame due.
  if (ctx.options.fps_max > 0)
    s.loop.next_frame_due =
        ctx.clocks.frame_clock + static_cast<std::uint32_t>(ctx.options.frame_period);
  // A built scene starts running: its step budget and clocks start now.
  if (s.flow.scene_phase == 1) {
    s.flow.steps_enabled = true;
    s.flow.scene_phase = 2;
    s.loop.run_start = ctx.clocks.frame_clock;
    ctx.clocks.game_clock = s.loop.run_start;
    ctx.clocks.ClearPause();
    s.loop.step_budget = 0;
    s.loop.catch_up_limited = false;
    if (const SceneOps& scene = s.scenes[s.flow.scene]; scene.running) scene.running(ctx);
  }
}

namespace {

// Whether the display shows a new frame by now. Ticks come every 10 ms, so at 60 Hz frames are
// drawn on six ticks of ten; a window that fell behind starts counting again.
bool DisplayFrameDue(Context& ctx) {
  const int rate = ctx.platform.window ? ctx.platform.window->DisplayRate() : 0;
  if (rate <= 0) return true;
  const double period = 1000.0 / rate, now = ctx.clocks.frame_clock;
  double& due = ctx.shell.device.display_due;
  if (now < due && due - now <= period) return false;
  // Behind by a whole frame, or a clock that went back: count from now.
  due = now >= due && now - due < period ? due + period : now + period;
  return true;
}

}  // namespace

void RenderScene(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!ctx.clocks.app_active || s.loop.render_busy || s.loop.frame_busy) return;
  BusyFlag busy(s.loop.render_busy);
  const bool lost = s.hooks.sprites.texture_lost && s.hooks.sprites.texture_lost(ctx);
  platform::RenderDevice* device = ctx.platform.device;
  // A window showing this very picture keeps it: a still page costs the draw pass only. Runs
  // that measure or capture frames draw every one they ask for.
  const bool can_draw = !lost && s.loop.rasterize && device;
  const bool may_keep = can_draw && !s.run.headless && !s.run.render_all &&
                        s.loop.screenshot_path.empty() && !s.device.show_stats &&
                        s.hooks.sprites.picture;
  // A frame the display would not show is not even collected.
  if (may_keep && !DisplayFrameDue(ctx)) return;
  if (s.hooks.sprites.collect) s.hooks.sprites.collect(ctx);
  const std::uint64_t picture = may_keep ? s.hooks.sprites.picture(ctx) : 0;
  const bool unchanged = may_keep && s.device.picture_shown && picture == s.device.shown_picture;
  if (can_draw && !unchanged && device->BeginScene()) {
    device->Clear(0xFF000000u);
    // The device works in screen pixels already: the 2D projection is its identity.
    if (s.hooks.sprites.render) s.hooks.sprites.render(ctx, *device);
    device->EndScene();
    s.loop.frame_drawn = true;
    s.device.picture_shown = may_keep;
    s.device.shown_picture = picture;
  }
  if (s.hooks.sprites.clear_list) s.hooks.sprites.clear_list(ctx);
}

Expected<void> RenderFrameSequence(Context& ctx) {
  ShellState& s = ctx.shell;
  // SDL keeps its surfaces: nothing to restore before stepping.
  s.loop.frame_drawn = false;
  StepFrame(ctx);
  RenderScene(ctx);
  UpdateFpsCounter(ctx);
  if (s.device.show_stats && s.loop.frame_drawn) DrawFpsText(ctx);
  if (!s.loop.screenshot_path.empty()) TakeScreenshot(ctx);
  // A frame that drew nothing is not presented: the back buffer holds no picture then.
  if (s.loop.frame_drawn && ctx.platform.device && !ctx.platform.device->Present()) {
    return Fail("the frame could not be presented");
  }
  return {};
}

void TimerTick(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.device.device_ready || !s.device.window_active || s.loop.quit_requested) return;
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
    s.loop.quit_requested = true;
    s.loop.exit_code = 1;
  }
}

}  // namespace qv
