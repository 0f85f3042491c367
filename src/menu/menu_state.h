#pragma once
// State of the menu subsystem, owned by the context.
#include <cstdint>

namespace qv {

struct MenuState {
  // Menu run values, reset when the menu scene starts and set when the loading screen ends.
  std::uint32_t running_since = 0;
  int state = 0;  // 0 scene start, 2 loading done, 3 first-appearance fade, 1 running
  bool fullscreen_request = false;
};

}  // namespace qv
