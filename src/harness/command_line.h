#pragma once
// The command line of the program and its run harness.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/expected.h"
#include "shell/shell_state.h"

namespace qv {

struct CommandLine {
  std::string dir;   // game folder; empty: the current directory
  std::string pack;  // content pack laid into the game folder before the start
  // True for --fullscreen, false for --windowed: this run's display mode, options.txt untouched.
  std::optional<bool> fullscreen;
  bool no_sound = false;
  bool headless = false;
  bool render_all = false;
  bool virtual_clock = false;
  bool no_vsync = false;  // present as soon as a frame is drawn, not in step with the display  // a real window on the virtual clock (implied by --headless)
  bool autoplay = false;
  AutoplaySkill autoplay_skill = AutoplaySkill::Perfect;  // --autoplay-skill implies --autoplay
  bool help = false;
  bool version = false;
  bool has_seed = false;
  std::uint32_t seed = 0;
  std::string script;
  std::string record;  // write the session's input and clock as a script
  std::string replay;  // play a recorded session back (headless)
  std::string events;  // write the game's events, one JSON object a line
  std::optional<std::uint64_t> ticks;
};

// Fails when an option is unknown or lacks its value.
Expected<CommandLine> ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

}  // namespace qv
