#pragma once
// State of the application shell: frame loop, clocks, scene variables, mouse, options, log,
// random generator.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/random.h"
#include "shell/hooks.h"
#include "shell/options.h"
#include "shell/scene_protocol.h"
#include "shell/scene_table.h"

namespace qv {

// What the run harness asked for (command line); the defaults are a normal interactive run.
struct RunConfig {
  bool headless = false;
  bool render_all = false;
  bool has_seed = false;
  std::uint32_t seed = 0;
  bool autoplay = false;
  // --fullscreen (true) or --windowed (false): the display mode of this run whatever
  // options.txt says; it follows the player's own switching for the rest of the run.
  std::optional<bool> fullscreen;
  // A replay's recorded seeds, used in order by every seeding before --seed or the clock.
  std::vector<std::uint32_t> seeds;
  std::size_t next_seed = 0;
  // Told every seed the generator gets (the recorder writes them down).
  std::function<void(std::uint32_t)> seed_observer;
};

struct ShellState {
  Options options;
  LogState log;
  Random random;
  ShellHooks hooks;
  SceneTable scenes;
  RunConfig run;

  // Scene variables.
  SceneId scene = SceneId::None;
  SceneId pending_scene = SceneId::None;  // None: no switch pending
  std::uint8_t scene_ready = 0;
  int scene_phase = 0;
  std::uint8_t steps_enabled = 0;
  std::uint32_t run_start = 0;
  std::int64_t step_budget = 0;
  bool catch_up_limited = false;  // a frame step of this run hit kMaxCatchUpSteps (logged once)

  // Clocks (milliseconds of the system tick count).
  std::uint32_t frame_clock = 0;
  std::uint32_t game_clock = 0;
  std::uint8_t paused = 0;
  std::uint8_t was_paused = 0;
  std::uint32_t pause_start = 0;
  std::uint32_t paused_total = 0;

  std::uint8_t app_active = 0;
  std::uint8_t frame_busy = 0;
  std::uint8_t render_busy = 0;
  std::uint8_t loading_pending = 1;
  std::uint32_t next_frame_due = 0;
  // The display mode as the game sees it is options.fullscreen (one variable, as the option).
  bool placement_saved = false;

  int mouse_x = 0;
  int mouse_y = 0;
  int hover_button = -1;
  int pressed_button = -1;
  int prev_hover_button = -1;
  // The page or dialog that receives clicks, and the pending command, shared by both scenes.
  ClickContext click_context = ClickContext::Playing;
  PendingCommand command;

  // Base state of the render application.
  bool device_ready = false;
  bool window_active = true;  // not minimised
  bool windowed = true;       // the device configuration's windowed flag
  bool show_stats = false;
  std::uint32_t base_clock = 0;
  bool quit_requested = false;
  int last_device_error = 0;  // DeviceFailure of the last failed device creation
  int exit_code = 0;

  // Rasterise this frame (headless runs draw only frames that are captured, unless render_all).
  bool rasterize = true;
  bool frame_drawn = false;  // the render pass drew this frame
  // A screenshot requested for this frame, written after the render pass.
  std::string screenshot_path;

  // Frames-per-second text.
  std::uint32_t fps_period_start = 0;
  int fps_frames = 0;
  double fps_value = 0.0;
  int fps_texture = -1;
};

}  // namespace qv
