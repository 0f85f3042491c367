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
#include "shell/options.h"

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
  return s.mouse_x >= 0 && s.mouse_x <= kScreenWidth && s.mouse_y >= 0 &&
         s.mouse_y <= kScreenHeight;
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
    return Fail(DeviceErrorText(static_cast<DeviceFailure>(ctx.shell.last_device_error), true));
  };
  platform::Window* window = ctx.platform.window;
  if (!window) return failed();
  bool fell_back = false;
  const platform::DeviceError error = window->CreateDevice(ctx.shell.windowed, fell_back);
  if (fell_back) {
    ShowInfoBox(ctx, "Information",
                "Could not create the Direct3DDevice object.\r\nThe 3D hardware chipset may not "
                "support rendering in the current display mode.\r\nSwitching to software "
                "rasterizer.");
  }
  if (error != platform::DeviceError::None) {
    ctx.shell.last_device_error = static_cast<int>(FromPlatform(error));
    return failed();
  }
  ctx.platform.device = window->device();
  ctx.shell.base_clock = Ticks(ctx);
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
    ctx.shell.quit_requested = true;
    ctx.shell.exit_code = 1;
  }
}

void FullScreenChange(Context& ctx) {
  ShellState& s = ctx.shell;
  if (!s.device_ready || !s.window_active) return;
  platform::Window* window = ctx.platform.window;
  s.device_ready = false;
  s.options.fullscreen = !s.options.fullscreen;
  if (s.options.fullscreen) {
    if (window) window->SavePlacement();
    s.placement_saved = true;
  } else if (s.placement_saved) {
    if (window) window->RestorePlacement();
    s.placement_saved = false;
  }
  s.windowed = !s.options.fullscreen;
  if (s.run.fullscreen) s.run.fullscreen = s.options.fullscreen;
  ChangeDisplay(ctx);
  s.device_ready = ctx.platform.device != nullptr;
  // The desktop repaints itself after the mode change; only the window is placed.
  if (!s.options.fullscreen && window) window->CenterOnDesktop();
}

void DeviceReset(Context& ctx) {
  ReleaseDeviceObjects(ctx);
  InitDeviceObjects(ctx);
}

void AppActivate(Context& ctx) {
  platform::Window* window = ctx.platform.window;
  if (!ctx.shell.windowed) {
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
  if (!s.windowed) {
    if (ctx.platform.window) ctx.platform.window->Restore();
    ChangeDisplay(ctx);
  }
  ShowCursorSprite(ctx, true);
  SetPointerVisible(ctx, false);
  if (s.scenes[s.scene].pauses_when_inactive && s.scene_ready && s.paused) s.paused = 0;
  if (s.hooks.sound.resume_on_restore) s.hooks.sound.resume_on_restore(ctx);
  s.app_active = 1;
}

void AppDeactivate(Context& ctx) {
  ShellState& s = ctx.shell;
  WriteLog(ctx, "appdeactivate...");
  s.app_active = 0;
  if (s.scenes[s.scene].pauses_when_inactive && s.scene_ready && !s.paused) {
    s.paused = 1;
    s.pause_start = s.frame_clock;
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
  if (!s.app_active) return;
  SetPointerVisible(ctx, false);
  if (!InsideScreen(s)) return;
  if (s.hover_button != -1) {
    s.pressed_button = s.hover_button;
    if (s.hooks.sound.press_sound) s.hooks.sound.press_sound(ctx);
  }
  // Scenes number the buttons as the rules do (1 left, 2 right, 0 any other), not as the
  // window does.
  const int scene_button = button == platform::kMouseLeft    ? 1
                           : button == platform::kMouseRight ? 2
                                                             : 0;
  const SceneOps& scene = s.scenes[s.scene];
  if (scene.mouse_down) scene.mouse_down(ctx, scene_button);
}

void FormMouseMove(Context& ctx) {
  if (ctx.shell.app_active) SetPointerVisible(ctx, false);
}

void FormMouseUp(Context& ctx, int /*button*/) {
  ShellState& s = ctx.shell;
  if (!s.app_active) return;
  SetPointerVisible(ctx, false);
  if (s.pressed_button != -1 && s.pressed_button == s.hover_button && InsideScreen(s)) {
    const SceneOps& scene = s.scenes[s.scene];
    if (scene.click) scene.click(ctx);
    if (scene.button_up) scene.button_up(ctx);
  }
  s.pressed_button = -1;
}

void FormKeyDown(Context& ctx, int key, int shift) {
  const SceneOps& scene = ctx.shell.scenes[ctx.shell.scene];
  if (scene.key_down) scene.key_down(ctx, key, shift);
}

void UpdateMouse(Context& ctx, bool clip) {
  ShellState& s = ctx.shell;
  int x = 0, y = 0;
  if (ctx.platform.window) ctx.platform.window->GetPointer(x, y);
  if (clip && (x < 0 || x >= kScreenWidth || y < 0 || y >= kScreenHeight)) x = -1000;
  s.mouse_x = x;
  s.mouse_y = y;
  if (s.hooks.cursor.move) s.hooks.cursor.move(ctx, s.mouse_x, s.mouse_y);
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
  s.frame_clock = Ticks(ctx);
  SeedRandom(ctx);
  attempt([&] { ReadOptions(ctx); });
  s.show_stats = s.options.fps_show != 0;
  s.windowed = true;
  Expected<void> created;
  attempt([&] { created = CreateDevice(ctx); });
  if (!created) {
    ReportError(ctx, created.error().message);
    return false;
  }
  s.device_ready = true;
  s.window_active = true;
  // Display mode: FullScreenChange inverts it back and applies the mode the options ask for.
  s.options.fullscreen = !s.options.fullscreen;
  attempt([&] { WriteLog(ctx, "FullScreenChange"); });
  attempt([&] { FullScreenChange(ctx); });
  if (s.quit_requested) return false;
  // The game's counters start afresh.
  s.options.beg_level = 0;
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
  s.random.Seed(seed);
  if (run.seed_observer) run.seed_observer(seed);
}

void ToggleFullscreenForRun(Context& ctx) {
  ShellState& s = ctx.shell;
  // The switch holds for this run: later re-readings of options.txt keep it.
  s.run.fullscreen = s.options.fullscreen;
  FullScreenChange(ctx);
}

void CloseMainWindow(Context& ctx) {
  ShellState& s = ctx.shell;
  s.quit_requested = true;
  s.device_ready = false;
  ReleaseDeviceObjects(ctx);
  if (ctx.platform.window) ctx.platform.window->DestroyDevice();
  ctx.platform.device = nullptr;
  // ShutdownScene: success.
}

}  // namespace qv
