#include "shell/main_form.h"

#include <ctime>

#include "base/expected.h"
#include "base/log.h"
#include "base/message.h"
#include "context.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/window.h"
#include "shell/fps_text.h"
#include "shell/frame.h"
#include "shell/options_file.h"

namespace qv {
namespace {

constexpr const char* kMustExit = "\r\nThis game will now exit.";

std::uint32_t Ticks(Context& ctx) {
  return ctx.platform.clock ? ctx.platform.clock->TickCount() : 0u;
}

DeviceFailure FromPlatform(platform::DeviceError e) {
  switch (e) {
    case platform::DeviceError::OutOfMemory:
      return DeviceFailure::OutOfMemory;
    case platform::DeviceError::NoDisplaySystem:
      return DeviceFailure::NoDisplaySystem;
    case platform::DeviceError::NoCompatibleDevice:
      return DeviceFailure::NoCompatibleDevice;
    case platform::DeviceError::DeviceCreation:
      return DeviceFailure::DeviceCreation;
    case platform::DeviceError::BadDisplayMode:
      return DeviceFailure::BadDisplayMode;
    default:
      return DeviceFailure::Generic;
  }
}

void SetPointerVisible(Context& ctx, bool visible) {
  if (ctx.platform.window) ctx.platform.window->SetSystemPointerVisible(visible);
}

void ShowCursorSprite(Context& ctx, bool visible) {
  if (ctx.shell.hooks.cursor.show) ctx.shell.hooks.cursor.show(ctx, visible);
}

bool InsideScreen(const ShellState& s) {
  return s.pointer.mouse_x >= 0 && s.pointer.mouse_x <= kScreenWidth && s.pointer.mouse_y >= 0 &&
         s.pointer.mouse_y <= kScreenHeight;
}

}  // namespace

std::string DeviceErrorText(DeviceFailure failure, bool must_exit) {
  std::string text;
  switch (failure) {
    case DeviceFailure::OutOfMemory:
      text = "Not enough memory!";
      break;
    case DeviceFailure::NoDisplaySystem:
      text = "Could not create DirectDraw!";
      break;
    case DeviceFailure::NoCompatibleDevice:
      text = "Could not find any compatible Direct3D devices.";
      break;
    case DeviceFailure::DeviceCreation:
      text = "Could not create the Direct3DDevice object.";
      break;
    case DeviceFailure::BadDisplayMode:
      text = "Bad display mode";
      break;
    case DeviceFailure::Generic:
      text = "Generic application error.\r\nEnable debug output for detailed information.";
      break;
  }
  if (must_exit) text += kMustExit;
  return text;
}

void InitDeviceObjects(Context& ctx) {
  WriteLog(ctx, "InitDeviceObjects");
  ctx.shell.device.picture_shown = false;
  // The fixed state (no culling, no depth test, alpha blending on) is the SDL renderer's own.
  if (ctx.shell.hooks.sprites.restore_textures) ctx.shell.hooks.sprites.restore_textures(ctx);
  CreateFpsFont(ctx);
}

void ReleaseDeviceObjects(Context& ctx) {
  if (ctx.shell.hooks.sprites.release_textures) ctx.shell.hooks.sprites.release_textures(ctx);
  ReleaseFpsFont(ctx);
}

Expected<void> CreateDevice(Context& ctx) {
  const auto failed = [&ctx] {
    return Fail(DeviceErrorText(static_cast<DeviceFailure>(ctx.shell.device.last_device_error), true));
  };
  platform::Window* window = ctx.platform.window;
  if (!window) return failed();
  bool fell_back = false;
  const platform::DeviceError error = window->CreateDevice(ctx.shell.device.windowed, fell_back);
  if (fell_back) {
    ShowInfoBox(ctx, "Information",
                "Could not create the Direct3DDevice object.\r\nThe 3D hardware chipset may not "
                "support rendering in the current display mode.\r\nSwitching to software "
                "rasterizer.");
  }
  if (error != platform::DeviceError::None) {
    ctx.shell.device.last_device_error = static_cast<int>(FromPlatform(error));
    return failed();
  }
  ctx.platform.device = window->Device();
  ctx.shell.loop.base_clock = Ticks(ctx);
  InitDeviceObjects(ctx);
  return {};
}

void ChangeDisplay(Context& ctx) {
  ReleaseDeviceObjects(ctx);
  if (ctx.platform.window) ctx.platform.window->DestroyDevice();
  ctx.platform.device = nullptr;
  // The SDL window changes its own style between windowed and desktop fullscreen.
  if (const Expected<void> created = CreateDevice(ctx); !created) {
    ReportError(ctx, created.error().message);
    ctx.shell.loop.quit_requested = true;
    ctx.shell.loop.exit_code = 1;
  }
}

void FullScreenChange(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.device.device_ready || !s.device.window_active) return;
  platform::Window* window = ctx.platform.window;
  s.device.device_ready = false;
  ctx.options.fullscreen = !ctx.options.fullscreen;
  if (ctx.options.fullscreen) {
    if (window) window->SavePlacement();
    s.device.placement_saved = true;
  } else if (s.device.placement_saved) {
    if (window) window->RestorePlacement();
    s.device.placement_saved = false;
  }
  s.device.windowed = !ctx.options.fullscreen;
  if (s.run.fullscreen) s.run.fullscreen = ctx.options.fullscreen;
  ChangeDisplay(ctx);
  s.device.device_ready = ctx.platform.device != nullptr;
  // The desktop repaints itself after the mode change; only the window is placed.
  if (!ctx.options.fullscreen && window) window->CenterOnDesktop();
}

void DeviceReset(Context& ctx) {
  ReleaseDeviceObjects(ctx);
  InitDeviceObjects(ctx);
}

void AppActivate(Context& ctx) {
  platform::Window* window = ctx.platform.window;
  if (!ctx.shell.device.windowed) {
    if (window) window->Restore();
    ChangeDisplay(ctx);
  }
  WriteLog(ctx, "appactivate...");
  if (window && window->IsActiveWindow()) {
    WriteLog(ctx, "active...");
    AppRestore(ctx);
  } else {
    ChangeDisplay(ctx);
    WriteLog(ctx, "not active...");
  }
}

void AppRestore(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.device.windowed) {
    if (ctx.platform.window) ctx.platform.window->Restore();
    ChangeDisplay(ctx);
  }
  ShowCursorSprite(ctx, true);
  SetPointerVisible(ctx, false);
  if (s.scenes[s.flow.scene].pauses_when_inactive && s.flow.scene_ready && ctx.clocks.paused)
    ctx.clocks.paused = false;
  if (s.hooks.sound.resume_on_restore) s.hooks.sound.resume_on_restore(ctx);
  ctx.clocks.app_active = true;
}

void AppDeactivate(Context& ctx) {
  ShellState& s = ctx.shell;
  WriteLog(ctx, "appdeactivate...");
  ctx.clocks.app_active = false;
  if (s.scenes[s.flow.scene].pauses_when_inactive && s.flow.scene_ready && !ctx.clocks.paused) {
    ctx.clocks.paused = true;
    ctx.clocks.pause_start = ctx.clocks.frame_clock;
  }
  ShowCursorSprite(ctx, false);
  SetPointerVisible(ctx, true);
  if (s.hooks.sound.mute_on_deactivate) s.hooks.sound.mute_on_deactivate(ctx);
}

void AppMinimize(Context& ctx) {
  AppDeactivate(ctx);
}

void FormMouseDown(Context& ctx, int button) {
  ShellState& s = ctx.shell;
  if (!ctx.clocks.app_active) return;
  SetPointerVisible(ctx, false);
  if (!InsideScreen(s)) return;
  if (s.pointer.hover_button != -1) {
    s.pointer.pressed_button = s.pointer.hover_button;
    if (s.hooks.sound.press_sound) s.hooks.sound.press_sound(ctx);
  }
  // Scenes number the buttons as the rules do (1 left, 2 right, 0 any other), not as the
  // window does.
  const int scene_button = button == platform::kMouseLeft    ? 1
                           : button == platform::kMouseRight ? 2
                                                             : 0;
  const SceneOps& scene = s.scenes[s.flow.scene];
  if (scene.mouse_down) scene.mouse_down(ctx, scene_button);
}

void FormMouseMove(Context& ctx) {
  if (ctx.clocks.app_active) SetPointerVisible(ctx, false);
}

void FormMouseUp(Context& ctx, int /*button*/) {
  ShellState& s = ctx.shell;
  if (!ctx.clocks.app_active) return;
  SetPointerVisible(ctx, false);
  if (s.pointer.pressed_button != -1 && s.pointer.pressed_button == s.pointer.hover_button &&
      InsideScreen(s)) {
    const SceneOps& scene = s.scenes[s.flow.scene];
    if (scene.click) scene.click(ctx);
    if (scene.button_up) scene.button_up(ctx);
  }
  s.pointer.pressed_button = -1;
}

void FormKeyDown(Context& ctx, int key, int shift) {
  const SceneOps& scene = ctx.shell.scenes[ctx.shell.flow.scene];
  if (scene.key_down) scene.key_down(ctx, key, shift);
}

void UpdateMouse(Context& ctx, bool clip) {
  ShellState& s = ctx.shell;
  int x = 0, y = 0;
  if (ctx.platform.window) ctx.platform.window->GetPointer(x, y);
  if (clip && (x < 0 || x >= kScreenWidth || y < 0 || y >= kScreenHeight)) x = -1000;
  s.pointer.mouse_x = x;
  s.pointer.mouse_y = y;
  if (s.hooks.cursor.move) s.hooks.cursor.move(ctx, s.pointer.mouse_x, s.pointer.mouse_y);
}

bool FormCreate(Context& ctx) {
  if (ctx.platform.window) ctx.platform.window->SetCaption("Quorvex");
  if (const auto read = ctx.shell.hooks.startup.read_tables) {
    if (const Expected<void> tables = read(ctx); !tables) {
      ReportError(ctx, Describe(tables.error()) + kMustExit);
      return false;
    }
  }
  return StartProgram(ctx);
}

bool StartProgram(Context& ctx) {
  ShellState& s = ctx.shell;
  // Each step is one operation: a log it could not write is reported once it is done.
  const auto attempt = [&ctx](auto&& step) {
    step();
    ReportLogFailure(ctx);
  };
  // The platform makes the window black and 800 x 600. Number text is C-locale throughout; the
  // sprite caches start empty with the context.
  ctx.clocks.frame_clock = Ticks(ctx);
  SeedRandom(ctx);
  attempt([&] { ReadOptions(ctx); });
  s.device.show_stats = ctx.options.fps_show != 0;
  s.device.windowed = true;
  Expected<void> created;
  attempt([&] { created = CreateDevice(ctx); });
  if (!created) {
    ReportError(ctx, created.error().message);
    return false;
  }
  s.device.device_ready = true;
  s.device.window_active = true;
  // Display mode: FullScreenChange inverts it back and applies the mode the options ask for.
  ctx.options.fullscreen = !ctx.options.fullscreen;
  attempt([&] { WriteLog(ctx, "FullScreenChange"); });
  attempt([&] { FullScreenChange(ctx); });
  if (s.loop.quit_requested) return false;
  // The game's counters start afresh.
  ctx.options.beg_level = 0;
  if (s.hooks.startup.reset_game_values) s.hooks.startup.reset_game_values(ctx);
  // The event dispatch calls the activation handlers.
  return true;
}

void SeedRandom(Context& ctx) {
  ShellState& s = ctx.shell;
  RunConfig& run = s.run;
  std::uint32_t seed = 0;
  if (run.next_seed < run.seeds.size())
    seed = run.seeds[run.next_seed++];
  else
    seed = run.has_seed ? run.seed : static_cast<std::uint32_t>(std::time(nullptr)) ^ Ticks(ctx);
  ctx.random.Seed(seed);
  if (run.seed_observer) run.seed_observer(seed);
}

void ToggleFullscreenForRun(Context& ctx) {
  ShellState& s = ctx.shell;
  // The switch holds for this run: later re-readings of options.txt keep it.
  s.run.fullscreen = ctx.options.fullscreen;
  FullScreenChange(ctx);
}

void CloseMainWindow(Context& ctx) {
  ShellState& s = ctx.shell;
  s.loop.quit_requested = true;
  s.device.device_ready = false;
  ReleaseDeviceObjects(ctx);
  if (ctx.platform.window) ctx.platform.window->DestroyDevice();
  ctx.platform.device = nullptr;
  // ShutdownScene: success.
}

}  // namespace qv
