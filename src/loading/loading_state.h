#pragma once
// State of start-up and the loading screen: the load list, the logo animation and the objects of
// the loading screen.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

constexpr int kBarElements = 39;

// The logo's animation before loading: the bubbles close, then the orbit and the flash text
// start, then the earth flash once the orbit has come round. The values are the state dump's
// "logo_phase".
enum class LogoPhase : int {
  Done = -1,
  NotStarted = 0,
  Bubbles = 1,
  StartOrbit = 2,
  Orbit = 3,
  EarthFlash = 4,
};

struct LoadingState {
  std::vector<std::string> load_list;
  int load_index = 0;
  // Set once the end-of-loading work has run (also for an empty load list).
  bool loading_done = false;

  LogoPhase logo_phase = LogoPhase::NotStarted;
  int logo_step = 0;
  std::uint32_t logo_next = 0;

  // Registry indices of the logo objects and the bar elements, -1 when not made.
  int top_bubble = -1;
  int bottom_bubble = -1;
  int orbit = -1;
  int flash_text = -1;
  int earth_flash = -1;
  std::array<int, kBarElements> bar{};

  bool audio_ok = false;
};

}  // namespace qv
