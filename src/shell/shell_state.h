#pragma once
// State of the application shell, by concern: the run's configuration, the scene switch, the
// pointer, the frame loop and the device. Options, random generator and clocks are run-wide and
// live in the base world (base/world.h), where the lower layers can reach them.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "shell/hooks.h"
#include "shell/scene_protocol.h"
#include "shell/scene_table.h"

namespace qv {

// How well the built-in player plays (--autoplay-skill); its models are in
// src/game/player_models.h.
enum class AutoplaySkill { Perfect, Expert, Average, Casual };

// What the run harness asked for (command line); the defaults are a normal interactive run.
struct RunConfig {
  bool headless = false;
  bool render_all = false;
  bool has_seed = false;
  std::uint32_t seed = 0;
  bool autoplay = false;
  AutoplaySkill autoplay_skill = AutoplaySkill::Perfect;
  // --fullscreen (true) or --windowed (false): the display mode of this run whatever
  // options.txt says; it follows the player's own switching for the rest of the run.
  std::optional<bool> fullscreen;
  // A replay's recorded seeds, used in order by every seeding before --seed or the clock.
  std::vector<std::uint32_t> seeds;
  std::size_t next_seed = 0;
  // Told every seed the generator gets (the recorder writes them down).
  std::function<void(std::uint32_t)> seed_observer;
};

// Which scene runs and what passes between the scenes.
struct SceneFlow {
  SceneId scene = SceneId::None;
  SceneId pending_scene = SceneId::None;  // None: no switch pending
  bool scene_ready = false;
  int scene_phase = 0;
  bool steps_enabled = false;
  bool loading_pending = true;
  // The page or dialog that receives clicks, and the pending command, shared by both scenes.
  ClickContext click_context = ClickContext::Playing;
  PendingCommand command;
};

// The pointer in game-screen pixels and the button under it.
struct PointerState {
  int mouse_x = 0;
  int mouse_y = 0;
  int hover_button = -1;
  int pressed_button = -1;
  int prev_hover_button = -1;

  Point At() const { return {mouse_x, mouse_y}; }
  // The one hit test of pages and dialogs against their named rectangles, edges included.
  bool Over(const Rect& r) const { return r.Contains(mouse_x, mouse_y); }
};

// The frame loop: step budget, frame pacing, what this frame draws, the quit request.
struct FrameLoop {
  std::uint32_t run_start = 0;
  std::int64_t step_budget = 0;
  bool catch_up_limited = false;  // a frame step of this run hit kMaxCatchUpSteps (logged once)
  bool frame_busy = false;
  bool render_busy = false;
  std::uint32_t next_frame_due = 0;
  std::uint32_t base_clock = 0;
  // Rasterise this frame (headless runs draw only frames that are captured, unless render_all).
  bool rasterize = true;
  bool frame_drawn = false;  // the render pass drew this frame
  // A screenshot requested for this frame, written after the render pass.
  std::string screenshot_path;
  bool quit_requested = false;
  int exit_code = 0;

  // Frames-per-second text.
  std::uint32_t fps_period_start = 0;
  int fps_frames = 0;
  double fps_value = 0.0;
  int fps_texture = -1;
};

// The render device and the window as the shell sees them.
struct DeviceState {
  bool device_ready = false;
  bool window_active = true;  // not minimised
  bool windowed = true;       // the device configuration's windowed flag
  bool show_stats = false;
  int last_device_error = 0;  // DeviceFailure of the last failed device creation
  // The display mode as the game sees it is options.fullscreen (one variable, as the option).
  bool placement_saved = false;
  // The picture the window shows, by DrawListPicture: a frame that would draw it again is
  // neither drawn nor presented. Cleared whenever the window's contents may have gone (a new
  // device, a reset, the window uncovered or resized).
  bool picture_shown = false;
  std::uint64_t shown_picture = 0;
  // When the display can show its next frame (ms on the frame clock): a window draws no more
  // frames than its display shows.
  double display_due = 0;
};

struct ShellState {
  ShellHooks hooks;
  SceneTable scenes;
  RunConfig run;
  SceneFlow flow;
  PointerState pointer;
  FrameLoop loop;
  DeviceState device;
};

}  // namespace qv
