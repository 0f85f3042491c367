#pragma once
// The seam between the frame loop and the scenes. The shell never names a scene's code: it calls
// the row of the active scene, and a null entry means "nothing to do". The composition root
// (app/subsystem_hooks.cpp) fills one row per scene; a scene that grows its own code offers a
// Fill<Name>Scene(SceneOps&) in its folder, and the root calls that instead of setting the
// entries one by one. Tests fill the rows they need.
#include <array>
#include <cstddef>
#include <cstdint>

namespace qv {

struct Context;

// The values are what the state dump shows as "scene" and "pending_scene".
enum class SceneId : std::uint8_t { None = 0, Menu = 1, Game = 2 };

struct SceneOps {
  using Op = void (*)(Context&);

  // Entering the scene (SwitchScene); ends with scene_ready set.
  Op start = nullptr;
  // Leaving it; clears scene_ready and the pause.
  Op leave = nullptr;
  // One step of the scene: while it is building (scene_phase 0) and, once it runs, each step the
  // catch-up loop owes.
  Op frame = nullptr;
  // The scene builds behind the loading screen: while this holds, a building step runs the frame
  // twice (two load entries) and moves the sprites only then, and catch-up steps run the frame
  // before the scene has started running. Null for a scene that builds in one step.
  bool (*loading_remains)(const Context&) = nullptr;
  // The scene has just started running (the frame loop's phase change).
  Op running = nullptr;
  // Whether losing the application's focus pauses the game clock.
  bool pauses_when_inactive = false;

  // Input. mouse_down: a button went down over the screen (1 left, 2 right, 0 other). click:
  // the mouse went up over the button it went down on; button_up follows it, for the scene to
  // act on which button that was (ShellState::pressed_button). key_down: Windows virtual-key
  // code and shift state.
  void (*mouse_down)(Context&, int button) = nullptr;
  Op click = nullptr;
  Op button_up = nullptr;
  void (*key_down)(Context&, int key, int shift) = nullptr;
  // Keyboard aiming. When set and it answers true (the player is aiming now, no dialog or text
  // input up), Left/Right swing the pointer around the pivot (x, y) it gives, Up or Space press
  // the left button and Down the right one, all as pointer events; otherwise those keys reach
  // key_down as usual. The game scene gives its cannon's pivot here.
  bool (*aim_pivot)(const Context&, double& x, double& y) = nullptr;
};

// One row per SceneId; the None row stays empty.
class SceneTable {
 public:
  SceneOps& operator[](SceneId id) { return rows_[Index(id)]; }
  const SceneOps& operator[](SceneId id) const { return rows_[Index(id)]; }

 private:
  static std::size_t Index(SceneId id) { return static_cast<std::size_t>(id); }
  std::array<SceneOps, 3> rows_{};
};

}  // namespace qv
