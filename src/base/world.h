#pragma once
// The part of the world every layer may reach: the machine, the run-wide settings, the random
// generator and the clocks. Each layer above adds its own state by deriving from the world of
// the layer below (SpriteWorld, SceneWorld, AudioWorld), and the hub's Context derives from the
// highest, so a Context& passes wherever a lower world is wanted while a lower layer cannot
// name the shell's, the game's or the menu's state at all.
#include <cstdint>

#include "base/log.h"
#include "base/options.h"
#include "base/random.h"
#include "platform/platform.h"

namespace qv {

// Milliseconds of the system tick count. The shell's frame loop advances them; the game clock
// stands still while the game is paused.
struct Clocks {
  std::uint32_t frame_clock = 0;
  std::uint32_t game_clock = 0;
  bool paused = false;
  bool was_paused = false;
  std::uint32_t pause_start = 0;
  std::uint32_t paused_total = 0;
  // The window has the focus and is not minimised; sounds and frames wait while it is not.
  bool app_active = false;

  // Ends any pause and forgets the time paused: the game clock runs with the frame clock again.
  void ClearPause() {
    paused = false;
    was_paused = false;
    pause_start = 0;
    paused_total = 0;
  }
  // Ends any pause without counting the current one as paused time (a level's build does this:
  // the time spent paused before it is kept).
  void LiftPause() {
    paused = false;
    was_paused = false;
  }
};

struct BaseWorld {
  platform::Platform platform;
  Options options;
  Random random;
  Clocks clocks;
  LogState log;
};

}  // namespace qv
